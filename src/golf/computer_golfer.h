// The computer golfer: watches the game as a caddie would (ball, pin, wind,
// club, aim, swing meter) and plays it only through the keys a player presses:
// the club menu, the arrow keys to turn the aim and the swing key twice.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "golf/shot_planner.h"

namespace tarnby {

class Golf;

class ComputerGolfer {
public:
    // `press` sends one key press and release to the game, as the window would.
    using KeyPress = std::function<void(int32_t key)>;

    ComputerGolfer(Golf& game, KeyPress press);
    ~ComputerGolfer();
    ComputerGolfer(const ComputerGolfer&) = delete;
    ComputerGolfer& operator=(const ComputerGolfer&) = delete;

    // Looks at the game between two frames and presses what a player would
    // press now. Call once per frame.
    void act();

    // Frames to wait before each decision, so that a watcher can follow the
    // play (0: as fast as the game takes keys).
    void setPace(int32_t frames) { m_pace = frames; }
    // Whether the golfer dismisses the scorecard itself (a runner that picks
    // the next hole leaves it alone).
    void setContinueAfterHole(bool on) { m_continueAfterHole = on; }

    // The shot being played, and counts for the notes.
    const ShotChoice& choice() const { return m_choice; }
    int64_t simulations() const { return m_planner ? m_planner->simulations() + m_pastSimulations : m_pastSimulations; }

private:
    // What the golfer watches to see that the game took its keys.
    struct Look {
        int32_t state;
        int32_t heading;
        int32_t club;
        bool clubMenu;
        int32_t strokes;
        Fixed marker;  // the aim marker moves in every aiming frame that found no key
        bool operator==(const Look&) const = default;
    };
    Look look() const;
    // The wind the ball will get when the swing key is read next frame.
    void nextWind(Fixed& x, Fixed& z) const;
    void aim();
    void releaseMeter();
    ShotStart lookAtLie() const;
    bool newLie() const;
    void press(int32_t key);

    Golf& m_game;
    KeyPress m_press;
    std::unique_ptr<ShotPlanner> m_planner;
    const void* m_plannerTerrain = nullptr;
    int64_t m_pastSimulations = 0;

    ShotStart m_start;
    ShotChoice m_choice;
    bool m_planned = false;
    int32_t m_planHole = -1;
    int32_t m_planStroke = -1;
    int32_t m_refines = 0;
    int32_t m_targetPower = 0x7FFFFFFF;  // none: the meter was not started by the golfer

    int32_t m_pace = 0;
    int32_t m_wait = 0;
    bool m_continueAfterHole = true;
    bool m_awaiting = false;
    Look m_answer {};
    int32_t m_answerFrames = 0;
};

}  // namespace tarnby
