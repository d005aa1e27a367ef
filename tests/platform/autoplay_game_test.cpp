// Autoplay on the headless host: holes played to the cup by the computer
// golfer, and a log whose hole lines add up to its total line.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "golf/holetable.h"
#include "platform/play/autoplay_game.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::readLines;

struct Autoplay {
    int status = -1;
    std::vector<std::string> log;
    double seconds = 0;
    int64_t frames = 0;
};

Autoplay autoplay(const std::string& name, const std::vector<std::string>& args, bool golfer = true)
{
    test::ScratchFolder folder(name);
    std::vector<std::string> all = { "tarnby-golf", "--headless", "--data", test::binFolder(), "--log",
        folder.file("play.log"), "--save", folder.file("save") };
    if (golfer) {
        all.push_back("--autoplay");
    }
    all.insert(all.end(), args.begin(), args.end());
    std::vector<const char*> argv;
    for (const std::string& a : all) {
        argv.push_back(a.c_str());
    }
    GameOptions options;
    Autoplay run;
    if (options.parse(static_cast<int>(argv.size()), argv.data())) {
        return run;
    }
    const auto start = std::chrono::steady_clock::now();
    {
        AutoplayGame game(options);
        run.status = game.run();
        run.frames = game.frames();
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.log = readLines(folder.file("play.log"));
    return run;
}

// Whether the log line (time first) is the event `name`.
bool isEvent(const std::string& line, const std::string& name)
{
    const size_t space = line.find(' ');
    return space != std::string::npos && line.compare(space + 1, name.size() + 1, name + " ") == 0;
}

// The lines of the log that are the event `name`.
std::vector<std::string> events(const std::vector<std::string>& lines, const std::string& name)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (isEvent(line, name)) {
            found.push_back(line);
        }
    }
    return found;
}

TEST(AutoplayGameTest, PlaysTheFirstHoleOfEachCourseToTheCup)
{
    const Autoplay run = autoplay("autoplay_first", { "--holes", "1-1" });
    ASSERT_EQ(run.status, 0);
    std::printf("3 holes: %.2f s real, %lld frames\n", run.seconds, static_cast<long long>(run.frames));
    const std::vector<std::string> holes = events(run.log, "hole");
    ASSERT_EQ(holes.size(), 3u);
    // Every hole line follows the game's own scorecard state and counts what
    // the game counted: one stroke per strike, one per penalty.
    int32_t total = 0;
    size_t from = 0;
    for (int32_t course = 0; course < kCourses; ++course) {
        int32_t strikes = 0;
        int32_t penalties = 0;
        int32_t holed = 0;
        std::string scorecard;
        size_t i = from;
        for (; i < run.log.size() && !isEvent(run.log[i], "hole"); ++i) {
            const std::string& line = run.log[i];
            strikes += isEvent(line, "strike");
            penalties += line.ends_with(" water") || line.ends_with(" out");
            holed += line.ends_with(" holed");
            if (isEvent(line, "state") && line.find("state HoleOver") != std::string::npos) {
                scorecard = line.substr(line.find(' ') + 1, line.find(" round") - line.find(' ') - 1);
            }
        }
        ASSERT_LT(i, run.log.size());
        int32_t c = -1, h = -1, s = -1, p = -1;
        ASSERT_EQ(std::sscanf(run.log[i].c_str(), "%*u hole %d %d strokes %d par %d", &c, &h, &s, &p), 4) << run.log[i];
        EXPECT_EQ(c, course);
        EXPECT_EQ(h, 1);
        EXPECT_EQ(p, 4);
        EXPECT_EQ(s, strikes + penalties) << "course " << course;
        EXPECT_EQ(holed, 1) << "course " << course;
        char over[80];
        std::snprintf(over, sizeof over, "state HoleOver hole 1 course %d strokes %d ", course, s);
        EXPECT_EQ(scorecard, std::string(over).substr(0, std::string(over).size() - 1)) << "the game's own count";
        EXPECT_LE(s, p + 3);
        total += s;
        from = i + 1;
    }
    int32_t n = -1, s = -1, p = -1;
    ASSERT_EQ(std::sscanf(run.log.back().c_str(), "%*u autoplay holes %d strokes %d par %d", &n, &s, &p), 3)
        << run.log.back();
    EXPECT_EQ(n, 3);
    EXPECT_EQ(s, total);
    EXPECT_EQ(p, 12);
}

TEST(AutoplayGameTest, ARecordingReplaysToTheSameLog)
{
    test::ScratchFolder folder("autoplay_record");
    const std::string recording = folder.file("round.rec");
    const Autoplay played = autoplay("autoplay_recorded", { "--course", "2", "--holes", "1-2", "--record", recording });
    ASSERT_EQ(played.status, 0);
    ASSERT_EQ(events(played.log, "hole").size(), 2u);

    const Autoplay replayed = autoplay("autoplay_replayed",
        { "--course", "2", "--holes", "1-2", "--replay", recording }, false);
    ASSERT_EQ(replayed.status, 0);
    ASSERT_EQ(replayed.log.size(), played.log.size());
    for (size_t i = 0; i < played.log.size(); ++i) {
        ASSERT_EQ(replayed.log[i], played.log[i]) << "line " << i + 1;
    }

    // The same keys on slower frames make another game: the frame times count.
    std::ifstream in(recording);
    std::ostringstream slower;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find(" frame 16");
        slower << (at != std::string::npos && line.size() == at + 9 ? line.substr(0, at) + " frame 17" : line) << "\n";
    }
    std::ofstream(folder.file("slower.rec")) << slower.str();
    const Autoplay other = autoplay("autoplay_slower",
        { "--course", "2", "--holes", "1-2", "--replay", folder.file("slower.rec") }, false);
    EXPECT_EQ(other.status, 0);
    EXPECT_NE(other.log, played.log);
}

TEST(AutoplayGameTest, HoleRangesRoundsAndCourses)
{
    GameOptions options;
    options.autoplayCourse = 1;
    options.firstHole = 17;
    options.lastHole = 18;
    options.rounds = 2;
    EXPECT_EQ(AutoplayGame::holesToPlay(options), (std::vector<int32_t> { 34, 35, 34, 35 }));
    options = GameOptions {};
    EXPECT_EQ(AutoplayGame::holesToPlay(options).size(), 54u);
    EXPECT_EQ(AutoplayGame::holesToPlay(options)[18], 18);

    int32_t first = 0, last = 0;
    EXPECT_TRUE(GameOptions::parseHoles("3-7", first, last));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 7);
    EXPECT_TRUE(GameOptions::parseHoles("18", first, last));
    EXPECT_EQ(first, 18);
    EXPECT_EQ(last, 18);
    for (const char* bad : { "0-3", "5-4", "1-19", "3-", "-3", "a-b", "3-4x", "" }) {
        EXPECT_FALSE(GameOptions::parseHoles(bad, first, last)) << bad;
    }
}

}  // namespace
}  // namespace tarnby
