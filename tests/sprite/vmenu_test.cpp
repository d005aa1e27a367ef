// Menus: building entries, keys, taps, selection and the icon layout.
#include <gtest/gtest.h>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "image/vilib.h"
#include "sprite/test_fonts.h"
#include "sprite/vmenu.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ScratchFolder;

constexpr int32_t kLine = 10;  // line height of the test font

class VmenuTest : public ::testing::Test {
protected:
    VmenuTest()
        : m_folder(test::testFolderName("vmenu"))
    {
        Vtext::setDefaultFont(test::loadFont(m_folder, "menu.bin", test::blockFontData(4, kLine, 32, 126, 5, 7)));
        Vmenu::setMenuColour(Vmenu::kDefaultColour);
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
        auto menu = make<Vmenu>();
        for (const char* label : labels) {
            menu->addItem(String::intern(label));
        }
        menu->update(0, 0, kOne);  // lay out the panel and its lines
        m_menus.push_back(menu);
        return menu;
    }

    Ref<Vmenu> iconMenu(int32_t count)
    {
        auto menu = make<Vmenu>();
        menu->m_tileSize = 32;
        for (int32_t i = 0; i < count; ++i) {
            menu->addIcon('a' + i, i);
        }
        m_menus.push_back(menu);
        return menu;
    }

    static std::string selectedLabel(const Ref<Vmenu>& menu)
    {
        auto text = menu->getSelectedText();
        return text ? text->toString()->chars() : "(none)";
    }

    ScratchFolder m_folder;
    std::vector<Ref<Vmenu>> m_menus;
};

TEST_F(VmenuTest, BuildsATextMenu)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    EXPECT_EQ(menu->getHeight(), 3 * (kLine + 4)) << "each line has two pixels above and below";
    std::vector<int32_t> tags, tops;
    std::vector<Fixed> opacities;
    for (Ref<Vsprite> e = menu->getChild(); e; e = e->m_next) {
        tags.push_back(e->getTag());
        tops.push_back(e->getY() >> 15);
        opacities.push_back(e->getOpacity());
    }
    EXPECT_EQ(tags, (std::vector<int32_t> { '1', '2', 'B' })) << "the first character is the key";
    EXPECT_EQ(tops, (std::vector<int32_t> { 2, 16, 30 }));
    EXPECT_EQ(opacities, (std::vector<Fixed> { kOne, kHalf, kHalf })) << "the first entry starts selected";
    EXPECT_EQ(selectedLabel(menu), "1 Tarnby Classic") << "labels are shown whole";
    EXPECT_EQ(menu->selectedIndex(), 0);

    auto custom = make<Vmenu>();
    m_menus.push_back(custom);
    EXPECT_EQ(custom->addItem(String::intern("Exit"), 'Q')->getTag(), 'Q');
    auto framed = custom->addItemWithFrame(String::intern("Sound: on"), 4);
    EXPECT_EQ(framed->getTag(), 'S');
    EXPECT_EQ(framed->getFrame(), 4);
    custom->selectIndex(1);
    EXPECT_EQ(custom->getSelectedText(), nullptr) << "an entry with a frame is not a text entry";
    EXPECT_EQ(custom->handleKey(Vmenu::kKeyRight, 0, 0), Vmenu::kKeyRight)
        << "so left and right pass by it even though its label has a ':'";
}

TEST_F(VmenuTest, KeysSelectWrapAndPassThrough)
{
    auto menu = textMenu({ "1 Tarnby Classic", "2 Rivaru Reruz", "Back" });
    EXPECT_EQ(menu->handleKey('2', 0, 0), '2') << "a shortcut returns its key";
    EXPECT_EQ(menu->selectedIndex(), 1) << "and selects its entry";
    EXPECT_EQ(menu->getChild()->getOpacity(), kHalf) << "the old selection is dimmed";
    EXPECT_EQ(menu->getChild()->m_next->getOpacity(), kOne);
    EXPECT_EQ(menu->handleKey('B', 0, 0), 'B') << "the first character of \"Back\"";
    EXPECT_EQ(menu->selectedIndex(), 2);
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 0, 0), 'B') << "select returns the selected entry's code";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeyEnter, 0, 0), 'B');

    // Down on the last entry wraps to the first, up on the first to the last.
    for (auto [key, index] : std::vector<std::pair<int32_t, int32_t>> {
             { Vmenu::kKeyDown, 0 }, { Vmenu::kKeyUp, 2 }, { Vmenu::kKeyUp, 1 }, { Vmenu::kKeyDown, 2 } }) {
        EXPECT_EQ(menu->handleKey(key, 0, 0), 0);
        EXPECT_EQ(menu->selectedIndex(), index) << "after key " << key;
    }
    int dimmed = 0;
    for (Ref<Vsprite> e = menu->getChild(); e; e = e->m_next) {
        dimmed += e->getOpacity() == kHalf ? 1 : 0;
    }
    EXPECT_EQ(dimmed, 2) << "exactly one entry is at full opacity";

    EXPECT_EQ(menu->handleKey(6, 0, 0), 6) << "the soft key matches no entry and goes to the owner";
    EXPECT_EQ(menu->handleKey('7', 0, 0), '7');
    EXPECT_EQ(menu->handleKey(0, 0, 0), 0);
    EXPECT_EQ(menu->selectedIndex(), 2) << "keys without an entry leave the selection alone";

    // Left and right change settings entries (with ':') and pass others by.
    auto settings = textMenu({ "Sound: on", "Help" });
    EXPECT_EQ(settings->handleKey(Vmenu::kKeyRight, 0, 0), 'S');
    EXPECT_EQ(settings->handleKey(Vmenu::kKeyLeft, 0, 0), 'S');
    settings->selectIndex(1);
    EXPECT_EQ(settings->handleKey(Vmenu::kKeyRight, 0, 0), Vmenu::kKeyRight) << "\"Help\" has no ':'";

    // A menu without entries hands every key back, and a tap becomes 0.
    auto empty = make<Vmenu>();
    m_menus.push_back(empty);
    for (int32_t key : { 1, 2, 3, 4, 5, 10, 120 }) {
        EXPECT_EQ(empty->handleKey(key, 0, 0), key) << "key " << key;
    }
    EXPECT_EQ(empty->handleKey(Vmenu::kKeySelect, 3, 4), 0);
    EXPECT_EQ(empty->selectedIndex(), 0);
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
             { 25, 53, 0, 1, "between the first and second line" }, { 25, 41, 0, 1, "in the panel's top margin" },
             { right - 1, 79, 'B', 2, "lines span the panel: the rows decide, not the line's own width" },
             { right, 44, 0, 2, "right of the panel" }, { 19, 44, 0, 2, "left of the panel" },
             { 25, 52, 0, 2, "the row after a line is not on it" }, { 25, 42, '1', 0, "the first row of a line is" } }) {
        EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, t.x, t.y), t.result) << t.what;
        EXPECT_EQ(menu->selectedIndex(), t.index) << t.what;
    }
}

TEST_F(VmenuTest, IconLayoutOnANarrowScreen)
{
    // Seven icons on a 240-pixel screen: two rows of two at the edges, then
    // three along the bottom. Columns are (240 - 128) / 3 + 32 = 69 apart.
    auto menu = iconMenu(7);
    menu->layoutIcons(240, 300);
    std::vector<std::pair<int32_t, int32_t>> places;
    for (Ref<Vsprite> tile = menu->getChild(); tile; tile = tile->m_next) {
        places.push_back({ tile->getX() >> 15, tile->getY() >> 15 });
        ASSERT_TRUE(tile->getChild()) << "each tile holds its icon";
        EXPECT_EQ(tile->getChild()->getOpacity(), kHalf) << "icons start dim";
    }
    // Rows are 300 / 3 = 100 apart, held to the column step of 69; tiles
    // sit (69 - 32) / 2 = 18 into their cells, pulled out by half the gap (18).
    const std::vector<std::pair<int32_t, int32_t>> expected
        = { { 0, 18 }, { 207, 18 }, { 0, 87 }, { 207, 87 }, { 0, 156 }, { 69, 156 }, { 138, 156 } };
    EXPECT_EQ(places, expected);
    EXPECT_EQ(menu->getWidth(), 0) << "the icon menu is a group node";
    EXPECT_EQ(menu->getHeight(), 69 * 3 - 18);
    EXPECT_LE(places[1].first + 32, 240) << "the right column stays on screen";

    // A short screen packs the rows closer: 120 / 3 = 40 apart.
    menu->layoutIcons(240, 120);
    EXPECT_EQ(menu->getChild()->getY() >> 15, 4);
    EXPECT_EQ(menu->getChild()->m_next->m_next->getY() >> 15, 44);

    // Two icons have no pairs of rows: they make one row instead of dividing by zero.
    auto two = iconMenu(2);
    two->layoutIcons(240, 100);
    EXPECT_EQ(two->getChild()->getX() >> 15, 0);
    EXPECT_EQ(two->getChild()->m_next->getX() >> 15, 69);
    EXPECT_EQ(two->getChild()->getY(), two->getChild()->m_next->getY());
    iconMenu(0)->layoutIcons(240, 100);
    iconMenu(1)->layoutIcons(176, 50);

    auto plain = textMenu({ "a" });
    Fixed before = plain->getChild()->getY();
    plain->layoutIcons(240, 300);
    EXPECT_EQ(plain->getChild()->getY(), before) << "a text menu has no tiles to lay out";
    EXPECT_GT(plain->getWidth(), 0);
}

TEST_F(VmenuTest, TapsOnIconsAndFading)
{
    auto menu = iconMenu(7);
    menu->layoutIcons(240, 300);
    menu->update(0, toFixed(100), kOne);
    Ref<Vsprite> third = menu->getChild()->m_next->m_next;  // at (0, 187)
    ASSERT_EQ(third->m_left, 0);
    ASSERT_EQ(third->m_right, 32);
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 32, 190), 'c') << "the exact right edge of a tile still hits it";
    EXPECT_EQ(menu->selectedIndex(), 2);
    EXPECT_EQ(menu->getSelectedSprite(), third->getChild()) << "a tile shows its icon";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 33, 190), 0) << "one pixel further misses";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeySelect, 16, 187 + 32), 'c') << "the bottom edge counts too";
    EXPECT_EQ(menu->handleKey(Vmenu::kKeyUp, 0, 0), Vmenu::kKeyUp) << "icon menus leave arrows to the owner";

    // The tapped icon is at full opacity and fades to dim over 32 calls.
    Ref<Vsprite> icon = third->getChild();
    menu->handleKey(Vmenu::kKeySelect, 5, 190);
    EXPECT_EQ(icon->getOpacity(), kOne) << "the fade of a call comes before its tap";
    for (int i = 0; i < 31; ++i) {
        menu->handleKey(0, 0, 0);
    }
    EXPECT_EQ(icon->getOpacity(), kHalf + 0x200) << "one step short after 31 frames";
    menu->handleKey(0, 0, 0);
    EXPECT_EQ(icon->getOpacity(), kHalf) << "dim after 32";
    menu->handleKey(0, 0, 0);
    EXPECT_EQ(icon->getOpacity(), kHalf) << "the fade stops at the dim opacity";

    // Shortcut keys select tiles too.
    EXPECT_EQ(menu->handleKey('e', 0, 0), 'e');
    EXPECT_EQ(menu->selectedIndex(), 4);
}

TEST_F(VmenuTest, SelectionOperations)
{
    auto menu = textMenu({ "Alpha", "Beta", "Gamma" });
    menu->selectTag('G');
    EXPECT_EQ(menu->selectedIndex(), 2);
    EXPECT_EQ(menu->getChild()->getOpacity(), kHalf);
    menu->selectTag('Z');
    EXPECT_EQ(menu->selectedIndex(), 2) << "an unknown tag changes nothing";
    menu->selectIndex(1);
    EXPECT_EQ(selectedLabel(menu), "Beta");
    menu->selectIndex(7);
    EXPECT_EQ(selectedLabel(menu), "Beta") << "an index past the end keeps the selection";

    // Removing the selected entry leaves no entry selected: the index is
    // then the number of entries.
    menu->remove(menu->getSelectedSprite());
    EXPECT_EQ(menu->selectedIndex(), 2);
}

TEST_F(VmenuTest, IconsComeFromTheIconLibrary)
{
    // Two icons: a red 20 x 12 bar and a blue 16 x 16 square.
    bundle::BundleWriter writer;
    std::vector<uint8_t> red(20 * 12 * 4), blue(16 * 16 * 4);
    for (size_t i = 0; i < red.size(); i += 4) {
        red[i] = 255;
        red[i + 3] = 255;
    }
    for (size_t i = 0; i < blue.size(); i += 4) {
        blue[i + 2] = 255;
        blue[i + 3] = 255;
    }
    ASSERT_EQ(writer.addRun(red.data(), 20, 12, 0, 0), 0) << writer.error();
    ASSERT_EQ(writer.addRun(blue.data(), 16, 16, 0, 0), 1) << writer.error();
    ASSERT_TRUE(writer.writeSegments(m_folder.path(), "icons", 4096)) << writer.error();
    Vmenu::setIconLibrary(make<Vilib>(String::intern("icons")));

    auto menu = iconMenu(2);
    Ref<Vsprite> bar = menu->getChild()->getChild();
    Ref<Vsprite> square = menu->getChild()->m_next->getChild();
    EXPECT_EQ(bar->getWidth(), 20);
    EXPECT_EQ(bar->getHeight(), 12);
    EXPECT_EQ(bar->getX(), toFixed(6)) << "centred in the 32-pixel tile";
    EXPECT_EQ(bar->getY(), toFixed(10));
    EXPECT_EQ(square->getX(), toFixed(8));

    Vmenu::setIconLibrary(nullptr);
}

}  // namespace
}  // namespace tarnby
