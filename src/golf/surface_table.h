// The meaning of a hole file's fill colours: the kind of ground (surface code,
// also the picture that textures it), its height level and its friction, per
// course. The game, the inspector and the preview tool all read holes this way.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

// Surface codes the game itself depends on.
constexpr int32_t kSurfaceWater = 3;
constexpr int32_t kSurfaceGreen = 4;      // the putting green
constexpr int32_t kSurfaceGreenEdge = 2;  // the ground round the green

struct Surface {
    int32_t code = 0;    // surface code and texture picture
    Fixed friction = 0;  // rolling friction for the physics
    int32_t level = 0;   // height level, 1/8 yard each
};

// The surface of a fill colour (0xAARRGGBB; only red, green and blue count) on
// course 0, 1 or 2 (any other course number reads as course 0).
Surface surfaceForColour(int32_t course, uint32_t colour);

// Gives every fill of a freshly loaded hole drawing its texture (from
// `pictures`), height level and friction, with bounce 0. Returns the index of
// the last water fill, or -1 when the hole has no water.
int32_t applySurfaces(VpolyTerrain& terrain, const Ref<Vilib>& pictures, int32_t course);

}  // namespace tarnby
