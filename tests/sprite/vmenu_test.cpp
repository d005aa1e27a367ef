// Menus: building entries, keys, taps, selection and the icon layout.
#include <gtest/gtest.h>

#include <vector>

#include "sprite/test_fonts.h"
#include "sprite/vmenu.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;
constexpr int32_t kLine = 10;  // line height of the test font

class VmenuTest : public ::testing::Test {
protected:
    VmenuTest()
    {
        Vtext::setDefaultFont(test::loadFont(m_folder, "menu.bin", test::blockFontData(4, kLine, 32, 126, 5, 7)));
    }
    ~VmenuTest() override
    {
        for (auto& menu : m_menus) {
            menu->destroy();
        }
        Vtext::setDefaultFont(nullptr);
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

    static Ints opacities(const Ref<Vmenu>& menu)
    {
        Ints out;
        for (Ref<Vsprite> e = menu->getChild(); e; e = e->m_next) {
            out.push_back(e->getOpacity());
        }
        return out;
    }

    test::ScratchFolder m_folder { "vmenu" };
    std::vector<Ref<Vmenu>> m_menus;
};

TEST_F(VmenuTest, TextMenuKeysSelectWrapAndPassThrough)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    EXPECT_EQ(menu->getHeight(), 3 * (kLine + 4)) << "each line has two pixels above and below";
    Ints tags, tops;
    for (Ref<Vsprite> e = menu->getChild(); e; e = e->m_next) {
        tags.push_back(e->getTag());
        tops.push_back(e->getY() >> 15);
    }
    EXPECT_EQ(tags, (Ints { '1', '2', 'B' })) << "the first character is the key";
    EXPECT_EQ(tops, (Ints { 2, 16, 30 }));
    EXPECT_EQ(opacities(menu), (Ints { kOne, kHalf, kHalf })) << "the first entry starts selected";
    EXPECT_STREQ(menu->getSelectedText()->toString()->chars(), "1 Tarnby Classic") << "labels are shown whole";

    EXPECT_EQ(menu->handleKey('2', 0, 0), '2') << "a shortcut returns its key";
    EXPECT_EQ(opacities(menu), (Ints { kHalf, kOne, kHalf })) << "and selects its entry alone";
    EXPECT_EQ(menu->handleKey('B', 0, 0), 'B');
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 0, 0), 'B') << "select returns the selected entry's code";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeyEnter, 0, 0), 'B');
    // Down on the last entry wraps to the first, up on the first to the last.
    for (auto [key, index] : std::vector<std::pair<int32_t, int32_t>> {
             { Vmenu::kKeyDown, 0 }, { Vmenu::kKeyUp, 2 }, { Vmenu::kKeyUp, 1 }, { Vmenu::kKeyDown, 2 } }) {
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
    for (int32_t key : { Vmenu::kKeyLeft, Vmenu::kKeyRight }) {
        EXPECT_EQ(settings->handleKey(key, 0, 0), 'S') << "key " << key;
    }
    settings->selectIndex(1);
    EXPECT_EQ(settings->handleKey(Vmenu::kKeyRight, 0, 0), Vmenu::kKeyRight) << "\"Help\" has no ':'";
    EXPECT_EQ(settings->addItem(String::intern("Exit"), 'Q')->getTag(), 'Q');
    EXPECT_EQ(settings->addItemWithFrame(String::intern("Music: on"), 4)->getTag(), 'M');
    settings->selectIndex(3);
    EXPECT_EQ(settings->getSelectedText(), nullptr);
    EXPECT_EQ(settings->handleKey(Vmenu::kKeyRight, 0, 0), Vmenu::kKeyRight);

    // A menu without entries hands every key back, and a tap becomes 0.
    auto empty = textMenu({});
    for (int32_t key : { 1, 2, 3, 4, 5, 10, 120 }) {
        EXPECT_EQ(empty->handleKey(key, 0, 0), key) << "key " << key;
    }
    EXPECT_EQ(empty->handleKey(Vmenu::kKeySelect, 3, 4), 0);
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
    for (const Tap& t : std::vector<Tap> {
             { 25, 58, '2', 1, "a tap on the second line" },
             { 25, 53, 0, 1, "between the first and second line" },
             { 25, 41, 0, 1, "in the panel's top margin" },
             { right - 1, 79, 'B', 2, "lines span the panel: the rows decide, not the line's own width" },
             { right, 44, 0, 2, "right of the panel" },
             { 19, 44, 0, 2, "left of the panel" },
             { 25, 52, 0, 2, "the row after a line is not on it" },
             { 25, 42, '1', 0, "the first row of a line is" } }) {
        EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, t.x, t.y), t.result) << t.what;
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
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 32, 190), 'c') << "the exact right edge of a tile still hits it";
    EXPECT_EQ(menu->getSelectedSprite(), icon) << "a tile shows its icon";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 33, 190), 0) << "one pixel further misses";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeyUp, 0, 0), Vmenu::kKeyUp) << "icon menus leave arrows to the owner";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 16, 187 + 32), 'c') << "the bottom edge counts too";
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
