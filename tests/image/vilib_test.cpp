// Picture bundles: writer-to-reader round trips through segments and memory,
// and damaged bundles.
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "bundle-writer/picture_encoder.h"
#include "image/vilib.h"
#include "support/test_support.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

using bundle::BundleWriter;

// RGBA test images. A figure: transparent surround, opaque body, partial alpha
// at the rim; colours multiples of 8 and exact alpha levels, so 'r' keeps them
// exactly. A texture (seed < 0): smooth colours for JPEG, opaque but for a
// transparent top-left corner when the seed is -1.
std::vector<uint8_t> image(int32_t w, int32_t h, int32_t seed)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t dx = 2 * x - w, dy = 2 * y - h, d = dx * dx * h * h / (w * w) + dy * dy;
            const int32_t code = d < h * h / 2 ? 7 : d < h * h * 3 / 4 ? 1 + (x + y + seed) % 6 : 0;
            const int32_t values[2][4] = { { ((x * 3 + seed) % 32) * 8, ((y / 4 + seed) % 32) * 8,
                                               (((x / 8) * 5 + y / 16) % 32) * 8, code * 255 / 7 },
                { 40 + x * 150 / w, 120 + y * 100 / h, 60 + (x + y) * 60 / (w + h),
                    seed == -1 && x + y < w / 2 ? 0 : 255 } };
            for (int32_t k = 0; k < 4; ++k) {
                rgba[static_cast<size_t>((y * w + x) * 4 + k)] = static_cast<uint8_t>(values[seed < 0][k]);
            }
        }
    }
    return rgba;
}

// Checks a decoded 'r' picture against its source image exactly.
void expectExact(const Ref<Vpicture>& p, const std::vector<uint8_t>& rgba, const std::string& what)
{
    ASSERT_TRUE(p && p->decoded()) << what;
    ASSERT_EQ(p->pixelCount() * 4, static_cast<int32_t>(rgba.size())) << what;
    for (int32_t i = 0; i < p->pixelCount(); ++i) {
        const uint8_t* s = &rgba[static_cast<size_t>(i * 4)];
        const uint32_t word = static_cast<uint32_t>(p->m_pixels[i]);
        const int32_t code = bundle::alphaCode(s[3]);
        ASSERT_EQ(static_cast<int32_t>(word >> 29), code) << what << " alpha at pixel " << i;
        if (code != 0) {
            ASSERT_EQ(word & 0xFFFFFF, static_cast<uint32_t>(s[0] << 16 | s[1] << 8 | s[2])) << what << " pixel " << i;
        }
    }
}

bool transparent(const Ref<Vpicture>& p)
{
    return p->decoded() && std::all_of(p->m_pixels.begin(), p->m_pixels.end(), [](int32_t w) { return w == 0; });
}

// Packed numbers, then `padding` bytes of 0xFF.
std::vector<uint8_t> packed(std::initializer_list<uint32_t> values, size_t padding = 0)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values) {
        appendPackedNumber(out, v);
    }
    out.resize(out.size() + padding, 0xFF);
    return out;
}

// A bundle read from memory, as the fuzzers and tools read it, and what it said.
Ref<Vilib> fromMemory(const std::vector<uint8_t>& raw, const char* name, std::string* said = nullptr)
{
    ByteArray bytes(static_cast<int32_t>(raw.size()));
    std::copy(raw.begin(), raw.end(), bytes.begin());
    testing::internal::CaptureStdout();
    Ref<Vilib> lib = make<Vilib>(String::intern(name), bytes);
    const std::string text = testing::internal::GetCapturedStdout();
    if (said) {
        *said = text;
    }
    return lib;
}

// Transparent runs of every length from 0 to 129 (long skips, their split at
// 47, the alpha they carry), each before one pixel of 120 colours in turn, so
// the colour cache fills, wraps and is hit both before and after wrapping.
std::vector<uint8_t> skipsAndColours(int32_t w, int32_t h)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 0);
    size_t at = 0;
    for (int32_t i = 0; (at + 130) * 4 <= rgba.size(); ++i) {
        at += static_cast<size_t>(i % 130);
        const int32_t colour = i % 120;
        uint8_t* p = &rgba[at++ * 4];
        p[0] = static_cast<uint8_t>(colour * 8 % 256);
        p[1] = static_cast<uint8_t>(colour / 32 * 64);
        p[2] = static_cast<uint8_t>(colour % 7 * 32);
        p[3] = static_cast<uint8_t>(i % 5 == 0 ? (1 + i % 6) * 255 / 7 : 255);
    }
    return rgba;
}

TEST(VilibTest, RunPicturesRoundTripThroughArbitrarySegmentCuts)
{
    test::ScratchFolder folder("vilib_roundtrip");
    BundleWriter writer;
    const std::vector<uint8_t> images[] = { image(32, 90, 1), image(17, 23, 5), image(200, 3, 9) };
    ASSERT_EQ(writer.addRun(images[0].data(), 32, 90, 16, 88), 0) << writer.error();
    ASSERT_EQ(writer.addRun(images[1].data(), 17, 23, -3, 200), 1) << writer.error();
    ASSERT_EQ(writer.addRun(images[2].data(), 200, 3, 0, 0), 2) << writer.error();
    // One file, or segments as short as 8 bytes cut wherever an integer allows.
    for (int32_t size : { 1 << 20, 8, 37, 111 }) {
        const std::string name = "b" + std::to_string(size);
        ASSERT_TRUE(writer.writeSegments(folder.path(), name, size)) << writer.error();
        Ref<Vilib> lib = make<Vilib>(String::fromChars(name.c_str()));
        ASSERT_TRUE(lib->intact() && lib->count() == 3) << name;
        EXPECT_EQ(lib->getPictureRef(1)->m_anchorX, -3) << "negative anchors survive as 16-bit values";
        EXPECT_EQ(lib->getPictureRef(1)->m_anchorY, 200);
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_FALSE(lib->getPictureRef(i)->decoded()) << "decoding waits for first use";
            expectExact(lib->getPicture(i), images[i], name + " picture " + std::to_string(i));
        }
    }

    // Every length of skip and a colour cache that wraps, decoded and also
    // drawn straight into a wider frame (as an undecoded picture drawn whole
    // at its own size is), where skips end on row ends.
    BundleWriter skips;
    const std::vector<uint8_t> runs = skipsAndColours(128, 120);
    ASSERT_EQ(skips.addRun(runs.data(), 128, 120, 0, 0), 0) << skips.error();
    ASSERT_TRUE(skips.writeSegments(folder.path(), "skips", 1 << 20)) << skips.error();
    Ref<Vilib> lib = make<Vilib>(String::intern("skips"));
    constexpr int32_t kStride = 131;
    constexpr uint32_t kBackground = 0x12345678u;
    std::vector<uint32_t> frame(kStride * 122, kBackground);
    lib->drawPicture(0, frame.data(), kStride, 122, 2, 1, 130, 121, toFixed(2), toFixed(1), kOne, 0, kOne);
    const Ref<Vpicture> decoded = lib->getPicture(0);
    expectExact(decoded, runs, "skips and colours");
    for (int32_t i = 0; i < decoded->pixelCount(); ++i) {
        const uint32_t word = static_cast<uint32_t>(decoded->m_pixels[i]);
        const uint32_t got = frame[static_cast<size_t>((i / 128 + 1) * kStride + i % 128 + 2)];
        if (word >> 29 == 7 || word == 0) {
            ASSERT_EQ(got, word == 0 ? kBackground : word & 0xFFFFFF) << "direct pixel " << i;
        }
    }

    // Segments never end inside a multi-byte number: with every data byte
    // below 128, a segment's last byte with bit 7 set is a number cut in two.
    BundleWriter numbers;
    for (int32_t i = 0; i < 6; ++i) {
        ASSERT_EQ(numbers.addRecord('r', 300 + i, 20000, -3 - i, 1000, std::vector<uint8_t>(130 + i, 5)), i);
    }
    for (int32_t size : { 8, 9, 10, 11 }) {
        const std::vector<std::vector<uint8_t>> cut = numbers.segments(size);
        for (size_t s = 0; s + 1 < cut.size(); ++s) {
            ASSERT_LT(cut[s].back(), 0x80) << "segment " << s << " of at most " << size << " bytes";
        }
    }
}

TEST(VilibTest, JpegPicturesShareOneHeaderAndKeepTheirMask)
{
    test::ScratchFolder folder("vilib_jpeg");
    BundleWriter writer;
    const std::vector<uint8_t> a = image(64, 64, -2), b = image(40, 24, -1), c = image(12, 12, 3);
    ASSERT_EQ(writer.addJpeg(a.data(), 4, 64, 64, 0, 0, 90), 0) << writer.error();
    ASSERT_EQ(writer.addRun(c.data(), 12, 12, 6, 6), 1) << writer.error();
    ASSERT_EQ(writer.addJpeg(b.data(), 4, 40, 24, 20, 12, 90), 2) << writer.error();
    EXPECT_EQ(writer.addJpeg(b.data(), 4, 40, 24, 0, 0, 50), -1) << "another quality means another header";
    ASSERT_TRUE(writer.writeSegments(folder.path(), "j", 500)) << writer.error();
    Ref<Vilib> lib = make<Vilib>(String::intern("j"));
    ASSERT_TRUE(lib->intact() && lib->count() == 3);
    expectExact(lib->getPicture(1), c, "'r' picture between JPEGs");
    for (int32_t index : { 0, 2 }) {
        const std::vector<uint8_t>& src = index == 0 ? a : b;
        Ref<Vpicture> p = lib->getPicture(index);
        ASSERT_TRUE(p && p->decoded());
        int32_t worst = 0;
        for (int32_t i = 0; i < p->pixelCount(); ++i) {
            const uint32_t word = static_cast<uint32_t>(p->m_pixels[i]);
            const uint8_t* s = &src[static_cast<size_t>(i * 4)];
            EXPECT_EQ(word >> 29, s[3] == 0 ? 0u : 7u) << "mask at pixel " << i << " of picture " << index;
            for (int32_t k = 0; k < 3 && s[3] != 0; ++k) {
                worst = std::max(worst, std::abs(static_cast<int32_t>((word >> (16 - 8 * k)) & 0xFF) - s[k]));
            }
        }
        EXPECT_LE(worst, 12) << "JPEG error of picture " << index;
    }
}

TEST(VilibTest, DamagedBundlesKeepWhatIsSoundAndNeverCrash)
{
    BundleWriter writer;
    const std::vector<uint8_t> img = image(16, 16, 1), tex = image(32, 32, -1);
    writer.addRun(img.data(), 16, 16, 0, 0);
    writer.addJpeg(tex.data(), 4, 32, 32, 0, 0, 80);
    writer.addRecord('r', 30000, 30000, 0, 0, { 0x7C, 0x00 });  // too large to decode
    writer.addRecord('x', 4, 4, 0, 0, { 0x7C, 0x00, 150 });     // of no known type
    writer.addRun(img.data(), 16, 16, 0, 0);
    const std::vector<uint8_t> whole = writer.bytes();
    EXPECT_EQ(make<Vilib>(String::intern("absent"))->count(), 0);

    // Every truncation: what was read completely is kept, the rest is gone.
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        Ref<Vilib> lib = fromMemory(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)), "t");
        EXPECT_FALSE(lib->intact()) << "cut at " << cut;
        EXPECT_LT(lib->count(), 5) << "cut at " << cut;
        uint32_t frame[64] = {};
        for (int32_t i = 0; i < 5; ++i) {
            lib->drawPicture(i, frame, 8, 8, 0, 0, 8, 8, 0, 0, kOne, 0, kOne);
        }
    }

    // The oversized picture keeps its number but is dropped, the unknown one
    // is transparent, and the picture after them is sound.
    Ref<Vilib> lib = fromMemory(whole, "d");
    ASSERT_EQ(lib->count(), 5);
    EXPECT_FALSE(lib->getPicture(2));
    EXPECT_TRUE(transparent(lib->getPicture(3)));
    expectExact(lib->getPicture(4), img, "picture after the oversized one");
    // A dropped picture and pictures outside the library draw nothing.
    for (int32_t index : { -1, 2, 5 }) {
        uint32_t frame[4] = {};
        EXPECT_EQ(lib->drawPicture(index, frame, 2, 2, 0, 0, 2, 2, 0, 0, kOne, 0, kOne), 0) << index;
        EXPECT_FALSE(lib->getPicture(index) || frame[0] || frame[3]) << index;
    }

    // A JPEG body cut inside its entropy data, or full of markers, decodes as
    // transparent, and the library's shared header stays sound for the next.
    Ref<Vpicture> jpeg = lib->getPictureRef(1);
    const int32_t length = jpeg->m_jpegLength;
    jpeg->m_jpegLength = length / 2;
    EXPECT_TRUE(transparent(lib->getPicture(1))) << "short body";
    jpeg->dropPixels();
    jpeg->m_jpegLength = length;
    EXPECT_EQ(static_cast<uint32_t>(lib->getPicture(1)->m_pixels[31 * 32 + 31]) >> 29, 7u);
    for (int32_t i = 0; i < length; i += 3) {
        jpeg->m_data[i] = 0xFF;
    }
    jpeg->dropPixels();
    EXPECT_TRUE(transparent(lib->getPicture(1))) << "markers everywhere";
}

TEST(VilibTest, SizesNearTwoGigabytesAreRefusedWithoutAllocatingAndEveryFaultIsNamed)
{
    // A 'j' record (the first, carrying the shared header, or a later one)
    // whose body claims nearly 2 GB in a bundle of a few kilobytes: nothing of
    // that size may be counted into the JPEG buffer, summed in 32 bits or
    // allocated. Memory stays within what the bundle's bytes hold.
    BundleWriter writer;
    const std::vector<uint8_t> tex = image(16, 16, -2);
    ASSERT_EQ(writer.addJpeg(tex.data(), 4, 16, 16, 0, 0, 80), 0) << writer.error();
    const std::vector<uint8_t> sound = writer.bytes();
    for (uint32_t size : { 0x7FFFFFFFu, 0x7FFFF000u, 0x7FFFFD91u }) {
        // The first record alone, with its 623-byte header and a few bytes.
        std::vector<uint8_t> first = packed({ 1, 0, 'j', 16, 16, 0, 0, size, 0 });
        first.insert(first.end(), 623 + 40, 0x11);
        // A sound first picture, then a second 'j' claiming the size.
        std::vector<uint8_t> second = sound;
        second[0] = 2;  // the count (below 128: one byte)
        const std::vector<uint8_t> record = packed({ 'j', 16, 16, 0, 0, size, 7 });
        second.insert(second.end(), record.begin(), record.end());
        second.insert(second.end(), 100, 0x22);
        for (const auto* raw : { &first, &second }) {
            const int64_t before = avail();
            std::string said;
            Ref<Vilib> lib = fromMemory(*raw, "bad", &said);
            const bool isSecond = raw == &second;
            EXPECT_EQ(lib->count(), isSecond ? 1 : 0) << std::hex << size;
            EXPECT_FALSE(lib->intact());
            EXPECT_LT(before - avail(), 64 << 10) << "memory charged for a claimed size 0x" << std::hex << size;
            EXPECT_NE(said.find(std::string("Picture bundle bad: picture ") + (isSecond ? "1" : "0") + " claims "),
                std::string::npos)
                << said;
            if (isSecond) {
                Ref<Vpicture> p = lib->getPicture(0);
                ASSERT_TRUE(p);
                EXPECT_FALSE(transparent(p)) << "the sound picture before the damage still decodes";
            }
        }
    }

    // Each kind of damage in one line that names it, before anything is
    // allocated or read on: an empty bundle, a zero-filled one (count 0 and
    // nothing else may follow), a field that reads 0xFFFFFFFF (too large, not
    // the end of the bundle), a record cut short, a count beyond the limit, a
    // declared size far beyond the data, a first JPEG record too short for
    // the shared header.
    std::vector<uint8_t> large = packed({ 1, 0, 'r', 4, 0xFFFFFFFFu, 0, 0, 2 });
    large.insert(large.end(), { 0x7C, 0x00 });
    const struct {
        std::vector<uint8_t> bytes;
        const char* said;
    } cases[] = {
        { {}, "Picture bundle bad: no bytes at all\n" },
        { std::vector<uint8_t>(4096, 0), "Picture bundle bad: 4094 bytes after its last picture (0 declared)" },
        { large, "Picture bundle bad: picture 0: height does not fit 31 bits\n" },
        { packed({ 1, 0, 'r', 4, 4 }), "Picture bundle bad: ends early in picture 0 (its anchor x)\n" },
        { packed({ 70000, 0 }), "Picture bundle bad: bad picture count 70000 (at most 65536)\n" },
        { { 0x81 }, "Picture bundle bad: ends before its picture count" },
        { packed({ 1, 0, 'r', 4, 4, 0, 0, 0x7FFFFFF0u }, 3),
            "Picture bundle bad: picture 0 claims 2147483632 bytes of data, but only 3 are left\n" },
        { packed({ 1, 700, 'j', 8, 8, 0, 0, 600, 0 }, 700), "Picture bundle bad: picture 0: JPEG header missing\n" },
    };
    for (const auto& c : cases) {
        std::string said;
        Ref<Vilib> lib = fromMemory(c.bytes, "bad", &said);
        EXPECT_EQ(lib->count(), 0) << c.said;
        EXPECT_FALSE(lib->intact()) << c.said;
        EXPECT_NE(said.find(c.said), std::string::npos) << "said: " << said << "expected: " << c.said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line: " << said;
    }
}

TEST(VilibTest, DroppedAndDamagedPicturesAreNamedOnceAndTheBundleIsNotIntact)
{
    // Three 'r' records of one transparent run: a negative width, a sound
    // 4 x 4, and one of 9 M pixels (beyond the picture limit). The sound one
    // keeps its number; the others are dropped, and one line names the first.
    std::vector<uint8_t> raw = packed({ 3, 0 });
    for (const auto& [w, h] : { std::pair<uint32_t, uint32_t> { 65531, 4 }, { 4, 4 }, { 3000, 3000 } }) {
        const std::vector<uint8_t> record = packed({ 'r', w, h, 0, 0, 2 });
        raw.insert(raw.end(), record.begin(), record.end());
        raw.insert(raw.end(), { 0x7C, 0x00 });
    }
    std::string said;
    Ref<Vilib> lib = fromMemory(raw, "odd", &said);
    EXPECT_EQ(said, "Picture bundle odd: picture 0: bad picture size -5x4 (2 pictures dropped)\n");
    EXPECT_FALSE(lib->intact());
    ASSERT_EQ(lib->count(), 3);
    EXPECT_FALSE(lib->getPictureRef(0));
    EXPECT_TRUE(lib->getPictureRef(1));
    EXPECT_FALSE(lib->getPictureRef(2));

    // A JPEG whose entropy data is overwritten is named when first decoded,
    // not again each time it is decoded after an eviction.
    BundleWriter writer;
    ASSERT_EQ(writer.addJpeg(image(16, 8, -2).data(), 4, 16, 8, 0, 0, 75), 0) << writer.error();
    std::vector<uint8_t> jpeg = writer.bytes();
    std::fill(jpeg.end() - 10, jpeg.end(), 0xFF);
    Ref<Vilib> photos = fromMemory(jpeg, "photos");
    ASSERT_TRUE(photos->intact());
    testing::internal::CaptureStdout();
    for (int32_t round = 0; round < 3; ++round) {
        Ref<Vpicture> p = photos->getPicture(0);
        ASSERT_TRUE(p && p->damaged());
        p->dropPixels();
    }
    said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.rfind("Picture 0 of bundle photos: damaged JPEG: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(VilibTest, JpegFrameLargerThanItsPictureIsRefusedBeforeDecoding)
{
    // A 64 x 64 'j' picture whose stream declares a 65500 x 65500 progressive
    // frame, followed by valid entropy data (zero bytes: every DC difference
    // 0). Decoded as declared, it would buffer gigabytes; it must be refused
    // from the frame header alone.
    auto marker = [](std::vector<uint8_t>& out, uint8_t code, const std::vector<uint8_t>& body) {
        out.insert(out.end(),
            { 0xFF, code, static_cast<uint8_t>((body.size() + 2) >> 8), static_cast<uint8_t>(body.size() + 2) });
        out.insert(out.end(), body.begin(), body.end());
    };
    auto stream = [&](int32_t frame) {
        std::vector<uint8_t> header = { 0xFF, 0xD8 };
        marker(header, 0xFE, std::vector<uint8_t>(617, 0));  // a comment takes the shared header's place
        std::vector<uint8_t> body;
        marker(body, 0xDB, std::vector<uint8_t>(65, 1));
        marker(body, 0xC4, { 0, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 });
        const uint8_t hi = static_cast<uint8_t>(frame >> 8), lo = static_cast<uint8_t>(frame);
        marker(body, 0xC2, { 8, hi, lo, hi, lo, 3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0 });
        marker(body, 0xDA, { 3, 1, 0, 2, 0, 3, 0, 0, 0, 0 });
        body.insert(body.end(), 200000, 0);
        body.insert(body.end(), { 0xFF, 0xD9 });
        const uint32_t size = 623 + static_cast<uint32_t>(body.size());
        std::vector<uint8_t> out = packed({ 1, size, 'j', 64, 64, 0, 0, size, 0 });
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
    for (int32_t frame : { 65500, 4000 }) {
        Ref<Vilib> lib = fromMemory(stream(frame), "huge");
        ASSERT_EQ(lib->count(), 1);
        const int64_t before = avail();
        testing::internal::CaptureStdout();
        Ref<Vpicture> picture = lib->getPicture(0);
        const std::string said = testing::internal::GetCapturedStdout(), size = std::to_string(frame);
        ASSERT_TRUE(picture);
        EXPECT_TRUE(transparent(picture)) << frame;
        EXPECT_NE(said.find("picture is " + size + "x" + size + " with 3 components, expected 64x64 RGB"),
            std::string::npos)
            << said;
        EXPECT_EQ(before - avail(), 64 * 64 * 4) << "only the picture's own pixels are charged";
    }
}

}  // namespace
}  // namespace tarnby
