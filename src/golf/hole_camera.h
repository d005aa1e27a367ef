// Loading a hole file as the game plays it, and the camera rules by view height.
#pragma once

#include <cstdint>

#include "image/vilib.h"
#include "runtime/string.h"
#include "terrain/fixed.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

// How far the camera stands behind the ball: 11.33 yards.
constexpr Fixed kCameraBehindBall = 371348;

struct CameraSetting {
    Fixed height;
    int32_t horizon;
};
// Camera height over the ground and horizon row for a view of this height
// without an icon bar.
CameraSetting cameraFor(int32_t viewHeight);

// Loads a hole file into `terrain` with its surfaces and height field; gives
// the fill drawn beyond the map, or -1 when the file could not be read.
int32_t loadHoleInto(const Ref<VpolyTerrain>& terrain, const Ref<String>& name, int32_t course,
                     const Ref<Vilib>& textures);

}  // namespace tarnby
