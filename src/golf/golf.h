// The game: the root viewport of the screen, the owner of every game object
// and the state machine that conducts play from the start-up screen through
// aiming, swinging, the ball's flight and the scorecard to the top scores.
//
// One pass of the run loop applies a pending size, runs the handler of the
// current state once, then paints and waits for the next 16 ms frame. Handlers
// that animate (swing, help, menus) paint and wait inside themselves.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "fixed/fixed.h"
#include "golf/game_log.h"
#include "image/vilib.h"
#include "runtime/array.h"
#include "runtime/string.h"
#include "runtime/stringbuffer.h"
#include "sprite/viewport.h"
#include "sprite/vmenu.h"
#include "sprite/vtext.h"
#include "terrain/vector.h"
#include "terrain/vphob.h"
#include "terrain/vterrain.h"
#include "vector/vpolyn.h"
#include "vector/vpolyterrain.h"
#include "vector/vswf.h"

namespace tarnby {

class Golf : public Viewport {
public:
    // The values of `gameState`; no other value is ever stored.
    enum State : int32_t {
        BallFlight = 0,
        HoleStart = 2,
        Overhead = 4,
        Splash = 5,
        Aiming = 6,
        MapFlight = 8,
        Menu = 9,
        HoleOver = 10,
        SwingMeter = 11,
        SwingAnim = 12,
        PuttAnim = 13,
    };
    static const char* stateName(int32_t state);

    static constexpr int32_t kTrailDots = 8;
    static constexpr int32_t kMaleGolfer = 32;
    static constexpr int32_t kFemaleGolfer = 55;
    static constexpr uint32_t kPanelColour = 0x80008080;
    // A main menu without input this long starts the demo.
    static constexpr uint32_t kDemoAfterMs = 30000;

    Golf();
    ~Golf() override;

    // --- Overridden viewport operations ----------------------------------------
    // Remembers the size; the run loop applies it on the game thread (only the
    // very first size goes straight to the viewport).
    void setSize(int32_t width, int32_t height) override;
    void attach() override;
    void run() override;
    // Window thread: while the demo plays a press only ends it.
    void keyDown(int32_t key) override;

    // --- Seams for the program around the game -----------------------------------
    // Every event of play goes to this log (none by default).
    void setLog(GameLog* log) { m_log = log; }
    // Where the saved game lives (default: "tarnbygolf" in the data folder).
    void setSavePath(const std::string& path) { m_savePath = path; }
    const std::string& savePath() const { return m_savePath; }
    // The only way the state changes, so every change is logged.
    void setGameState(int32_t state);

    // --- State handlers (one pass each) -------------------------------------------
    void runBallFlight();
    void runMapFlight();
    void runHoleStart();
    void runSplash();
    void runHoleOver();
    void runSwingAnim();
    void runPuttAnim();

    // --- The game's own operations ---------------------------------------------------
    void turnAim(int32_t delta);
    void strikeBall();
    bool stepBallFlight();
    void selectClub(int32_t index);
    void chooseClubForDistance(Fixed d);
    void flushInput();
    void runSwingMeter();
    void showSwingFrame(int32_t picture);
    void showHelp();
    void setUpLie(Fixed aimX, Fixed aimZ);
    void aimAtPin();
    void runOverhead();
    void runAiming();
    bool anyKeyPressed();
    void setEntryText(const Ref<Vtext>& entry, const Ref<String>& text);
    void dressMenu(const Ref<Vmenu>& menu);
    void runClubMenu();
    void foldKeyHelp(const Ref<Vmenu>& menu);
    void compactIconBar(const Ref<Vmenu>& menu);
    int32_t menuKey(const Ref<Vmenu>& menu, int32_t key);
    void runMenu();
    void buildScene();
    void buildMainMenu(const Ref<Vmenu>& menu);
    bool chooseCourse();
    void hideKeyHelp(const Ref<Vmenu>& menu);
    void showMenu(const Ref<Vmenu>& menu);
    void showMessage(const Ref<String>& text);
    void leaveOverhead();
    void clampMap();
    void enterOverhead(int32_t state);
    void frameMap();
    void zoomMap(Fixed factor);
    void returnToAiming();
    int32_t readSaveShort(int32_t offset);
    void saveGame();
    void writeSaveShort(int32_t offset, int32_t value);
    void loadSwingFrames();
    void finishHole();
    void createTerrainView();
    void setUpCamera();
    void playSound(const char* name);
    void setSound(bool on);
    Ref<Vsprite> addMapSprite(const Ref<Vsprite>& map, int32_t picture, int32_t x, int32_t y, int32_t tag,
        Fixed smallestScale);
    Ref<Vsprite> addWorldSprite(int32_t picture, int32_t x, int32_t z, Fixed size, Fixed smallestScale);
    Ref<Vsprite> addScenery(int32_t picture, Fixed a, Fixed b, Fixed size, Fixed smallestScale, bool flag);
    void placeWorldSprite(const Ref<Vsprite>& sprite, int32_t picture, Fixed x, Fixed z, Fixed size,
        Fixed smallestScale);
    void loadHoleFile(const Ref<String>& name);
    void recordTopScore();
    void showTopScores();
    void updateWind();
    // The computer golfer plays random holes of the current course in a game
    // of its own until a key or tap; then this game shows its menu again, as
    // it was. The demo never writes the save file.
    void playDemo();
    bool isDemo() const { return m_demo; }

    // --- Smaller steps, public for the tests -----------------------------------------
    // Follows a display-size change; true when it resized.
    bool keepScreen();
    // The hole set-up run by HoleStart.
    void setUpHole();
    // Aiming's swing key: meter on screen, power 0, state SwingMeter.
    void startSwing();
    // The scorecard's five lines for the hole just finished.
    void fillScorecard(const Ref<String>& title);
    // Reads the saved game into saveData (once, with the scene).
    void loadSave();
    // The first pass of the Menu state: the title screen, then the saved hole behind the menu.
    void showStartupScreen();
    // Puts the map's scale and place in the map sprite and clamps it.
    void placeMap(int32_t x, int32_t y, Fixed scale);

    // --- Fields (the game's state, readable by tests and tools) ------------------------
    ByteArray saveData;
    int32_t aimHeading = 0;
    Fixed aimMarkerOffset = 0;
    int32_t aimMarkerFrames = 0;  // 1 on the frames that leave the marker where it is
    Ref<Vsprite> ballSprite;
    Fixed lastPinDistance = 0;
    int32_t restFrames = 0;
    Ref<Vsprite> ballShadowSprite;
    Ref<Vsprite> mapBallSprite;
    Ref<Vsprite> mapShadowSprite;
    Ref<Vphob> ball;
    Ref<Vector> lastLie;
    Ref<Vsprite> aimMarkerSprite;
    Fixed cameraHeight = 0;
    int32_t club = 0;
    Ref<VpolyTerrain> terrain;
    Ref<Vtext> aboutPanel;
    int32_t course = 0;
    bool stylusOnView = false;
    Ref<Vsprite> pinSprite;
    int32_t swingPower = 0;
    Ref<Vsprite> swingMeter;
    Ref<Vsprite> swingMeterBar;
    Ref<Vsprite> golferSprite;
    int32_t golferFrameBase = kMaleGolfer;
    int32_t hole = 0;
    Ref<Vilib> pictures;
    bool keyHelpFolded = false;
    Ref<Vmenu> keyHelpMenu;
    Ref<Vmenu> clubMenu;
    Ref<Vmenu> mainMenu;
    Ref<Vmenu> mapKeyHelpMenu;
    Ref<Vsprite> message;
    Ref<Vsprite> overheadMap;
    Ref<Vsprite> hudPanel;
    Ref<Vtext> hudHole;
    Ref<Vtext> hudPar;
    Ref<Vtext> hudScore;
    Ref<Vtext> hudDistance;
    Ref<Vtext> hudClub;
    Ref<Vtext> hudWind;
    int32_t mapPositionX = 0;
    int32_t mapPositionY = 0;
    bool swingFramesLoaded = false;
    bool roundInProgress = false;
    Ref<StringBuffer> messageBuffer;
    Fixed wholeMapScale = 0;
    int32_t roundStrokes = 0;
    Ref<Vsprite> scorecard;
    Ref<Vtext> scoreTitle;
    Ref<Vtext> scoreHole;
    Ref<Vtext> scoreStrokes;
    Ref<Vtext> scoreRound;
    Ref<Vtext> scoreTotal;
    bool soundOff = false;
    int32_t holeStrokes = 0;
    Ref<Vswf> shapeReader;
    int32_t gameState = BallFlight;
    Ref<Vterrain> terrainView;
    Ref<String> loadedHoleFile;
    RefArray<Vsprite> trailDots;
    int32_t trailIndex = 0;
    Fixed minCameraHeight = 0;
    Ref<Vector> pinOffset;
    Ref<Vtext> loadingText;
    int32_t pendingWidth = 0;
    int32_t pendingHeight = 0;
    int32_t windDirection = 0;
    int32_t windDirectionTarget = 0;
    Fixed windStrength = 0;
    Fixed windStrengthTarget = 0;
    Ref<Vpolyn> windArrow;
    Ref<Vswf> windArrowReader;

private:
    // Runs the handler of the current state once; false when the handler asks
    // the loop to skip this frame's paint and wait.
    bool runState();
    // Writes one line of the log, prefixed with the virtual time.
    void logLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void logOutcome(const char* what);
    // Aiming's tap translation and key-help step; gives the key to act on.
    int32_t aimingKey(int32_t key);
    int32_t overheadKey(int32_t key);
    void advanceAimMarker();
    void moveCameraUp(Fixed dy);
    // The ball's place on the 3-D view, checked each flight frame.
    bool ballSeen();
    void showAbout();
    void rebuildMainMenu();
    void resume();
    void addHudPanel();
    // The main menu's quiet time; true when it ran the demo this pass.
    bool watchMenuIdle(int32_t key);

    GameLog* m_log = nullptr;
    std::string m_savePath;
    bool m_iconBars = false;
    bool m_smallScreen = false;
    int32_t m_iconBarHeight = 0;
    int32_t m_arrowAngle = -1;  // wind arrow angle drawn last
    bool m_skipPaint = false;
    bool m_started = false;  // the start-up screen has been shown
    Ref<Vtext> m_soundEntry;
    bool m_demo = false;         // this game is a demo: it never saves
    bool m_menuWatched = false;  // the menu's quiet time is being counted
    uint32_t m_menuQuietSince = 0;
    std::atomic<bool> m_demoRunning { false };
    std::atomic<bool> m_demoEnded { false };
};

}  // namespace tarnby
