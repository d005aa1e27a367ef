// How a hole file becomes playable ground, and where the camera stands on it:
// the game, the tools, the tests and the fuzzers all set a hole up this way.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"
#include "terrain/vterrain.h"
#include "vector/vpolyn.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

// A hole file is a drawing of 512 x 512 yards.
constexpr int32_t kHoleFileSize = 512;
// Room the game sets aside for the crossings of one hole file's drawing (each
// change of fill along a drawing row is one crossing).
constexpr int32_t kHoleEdgeCapacity = 16900;
// Fills a hole file may use.
constexpr int32_t kHoleFillCount = 48;

// How far the camera stands behind the ball: 11.33 yards.
constexpr Fixed kCameraBehindBall = 371348;
// The sky of the 3-D view, top and bottom (0xAARRGGBB).
constexpr uint32_t kSkyTop = 0xFF005995;
constexpr uint32_t kSkyBottom = 0xFF3399FF;

// Loads the data file `name` into `terrain` as the game loads a hole file: a
// kHoleFileSize square drawing of up to kHoleEdgeCapacity crossings and
// kHoleFillCount fills, each fill given its surface code (texture from
// `textures`, which may be null), height level and friction from the course's
// surface table, bounce 0, then the height field. Gives the fill to draw beyond
// the map (the last water fill, or 0), or -1 when the file could not be read.
int32_t loadHole(const Ref<VpolyTerrain>& terrain, const Ref<String>& name, int32_t course, const Ref<Vilib>& textures);
// The same for the bytes of a hole file already in memory.
int32_t loadHoleBytes(const Ref<VpolyTerrain>& terrain, const ByteArray& bytes, int32_t course,
    const Ref<Vilib>& textures);

// What reading a hole file's drawing came to: refused (nothing drawn), drawn
// in part (cut short, or more crossings than a hole holds: the game plays what
// there is, a tool fails) or drawn whole. The shape reader has said in one
// line what is wrong when it is not whole.
enum class HoleRead { Refused, Partial, Whole };

// The two halves of loading, for those who look in between (the inspector
// lists the drawing's own colours, the course compiler's check compares them):
// reading the drawing, whose fills then still hold the file's colours (`angle`
// turns the drawing as the shape reader does, 0 in the game; `name` names
// bytes in memory in messages) ...
HoleRead readHoleDrawing(const Ref<Vpolyn>& drawing, const Ref<String>& name);
HoleRead readHoleDrawing(const Ref<Vpolyn>& drawing, const ByteArray& bytes, int32_t angle = 0,
    const char* name = "shape data");
// ... and turning it into ground: surfaces and the height field. Gives the
// fill to draw beyond the map (the last water fill, or 0).
int32_t setUpHoleGround(VpolyTerrain& terrain, const Ref<Vilib>& textures, int32_t course);

// Camera height over the ground and horizon row for a 3-D view of this height.
struct CameraSetting {
    Fixed height;
    int32_t horizon;
};
// The view without the icon bar: by steps of the view's height.
CameraSetting cameraFor(int32_t viewHeight);
// The view above the icon bar: height (h / 4) x 1706, horizon at h / 4.
CameraSetting cameraForIconBar(int32_t viewHeight);

// Stands the camera behind the ball at (ballX, ballZ), looking at (aimX, aimZ),
// kCameraBehindBall back, at the setting's height and horizon, under the sky.
void placeCameraBehindBall(Vterrain& view, Fixed ballX, Fixed ballZ, Fixed aimX, Fixed aimZ,
    const CameraSetting& setting);
// The camera at the tee of `hole` of `course`, looking at the hole's aim point,
// set for the view's height without the icon bar.
void placeCameraAtTee(Vterrain& view, int32_t course, int32_t hole);

}  // namespace tarnby
