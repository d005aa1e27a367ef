// A small stand-in course for checks and benchmarks while the game's own data
// is not at hand: one hole file "c0_holes_1-3" whose first hole (tee 89,436 to
// pin 75,76) has rough, a fairway, a fringed green, a bunker, a pond and hills,
// and a "golf" bundle with plain ground textures, a flag, a ball, its shadow
// and a golfer at the game's picture numbers.
#pragma once

#include <string>

namespace tarnby::test {

// Fill colours of the test hole (0xAARRGGBB) as the course-0 surface table reads them.
constexpr unsigned kTestRough = 0xFF101020;    // every byte set: rough, level 0x20 (4 yards)
constexpr unsigned kTestFairway = 0xFF220000;  // red: level 0x22
constexpr unsigned kTestFringe = 0xFF002600;   // green: level 0x26
constexpr unsigned kTestGreen = 0xFF002828;    // cyan: the putting green, level 0x28
constexpr unsigned kTestBunker = 0xFF1C1C00;   // yellow: sand, level 0x1C
constexpr unsigned kTestWater = 0xFF000018;    // blue: water, level 0x18 (3 yards)
constexpr unsigned kTestHill = 0xFF2000A0;     // magenta: level 0xA0 (20 yards)

// The hill squares of the test hole, in yards: (left, top, right, bottom).
constexpr int kTestHills[3][4] = { { 10, 180, 40, 260 }, { 140, 100, 200, 160 }, { 40, 5, 120, 40 } };
// The pond, right of the fairway.
constexpr int kTestPond[4] = { 125, 240, 165, 300 };

// Writes the hole file "c0_holes_1-3" into `folder` (with a trailing "/").
bool writeTestHole(const std::string& folder, std::string& error);
// Writes a flat hole of one fill colour (a level from the surface table) as `name`.
bool writeFlatHole(const std::string& folder, const std::string& name, unsigned colour, std::string& error);
// Writes the "golf" bundle of test pictures into `folder`; with `damagedJpeg`
// the golfer is a JPEG whose data is damaged.
bool writeTestBundle(const std::string& folder, std::string& error, bool damagedJpeg = false);
// Both of the above: a folder course-preview can show.
bool writeTestCourse(const std::string& folder, std::string& error);

}  // namespace tarnby::test
