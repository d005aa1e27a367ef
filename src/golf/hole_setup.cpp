// Loading a hole file as playable ground, and the camera rules of the 3-D view.
#include "golf/hole_setup.h"

#include "golf/holetable.h"
#include "golf/surface_table.h"
#include "vector/vswf.h"

namespace tarnby {

namespace {

HoleRead outcome(const Vswf& reader, bool read)
{
    return !read ? HoleRead::Refused : (reader.readWhole() ? HoleRead::Whole : HoleRead::Partial);
}

}  // namespace

HoleRead readHoleDrawing(const Ref<Vpolyn>& drawing, const Ref<String>& name)
{
    Ref<Vswf> reader = make<Vswf>();
    return outcome(*reader,
        drawing && reader->load(drawing, name, kHoleFileSize, kHoleFileSize, kHoleEdgeCapacity, kHoleFillCount, 0));
}

HoleRead readHoleDrawing(const Ref<Vpolyn>& drawing, const ByteArray& bytes, int32_t angle, const char* name)
{
    Ref<Vswf> reader = make<Vswf>();
    return outcome(*reader, drawing
                                && reader->loadBytes(drawing, bytes, kHoleFileSize, kHoleFileSize, kHoleEdgeCapacity,
                                    kHoleFillCount, angle, name));
}

int32_t setUpHoleGround(VpolyTerrain& terrain, const Ref<Vilib>& textures, int32_t course)
{
    // The ground beyond the map is drawn as the hole's (last) water.
    int32_t outside = applySurfaces(terrain, textures, course);
    terrain.makeHeightField();
    return outside < 0 ? 0 : outside;
}

int32_t loadHole(const Ref<VpolyTerrain>& terrain, const Ref<String>& name, int32_t course, const Ref<Vilib>& textures)
{
    if (!terrain || readHoleDrawing(terrain, name) == HoleRead::Refused) {
        return -1;
    }
    return setUpHoleGround(*terrain, textures, course);
}

int32_t loadHoleBytes(const Ref<VpolyTerrain>& terrain, const ByteArray& bytes, int32_t course,
    const Ref<Vilib>& textures)
{
    if (!terrain || readHoleDrawing(terrain, bytes) == HoleRead::Refused) {
        return -1;
    }
    return setUpHoleGround(*terrain, textures, course);
}

CameraSetting cameraFor(int32_t viewHeight)
{
    if (viewHeight >= 401) {
        return { 218440, viewHeight - 380 };
    }
    if (viewHeight >= 294) {
        return { 141986, viewHeight - 220 };
    }
    if (viewHeight >= 161) {
        return { 101028, viewHeight - 160 };
    }
    return { 81915, viewHeight - 128 > 0 ? viewHeight - 128 : 0 };
}

CameraSetting cameraForIconBar(int32_t viewHeight)
{
    const int32_t quarter = viewHeight >> 2;
    return { quarter * 1706, quarter };
}

void placeCameraBehindBall(Vterrain& view, Fixed ballX, Fixed ballZ, Fixed aimX, Fixed aimZ,
    const CameraSetting& setting)
{
    view.placeOnGround(ballX, 0, ballZ);
    view.lookAt(aimX, aimZ);
    view.setHeightAboveGround(setting.height);
    view.setHorizon(setting.horizon);
    view.moveForward(-kCameraBehindBall);
    view.setSky(kSkyTop, kSkyBottom);
}

void placeCameraAtTee(Vterrain& view, int32_t course, int32_t hole)
{
    const HoleRow& row = holeRow(course, hole);
    placeCameraBehindBall(view, toFixed(row.teeX), toFixed(row.teeZ), toFixed(row.aimX), toFixed(row.aimZ),
        cameraFor(view.getHeight()));
}

}  // namespace tarnby
