// The shape-file reader: round trips through the shape writer, the record
// forms, curve flattening and corrupt files.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/string.h"
#include "shape-writer/shape_writer.h"
#include "shape-writer/swf_bit_writer.h"
#include "support/test_support.h"
#include "vector/vswf.h"

namespace tarnby {
namespace {

ByteArray toBytes(const std::vector<uint8_t>& v)
{
    ByteArray a(static_cast<int32_t>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) {
        a[static_cast<int32_t>(i)] = v[i];
    }
    return a;
}

// Loads bytes as the game loads a hole: 512 x 512, 16900 crossings, 48 fills.
bool loadHole(Vswf& reader, const Ref<Vpolyn>& target, const std::vector<uint8_t>& bytes, int32_t angle = 0)
{
    return reader.loadBytes(target, toBytes(bytes), 512, 512, 16900, 48, angle);
}

int32_t fillAtYards(Vpolyn& p, double x, double y)
{
    return p.fillAt(static_cast<Fixed>(std::lround(x * 32768)), static_cast<Fixed>(std::lround(y * 32768)));
}

// A 512 x 512 file holding one shape tag with the given body.
std::vector<uint8_t> shapeFile(int32_t tagCode, const std::vector<uint8_t>& body)
{
    SwfBitWriter file;
    file.text("FWS");
    file.u8(6);
    file.u32(0);
    file.rect(0, 512 * 16, 0, 512 * 16);
    file.u16(0), file.u16(1);
    file.tag(tagCode, body, true);
    file.tag(0, {});
    return file.data();
}

// A straight edge record of 10-bit deltas: general, or vertical or horizontal only.
void straight(SwfBitWriter& b, bool general, bool vertical, int32_t dx, int32_t dy)
{
    b.bits(1, 1), b.bits(1, 1), b.bits(10 - 2, 4), b.bits(general, 1);
    if (general) {
        b.sbits(dx, 10), b.sbits(dy, 10);
    } else {
        b.bits(vertical, 1), b.sbits(vertical ? dy : dx, 10);
    }
}

// A file of one DefineShape built by hand: the header, the given styles
// and record bits (written by `records`), then the end tag.
template <class Records>
std::vector<uint8_t> handMadeFile(int32_t tagCode, int32_t fillBits, const std::vector<uint32_t>& solidRgb,
                                  Records records)
{
    SwfBitWriter body;
    body.u16(1);
    body.rect(0, 100, 0, 100);
    body.u8(static_cast<uint32_t>(solidRgb.size()));
    for (uint32_t c : solidRgb) {
        body.u8(0);
        body.u8((c >> 16) & 0xFF);
        body.u8((c >> 8) & 0xFF);
        body.u8(c & 0xFF);
        if (tagCode == 32) {
            body.u8(c >> 24);
        }
    }
    body.u8(0);
    body.bits(static_cast<uint32_t>(fillBits), 4);
    body.bits(0, 4);
    records(body);
    body.bits(0, 6);  // end record
    return shapeFile(tagCode, body.data());
}

TEST(VswfTest, SquaresAndNestedRegionsRoundTrip)
{
    ShapeWriter writer(512, 512);
    int32_t grass = writer.fill(0xFF00A000);
    int32_t sand = writer.fill(0xFFE0C080);
    int32_t water = writer.fill(0xFF0000C0);
    int32_t island = writer.fill(0xFF00FF00);
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
    EXPECT_EQ(p->colour(2), 0x00E0C080u);
    struct Probe {
        double x, y;
        uint32_t colour;
    } probes[] = {
        { 49.5, 100, 0x00A000 }, { 150.5, 100, 0x00A000 }, { 100, 59.5, 0x00A000 }, { 100, 60.5, 0xE0C080 },
        { 310, 310, 0x0000C0 },  { 375, 375, 0x00FF00 },   { 490, 375, 0x00A000 }, { 0, 0, 0x00A000 },
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(p->colourAt(static_cast<Fixed>(probe.x * 32768), static_cast<Fixed>(probe.y * 32768)),
                  probe.colour)
            << "at (" << probe.x << ", " << probe.y << ")";
    }
    EXPECT_EQ(fillAtYards(*p, 512.5, 10), 0) << "outside the drawing";

    // DefineShape3 keeps the alpha byte.
    writer.setTag(ShapeWriter::Tag::Shape3);
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    EXPECT_EQ(p->colour(4), 0xFF00FF00u);
}

TEST(VswfTest, CurvesFlattenCloseToTheTrueCurve)
{
    // A disc of radius 100 about (256, 256) from four quadratic arcs; each
    // arc's control point is the corner of its square, so the curve bulges
    // to a parabola lying between the circle's chord and the corner.
    ShapeWriter writer(512, 512);
    int32_t green = writer.fill(0xFF00FF00);
    writer.moveTo(256, 156, green, ShapeWriter::kNoFill);  // counter-clockwise: inside on the left
    writer.curveTo(156, 156, 156, 256);
    writer.curveTo(156, 356, 256, 356);
    writer.curveTo(356, 356, 356, 256);
    writer.curveTo(356, 156, 256, 156);
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    int32_t crossings = p->crossingCount();
    EXPECT_EQ(crossings, 2 * 200) << "two crossings in every row the disc spans";
    // The quadratic from (256,156) via (156,156) to (156,256) at parameter t.
    for (int32_t i = 1; i < 64; ++i) {
        double t = i / 64.0;
        double u = 1 - t;
        double x = u * u * 256 + 2 * u * t * 156 + t * t * 156;
        double y = u * u * 156 + 2 * u * t * 156 + t * t * 256;
        EXPECT_EQ(fillAtYards(*p, x + 1.5, y + 1.5), 1) << "just inside the curve at t " << t;
        EXPECT_EQ(fillAtYards(*p, x - 1.5, y - 1.5), 0) << "just outside the curve at t " << t;
    }
}

TEST(VswfTest, CurveWithinOneRowBoundaryIsOneEdge)
{
    // From (10, 0.5) through (20, 0.5) to (30, 1.5): the rows of the three
    // points are 0, 0 and 1, so the curve is one straight edge taken at row 0.
    ShapeWriter writer(512, 512);
    int32_t f = writer.fill(0xFF102030);
    writer.moveTo(10, 0.5, f, ShapeWriter::kNoFill);
    writer.curveTo(20, 0.5, 30, 1.5);
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    ASSERT_TRUE(loadHole(reader, p, writer.bytes()));
    ASSERT_EQ(p->crossingCount(), 1);
    int32_t w = p->crossingWord(p->rowBegin(0));
    EXPECT_EQ(Vpolyn::crossingX(w), 10 * 16);
    EXPECT_EQ(Vpolyn::crossingDx(w), 20 * 16) << "the straight chord, not a piece of a subdivided curve";
}

TEST(VswfTest, ChordDistance)
{
    EXPECT_EQ(Vswf::chordDistanceSq(10, 0, 0, 0, 10, 0), 0) << "P on B";
    EXPECT_EQ(Vswf::chordDistanceSq(5, 3, 0, 0, 10, 0), 9);
    EXPECT_EQ(Vswf::chordDistanceSq(15, 0, 0, 0, 10, 0), 0x7FFFFFFF) << "on the extension beyond B";
    EXPECT_EQ(Vswf::chordDistanceSq(-1, 2, 0, 0, 10, 0), 0x7FFFFFFF) << "before A";
    EXPECT_EQ(Vswf::chordDistanceSq(3, 3, 1, 1, 1, 1), 0x7FFFFFFF) << "A and B the same point";
    EXPECT_EQ(Vswf::chordDistanceSq(0, 400, 0, 0, 512, 512), 80000) << "a long chord does not overflow";
}

TEST(VswfTest, RotatedLoadTurnsAboutTheCentre)
{
    ShapeWriter writer(512, 512);
    int32_t red = writer.fill(0xFFFF0000);
    writer.addRectangle(356, 236, 456, 276, red);  // right of the centre
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    // A quarter turn carries +x to +y: the bar now lies below the centre.
    ASSERT_TRUE(loadHole(reader, p, writer.bytes(), kQuarterTurn));
    EXPECT_EQ(fillAtYards(*p, 400, 256), 0);
    EXPECT_EQ(fillAtYards(*p, 256, 400), 1);
    EXPECT_EQ(fillAtYards(*p, 230, 400), 0) << "the bar is 40 wide";
    EXPECT_EQ(fillAtYards(*p, 256, 470), 0) << "and 100 long";
    ASSERT_TRUE(loadHole(reader, p, writer.bytes(), kHalfTurn));
    EXPECT_EQ(fillAtYards(*p, 112, 256), 1) << "half a turn: left of the centre";
}

TEST(VswfTest, RecordFormsAndStyleArrays)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    // Move-to is absolute: the second move lands at origin + delta although
    // the pen had moved. Horizontal (general 0, vertical 0) moves only in x,
    // vertical (vertical 1) only in y.
    auto bytes = handMadeFile(2, 2, { 0x112233, 0x445566 }, [](SwfBitWriter& b) {
        b.bits(0, 1);
        b.bits(1 | 2, 5);  // move-to, fill 0
        b.bits(15, 5);
        b.sbits(160, 15);  // (10, 20) pixels
        b.sbits(320, 15);
        b.bits(1, 2);
        straight(b, false, false, 160, 0);  // to (20, 20)
        straight(b, false, true, 0, 160);   // to (20, 30): crossings in rows 20..29 at x 20
        b.bits(0, 1);
        b.bits(1 | 4, 5);  // move-to again, fill 1
        b.bits(15, 5);
        b.sbits(16 * 100, 15);
        b.sbits(16 * 50, 15);
        b.bits(2, 2);
        straight(b, false, true, 0, -160);  // up from (100, 50) to (100, 40)
    });
    ASSERT_TRUE(loadHole(reader, p, bytes));
    EXPECT_EQ(p->crossingCount(), 20);
    int32_t w = p->crossingWord(p->rowBegin(25));
    EXPECT_EQ(Vpolyn::crossingX(w), 20 * 16) << "the horizontal record moved the pen 10 to the right";
    EXPECT_EQ(Vpolyn::crossingFill(w), 1) << "down edge: fill 0 lies right of it";
    ASSERT_EQ(p->rowEnd(45) - p->rowBegin(45), 1);
    w = p->crossingWord(p->rowBegin(45));
    EXPECT_EQ(Vpolyn::crossingX(w), 100 * 16) << "the second move-to is absolute";
    EXPECT_EQ(Vpolyn::crossingFill(w), 2) << "up edge: fill 1 lies right of it";

    // 255 then a 16-bit count of 300 grows the style map to 301 entries; the
    // drawing's 48 fills run out and later colours fall back to fill 0.
    ShapeWriter many(512, 512);
    for (uint32_t i = 1; i <= 300; ++i) {
        many.fill(0xFF000000 | (i * 0x10101));  // not black: black without alpha is fill 0
    }
    int32_t last = many.fill(0xFF000000 | (300 * 0x10101));
    many.addRectangle(10, 10, 20, 20, last);
    many.addRectangle(30, 10, 40, 20, 5);
    Vswf fresh;
    EXPECT_EQ(fresh.fillMapLength(), 16);
    ASSERT_TRUE(loadHole(fresh, p, many.bytes()));
    EXPECT_EQ(fresh.fillMapLength(), 301);
    EXPECT_EQ(fresh.fillMapEntry(48), 0) << "fill 48 does not exist in a drawing of 48 fills";
    EXPECT_EQ(fillAtYards(*p, 15, 15), 0);
    EXPECT_EQ(fillAtYards(*p, 35, 15), 5);
    EXPECT_EQ(p->fillsUsed(), 48);

    // Gradient and bitmap styles are read past and leave their entries alone;
    // new styles in a style-change record are read as well.
    SwfBitWriter body;
    body.u16(1);
    body.rect(0, 10, 0, 10);
    body.u8(3);
    body.u8(0x10);  // linear gradient: matrix with scale and rotate, 2 stops
    body.bits(1, 1), body.bits(3, 5), body.bits(5, 3), body.bits(5, 3);
    body.bits(1, 1), body.bits(2, 5), body.bits(1, 2), body.bits(1, 2);
    body.bits(4, 5), body.bits(3, 4), body.bits(3, 4);
    body.u8(2);
    body.u8(0), body.u8(1), body.u8(2), body.u8(3);
    body.u8(255), body.u8(4), body.u8(5), body.u8(6);
    body.u8(0x41);  // bitmap
    body.u16(7);
    body.bits(0, 1), body.bits(0, 1), body.bits(0, 5);
    body.u8(0x00);  // solid
    body.u8(0x12), body.u8(0x34), body.u8(0x56);
    body.u8(1);  // one line style
    body.u16(20);
    body.u8(9), body.u8(9), body.u8(9);
    body.bits(2, 4);
    body.bits(1, 4);
    body.bits(0, 1);
    body.bits(1 | 2 | 8 | 16, 5);  // move, fill 0, line, new styles
    body.bits(1, 5), body.sbits(0, 1), body.sbits(0, 1);
    body.bits(3, 2);  // fill 0 = style 3 of the first array
    body.bits(1, 1);  // line style
    body.u8(1);  // new array: one solid style
    body.u8(0), body.u8(0xAB), body.u8(0xCD), body.u8(0xEF);
    body.u8(0);
    body.bits(1, 4);
    body.bits(0, 4);
    body.bits(0, 1);
    body.bits(4, 5);  // fill 1 = style 1 of the new array
    body.bits(1, 1);
    body.bits(0, 6);
    Vswf styles;
    ASSERT_TRUE(loadHole(styles, p, shapeFile(2, body.data())));
    EXPECT_EQ(p->fillsUsed(), 3);
    EXPECT_EQ(p->colour(1), 0x123456u);
    EXPECT_EQ(p->colour(2), 0xABCDEFu) << "the new style array after the style-change record";
    EXPECT_EQ(styles.fillMapEntry(1), 2) << "the new array's style 1";
    EXPECT_EQ(styles.fillMapEntry(2), 0) << "bitmap style: entry untouched";
    EXPECT_EQ(styles.fillMapEntry(3), 1) << "the first array's solid style survives";
}

TEST(VswfTest, MissingAndCorruptFilesLeaveAnEmptyDrawing)
{
    test::ScratchFolder folder("vswf_corrupt");
    ShapeWriter writer(512, 512);
    int32_t f = writer.fill(0xFF00FF00);
    writer.addRectangle(100, 100, 200, 200, f);
    writer.moveTo(300, 300, f, 0);
    writer.curveTo(400, 300, 400, 400);
    std::vector<uint8_t> good = writer.bytes();
    ASSERT_TRUE(writer.save(folder.file("good")));

    Ref<Vpolyn> p = make<Vpolyn>();
    Vswf reader;
    ASSERT_TRUE(reader.load(p, String::intern("good"), 512, 512, 16900, 48, 0)) << "read from the data folder";
    EXPECT_EQ(fillAtYards(*p, 150, 150), 1);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(reader.load(p, String::intern("no such hole"), 512, 512, 16900, 48, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not open \n");
    EXPECT_EQ(p->crossingCount(), 0) << "the old drawing is gone";
    EXPECT_EQ(fillAtYards(*p, 150, 150), 0);

    std::vector<uint8_t> wrong = good;
    wrong[0] = 'C';  // a compressed file
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadHole(reader, p, wrong));
    std::string message = testing::internal::GetCapturedStdout();
    EXPECT_NE(message.find("FWS"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << "one line";

    SwfBitWriter flat;
    flat.text("FWS"), flat.u8(6), flat.u32(0);
    flat.rect(100, 100, 0, 8192);  // zero width
    flat.u16(0), flat.u16(1);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadHole(reader, p, flat.data())) << "a zero-width frame would divide by zero";
    EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());

    // Every truncation of a good file loads something or nothing, in bounds.
    testing::internal::CaptureStdout();
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        loadHole(reader, p, cut);
        ASSERT_LE(p->fillsUsed(), 2) << "cut at " << n;
    }
    // A tag claiming 4 GB, a fill index beyond the style array, random damage.
    std::vector<uint8_t> huge = good;
    huge.insert(huge.begin() + 21, { 0x3F, 0x02, 0xFF, 0xFF, 0xFF, 0xFF });  // tag 8, length 2^32 - 1
    loadHole(reader, p, huge);
    std::mt19937 random(11);
    for (int32_t k = 0; k < 2000; ++k) {
        std::vector<uint8_t> damaged = good;
        for (int32_t hits = 1 + static_cast<int32_t>(random() % 4); hits > 0; --hits) {
            damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        }
        damaged[0] = 'F', damaged[1] = 'W', damaged[2] = 'S';
        loadHole(reader, p, damaged);
        ASSERT_LE(p->crossingCount(), Vpolyn::kMaxCrossings);
        p->fillAt(toFixed(150), toFixed(150));
    }
    testing::internal::GetCapturedStdout();
    auto outOfRange = handMadeFile(2, 4, { 0x010203 }, [](SwfBitWriter& b) {
        b.bits(0, 1);
        b.bits(1 | 4, 5);
        b.bits(15, 5);
        b.sbits(160, 15);
        b.sbits(160, 15);
        b.bits(9, 4);  // style 9 of a one-style array
        straight(b, false, true, 0, 160);
    });
    ASSERT_TRUE(loadHole(reader, p, outOfRange));
    ASSERT_EQ(p->crossingCount(), 10);
    EXPECT_EQ(Vpolyn::crossingFill(p->crossingWord(0)), 0) << "an unknown style index is fill 0";
}

}  // namespace
}  // namespace tarnby
