// The game's recording: lines in the script format kept in chunks that never
// move, written whole to a file or a descriptor, and the crash report that
// writes it when the process dies of a fatal signal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "platform/play/crash_report.h"
#include "platform/play/recording.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(RecordingTest, EventsAreWrittenAsScriptLines)
{
    Recording r;
    r.line("# a game");
    r.frame(0, 16);
    r.keyDown(16, 5);
    r.keyUp(16, 5);
    r.pen(33, 120, 7);
    r.drag(33, -3, 12);
    r.keyDown(50, 97);
    r.frame(50, 17);
    const std::string text = r.text();
    EXPECT_EQ(text,
        "# a game\n0 frame 16\n16 down 05\n16 up 05\n33 pen 120,7\n33 drag -3,12\n50 down 97\n50 frame 17\n");
    EXPECT_EQ(r.size(), text.size());
}

TEST(RecordingTest, ALongRecordingCrossesChunksAndWritesWholeToAFileAndADescriptor)
{
    test::ScratchFolder folder("recording");
    Recording r;
    std::string expected;
    // Lines of varying length, well past three chunks, so that lines straddle chunk edges.
    for (uint32_t i = 0; expected.size() < 3 * Recording::kChunkSize + 777; ++i) {
        r.frame(i * 16, static_cast<int32_t>(i % 40));
        expected += std::to_string(i * 16) + " frame " + std::to_string(i % 40) + "\n";
    }
    EXPECT_EQ(r.text(), expected);
    ASSERT_TRUE(r.save(folder.file("whole.play")));
    EXPECT_EQ(fileText(folder.file("whole.play")), expected);
    const int fd = ::open(folder.file("fd.play").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(r.writeTo(fd));
    ::close(fd);
    EXPECT_EQ(fileText(folder.file("fd.play")), expected);
    // A folder that is not there: the save fails and says so by its result.
    EXPECT_FALSE(r.save(folder.file("missing/x.play")));
}

// Dies of `how` with a recording of two lines and an armed report.
void crashWith(const std::string& path, int how)
{
    Recording r;
    r.frame(0, 16);
    r.keyDown(16, 53);
    const CrashReport report(r, path);
    if (how == 0) {
        // Thrown on a thread of its own, where nothing catches it.
        std::thread([] { throw std::runtime_error("an exception nobody catches"); }).join();
    }
    std::raise(how);
}

TEST(CrashReportTest, AFatalSignalOrAnUncaughtExceptionWritesTheRecordingBesideTheSave)
{
    test::ScratchFolder folder("crash_report");
    const std::string path = CrashReport::pathFor(folder.file("tarnbygolf"));
    EXPECT_EQ(path, folder.file("tarnbygolf.crash.play"));
    for (int how : { SIGSEGV, SIGABRT, SIGFPE, 0 }) {
        std::remove(path.c_str());
        EXPECT_DEATH(crashWith(path, how), "") << "signal " << how;
        EXPECT_EQ(fileText(path), "0 frame 16\n16 down 53\n") << "signal " << how;
    }
}

TEST(CrashReportTest, DisarmingPutsTheHandlersBackAndWritesNothing)
{
    test::ScratchFolder folder("crash_disarm");
    struct sigaction before = {};
    sigaction(SIGSEGV, nullptr, &before);
    {
        Recording r;
        r.frame(0, 16);
        const CrashReport report(r, folder.file("x.crash.play"));
        struct sigaction armed = {};
        sigaction(SIGSEGV, nullptr, &armed);
        EXPECT_NE(armed.sa_handler, before.sa_handler);
        EXPECT_TRUE(CrashReport::writeNow());
        EXPECT_EQ(fileText(folder.file("x.crash.play")), "0 frame 16\n");
    }
    struct sigaction after = {};
    sigaction(SIGSEGV, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
    EXPECT_FALSE(CrashReport::writeNow()) << "nothing is armed";
}

}  // namespace
}  // namespace tarnby
