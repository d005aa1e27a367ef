// course-preview on the stand-in course: the images of a tee, shots that land,
// roll, go out of bounds or into the water, and its answers to bad input.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "course-preview/course_preview.h"
#include "fixed/fixed.h"
#include "golf/holetable.h"
#include "platform/headless/png_writer.h"
#include "support/test_course.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using test::ScratchFolder;

struct PathLine {
    int32_t x, y, z, onGround, vx, vy, vz;
};

struct Flight {
    std::vector<PathLine> lines;
    int32_t endX = 0, endY = 0, endZ = 0, surface = -1, steps = -1;
};

Flight readPath(const std::string& path)
{
    Flight f;
    for (const std::string& line : test::readLines(path)) {
        if (line.rfind("end ", 0) == 0) {
            std::sscanf(line.c_str(), "end %d %d %d surface %d steps %d", &f.endX, &f.endY, &f.endZ, &f.surface,
                &f.steps);
            continue;
        }
        PathLine p {};
        std::istringstream words(line);
        words >> p.x >> p.y >> p.z >> p.onGround >> p.vx >> p.vy >> p.vz;
        EXPECT_TRUE(words && words.peek() == EOF) << "seven numbers a line: " << line;
        f.lines.push_back(p);
    }
    return f;
}

class CoursePreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(test::writeTestCourse(m_folder.path(), error)) << error;
    }

    int run(std::vector<std::string> extra)
    {
        std::vector<std::string> args = { "--data", m_folder.path(), "--file", "c0_holes_1-3" };
        args.insert(args.end(), extra.begin(), extra.end());
        return preview::run(args);
    }

    Flight shoot(const std::string& launch, const std::string& from, const std::string& more = "")
    {
        std::string path = m_folder.file("path.txt");
        std::vector<std::string> args = { "--launch", launch, "--from", from, "--path", path, "--pin", more };
        EXPECT_EQ(run(more.empty() ? std::vector<std::string>(args.begin(), args.end() - 2) : args), 0);
        return readPath(path);
    }

    ScratchFolder m_folder { "course_preview" };
};

std::string pair(int32_t a, int32_t b) { return std::to_string(a) + "," + std::to_string(b); }

TEST_F(CoursePreviewTest, RendersViewsAndShotsAndRefusesBadInput)
{
    const std::string out = m_folder.path();
    ASSERT_EQ(run({ "--tee", "0", "--view", out + "preview_tee.png", "--depth", out + "preview_tee_depth.png", "--map",
                  out + "preview_map.png" }),
        0);
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(readRgbaPng(out + "preview_tee.png", rgba, w, h));
    EXPECT_EQ(w * 1000 + h, 240320) << "240x320";
    // Grass below the horizon (row 100 for a 320-row view), the sky farthest in the depth image.
    const uint8_t* ground = &rgba[(300 * 240 + 60) * 4];
    EXPECT_GT(ground[1], ground[2]) << "green ground near the camera";
    ASSERT_TRUE(readRgbaPng(out + "preview_tee_depth.png", rgba, w, h));
    EXPECT_EQ(rgba[(5 * 240 + 5) * 4], 255) << "the sky is farthest";
    ASSERT_TRUE(readRgbaPng(out + "preview_map.png", rgba, w, h));
    EXPECT_EQ(w, 320) << "the map spans the larger side of the view";

    // Another size and a camera given by hand.
    ASSERT_EQ(
        run({ "--size", "120x90", "--camera", "9830400,9830400,8192,163840,30", "--view", out + "preview_camera.png" }),
        0);
    ASSERT_TRUE(readRgbaPng(out + "preview_camera.png", rgba, w, h));
    EXPECT_EQ(w * 1000 + h, 120090) << "120x90";

    // About a 7-iron, due north from the first tee: it rests on the fairway, on its line.
    const HoleRow& hole = holeRow(0, 0);
    Flight f = shoot("0,694681,-1110835", pair(toFixed(hole.teeX), toFixed(hole.teeZ)),
        pair(toFixed(hole.pinX), toFixed(hole.pinZ)));
    ASSERT_GE(f.steps, 0) << "the last line tells where the ball ended";
    EXPECT_EQ(f.steps, static_cast<int32_t>(f.lines.size()));
    EXPECT_GT((toFixed(hole.teeZ) - f.endZ) >> 15, 90) << "it flies up the fairway";
    EXPECT_EQ(f.endX, toFixed(hole.teeX)) << "a shot with no wind stays on its line";
    EXPECT_EQ(f.surface, 1) << "it rests on the fairway";

    // Due east from near the edge: out of bounds past 512 yards.
    Flight east = shoot("1310720,327680,0", pair(toFixed(480), toFixed(400)));
    ASSERT_FALSE(east.lines.empty());
    for (size_t i = 0; i < east.lines.size(); ++i) {
        ASSERT_EQ((east.lines[i].x & 0xFF000000) != 0, i + 1 == east.lines.size())
            << "stops at the first step beyond the edge, line " << i;
    }

    // A chip into the pond stops dead in the water.
    Flight wet = shoot("0,163840,327680", pair(toFixed(145), toFixed(225)));
    ASSERT_FALSE(wet.lines.empty());
    const PathLine& last = wet.lines.back();
    EXPECT_TRUE(last.onGround && last.vx == 0 && last.vy == 0 && last.vz == 0);
    EXPECT_EQ(wet.surface, 3) << "water";
    EXPECT_GE(wet.endZ >> 15, test::kTestPond[1]);
    EXPECT_LT(wet.endZ >> 15, test::kTestPond[3]);

    // Usage errors: status 2, the option named.
    testing::internal::CaptureStdout();
    EXPECT_EQ(run({ "--size", "0x100" }), 2);
    EXPECT_EQ(run({ "--size", "100" }), 2);
    EXPECT_EQ(run({ "--camera", "1,2,3" }), 2);
    EXPECT_EQ(run({ "--camera", "1,2,3,4,99999999999" }), 2);
    EXPECT_EQ(run({ "--tee", "18" }), 2);
    EXPECT_EQ(run({ "--course", "3" }), 2);
    EXPECT_EQ(run({ "--launch", "1,2,3" }), 2) << "a launch needs --from and --path";
    EXPECT_EQ(run({ "--view" }), 2);
    EXPECT_EQ(preview::run({}), 2);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("--camera: wants X,Z,HEADING,HEIGHT,HORIZON"), std::string::npos) << said;
}

// Every file the preview reads, missing, empty, cut short or full of garbage:
// it makes no picture of it, fails and says in one line what is wrong.
TEST_F(CoursePreviewTest, DamagedHoleFilesBundlesAndPicturesFailInOneLine)
{
    const std::string hole = m_folder.file("c0_holes_1-3");
    const std::string bundle = "Picture bundle " + m_folder.file("golf") + ": ";
    struct Case {
        std::string file;
        std::string said[4];  // the start of the one line, for each damage in turn
    } cases[] = {
        { hole, { "course-preview: could not read hole file " + hole, "Not a shape file: " + hole + " is empty",
                    "Shape file " + hole + " ends early, before its end tag",
                    "Not a shape file: " + hole + " has no FWS signature" } },
        { m_folder.file("golf0.bin"),
            { "Could not open picture bundle " + m_folder.file("golf"), bundle, bundle, bundle } },
    };
    const std::string view = m_folder.file("view.png");
    for (const Case& c : cases) {
        for (test::Damage how : test::kDamages) {
            const std::string& expected = c.said[static_cast<int>(how)];
            std::string error;
            ASSERT_TRUE(test::writeTestCourse(m_folder.path(), error)) << error;
            ASSERT_TRUE(test::damageFile(c.file, how)) << expected;
            testing::internal::CaptureStdout();
            const int status = run({ "--view", view });
            const std::string said = testing::internal::GetCapturedStdout();
            EXPECT_EQ(status, 1) << expected;
            EXPECT_EQ(said.rfind(expected, 0), 0u) << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_FALSE(std::filesystem::exists(view)) << expected;
        }
    }
    // A damaged JPEG in a bundle otherwise whole: the images are made (the
    // picture shows transparent), but the picture's one line is said and the
    // run fails, so that an author's script sees it.
    std::string error;
    ASSERT_TRUE(test::writeTestHole(m_folder.path(), error) && test::writeTestBundle(m_folder.path(), error, true));
    testing::internal::CaptureStdout();
    EXPECT_EQ(run({ "--view", view }), 1);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.rfind("Picture 49 of bundle " + m_folder.file("golf") + ": damaged JPEG: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(std::filesystem::exists(view));
}

}  // namespace
}  // namespace tarnby
