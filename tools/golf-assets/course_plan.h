// The course descriptions authors write in assets/courses/: what each hole
// file holds (holes with their tee, pin and aim, bunkers, water, hills) and the
// character of the course around them. A small line-based text format:
//
//   course 0                      course number (0..2), sets the surface codes
//   style parkland                parkland | links | highland
//   base 28                       mean ground level, in eighths of a yard
//   relief 14 100                 hills: height in eighths of a yard, wavelength in yards
//   water 10                      level of all water of the course
//   shore 12 12 12 12             water at the map's north, east, south and west edges, yards
//   heath 0.4                     share of out-of-play ground in the course's second rough
//   waste 0.1                     share of out-of-play ground in sandy waste
//   file holes_1-3 seed 7         starts a hole file (name after the course prefix)
//   hole 1 par 4 tee 89,436 pin 75,76 aim 75,76 fairway 34 green 8
//   bunker green 40 5             greenside: bearing from the front of the green
//                                 (degrees, + to the player's right), radius in yards
//   bunker drive 1 230 6          beside the fairway: side (-1 left, 1 right),
//                                 yards from the tee along the line of play, radius
//   bunker at 120,200 7 4 30      anywhere: centre, radii, turn in degrees
//   pond 150,300 22 14 30         centre, radii in yards, turn in degrees
//   stream 6 10,240 60,250 ...    width in yards, then at least two points
//   hill 300,200 20 80            extra hill (or hollow, when negative): centre,
//                                 height in eighths of a yard, radius in yards
// Lines after "hole" up to the next "hole" or "file" belong to that hole only in
// that they are listed with it; all positions are yards in the 512 x 512 file.
// '#' starts a comment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::course {

struct Vec2 {
    double x = 0;
    double z = 0;
};

enum class Style { Parkland, Links, Highland };

struct BunkerPlan {
    enum class Kind { Green, Drive, At } kind = Kind::At;
    double bearing = 0;  // Green: degrees from the front of the green
    int32_t side = 1;    // Drive: -1 left, 1 right
    double along = 0;    // Drive: yards from the tee
    Vec2 centre;         // At
    double radius = 5;   // Green, Drive: radius; At: first radius
    double radius2 = 0;  // At: second radius
    double turn = 0;     // At: degrees
};

struct PondPlan {
    Vec2 centre;
    double radiusX = 10;
    double radiusZ = 10;
    double turn = 0;
};

struct StreamPlan {
    double width = 5;
    std::vector<Vec2> points;
};

struct HillPlan {
    Vec2 centre;
    double height = 0;
    double radius = 50;
};

struct HolePlan {
    int32_t number = 0;  // 1..18
    int32_t par = 4;
    Vec2 tee;
    Vec2 pin;
    Vec2 aim;
    double fairwayWidth = 34;
    double greenRadius = 8;
    std::vector<BunkerPlan> bunkers;
};

struct HoleFilePlan {
    std::string name;  // "holes_1-3"
    uint32_t seed = 1;
    std::vector<HolePlan> holes;
    std::vector<BunkerPlan> bunkers;  // free-standing ("bunker at")
    std::vector<PondPlan> ponds;
    std::vector<StreamPlan> streams;
    std::vector<HillPlan> hills;
};

struct CoursePlan {
    int32_t course = 0;
    Style style = Style::Parkland;
    double base = 28;
    double relief = 14;
    double wavelength = 100;
    double waterLevel = 10;
    double shore[4] = { 10, 10, 10, 10 };  // north, east, south, west
    double heath = 0.4;
    double waste = 0;
    std::vector<HoleFilePlan> files;
};

// Reads a course description; on a mistake gives false and a message naming
// the line.
bool parseCoursePlan(const std::string& text, CoursePlan& plan, std::string& error);

}  // namespace tarnby::course
