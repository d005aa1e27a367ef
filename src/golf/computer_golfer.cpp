// The computer golfer: one look at the game per frame, and the keys a player would press.
#include "golf/computer_golfer.h"

#include <climits>

#include "golf/clubs.h"
#include "golf/golf.h"
#include "runtime/host.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

constexpr int32_t kAimStep = 128;
// Keys queued in one frame: the key queue holds nine, and a camera swing
// drops the rest anyway (the golfer looks again next frame).
constexpr int32_t kMostTurnsAtOnce = 6;
// Looks at a changed wind before the swing, at most this often per shot.
constexpr int32_t kMostRefines = 3;
// Frames to wait for the game to answer a key before pressing again.
constexpr int32_t kPatience = 40;

// The club menu's key for a club: the first character of its label.
int32_t clubKey(int32_t club) { return static_cast<unsigned char>(clubAt(club).label[0]); }

}  // namespace

ComputerGolfer::ComputerGolfer(Golf& game, KeyPress press) : m_game(game), m_press(std::move(press)) {}

ComputerGolfer::~ComputerGolfer() = default;

void ComputerGolfer::press(int32_t key)
{
    m_press(key);
    m_wait = m_pace;
    m_answer = look();
    m_answerFrames = 0;
    m_awaiting = true;
}

ComputerGolfer::Look ComputerGolfer::look() const
{
    const bool clubMenu = m_game.clubMenu && m_game.clubMenu->hasParent();
    return Look { m_game.gameState, m_game.aimHeading, m_game.club, clubMenu, m_game.holeStrokes,
        m_game.aimMarkerOffset };
}

void ComputerGolfer::act()
{
    switch (m_game.gameState) {
    case Golf::SwingMeter:
        // Timing matters here: no pause for the watcher.
        releaseMeter();
        return;
    case Golf::Aiming:
    case Golf::Overhead:
    case Golf::HoleOver: break;
    default: return;
    }
    // Keys pressed while the game repaints the whole screen are dropped when
    // it is done: wait for the game to answer the last keys before pressing
    // more, and press again only when it plainly missed them.
    if (m_awaiting) {
        if (look() == m_answer && ++m_answerFrames < kPatience) {
            return;
        }
        m_awaiting = false;
    }
    if (m_wait > 0) {
        --m_wait;
        return;
    }
    if (m_game.gameState == Golf::Aiming) {
        aim();
    } else if (m_game.gameState == Golf::Overhead) {
        // The map came up after a ball out of bounds: back to the lie.
        press(kKeyBack);
    } else if (m_continueAfterHole) {
        press(kKeySelect);
    }
}

ShotStart ComputerGolfer::lookAtLie() const
{
    ShotStart s;
    s.x = m_game.ballSprite->getX3d();
    s.y = m_game.ballSprite->getY3d();
    s.z = m_game.ballSprite->getZ3d();
    s.pinX = m_game.pinSprite->getX3d();
    s.pinY = m_game.pinSprite->getY3d();
    s.pinZ = m_game.pinSprite->getZ3d();
    nextWind(s.windX, s.windZ);
    s.lastPinDistance = m_game.lastPinDistance;
    s.heading = m_game.aimHeading;
    s.ball = m_game.ball.get();
    return s;
}

void ComputerGolfer::nextWind(Fixed& x, Fixed& z) const
{
    // The game moves the wind once more before it reads the swing key: a step
    // toward its target, or none in the frame that picks a new target.
    auto drift = [](int32_t value, int32_t target, int32_t step) {
        const int32_t gap = wrapSub(target, value) >> 7;
        return gap == 0 ? value : value + (gap > 0 ? step : -step);
    };
    ShotPlanner::windVector(drift(m_game.windStrength, m_game.windStrengthTarget, 128),
        drift(m_game.windDirection, m_game.windDirectionTarget, 2), x, z);
}

bool ComputerGolfer::newLie() const
{
    return !m_planned || m_planHole != m_game.course * 18 + m_game.hole || m_planStroke != m_game.holeStrokes;
}

void ComputerGolfer::aim()
{
    // The club menu is open: take the planned club.
    if (m_game.clubMenu && m_game.clubMenu->hasParent()) {
        press(clubKey(m_choice.club));
        return;
    }
    if (newLie()) {
        if (!m_planner || m_plannerTerrain != m_game.terrain.get()) {
            if (m_planner) {
                m_pastSimulations += m_planner->simulations();
            }
            m_planner = std::make_unique<ShotPlanner>(m_game.terrain);
            m_plannerTerrain = m_game.terrain.get();
        }
        m_start = lookAtLie();
        m_choice = m_planner->plan(m_start);
        m_planned = true;
        m_planHole = m_game.course * 18 + m_game.hole;
        m_planStroke = m_game.holeStrokes;
        m_refines = 0;
    }
    if (m_game.club != m_choice.club) {
        press('1');
        return;
    }
    // Turn by whole key presses; the plan's heading is on the aim's grid.
    int32_t turn = (m_choice.heading - m_game.aimHeading) & (kFullTurn - 1);
    if (turn >= kHalfTurn) {
        turn -= kFullTurn;
    }
    if (turn % kAimStep != 0) {
        // The aim moved off the plan's grid (the game re-aimed): plan afresh.
        m_planned = false;
        return;
    }
    if (turn != 0) {
        const int32_t presses = turn / kAimStep;
        const int32_t n = presses < 0 ? -presses : presses;
        for (int32_t i = 1; i < n && i < kMostTurnsAtOnce; ++i) {
            m_press(presses < 0 ? kKeyLeft : kKeyRight);
        }
        press(presses < 0 ? kKeyLeft : kKeyRight);
        return;
    }
    // The wind drifts while the golfer lines up: try the shot again in the
    // wind that will blow, and adjust it if it got worse.
    Fixed windX = 0;
    Fixed windZ = 0;
    nextWind(windX, windZ);
    if ((windX != m_start.windX || windZ != m_start.windZ) && m_refines < kMostRefines) {
        ++m_refines;
        m_start.windX = windX;
        m_start.windZ = windZ;
        m_start.heading = m_game.aimHeading;
        const ShotChoice again = m_planner->refine(m_start, m_choice);
        const bool changed = again.club != m_choice.club || again.heading != m_choice.heading;
        m_choice = again;
        if (changed) {
            return;
        }
    }
    // '5' swings whatever line of the key help is highlighted.
    m_targetPower = m_choice.power;
    press('5');
}

void ComputerGolfer::releaseMeter()
{
    const int32_t power = m_game.swingPower;
    if (power == 0 || m_targetPower == INT_MAX) {
        return;  // the first frame of the meter cannot release it
    }
    // The key is read before the next rise: the swing keeps the power shown now.
    // Release now, or after one more rise if that lands nearer the planned power.
    int32_t next = power + ShotPlanner::powerStep(m_game.club, m_game.m_frameTime);
    if (next > ShotPlanner::kFullMeter) {
        next = ShotPlanner::kFullMeter;
    }
    if (power >= m_targetPower || next - m_targetPower > m_targetPower - power || power == ShotPlanner::kFullMeter) {
        m_press(kKeySelect);
        m_targetPower = INT_MAX;
    }
}

}  // namespace tarnby
