// Font files: reading, measuring, corrupt files and drawing glyph runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "sprite/test_fonts.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ScratchFolder;
using Ints = std::vector<int32_t>;

// A font with hand-made glyphs: 'A' (65) is 3 wide with a diagonal, 'B' has
// no picture, 'C' is 2 wide and two rows of level 9; a wide space.
fontgen::FontData handFont()
{
    fontgen::FontData font;
    font.spaceWidth = 200;  // two bytes as a variable-length number
    font.lineHeight = 11;
    font.baseline = 9;
    font.first = 65;
    fontgen::FontGlyph a;
    a.width = 3;
    a.runs = fontgen::encodeGlyph({3, 3, {15, 0, 0, 0, 15, 0, 0, 0, 15}});
    fontgen::FontGlyph b;
    fontgen::FontGlyph c;
    c.width = 2;
    c.runs = fontgen::encodeGlyph({2, 2, {9, 9, 9, 9}});
    font.glyphs = {a, b, c};
    return font;
}

// A font file written number by number, then raw glyph bytes.
Ref<Vfont> rawFont(const ScratchFolder& folder, std::initializer_list<uint32_t> numbers,
    std::initializer_list<uint8_t> glyphs)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : numbers) {
        fontgen::appendNumber(bytes, v);
    }
    bytes.insert(bytes.end(), glyphs);
    EXPECT_TRUE(test::writeBytes(folder.file("raw.bin"), bytes));
    auto font = make<Vfont>();
    EXPECT_TRUE(font->load("raw.bin"));
    return font;
}

Ints header(const Ref<Vfont>& f) { return { f->spaceWidth(), f->getLineHeight(), f->baseline(), f->first(), f->last() }; }

TEST(VfontTest, RoundTripThroughTheWriter)
{
    ScratchFolder folder("vfont_roundtrip");
    auto font = test::loadFont(folder, "hand.bin", handFont());
    EXPECT_EQ(header(font), (Ints { 200, 11, 9, 65, 67 })) << "space, line, baseline, first, last";
    // The space measures the space width although it is outside the font, and
    // only the low byte decides that a code is a space; -191 has the low byte
    // of 'A' but is not 'A'; 'B' has no picture.
    const std::vector<std::pair<int32_t, int32_t>> widths
        = { { 'A', 3 }, { 'B', 0 }, { 'C', 2 }, { ' ', 200 }, { 32 + 256, 200 }, { 'D', 0 }, { 64, 0 }, { -1, 0 },
              { -191, 0 } };
    for (auto [c, w] : widths) {
        EXPECT_EQ(font->charWidth(c), w) << "width of code " << c;
    }
    // 'A': 15, three 0s, 15, three 0s, 15 = 5 runs; four pixels of one level are one run.
    EXPECT_EQ(font->glyphBytes('A'), 5);
    EXPECT_EQ(font->glyphBytes('B'), 0);
    EXPECT_EQ(font->glyphBytes('C'), 1);

    auto again = make<Vfont>();
    EXPECT_TRUE(again->load("/hand.bin")) << "a leading slash names the same data file";
    EXPECT_EQ(again->charWidth('C'), 2);
}

TEST(VfontTest, StringWidthWithTabStops)
{
    ScratchFolder folder("vfont_tabs");
    // Characters 5 wide, a space of 4: tab stops every 32 pixels.
    auto font = test::loadFont(folder, "tabs.bin", test::blockFontData(4, 10, 32, 126, 5, 7));
    EXPECT_EQ(font->tabAdvance(0), 32);
    EXPECT_EQ(font->tabAdvance(11), 21);
    EXPECT_EQ(font->tabAdvance(32), 32) << "on a stop the tab goes to the next one";
    EXPECT_EQ(font->stringWidth("ab\tc"), 37) << "a, b end at 10; the tab goes to 32; c adds 5";
    EXPECT_EQ(font->stringWidth("\t\t"), 64);
    EXPECT_EQ(font->stringWidth("a b"), 14);
    EXPECT_EQ(font->stringWidth(String::intern("abc")), 15);
    EXPECT_EQ(font->stringWidth(Ref<String>()), 0);
    EXPECT_EQ(font->stringWidth("\xC1x"), 5) << "byte 0xC1 is the signed code -63, outside the font";
}

TEST(VfontTest, ReadsNumbersOfSeveralBytes)
{
    ScratchFolder folder("vfont_numbers");
    auto font = test::loadFont(folder, "long.bin", test::blockFontData(128, 300, 300, 301, 129, 2));
    EXPECT_EQ(header(font), (Ints { 128, 300, 2, 300, 301 })) << "a header of two-byte numbers";
    EXPECT_EQ(font->charWidth(301), 129);
    EXPECT_EQ(font->glyphBytes(301), 17) << "258 pixels of one level are 17 runs of at most 16";
}

TEST(VfontTest, CorruptFilesLeaveAnEmptyFont)
{
    ScratchFolder folder("vfont_corrupt");
    const std::vector<uint8_t> good = fontgen::writeFont(test::blockFontData(4, 10, 32, 40, 3, 3));

    auto check = [&](const std::vector<uint8_t>& bytes, const std::string& what) {
        ASSERT_TRUE(test::writeBytes(folder.file("bad.bin"), bytes));
        auto font = test::loadFont(folder, "good.bin", test::blockFontData(4, 10, 32, 40, 3, 3));
        EXPECT_FALSE(font->load("bad.bin")) << what;
        EXPECT_TRUE(font->empty()) << what;
        EXPECT_EQ(font->charWidth('!'), 0) << what;
        EXPECT_EQ(font->charWidth(' '), 0) << what << ": zero widths, the space included";
        EXPECT_EQ(font->getLineHeight(), 0) << what;
        EXPECT_EQ(font->stringWidth("a\tb"), 0) << what << ": a tab in an empty font must not divide by zero";
        uint32_t frame[16] = {};
        font->drawChar('!', frame, 4, 4, 0, 0, 4, 4, 0, 0, 0xFFFFFFFF, kOne);
        for (uint32_t p : frame) {
            EXPECT_EQ(p, 0u) << what << ": an empty font draws nothing";
        }
    };

    check({}, "an empty file");
    for (size_t n = 1; n < good.size(); ++n) {
        check(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(n)),
              "the file cut to " + std::to_string(n) + " bytes");
    }
    auto header = [](uint32_t first, uint32_t last) {
        std::vector<uint8_t> out;
        for (uint32_t v : {4u, 10u, 7u, first, last}) {
            fontgen::appendNumber(out, v);
        }
        return out;
    };
    check(header(40, 30), "last far below first (a negative count)");
    check(header(0, 0x0FFFFFFF), "a count of 268 million characters");
    {
        std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 10, 7, 32, 32};
        check(bytes, "a space width that overflows 32 bits");
    }
    {
        std::vector<uint8_t> bytes = header(32, 33);
        bytes.insert(bytes.end(), {5, 2, 5, 2});  // two glyphs of 5 bytes each
        fontgen::appendNumber(bytes, 9);          // but only 9 bytes of data
        bytes.insert(bytes.end(), 9, 0x1F);
        check(bytes, "a data size below the character table's total");
    }
    {
        std::vector<uint8_t> bytes = header(32, 32);
        bytes.insert(bytes.end(), {1, 2});
        fontgen::appendNumber(bytes, 0x7FFFFFF);
        bytes.push_back(0x1F);
        check(bytes, "a data size of 134 MB in a file of a few bytes");
    }
    {
        std::vector<uint8_t> bytes = header(32, 32);
        bytes.push_back(1);
        fontgen::appendNumber(bytes, 70000);
        bytes.insert(bytes.end(), {1, 0x1F});
        check(bytes, "a glyph 70000 pixels wide");
    }

    // A missing file is not an error in the file: the font keeps what it had.
    auto font = test::loadFont(folder, "good.bin", test::blockFontData(4, 10, 32, 40, 3, 3));
    EXPECT_FALSE(font->load("missing.bin"));
    EXPECT_FALSE(font->load(Ref<String>()));
    EXPECT_EQ(font->charWidth('!'), 3) << "a font that fails to open keeps its previous contents";
    EXPECT_EQ(font->readByte(), -1) << "no stream is left open after loading";
    EXPECT_EQ(font->readNumber(), -1);
}

// Pixel helpers for the drawing tests, worked out from the blend rules.
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
uint32_t quarterShadow(uint32_t p) { return (p & 0xFFFFFF) - ((p >> 2) & 0x3F3F3F); }
uint32_t halfShadow(uint32_t p) { return (p >> 1) & 0x7F7F7F; }

TEST(VfontTest, GlyphRunsLevelsAndShadow)
{
    ScratchFolder folder("vfont_runs");
    // Character '!' (33) of width 4: byte 0x10 (one transparent pixel) then
    // 0x03 (a run of 16 pixels at level 3), carried across the row ends.
    // Character '"' (34) of width 2: one pixel of each of the levels 15, 8, 7, 12.
    auto font = rawFont(folder, { 4, 9, 0, 33, 34, 2, 4, 4, 2, 6 }, { 0x10, 0x03, 0x1F, 0x18, 0x17, 0x1C });
    constexpr int W = 10, H = 10;
    const uint32_t background = 0xFF406080;
    const uint32_t colour = 0xC0F0E0D0;
    std::vector<uint32_t> frame(W * H, background);
    font->drawChar('!', frame.data(), W, H, 0, 0, W, H, toFixed(2), toFixed(1), colour, kOne);
    test::saveFrame("vfont_runs", frame.data(), W, H, W);
    // Cell columns 2..5, rows 1..: pixel 0 is transparent, pixels 1..16 are
    // level 3. A level-3 pixel blends over whatever is there, so where the
    // pixel up and to the left was inked it blends over that pixel's shadow.
    auto inked = [](int i) { return i >= 1 && i <= 16; };
    for (int i = 1; i <= 16; ++i) {
        int x = 2 + i % 4, y = 1 + i / 4;
        bool shadowed = x > 2 && inked(i - 5);
        uint32_t under = shadowed ? quarterShadow(background) : background;
        EXPECT_EQ(frame[y * W + x], blend(under, colour, 3)) << "glyph pixel " << i << " at (" << x << ", " << y << ")";
    }
    EXPECT_EQ(frame[1 * W + 2], background) << "the first pixel of the glyph is transparent";
    // Shadow of level 3 (three quarters) where no later glyph pixel covers it:
    // right of each row's last pixel and under the last row.
    for (int y = 2; y <= 5; ++y) {
        EXPECT_EQ(frame[y * W + 6], quarterShadow(background)) << "shadow right of row " << y - 1;
    }
    for (int x = 3; x <= 5; ++x) {
        EXPECT_EQ(frame[5 * W + x], quarterShadow(background)) << "shadow under the fourth row at x " << x;
    }
    EXPECT_EQ(frame[6 * W + 3], quarterShadow(background)) << "shadow of the last pixel (2,5) falls on (3,6)";
    EXPECT_EQ(frame[6 * W + 4], background) << "nothing below the glyph's end";

    // Levels 15 (the colour word as is), 8 and 7 (half mixes), 12 (a blend).
    // Levels 8 and up cast a half shadow, lower levels a three-quarter one.
    std::fill(frame.begin(), frame.end(), background);
    font->drawChar('"', frame.data(), W, H, 0, 0, W, H, toFixed(0), toFixed(0), colour, kOne);
    const uint32_t half = ((background >> 1) & 0x7F7F7F) + ((colour >> 1) & 0x7F7F7F);
    EXPECT_EQ(frame[0], colour) << "level 15 writes the colour word, alpha as depth";
    EXPECT_EQ(frame[1], half) << "level 8 is the half mix";
    EXPECT_EQ(frame[W], half) << "level 7 is the half mix";
    EXPECT_EQ(frame[W + 1], blend(halfShadow(background), colour, 12)) << "level 12 over the shadow of level 15";
    EXPECT_EQ(frame[2 * W + 1], quarterShadow(background)) << "shadow of the level-7 pixel";
    EXPECT_EQ(frame[2 * W + 2], halfShadow(background)) << "shadow of the level-12 pixel";
    EXPECT_EQ(frame[W + 2], halfShadow(background)) << "shadow of the level-8 pixel";

    // Half opacity: level 15 becomes 7, 8 becomes 4, and no shadow is cast.
    // Opacity 2 is held to 1 rather than overflowing a channel; a negative one draws nothing.
    auto at = [&](Fixed opacity) {
        std::fill(frame.begin(), frame.end(), background);
        font->drawChar('"', frame.data(), W, H, 0, 0, W, H, 0, 0, colour, opacity);
        return std::vector<uint32_t> { frame[0], frame[1], frame[W], frame[W + 1], frame[2], frame[W + 2],
            frame[2 * W], frame[2 * W + 1], frame[2 * W + 2] };
    };
    const uint32_t bg = background;
    EXPECT_EQ(at(0x4000), (std::vector<uint32_t> { half, blend(bg, colour, 4), blend(bg, colour, 3),
                              blend(bg, colour, 6), bg, bg, bg, bg, bg }));
    EXPECT_EQ(at(0x10000)[3], colour) << "level 12 at opacity 2 is held to level 15";
    at(-0x8000);
    EXPECT_EQ(frame, std::vector<uint32_t>(W * H, background)) << "a negative opacity draws nothing";
}

TEST(VfontTest, ClippingAndFrameEdges)
{
    ScratchFolder folder("vfont_clip");
    auto font = test::loadFont(folder, "block.bin", test::blockFontData(3, 6, 33, 34, 4, 4));
    constexpr int W = 8, H = 8;
    const uint32_t bg = 0xFF000000;
    std::vector<uint32_t> frame(W * H, bg);
    // Clip to [3, 5) x [2, 4): the block at (2, 1) covers 2..5 x 1..4.
    font->drawChar('!', frame.data(), W, H, 3, 2, 5, 4, toFixed(2), toFixed(1), 0xFFFFFFFF, kOne);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            bool inside = x >= 3 && x < 5 && y >= 2 && y < 4;
            if (!inside) {
                EXPECT_EQ(frame[y * W + x], bg) << "pixel (" << x << ", " << y << ") is outside the clip";
            } else {
                EXPECT_NE(frame[y * W + x], bg) << "pixel (" << x << ", " << y << ") is inside the clip";
            }
        }
    }
    EXPECT_EQ(frame[3 * W + 4], 0xFFFFFFFFu) << "the shadow stays inside the clip: the last clip pixel keeps ink";

    // Glyphs hanging over every edge of the frame, with clips larger than the
    // frame, write only inside it (the sanitizers watch the rest).
    for (int x : {-6, -3, -1, 6, 7, 9}) {
        for (int y : {-6, -2, 5, 7, 12}) {
            std::vector<uint32_t> small(W * H, bg);
            font->drawChar('"', small.data(), W, H, -100, -100, 100, 100, toFixed(x), toFixed(y), 0xFFFFFFFF, kOne);
        }
    }
    // Fractional positions round toward minus infinity.
    std::fill(frame.begin(), frame.end(), bg);
    font->drawChar('!', frame.data(), W, H, 0, 0, W, H, 0x17FFF, 0x8001, 0xFFFFFFFF, kOne);  // (2.99, 1.00)
    EXPECT_EQ(frame[1 * W + 2], 0xFFFFFFFFu);
    EXPECT_EQ(frame[1 * W + 1], bg);
    // Characters outside the font, the space and null frames draw nothing.
    std::fill(frame.begin(), frame.end(), bg);
    for (int c : {32, 65, -1, 0, 1000}) {  // space, 'A'
        font->drawChar(c, frame.data(), W, H, 0, 0, W, H, 0, 0, 0xFFFFFFFF, kOne);
    }
    font->drawChar('!', nullptr, W, H, 0, 0, W, H, 0, 0, 0xFFFFFFFF, kOne);
    // A glyph with 3 bytes of runs but width 0 has no cell: drawing must
    // neither write nor spin on the row wrap.
    auto zero = rawFont(folder, { 3, 5, 0, 65, 65, 3, 0, 3 }, { 0x3F, 0x20, 0x1F });
    EXPECT_EQ(zero->charWidth('A'), 0);
    zero->drawChar('A', frame.data(), W, H, 0, 0, W, H, 0, 0, 0xFFFFFFFF, kOne);
    EXPECT_EQ(frame, std::vector<uint32_t>(W * H, bg));
}

TEST(VfontTest, GeneratedFontsHoldEveryPrintableCharacter)
{
    int32_t previousLine = 0;
    for (const char* name : {"f10.bin", "f13.bin", "f16.bin"}) {
        auto font = make<Vfont>();
        ASSERT_TRUE(font->loadPath(test::binFolder() + name)) << name << " must be generated beside the game";
        EXPECT_LE(font->first(), 32) << name;
        EXPECT_GE(font->last(), 126) << name;
        EXPECT_GT(font->getLineHeight(), previousLine) << name << " must be taller than the smaller font";
        previousLine = font->getLineHeight();
        EXPECT_GE(font->spaceWidth(), 3) << name;
        EXPECT_LT(font->spaceWidth(), font->charWidth('n')) << name;
        for (int32_t c = 33; c <= 126; ++c) {
            EXPECT_GT(font->charWidth(c), 0) << name << " character " << c;
            EXPECT_GT(font->glyphBytes(c), 0) << name << " character " << c;
        }
    }
}

TEST(VfontTest, GeneratorIsDeterministic)
{
    ScratchFolder folder("vfont_generator");
    std::string command = test::binFolder() + "font-gen " + folder.path() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ByteArray made = readWholeFile(folder.file("f13.bin"));
    ByteArray built = readWholeFile(test::binFolder() + "f13.bin");
    ASSERT_GT(made.length(), 0);
    ASSERT_EQ(made.length(), built.length());
    EXPECT_EQ(std::memcmp(made.data(), built.data(), static_cast<size_t>(made.length())), 0);
}

TEST(VfontTest, InspectorSummarisesAFontAndFailsOnAMissingOne)
{
    ScratchFolder folder("vfont_inspect");
    const std::string tool = test::binFolder() + "golf-inspect font ";
    const std::string listing = folder.file("listing.txt");
    ASSERT_EQ(std::system((tool + test::binFolder() + "f13.bin > " + listing).c_str()), 0);
    ByteArray text = readWholeFile(listing);
    std::string lines(reinterpret_cast<const char*>(text.data()), static_cast<size_t>(text.length()));
    EXPECT_NE(lines.find("first 32 last 126 glyphs 94\n"), std::string::npos) << lines;
    EXPECT_NE(std::system((tool + folder.file("missing.bin") + " > /dev/null").c_str()), 0)
        << "an unreadable file fails";
}

}  // namespace
}  // namespace tarnby
