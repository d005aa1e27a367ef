// What the game's two runs, headless and in the window, share around the game:
// the data folder, the play script and the folder for its shots, the log, the
// time limit, and the end of the run with its one-line complaints.
#pragma once

#include <cstdint>
#include <string>

#include "golf/golf.h"
#include "platform/play/file_game_log.h"
#include "platform/play/game_options.h"
#include "platform/play/play_script.h"

namespace tarnby {

class PlaySession {
public:
    explicit PlaySession(const GameOptions& options) : m_options(options) {}

    // Sets the data folder (the program's own unless --data names one; a torn
    // or incomplete set of data files there is refused), reads
    // the script for a screen of width x height, makes the shots' folder and
    // opens the log. Gives 0, or the exit status after one line on standard
    // output: 2 for a bad script or shots without --frames, 1 for a file or
    // folder that cannot be read or made.
    int prepare(int32_t width, int32_t height);

    // The game logs here when --log was given.
    void attachLog(Golf& game);
    // Milliseconds after which the game ends: --max-ms, else two seconds
    // after the script's last event; with `endless` and no script, -1 (none).
    int64_t limit(bool endless) const;
    // The file a `shot NAME` writes.
    std::string shotPath(const std::string& name) const;
    // Takes the log from the game and closes it; false, said on standard
    // output, when it was not written whole.
    bool finish(Golf* game);

    const PlayScript& script() const { return m_script; }

    // One line on standard output ("tarnby-golf: ..."); gives `status`.
    static int complain(const std::string& message, int status);

private:
    const GameOptions& m_options;
    PlayScript m_script;
    FileGameLog m_log;
};

}  // namespace tarnby
