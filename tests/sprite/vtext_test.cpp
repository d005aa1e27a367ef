// Text sprites: measuring, the number field, word wrap, text files and drawing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/stringbuffer.h"
#include "sprite/test_fonts.h"
#include "sprite/vsprite.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;

std::string digitsOf(const Vtext& text)
{
    std::string out;
    for (int32_t i = text.m_digitCount - 1; i >= 0; --i) {
        out.push_back(static_cast<char>(text.m_digits[i]));
    }
    return out;
}

Ref<StringBuffer> buffer(const char* text) { return make<StringBuffer>(String::fromChars(text)); }

Ref<Vtext> text(const char* chars, int32_t digitMax = 0)
{
    auto t = make<Vtext>(String::intern(chars));
    t->setDigitMax(digitMax);
    return t;
}

class VtextTest : public ::testing::Test {
protected:
    // Characters 5 wide and 7 rows of ink, a space of 4 (tab stops every 32
    // pixels), lines of 10: the default font of every text made here.
    VtextTest() { Vtext::setDefaultFont(m_font); }
    ~VtextTest() override { Vtext::setDefaultFont(nullptr); }

    test::ScratchFolder m_folder { "vtext" };
    Ref<Vfont> m_font = test::loadFont(m_folder, "five.bin", test::blockFontData(4, 10, 32, 126, 5, 7));
};

TEST_F(VtextTest, MeasuresLinesTabsAndTheNumberField)
{
    // Width, height and checksum; x starts at 1 (the margin).
    struct Case {
        const char* chars;
        int32_t width, height, checksum;
        const char* what;
    };
    for (const Case& c : std::vector<Case> {
             { "ab\tc", 37, 10, 'a' + 'b' + '\t' + 'c', "the tab goes from 11 to the stop at 32" },
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
    EXPECT_EQ(t->getWidth(), 1 + 4 * 5);
    EXPECT_EQ(t->m_checksum, 'x' + '\n' + 'a' + 'b' + '4' + '2');

    // Without a font nothing is measured and nothing breaks.
    Vtext::setDefaultFont(nullptr);
    auto bare = text("abc", 2);
    EXPECT_EQ(bare->getWidth(), 0);
    bare->setFont(m_font, String::intern("abc"));
    EXPECT_EQ(bare->getWidth(), 16);
}

TEST_F(VtextTest, NumberFieldCountsAndWraps)
{
    struct Case {
        int32_t digitMax, number;
        void (Vtext::*step)();  // increment, decrement or nothing
        const char *digits, *what;
    };
    const auto up = &Vtext::increment, down = &Vtext::decrement;
    for (const Case& c : std::vector<Case> { { 3, 0, nullptr, "0", "zero is one digit" },
                                             { 3, 99, up, "100", "99 + 1 with room for three digits" },
                                             { 2, 99, up, "00", "99 + 1 in two digits wraps to zeros" },
                                             { 2, 12345, down, "44", "a wider number keeps its low digits" },
                                             { 2, 0, down, "0", "the field has no sign: below zero shows 0" },
                                             { 0, 7, up, "", "a text without a number field ignores numbers" } }) {
        auto t = text("", c.digitMax);
        t->setNumber(c.number);
        if (c.step) {
            (t.get()->*c.step)();
        }
        EXPECT_EQ(digitsOf(*t), c.digits) << c.what;
        EXPECT_EQ(t->getNumber(), std::atoi(c.digits)) << c.what;
    }
    auto three = text("Score ", 3);
    EXPECT_EQ(three->getWidth(), 1 + 5 * 5 + 4 + 3 * 5) << "setDigitMax makes room for the digits";
    three->increment();
    EXPECT_EQ(three->m_digitCount, 0) << "an empty field stays empty";
    three->setDigits(buffer("2048"));
    EXPECT_EQ(digitsOf(*three), "048") << "setDigits keeps the last characters that fit";
    int32_t before = three->signature(0, 0, kOne);
    three->increment();
    EXPECT_NE(three->signature(0, 0, kOne), before) << "a changed digit must change the signature";
}

TEST_F(VtextTest, WordWrapBreaksAtTheLastSpaceThatFits)
{
    // Every character, the space included, 5 pixels wide.
    auto even = test::loadFont(m_folder, "even.bin", test::blockFontData(5, 10, 32, 126, 5, 7));
    struct Case {
        bool ownFont;
        int32_t width;
        const char *in, *out, *what;
    };
    for (const Case& c : std::vector<Case> {
             { true, 1 + 7 * 5, "abc def ghi", "abc def\nghi", "in 1 + 7w the second space breaks" },
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
    test::writeBytes(m_folder.file("help.txt"), { 'a', 'b', ' ', 'c', 'd', ' ', 'e', 'f', 0, 'g' });
    auto t = make<Vtext>();
    t->setSize(1 + 5 * 5, 0);
    t->loadText(String::intern("help.txt"));
    EXPECT_STREQ(t->toString()->chars(), "ab cd\nefg");
    EXPECT_EQ(t->getHeight(), 20);
    t->loadText(String::intern("missing.txt"));
    EXPECT_STREQ(t->toString()->chars(), "ab cd\nefg");
    t->setWrapped(Ref<StringBuffer>());
    EXPECT_STREQ(t->toString()->chars(), "");
}

TEST_F(VtextTest, AddersStackTextLines)
{
    auto panel = make<Vsprite>();
    panel->addText(String::intern("Top"));
    auto score = panel->addText(String::intern("Par "), 2);
    EXPECT_EQ(score->getY(), toFixed(10)) << "the second line sits under the first";
    EXPECT_EQ((Ints { panel->getWidth(), panel->getHeight() }), (Ints { 1 + 3 * 5 + 4 + 2 * 5, 20 }))
        << "as wide as the widest line, number field included";
    auto centred = panel->addTextCentred(String::intern("a"));
    EXPECT_EQ(centred->getX(), (30 - 6) * 0x4000) << "centred in the panel's width, to the half pixel";
    EXPECT_EQ(panel->addTextCentred(String::intern(""), 1)->getWidth(), 1 + 5);
    panel->destroy();
}

TEST_F(VtextTest, RendersGlyphsClipsAndOpacity)
{
    // A font of 2 x 2 blocks with lines of 4 and a space of 1: line 1 at (4, 2)
    // after the margin has a at 4..5, b at 6..7, the space, c at 9..10; line 2
    // at (4, 6) has d at 4..5, then the digit 7 at 6..7.
    auto tiny = test::loadFont(m_folder, "tiny.bin", test::blockFontData(1, 4, 33, 126, 2, 2));
    auto t = make<Vtext>();
    const uint32_t ink = 0xFFFFD000, bg = 0xFF000000;
    t->setTextColour(ink);
    t->setFont(tiny, String::intern("ab c\nd"));
    t->setDigitMax(2);
    t->setNumber(7);
    constexpr int W = 16, H = 12;
    std::vector<uint32_t> frame;
    auto render = [&](int32_t x, int32_t y, int32_t clipL, int32_t clipT, int32_t clipR, int32_t clipB) {
        frame.assign(W * H, bg);
        t->layout(toFixed(x), toFixed(y), kOne);
        t->render(frame.data(), W, H, clipL, clipT, clipR, clipB);
    };
    const Ints glyphX = { 4, 6, 9, 4, 6 }, glyphY = { 2, 2, 2, 6, 6 };
    // Every pixel of the frame for a clip: ink on glyphs inside it, their
    // shadows (half the ink) just outside glyphs, the background elsewhere.
    auto check = [&](int32_t clipL, int32_t clipT, int32_t clipR, int32_t clipB, const char* what) {
        render(3, 2, clipL, clipT, clipR, clipB);
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                bool glyph = false;
                for (size_t g = 0; g < glyphX.size(); ++g) {
                    glyph = glyph || (x >= glyphX[g] && x < glyphX[g] + 2 && y >= glyphY[g] && y < glyphY[g] + 2);
                }
                bool inside = x >= clipL && x < clipR && y >= clipT && y < clipB;
                uint32_t got = frame[static_cast<size_t>(y * W + x)];
                if (!inside || !glyph) {
                    EXPECT_TRUE(got == bg || (inside && got == 0)) << what << ": (" << x << ", " << y << ")";
                } else {
                    EXPECT_EQ(got, ink) << what << ": glyph pixel (" << x << ", " << y << ")";
                }
            }
        }
    };
    check(0, 0, W, H, "the whole frame");
    check(6, 0, 9, H, "a clip of columns 6..8");
    check(0, 6, W, H, "a clip below the first line");
    check(0, 0, W, 4, "a clip above the second line");
    test::saveFrame("vtext_render", frame.data(), W, H, W);

    // A translucent background colour fills the clip first; half opacity
    // draws the glyphs as a half mix without shadows.
    t->setColour(0x80FFFFFF);
    t->setOpacity(kHalf);
    render(3, 2, 0, 0, W, H);
    const uint32_t panel = 0x7F7F7F;  // black half-mixed with white
    EXPECT_EQ(frame[0], panel);
    EXPECT_EQ(frame[2 * W + 4], ((panel >> 1) & 0x7F7F7F) + ((ink >> 1) & 0x7F7F7F));
    EXPECT_EQ(frame[4 * W + 8], panel) << "no shadow below full opacity";

    // Text running off every edge of the frame stays inside it.
    t->setOpacity(kOne);
    for (int x : { -20, -3, 10, 15 }) {
        for (int y : { -9, -1, 9, 11 }) {
            render(x, y, 0, 0, W, H);
        }
    }
}

}  // namespace
}  // namespace tarnby
