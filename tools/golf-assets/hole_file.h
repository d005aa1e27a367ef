// Writing traced drawings as the game's shape files, and the wind arrow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "golf-assets/boundary_tracer.h"
#include "golf-assets/course_painter.h"

namespace tarnby::course {

// Writes a hole file: every chain becomes one boundary path in yards with the
// colours of its two sides; the outside of the map is the background.
bool writeHoleFile(const HoleDrawing& drawing, const std::vector<Chain>& chains, const std::string& path);

// The same for any traced label grid whose cells are `yardsPerCell` wide.
bool writeTracedShape(const std::vector<uint32_t>& colours, const std::vector<Chain>& chains, double size,
    double yardsPerCell, const std::string& path);
// The bytes writeTracedShape writes.
std::vector<uint8_t> tracedShapeBytes(const std::vector<uint32_t>& colours, const std::vector<Chain>& chains,
    double size, double yardsPerCell);

// The wind arrow "arrow": one filled arrow pointing up the drawing, centred so
// that it stays inside its 24 x 24 pixels at every angle.
bool writeArrow(const std::string& path);

}  // namespace tarnby::course
