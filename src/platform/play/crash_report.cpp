// Writing the recording so far when the game dies of a fatal signal.
#include "platform/play/crash_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <exception>

namespace tarnby {

namespace {

constexpr int kSignals[] = { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT };
constexpr size_t kSignalCount = sizeof kSignals / sizeof kSignals[0];

// Everything the handler needs, prepared beforehand: it may not allocate.
struct Armed {
    const Recording* recording = nullptr;
    char path[4096] = {};
    char message[4200] = {};
    size_t messageLength = 0;
    struct sigaction previous[kSignalCount] = {};
    std::terminate_handler previousTerminate = nullptr;
};
Armed g_armed;
volatile sig_atomic_t g_writing = 0;

void onSignal(int signal)
{
    // A second fatal signal while writing goes straight to the old handler.
    if (g_writing == 0) {
        g_writing = 1;
        if (CrashReport::writeNow() && g_armed.messageLength > 0) {
            const ssize_t ignored = ::write(STDOUT_FILENO, g_armed.message, g_armed.messageLength);
            (void)ignored;
        }
    }
    for (size_t i = 0; i < kSignalCount; ++i) {
        if (kSignals[i] == signal) {
            sigaction(signal, &g_armed.previous[i], nullptr);
        }
    }
    raise(signal);
}

void onTerminate()
{
    // An uncaught exception aborts: the signal handler writes the report.
    std::abort();
}

}  // namespace

std::string CrashReport::pathFor(const std::string& savePath) { return savePath + ".crash.play"; }

CrashReport::CrashReport(const Recording& recording, const std::string& path)
{
    g_armed.recording = &recording;
    std::strncpy(g_armed.path, path.c_str(), sizeof g_armed.path - 1);
    const std::string message = "tarnby-golf: the game crashed; its recording so far is in " + path + "\n";
    g_armed.messageLength = std::min(message.size(), sizeof g_armed.message);
    std::memcpy(g_armed.message, message.data(), g_armed.messageLength);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (size_t i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], &action, &g_armed.previous[i]);
    }
    g_armed.previousTerminate = std::set_terminate(onTerminate);
}

CrashReport::~CrashReport()
{
    for (size_t i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], &g_armed.previous[i], nullptr);
    }
    std::set_terminate(g_armed.previousTerminate);
    g_armed.recording = nullptr;
    g_armed.messageLength = 0;
}

bool CrashReport::writeNow()
{
    if (g_armed.recording == nullptr || g_armed.path[0] == '\0') {
        return false;
    }
    const int fd = ::open(g_armed.path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = g_armed.recording->writeTo(fd);
    return ::close(fd) == 0 && written;
}

}  // namespace tarnby
