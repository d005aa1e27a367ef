// Encoders for the two picture kinds of a bundle: 'r' run-length code and
// 'j' JPEG with its run-length alpha mask, from 8-bit RGBA images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::bundle {

// RGBA bytes (straight alpha, rows packed) from 32-bit words 0xAARRGGBB with
// premultiplied colour, `stride` bytes a row, in the machine's byte order: the
// layout drawing libraries such as Cairo use for their ARGB32 surfaces.
std::vector<uint8_t> rgbaFromPremultipliedArgb(const uint8_t* data, int32_t width, int32_t height, int32_t stride);

// The 3-bit alpha code (0 transparent .. 7 opaque) nearest an 8-bit alpha.
// The inverse used by the inspector, code * 255 / 7, maps back to the same code.
int32_t alphaCode(uint8_t alpha);

// An 8-bit colour component reduced to the 5 bits the 'r' code keeps.
int32_t fiveBits(uint8_t component);

// 'r' code of an RGBA image (4 bytes a pixel, rows packed): colours as 5:5:5
// with the 106-entry recent-colour cache, transparent runs as skips, partial
// alphas as one-pixel alpha codes. Trailing transparent pixels cost nothing.
std::vector<uint8_t> encodeRun(const uint8_t* rgba, int32_t width, int32_t height);

// The alpha mask of an RGBA image: runs of up to 32 pixels of one alpha code.
// Empty when every pixel is opaque (the picture then needs no mask).
std::vector<uint8_t> encodeMask(const uint8_t* rgba, int32_t width, int32_t height);

// A complete baseline JPEG of an RGB (channels 3) or RGBA (channels 4) image
// with the library's standard settings at `quality` (1..100). The colour under
// transparent pixels is filled from their neighbours first, so edges do not
// pick up dark fringes. False with a reason in `error` on failure.
bool encodeJpeg(const uint8_t* pixels, int32_t channels, int32_t width, int32_t height, int32_t quality,
    std::vector<uint8_t>& jpeg, std::string& error);

}  // namespace tarnby::bundle
