// Picture decoding and drawing: 'r' codes, the alpha mask, blending, depth,
// scaling, clipping and the shadow.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "image/vpicture.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

ByteArray bytesOf(const std::vector<uint8_t>& v)
{
    ByteArray a(static_cast<int32_t>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) {
        a[static_cast<int32_t>(i)] = v[i];
    }
    return a;
}

Ref<Vpicture> runPicture(int32_t width, int32_t height, const std::vector<uint8_t>& code)
{
    Ref<Vpicture> p = make<Vpicture>();
    p->m_type = Vpicture::kTypeRun;
    p->m_width = static_cast<int16_t>(width);
    p->m_height = static_cast<int16_t>(height);
    p->m_data = bytesOf(code);
    p->decode(ByteArray());
    return p;
}

// A picture with the given pixel words.
Ref<Vpicture> wordPicture(int32_t width, int32_t height, const std::vector<uint32_t>& words)
{
    Ref<Vpicture> p = make<Vpicture>();
    p->m_type = Vpicture::kTypeRun;
    p->m_width = static_cast<int16_t>(width);
    p->m_height = static_cast<int16_t>(height);
    p->m_pixels = IntArray(width * height);
    for (int32_t i = 0; i < width * height; ++i) {
        p->m_pixels[i] = static_cast<int32_t>(words[static_cast<size_t>(i)]);
    }
    return p;
}

uint32_t px(const Ref<Vpicture>& p, int32_t i)
{
    return static_cast<uint32_t>(p->m_pixels[i]);
}

int32_t component(uint32_t word, int32_t shift)
{
    return static_cast<int32_t>((word >> shift) & 0xFF);
}

TEST(VpictureTest, RunCodesDecodeColoursCacheAlphaAndSkips)
{
    // 0x7C00 = pure red in 5:5:5; 0x001F = pure blue.
    Ref<Vpicture> p = runPicture(8, 4,
        {
            150, // cache entry 0 right after the reset: black
            0x7C, 0x00, // red, enters cache entry 0
            150, // cache entry 0 is red now
            130, // alpha code 3 for the next pixel only
            0x00, 0x1F, // blue, partial; enters entry 1
            151, // blue, opaque again
            137, // skip 3
            134, 0x02, // skip 16, alpha code 2 for the next pixel
            150, // red at alpha 2
            134, 0x07, // skip 16, no alpha
        });
    EXPECT_EQ(px(p, 0), 0xFF000000u) << "byte 150 after the cache reset must be black";
    EXPECT_EQ(px(p, 1), 0xFFF80000u) << "5:5:5 red";
    EXPECT_EQ(px(p, 2), 0xFFF80000u) << "cached red";
    EXPECT_EQ(px(p, 3), 0x600000F8u) << "blue with alpha code 3";
    EXPECT_EQ(px(p, 4), 0xFF0000F8u) << "alpha code lasts one pixel";
    for (int32_t i = 5; i < 24; ++i) {
        EXPECT_EQ(px(p, i), 0u) << "skipped pixel " << i << " is transparent with count 0";
    }
    EXPECT_EQ(px(p, 24), 0x40F80000u) << "long skip's alpha field applies to the next pixel";
    for (int32_t i = 25; i < 32; ++i) {
        EXPECT_EQ(px(p, i), 0u) << "pixel " << i << " past a skip beyond the end";
    }
}

TEST(VpictureTest, RunCodesStayInsideThePicture)
{
    // 6 colours for a 2x2 picture, then a colour missing its second byte.
    Ref<Vpicture> p = runPicture(2, 2, { 0x7C, 0x00, 150, 150, 150, 150, 150, 0x7C });
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(px(p, i), 0xFFF80000u);
    }
    // Alpha field 0 of the long skip makes the next pixel transparent, not a
    // colour that would read as a huge skip count.
    Ref<Vpicture> q = runPicture(20, 1, { 134, 0x00, 0x7C, 0x00, 150 });
    EXPECT_EQ(px(q, 16), 0u);
    EXPECT_EQ(px(q, 17), 0xFFF80000u);
    // Truncated code: a dangling colour byte or a long skip without its field.
    Ref<Vpicture> r = runPicture(4, 1, { 0x7C, 0x00, 134 });
    EXPECT_EQ(px(r, 0), 0xFFF80000u);
    EXPECT_EQ(px(r, 1), 0u);
}

TEST(VpictureTest, AlphaMaskRunsAndBounds)
{
    auto masked = [](int32_t w, int32_t h, const std::vector<uint8_t>& mask) {
        Ref<Vpicture> p = make<Vpicture>();
        p->m_type = Vpicture::kTypeJpeg;
        p->m_width = static_cast<int16_t>(w);
        p->m_height = static_cast<int16_t>(h);
        p->m_jpegLength = 2; // two stand-in body bytes before the mask
        std::vector<uint8_t> data = { 0xAA, 0xBB };
        data.insert(data.end(), mask.begin(), mask.end());
        p->m_data = bytesOf(data);
        IntArray pixels(w * h);
        for (int32_t i = 0; i < w * h; ++i) {
            pixels[i] = static_cast<int32_t>(0xFF123456u);
        }
        p->applyMask(pixels);
        return pixels;
    };
    IntArray a = masked(40, 1, { 0x00, 0x0F, 0x3B });
    for (int32_t i = 0; i < 32; ++i) {
        EXPECT_EQ(a[i], 31 - i) << "mask byte 0x00: 32 transparent pixels counting down, pixel " << i;
    }
    EXPECT_EQ(static_cast<uint32_t>(a[32]), 0xE0123456u) << "0x0F: one opaque pixel, bits 24..28 cleared";
    for (int32_t i = 33; i < 40; ++i) {
        EXPECT_EQ(static_cast<uint32_t>(a[i]), 0x60123456u) << "0x3B: 7 pixels of code 3, pixel " << i;
    }
    // An overlong mask stops at the last pixel; its last run is cut short.
    IntArray b = masked(3, 2, { 0x00, 0x00, 0x00 });
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(b[i], 5 - i) << "a cut run counts down to the picture's end";
    }
    // A mask that ends early leaves the rest as decoded.
    IntArray c = masked(4, 1, { 0x08 });
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(static_cast<uint32_t>(c[1]), 0xFF123456u);
}

TEST(VpictureTest, DrawBlendsAtSevenLevelsAndOpacity)
{
    const uint32_t colour = 0x20E060;
    const uint32_t back = 0xC04010;
    for (int32_t code = 1; code <= 7; ++code) {
        Ref<Vpicture> p = wordPicture(1, 1, { static_cast<uint32_t>(code) << 29 | colour });
        uint32_t frame = 0xFF000000u | back;
        EXPECT_EQ(p->draw(&frame, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 7, kOne), 0);
        EXPECT_EQ(frame >> 24, 7u) << "the picture's depth is written";
        for (int32_t shift = 0; shift < 24; shift += 8) {
            // Level k mixes k/8 of the picture's colour, except level 7: all of it.
            int32_t share = code == 7 ? 8 : code;
            int32_t ideal = (component(back, shift) * (8 - share) + component(colour, shift) * share) / 8;
            EXPECT_NEAR(component(frame, shift), ideal, 3) << "level " << code << " component at bit " << shift;
        }
    }
    // Opacity 0.5: code 7 becomes level 3, code 1 becomes level 0 (not drawn).
    Ref<Vpicture> p = wordPicture(2, 1, { 0xE0000000u | colour, 0x20000000u | colour });
    uint32_t frame[2] = { 0xFF000000u | back, 0xFF000000u | back };
    p->draw(frame, 2, 1, 0, 0, 2, 1, 0, 0, kOne, 0, 0x4000 /* 0.5 */);
    Ref<Vpicture> three = wordPicture(1, 1, { 0x60000000u | colour });
    uint32_t expected = 0xFF000000u | back;
    three->draw(&expected, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 0, kOne);
    EXPECT_EQ(frame[0], expected) << "code 7 at half opacity draws like code 3";
    EXPECT_EQ(frame[1], 0xFF000000u | back) << "code 1 at half opacity is not drawn";
}

TEST(VpictureTest, DrawDepthTestCountsHiddenPixels)
{
    Ref<Vpicture> p = wordPicture(3, 1, { 0xFF00FF00u, 0xFF00FF00u, 0x00000000u });
    uint32_t frame[3] = { 0x09111111u, 0x0A222222u, 0x00333333u };
    EXPECT_EQ(p->draw(frame, 3, 1, 0, 0, 3, 1, 0, 0, kOne, 10, kOne), 1);
    EXPECT_EQ(frame[0], 0x09111111u) << "depth 10 behind a depth-9 pixel is hidden";
    EXPECT_EQ(frame[1], 0x0A00FF00u) << "depth 10 over depth 10 draws";
    EXPECT_EQ(frame[2], 0x00333333u) << "transparent pixels neither draw nor count";
    EXPECT_EQ(p->draw(frame, 3, 1, 0, 0, 3, 1, 0, 0, 0, 10, kOne), 1) << "scale 0 draws nothing and gives 1";
}

TEST(VpictureTest, DrawScalesSkipsAndNeverLeavesThePicture)
{
    // 4x2 picture: red, a transparent run of 2 (counts 1, 0), blue; second row green.
    const uint32_t r = 0xFFFF0000u, g = 0xFF00FF00u, b = 0xFF0000FFu;
    Ref<Vpicture> p = wordPicture(4, 2, { r, 1, 0, b, g, g, g, g });
    const int32_t w = 20, h = 12;
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), 0xFF000000u);
    // Placed at (3.5, 2) at scale 2, clip = the whole frame (larger than the picture).
    p->draw(frame.data(), w, h, 0, 0, w, h, 0x1C000 /* 3.5 */, 0x10000 /* 2 */, 0x10000 /* 2 */, 0, kOne);
    test::saveFrame("vpicture_scaled", frame.data(), w, h, w);
    auto at = [&](int32_t x, int32_t y) { return frame[static_cast<size_t>(y * w + x)] & 0xFFFFFF; };
    // 3.5 samples from column 4 on; the transparent run is jumped over.
    const int32_t cases[][3] = { { 3, 2, 0 }, { 4, 2, 0xFF0000 }, { 5, 3, 0xFF0000 }, { 6, 2, 0 }, { 9, 2, 0 },
        { 10, 2, 0x0000FF }, { 11, 3, 0x0000FF }, { 12, 3, 0 }, { 4, 4, 0x00FF00 }, { 11, 5, 0x00FF00 }, { 4, 6, 0 },
        { 7, 1, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(at(c[0], c[1]), static_cast<uint32_t>(c[2])) << "at " << c[0] << "," << c[1];
    }
    // A clip hanging off the frame is held to the frame.
    std::vector<uint32_t> small(16, 0xFF000000u);
    p->draw(small.data(), 4, 4, -8, -8, 40, 40, toFixed(-1), toFixed(-1), kOne, 0, kOne);
    EXPECT_EQ(small[0] & 0xFFFFFF, 0x00FF00u) << "placed at (-1,-1), frame (0,0) shows source (1,1)";
    EXPECT_EQ(small[2] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(small[3], 0xFF000000u) << "source column 4 is beside the picture";
    EXPECT_EQ(small[4], 0xFF000000u) << "source row 2 is below the picture";
}

TEST(VpictureTest, ShadowDarkensOnlyItsDepthWindow)
{
    Ref<Vpicture> p = wordPicture(4, 2,
        { 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u });
    // One frame row: depths 9, 10, 13, 14 under the picture.
    uint32_t frame[4] = { 0x09808080u, 0x0A808080u, 0x0D808080u, 0x0E808080u };
    p->drawShadow(frame, 4, 1, 0, 0, 4, 1, 0, 0, kOne, 10, kOne);
    EXPECT_EQ(frame[0], 0x09808080u) << "nearer ground keeps its colour";
    EXPECT_EQ(frame[1], 0x0A202020u) << "opaque shadow leaves a quarter";
    EXPECT_EQ(frame[2], 0x0A202020u) << "depth + 3 still darkens, and takes the shadow's depth";
    EXPECT_EQ(frame[3], 0x0E808080u) << "depth + 4 is out of the window";
    // Half opacity: level 3 leaves half the colour.
    uint32_t half = 0x0A808080u;
    p->drawShadow(&half, 1, 1, 0, 0, 1, 1, 0, 0, kOne, 10, 0x4000 /* 0.5 */);
    EXPECT_EQ(half, 0x0A404040u);
}

TEST(VpictureTest, ShadowIsFlattenedAndSheared)
{
    // 2x4 picture, every pixel opaque: the shadow shows it at half height,
    // each frame row one pixel further right.
    Ref<Vpicture> p = wordPicture(2, 4, std::vector<uint32_t>(8, 0xFF000000u));
    const int32_t w = 8, h = 6;
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), 0x00FFFFFFu);
    p->drawShadow(frame.data(), w, h, 0, 0, w, h, toFixed(1), toFixed(1), kOne, 0, kOne);
    auto darkRow = [&](int32_t y) {
        std::string row;
        for (int32_t x = 0; x < w; ++x) {
            row += (frame[static_cast<size_t>(y * w + x)] & 0xFFFFFF) != 0xFFFFFF ? '#' : '.';
        }
        return row;
    };
    const char* const expected[] = { "........", ".##.....", "..##....", "........" };
    for (int32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(darkRow(y), expected[y]) << "row " << y << ": 4 source rows at half height, sheared right";
    }
    // A clip hanging off every side of the frame shades the same pixels.
    std::vector<uint32_t> wide(static_cast<size_t>(w * h), 0x00FFFFFFu);
    p->drawShadow(wide.data(), w, h, -3, -2, w + 5, h + 5, toFixed(1), toFixed(1), kOne, 0, kOne);
    EXPECT_EQ(wide, frame);
    // Extreme scales and placements stay inside the frame and the picture.
    for (Fixed scale : { 1, 0x100, 0x7FFFFFFF }) {
        for (Fixed place : { INT32_MIN, -0x100000, 0, 0x100000, INT32_MAX }) {
            p->drawShadow(wide.data(), w, h, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, place, place, scale, 0, kOne);
            p->draw(wide.data(), w, h, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, place, wrapSub(0, place), scale, 0,
                kOne);
        }
    }
}

TEST(VpictureTest, DirectDecodeMatchesCachedDraw)
{
    // A figure with opaque colours, cached colours, skips across rows and
    // partial alphas, decoded straight into a frame and through the cache.
    std::vector<uint8_t> code = { 0x7C, 0x00, 0x03, 0xE0, 150, 151, 140, 0x00, 0x1F, 134, 0x0F, 0x7F, 0xFF, 150, 128,
        0x00, 0x1F, 132, 151, 133, 150, 134, 0x00, 0x03, 0xE0 };
    Ref<Vpicture> p = runPicture(7, 9, code);
    const int32_t w = 10, h = 12;
    std::vector<uint32_t> direct(static_cast<size_t>(w * h), 0xFF406080u);
    std::vector<uint32_t> drawn = direct;
    p->decodeRunInto(direct.data(), w, 2 * w + 1);
    p->draw(drawn.data(), w, h, 1, 2, 8, 11, toFixed(1), toFixed(2), kOne, 0, kOne);
    for (int32_t i = 0; i < w * h; ++i) {
        uint32_t a = direct[static_cast<size_t>(i)];
        uint32_t b = drawn[static_cast<size_t>(i)];
        if (a == 0xFF406080u || b == 0xFF406080u) {
            EXPECT_EQ(a, b) << "the same pixels are left alone, pixel " << i;
            continue;
        }
        EXPECT_EQ(a >> 24, 0u) << "direct decode writes depth 0";
        for (int32_t shift = 0; shift < 24; shift += 8) {
            EXPECT_NEAR(component(a, shift), component(b, shift), 24) << "pixel " << i;
        }
    }
    // Level 5 of the direct path is 1/4 frame + 3/4 colour; alpha field 0 of a
    // long skip leaves the pixel alone.
    Ref<Vpicture> q = runPicture(18, 1, { 132, 0x7C, 0x00, 134, 0x00, 150 });
    std::vector<uint32_t> row(18, 0x00000080u);
    q->decodeRunInto(row.data(), 18, 0);
    EXPECT_EQ(row[0], 0x00BA0020u);
    EXPECT_EQ(row[17], 0x00000080u) << "level 0 from the long skip draws nothing";
}

} // namespace
} // namespace tarnby
