// Whole rounds played by the computer golfer on the headless host: the holes
// asked for, one after the other, every event of play logged, a line per hole
// with its strokes against par, and a total at the end.
//
// The golfer plays only through keys. Between holes the runner steps in where
// a player would use the menus: it resumes the first hole from a scratch save,
// dismisses the scorecard, and jumps to the next hole asked for when that is
// not simply the next one; a hole not finished after 20 strokes is given up.
//
// With --record the runner writes every key the game receives and every frame
// (`T frame MS`: at T the game slept MS ms) in the script format; --replay
// plays such a recording back, frame for frame, and logs the same lines. Only
// the runner's keys are in a recording, so a replay is exact when the holes
// follow each other in the game's own order (no hole given up or skipped).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "golf/computer_golfer.h"
#include "golf/golf.h"
#include "platform/headless/headless_host.h"
#include "platform/play/file_game_log.h"
#include "platform/play/game_options.h"
#include "platform/play/play_script.h"

namespace tarnby {

class AutoplayGame : public HeadlessHost {
public:
    // Strokes at which a hole is given up.
    static constexpr int32_t kGiveUpStrokes = 20;
    // Virtual time after which a hole is given up whatever its strokes (the
    // golfer never stalls, but a ball may roll for ever).
    static constexpr uint32_t kGiveUpMs = 20 * 60 * 1000;

    explicit AutoplayGame(const GameOptions& options);
    ~AutoplayGame() override;

    // Plays every hole asked for (or the recording). Gives the exit status: 0
    // when all were played, 1 when a file could not be read or written, 2 for
    // a recording that is no script.
    int run();

    // The runner and the golfer look at the game once per frame, then the
    // clock moves on and their keys are delivered.
    void sleep(int32_t milliseconds) override;

    // The holes to play, as course * 18 + hole (hole 0..17), in order.
    static std::vector<int32_t> holesToPlay(const GameOptions& options);

    // Totals so far.
    int32_t holesPlayed() const { return m_played; }
    int32_t strokes() const { return m_strokes; }
    int32_t par() const { return m_par; }
    int64_t frames() const { return m_frames; }

private:
    void watch();
    void finishHole(bool holed);
    void startHole(int32_t index, bool natural);
    void press(int32_t key);
    void logLine(const std::string& text);
    void record(const char* format, uint32_t at, int32_t value);
    void deliver();
    // The keys of the recording still to come.
    bool replayHasKeys() const;

    GameOptions m_options;
    std::vector<int32_t> m_holes;
    size_t m_next = 0;       // index of the hole now played in m_holes
    bool m_started = false;  // the first hole has been resumed
    bool m_onHole = false;   // a hole is in play (not yet holed or given up)
    uint32_t m_holeStart = 0;
    int32_t m_pressWait = 0;  // frames until the runner presses again
    bool m_done = false;
    bool m_failed = false;
    std::string m_scratchSave;

    int32_t m_played = 0;
    int32_t m_strokes = 0;
    int32_t m_par = 0;
    int64_t m_frames = 0;

    std::vector<int32_t> m_keys;  // pressed this frame, delivered as the clock moves on
    int32_t m_holeId = -1;        // the hole in play, course * 18 + hole
    bool m_replay = false;
    PlayScript m_script;
    size_t m_scriptAt = 0;  // next event of the recording
    std::FILE* m_record = nullptr;
    FileGameLog m_log;
    Ref<Golf> m_game;
    std::unique_ptr<ComputerGolfer> m_golfer;
};

}  // namespace tarnby
