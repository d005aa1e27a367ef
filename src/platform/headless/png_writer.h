// Writes frames and pictures as PNG files so that a person can look at what
// the engine drew.
#pragma once

#include <cstddef>
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

// Budget of the PNG reader: at most 16384 pixels a side and 16 M pixels (64 MB
// of RGBA) in all, from a file of at most 32 MB; anything larger is refused
// before the pixels are allocated.
constexpr int64_t kPngMaxSide = 16384;
constexpr int64_t kPngMaxPixels = 1 << 24;
constexpr int32_t kPngMaxFileBytes = 32 << 20;

// Decodes a PNG held in memory as 8-bit RGBA; false for anything else, with
// what is wrong in `why` when it is given.
bool decodeRgbaPng(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgba, int32_t& width, int32_t& height,
    std::string* why = nullptr);

// Reads any PNG as 8-bit RGBA (tools use it for painted course maps).
bool readRgbaPng(const std::string& path, std::vector<uint8_t>& rgba, int32_t& width, int32_t& height,
    std::string* why = nullptr);

}  // namespace tarnby
