// Text sprites (measuring, the number field, word wrap, text files, drawing)
// and the menus made of them (keys, taps, selection, icon layout).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "font_fixture.h"
#include "runtime/stringbuffer.h"
#include "sprite/vmenu.h"
#include "sprite/vsprite.h"

namespace tarnby {
namespace {

using test::blockFontData;
using test::Ints;
using test::loadFont;
using test::writeBytes;
using VtextTest = test::FontFixture;

Ref<StringBuffer> buffer(const char* text) { return make<StringBuffer>(String::fromChars(text)); }

Ref<Vtext> text(const char* chars, int32_t digitMax = 0)
{
    auto t = make<Vtext>(String::intern(chars));
    t->setDigitMax(digitMax);
    return t;
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
    auto three = text("Score ", 3);
    EXPECT_EQ(three->getWidth(), 1 + 5 * 5 + 4 + 3 * 5) << "setDigitMax makes room for the digits";
    const int32_t before = three->signature(0, 0, kOne);
    three->increment();
    EXPECT_NE(three->signature(0, 0, kOne), before) << "a changed digit must change the signature";

    // Each field: its size, the number set, a step after it, and then its
    // count of digits and their value.
    struct Step {
        int32_t digitMax, number;
        void (Vtext::*step)();
        int32_t count, value;
        const char* what;
    };
    const auto up = &Vtext::increment, down = &Vtext::decrement;
    for (const Step& c : std::vector<Step> { { 3, 0, nullptr, 1, 0, "zero is one digit" },
             { 3, 99, up, 3, 100, "99 + 1 with room for three digits" },
             { 2, 99, up, 2, 0, "99 + 1 in two digits wraps to zeros" },
             { 2, 12345, down, 2, 44, "a wider number keeps its low digits" },
             { 2, 0, down, 1, 0, "the field has no sign: below zero shows 0" },
             { 0, 7, up, 0, 0, "a text without a number field ignores numbers" } }) {
        auto field = text("", c.digitMax);
        field->setNumber(c.number);
        if (c.step) {
            (field.get()->*c.step)();
        }
        EXPECT_EQ((Ints { field->m_digitCount, field->getNumber() }), (Ints { c.count, c.value })) << c.what;
    }

    // Lines added to a panel stack: the second under the first, the panel as
    // wide as the widest line, number field included; a centred line is
    // centred in the panel's width, to the half pixel.
    auto panel = make<Vsprite>();
    panel->addText(String::intern("Top"));
    auto score = panel->addText(String::intern("Par "), 2);
    EXPECT_EQ((Ints { score->getY() >> 15, panel->getWidth(), panel->getHeight() }), (Ints { 10, 30, 20 }));
    EXPECT_EQ(panel->addTextCentred(String::intern("a"))->getX(), (30 - 6) * 0x4000);
    panel->destroy();

    // Without a font nothing is measured and nothing breaks.
    Vtext::setDefaultFont(nullptr);
    auto bare = text("abc", 2);
    EXPECT_EQ(bare->getWidth(), 0);
    bare->setFont(m_font, String::intern("abc"));
    EXPECT_EQ(bare->getWidth(), 16);
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

TEST_F(VmenuTest, TextMenuKeysAndTapsSelectWrapAndPassThrough)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    EXPECT_EQ(menu->getHeight(), 3 * (10 + 4)) << "each line has two pixels above and below";
    EXPECT_EQ(each(menu, [](Vsprite& e) { return e.getTag(); }), (Ints { '1', '2', 'B' })) << "keys: first characters";
    EXPECT_EQ(each(menu, [](Vsprite& e) { return e.getY() >> 15; }), (Ints { 2, 16, 30 }));
    EXPECT_EQ(opacities(menu), (Ints { kOne, kHalf, kHalf })) << "the first entry starts selected";
    EXPECT_STREQ(menu->getSelectedText()->toString()->chars(), "1 Tarnby Classic") << "labels are shown whole";

    // Taps: placed at (20, 40), the lines are at rows 42..51, 56..65 and
    // 70..79; the panel covers 40..81. A miss (result 0) keeps the selection.
    menu->setPosition(20, 40);
    menu->update(0, 0, kOne);
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
