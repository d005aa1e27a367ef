// Fonts (reading, measuring, corrupt files, drawing glyph runs), the text
// sprites made with them (measuring, the number field, word wrap, text files,
// drawing) and the menus made of those (keys, taps, selection, icon layout).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "font-gen/font_writer.h"
#include "runtime/stringbuffer.h"
#include "sprite/vfont.h"
#include "sprite/vmenu.h"
#include "sprite/vsprite.h"
#include "sprite/vtext.h"
#include "support/test_support.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;
using Pixels = std::vector<uint32_t>;

using test::writeBytes;

// A font whose characters first..last (the space aside) are solid blocks
// `width` wide and `inkRows` high at full coverage.
fontgen::FontData blockFontData(int32_t space, int32_t lineHeight, int32_t first, int32_t last, int32_t width,
    int32_t inkRows)
{
    fontgen::FontData font { space, lineHeight, inkRows, first, {} };
    for (int32_t c = first; c <= last; ++c) {
        fontgen::FontGlyph glyph;
        if (c != ' ') {
            glyph.width = width;
            std::vector<uint8_t> levels(static_cast<size_t>(width * inkRows), 15);
            glyph.runs = fontgen::encodeGlyph({ width, inkRows, levels });
        }
        font.glyphs.push_back(glyph);
    }
    return font;
}

// Writes the font into the scratch folder and loads it by name.
Ref<Vfont> loadFont(const test::ScratchFolder& folder, const std::string& name, const fontgen::FontData& data)
{
    writeBytes(folder.file(name), fontgen::writeFont(data));
    Ref<Vfont> font = make<Vfont>();
    EXPECT_TRUE(font->load(name.c_str())) << "the test font " << name << " must load";
    return font;
}

Ref<StringBuffer> buffer(const char* text) { return make<StringBuffer>(String::fromChars(text)); }

Ref<Vtext> text(const char* chars, int32_t digitMax = 0)
{
    auto t = make<Vtext>(String::intern(chars));
    t->setDigitMax(digitMax);
    return t;
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

class VtextTest : public ::testing::Test {
protected:
    // Characters 5 wide and 7 rows of ink, a space of 4 (tab stops every 32
    // pixels), lines of 10: the default font of every text made here.
    VtextTest() { Vtext::setDefaultFont(m_font); }
    ~VtextTest() override { Vtext::setDefaultFont(nullptr); }

    test::ScratchFolder m_folder { "text" };
    Ref<Vfont> m_font = loadFont(m_folder, "five.bin", blockFontData(4, 10, 32, 126, 5, 7));
};

// The font tests use the text tests' scratch folder and default font.
using VfontTest = VtextTest;

TEST_F(VfontTest, RoundTripMeasuresCharactersAndTabStops)
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
    constexpr int W = 6, H = 6;
    const uint32_t bg = 0xFF406080, colour = 0xC0F0E0D0;
    const uint32_t quarter = (bg & 0xFFFFFF) - ((bg >> 2) & 0x3F3F3F);  // shadow of levels below 8
    const uint32_t shade = (bg >> 1) & 0x7F7F7F;                        // shadow of levels 8 and up
    const uint32_t half = shade + ((colour >> 1) & 0x7F7F7F);           // levels 7 and 8
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

TEST_F(VfontTest, ClippingAndFrameEdges)
{
    auto font = loadFont(m_folder, "block.bin", blockFontData(3, 6, 33, 34, 4, 5));
    constexpr int W = 8, H = 8;
    const uint32_t bg = 0xFF000000, white = 0xFFFFFFFF;
    Pixels frame(W * H, bg);
    // Clip to [3, 5) x [2, 4): the block at (2, 1) covers 2..5 x 1..5. The
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
    // Fractional positions round toward minus infinity: (2.99, 1.00). The
    // block's 20 pixels are runs of 16 (written as 0) and 4.
    frame.assign(W * H, bg);
    font->drawChar('!', frame.data(), W, H, 0, 0, W, H, 0x17FFF, 0x8001, white, kOne);
    for (int y = 1; y < 6; ++y) {
        EXPECT_EQ(Pixels(frame.begin() + y * W + 1, frame.begin() + y * W + 6),
            (Pixels { bg, white, white, white, white }))
            << "row " << y;
    }
    // The space, characters outside the font, a null frame and a glyph with
    // runs but no width (which must not spin on the row wrap) draw nothing.
    frame.assign(W * H, bg);
    for (int c : { 32, 65, -1, 1000 }) {
        font->drawChar(c, frame.data(), W, H, 0, 0, W, H, 0, 0, white, kOne);
    }
    font->drawChar('!', nullptr, W, H, 0, 0, W, H, 0, 0, white, kOne);
    auto zero = loadFont(m_folder, "zero.bin", { 3, 5, 0, 65, { { 0, { 0x3F, 0x20, 0x1F } } } });
    zero->drawChar('A', frame.data(), W, H, 0, 0, W, H, 0, 0, white, kOne);
    EXPECT_EQ(frame, Pixels(W * H, bg));
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
    constexpr int W = 8, H = 12;
    // Each glyph alone: the box of its ink (left, top, right, bottom, inclusive).
    auto inkBox = [&](int32_t c) {
        Pixels frame(W * H, 0);
        font->drawChar(c, frame.data(), W, H, 0, 0, W, H, 0, 0, 0xFFFFFFFF, kOne);
        Ints box { W, H, -1, -1 };
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (frame[y * W + x] != 0) {
                    box = { std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y) };
                }
            }
        }
        return std::make_pair(box, frame);
    };
    EXPECT_EQ(inkBox('!').first, (Ints { 0, 0, 1, 5 }));
    EXPECT_EQ(inkBox('"').first, (Ints { 0, 4, 2, 8 })) << "the descender keeps all its rows";
    EXPECT_EQ(inkBox('#').second[5 * W], blend(0, 0xFFFFFF, 14)) << "coverage 230 rounds to level 14";
}

TEST_F(VfontTest, GeneratedFontsHoldEveryPrintableCharacter)
{
    for (const char* name : { "f10.bin", "f13.bin", "f16.bin" }) {
        auto font = make<Vfont>();
        ASSERT_TRUE(font->loadPath(test::binFolder() + name)) << name << " must be generated beside the game";
        EXPECT_TRUE(font->first() <= 32 && font->last() >= 126 && font->spaceWidth() >= 3) << name;
        EXPECT_LT(font->spaceWidth(), font->charWidth('n')) << name;
        for (int32_t c = 33; c <= 126; ++c) {
            EXPECT_TRUE(font->charWidth(c) > 0 && font->glyphBytes(c) > 0) << name << " character " << c;
        }
    }
}

TEST_F(VtextTest, MeasuresLinesTabsAndTheNumberField)
{
    // Width, height and checksum; x starts at 1 (the margin).
    struct Case {
        const char* chars;
        int32_t width, height, checksum;
        const char* what;
    };
    for (const Case& c :
        std::vector<Case> { { "ab\tc", 37, 10, 'a' + 'b' + '\t' + 'c', "the tab goes from 11 to the stop at 32" },
            { "ab\nc", 11, 20, 'a' + 'b' + '\n' + 'c', "two lines, the wider one counts" },
            { "a\nbcd\n", 16, 30, 'a' + '\n' + 'b' + 'c' + 'd' + '\n', "a trailing break starts an empty line" },
            { "a\xE9z", 11, 10, 'a' + static_cast<int8_t>(0xE9) + 'z', "codes are signed bytes; -23 measures 0" } }) {
        auto t = text(c.chars);
        EXPECT_EQ((Ints { t->getWidth(), t->getHeight(), t->m_checksum }), (Ints { c.width, c.height, c.checksum }))
            << c.what;
    }
    // The number field continues the last line and counts in the checksum.
    auto t = text("x\nab", 3);
    t->setNumber(42);
    EXPECT_EQ((Ints { t->getWidth(), t->m_checksum }), (Ints { 1 + 4 * 5, 'x' + '\n' + 'a' + 'b' + '4' + '2' }));

    // Without a font nothing is measured and nothing breaks.
    Vtext::setDefaultFont(nullptr);
    auto bare = text("abc", 2);
    EXPECT_EQ(bare->getWidth(), 0);
    bare->setFont(m_font, String::intern("abc"));
    EXPECT_EQ(bare->getWidth(), 16);
}

TEST_F(VtextTest, NumberFieldCountsAndWraps)
{
    // Each field: its size, the number set, a step after it, and then its
    // count of digits and their value.
    struct Case {
        int32_t digitMax, number;
        void (Vtext::*step)();
        int32_t count, value;
        const char* what;
    };
    const auto up = &Vtext::increment, down = &Vtext::decrement;
    for (const Case& c : std::vector<Case> { { 3, 0, nullptr, 1, 0, "zero is one digit" },
             { 3, 99, up, 3, 100, "99 + 1 with room for three digits" },
             { 2, 99, up, 2, 0, "99 + 1 in two digits wraps to zeros" },
             { 2, 12345, down, 2, 44, "a wider number keeps its low digits" },
             { 2, 0, down, 1, 0, "the field has no sign: below zero shows 0" },
             { 0, 7, up, 0, 0, "a text without a number field ignores numbers" } }) {
        auto t = text("", c.digitMax);
        t->setNumber(c.number);
        if (c.step) {
            (t.get()->*c.step)();
        }
        EXPECT_EQ((Ints { t->m_digitCount, t->getNumber() }), (Ints { c.count, c.value })) << c.what;
    }
    auto three = text("Score ", 3);
    EXPECT_EQ(three->getWidth(), 1 + 5 * 5 + 4 + 3 * 5) << "setDigitMax makes room for the digits";
    three->setDigits(buffer("2048"));
    EXPECT_EQ((Ints { three->m_digitCount, three->getNumber() }), (Ints { 3, 48 })) << "the last characters that fit";
    int32_t before = three->signature(0, 0, kOne);
    three->increment();
    EXPECT_NE(three->signature(0, 0, kOne), before) << "a changed digit must change the signature";
}

TEST_F(VtextTest, WordWrapBreaksAtTheLastSpaceThatFits)
{
    // Every character, the space included, 5 pixels wide.
    auto even = loadFont(m_folder, "even.bin", blockFontData(5, 10, 32, 126, 5, 7));
    struct Case {
        bool ownFont;
        int32_t width;
        const char *in, *out, *what;
    };
    for (const Case& c :
        std::vector<Case> { { true, 1 + 7 * 5, "abc def ghi", "abc def\nghi", "in 1 + 7w the second space breaks" },
            { true, 7 * 5, "abc def ghi", "abc\ndef ghi", "in 7w the first space breaks" },
            { true, 3 * 5, "abcdefgh ij", "abcdefgh\nij", "a word longer than the line stays whole" },
            { true, 1 + 7 * 5, "ab\ncd ef gh", "ab\ncd ef\ngh", "a line break starts the count again" },
            { false, 1 + 7 * 5, "abc def ghi", "abc def\nghi", "without a font, the default font wraps" } }) {
        auto t = make<Vtext>();
        t->m_font = c.ownFont ? even : nullptr;
        t->setSize(c.width, 0);
        t->setWrapped(buffer(c.in));
        EXPECT_STREQ(t->toString()->chars(), c.out) << c.what;
    }

    // A text file wraps the same way; a stray NUL byte is dropped; a missing file changes nothing.
    writeBytes(m_folder.file("help.txt"), { 'a', 'b', ' ', 'c', 'd', ' ', 'e', 'f', 0, 'g' });
    auto t = make<Vtext>();
    t->setSize(1 + 5 * 5, 0);
    t->loadText(String::intern("help.txt"));
    EXPECT_STREQ(t->toString()->chars(), "ab cd\nefg");
    EXPECT_EQ(t->getHeight(), 20);
    testing::internal::CaptureStdout();
    t->loadText(String::intern("missing.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Text file missing.txt cannot be opened: nothing to show\n");
    EXPECT_STREQ(t->toString()->chars(), "ab cd\nefg");
    t->setWrapped(Ref<StringBuffer>());
    EXPECT_STREQ(t->toString()->chars(), "");
}

TEST_F(VtextTest, AddersStackTextLines)
{
    auto panel = make<Vsprite>();
    panel->addText(String::intern("Top"));
    auto score = panel->addText(String::intern("Par "), 2);
    EXPECT_EQ((Ints { score->getY() >> 15, panel->getWidth(), panel->getHeight() }), (Ints { 10, 30, 20 }))
        << "the second line under the first; as wide as the widest line, number field included";
    auto centred = panel->addTextCentred(String::intern("a"));
    EXPECT_EQ(centred->getX(), (30 - 6) * 0x4000) << "centred in the panel's width, to the half pixel";
    panel->destroy();
}

TEST_F(VtextTest, RendersGlyphsClipsAndOpacity)
{
    // A font of 2 x 2 blocks with lines of 4 and a space of 1, the text at
    // (3, 2): after the margin, line 1 has a, b, the space and c; line 2 has d,
    // then the digit 7 of the number field.
    auto tiny = loadFont(m_folder, "tiny.bin", blockFontData(1, 4, 33, 126, 2, 2));
    auto t = make<Vtext>();
    const uint32_t ink = 0xFFFFD000, bg = 0xFF000000;
    t->setTextColour(ink);
    t->setFont(tiny, String::intern("ab c\nd"));
    t->setDigitMax(2);
    t->setNumber(7);
    const char* const glyphs[] = { "....####.##", "....####" };  // rows 2-3 and 6-7
    constexpr int W = 16, H = 12;
    std::vector<uint32_t> frame;
    auto render = [&](int32_t clipL, int32_t clipT, int32_t clipR, int32_t clipB) {
        frame.assign(W * H, bg);
        t->layout(toFixed(3), toFixed(2), kOne);
        t->render(frame.data(), W, H, clipL, clipT, clipR, clipB);
    };
    // Ink on the glyphs inside the clip; elsewhere the background, or inside
    // the clip a glyph's shadow (half the black background: 0).
    for (auto [l, top, r, b] : std::vector<std::array<int32_t, 4>> { { 0, 0, W, H }, { 6, 3, 9, H }, { 0, 0, W, 7 } }) {
        render(l, top, r, b);
        for (int y = 0; y < H; ++y) {
            const char* row = y == 2 || y == 3 ? glyphs[0] : y == 6 || y == 7 ? glyphs[1] : "";
            for (int x = 0; x < W; ++x) {
                bool inside = x >= l && x < r && y >= top && y < b;
                uint32_t got = frame[static_cast<size_t>(y * W + x)];
                if (inside && x < static_cast<int>(std::strlen(row)) && row[x] == '#') {
                    EXPECT_EQ(got, ink) << "glyph pixel (" << x << ", " << y << ") in clip " << l << "," << top;
                } else {
                    EXPECT_TRUE(got == bg || (inside && got == 0)) << "(" << x << ", " << y << ") in clip " << l;
                }
            }
        }
    }

    // A translucent background colour fills the clip first; half opacity
    // draws the glyphs as a half mix without shadows.
    t->setColour(0x80FFFFFF);
    t->setOpacity(kHalf);
    render(0, 0, W, H);
    const uint32_t panel = 0x7F7F7F;  // black half-mixed with white
    EXPECT_EQ(frame[2 * W + 4], ((panel >> 1) & 0x7F7F7F) + ((ink >> 1) & 0x7F7F7F));
    EXPECT_EQ(frame[4 * W + 8], panel) << "no shadow below full opacity";
}

// Menus made here are taken apart when the test ends.
class VmenuTest : public VtextTest {
protected:
    ~VmenuTest() override
    {
        for (auto& menu : m_menus) {
            menu->destroy();
        }
    }

    Ref<Vmenu> textMenu(std::initializer_list<const char*> labels)
    {
        auto menu = m_menus.emplace_back(make<Vmenu>());
        for (const char* label : labels) {
            menu->addItem(String::intern(label));
        }
        menu->update(0, 0, kOne);  // lay out the panel and its lines
        return menu;
    }

    Ref<Vmenu> iconMenu(int32_t count)
    {
        auto menu = m_menus.emplace_back(make<Vmenu>());
        menu->m_tileSize = 32;
        for (int32_t i = 0; i < count; ++i) {
            menu->addIcon('a' + i, i);
        }
        return menu;
    }

    // One value of every entry, in order.
    template <typename Value>
    static Ints each(const Ref<Vmenu>& menu, Value value)
    {
        Ints out;
        for (Ref<Vsprite> e = menu->getChild(); e; e = e->m_next) {
            out.push_back(value(*e));
        }
        return out;
    }
    static Ints opacities(const Ref<Vmenu>& menu)
    {
        return each(menu, [](Vsprite& e) { return e.getOpacity(); });
    }

    std::vector<Ref<Vmenu>> m_menus;
};

TEST_F(VmenuTest, TextMenuKeysSelectWrapAndPassThrough)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    EXPECT_EQ(menu->getHeight(), 3 * (10 + 4)) << "each line has two pixels above and below";
    EXPECT_EQ(each(menu, [](Vsprite& e) { return e.getTag(); }), (Ints { '1', '2', 'B' })) << "keys: first characters";
    EXPECT_EQ(each(menu, [](Vsprite& e) { return e.getY() >> 15; }), (Ints { 2, 16, 30 }));
    EXPECT_EQ(opacities(menu), (Ints { kOne, kHalf, kHalf })) << "the first entry starts selected";
    EXPECT_STREQ(menu->getSelectedText()->toString()->chars(), "1 Tarnby Classic") << "labels are shown whole";

    EXPECT_EQ(menu->handleKey('2', 0, 0), '2') << "a shortcut returns its key";
    EXPECT_EQ(opacities(menu), (Ints { kHalf, kOne, kHalf })) << "and selects its entry alone";
    EXPECT_EQ(menu->handleKey('B', 0, 0), 'B');
    EXPECT_EQ(menu->handleKey(kKeySelect, 0, 0), 'B') << "select returns the selected entry's code";
    EXPECT_EQ(menu->handleKey(kKeyEnter, 0, 0), 'B');
    // Down on the last entry wraps to the first, up on the first to the last.
    for (auto [key, index] :
        std::vector<std::pair<int32_t, int32_t>> { { kKeyDown, 0 }, { kKeyUp, 2 }, { kKeyUp, 1 }, { kKeyDown, 2 } }) {
        EXPECT_EQ(menu->handleKey(key, 0, 0), 0);
        EXPECT_EQ(menu->selectedIndex(), index) << "after key " << key;
    }
    EXPECT_EQ(opacities(menu), (Ints { kHalf, kHalf, kOne }));
    for (int32_t key : Ints { 6, '7', 0 }) {
        EXPECT_EQ(menu->handleKey(key, 0, 0), key) << "a key without an entry goes to the owner";
    }
    EXPECT_EQ(menu->selectedIndex(), 2) << "keys without an entry leave the selection alone";

    // selectTag and selectIndex ignore tags and indices that have no entry.
    menu->selectTag('1');
    menu->selectTag('Z');
    EXPECT_EQ(opacities(menu), (Ints { kOne, kHalf, kHalf }));
    menu->selectIndex(7);
    EXPECT_EQ(menu->selectedIndex(), 0);
    menu->remove(menu->getSelectedSprite());
    EXPECT_EQ(menu->selectedIndex(), 2) << "with the selected entry removed, the index is the entry count";

    // Left and right change settings entries (with ':') and pass others by,
    // as they pass an entry with a picture frame, which is not a text entry.
    auto settings = textMenu({ "Sound: on", "Help" });
    for (int32_t key : { kKeyLeft, kKeyRight }) {
        EXPECT_EQ(settings->handleKey(key, 0, 0), 'S') << "key " << key;
    }
    settings->selectIndex(1);
    EXPECT_EQ(settings->handleKey(kKeyRight, 0, 0), kKeyRight) << "\"Help\" has no ':'";
    EXPECT_EQ(settings->addItem(String::intern("Exit"), 'Q')->getTag(), 'Q');
    EXPECT_EQ(settings->addItemWithFrame(String::intern("Music: on"), 4)->getTag(), 'M');
    settings->selectIndex(3);
    EXPECT_EQ(settings->getSelectedText(), nullptr);
    EXPECT_EQ(settings->handleKey(kKeyRight, 0, 0), kKeyRight);

    // A menu without entries hands every key back, and a tap becomes 0.
    auto empty = textMenu({});
    for (int32_t key : { 1, 2, 3, 4, 5, 10, 120 }) {
        EXPECT_EQ(empty->handleKey(key, 0, 0), key) << "key " << key;
    }
    EXPECT_EQ(empty->handleKey(kKeySelect, 3, 4), 0);
}

TEST_F(VmenuTest, TapsOnTextLines)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    menu->setPosition(20, 40);
    menu->update(0, 0, kOne);
    // Lines at rows 42..51, 56..65 and 70..79; the panel covers 40..81. A miss
    // (result 0) keeps the selection.
    const int32_t right = 20 + menu->getWidth();
    struct Tap {
        int32_t x, y, result, index;
        const char* what;
    };
    for (const Tap& t : std::vector<Tap> { { 25, 58, '2', 1, "a tap on the second line" },
             { 25, 53, 0, 1, "between the first and second line" },
             { right - 1, 79, 'B', 2, "lines span the panel: the rows decide, not the line's own width" },
             { right, 44, 0, 2, "right of the panel" }, { 25, 52, 0, 2, "the row after a line is not on it" },
             { 25, 42, '1', 0, "the first row of a line is" } }) {
        EXPECT_EQ(menu->handleKey(kKeySelect, t.x, t.y), t.result) << t.what;
        EXPECT_EQ(menu->selectedIndex(), t.index) << t.what;
    }
}

TEST_F(VmenuTest, IconLayoutTapsAndFading)
{
    // Seven icons on a 240-pixel screen: two rows of two at the edges, then
    // three along the bottom. Columns are (240 - 128) / 3 + 32 = 69 apart;
    // rows 300 / 3 = 100, held to the column step. Tiles sit (69 - 32) / 2 = 18
    // into their cells, pulled out by half the gap (18).
    auto menu = iconMenu(7);
    menu->layoutIcons(240, 300);
    Ints places;
    for (Ref<Vsprite> tile = menu->getChild(); tile; tile = tile->m_next) {
        places.insert(places.end(), { tile->getX() >> 15, tile->getY() >> 15 });
    }
    EXPECT_EQ(places, (Ints { 0, 18, 207, 18, 0, 87, 207, 87, 0, 156, 69, 156, 138, 156 }));
    EXPECT_EQ(menu->getWidth(), 0) << "the icon menu is a group node";
    EXPECT_EQ(menu->getHeight(), 69 * 3 - 18);
    Ref<Vsprite> third = menu->getChild()->m_next->m_next;
    Ref<Vsprite> icon = third->getChild();
    EXPECT_EQ(icon->getOpacity(), kHalf) << "icons start dim";
    EXPECT_EQ(icon->getX(), toFixed(16)) << "an icon (here of no size) is centred in its tile";

    // Taps, with the menu 100 pixels down: the third tile is at (0, 187).
    menu->update(0, toFixed(100), kOne);
    EXPECT_EQ(menu->handleKey(kKeySelect, 32, 190), 'c') << "the exact right edge of a tile still hits it";
    EXPECT_EQ(menu->getSelectedSprite(), icon) << "a tile shows its icon";
    EXPECT_EQ(menu->handleKey(kKeySelect, 33, 190), 0) << "one pixel further misses";
    EXPECT_EQ(menu->handleKey(kKeyUp, 0, 0), kKeyUp) << "icon menus leave arrows to the owner";
    EXPECT_EQ(menu->handleKey(kKeySelect, 16, 187 + 32), 'c') << "the bottom edge counts too";
    EXPECT_EQ(icon->getOpacity(), kOne) << "the fade of a call comes before its tap";
    // The tapped icon fades from full opacity to dim over 32 calls, and stops there.
    for (int i = 0; i < 31; ++i) {
        menu->handleKey(0, 0, 0);
    }
    EXPECT_EQ(icon->getOpacity(), kHalf + 0x200) << "one step short after 31 frames";
    menu->handleKey(0, 0, 0);
    menu->handleKey(0, 0, 0);
    EXPECT_EQ(icon->getOpacity(), kHalf);
    EXPECT_EQ(menu->handleKey('e', 0, 0), 'e') << "shortcut keys select tiles too";
    EXPECT_EQ(menu->selectedIndex(), 4);

    // A short screen packs the rows closer: 120 / 3 = 40 apart.
    menu->layoutIcons(240, 120);
    EXPECT_EQ(third->getY() - menu->getChild()->getY(), toFixed(40));
    // Two icons have no pairs of rows: they make one row instead of dividing by zero.
    auto two = iconMenu(2);
    two->layoutIcons(240, 100);
    EXPECT_EQ(two->getChild()->m_next->getX(), toFixed(69));
    EXPECT_EQ(two->getChild()->getY(), two->getChild()->m_next->getY());
    iconMenu(0)->layoutIcons(240, 100);
    auto plain = textMenu({ "a" });
    plain->layoutIcons(240, 300);
    EXPECT_GT(plain->getWidth(), 0) << "a text menu has no tiles to lay out";
}

}  // namespace
}  // namespace tarnby
