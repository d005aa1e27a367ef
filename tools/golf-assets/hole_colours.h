// How the kinds of ground of a hole file are written as fill colours: the
// colour's zero bytes name the surface and one byte holds the height level.
#pragma once

#include <cstdint>

namespace tarnby::course {

enum class Ground : int32_t { Rough, Heath, Fairway, Green, Tee, Sand, Water };
constexpr int32_t kGroundKinds = 7;

// Most fill colours a hole file may use: the game reads 48 fills and keeps
// fill 0 for the background.
constexpr int32_t kMaxFillColours = 47;

// The colour 0xRRGGBB for ground of a kind at a height level (1/8 yard steps,
// 1..255; rough may also use level 0, which is plain black).
uint32_t groundColour(Ground ground, int32_t level);

// The kind of ground and height level a fill colour stands for (the reverse of
// groundColour, and the reading of any painted colour).
Ground groundOf(uint32_t rgb);
int32_t levelOf(uint32_t rgb);

// The surface code (texture and lie) of a fill colour on course 0, 1 or 2.
int32_t surfaceCode(uint32_t rgb, int32_t course);

const char* groundName(Ground ground);

}  // namespace tarnby::course
