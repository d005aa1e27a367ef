// Hole loading and camera rules.
#include "golf/hole_camera.h"

#include <algorithm>

#include "golf/surface_table.h"
#include "vector/vswf.h"

namespace tarnby {

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
    return { 81915, std::max(viewHeight - 128, 0) };
}

int32_t loadHoleInto(const Ref<VpolyTerrain>& terrain, const Ref<String>& name, int32_t course,
                     const Ref<Vilib>& textures)
{
    Ref<Vswf> reader = make<Vswf>();
    if (!reader->load(terrain, name, 512, 512, 0x4204, 0x30, 0)) {
        return -1;
    }
    int32_t outside = applySurfaces(*terrain, textures, course);
    terrain->makeHeightField();
    return outside < 0 ? 0 : outside;
}

}  // namespace tarnby
