// Pictures and picture bundles: decoding 'r' codes and the alpha mask;
// drawing with blending, depth, scaling, clipping and the shadow;
// writer-to-reader round trips through segments and memory; and damaged
// bundles.
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "bundle-writer/picture_encoder.h"
#include "image/vilib.h"
#include "image/vpicture.h"
#include "support/test_support.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

ByteArray bytesOf(const std::vector<uint8_t>& v)
{
    ByteArray a(static_cast<int32_t>(v.size()));
    std::copy(v.begin(), v.end(), a.begin());
    return a;
}

// An 'r' picture decoded from `code`; `words`, when given, then replace its pixels.
Ref<Vpicture> picture(int32_t width, int32_t height, const std::vector<uint8_t>& code,
    const std::vector<uint32_t>& words = {})
{
    Ref<Vpicture> p = make<Vpicture>();
    p->m_type = Vpicture::kTypeRun;
    p->m_width = static_cast<int16_t>(width);
    p->m_height = static_cast<int16_t>(height);
    p->m_data = bytesOf(code);
    p->decode(ByteArray());
    for (size_t i = 0; i < words.size(); ++i) {
        p->m_pixels[static_cast<int32_t>(i)] = static_cast<int32_t>(words[i]);
    }
    return p;
}

uint32_t word(const Ref<Vpicture>& p, int32_t i) { return static_cast<uint32_t>(p->m_pixels[i]); }

int32_t component(uint32_t word, int32_t shift) { return static_cast<int32_t>((word >> shift) & 0xFF); }

TEST(VpictureTest, RunCodesAndAlphaMasksDecodeBitExactAndStayInsideThePicture)
{
    // 0x7C00 is red in 5:5:5, 0x001F blue; 150 + k reads cache entry k (black
    // until filled); 128..133 and the long skip's field give one pixel an alpha.
    const uint32_t red = 0xFFF80000u;
    struct Case {
        int32_t width, height;
        std::vector<uint8_t> code;
        std::vector<std::pair<int32_t, uint32_t>> set;  // every other pixel is 0
    } const cases[] = {
        { 8, 4, { 150, 0x7C, 0x00, 150, 130, 0x00, 0x1F, 151, 137, 134, 0x02, 150, 134, 0x07 },
            { { 0, 0xFF000000u }, { 1, red }, { 2, red }, { 3, 0x600000F8u }, { 4, 0xFF0000F8u },
                { 24, 0x40F80000u } } },
        // Six colours for four pixels, then a colour missing its second byte.
        { 2, 2, { 0x7C, 0x00, 150, 150, 150, 150, 150, 0x7C }, { { 0, red }, { 1, red }, { 2, red }, { 3, red } } },
        // Alpha field 0 of a long skip: the next pixel is transparent, not a
        // colour word that would read as a huge skip count.
        { 20, 1, { 134, 0x00, 0x7C, 0x00, 150 }, { { 17, red } } },
        { 4, 1, { 0x7C, 0x00, 134 }, { { 0, red } } },  // long skip without its field
    };
    for (const Case& c : cases) {
        Ref<Vpicture> p = picture(c.width, c.height, c.code);
        for (int32_t i = 0; i < c.width * c.height; ++i) {
            uint32_t want = 0;
            for (auto [at, w] : c.set) {
                want = at == i ? w : want;
            }
            EXPECT_EQ(word(p, i), want) << c.width << "x" << c.height << " picture, pixel " << i;
        }
    }

    // Straight into a frame (the bundle tests draw skips across rows and the
    // colour cache this way, exactly): levels 1 and 2 mix a quarter of the
    // colour in, 3 and 4 half, 5 and 6 three quarters; alpha field 0 of a
    // long skip leaves the next pixel alone.
    std::vector<uint32_t> row(20, 0x00000080u), want(20, 0x00000080u);
    picture(20, 1, { 129, 0x7C, 0x00, 131, 150, 132, 150, 134, 0x00, 150 })->decodeRunInto(row.data(), 20, 0);
    want[0] = 0x003E0060u;
    want[1] = 0x007C0040u;
    want[2] = 0x00BA0020u;
    EXPECT_EQ(row, want);

    auto masked = [](int32_t w, int32_t h, std::vector<uint8_t> mask) {
        Ref<Vpicture> p = picture(w, h, {}, std::vector<uint32_t>(static_cast<size_t>(w * h), 0xFF123456u));
        p->m_type = Vpicture::kTypeJpeg;
        p->m_jpegLength = 2;  // two stand-in body bytes before the mask
        mask.insert(mask.begin(), { 0xAA, 0xBB });
        p->m_data = bytesOf(mask);
        p->applyMask(p->m_pixels);
        return p;
    };
    // 0x0F: one opaque pixel; 0x3B: 7 of code 3; 0x00: 32 transparent ones
    // counting down, the run cut at the picture's end.
    Ref<Vpicture> a = masked(30, 1, { 0x0F, 0x3B, 0x00, 0x0F });
    for (int32_t i = 0; i < 30; ++i) {
        EXPECT_EQ(word(a, i), i == 0 ? 0xE0123456u : i < 8 ? 0x60123456u : 29u - i) << "pixel " << i;
    }
    Ref<Vpicture> b = masked(4, 1, { 0x08 });
    EXPECT_EQ(word(b, 0), 0u);
    EXPECT_EQ(word(b, 1), 0xFF123456u) << "a mask that ends early leaves the rest as decoded";
}

TEST(VpictureTest, DrawBlendsAtSevenLevelsWithOpacityAndDepthScalesAndNeverLeavesThePicture)
{
    const uint32_t colour = 0x20E060, back = 0xC04010;
    for (int32_t code = 1; code <= 7; ++code) {
        uint32_t frame = 0xFF000000u | back;
        Ref<Vpicture> p = picture(1, 1, {}, { static_cast<uint32_t>(code) << 29 | colour });
        EXPECT_EQ(p->draw(&frame, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 7, kOne), 0);
        EXPECT_EQ(frame >> 24, 7u) << "the picture's depth is written";
        const int32_t share = code == 7 ? 8 : code;  // level k mixes k/8 of the colour, 7 all of it
        for (int32_t shift = 0; shift < 24; shift += 8) {
            int32_t ideal = (component(back, shift) * (8 - share) + component(colour, shift) * share) / 8;
            EXPECT_NEAR(component(frame, shift), ideal, 3) << "level " << code << " component at bit " << shift;
        }
    }
    // Opacity 0.5: code 7 draws as code 3, code 1 falls to level 0 and is not drawn.
    uint32_t frame[2] = { 0xFF000000u | back, 0xFF000000u | back };
    picture(2, 1, {}, { 0xE0000000u | colour, 0x20000000u | colour })
        ->draw(frame, 2, 1, 0, 0, 2, 1, 0, 0, kOne, 0, 0x4000);
    uint32_t three = 0xFF000000u | back;
    picture(1, 1, {}, { 0x60000000u | colour })->draw(&three, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 0, kOne);
    EXPECT_EQ(frame[0], three);
    EXPECT_EQ(frame[1], 0xFF000000u | back);

    // Depth 10 hides behind 9, draws over 10; transparent pixels neither draw nor count.
    Ref<Vpicture> p = picture(3, 1, {}, { 0xFF00FF00u, 0xFF00FF00u, 0 });
    uint32_t row[3] = { 0x09111111u, 0x0A222222u, 0x00333333u };
    EXPECT_EQ(p->draw(row, 3, 1, 0, 0, 3, 1, 0, 0, kOne, 10, kOne), 1);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 3), (std::vector<uint32_t> { 0x09111111u, 0x0A00FF00u, 0x00333333u }));
    EXPECT_EQ(p->draw(row, 3, 1, 0, 0, 3, 1, 0, 0, 0, 10, kOne), 1) << "scale 0 draws nothing and gives 1";

    // 4x2: red, a transparent run of 2 (counts 1, 0), blue; the second row green.
    const uint32_t r = 0xFFFF0000u, g = 0xFF00FF00u, b = 0xFF0000FFu;
    Ref<Vpicture> rgb = picture(4, 2, {}, { r, 1, 0, b, g, g, g, g });
    const int32_t w = 20, h = 12;
    std::vector<uint32_t> scaled(static_cast<size_t>(w * h), 0xFF000000u);
    // At (3.5, 2), scale 2, the clip the whole frame (larger than the picture).
    rgb->draw(scaled.data(), w, h, 0, 0, w, h, 0x1C000, 0x10000, 0x10000, 0, kOne);
    // 3.5 samples from column 4 on; the transparent run is jumped over.
    const int32_t cases[][3] = { { 3, 2, 0 }, { 4, 2, 0xFF0000 }, { 5, 3, 0xFF0000 }, { 6, 2, 0 }, { 9, 2, 0 },
        { 10, 2, 0x0000FF }, { 11, 3, 0x0000FF }, { 12, 3, 0 }, { 4, 4, 0x00FF00 }, { 11, 5, 0x00FF00 }, { 4, 6, 0 },
        { 7, 1, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(scaled[static_cast<size_t>(c[1] * w + c[0])] & 0xFFFFFF, static_cast<uint32_t>(c[2]))
            << "at " << c[0] << "," << c[1];
    }
    // A clip hanging off the frame is held to it; placed at (-1, -1), frame
    // (0, 0) shows source (1, 1), and nothing beside or below the picture.
    std::vector<uint32_t> small(16, 0xFF000000u);
    rgb->draw(small.data(), 4, 4, -8, -8, 40, 40, toFixed(-1), toFixed(-1), kOne, 0, kOne);
    EXPECT_EQ(std::vector<uint32_t>(small.begin(), small.begin() + 5),
        (std::vector<uint32_t> { 0x00FF00u, 0x00FF00u, 0x00FF00u, 0xFF000000u, 0xFF000000u }));
}

TEST(VpictureTest, ShadowDarkensItsDepthWindowFlattenedAndSheared)
{
    // Ground at depths 9, 10, 13, 14: nearer ground keeps its colour, depth to
    // depth + 3 darkens to a quarter at the shadow's depth, + 4 is outside.
    Ref<Vpicture> bar = picture(4, 2, {}, std::vector<uint32_t>(8, 0xFF000000u));
    uint32_t row[4] = { 0x09808080u, 0x0A808080u, 0x0D808080u, 0x0E808080u };
    bar->drawShadow(row, 4, 1, 0, 0, 4, 1, 0, 0, kOne, 10, kOne);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 4),
        (std::vector<uint32_t> { 0x09808080u, 0x0A202020u, 0x0A202020u, 0x0E808080u }));
    uint32_t half = 0x0A808080u;
    bar->drawShadow(&half, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 10, 0x4000);
    EXPECT_EQ(half, 0x0A404040u) << "half opacity leaves half the colour";

    // A 2x4 picture shows at half height, each frame row one pixel further right.
    Ref<Vpicture> p = picture(2, 4, {}, std::vector<uint32_t>(8, 0xFF000000u));
    const int32_t w = 8, h = 6;
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), 0x00FFFFFFu);
    p->drawShadow(frame.data(), w, h, 0, 0, w, h, toFixed(1), toFixed(1), kOne, 0, kOne);
    const char* const expected[] = { "........", ".##.....", "..##....", "........" };
    for (int32_t y = 0; y < 4; ++y) {
        std::string dark;
        for (int32_t x = 0; x < w; ++x) {
            dark += (frame[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != 0xFFFFFF ? '#' : '.';
        }
        EXPECT_EQ(dark, expected[y]) << "row " << y;
    }
    // A clip hanging off every side shades the same pixels; extreme scales and
    // placements stay inside the frame and the picture.
    std::vector<uint32_t> wide(static_cast<size_t>(w * h), 0x00FFFFFFu);
    p->drawShadow(wide.data(), w, h, -3, -2, w + 5, h + 5, toFixed(1), toFixed(1), kOne, 0, kOne);
    EXPECT_EQ(wide, frame);
    for (Fixed scale : { 1, 0x100, 0x7FFFFFFF }) {
        for (Fixed place : { INT32_MIN, -0x100000, 0, 0x100000, INT32_MAX }) {
            p->drawShadow(wide.data(), w, h, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, place, place, scale, 0, kOne);
            p->draw(wide.data(), w, h, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, place, wrapSub(0, place), scale, 0,
                kOne);
        }
    }
}

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
    testing::internal::CaptureStdout();
    Ref<Vilib> lib = make<Vilib>(String::intern(name), bytesOf(raw));
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
