// The course painter's working state, shared by its source files (private to
// golf-assets): the shapes of a hole file's holes, ponds and bunkers, and the
// Painter that turns them into a banded label grid.
#pragma once

#include <cstdint>
#include <vector>

#include "golf-assets/course_painter.h"
#include "golf-assets/hole_colours.h"
#include "golf-assets/plane_vectors.h"
#include "golf/hole_setup.h"

namespace tarnby::course::painting {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCell = 1.0 / kCellsPerYard;
// The game's crossing table, less a margin for where the traced drawing differs from the estimate.
constexpr int32_t kCrossingBudget = kHoleEdgeCapacity - 300;

// A bunker, pond or green outline: an ellipse whose radius wobbles with angle.
struct Blob {
    Vec2 centre;
    double radiusX = 1;
    double radiusZ = 1;
    double turn = 0;  // radians
    double wobble2 = 0;
    double wobble3 = 0;
    double phase2 = 0;
    double phase3 = 0;

    // Negative inside; roughly yards outside the edge.
    double distance(Vec2 p) const;
};

struct HoleShape {
    const HolePlan* plan = nullptr;
    std::vector<Vec2> path;  // tee, (aim), pin
    double totalLength = 0;
    double fairwayStart = 0;
    Vec2 fairwayStartPoint;
    double fairwayStartHalf = 0;
    Vec2 boxMin;  // the fairway lies inside this box
    Vec2 boxMax;
    Blob green;
    Vec2 teeCentre;
    Vec2 teeAlong;  // unit vector of play from the tee
    int32_t greenLevel = 0;
    int32_t teeLevel = 0;
    double teeLift = 0;    // the tee's mound, eighths of a yard
    double greenLift = 0;  // the green's shelf (+) or the rim of its hollow (-)
    double turn = 0;       // the dogleg's bend: + to the player's right, - left, 0 straight
};

struct BunkerShape {
    Blob blob;
    int32_t level = 0;
    int32_t depth = 2;  // below the ground round it, eighths of a yard
};

struct Cell {
    Ground ground = Ground::Rough;
    double height = 0;
};

// Paints one hole file: shapes its holes, ponds and bunkers on construction,
// then paint() samples every half-yard cell and bands the heights until the
// drawing fits the game's tables. The shapes and the bands live in
// painter.cpp, the heights and water in painter_ground.cpp, the dressing
// (bunkers, second rough, waste, fairways and greens laid on a cell) in
// painter_dressing.cpp.
class Painter {
public:
    Painter(const CoursePlan& plan, const HoleFilePlan& file);

    HoleDrawing paint();

    // Crossings of the game's table the drawing needs, counted on one row a yard.
    static int32_t estimateCrossings(const LabelGrid& grid);

private:
    // The slowly varying fields of a place, sampled once a yard.
    struct Slow {
        double height = 0;
        double play = 0;
        double heath = 0;
        double waste = 0;
        double edge = 0;
        double wobble = 0;
        double meander = 0;
        double dune = 0;
    };

    double waterFloor() const { return m_plan.waterLevel; }

    // The hole's line, green, tee and landform.
    HoleShape shapeHole(const HolePlan& hole);
    // The point s yards along the hole's line and the direction of play there.
    static void pointAlong(const HoleShape& hole, double s, Vec2& at, Vec2& along);
    double fairwayHalfWidth(const HoleShape& hole, double s) const;
    // The hole's bunkers (its own, or a default dressing) into m_bunkers.
    void placeBunkers(const HoleShape& hole, uint32_t index);

    double waterDistance(Vec2 p) const;
    double waterDistance(Vec2 p, double wobbleNoise, double meanderNoise) const;
    double naturalHeight(Vec2 p) const;
    double bankedHeight(Vec2 p) const;
    double height(Vec2 p) const;
    Slow slowAt(Vec2 p) const;
    double playDistance(Vec2 p) const;

    // The ground and height of the cell at p.
    Cell paintCell(Vec2 p, const Slow& slow) const;
    // The cells as labels, rolling ground banded `coarser` steps wider.
    HoleDrawing quantise(const std::vector<Cell>& cells, int32_t coarser) const;

    const CoursePlan& m_plan;
    const HoleFilePlan& m_file;
    uint32_t m_seed;
    std::vector<HoleShape> m_holes;
    std::vector<Blob> m_ponds;
    std::vector<BunkerShape> m_bunkers;
    std::vector<Slow> m_lattice;
};

}  // namespace tarnby::course::painting
