// The crash report: when the game dies of a fatal signal (a bad memory access,
// a failed check's abort, an uncaught exception) the recording so far is
// written beside the save file, so that the game up to the crash can be
// replayed headless, and one line on standard output says where it is.
//
// One report is armed at a time (signals are process-wide); disarming puts
// back the handlers that were there before, and the handler passes the
// signal on to them after writing, so a debugger or sanitizer still sees it.
#pragma once

#include <string>

#include "platform/play/recording.h"

namespace tarnby {

class CrashReport {
public:
    // The report's file for a save file: beside it, with ".crash.play" added.
    static std::string pathFor(const std::string& savePath);

    // Arms the report: a crash writes `recording` to `path`.
    CrashReport(const Recording& recording, const std::string& path);
    // Disarms it.
    ~CrashReport();
    CrashReport(const CrashReport&) = delete;
    CrashReport& operator=(const CrashReport&) = delete;

    // Writes the report now, with only async-signal-safe calls (what the
    // handler does); false when the file could not be written.
    static bool writeNow();
};

}  // namespace tarnby
