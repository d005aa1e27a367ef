// The tee, pin and aim point of every hole, the par table and the hole files.
#include "golf/holetable.h"

#include <algorithm>
#include <string>

namespace tarnby {

namespace {

// Row index course * 18 + hole: tee x, tee z, pin x, pin z, aim x, aim z.
constexpr HoleRow kHoles[kCourses * kHolesPerCourse] = {
    // Tarnby Classic
    { 89, 436, 75, 76, 75, 76 },
    { 178, 95, 187, 252, 187, 252 },
    { 291, 461, 472, 56, 300, 167 },
    { 89, 441, 94, 71, 94, 71 },
    { 193, 150, 190, 332, 190, 332 },
    { 282, 450, 459, 57, 303, 251 },
    { 175, 449, 88, 134, 161, 202 },
    { 272, 268, 279, 380, 279, 380 },
    { 426, 444, 307, 61, 411, 304 },
    { 88, 436, 92, 94, 92, 94 },
    { 176, 196, 184, 386, 184, 386 },
    { 447, 465, 236, 67, 427, 183 },
    { 75, 447, 150, 138, 90, 215 },
    { 191, 252, 190, 428, 203, 432 },
    { 289, 460, 462, 62, 288, 169 },
    { 90, 402, 84, 97, 84, 97 },
    { 165, 152, 175, 385, 175, 388 },
    { 442, 457, 199, 56, 452, 216 },
    // Rivaru Reruz
    { 79, 465, 58, 60, 58, 60 },
    { 170, 158, 174, 343, 174, 343 },
    { 409, 463, 187, 64, 420, 209 },
    { 62, 455, 127, 67, 127, 67 },
    { 199, 230, 212, 418, 212, 418 },
    { 294, 454, 446, 64, 298, 225 },
    { 79, 464, 102, 63, 102, 63 },
    { 175, 189, 168, 400, 168, 400 },
    { 408, 464, 198, 95, 404, 203 },
    { 66, 452, 134, 74, 50, 293 },
    { 203, 172, 197, 382, 197, 382 },
    { 304, 449, 417, 59, 281, 204 },
    { 59, 448, 158, 71, 71, 192 },
    { 268, 291, 288, 449, 288, 449 },
    { 409, 465, 269, 60, 406, 262 },
    { 79, 461, 194, 69, 83, 202 },
    { 170, 164, 179, 398, 179, 398 },
    { 266, 446, 430, 68, 260, 167 },
    // Rararedi Vurev
    { 93, 461, 212, 60, 77, 179 },
    { 192, 151, 163, 307, 163, 307 },
    { 223, 463, 449, 61, 273, 248 },
    { 182, 465, 74, 79, 152, 180 },
    { 276, 154, 280, 333, 280, 333 },
    { 444, 469, 215, 46, 398, 86 },
    { 69, 455, 74, 72, 99, 219 },
    { 227, 247, 225, 384, 225, 384 },
    { 438, 470, 185, 63, 418, 105 },
    { 58, 400, 64, 63, 76, 196 },
    { 144, 200, 137, 457, 137, 457 },
    { 232, 464, 457, 48, 215, 106 },
    { 76, 460, 259, 102, 82, 154 },
    { 197, 247, 196, 463, 196, 463 },
    { 283, 462, 155, 48, 386, 153 },
    { 65, 457, 63, 127, 64, 231 },
    { 151, 231, 158, 366, 158, 366 },
    { 445, 453, 157, 93, 440, 120 },
};

const char* const kGroupNames[6] = { "holes_1-3", "holes_4-6", "holes_7-9", "holes_10-12", "holes_13-15",
    "holes_16-18" };

int32_t clampHole(int32_t hole) { return std::clamp(hole, 0, kHolesPerCourse - 1); }
int32_t clampCourse(int32_t course) { return std::clamp(course, 0, kCourses - 1); }

}  // namespace

const HoleRow& holeRow(int32_t course, int32_t hole)
{
    return kHoles[clampCourse(course) * kHolesPerCourse + clampHole(hole)];
}

int32_t holePar(int32_t hole)
{
    static constexpr int32_t kPar[3] = { 4, 3, 5 };
    return kPar[clampHole(hole) % 3];
}

Ref<String> holeFileName(int32_t course, int32_t hole)
{
    std::string name = "c" + std::to_string(clampCourse(course)) + "_" + kGroupNames[clampHole(hole) / 3];
    return String::fromChars(name.c_str());
}

}  // namespace tarnby
