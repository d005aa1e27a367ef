// The game played without a window: the real game loop on the headless host's
// virtual clock (16 ms frames, the clock at 0 at the start), fed by a play
// script, logging every event of play and writing the frames the script asks for.
// A script with frame times (a recording of a game in the window) sets the
// length of every frame instead, so the game replays as it was played.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "golf/golf.h"
#include "platform/headless/headless_host.h"
#include "platform/play/game_options.h"
#include "platform/play/play_script.h"
#include "platform/play/play_session.h"

namespace tarnby {

class HeadlessGame : public HeadlessHost {
public:
    explicit HeadlessGame(const GameOptions& options);
    ~HeadlessGame() override;

    // Plays the game to its end: the script's quit, the time limit, or the
    // player leaving through the menu. Gives the exit status: 0 after a clean
    // stop, 1 when a file could not be read or written, 2 for a bad script
    // (each problem named in one line on standard output).
    int run();

    // Moves the clock on, delivering the script's input on the way, then
    // takes the shots that have come due and stops the game at its end.
    void sleep(int32_t milliseconds) override;

    // A letter keyboard's keys that carry digits and symbols ('w' is '1'),
    // or 0 for a character that is no such key.
    static int32_t letterKey(int32_t character);

private:
    int prepare();
    void scheduleScript();
    void takeDueShots();

    GameOptions m_options;
    PlaySession m_session { m_options };
    std::deque<ScriptEvent> m_pending;  // shots and quits still to come
    std::vector<int32_t> m_frames;      // a recording's frame times, in order
    size_t m_nextFrame = 0;
    uint32_t m_limit = 0;
    Ref<Golf> m_game;
    bool m_failed = false;
};

}  // namespace tarnby
