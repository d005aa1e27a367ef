// The screens around play: the main menu, course and player selection, the
// club menu, help, top scores, the About panel, the sound switch, and the
// showing of key-help menus.
#include <algorithm>
#include <cstdio>

#include "golf/golf.h"
#include "runtime/keys.h"
#include "sprite/vfont.h"

namespace tarnby {

namespace {

constexpr int32_t kCloseMark = 18;
constexpr int32_t kUpArrow = 14;
constexpr int32_t kDownArrow = 15;
const char* const kCourseNames[3] = { "Tarnby Classic", "Rivaru Reruz", "Rararedi Vurev" };

}  // namespace

// --- Shared menu steps ------------------------------------------------------------------

int32_t Golf::menuKey(const Ref<Vmenu>& menu, int32_t key)
{
    const int32_t code = menu->handleKey(key, m_penX, m_penY);
    if (m_penX != 0 || m_penY != 0) {
        m_penX = 0;
        m_penY = 0;
        paint();
    }
    return code;
}

void Golf::showMenu(const Ref<Vmenu>& menu)
{
    const bool icons = menu->m_tileSize != 0;
    if (!icons || menu->getTag() != 0) {
        menu->removeSelf();  // a text menu comes back on top; a compact bar is laid out afresh
    }
    if (!menu->hasParent()) {
        if (icons) {
            menu->layoutIcons(getWidth(), getHeight() - (hudPanel ? hudPanel->getHeight() : 0) + 16);
            menu->setTag(0);
        }
        addTail(menu);
    }
    menu->setPosition(icons ? 0 : getWidth() - menu->getWidth(), getHeight() - menu->getHeight());
    if (hudPanel) {
        hudPanel->removeSelf();
        addTail(hudPanel);
    }
}

void Golf::dressMenu(const Ref<Vmenu>&)
{
    // Menus stay text menus on every device: the button form is never switched on.
}

// --- Main menu ----------------------------------------------------------------------------

void Golf::buildMainMenu(const Ref<Vmenu>& menu)
{
    mainMenu = menu;
    menu->addItem(String::intern("New Game"), 'N');
    if (roundInProgress) {
        menu->addItem(String::intern("Resume"), 'R');
    }
    m_soundEntry = menu->addItem(String::intern(soundOff ? "Sound: off" : "Sound: on"), 'S');
    menu->addItem(String::intern("Help"), 'H');
    menu->addItem(String::intern("About"), 'A');
    menu->addItem(String::intern("Exit"), 'E');
    dressMenu(menu);
}

void Golf::rebuildMainMenu()
{
    mainMenu->destroy();
    mainMenu->m_selected = nullptr;
    mainMenu->setSize(0, 0);
    buildMainMenu(mainMenu);
    mainMenu->selectTag(roundInProgress ? 'R' : 'N');
}

void Golf::runMenu()
{
    if (!terrainView) {
        showStartupScreen();
        return;
    }
    if (!mainMenu->hasParent()) {
        const bool due = !(hole == 0 && holeStrokes == 0 && !terrainView);
        if (roundInProgress != due) {
            roundInProgress = due;
            rebuildMainMenu();
        }
        addCentred(mainMenu);
    }
    const int32_t key = nextKey();
    if (watchMenuIdle(key)) {
        return;
    }
    int32_t code = menuKey(mainMenu, key);
    if (code != 0) {
        // Whatever the entry shows, the quiet time starts again after it.
        m_menuWatched = false;
    }
    if (code == kKeyBack) {
        // Back first moves to "Exit"; a second Back goes back to the game.
        if (!mainMenu->m_selected || mainMenu->m_selected->getTag() != 'E') {
            mainMenu->selectTag('E');
            return;
        }
        code = 'R';
    }
    switch (code) {
    case 'N':
        mainMenu->removeSelf();
        if (chooseCourse()) {
            mainMenu->removeSelf();
            paint();
            setColour(0);
            setColour2(0);
        }
        break;
    case 'R':
    case kKeySoft:
    case '9': resume(); break;
    case 'S': setSound(soundOff); break;
    case 'H':
        // The help panel is translucent: the menu would show through it.
        mainMenu->removeSelf();
        showHelp();
        break;
    case 'A': showAbout(); break;
    case 'E': stop(); break;
    default: break;
    }
}

void Golf::resume()
{
    if (!terrainView->hasParent()) {
        hole = readSaveShort(0);
        roundStrokes = readSaveShort(2);
        course = readSaveShort(10);
        setGameState(HoleStart);
    } else {
        setGameState(Aiming);
    }
    mainMenu->removeSelf();
    paint();
    setColour(0);
    setColour2(0);
}

void Golf::setSound(bool on)
{
    soundOff = !on;
    if (m_soundEntry) {
        setEntryText(m_soundEntry, String::intern(on ? "Sound: on" : "Sound: off"));
    }
    saveGame();
}

void Golf::showAbout()
{
    mainMenu->removeSelf();
    aboutPanel->setColour(kPanelColour);
    aboutPanel->removeSelf();
    addCentred(aboutPanel);
    paint();
    while (isRunning()) {
        waitFrame(16);
        if (anyKeyPressed() || keepScreen()) {
            break;
        }
    }
    aboutPanel->removeSelf();
}

// --- Course and player -------------------------------------------------------------------

bool Golf::chooseCourse()
{
    Ref<Vmenu> menu = make<Vmenu>();
    menu->addItem(String::intern("1 Tarnby Classic"));
    menu->addItem(String::intern("2 Rivaru Reruz"));
    menu->addItem(String::intern("3 Rararedi Vurev"));
    menu->selectTag('1' + std::clamp(course, 0, 2));
    Ref<Vtext> player = menu->addItem(
        String::intern(golferFrameBase == kFemaleGolfer ? "Player: Female" : "Player: Male"), 'P');
    menu->addItem(String::intern("Back"));
    dressMenu(menu);
    addCentred(menu);
    bool chosen = false;
    for (;;) {
        if (keepScreen()) {
            menu->removeSelf();
            addCentred(menu);
        }
        const int32_t code = isRunning() ? menuKey(menu, nextKey()) : '9';
        if (code >= '1' && code <= '3') {
            course = code - '1';
            hole = 0;
            roundStrokes = 0;
            setGameState(HoleStart);
            saveGame();
            chosen = true;
            break;
        }
        if (code == 'B' || code == '9' || code == kKeySoft || code == kKeyBack) {
            break;
        }
        if (code == 'P') {
            golferFrameBase = golferFrameBase == kMaleGolfer ? kFemaleGolfer : kMaleGolfer;
            setEntryText(player, String::intern(golferFrameBase == kFemaleGolfer ? "Player: Female" : "Player: Male"));
            saveGame();
            if (golferSprite) {
                golferSprite->setFrame(club == 10 ? golferFrameBase + 17 : golferFrameBase);
            }
        }
        paint();
        waitFrame(16);
    }
    menu->removeSelf();
    menu->destroy();
    return chosen;
}

// --- Club menu ----------------------------------------------------------------------------

void Golf::runClubMenu()
{
    // The key help would show through the club list (both are translucent
    // panels in the same corner): it steps aside while the list is open.
    const bool helpShown = keyHelpMenu->hasParent();
    keyHelpMenu->removeSelf();
    clubMenu->selectIndex(club);
    showMenu(clubMenu);
    while (isRunning()) {
        if (keepScreen()) {
            showMenu(clubMenu);
        }
        paint();
        waitFrame(16);
        const int32_t code = menuKey(clubMenu, nextKey());
        if (code != 0) {
            if (code != '0') {
                selectClub(clubMenu->selectedIndex());
            }
            break;
        }
    }
    hideKeyHelp(clubMenu);
    // The heads-up panel went with the club menu; an unfolded help brings it
    // back, a folded icon bar returns to its corner.
    if (!keyHelpFolded) {
        showMenu(keyHelpMenu);
    } else if (helpShown && keyHelpMenu->m_tileSize != 0) {
        compactIconBar(keyHelpMenu);
    }
}

// --- Help -----------------------------------------------------------------------------------

void Golf::showHelp()
{
    m_dragY = 0;
    if (hudPanel) {
        hudPanel->removeSelf();
    }
    const int32_t h = getHeight();
    const int32_t w = getWidth() < 228 ? getWidth() - 12 : 228;
    // The text leaves the right margin to the close mark and the arrows; marks
    // wider than the 12-pixel margin take their extra width from the text.
    Ref<Vpicture> closePicture = pictures ? pictures->getPictureRef(kCloseMark) : nullptr;
    const int32_t markSpill = closePicture ? std::max(closePicture->m_width + 2 - 12, 0) : 0;
    Ref<Vtext> panel = make<Vtext>();
    panel->setColour(kPanelColour);
    panel->setSize(w - markSpill, 0);
    panel->loadText(String::intern("help.txt"));
    panel->setSize(w + 12, panel->getHeight());
    addCentred(panel);
    const int32_t panelX = fixedToInt(panel->getX());
    panel->setPosition(panelX, 0);
    const int32_t right = panelX + w + 12;

    // The marks stand in the panel's right margin; a mark wider than the
    // margin moves in far enough to be seen whole.
    Ref<Vsprite> close = make<Vsprite>(nullptr, pictures, kCloseMark, 0, 6);
    Ref<Vsprite> up = make<Vsprite>(nullptr, pictures, kUpArrow, 0, 64);
    Ref<Vsprite> down = make<Vsprite>(nullptr, pictures, kDownArrow, 0, 0);
    for (const Ref<Vsprite>& mark : { close, up, down }) {
        mark->setPosition(std::min(right - 12, right - mark->getWidth() - 2), fixedToInt(mark->getY()));
    }
    down->setPosition(fixedToInt(down->getX()), std::min(h - 10, h - down->getHeight() - 2));
    addTail(close);
    const Ref<Vfont> font = Vtext::defaultFont();
    const int32_t line = font ? std::max(font->getLineHeight(), 1) : 1;
    const int32_t page = (h / line - 1) * line;
    const int32_t textHeight = panel->getHeight();
    int32_t offset = 0;

    while (isRunning()) {
        if (keepScreen()) {
            break;
        }
        const bool canUp = offset < 0;
        const bool canDown = offset + textHeight > h;
        if (canUp && !up->hasParent()) {
            addTail(up);
        } else if (!canUp) {
            up->removeSelf();
        }
        if (canDown && !down->hasParent()) {
            addTail(down);
        } else if (!canDown) {
            down->removeSelf();
        }
        paintRows();
        waitFrame(16);
        int32_t key = nextKey();
        const int32_t penX = m_penX;
        const int32_t penY = m_penY;
        if (key == kKeySelect && (penX != 0 || penY != 0)) {
            // A tap means what it touches: the arrows scroll, the close mark closes.
            int32_t tapped = 0;
            if (penX > right - 36 && penX < right + 20) {
                if (canUp && penY >= up->m_top && penY <= up->m_bottom + 24) {
                    tapped = kKeyUp;
                } else if (canDown && penY >= down->m_top - 24 && penY <= down->m_bottom + 24) {
                    tapped = kKeyDown;
                } else if (penY >= close->m_top - 6 && penY <= close->m_bottom + 24) {
                    tapped = kKeySelect;
                }
            }
            key = tapped;
            m_penX = 0;
            m_penY = 0;
            if (key != 0) {
                m_dragX = 0;
                m_dragY = 0;
            }
        }
        const int32_t drag = m_dragY;
        if (key == kKeyUp || key == '2') {
            offset = std::min(offset + page, 0);
        } else if (key == kKeyDown || key == '8') {
            if (offset + textHeight > h) {
                offset -= page;
            }
        } else if (drag == 0) {
            if (key != 0) {
                break;
            }
        } else {
            offset = std::clamp(offset + drag, std::min(h - textHeight, 0), 0);
            m_dragY = 0;
            m_dragX = 0;
        }
        panel->setPosition(panelX, offset);
    }
    for (const Ref<Vsprite>& gone : { Ref<Vsprite>(panel), close, up, down }) {
        gone->removeSelf();
    }
}

// --- Top scores -------------------------------------------------------------------------------

void Golf::showTopScores()
{
    Ref<Vsprite> panel = make<Vsprite>();
    panel->setColour(kPanelColour);
    const Ref<Vfont> font = Vtext::defaultFont();
    // A few pixels beyond the longest line, so that no name touches the edge.
    panel->setSize(font ? font->stringWidth("\tRararedi Vurev") + 4 : 0, 0);
    panel->addTextCentred(String::intern("Top Scores"));
    for (int32_t k = 0; k < 7; ++k) {
        const int32_t score = readSaveShort(12 + 4 * k);
        if (score == 0) {
            panel->addText(String::intern("--\t--"));
            continue;
        }
        const int32_t c = readSaveShort(14 + 4 * k);
        char text[48];
        // A course the game does not know shows no name rather than a stray one.
        std::snprintf(text, sizeof text, "%d\t%s", static_cast<int>(score), c >= 0 && c <= 2 ? kCourseNames[c] : "");
        panel->addText(String::fromChars(text));
    }
    addCentred(panel);
    while (isRunning()) {
        if (keepScreen()) {
            panel->removeSelf();
            addCentred(panel);
        }
        const int32_t key = nextKey();
        if (key == kKeySelect || key == kKeySoft || key == kKeyBack || key == kKeyEnter || key == '5'
            || key == kKeySpace) {
            break;
        }
        paint();
        waitFrame(16);
    }
    panel->removeSelf();
    panel->destroy();
}

}  // namespace tarnby
