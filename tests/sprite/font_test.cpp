// Fonts: reading, measuring, corrupt files and the limits of the reader,
// drawing glyph runs with their shadows, clipping, the generator's layout and
// the generated fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font_fixture.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

using Pixels = std::vector<uint32_t>;
using test::blockFontData;
using test::Ints;
using test::loadFont;
using test::writeBytes;
using VfontTest = test::FontFixture;

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

TEST_F(VfontTest, RoundTripAndGeneratedFontsMeasureCharactersAndTabStops)
{
    // 'A' (65) 3 wide with a diagonal, 'B' without a picture, 'C' 2 x 2 of
    // level 9, and a space of 200 (a two-byte number).
    fontgen::FontData data { 200, 11, 9, 65, {} };
    data.glyphs = { { 3, fontgen::encodeGlyph({ 3, 3, { 15, 0, 0, 0, 15, 0, 0, 0, 15 } }) }, {},
        { 2, fontgen::encodeGlyph({ 2, 2, { 9, 9, 9, 9 } }) } };
    auto font = loadFont(m_folder, "hand.bin", data);
    EXPECT_EQ((Ints { font->spaceWidth(), font->getLineHeight(), font->baseline(), font->first(), font->last() }),
        (Ints { 200, 11, 9, 65, 67 }));
    // Only the low byte makes a space; -191 shares the low byte of 'A' but is not 'A'.
    for (auto [c, w] : std::vector<std::pair<int32_t, int32_t>> { { 'A', 3 }, { 'B', 0 }, { 'C', 2 }, { ' ', 200 },
             { 32 + 256, 200 }, { 'D', 0 }, { 64, 0 }, { -191, 0 } }) {
        EXPECT_EQ(font->charWidth(c), w) << "width of code " << c;
    }
    EXPECT_EQ((Ints { font->glyphBytes('A'), font->glyphBytes('B'), font->glyphBytes('C') }), (Ints { 5, 0, 1 }));

    // The default font: characters 5 wide, a space of 4, so tab stops every 32 pixels.
    EXPECT_EQ((Ints { m_font->tabAdvance(0), m_font->tabAdvance(11), m_font->tabAdvance(32) }), (Ints { 32, 21, 32 }));
    EXPECT_EQ(m_font->stringWidth("\xC1x"), 5) << "byte 0xC1 is the signed code -63, outside the font";
    EXPECT_EQ(m_font->glyphBytes('a'), 3) << "35 pixels of one level are written as runs of 16, 16 and 3";

    // The fonts generated beside the game hold every printable character.
    for (const char* name : { "f10.bin", "f13.bin", "f16.bin" }) {
        auto generated = make<Vfont>();
        ASSERT_TRUE(generated->loadPath(test::binFolder() + name)) << name << " must be generated beside the game";
        EXPECT_TRUE(generated->first() <= 32 && generated->last() >= 126 && generated->spaceWidth() >= 3) << name;
        EXPECT_LT(generated->spaceWidth(), generated->charWidth('n')) << name;
        for (int32_t c = 33; c <= 126; ++c) {
            EXPECT_TRUE(generated->charWidth(c) > 0 && generated->glyphBytes(c) > 0) << name << " character " << c;
        }
    }
}

TEST_F(VfontTest, CorruptFilesLeaveAnEmptyFont)
{
    const fontgen::FontData goodData = blockFontData(4, 10, 32, 40, 3, 3);
    const std::vector<uint8_t> good = fontgen::writeFont(goodData);
    auto check = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        ASSERT_TRUE(writeBytes(m_folder.file("bad.bin"), bytes));
        auto font = loadFont(m_folder, "good.bin", goodData);
        EXPECT_FALSE(font->load("bad.bin")) << what;
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
            appendPackedNumber(out, v);
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
    testing::internal::CaptureStdout();
    EXPECT_FALSE(m_font->load("missing.bin"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        "Font file missing.bin cannot be opened: the font is unchanged\n");
    EXPECT_EQ(m_font->charWidth('!'), 5);
}

TEST_F(VfontTest, TheLargestFontLoadsAndOneStepBeyondEachLimitIsNamed)
{
    // 65536 characters of 16 glyph bytes each (exactly 1 MB of glyphs), all
    // metrics at their largest: the biggest font the reader takes.
    fontgen::FontData data { Vfont::kMaxMetric, Vfont::kMaxMetric, 7, 0, {} };
    for (int32_t c = 0; c < Vfont::kMaxChars; ++c) {
        data.glyphs.push_back({ c == 65 ? Vfont::kMaxMetric : 1 + c % 7, std::vector<uint8_t>(16, 0x1F) });
    }
    ASSERT_EQ(16 * Vfont::kMaxChars, Vfont::kMaxGlyphBytes);
    std::vector<uint8_t> largest = fontgen::writeFont(data);
    auto load = [](const std::vector<uint8_t>& bytes, std::string& said) {
        Ref<Vfont> font = make<Vfont>();
        testing::internal::CaptureStdout();
        font->loadBytes(bytes.data(), bytes.size(), "big.bin");
        said = testing::internal::GetCapturedStdout();
        return font;
    };
    std::string said;
    Ref<Vfont> font = load(largest, said);
    EXPECT_EQ(said, "");
    EXPECT_EQ((Ints { font->first(), font->last(), font->charWidth(65), font->charWidth(66), font->glyphBytes(65535),
                  font->spaceWidth(), font->getLineHeight() }),
        (Ints { 0, 65535, 4096, 4, 16, 4096, 4096 }));

    // One glyph byte too many, one character too many, one pixel too wide.
    data.glyphs[40000].runs.push_back(0x1F);
    load(fontgen::writeFont(data), said);
    EXPECT_EQ(said, "Font file big.bin has more than 1048576 bytes of glyphs at character 65535: the font is left "
                    "empty\n");
    data.glyphs[40000].runs.pop_back();
    data.glyphs.push_back({});
    load(fontgen::writeFont(data), said);
    EXPECT_EQ(said, "Font file big.bin has impossible character codes 0 to 65536: the font is left empty\n");
    data.glyphs.pop_back();
    data.glyphs[300].width = Vfont::kMaxMetric + 1;
    Ref<Vfont> wide = load(fontgen::writeFont(data), said);
    EXPECT_EQ(said, "Font file big.bin has an impossible width 4097 for character 300: the font is left empty\n");
    EXPECT_TRUE(wide->empty());

    // Numbers that end early or do not fit are told apart, and the glyph is named.
    // The header takes 9 bytes and characters 0..65 133 bytes of the table
    // (65 is two bytes wider), every later one 2: a cut 65537 bytes into the
    // table ends just before the glyph length of character 32768.
    std::vector<uint8_t> cut(largest.begin(), largest.begin() + 9 + 65537);
    load(cut, said);
    EXPECT_EQ(said, "Font file big.bin ends early, in the glyph length of character 32768: the font is left empty\n");
    std::vector<uint8_t> huge = { 4, 10, 7, 32, 32, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0 };
    load(huge, said);
    EXPECT_EQ(said, "Font file big.bin has a number beyond 31 bits, in the glyph length of character 32: the font "
                    "is left empty\n");

    // A file larger than the reader takes is refused before it is parsed.
    largest.resize(static_cast<size_t>(Vfont::kMaxFileBytes) + 1, 0);
    ASSERT_TRUE(writeBytes(m_folder.file("huge.bin"), largest));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(font->load("huge.bin"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
        "Font file huge.bin is larger than 4194304 bytes: the font is left empty\n");
    EXPECT_TRUE(font->empty());
}

TEST_F(VfontTest, GlyphRunsLevelsShadowsAndOpacity)
{
    // '!' (33), 3 wide: 7 transparent pixels (the pen wraps two rows), then one
    // pixel each of levels 15, 8 and 7, and two of level 12.
    auto font = loadFont(m_folder, "runs.bin", { 4, 9, 0, 33, { { 3, { 0x70, 0x1F, 0x18, 0x17, 0x2C } } } });
    constexpr int kW = 6, kH = 6;
    const uint32_t bg = 0xFF406080, colour = 0xC0F0E0D0;
    const uint32_t quarter = (bg & 0xFFFFFF) - ((bg >> 2) & 0x3F3F3F);  // shadow of levels below 8
    const uint32_t shade = (bg >> 1) & 0x7F7F7F;                        // shadow of levels 8 and up
    const uint32_t half = shade + ((colour >> 1) & 0x7F7F7F);           // levels 7 and 8
    auto draw = [&](Fixed opacity) {
        Pixels frame(kW * kH, bg);
        font->drawChar('!', frame.data(), kW, kH, 0, 0, kW, kH, 0, 0, colour, opacity);
        return frame;
    };
    // Level 15 writes the colour word (alpha as depth); 8 and 7 are half mixes;
    // 12 blends, at (2, 3) over the shadow of the 15. Each pixel casts a shadow
    // down and to the right, half for levels 8 and up, a quarter below.
    Pixels want(kW * kH, bg);
    want[2 * kW + 1] = colour;
    want[2 * kW + 2] = want[3 * kW] = half;
    want[3 * kW + 1] = blend(bg, colour, 12);
    want[3 * kW + 2] = blend(shade, colour, 12);
    want[3 * kW + 3] = want[4 * kW + 2] = want[4 * kW + 3] = shade;
    want[4 * kW + 1] = quarter;
    EXPECT_EQ(draw(kOne), want);

    // Half opacity: levels 15, 8, 7, 12 become 7, 4, 3, 6, and no shadow is cast.
    want.assign(kW * kH, bg);
    want[2 * kW + 1] = half;
    want[2 * kW + 2] = blend(bg, colour, 4);
    want[3 * kW] = blend(bg, colour, 3);
    want[3 * kW + 1] = want[3 * kW + 2] = blend(bg, colour, 6);
    EXPECT_EQ(draw(0x4000), want);
    EXPECT_EQ(draw(0x10000)[3 * kW + 1], colour) << "level 12 at opacity 2 is held to 15 rather than overflowing";
    EXPECT_EQ(draw(-0x8000), Pixels(kW * kH, bg)) << "a negative opacity draws nothing";
}

TEST_F(VfontTest, ClippingAndFrameEdges)
{
    auto font = loadFont(m_folder, "block.bin", blockFontData(3, 6, 33, 34, 4, 5));
    constexpr int kW = 8, kH = 8;
    const uint32_t bg = 0xFF000000, white = 0xFFFFFFFF;
    Pixels frame(kW * kH, bg);
    // Clip to [3, 5) x [2, 4): the block at (2, 1) covers 2..5 x 1..5. The
    // shadow stays inside the clip too, so the last clip pixel keeps its ink.
    font->drawChar('!', frame.data(), kW, kH, 3, 2, 5, 4, toFixed(2), toFixed(1), white, kOne);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            bool inside = x >= 3 && x < 5 && y >= 2 && y < 4;
            EXPECT_EQ(frame[y * kW + x], inside ? white : bg) << "pixel (" << x << ", " << y << ")";
        }
    }
    // Glyphs hanging over every edge, with clips larger than the frame, write
    // only inside it (the sanitizers watch the rest).
    for (int x : { -6, -3, -1, 6, 7, 9 }) {
        for (int y : { -6, -2, 5, 7, 12 }) {
            font->drawChar('"', frame.data(), kW, kH, -100, -100, 100, 100, toFixed(x), toFixed(y), white, kOne);
        }
    }
    // Fractional positions round toward minus infinity: (2.99, 1.00). The
    // block's 20 pixels are runs of 16 (written as 0) and 4.
    frame.assign(kW * kH, bg);
    font->drawChar('!', frame.data(), kW, kH, 0, 0, kW, kH, 0x17FFF, 0x8001, white, kOne);
    for (int y = 1; y < 6; ++y) {
        EXPECT_EQ(Pixels(frame.begin() + y * kW + 1, frame.begin() + y * kW + 6),
            (Pixels { bg, white, white, white, white }))
            << "row " << y;
    }
    // The space, characters outside the font, a null frame and a glyph with
    // runs but no width (which must not spin on the row wrap) draw nothing.
    frame.assign(kW * kH, bg);
    for (int c : { 32, 65, -1, 1000 }) {
        font->drawChar(c, frame.data(), kW, kH, 0, 0, kW, kH, 0, 0, white, kOne);
    }
    font->drawChar('!', nullptr, kW, kH, 0, 0, kW, kH, 0, 0, white, kOne);
    auto zero = loadFont(m_folder, "zero.bin", { 3, 5, 0, 65, { { 0, { 0x3F, 0x20, 0x1F } } } });
    zero->drawChar('A', frame.data(), kW, kH, 0, 0, kW, kH, 0, 0, white, kOne);
    EXPECT_EQ(frame, Pixels(kW * kH, bg));
}

TEST_F(VfontTest, LaidOutCellsKeepEveryRowOfInkAndRoundCoverage)
{
    // As rendered: '!' stands 6 rows tall on the baseline, '"' hangs 3 rows
    // below it and starts left of the pen, '#' is one pixel of coverage 230.
    auto glyph = [](int32_t advance, int32_t left, int32_t top, int32_t width, int32_t rows, uint8_t coverage) {
        return fontgen::RenderedGlyph { advance, left, top, width, rows,
            std::vector<uint8_t>(static_cast<size_t>(width * rows), coverage) };
    };
    const fontgen::FontData data = fontgen::layOutFont(
        { glyph(4, 0, 0, 0, 0, 0), glyph(3, 0, 6, 2, 6, 255), glyph(3, -1, 2, 3, 5, 255), glyph(1, 0, 1, 1, 1, 230) },
        32, 1);
    EXPECT_EQ((Ints { data.spaceWidth, data.baseline, data.lineHeight }), (Ints { 4, 6, 6 + 3 + 1 }));
    auto font = loadFont(m_folder, "laid.bin", data);
    constexpr int kW = 8, kH = 12;
    // Each glyph alone: the box of its ink (left, top, right, bottom, inclusive).
    auto inkBox = [&](int32_t c) {
        Pixels frame(kW * kH, 0);
        font->drawChar(c, frame.data(), kW, kH, 0, 0, kW, kH, 0, 0, 0xFFFFFFFF, kOne);
        Ints box { kW, kH, -1, -1 };
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                if (frame[y * kW + x] != 0) {
                    box = { std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y) };
                }
            }
        }
        return std::make_pair(box, frame);
    };
    EXPECT_EQ(inkBox('!').first, (Ints { 0, 0, 1, 5 }));
    EXPECT_EQ(inkBox('"').first, (Ints { 0, 4, 2, 8 })) << "the descender keeps all its rows";
    EXPECT_EQ(inkBox('#').second[5 * kW], blend(0, 0xFFFFFF, 14)) << "coverage 230 rounds to level 14";
}

}  // namespace
}  // namespace tarnby
