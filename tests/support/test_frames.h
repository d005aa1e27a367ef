// Frames saved as PNG files from the tests that draw, for a person to look at.
#pragma once

#include <cstdint>
#include <string>

namespace tarnby::test {

// Writes a frame to build/test-output/<name>.png.
void saveFrame(const std::string& name, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride);

}  // namespace tarnby::test
