// The built-in hole table: tee, pin and aim point of the 54 holes of the three
// courses (whole yards in their hole file's 512 x 512 area), the par of each
// hole, and the hole file each hole lies in.
#pragma once

#include <cstdint>

#include "runtime/object.h"
#include "runtime/string.h"

namespace tarnby {

constexpr int32_t kCourses = 3;
constexpr int32_t kHolesPerCourse = 18;

struct HoleRow {
    int32_t teeX;
    int32_t teeZ;
    int32_t pinX;
    int32_t pinZ;
    int32_t aimX;  // where the first shot is aimed; the pin on a straight hole
    int32_t aimZ;
};

// The row of hole `hole` (0..17) of course `course` (0..2); both are clamped
// into range, so a bad index still names a real hole.
const HoleRow& holeRow(int32_t course, int32_t hole);

// Par of hole 0..17 (the same on every course): 4, 3, 5, 4, 3, 5, ...
int32_t holePar(int32_t hole);

// The hole file that holds a hole: the course prefix "c0_", "c1_" or "c2_"
// and the group name, "holes_1-3" for holes 0 to 2 up to "holes_16-18".
Ref<String> holeFileName(int32_t course, int32_t hole);

}  // namespace tarnby
