// Text sprites: measuring, the number field, word wrap, text files and drawing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/stringbuffer.h"
#include "sprite/test_fonts.h"
#include "sprite/vsprite.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ScratchFolder;

std::string digitsOf(const Vtext& text)
{
    std::string out;
    for (int32_t i = text.m_digitCount - 1; i >= 0; --i) {
        out.push_back(static_cast<char>(text.m_digits[i]));
    }
    return out;
}

Ref<StringBuffer> buffer(const char* text) { return make<StringBuffer>(String::fromChars(text)); }

// Every test starts from the process-wide defaults a fresh game has.
class VtextTest : public ::testing::Test {
protected:
    VtextTest() : m_folder(test::testFolderName("vtext"))
    {
        // Characters 5 wide and 7 rows of ink, a space of 4 (tab stops every
        // 32 pixels), lines of 10.
        m_font = test::loadFont(m_folder, "five.bin", test::blockFontData(4, 10, 32, 126, 5, 7));
        Vtext::setDefaultFont(m_font);
        Vtext::setDefaultTextColour(Vtext::kWhite);
    }
    ~VtextTest() override { Vtext::setDefaultFont(nullptr); }

    ScratchFolder m_folder;
    Ref<Vfont> m_font;
};

TEST_F(VtextTest, MeasuresLinesTabsAndTheNumberField)
{
    auto text = make<Vtext>(String::intern("ab\tc"));
    // x goes 1, 6, 11; the tab adds 32 - 11 = 21, so c starts at 32.
    EXPECT_EQ(text->getWidth(), 37);
    EXPECT_EQ(text->getHeight(), 10);
    EXPECT_EQ(text->m_checksum, 'a' + 'b' + '\t' + 'c');

    text->setText(String::intern("ab\nc"));
    EXPECT_EQ(text->getHeight(), 20) << "two lines";
    EXPECT_EQ(text->getWidth(), 11) << "the wider first line: 1 + 5 + 5";
    text->setText(String::intern("a\nbcd\n"));
    EXPECT_EQ(text->getWidth(), 16);
    EXPECT_EQ(text->getHeight(), 30) << "a trailing line break starts an empty third line";

    // The number field continues the last line.
    text->setText(String::intern("x\nab"));
    text->setDigitMax(3);
    text->setNumber(42);
    EXPECT_EQ(digitsOf(*text), "42");
    EXPECT_EQ(text->getWidth(), 1 + 4 * 5);
    EXPECT_EQ(text->m_checksum, 'x' + '\n' + 'a' + 'b' + '4' + '2');

    // Characters outside the font (signed bytes above 127) measure 0.
    text->setText(String::intern("a\xE9z"));
    EXPECT_EQ(text->getWidth(), 1 + 5 + 5 + 2 * 5);
    EXPECT_EQ(text->m_checksum, 'a' + static_cast<int8_t>(0xE9) + 'z' + '4' + '2') << "codes count as signed bytes";

    // Without a font nothing is measured and nothing breaks.
    Vtext::setDefaultFont(nullptr);
    auto bare = make<Vtext>(String::intern("abc"));
    EXPECT_EQ(bare->getWidth(), 0);
    EXPECT_EQ(bare->m_checksum, 0);
    bare->setFont(m_font, String::intern("abc"));
    EXPECT_EQ(bare->getWidth(), 16);
}

TEST_F(VtextTest, NumberFieldCountsAndWraps)
{
    auto three = make<Vtext>(String::intern("Score "));
    three->setDigitMax(3);
    EXPECT_EQ(three->getWidth(), 1 + 5 * 5 + 4 + 3 * 5) << "setDigitMax makes room for the digits";
    three->setNumber(0);
    EXPECT_EQ(digitsOf(*three), "0") << "zero is one digit";
    EXPECT_EQ(three->getNumber(), 0);
    three->setNumber(99);
    three->increment();
    EXPECT_EQ(digitsOf(*three), "100") << "99 + 1 with room for three digits";
    EXPECT_EQ(three->getNumber(), 100);
    EXPECT_EQ(three->getWidth(), 1 + 5 * 5 + 4 + 3 * 5);

    auto two = make<Vtext>(String::intern(""));
    two->setDigitMax(2);
    two->setNumber(99);
    two->increment();
    EXPECT_EQ(digitsOf(*two), "00") << "99 + 1 in two digits wraps to zeros";
    EXPECT_EQ(two->getNumber(), 0);
    two->setNumber(12345);
    EXPECT_EQ(digitsOf(*two), "45") << "a number wider than the field keeps its low digits";
    two->decrement();
    EXPECT_EQ(two->getNumber(), 44);
    two->setNumber(0);
    two->decrement();
    EXPECT_EQ(digitsOf(*two), "0") << "the field has no sign: below zero shows 0";

    auto empty = make<Vtext>(String::intern("n"));
    empty->setDigitMax(2);
    empty->increment();
    EXPECT_EQ(empty->m_digitCount, 0) << "an empty field stays empty";
    auto none = make<Vtext>(String::intern("n"));
    none->setNumber(7);
    none->increment();
    EXPECT_EQ(none->m_digitCount, 0) << "a text without a number field ignores numbers";
    EXPECT_EQ(none->getNumber(), 0);

    // setDigits copies the last characters first, up to the field's size.
    three->setDigits(buffer("2048"));
    EXPECT_EQ(digitsOf(*three), "048");
    three->setDigits(buffer("7"));
    EXPECT_EQ(three->getNumber(), 7);

    // Any change of a digit changes the signature, so the text is redrawn.
    int32_t before = three->signature(0, 0, kOne);
    three->increment();
    EXPECT_NE(three->signature(0, 0, kOne), before);
}

TEST_F(VtextTest, WordWrapBreaksAtTheLastSpaceThatFits)
{
    // Every character, the space included, 5 pixels wide; the default font has a space of 4.
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
        auto text = make<Vtext>();
        text->m_font = c.ownFont ? even : nullptr;
        text->setSize(c.width, 0);
        text->setWrapped(buffer(c.in));
        EXPECT_STREQ(text->toString()->chars(), c.out) << c.what;
        EXPECT_EQ(text->m_font, c.ownFont ? even : m_font) << c.what;
    }
    auto text = make<Vtext>();
    text->setSize(7 * 5, 0);
    text->setWrapped(buffer("abc def ghi"));
    EXPECT_EQ(text->getHeight(), 20);
    text->setWrapped(Ref<StringBuffer>());
    EXPECT_STREQ(text->toString()->chars(), "");
}

TEST_F(VtextTest, LoadTextWrapsAFileToTheWidth)
{
    test::writeBytes(m_folder.file("help.txt"), {'a', 'b', ' ', 'c', 'd', ' ', 'e', 'f', 0, 'g'});
    auto text = make<Vtext>();
    text->setSize(1 + 5 * 5, 0);
    text->loadText(String::intern("help.txt"));
    EXPECT_STREQ(text->toString()->chars(), "ab cd\nefg") << "wrapped to 26 pixels; a stray NUL byte is dropped";
    EXPECT_EQ(text->getHeight(), 20);
    text->loadText(String::intern("missing.txt"));
    EXPECT_STREQ(text->toString()->chars(), "ab cd\nefg") << "a missing file changes nothing";
}

TEST_F(VtextTest, AddersStackTextLines)
{
    auto panel = make<Vsprite>();
    auto title = panel->addText(String::intern("Top"));
    auto score = panel->addText(String::intern("Par "), 2);
    EXPECT_EQ(score->digitMax(), 2);
    EXPECT_EQ(score->getY(), toFixed(10)) << "the second line sits under the first";
    EXPECT_EQ(panel->getWidth(), 1 + 3 * 5 + 4 + 2 * 5) << "as wide as the widest line, number field included";
    EXPECT_EQ(panel->getHeight(), 20);
    auto centred = panel->addTextCentred(String::intern("a"));
    EXPECT_EQ(centred->getX(), (30 - 6) * 0x4000) << "centred in the panel's width";
    auto counter = panel->addTextCentred(String::intern(""), 1);
    EXPECT_EQ(counter->getWidth(), 1 + 5);
    panel->destroy();
}

// Renders `text` into a black frame at pixel (x, y), clipped to the rectangle.
std::vector<uint32_t> renderText(const Ref<Vtext>& text, int32_t w, int32_t h, int32_t x, int32_t y, int32_t clipL,
                                 int32_t clipT, int32_t clipR, int32_t clipB)
{
    std::vector<uint32_t> frame(static_cast<size_t>(w * h), 0xFF000000);
    text->layout(toFixed(x), toFixed(y), kOne);
    text->render(frame.data(), w, h, clipL, clipT, clipR, clipB);
    return frame;
}

TEST_F(VtextTest, RendersGlyphsShadowsAndClips)
{
    // A font of 2 x 2 blocks with lines of 4 and a space of 1 makes every
    // pixel easy to predict.
    auto tiny = test::loadFont(m_folder, "tiny.bin", test::blockFontData(1, 4, 33, 126, 2, 2));
    auto text = make<Vtext>();
    text->setTextColour(0xFFFFD000);
    text->setFont(tiny, String::intern("ab c\nd"));
    text->setDigitMax(2);
    text->setNumber(7);
    ASSERT_EQ(text->getWidth(), 1 + 2 + 2 + 1 + 2);
    ASSERT_EQ(text->getHeight(), 8);
    constexpr int W = 16, H = 12;
    std::vector<uint32_t> frame = renderText(text, W, H, 3, 2, 0, 0, W, H);
    test::saveFrame("vtext_render", frame.data(), W, H, W);
    auto at = [&](int x, int y) { return frame[static_cast<size_t>(y * W + x)]; };
    // Line 1 at (4, 2) after the margin: a at 4..5, b at 6..7, the space, c at 9..10.
    // Line 2 at (4, 6): d at 4..5, then the digit 7 at 6..7.
    const std::vector<std::pair<int, int>> glyphs = {{4, 2}, {6, 2}, {9, 2}, {4, 6}, {6, 6}};
    for (auto [gx, gy] : glyphs) {
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                EXPECT_EQ(at(gx + dx, gy + dy), 0xFFFFD000u) << "glyph pixel (" << gx + dx << ", " << gy + dy << ")";
            }
        }
    }
    EXPECT_EQ(at(3, 2), 0xFF000000u) << "the margin column stays clear";
    EXPECT_EQ(at(8, 2), 0xFF000000u) << "spaces draw nothing";

    // Clipping: only the rectangle is touched, glyphs outside it are skipped.
    frame = renderText(text, W, H, 3, 2, 6, 0, 9, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (x < 6 || x >= 9) {
                EXPECT_EQ(at(x, y), 0xFF000000u) << "(" << x << ", " << y << ") lies outside the clip";
            }
        }
    }
    EXPECT_EQ(at(6, 2), 0xFFFFD000u) << "b is inside the clip";
    EXPECT_EQ(at(7, 7), 0xFFFFD000u) << "the number field is drawn on the last line";

    // A clip below the first line draws only the second; a clip above the
    // second draws only the first.
    frame = renderText(text, W, H, 3, 2, 0, 6, W, H);
    EXPECT_EQ(at(4, 6), 0xFFFFD000u);
    EXPECT_EQ(at(4, 2), 0xFF000000u);
    frame = renderText(text, W, H, 3, 2, 0, 0, W, 4);
    EXPECT_EQ(at(4, 2), 0xFFFFD000u);
    EXPECT_EQ(at(4, 6), 0xFF000000u);

    // A translucent background colour fills the clip first; half opacity
    // draws the glyphs as a half mix without shadows.
    text->setColour(0x80FFFFFF);
    text->setOpacity(0x4000);  // 0.5
    frame = renderText(text, W, H, 3, 2, 0, 0, W, H);
    const uint32_t panel = 0x7F7F7F;  // black half-mixed with white
    EXPECT_EQ(at(0, 0), panel);
    EXPECT_EQ(at(4, 2), ((panel >> 1) & 0x7F7F7F) + ((0xFFFFD000u >> 1) & 0x7F7F7F));
    EXPECT_EQ(at(8, 4), panel) << "no shadow below full opacity";

    // Text running off every edge of the frame stays inside it.
    text->setOpacity(kOne);
    for (int x : {-20, -3, 10, 15}) {
        for (int y : {-9, -1, 9, 11}) {
            renderText(text, W, H, x, y, 0, 0, W, H);
        }
    }
}

}  // namespace
}  // namespace tarnby
