// The shape-file reader: round trips through the shape writer, the record
// forms, curve flattening and corrupt files.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "golf/hole_setup.h"
#include "runtime/array.h"
#include "runtime/string.h"
#include "shape-writer/shape_writer.h"
#include "shape-writer/swf_bit_writer.h"
#include "support/test_support.h"
#include "vector/vswf.h"

namespace tarnby {
namespace {

using test::writeBytes;

// Reads bytes with the sizes the game gives a hole file.
bool loadHole(Vswf& reader, const Ref<Vpolyn>& target, const std::vector<uint8_t>& bytes, int32_t angle = 0)
{
    ByteArray array(static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array.begin());
    return reader.loadBytes(target, array, kHoleFileSize, kHoleFileSize, kHoleEdgeCapacity, kHoleFillCount, angle);
}

int32_t fillAtYards(Vpolyn& p, double x, double y)
{
    return p.fillAt(static_cast<Fixed>(std::lround(x * 32768)), static_cast<Fixed>(std::lround(y * 32768)));
}

// A file `width` twips wide (512 pixels by default) holding one DefineShape
// with the given body, after a tag the reader skips whose 63 bytes are just
// too many for the short tag header.
std::vector<uint8_t> shapeFile(const std::vector<uint8_t>& body, int32_t width = 512 * 16)
{
    SwfBitWriter file;
    file.text("FWS");
    file.u8(6);
    file.u32(0);
    file.rect(0, width, 0, 512 * 16);
    file.u16(0), file.u16(1);
    file.tag(9, std::vector<uint8_t>(63, 0xFF));
    file.tag(2, body, true);
    file.tag(0, {});
    return file.data();
}

// Shape records of 15-bit coordinates and 10-bit deltas: a style change
// (flags 1 move, 2 fill 0, 4 fill 1) and a horizontal or vertical straight edge.
void styleChange(SwfBitWriter& b, uint32_t flags, int32_t x16, int32_t y16)
{
    b.bits(0, 1), b.bits(flags, 5), b.bits(15, 5), b.sbits(x16, 15), b.sbits(y16, 15);
}
void straight(SwfBitWriter& b, bool vertical, int32_t delta)
{
    b.bits(1, 1), b.bits(1, 1), b.bits(10 - 2, 4), b.bits(0, 1), b.bits(vertical, 1), b.sbits(delta, 10);
}

// A disc of radius 100 about (256, 256) from four quadratic arcs, each
// control point the corner of its square.
std::vector<uint8_t> discFile()
{
    ShapeWriter writer(512, 512);
    writer.moveTo(256, 156, writer.fill(0xFF00FF00), ShapeWriter::kNoFill);  // inside on the left
    writer.curveTo(156, 156, 156, 256);
    writer.curveTo(156, 356, 256, 356);
    writer.curveTo(356, 356, 356, 256);
    writer.curveTo(356, 156, 256, 156);
    return writer.bytes();
}

TEST(VswfTest, SquaresNestedRegionsAndCurvesRoundTripAndTurnAboutTheCentre)
{
    ShapeWriter writer(512, 512);
    const int32_t grass = writer.fill(0xFF00A000), sand = writer.fill(0xFFE0C080);
    const int32_t water = writer.fill(0xFF0000C0), island = writer.fill(0xFF00FF00);
    writer.addRectangle(0, 0, 512, 512, grass);
    writer.addRectangle(50, 60, 150, 200, sand, grass);
    // A lake with an island, the lake's ring given counter-clockwise.
    writer.addPolygon({ { 300, 300 }, { 300, 460 }, { 480, 460 }, { 480, 300 } }, water, grass);
    writer.addRectangle(350, 350, 400, 400, island, water);
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    ASSERT_EQ(p->fillsUsed(), 5) << "fill 0 and four colours";
    EXPECT_EQ(p->colour(1), 0x0000A000u) << "DefineShape colours have no alpha";
    const struct {
        double x, y;
        uint32_t colour;
    } probes[] = { { 49.5, 100, 0x00A000 }, { 150.5, 100, 0x00A000 }, { 100, 59.5, 0x00A000 }, { 100, 60.5, 0xE0C080 },
        { 310, 310, 0x0000C0 }, { 375, 375, 0x00FF00 }, { 490, 375, 0x00A000 }, { 0, 0, 0x00A000 } };
    for (const auto& probe : probes) {
        EXPECT_EQ(p->colour(fillAtYards(*p, probe.x, probe.y)), probe.colour) << "at " << probe.x << "," << probe.y;
    }
    EXPECT_EQ(fillAtYards(*p, 512.5, 10), 0) << "outside the drawing";
    writer.setTag(ShapeWriter::Tag::Shape3);
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    EXPECT_EQ(p->colour(4), 0xFF00FF00u) << "DefineShape3 keeps the alpha byte";
    writer.setTag(ShapeWriter::Tag::Shape2);
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    EXPECT_EQ(p->colour(4), 0x0000FF00u) << "DefineShape2 colours have no alpha either";

    ASSERT_TRUE(loadHole(reader, p, discFile()));
    EXPECT_EQ(p->crossingCount(), 2 * 200) << "two crossings in every row the disc spans";
    for (int32_t i = 1; i < 64; ++i) {
        // The first arc, from (256,156) via (156,156) to (156,256), at t.
        const double t = i / 64.0, u = 1 - t;
        const double x = u * u * 256 + 2 * u * t * 156 + t * t * 156, y = u * u * 156 + 2 * u * t * 156 + t * t * 256;
        EXPECT_EQ(fillAtYards(*p, x + 1.5, y + 1.5), 1) << "just inside the curve at t " << t;
        EXPECT_EQ(fillAtYards(*p, x - 1.5, y - 1.5), 0) << "just outside the curve at t " << t;
    }
    // From (10, 0.5) via (20, 0.5) to (30, 1.5): the points' rows are 0, 0 and
    // 1, so the curve is its straight chord taken at row 0, not subdivided.
    ShapeWriter one(512, 512);
    one.moveTo(10, 0.5, one.fill(0xFF102030), ShapeWriter::kNoFill);
    one.curveTo(20, 0.5, 30, 1.5);
    ASSERT_TRUE(loadHole(reader, p, one.bytes()));
    ASSERT_EQ(p->crossingCount(), 1);
    const int32_t w = p->crossingWord(p->rowBegin(0));
    EXPECT_TRUE(Vpolyn::crossingX(w) == 10 * 16 && Vpolyn::crossingDx(w) == 20 * 16) << std::hex << w;

    const int32_t chords[][7] = {
        // P, A, B, squared distance from P to its foot on AB
        { 10, 0, 0, 0, 10, 0, 0 }, { 5, 3, 0, 0, 10, 0, 9 }, { 0, 400, 0, 0, 512, 512, 80000 },  // no overflow
        { 15, 0, 0, 0, 10, 0, 0x7FFFFFFF }, { -1, 2, 0, 0, 10, 0, 0x7FFFFFFF },  // the foot beyond B, before A
        { 3, 3, 1, 1, 1, 1, 0x7FFFFFFF },                                        // A and B the same point
    };
    for (const auto& c : chords) {
        EXPECT_EQ(Vswf::chordDistanceSq(c[0], c[1], c[2], c[3], c[4], c[5]), c[6]) << c[0] << "," << c[1];
    }

    ShapeWriter bar(512, 512);
    bar.addRectangle(356, 236, 456, 276, bar.fill(0xFFFF0000));  // right of the centre
    // A quarter turn carries +x to +y: the bar, 40 wide and 100 long, now lies below the centre.
    ASSERT_TRUE(loadHole(reader, p, bar.bytes(), kQuarterTurn));
    const double turned[][3] = { { 400, 256, 0 }, { 256, 400, 1 }, { 230, 400, 0 }, { 256, 470, 0 } };
    for (const auto& probe : turned) {
        EXPECT_EQ(fillAtYards(*p, probe[0], probe[1]), static_cast<int32_t>(probe[2])) << probe[0] << "," << probe[1];
    }
    ASSERT_TRUE(loadHole(reader, p, bar.bytes(), kHalfTurn));
    EXPECT_EQ(fillAtYards(*p, 112, 256), 1) << "half a turn: left of the centre";
}

TEST(VswfTest, RecordFormsStyleArraysAndAHostileFilesCurves)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    // The reader's fresh 16-entry map takes the place of this freed block, so
    // that a read one past the map finds -1, not whatever the heap held.
    void* freed = ::operator new(18 * sizeof(int32_t));
    std::memset(freed, 0xFF, 18 * sizeof(int32_t));
    ::operator delete(freed);
    Vswf reader;
    // A file built by hand: two solid RGB styles, no line styles, 5-bit fill
    // indices. Move-to is absolute: each move lands at the origin + its delta,
    // wherever the pen was. Horizontal edges move only in x, vertical in y.
    SwfBitWriter b;
    b.u16(1), b.rect(0, 100, 0, 100);
    b.u8(2), b.u8(0), b.u8(0x11), b.u8(0x22), b.u8(0x33), b.u8(0), b.u8(0x44), b.u8(0x55), b.u8(0x66);
    b.u8(0), b.bits(5, 4), b.bits(0, 4);
    styleChange(b, 1 | 2, 160, 320), b.bits(1, 5);  // to (10, 20), fill 0 = style 1
    straight(b, false, 160);                        // to (20, 20)
    straight(b, true, 160);  // to (20, 30): crossings in rows 20..29 at x 20, fill 0 on their right
    styleChange(b, 1 | 4, 16 * 100, 16 * 50), b.bits(2, 5);   // to (100, 50), fill 1 = style 2
    straight(b, true, -160);                                  // up to (100, 40): fill 1 on its right
    styleChange(b, 1 | 4, 16 * 200, 16 * 50), b.bits(16, 5);  // fill 1 = style 16, just past the 16-entry map
    straight(b, true, -160);
    b.bits(0, 6);
    ASSERT_TRUE(loadHole(reader, p, shapeFile(b.data())));
    EXPECT_EQ(p->crossingCount(), 30);
    const int32_t expected[][4] = { { 25, 0, 20, 1 }, { 45, 0, 100, 2 }, { 45, 1, 200, 0 } };  // row, k: x, fill
    for (const auto& [row, k, x, fill] : expected) {
        const int32_t w = p->crossingWord(p->rowBegin(row) + k);
        EXPECT_TRUE(Vpolyn::crossingX(w) == x * 16 && Vpolyn::crossingFill(w) == fill) << "row " << row << " " << k;
    }

    // Exactly as many styles as the fresh map has entries grows it by one; 255
    // then a 16-bit count of 300 grows it to 301 entries, and as the drawing's
    // 48 fills run out, later colours fall back to fill 0.
    for (uint32_t count : { 16u, 300u }) {
        ShapeWriter many(512, 512);
        for (uint32_t i = 1; i <= count; ++i) {
            many.fill(0xFF000000 | (i * 0x10101));  // not black: black without alpha is fill 0
        }
        many.addRectangle(10, 10, 20, 20, static_cast<int32_t>(count));
        many.addRectangle(30, 10, 40, 20, 5);
        Vswf fresh;
        EXPECT_EQ(fresh.fillMapLength(), 16);
        ASSERT_TRUE(loadHole(fresh, p, many.bytes()));
        EXPECT_EQ(fresh.fillMapLength(), static_cast<int32_t>(count) + 1);
        EXPECT_EQ(p->fillsUsed(), count == 16 ? 17 : 48);
        EXPECT_EQ(fillAtYards(*p, 35, 15), 5);
        EXPECT_EQ(fillAtYards(*p, 15, 15), count == 16 ? 16 : 0) << "the last style, of " << count;
        EXPECT_TRUE(count == 16 || fresh.fillMapEntry(48) == 0) << "fill 48 does not exist in a drawing of 48 fills";
    }
    EXPECT_EQ(p->colour(16), 0x101010u) << "the sixteenth style is drawn in its colour";

    // A frame one twip wide makes every twip 512 pixels: each curve with a
    // far control point would split 16 levels deep into 65535 edges, and a
    // megabyte of such curves into billions. 3000 of them use up the file's
    // budget; the rest are drawn as chords, and a square after them is read.
    SwfBitWriter body;
    body.u16(1);
    body.rect(0, 1, 0, 1);
    body.u8(1), body.u8(0x00), body.u8(0), body.u8(255), body.u8(0);  // one solid fill
    body.u8(0);                                                       // no line styles
    body.bits(1, 4), body.bits(0, 4);
    body.bits(0, 1), body.bits(1 | 2, 5), body.bits(2, 5), body.sbits(0, 2), body.sbits(0, 2);
    body.bits(1, 1);
    for (int32_t k = 0; k < 3000; ++k) {
        // A curved edge of 17-bit deltas: out to a far control point and back.
        body.bits(1, 1), body.bits(0, 1), body.bits(15, 4);
        body.sbits(60000, 17), body.sbits(k % 2 ? 50000 : -50000, 17), body.sbits(-60000, 17), body.sbits(0, 17);
    }
    body.bits(0, 1), body.bits(1, 5), body.bits(2, 5), body.sbits(0, 2), body.sbits(0, 2);  // move back to 0,0
    body.bits(0, 1), body.bits(0, 5);                                                       // end of shape
    testing::internal::CaptureStdout();
    EXPECT_TRUE(loadHole(reader, p, shapeFile(body.data(), 1)));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(reader.curvePiecesUsed(), Vswf::kMaxCurvePieces) << "the budget is spent, and not overdrawn";

    // A real curve takes a few pieces of it.
    ASSERT_TRUE(loadHole(reader, p, discFile()));
    EXPECT_GT(reader.curvePiecesUsed(), 4);
    EXPECT_LT(reader.curvePiecesUsed(), 1000) << "each load starts with the whole budget";
}

TEST(VswfTest, CorruptFilesLeaveAnEmptyDrawingAndAPartIsToldFromAWholeOne)
{
    test::ScratchFolder folder("vswf_corrupt");
    ShapeWriter writer(512, 512);
    const int32_t f = writer.fill(0xFF00FF00);
    writer.addRectangle(100, 100, 200, 200, f);
    writer.moveTo(300, 300, f, 0);
    writer.curveTo(400, 300, 400, 400);
    const std::vector<uint8_t> good = writer.bytes();
    ASSERT_TRUE(writer.save(folder.file("good")));
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    auto load = [&](const char* name) {
        return reader.load(p, String::intern(name), kHoleFileSize, kHoleFileSize, kHoleEdgeCapacity, kHoleFillCount, 0);
    };
    ASSERT_TRUE(load("good")) << "read from the data folder";
    EXPECT_EQ(fillAtYards(*p, 150, 150), 1);

    // A compressed file, an empty one, a zero-width frame (which would divide
    // by zero), one beyond the reader's limit (refused unread) and a missing
    // one: one line each, and the old drawing gone. A file cut short or with
    // more crossings than a drawing may hold (each full-height rectangle
    // crosses 512 rows twice: 1.1 M crossings) is drawn as far as it goes and
    // told from a whole one: the game plays a part, a tool must not pass it
    // off as the file.
    std::vector<uint8_t> compressed = good;
    compressed[0] = 'C';
    std::vector<uint8_t> large = good;
    large.resize(static_cast<size_t>(Vswf::kMaxFileBytes) + 1, 0);
    ShapeWriter crowded(512, 512);
    const int32_t g = crowded.fill(0xFF0000FF);
    for (int32_t i = 0; i < 1100; ++i) {
        crowded.addRectangle(i * 0.45, 0, i * 0.45 + 0.2, 512, g);
    }
    const struct {
        std::string name;
        std::vector<uint8_t> bytes;
        bool read, whole;
        std::string said;
    } cases[] = {
        { "packed", compressed, false, false, "Not a shape file: packed has no FWS signature\n" },
        { "empty", {}, false, false, "Not a shape file: empty is empty\n" },
        { "narrow", shapeFile({}, 0), false, false, "Shape file narrow has an empty frame, width 0\n" },
        { "large", large, false, false, "Shape file large is larger than 16777216 bytes: not read\n" },
        { "missing", {}, false, false, "Could not open \n" },
        { "cut", std::vector<uint8_t>(good.begin(), good.end() - 2), true, false,
            "Shape file cut ends early, before its end tag: drawn as far as it goes\n" },
        { "crowded", crowded.bytes(), true, false,
            "Shape file crowded has more than 1048576 crossings: drawn as far as they go\n" },
        { "whole", good, true, true, "" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.name == "missing" || writeBytes(folder.file(c.name), c.bytes));
        ASSERT_TRUE(loadHole(reader, p, good));
        testing::internal::CaptureStdout();
        EXPECT_EQ(load(c.name.c_str()), c.read) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.said);
        EXPECT_EQ(reader.readWhole(), c.whole) << c.name;
        EXPECT_TRUE(c.read || p->crossingCount() == 0) << c.name << ": the old drawing is gone";
        EXPECT_EQ(p->crossingsDropped(), c.name == "crowded") << c.name;
        EXPECT_TRUE(c.name != "crowded" || p->crossingCount() >= Vpolyn::kMaxCrossings - 2048) << "drawn full";
    }
}

}  // namespace
}  // namespace tarnby
