// Turns a colour-coded picture of a hole file (one pixel a yard, colours as
// the game reads them) into a hole file, through the same boundary tracing as
// the built-in courses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::course {

// Checks the picture (512 x 512, at most 47 colours; alpha is ignored) and
// writes the hole file. On failure gives false and a one-line reason.
bool compileCourseMap(const std::vector<uint8_t>& rgba, int32_t width, int32_t height, const std::string& outPath,
    std::string& error);
// The same, giving the hole file's bytes instead of writing them.
bool compileCourseBytes(const std::vector<uint8_t>& rgba, int32_t width, int32_t height, std::vector<uint8_t>& file,
    std::string& error);

}  // namespace tarnby::course
