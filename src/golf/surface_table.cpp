// Fill colours of hole files to surfaces, per course.
#include "golf/surface_table.h"

namespace tarnby {

namespace {

// Per course: the rough (black and mixed colours) and the second ground kind
// (magenta) differ from course to course.
constexpr int32_t kRoughCode[3] = { 9, 7, 11 };
constexpr int32_t kMagentaCode[3] = { 8, 5, 10 };

}  // namespace

Surface surfaceForColour(int32_t course, uint32_t colour)
{
    if (course < 0 || course > 2) {
        course = 0;
    }
    int32_t r = static_cast<int32_t>((colour >> 16) & 0xFF);
    int32_t g = static_cast<int32_t>((colour >> 8) & 0xFF);
    int32_t b = static_cast<int32_t>(colour & 0xFF);
    if (r == 0) {
        if (g == 0) {
            if (b != 0) {
                return { kSurfaceWater, 0x8000, b };
            }
            // Pure black: rough at ground level; the highland course lifts it.
            return { kRoughCode[course], 0x4000, course == 2 ? 0x40 : 0 };
        }
        return b == 0 ? Surface { kSurfaceGreenEdge, 0x2666, g } : Surface { kSurfaceGreen, 0x2666, b };
    }
    if (g == 0) {
        return b == 0 ? Surface { 1, 0x4CCC, r } : Surface { kMagentaCode[course], 0x4000, b };
    }
    if (b == 0) {
        return { 6, 0x5999, r };
    }
    return { kRoughCode[course], 0x4000, b };  // all three set: as black
}

int32_t applySurfaces(VpolyTerrain& terrain, const Ref<Vilib>& pictures, int32_t course)
{
    int32_t water = -1;
    for (int32_t fill = 0; fill < terrain.fillsUsed(); ++fill) {
        Surface s = surfaceForColour(course, terrain.colour(fill));
        terrain.setFillPicture(fill, pictures, s.code);
        terrain.setColour(fill, static_cast<uint32_t>(s.level));
        terrain.setSurfacePhysics(fill, s.friction, 0);
        if (s.code == kSurfaceWater) {
            water = fill;
        }
    }
    return water;
}

}  // namespace tarnby
