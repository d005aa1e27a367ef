// The game's event log written to a file, one line per event of play.
#pragma once

#include <cstdio>
#include <string>

#include "golf/game_log.h"

namespace tarnby {

class FileGameLog : public GameLog {
public:
    FileGameLog() = default;
    ~FileGameLog() override;
    FileGameLog(const FileGameLog&) = delete;
    FileGameLog& operator=(const FileGameLog&) = delete;

    // Creates (or empties) the file; false when it cannot be opened.
    bool open(const std::string& path);
    void write(const std::string& line) override;
    // Flushes and closes the file; false when any line could not be written.
    bool close();

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

}  // namespace tarnby
