// The game object: its life, the run loop, size changes applied on the game
// thread, the dispatch on the game state and the small shared steps.
#include "golf/golf.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "golf/save_record.h"
#include "runtime/files.h"
#include "runtime/host.h"
#include "runtime/keys.h"
#include "terrain/game_world.h"

namespace tarnby {

const char* Golf::stateName(int32_t state)
{
    switch (state) {
    case BallFlight: return "BallFlight";
    case HoleStart: return "HoleStart";
    case Overhead: return "Overhead";
    case Splash: return "Splash";
    case Aiming: return "Aiming";
    case MapFlight: return "MapFlight";
    case Menu: return "Menu";
    case HoleOver: return "HoleOver";
    case SwingMeter: return "SwingMeter";
    case SwingAnim: return "SwingAnim";
    case PuttAnim: return "PuttAnim";
    default: return "Unknown";
    }
}

Golf::Golf()
    : saveData(kSaveSize), ball(make<Vphob>()), lastLie(make<Vector>()), messageBuffer(make<StringBuffer>()),
      shapeReader(make<Vswf>()), trailDots(kTrailDots), pinOffset(make<Vector>())
{
}

Golf::~Golf()
{
    // Sprites the game owns while they are off the screen still hold their
    // children, and the children hold them: take every such tree apart.
    for (Ref<Vsprite> owned :
        { Ref<Vsprite>(terrainView), overheadMap, Ref<Vsprite>(keyHelpMenu), Ref<Vsprite>(mapKeyHelpMenu),
            Ref<Vsprite>(clubMenu), Ref<Vsprite>(mainMenu), hudPanel, scorecard, swingMeter, message }) {
        if (owned) {
            owned->removeSelf();
            owned->destroy();
        }
    }
    if (ball) {
        ball->setTerrain(nullptr);
    }
}

// --- Size, attach, the loop --------------------------------------------------------

void Golf::setSize(int32_t width, int32_t height)
{
    // Compared with the size asked for last, so that asking for the old size
    // again before the loop applied a new one is not lost.
    if (width == pendingWidth && height == pendingHeight) {
        return;
    }
    wholeMapScale = std::max(width, height) * 64;
    pendingWidth = width;
    pendingHeight = height;
    if (getWidth() == 0) {
        Viewport::setSize(width, height);
    }
}

void Golf::attach()
{
    Viewport::attach();
    setGameState(Menu);
}

void Golf::run()
{
    if (!pictures) {
        // A new game starts from the same world whatever ran before it in
        // this process; the scene then sets its own font, menus and gravity.
        resetGameWorld(host().tickCount());
        pictures = make<Vilib>(String::intern("golf"));
        buildScene();
    }
    while (isRunning()) {
        keepScreen();
        if (runState()) {
            paint();
            waitFrame(16);
        }
    }
}

bool Golf::keepScreen()
{
    if (getWidth() == pendingWidth && getHeight() == pendingHeight) {
        return false;
    }
    Ref<Vmenu> help;
    if (keyHelpMenu && keyHelpMenu->hasParent()) {
        help = keyHelpMenu;
    } else if (mapKeyHelpMenu && mapKeyHelpMenu->hasParent()) {
        help = mapKeyHelpMenu;
    }
    for (Ref<Vsprite> off : { Ref<Vsprite>(help), Ref<Vsprite>(mainMenu), Ref<Vsprite>(clubMenu), hudPanel }) {
        if (off) {
            off->removeSelf();
        }
    }
    Viewport::setSize(pendingWidth, pendingHeight);
    if (terrainView) {
        terrainView->setSize(pendingWidth, pendingHeight);
    }
    setUpCamera();
    if (overheadMap) {
        overheadMap->setScale(std::max(pendingWidth, pendingHeight) * 64);
        clampMap();
    }
    if (help && help->m_tileSize != 0) {
        if (!keyHelpFolded) {
            if (hudPanel) {
                hudPanel->removeSelf();
            }
            showMenu(help);
        } else {
            showMenu(help);
            foldKeyHelp(help);
        }
    }
    return true;
}

bool Golf::runState()
{
    m_skipPaint = false;
    switch (gameState) {
    case BallFlight: runBallFlight(); break;
    case MapFlight: runMapFlight(); break;
    case HoleStart: runHoleStart(); break;
    case Aiming: runAiming(); break;
    case SwingMeter: runSwingMeter(); break;
    case SwingAnim: runSwingAnim(); break;
    case PuttAnim: runPuttAnim(); break;
    case Splash: runSplash(); break;
    case Overhead: runOverhead(); break;
    case HoleOver: runHoleOver(); break;
    case Menu: runMenu(); break;
    default: break;
    }
    return !m_skipPaint;
}

void Golf::setGameState(int32_t state)
{
    if (state == gameState) {
        return;
    }
    gameState = state;
    if (state == Menu) {
        m_menuWatched = false;
    }
    logLine("state %s hole %d course %d strokes %d round %d", stateName(state), hole + 1, course, holeStrokes,
        roundStrokes);
}

// --- Handlers of the simple states -----------------------------------------------------

void Golf::runHoleStart()
{
    setUpHole();
    paintColumns();
    if (!keyHelpFolded && keyHelpMenu && !keyHelpMenu->hasParent()) {
        if (keyHelpMenu->m_tileSize == 0) {
            keyHelpMenu->selectTag('5');
        }
        showMenu(keyHelpMenu);
    }
    flushInput();
}

void Golf::runSplash()
{
    if (!mapBallSprite) {
        setGameState(Aiming);
        returnToAiming();
        return;
    }
    const Fixed opacity = mapBallSprite->getOpacity() - 0x200;
    if (opacity < 0) {
        mapBallSprite->setOpacity(kOne);
        waitFrame(1000);
        setGameState(Aiming);
        returnToAiming();
        return;
    }
    // The ball sinks: fainter and a sixteenth of a pixel lower each frame.
    mapBallSprite->setOpacity(opacity);
    mapBallSprite->moveBy(0, 0x800);
}

void Golf::runHoleOver()
{
    if (!anyKeyPressed()) {
        return;
    }
    if (scorecard) {
        scorecard->removeSelf();
    }
    if (hole == 0) {
        // The round is complete: the table, then the next course.
        showTopScores();
        course = course >= 2 ? 0 : course + 1;
    } else if (overheadMap) {
        overheadMap->removeSelf();
    }
    setGameState(HoleStart);
    flushInput();
    m_skipPaint = true;
}

// --- Small shared steps ----------------------------------------------------------------

void Golf::flushInput()
{
    while (hasKey()) {
        nextKey();
    }
    m_penX = 0;
    m_penY = 0;
    m_dragX = 0;
    m_dragY = 0;
}

bool Golf::anyKeyPressed()
{
    const int32_t key = nextKey();
    // The arrows only look around; they never dismiss a screen.
    return key < 0 || key > kKeyDown;
}

void Golf::hideKeyHelp(const Ref<Vmenu>& menu)
{
    if (menu) {
        menu->removeSelf();
    }
    if (hudPanel) {
        hudPanel->removeSelf();
    }
}

void Golf::foldKeyHelp(const Ref<Vmenu>& menu)
{
    keyHelpFolded = true;
    if (menu && menu->m_tileSize != 0) {
        compactIconBar(menu);
    } else if (menu) {
        menu->removeSelf();
    }
    if (hudPanel) {
        hudPanel->removeSelf();
    }
}

void Golf::compactIconBar(const Ref<Vmenu>& menu)
{
    if (!menu || menu->m_tileSize == 0) {
        return;
    }
    // One square at the bottom-left corner with the first icon; the other
    // tiles wait off the screen until the bar is laid out again.
    const int32_t side = menu->m_tileSize;
    for (Ref<Vsprite> tile = menu->getChild(); tile; tile = tile->m_next) {
        tile->setPosition(tile == menu->getChild() ? 0 : -4 * side, 0);
    }
    menu->setSize(0, side);
    menu->setPosition(0, getHeight() - side);
    menu->setTag(1);  // compact until it is laid out again
    if (!menu->hasParent()) {
        addTail(menu);
    }
}

void Golf::setEntryText(const Ref<Vtext>& entry, const Ref<String>& text)
{
    if (!entry) {
        return;
    }
    entry->setText(text);
    Ref<Vsprite> parent = entry->getParent();
    Ref<Vsprite> button = parent ? parent->getChild() : nullptr;
    // Only a button (a picture behind the entry) centres its text; in a plain
    // text menu the first child is another entry and the text stays put.
    if (button && button != entry && button->getFrame() != kNoFrame) {
        entry->setPosition((button->getWidth() - entry->getWidth()) >> 1, fixedToInt(entry->getY()));
    }
}

void Golf::playSound(const char* name)
{
    if (soundOff || !isRunning()) {
        return;
    }
    host().playSound(name);
    logLine("sound %s", name);
}

// --- The log ----------------------------------------------------------------------------

void Golf::logLine(const char* format, ...)
{
    if (!m_log) {
        return;
    }
    char text[512];
    int32_t n = std::snprintf(text, sizeof text, "%u ", host().tickCount());
    va_list args;
    va_start(args, format);
    std::vsnprintf(text + n, sizeof text - static_cast<size_t>(n), format, args);
    va_end(args);
    m_log->write(text);
}

void Golf::logOutcome(const char* what) { logLine("%s", what); }

}  // namespace tarnby
