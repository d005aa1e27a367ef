// Paints one hole file of a course description as a label grid: every cell
// gets a kind of ground and a height level, and each distinct pair becomes one
// fill colour of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "golf-assets/boundary_tracer.h"
#include "golf-assets/course_plan.h"
#include "golf-assets/label_grid.h"

namespace tarnby::course {

// The map is 512 yards square; the painter works on half-yard cells.
constexpr int32_t kMapYards = 512;
constexpr int32_t kCellsPerYard = 2;
constexpr int32_t kGridCells = kMapYards * kCellsPerYard;

struct HoleDrawing {
    LabelGrid grid;                     // labels index `colours`
    std::vector<uint32_t> colours;      // 0xRRGGBB per label
    std::vector<std::string> problems;  // broken promises of the layout (should be empty)
};

// Paints file `fileIndex` of the plan.
HoleDrawing paintHoleFile(const CoursePlan& plan, size_t fileIndex);

// Checks what every hole needs on a finished drawing: the tee on tee ground,
// the pin on green with `margin` yards of green all round, the aim on fairway
// or green, no water on the line from the tee to the aim point within 100
// yards of the tee. Each problem is one line naming the hole.
std::vector<std::string> checkHoles(const HoleDrawing& drawing, const HoleFilePlan& file, double margin);

// Traces and simplifies a drawing into chains of grid corners (half yards).
std::vector<Chain> traceDrawing(const HoleDrawing& drawing, TraceStats* stats = nullptr);

}  // namespace tarnby::course
