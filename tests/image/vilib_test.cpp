// Picture bundles: the segment stream, writer-to-reader round trips, the
// pixel cache and its clock sweep, and damaged bundles.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "bundle-writer/picture_encoder.h"
#include "image/bundle_stream.h"
#include "image/vilib.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using bundle::BundleWriter;

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

// A figure-like RGBA test image: transparent surround, an opaque body with a
// few colours, partial alpha at the edges. Colours are multiples of 8 and
// alphas exact levels, so 'r' encoding keeps them exactly.
std::vector<uint8_t> figure(int32_t w, int32_t h, int32_t seed)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 0);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
            int32_t dx = 2 * x - w, dy = 2 * y - h;
            int32_t d = dx * dx * h * h / (w * w) + dy * dy; // ellipse distance
            int32_t code = d < h * h / 2 ? 7 : d < h * h * 3 / 4 ? 1 + (x + y + seed) % 6 : 0;
            p[0] = static_cast<uint8_t>(((x * 3 + seed) % 32) * 8);
            p[1] = static_cast<uint8_t>(((y / 4 + seed) % 32) * 8);
            p[2] = static_cast<uint8_t>((((x / 8) * 5 + y / 16) % 32) * 8);
            p[3] = static_cast<uint8_t>(code * 255 / 7);
        }
    }
    return rgba;
}

// A smooth RGBA texture (JPEG-friendly) with a transparent corner.
std::vector<uint8_t> texture(int32_t w, int32_t h, bool transparentCorner)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
            p[0] = static_cast<uint8_t>(40 + x * 150 / w);
            p[1] = static_cast<uint8_t>(120 + y * 100 / h);
            p[2] = static_cast<uint8_t>(60 + (x + y) * 60 / (w + h));
            p[3] = transparentCorner && x + y < w / 2 ? 0 : 255;
        }
    }
    return rgba;
}

// Checks a decoded 'r' picture against its source image exactly.
void expectExact(const Ref<Vpicture>& p, const std::vector<uint8_t>& rgba, const std::string& what)
{
    ASSERT_TRUE(p) << what;
    ASSERT_TRUE(p->decoded()) << what;
    for (int32_t i = 0; i < p->pixelCount(); ++i) {
        const uint8_t* s = &rgba[static_cast<size_t>(i * 4)];
        uint32_t word = static_cast<uint32_t>(p->m_pixels[i]);
        int32_t code = bundle::alphaCode(s[3]);
        ASSERT_EQ(static_cast<int32_t>(word >> 29), code) << what << " alpha at pixel " << i;
        if (code != 0) {
            uint32_t colour = static_cast<uint32_t>(s[0]) << 16 | static_cast<uint32_t>(s[1]) << 8 | s[2];
            ASSERT_EQ(word & 0xFFFFFF, colour) << what << " colour at pixel " << i;
        }
    }
}

TEST(VilibTest, ReadIntAndSegmentsReadAsOneStream)
{
    test::ScratchFolder folder("vilib_readint");
    // 0x7F | 0x81 0x00 | 0xFF 0x7F | 0x83 0xFF 0x7F, then bytes split over segments.
    writeBytes(folder.file("s0.bin"), { 0x7F, 0x81, 0x00, 0xFF, 0x7F });
    writeBytes(folder.file("s1.bin"), { 0x83, 0xFF, 0x7F, 1, 2 });
    writeBytes(folder.file("s2.bin"), { 3, 4 });
    BundleStream in("s");
    ASSERT_TRUE(in.opened());
    EXPECT_EQ(in.readInt(), 127);
    EXPECT_EQ(in.readInt(), 128);
    EXPECT_EQ(in.readInt(), 16383);
    EXPECT_EQ(in.readInt(), (3 << 14) | (127 << 7) | 127) << "first integer of segment 1";
    ByteArray four(4);
    EXPECT_EQ(in.readFully(four, 0, 4), 4) << "readFully crosses into segment 2";
    EXPECT_EQ(four[0], 1);
    EXPECT_EQ(four[3], 4);
    EXPECT_EQ(in.readInt(), -1) << "end of the last segment";
    EXPECT_EQ(in.readByte(), -1);
    // A bundle too short for what readBytes asks gives nothing at all.
    BundleStream again("s");
    EXPECT_TRUE(again.readBytes(100).empty());
    BundleStream missing("nothing");
    EXPECT_FALSE(missing.opened());
    EXPECT_EQ(missing.readInt(), -1);
}

TEST(VilibTest, RunPicturesRoundTripThroughArbitrarySegmentCuts)
{
    test::ScratchFolder folder("vilib_roundtrip");
    BundleWriter writer;
    std::vector<std::vector<uint8_t>> images = { figure(32, 90, 1), figure(17, 23, 5), figure(200, 3, 9) };
    ASSERT_EQ(writer.addRun(images[0].data(), 32, 90, 16, 88), 0) << writer.error();
    ASSERT_EQ(writer.addRun(images[1].data(), 17, 23, -3, 200), 1) << writer.error();
    ASSERT_EQ(writer.addRun(images[2].data(), 200, 3, 0, 0), 2) << writer.error();
    const std::vector<uint8_t> whole = writer.bytes();
    // One file, fixed-size segments and random cuts must all load the same.
    std::srand(7);
    for (int32_t trial = 0; trial < 12; ++trial) {
        std::string name = "b" + std::to_string(trial);
        if (trial == 0) {
            writeBytes(folder.file(name + "0.bin"), whole);
        } else if (trial < 4) {
            ASSERT_TRUE(writer.writeSegments(folder.path(), name, trial * 37)) << writer.error();
        } else {
            size_t start = 0;
            int32_t k = 0;
            while (start < whole.size()) {
                size_t end = start + 1 + static_cast<size_t>(std::rand() % 300);
                end = end > whole.size() ? whole.size() : end;
                while (!writer.canCutAt(end)) {
                    ++end;
                }
                writeBytes(folder.file(name + std::to_string(k++) + ".bin"),
                    std::vector<uint8_t>(whole.begin() + static_cast<std::ptrdiff_t>(start),
                        whole.begin() + static_cast<std::ptrdiff_t>(end)));
                start = end;
            }
        }
        Ref<Vilib> lib = make<Vilib>(String::fromChars(name.c_str()));
        ASSERT_TRUE(lib->intact()) << "trial " << trial;
        ASSERT_EQ(lib->count(), 3);
        EXPECT_EQ(lib->getPictureRef(1)->m_anchorX, -3) << "negative anchors survive as 16-bit values";
        EXPECT_EQ(lib->getPictureRef(1)->m_anchorY, 200);
        EXPECT_EQ(lib->getPictureRef(0)->m_height, 90);
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_FALSE(lib->getPictureRef(i)->decoded()) << "decoding waits for first use";
            expectExact(lib->getPicture(i), images[static_cast<size_t>(i)],
                "trial " + std::to_string(trial) + " picture " + std::to_string(i));
        }
    }
}

TEST(VilibTest, JpegPicturesShareOneHeaderAndKeepTheirMask)
{
    test::ScratchFolder folder("vilib_jpeg");
    BundleWriter writer;
    std::vector<uint8_t> a = texture(64, 64, false);
    std::vector<uint8_t> b = texture(40, 24, true);
    std::vector<uint8_t> c = figure(12, 12, 3);
    ASSERT_EQ(writer.addJpeg(a.data(), 4, 64, 64, 0, 0, 90), 0) << writer.error();
    ASSERT_EQ(writer.addRun(c.data(), 12, 12, 6, 6), 1) << writer.error();
    ASSERT_EQ(writer.addJpeg(b.data(), 4, 40, 24, 20, 12, 90), 2) << writer.error();
    EXPECT_EQ(writer.addJpeg(b.data(), 4, 40, 24, 0, 0, 50), -1) << "another quality means another header";
    EXPECT_NE(writer.error().find("header"), std::string::npos) << writer.error();
    ASSERT_TRUE(writer.writeSegments(folder.path(), "j", 500)) << writer.error();
    Ref<Vilib> lib = make<Vilib>(String::intern("j"));
    ASSERT_TRUE(lib->intact());
    ASSERT_EQ(lib->count(), 3);
    EXPECT_EQ(lib->getPictureRef(2)->m_data.length(),
        lib->getPictureRef(2)->m_jpegLength + static_cast<int32_t>(bundle::encodeMask(b.data(), 40, 24).size()))
        << "the second JPEG record has no header of its own";
    expectExact(lib->getPicture(1), c, "'r' picture between JPEGs");
    for (int32_t index : { 0, 2 }) {
        const std::vector<uint8_t>& src = index == 0 ? a : b;
        Ref<Vpicture> p = lib->getPicture(index);
        ASSERT_TRUE(p && p->decoded());
        int32_t worst = 0;
        for (int32_t i = 0; i < p->pixelCount(); ++i) {
            uint32_t word = static_cast<uint32_t>(p->m_pixels[i]);
            const uint8_t* s = &src[static_cast<size_t>(i * 4)];
            if (s[3] == 0) {
                EXPECT_LT(word, 0x20000000u) << "masked pixel " << i << " of picture " << index;
                continue;
            }
            EXPECT_EQ(word >> 29, 7u) << "opaque pixel " << i;
            for (int32_t k = 0; k < 3; ++k) {
                int32_t got = static_cast<int32_t>((word >> (16 - 8 * k)) & 0xFF);
                worst = std::max(worst, std::abs(got - s[k]));
            }
        }
        EXPECT_LE(worst, 12) << "JPEG error of picture " << index;
    }
}

TEST(VilibTest, EvictGivesRecentPicturesASecondChance)
{
    test::ScratchFolder folder("vilib_evict");
    BundleWriter writer;
    std::vector<uint8_t> img = figure(10, 10, 2);
    for (int32_t i = 0; i < 4; ++i) {
        writer.addRun(img.data(), 10, 10, 0, 0);
    }
    ASSERT_TRUE(writer.writeSegments(folder.path(), "e", 1 << 16));
    Ref<Vilib> lib = make<Vilib>(String::intern("e"));
    for (int32_t i = 0; i < 4; ++i) {
        lib->getPicture(i);
    }
    // Every flag set: the first turn only clears flags, the second frees.
    const int32_t before = avail();
    EXPECT_TRUE(lib->evict(1));
    EXPECT_EQ(avail() - before, 400) << "one picture's 4 x 100 bytes come back";
    EXPECT_FALSE(lib->getPictureRef(0)->decoded()) << "the sweep frees from the hand on";
    EXPECT_TRUE(lib->getPictureRef(1)->decoded());
    EXPECT_EQ(lib->clockHand(), 0) << "the hand stays on the entry it freed";
    // Picture 2 used again: it is passed over while 1 and 3 go.
    lib->getPicture(2);
    EXPECT_TRUE(lib->evict(401));
    EXPECT_FALSE(lib->getPictureRef(1)->decoded());
    EXPECT_TRUE(lib->getPictureRef(2)->decoded());
    EXPECT_FALSE(lib->getPictureRef(3)->decoded());
    EXPECT_EQ(lib->clockHand(), 3);
    // Asking for more than exists frees all and reports failure.
    EXPECT_FALSE(lib->evict(1 << 20));
    EXPECT_FALSE(lib->getPictureRef(2)->decoded());
    // Evicted pixels come back on the next use, identical.
    expectExact(lib->getPicture(2), img, "re-decoded picture");
    // Dropped entries are skipped by the sweep and never drawn.
    lib->releaseRange(0, 3);
    EXPECT_FALSE(lib->getPictureRef(0));
    EXPECT_TRUE(lib->getPictureRef(1));
    EXPECT_FALSE(lib->getPictureRef(2));
    lib->releasePicture(1);
    uint32_t frame[100] = {};
    EXPECT_EQ(lib->drawPicture(1, frame, 10, 10, 0, 0, 10, 10, 0, 0, kOne, 0, kOne), 0);
    EXPECT_EQ(lib->drawPicture(-1, frame, 10, 10, 0, 0, 10, 10, 0, 0, kOne, 0, kOne), 0);
    EXPECT_EQ(lib->drawPicture(4, frame, 10, 10, 0, 0, 10, 10, 0, 0, kOne, 0, kOne), 0);
    EXPECT_FALSE(lib->getPicture(7));
}

TEST(VilibTest, DamagedBundlesKeepWhatIsSoundAndNeverCrash)
{
    test::ScratchFolder folder("vilib_damaged");
    BundleWriter writer;
    std::vector<uint8_t> img = figure(16, 16, 1);
    std::vector<uint8_t> tex = texture(32, 32, true);
    writer.addRun(img.data(), 16, 16, 0, 0);
    writer.addJpeg(tex.data(), 4, 32, 32, 0, 0, 80);
    writer.addRun(img.data(), 16, 16, 0, 0);
    const std::vector<uint8_t> whole = writer.bytes();

    // Missing bundle: an empty library.
    Ref<Vilib> none = make<Vilib>(String::intern("absent"));
    EXPECT_EQ(none->count(), 0);
    EXPECT_FALSE(none->intact());

    // Every truncation: what was read completely is kept, the rest is gone.
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        writeBytes(folder.file("t0.bin"), std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        Ref<Vilib> lib = make<Vilib>(String::intern("t"));
        EXPECT_FALSE(lib->intact()) << "cut at " << cut;
        EXPECT_LT(lib->count(), 3) << "cut at " << cut;
        uint32_t frame[64] = {};
        for (int32_t i = 0; i < 3; ++i) {
            lib->drawPicture(i, frame, 8, 8, 0, 0, 8, 8, 0, 0, kOne, 0, kOne);
        }
    }

    // A declared size far beyond the data allocates nothing and is rejected.
    std::vector<uint8_t> huge;
    BundleWriter::appendInt(huge, 1);
    BundleWriter::appendInt(huge, 0);
    for (uint32_t v : { uint32_t('r'), 4u, 4u, 0u, 0u, 0x7FFFFFF0u }) {
        BundleWriter::appendInt(huge, v);
    }
    huge.insert(huge.end(), { 1, 2, 3 });
    writeBytes(folder.file("h0.bin"), huge);
    Ref<Vilib> hugeLib = make<Vilib>(String::intern("h"));
    EXPECT_EQ(hugeLib->count(), 0);

    // An absurd picture count, and a first JPEG record too short for the
    // shared header, are rejected without reading further.
    std::vector<uint8_t> many;
    BundleWriter::appendInt(many, 0x7FFFFFFF);
    BundleWriter::appendInt(many, 0);
    writeBytes(folder.file("m0.bin"), many);
    EXPECT_EQ(make<Vilib>(String::intern("m"))->count(), 0);
    std::vector<uint8_t> shortJpeg;
    for (uint32_t v : { 1u, 700u, uint32_t('j'), 8u, 8u, 0u, 0u, 600u, 0u }) {
        BundleWriter::appendInt(shortJpeg, v);
    }
    shortJpeg.resize(shortJpeg.size() + 700, 0xFF);
    writeBytes(folder.file("q0.bin"), shortJpeg);
    Ref<Vilib> shortLib = make<Vilib>(String::intern("q"));
    EXPECT_EQ(shortLib->count(), 0);
    EXPECT_FALSE(shortLib->intact());

    // A picture too large to decode keeps its number but cannot be drawn.
    BundleWriter big;
    big.addRecord('r', 30000, 30000, 0, 0, { 0x7C, 0x00 });
    big.addRun(img.data(), 16, 16, 0, 0);
    big.addRecord('x', 4, 4, 0, 0, { 0x7C, 0x00, 150 });
    ASSERT_TRUE(big.writeSegments(folder.path(), "g", 4096));
    Ref<Vilib> bigLib = make<Vilib>(String::intern("g"));
    EXPECT_EQ(bigLib->count(), 3);
    Ref<Vpicture> unknown = bigLib->getPicture(2);
    ASSERT_TRUE(unknown && unknown->decoded());
    for (int32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(unknown->m_pixels[i], 0) << "a picture of unknown type is transparent";
    }
    EXPECT_FALSE(bigLib->getPicture(0));
    expectExact(bigLib->getPicture(1), img, "picture after the oversized one");

    // A damaged JPEG body decodes as transparent; the bundle goes on.
    Ref<Vilib> lib = [&] {
        writeBytes(folder.file("d0.bin"), whole);
        return make<Vilib>(String::intern("d"));
    }();
    ASSERT_EQ(lib->count(), 3);
    Ref<Vpicture> jpeg = lib->getPictureRef(1);
    for (int32_t i = 0; i < jpeg->m_jpegLength; i += 3) {
        jpeg->m_data[i] = 0xFF; // markers everywhere
    }
    Ref<Vpicture> broken = lib->getPicture(1);
    ASSERT_TRUE(broken->decoded());
    for (int32_t i = 0; i < broken->pixelCount(); ++i) {
        ASSERT_EQ(broken->m_pixels[i], 0) << "damaged JPEG pixel " << i << " must be transparent";
    }
    // The shared buffer still holds a sound header for the next picture.
    jpeg->dropPixels();
    writeBytes(folder.file("e0.bin"), whole);
    Ref<Vilib> fresh = make<Vilib>(String::intern("e"));
    EXPECT_EQ(static_cast<uint32_t>(fresh->getPicture(1)->m_pixels[31 * 32 + 31]) >> 29, 7u);
    // Short JPEG body (cut inside the entropy data) is damaged too.
    fresh->getPictureRef(1)->m_jpegLength /= 2;
    fresh->getPictureRef(1)->dropPixels();
    Ref<Vpicture> half = fresh->getPicture(1);
    EXPECT_EQ(half->m_pixels[31 * 32 + 31], 0);
}

TEST(VilibTest, FiguresAndShadowsOnTheGround)
{
    test::ScratchFolder folder("vilib_scene");
    BundleWriter writer;
    std::vector<uint8_t> img = figure(24, 60, 3);
    writer.addRun(img.data(), 24, 60, 12, 59);
    std::vector<uint8_t> tex = texture(48, 48, true);
    writer.addJpeg(tex.data(), 4, 48, 48, 0, 0, 85);
    ASSERT_TRUE(writer.writeSegments(folder.path(), "s", 1 << 16));
    Ref<Vilib> lib = make<Vilib>(String::intern("s"));
    const int32_t w = 240, h = 160;
    const uint32_t ground = 0xC8407030u; // depth 200
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), ground);
    const Fixed scales[] = { 0x4000 /* 0.5 */, kOne, 0xC000 /* 1.5 */ };
    int32_t x = 20;
    for (Fixed scale : scales) {
        const int32_t sw = static_cast<int32_t>((24LL * scale) >> 15);
        const int32_t sh = static_cast<int32_t>((60LL * scale) >> 15);
        const int32_t top = 130 - sh;
        // The shadow falls from the feet to the lower right at ground depth.
        lib->getPicture(0)->drawShadow(
            frame.data(), w, h, x, 130 - sh / 2, x + sw + sh, 130, toFixed(x), toFixed(130 - sh / 2), scale, 200, kOne);
        lib->drawPicture(0, frame.data(), w, h, x, top, x + sw, 130, toFixed(x), toFixed(top), scale, 100, kOne);
        const uint32_t centre = frame[static_cast<size_t>((top + sh / 2) * w + x + sw / 2)];
        EXPECT_EQ(centre >> 24, 100u) << "figure drawn at its depth, scale " << scale;
        x += sw + sh + 10;
    }
    // A texture between ground and figures: hidden where the last figure stands.
    const int32_t hidden = lib->drawPicture(
        1, frame.data(), w, h, 150, 90, 198, 138, toFixed(150), toFixed(90), kOne, 150, 0x6000 /* 0.75 */);
    EXPECT_GT(hidden, 0) << "the figure at depth 100 hides part of the texture";
    EXPECT_EQ(frame[static_cast<size_t>(137 * w + 197)] >> 24, 150u) << "the texture covers the ground";
    int32_t shaded = 0;
    for (uint32_t word : frame) {
        shaded += (word >> 24) == 200 && (word & 0xFFFFFF) != (ground & 0xFFFFFF);
    }
    EXPECT_GT(shaded, 100) << "shadows darken the ground";
    test::saveFrame("vilib_figures_and_shadows", frame.data(), w, h, w);
}

} // namespace
} // namespace tarnby
