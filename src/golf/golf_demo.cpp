// The demo: after half a minute of a quiet main menu the computer golfer plays
// random holes of the current course in a game of its own, until the player
// presses a key or taps, and the menu comes back exactly as it was.
#include <algorithm>

#include "golf/demo_host.h"
#include "golf/golf.h"
#include "golf/holetable.h"
#include "golf/scoring.h"
#include "runtime/host.h"
#include "runtime/random.h"
#include "sprite/vfont.h"

namespace tarnby {

namespace {

// How long the demo shows a scorecard before it tees off on the next hole.
constexpr uint32_t kScorecardMs = 3000;

// A random hole of the demo's course, teed off as if the holes before it had
// been played to par (the scorecard's round then shows this hole's score).
void teeOffRandomHole(Golf& demo)
{
    demo.hole = (random() >> 7) % kHolesPerCourse;
    demo.roundStrokes = parThrough(demo.hole) - holePar(demo.hole);
    demo.setGameState(Golf::HoleStart);
}

}  // namespace

void Golf::keyDown(int32_t key)
{
    // While the demo plays, a key or tap only ends it: the menu must come back
    // as it was, so the press itself is dropped.
    if (m_demoRunning.load(std::memory_order_acquire)) {
        m_demoEnded.store(true, std::memory_order_release);
        return;
    }
    Viewport::keyDown(key);
}

bool Golf::watchMenuIdle(int32_t key)
{
    const uint32_t now = host().tickCount();
    if (!m_menuWatched || key != 0 || m_penX != 0 || m_penY != 0 || m_dragX != 0 || m_dragY != 0) {
        m_menuWatched = true;
        m_menuQuietSince = now;
        return false;
    }
    if (m_demo || now - m_menuQuietSince < kDemoAfterMs) {
        return false;
    }
    playDemo();
    m_menuQuietSince = host().tickCount();
    return true;
}

void Golf::playDemo()
{
    logLine("demo start");
    // What the demo changes of the process's world, put back afterwards: the
    // random source (the player's next shot draws the same aim error as
    // without the demo), the texts' font and the menus' pictures.
    const RandomState random = randomState();
    const Ref<Vfont> font = Vtext::defaultFont();
    const Ref<Vilib> icons = Vmenu::iconLibrary();

    Ref<Golf> demo = make<Golf>();
    demo->m_demo = true;
    demo->soundOff = soundOff;
    demo->golferFrameBase = golferFrameBase;
    demo->pictures = pictures;
    demo->setSize(getWidth(), getHeight());
    demo->attach();
    demo->buildScene();
    demo->createTerrainView();
    demo->course = course;
    teeOffRandomHole(*demo);
    demo->m_log = m_log;  // the demo's play shows in the log between its start and end
    logLine("demo hole %d %d", demo->course, demo->hole + 1);

    // From now on the player's keys end the demo (one that came just before
    // waits in the queue, and ends it too).
    m_demoEnded.store(false);
    m_demoRunning.store(true);
    {
        Host& inner = host();
        DemoHost demoHost(inner, *demo, [this] { return m_demoEnded.load() || hasKey() || !isRunning(); });
        setHost(&demoHost);
        uint32_t holeOverSince = 0;
        while (demo->isRunning()) {
            if (demo->pendingWidth != pendingWidth || demo->pendingHeight != pendingHeight) {
                demo->setSize(pendingWidth, pendingHeight);
            }
            demo->keepScreen();
            if (demo->gameState == HoleOver) {
                if (holeOverSince == 0) {
                    holeOverSince = host().tickCount() | 1;
                } else if (host().tickCount() - holeOverSince >= kScorecardMs) {
                    holeOverSince = 0;
                    for (const Ref<Vsprite>& shown : { demo->scorecard, demo->overheadMap }) {
                        if (shown) {
                            shown->removeSelf();
                        }
                    }
                    teeOffRandomHole(*demo);
                    logLine("demo hole %d %d", demo->course, demo->hole + 1);
                }
            }
            if (demo->runState()) {
                demo->paint();
                demo->waitFrame(16);
            }
        }
        setHost(&inner);
    }
    m_demoRunning.store(false);

    demo->m_log = nullptr;
    demo->destroy();
    demo = nullptr;
    restoreRandomState(random);
    Vtext::setDefaultFont(font);
    Vmenu::setIconLibrary(icons);
    flushInput();
    invalidateRect(0, 0, getWidth(), getHeight());
    paint();
    logLine("demo end");
}

}  // namespace tarnby
