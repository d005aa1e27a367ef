// Building the game's scene for the device: fonts, key-help menus, the
// heads-up panel, scorecard, swing meter and wind arrow; the start-up screen;
// the 3-D view and its camera; the sprites placed in the world and on the map.
#include <algorithm>

#include "golf/clubs.h"
#include "golf/device_profile.h"
#include "golf/golf.h"
#include "golf/hole_setup.h"
#include "runtime/host.h"
#include "sprite/vfont.h"

namespace tarnby {

namespace {

// Pictures of the "golf" library.
constexpr int32_t kTitlePicture = 0;
constexpr int32_t kRightIcon = 12;
constexpr int32_t kLeftIcon = 13;
constexpr int32_t kUpIcon = 14;
constexpr int32_t kDownIcon = 15;
constexpr int32_t kSwingIcon = 16;
constexpr int32_t kBackIcon = 17;
constexpr int32_t kClubIcon = 19;
constexpr int32_t kMapIcon = 20;
constexpr int32_t kZoomOutIcon = 21;
constexpr int32_t kZoomInIcon = 22;

constexpr uint32_t kMeterBands[4] = { 0x80E0E0E0, 0x80A0A0A0, 0x80606060, 0x80202020 };

const char* const kAboutText = "Tarnby Golf\n"
                               "Three courses of eighteen holes on the shores of Tarnby. Aim, pick a club, "
                               "swing, and beat par.";

Ref<Vmenu> newMenu()
{
    Ref<Vmenu> menu = make<Vmenu>();
    menu->m_dimOpacity = kHalf;
    return menu;
}

}  // namespace

void Golf::buildScene()
{
    Vmenu::setIconLibrary(pictures);

    const int32_t w = getWidth();
    const int32_t h = getHeight();
    const bool touch = platformName()->equals("PocketPC");
    m_iconBars = touch && w >= 176 && h >= 176;
    m_iconBarHeight = w >= 294 && h >= 294 ? 72 : 48;
    m_smallScreen = h <= 160 || w <= 176;

    loadSave();

    Ref<Vfont> font = make<Vfont>();
    font->load(m_smallScreen ? "f10.bin" : (w < 320 || h < 320) ? "f13.bin" : "f16.bin");
    Vtext::setDefaultFont(font);
    Vmenu::setMenuColour(kPanelColour);

    buildMainMenu(newMenu());

    keyHelpMenu = newMenu();
    mapKeyHelpMenu = newMenu();
    if (m_iconBars) {
        keyHelpMenu->m_tileSize = m_iconBarHeight;
        keyHelpMenu->m_dimOpacity = 0x6000;
        for (auto [key, picture] : { std::pair { '9', kBackIcon }, { '1', kClubIcon }, { '7', kMapIcon },
                 { '4', kLeftIcon }, { '6', kRightIcon }, { '5', kSwingIcon } }) {
            keyHelpMenu->addIcon(key, picture);
        }
        mapKeyHelpMenu->m_tileSize = m_iconBarHeight;
        mapKeyHelpMenu->m_dimOpacity = 0x7000;
        for (auto [key, picture] : { std::pair { '9', kBackIcon }, { '2', kUpIcon }, { '1', kZoomInIcon },
                 { '8', kDownIcon }, { '3', kZoomOutIcon }, { '4', kLeftIcon }, { '6', kRightIcon } }) {
            mapKeyHelpMenu->addIcon(key, picture);
        }
        // The bars themselves are bare: only their tiles are panels.
        keyHelpMenu->setColour(0);
        mapKeyHelpMenu->setColour(0);
    } else {
        keyHelpMenu->addItem(String::intern("1 Club"));
        keyHelpMenu->addItemWithFrame(String::intern("4 Left"), kLeftIcon);
        keyHelpMenu->addItem(String::intern("5 Swing"));
        keyHelpMenu->addItemWithFrame(String::intern("6 Right"), kRightIcon);
        keyHelpMenu->addItem(String::intern("7 Above"));
        keyHelpMenu->addItem(String::intern("9 Back"));
        mapKeyHelpMenu->addItem(String::intern("1 In"));
        mapKeyHelpMenu->addItem(String::intern("3 Out"));
        mapKeyHelpMenu->addItemWithFrame(String::intern("2 Up"), kUpIcon);
        mapKeyHelpMenu->addItemWithFrame(String::intern("8 Down"), kDownIcon);
        mapKeyHelpMenu->addItemWithFrame(String::intern("4 Left"), kLeftIcon);
        mapKeyHelpMenu->addItemWithFrame(String::intern("6 Right"), kRightIcon);
        mapKeyHelpMenu->addItem(String::intern("9 Back"));
    }

    clubMenu = newMenu();
    for (int32_t i = 0; i < kClubCount; ++i) {
        clubMenu->addItem(String::intern(clubAt(i).label));
    }

    scorecard = make<Vsprite>();
    scorecard->setColour(kPanelColour);
    scoreTitle = scorecard->addText(String::intern("Double Eagle!"));
    scoreHole = scorecard->addText(String::intern("Hole 18:\t+000"));
    scoreStrokes = scorecard->addText(String::intern("Strokes:\t "), 3);
    scoreRound = scorecard->addText(String::intern("Round:\t+000"));
    scoreTotal = scorecard->addText(String::intern("Score:\t "), 4);

    addHudPanel();

    swingMeter = make<Vsprite>();
    for (int32_t i = 0; i < 4; ++i) {
        Ref<Vsprite> band = make<Vsprite>();
        band->setColour(kMeterBands[i]);
        band->setSize(24, 25);
        band->setPosition(0, 25 * i);
        swingMeter->addTail(band);
    }
    swingMeterBar = make<Vsprite>();
    swingMeterBar->setColour(0xFFFF8040);
    swingMeterBar->setSize(24, 0);
    swingMeterBar->setPosition(0, 100);
    swingMeter->addTail(swingMeterBar);
    swingMeter->setSize(24, 100);
    swingMeter->setColour(0);

    // 200 pixels wide, or a little less than a narrower screen, so that none of it is cut off.
    aboutPanel = make<Vtext>();
    const int32_t aboutWidth = std::min(200, w - 8);
    aboutPanel->setSize(aboutWidth - 6, 0);
    aboutPanel->setWrapped(make<StringBuffer>(String::intern(kAboutText)));
    // The text wraps a little short of the panel's edge.
    aboutPanel->setSize(aboutWidth, aboutPanel->getHeight());
}

void Golf::addHudPanel()
{
    hudPanel = make<Vsprite>();
    hudPanel->setPosition(2, 2);
    hudPanel->setColour(kPanelColour);
    hudHole = hudPanel->addText(String::intern("Hole "), 2);
    hudPar = hudPanel->addText(String::intern("Par 3 -"), 2);
    hudScore = hudPanel->addText(String::intern("Score "), 3);
    hudDistance = hudPanel->addText(String::intern("Yards "), 3);
    hudClub = hudPanel->addText(String::intern("PT-100"));
    hudWind = hudPanel->addText(String::intern("Wind "), 2);

    windArrow = make<Vpolyn>();
    windArrowReader = make<Vswf>();
    windArrow->setSize(24, 24);
    windArrow->setPositionFixed(hudWind->getX() + toFixed(hudWind->getWidth() - 10),
        hudWind->getY() - (m_smallScreen ? toFixed(4) : toFixed(3)));
    hudPanel->addTail(windArrow);
    m_arrowAngle = -1;
    updateWind();
}

void Golf::showStartupScreen()
{
    const int32_t w = getWidth();
    const int32_t h = getHeight();
    setColour(kSkyTop);
    setColour2(kSkyBottom);
    Ref<Vsprite> title = make<Vsprite>();
    title->setPicture(pictures, kTitlePicture);
    addTail(title);

    int32_t y = h - aboutPanel->getHeight() - (h > 240 ? 32 : 0);
    aboutPanel->setPosition((w - aboutPanel->getWidth()) / 2, y);
    addTail(aboutPanel);
    // The title picture's hot spot is its top-left corner.
    title->centreIn(0, 0, w, y);

    loadingText = make<Vtext>(String::intern("Loading..."));
    addTail(loadingText);
    loadingText->centreIn(0, y - loadingText->getHeight() + 4, w, y);

    paint();
    waitFrame(0);
    playSound("music");

    pictures->releasePicture(kTitlePicture);
    removeAll();
    setColour(0);
    setColour2(0);

    createTerrainView();
    hole = readSaveShort(0);
    roundStrokes = readSaveShort(2);
    course = readSaveShort(10);
    setUpHole();
    mainMenu->selectTag('R');
    setGameState(Menu);
    waitFrame(1000);
    flushInput();
}

void Golf::createTerrainView()
{
    if (terrainView) {
        terrainView->removeSelf();
        terrainView->destroy();
        terrainView = nullptr;
    }
    terrainView = make<Vterrain>(getWidth(), getHeight());
    loadedHoleFile = nullptr;
    setUpCamera();
    terrainView->setDepth(0x7FFFFF);
}

void Golf::setUpCamera()
{
    if (!terrainView) {
        return;
    }
    const int32_t h = getHeight();
    int32_t horizon;
    if (keyHelpMenu && keyHelpMenu->m_tileSize != 0) {
        // The icon bar covers the bottom: look from higher, horizon higher.
        const CameraSetting setting = cameraForIconBar(h);
        cameraHeight = setting.height;
        horizon = setting.horizon;
    } else {
        const CameraSetting setting = cameraFor(h);
        cameraHeight = setting.height;
        horizon = setting.horizon;
    }
    terrainView->moveForward(kCameraBehindBall);
    terrainView->setHeightAboveGround(cameraHeight);
    minCameraHeight = terrainView->getY3d();
    terrainView->moveForward(-kCameraBehindBall);
    terrainView->setHorizon(horizon);
    terrainView->setSky(kSkyTop, kSkyBottom);
}

Ref<Vsprite> Golf::addWorldSprite(int32_t picture, int32_t x, int32_t z, Fixed size, Fixed smallestScale)
{
    Ref<Vsprite> sprite = make<Vsprite>();
    placeWorldSprite(sprite, picture, toFixed(x), toFixed(z), size, smallestScale);
    return sprite;
}

void Golf::placeWorldSprite(const Ref<Vsprite>& sprite, int32_t picture, Fixed x, Fixed z, Fixed size,
    Fixed smallestScale)
{
    sprite->setPicture(pictures, picture);
    Ref<Vpicture> entry = pictures ? pictures->getPictureRef(picture) : nullptr;
    // A missing picture leaves the sprite at its plain size rather than dividing by zero.
    const int32_t pictureHeight = entry && entry->m_height > 0 ? entry->m_height : 1;
    sprite->setScale(size / pictureHeight);
    sprite->setMinScale(smallestScale);
    sprite->setPosition3d(x, terrain ? terrain->heightAt(x, z) : 0, z);
    if (terrainView) {
        terrainView->add(sprite);
    }
}

Ref<Vsprite> Golf::addMapSprite(const Ref<Vsprite>& map, int32_t picture, int32_t x, int32_t y, int32_t tag,
    Fixed smallestScale)
{
    Ref<Vsprite> sprite = make<Vsprite>();
    sprite->setPicture(pictures, picture);
    sprite->setPosition(x, y);
    sprite->setTag(tag);
    sprite->setMinScale(smallestScale);
    if (map) {
        map->add(sprite);
    }
    return sprite;
}

Ref<Vsprite> Golf::addScenery(int32_t picture, Fixed a, Fixed b, Fixed size, Fixed smallestScale, bool flag)
{
    Ref<Vsprite> sprite = make<Vsprite>();
    const Fixed x = wrapAdd(ballSprite->getX3d(), terrainView->viewX(a, b));
    const Fixed z = wrapAdd(ballSprite->getZ3d(), terrainView->viewZ(a, b));
    placeWorldSprite(sprite, picture, x, z, size, smallestScale);
    sprite->m_extendLeft = flag;
    return sprite;
}

}  // namespace tarnby
