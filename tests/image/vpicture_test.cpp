// Picture decoding and drawing: 'r' codes, the alpha mask, blending, depth,
// scaling, clipping and the shadow.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "image/vpicture.h"
#include "support/test_support.h"

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

TEST(VpictureTest, RunCodesDecodeBitExactAndStayInsideThePicture)
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
}

TEST(VpictureTest, AlphaMaskRunsStopAtThePicturesEnd)
{
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

TEST(VpictureTest, DrawBlendsAtSevenLevelsWithOpacityAndDepth)
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
}

TEST(VpictureTest, DrawScalesSkipsAndNeverLeavesThePicture)
{
    // 4x2: red, a transparent run of 2 (counts 1, 0), blue; the second row green.
    const uint32_t r = 0xFFFF0000u, g = 0xFF00FF00u, b = 0xFF0000FFu;
    Ref<Vpicture> p = picture(4, 2, {}, { r, 1, 0, b, g, g, g, g });
    const int32_t w = 20, h = 12;
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), 0xFF000000u);
    // At (3.5, 2), scale 2, the clip the whole frame (larger than the picture).
    p->draw(frame.data(), w, h, 0, 0, w, h, 0x1C000, 0x10000, 0x10000, 0, kOne);
    // 3.5 samples from column 4 on; the transparent run is jumped over.
    const int32_t cases[][3] = { { 3, 2, 0 }, { 4, 2, 0xFF0000 }, { 5, 3, 0xFF0000 }, { 6, 2, 0 }, { 9, 2, 0 },
        { 10, 2, 0x0000FF }, { 11, 3, 0x0000FF }, { 12, 3, 0 }, { 4, 4, 0x00FF00 }, { 11, 5, 0x00FF00 }, { 4, 6, 0 },
        { 7, 1, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(frame[static_cast<size_t>(c[1] * w + c[0])] & 0xFFFFFF, static_cast<uint32_t>(c[2]))
            << "at " << c[0] << "," << c[1];
    }
    // A clip hanging off the frame is held to it; placed at (-1, -1), frame
    // (0, 0) shows source (1, 1), and nothing beside or below the picture.
    std::vector<uint32_t> small(16, 0xFF000000u);
    p->draw(small.data(), 4, 4, -8, -8, 40, 40, toFixed(-1), toFixed(-1), kOne, 0, kOne);
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
            dark += (frame[static_cast<size_t>(y * w + x)] & 0xFFFFFF) != 0xFFFFFF ? '#' : '.';
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

}  // namespace
}  // namespace tarnby
