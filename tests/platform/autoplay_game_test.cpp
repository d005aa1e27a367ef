// Autoplay on the headless host: holes played to the cup by the computer
// golfer, a log whose hole lines add up to its total line, and its recording
// replayed; the holes, rounds and courses asked for.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
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
    run.status = AutoplayGame(options).run();
    run.log = readLines(folder.file("play.log"));
    return run;
}

// Whether the log line (time first) is the event `name`.
bool isEvent(const std::string& line, const std::string& name)
{
    const size_t space = line.find(' ');
    return space != std::string::npos && line.compare(space + 1, name.size() + 1, name + " ") == 0;
}

TEST(AutoplayGameTest, HolesPlayedToTheCupAddUpAndARecordingReplaysToTheSameLog)
{
    test::ScratchFolder folder("autoplay_record");
    const std::string recording = folder.file("round.rec");
    const Autoplay played = autoplay("autoplay_recorded", { "--course", "2", "--holes", "1-2", "--record", recording });
    ASSERT_EQ(played.status, 0);
    // Each hole line counts what the game counted: a stroke per strike and per penalty.
    int32_t strikes = 0, penalties = 0, holed = 0, holes = 0, total = 0;
    for (const std::string& line : played.log) {
        strikes += isEvent(line, "strike");
        penalties += line.ends_with(" water") || line.ends_with(" out");
        holed += line.ends_with(" holed");
        int32_t c = -1, h = -1, s = -1, p = -1;
        if (isEvent(line, "hole")) {
            ASSERT_EQ(std::sscanf(line.c_str(), "%*u hole %d %d strokes %d par %d", &c, &h, &s, &p), 4) << line;
            ++holes;
            EXPECT_EQ(std::make_tuple(c, h, s, p, holed),
                std::make_tuple(2, holes, strikes + penalties, holePar(holes - 1), 1))
                << line;
            EXPECT_LE(s, p + 3) << line;
            total += s;
            strikes = penalties = holed = 0;
        }
    }
    EXPECT_EQ(holes, 2);
    int32_t n = -1, s = -1, p = -1;
    ASSERT_EQ(std::sscanf(played.log.back().c_str(), "%*u autoplay holes %d strokes %d par %d", &n, &s, &p), 3)
        << played.log.back();
    EXPECT_EQ(std::make_tuple(n, s, p), std::make_tuple(2, total, 7));

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
