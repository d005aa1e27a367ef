// Font files: reading, measuring, corrupt files and drawing glyph runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sprite/test_fonts.h"
#include "sprite/vfont.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ScratchFolder;
using Ints = std::vector<int32_t>;
using Pixels = std::vector<uint32_t>;

TEST(VfontTest, RoundTripMeasuresCharactersAndTabStops)
{
    ScratchFolder folder("vfont_roundtrip");
    // 'A' (65) 3 wide with a diagonal, 'B' without a picture, 'C' 2 x 2 of
    // level 9, and a space of 200 (a two-byte number).
    fontgen::FontData data { 200, 11, 9, 65, {} };
    data.glyphs = { { 3, fontgen::encodeGlyph({ 3, 3, { 15, 0, 0, 0, 15, 0, 0, 0, 15 } }) }, {},
                    { 2, fontgen::encodeGlyph({ 2, 2, { 9, 9, 9, 9 } }) } };
    auto font = test::loadFont(folder, "hand.bin", data);
    EXPECT_EQ((Ints { font->spaceWidth(), font->getLineHeight(), font->baseline(), font->first(), font->last() }),
              (Ints { 200, 11, 9, 65, 67 }));
    // Only the low byte makes a space; -191 shares the low byte of 'A' but is not 'A'.
    for (auto [c, w] : std::vector<std::pair<int32_t, int32_t>> { { 'A', 3 }, { 'B', 0 }, { 'C', 2 }, { ' ', 200 },
             { 32 + 256, 200 }, { 'D', 0 }, { 64, 0 }, { -191, 0 } }) {
        EXPECT_EQ(font->charWidth(c), w) << "width of code " << c;
    }
    EXPECT_EQ((Ints { font->glyphBytes('A'), font->glyphBytes('B'), font->glyphBytes('C') }), (Ints { 5, 0, 1 }));

    // Characters 5 wide, a space of 4: tab stops every 32 pixels.
    auto tabs = test::loadFont(folder, "tabs.bin", test::blockFontData(4, 10, 32, 126, 5, 7));
    EXPECT_EQ((Ints { tabs->tabAdvance(0), tabs->tabAdvance(11), tabs->tabAdvance(32) }), (Ints { 32, 21, 32 }));
    EXPECT_EQ(tabs->stringWidth("ab\tc"), 37) << "a, b end at 10; the tab goes to 32; c adds 5";
    EXPECT_EQ(tabs->stringWidth("\xC1x"), 5) << "byte 0xC1 is the signed code -63, outside the font";
    EXPECT_EQ(tabs->glyphBytes('a'), 3) << "35 pixels of one level are written as runs of 16, 16 and 3";
}

TEST(VfontTest, CorruptFilesLeaveAnEmptyFont)
{
    ScratchFolder folder("vfont_corrupt");
    const fontgen::FontData goodData = test::blockFontData(4, 10, 32, 40, 3, 3);
    const std::vector<uint8_t> good = fontgen::writeFont(goodData);
    auto check = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        ASSERT_TRUE(test::writeBytes(folder.file("bad.bin"), bytes));
        auto font = test::loadFont(folder, "good.bin", goodData);
        EXPECT_FALSE(font->load("bad.bin")) << what;
        EXPECT_TRUE(font->empty()) << what;
        Ints left = { font->charWidth('!'), font->charWidth(' '), font->getLineHeight(), font->stringWidth("a\tb") };
        EXPECT_EQ(left, (Ints { 0, 0, 0, 0 })) << what << ": nothing of the old font is left, and no tab divides by 0";
    };
    for (size_t n = 0; n < good.size(); ++n) {
        check(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(n)),
              "the file cut to " + std::to_string(n) + " bytes");
    }
    // Space 4, line height 10, baseline 7, then the numbers from `first` on, then nine glyph bytes.
    auto file = [](std::vector<uint32_t> numbers) {
        numbers.insert(numbers.begin(), { 4, 10, 7 });
        std::vector<uint8_t> out;
        for (uint32_t v : numbers) {
            fontgen::appendNumber(out, v);
        }
        out.insert(out.end(), 9, 0x1F);
        return out;
    };
    check(file({ 40, 30 }), "last far below first (a negative count)");
    check(file({ 0, 0x0FFFFFFF }), "a count of 268 million characters");
    check({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 10, 7, 32, 32 }, "a space width that overflows 32 bits");
    check(file({ 32, 33, 5, 2, 5, 2, 9 }), "a data size below the character table's total");
    check(file({ 32, 32, 1, 2, 0x7FFFFFF }), "a data size of 134 MB in a file of a few bytes");
    check(file({ 32, 32, 1, 70000, 1 }), "a glyph 70000 pixels wide");

    // A file that cannot be opened is no fault in the file: the font keeps what it had.
    auto font = test::loadFont(folder, "good.bin", goodData);
    EXPECT_FALSE(font->load("missing.bin"));
    EXPECT_EQ(font->charWidth('!'), 3);
    EXPECT_EQ(font->readNumber(), -1) << "no stream is left open after loading";
}

// A channel-wise blend of src over dst at coverage `level` of 16.
uint32_t blend(uint32_t dst, uint32_t src, int level)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = static_cast<int>((dst >> shift) & 0xFF);
        int s = static_cast<int>((src >> shift) & 0xFF);
        out |= static_cast<uint32_t>(d + (((s - d) * level) >> 4)) << shift;
    }
    return out;
}

TEST(VfontTest, GlyphRunsLevelsShadowsAndOpacity)
{
    ScratchFolder folder("vfont_runs");
    // '!' (33), 3 wide: 7 transparent pixels (the pen wraps two rows), then one
    // pixel each of levels 15, 8 and 7, and two of level 12.
    auto font = test::loadFont(folder, "runs.bin", { 4, 9, 0, 33, { { 3, { 0x70, 0x1F, 0x18, 0x17, 0x2C } } } });
    constexpr int W = 6, H = 6;
    const uint32_t bg = 0xFF406080, colour = 0xC0F0E0D0;
    const uint32_t quarter = (bg & 0xFFFFFF) - ((bg >> 2) & 0x3F3F3F);  // shadow of levels below 8
    const uint32_t shade = (bg >> 1) & 0x7F7F7F;                         // shadow of levels 8 and up
    const uint32_t half = shade + ((colour >> 1) & 0x7F7F7F);            // levels 7 and 8
    auto draw = [&](Fixed opacity) {
        Pixels frame(W * H, bg);
        font->drawChar('!', frame.data(), W, H, 0, 0, W, H, 0, 0, colour, opacity);
        return frame;
    };
    // Level 15 writes the colour word (alpha as depth); 8 and 7 are half mixes;
    // 12 blends, at (2, 3) over the shadow of the 15. Each pixel casts a shadow
    // down and to the right, half for levels 8 and up, a quarter below.
    Pixels want(W * H, bg);
    want[2 * W + 1] = colour;
    want[2 * W + 2] = want[3 * W] = half;
    want[3 * W + 1] = blend(bg, colour, 12);
    want[3 * W + 2] = blend(shade, colour, 12);
    want[3 * W + 3] = want[4 * W + 2] = want[4 * W + 3] = shade;
    want[4 * W + 1] = quarter;
    EXPECT_EQ(draw(kOne), want);
    test::saveFrame("vfont_runs", want.data(), W, H, W);

    // Half opacity: levels 15, 8, 7, 12 become 7, 4, 3, 6, and no shadow is cast.
    want.assign(W * H, bg);
    want[2 * W + 1] = half;
    want[2 * W + 2] = blend(bg, colour, 4);
    want[3 * W] = blend(bg, colour, 3);
    want[3 * W + 1] = want[3 * W + 2] = blend(bg, colour, 6);
    EXPECT_EQ(draw(0x4000), want);
    EXPECT_EQ(draw(0x10000)[3 * W + 1], colour) << "level 12 at opacity 2 is held to 15 rather than overflowing";
    EXPECT_EQ(draw(-0x8000), Pixels(W * H, bg)) << "a negative opacity draws nothing";
}

TEST(VfontTest, ClippingAndFrameEdges)
{
    ScratchFolder folder("vfont_clip");
    auto font = test::loadFont(folder, "block.bin", test::blockFontData(3, 6, 33, 34, 4, 4));
    constexpr int W = 8, H = 8;
    const uint32_t bg = 0xFF000000, white = 0xFFFFFFFF;
    Pixels frame(W * H, bg);
    // Clip to [3, 5) x [2, 4): the block at (2, 1) covers 2..5 x 1..4. The
    // shadow stays inside the clip too, so the last clip pixel keeps its ink.
    font->drawChar('!', frame.data(), W, H, 3, 2, 5, 4, toFixed(2), toFixed(1), white, kOne);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            bool inside = x >= 3 && x < 5 && y >= 2 && y < 4;
            EXPECT_EQ(frame[y * W + x], inside ? white : bg) << "pixel (" << x << ", " << y << ")";
        }
    }
    // Glyphs hanging over every edge, with clips larger than the frame, write
    // only inside it (the sanitizers watch the rest).
    for (int x : { -6, -3, -1, 6, 7, 9 }) {
        for (int y : { -6, -2, 5, 7, 12 }) {
            font->drawChar('"', frame.data(), W, H, -100, -100, 100, 100, toFixed(x), toFixed(y), white, kOne);
        }
    }
    // Fractional positions round toward minus infinity: (2.99, 1.00).
    frame.assign(W * H, bg);
    font->drawChar('!', frame.data(), W, H, 0, 0, W, H, 0x17FFF, 0x8001, white, kOne);
    EXPECT_EQ(frame[1 * W + 2], white);
    EXPECT_EQ(frame[1 * W + 1], bg);
    // The space, characters outside the font, a null frame and a glyph with
    // runs but no width (which must not spin on the row wrap) draw nothing.
    frame.assign(W * H, bg);
    for (int c : { 32, 65, -1, 1000 }) {
        font->drawChar(c, frame.data(), W, H, 0, 0, W, H, 0, 0, white, kOne);
    }
    font->drawChar('!', nullptr, W, H, 0, 0, W, H, 0, 0, white, kOne);
    auto zero = test::loadFont(folder, "zero.bin", { 3, 5, 0, 65, { { 0, { 0x3F, 0x20, 0x1F } } } });
    zero->drawChar('A', frame.data(), W, H, 0, 0, W, H, 0, 0, white, kOne);
    EXPECT_EQ(frame, Pixels(W * H, bg));
}

TEST(VfontTest, GeneratedFontsHoldEveryPrintableCharacter)
{
    int32_t previousLine = 0;
    for (const char* name : { "f10.bin", "f13.bin", "f16.bin" }) {
        auto font = make<Vfont>();
        ASSERT_TRUE(font->loadPath(test::binFolder() + name)) << name << " must be generated beside the game";
        EXPECT_TRUE(font->first() <= 32 && font->last() >= 126) << name;
        EXPECT_GT(font->getLineHeight(), previousLine) << name << " must be taller than the smaller font";
        previousLine = font->getLineHeight();
        EXPECT_TRUE(font->spaceWidth() >= 3 && font->spaceWidth() < font->charWidth('n')) << name;
        for (int32_t c = 33; c <= 126; ++c) {
            EXPECT_TRUE(font->charWidth(c) > 0 && font->glyphBytes(c) > 0) << name << " character " << c;
        }
    }
}

}  // namespace
}  // namespace tarnby
