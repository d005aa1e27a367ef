// Turns a label grid into a planar map: chains of edges between two regions,
// each knowing the label on its left and on its right, simplified so that no
// two chains cross and every region keeps its shape's topology.
#pragma once

#include <cstdint>
#include <vector>

#include "golf-assets/label_grid.h"

namespace tarnby::course {

struct GridPoint {
    int32_t x;
    int32_t y;
    bool operator==(const GridPoint& other) const { return x == other.x && y == other.y; }
};

// One boundary between two regions, as a polyline of grid corners. Left and
// right are seen walking from the first point to the last on a drawing whose
// y axis points down (rows grow downwards): walking down the page, the left
// side is the one with larger x. A closed chain repeats its first point last.
struct Chain {
    std::vector<GridPoint> points;
    int32_t left = kOutside;
    int32_t right = kOutside;
    bool closed = false;
};

struct TraceStats {
    int32_t chains = 0;
    int32_t pointsBefore = 0;
    int32_t pointsAfter = 0;
    int32_t repairs = 0;  // chains simplified again because they touched another
};

// Follows every boundary between differently labelled cells (the outside of
// the grid included) and joins the unit edges into chains that run from one
// junction (three or more regions, or a pinch) to the next; a boundary without
// junctions becomes one closed chain.
std::vector<Chain> traceBoundaries(const LabelGrid& grid);

// Straightens every chain within `tolerance` grid cells, keeping its end points
// and keeping closed chains at four points or more. A chain whose simplified
// form would touch or cross any other segment is simplified again with half the
// tolerance, down to its original staircase, so the result is still a planar map.
TraceStats simplifyChains(std::vector<Chain>& chains, double tolerance);

}  // namespace tarnby::course
