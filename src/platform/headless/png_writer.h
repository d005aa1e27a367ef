// Writes frames and pictures as PNG files so that a person can look at what
// the engine drew.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby {

// Saves `width` x `height` frame words (0xDDRRGGBB, `stride` words per row) as
// an RGB PNG; the depth byte is dropped. True when the file was written.
bool writeFramePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride);

// Saves 8-bit RGBA bytes (4 per pixel, rows packed) as an RGBA PNG.
bool writeRgbaPng(const std::string& path, const uint8_t* rgba, int32_t width, int32_t height);

// Saves 8-bit grey bytes (rows packed) as a grey PNG.
bool writeGreyPng(const std::string& path, const uint8_t* grey, int32_t width, int32_t height);

// Reads any PNG as 8-bit RGBA (tools use it for painted course maps).
bool readRgbaPng(const std::string& path, std::vector<uint8_t>& rgba, int32_t& width, int32_t& height);

}  // namespace tarnby
