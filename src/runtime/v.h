// The engine's base class and the small services every engine class shares:
// the angle of a vector, the unsigned shift and the one-line diagnostics.
#pragma once

#include <cstdint>

#include "runtime/object.h"

namespace tarnby {

class V : public Object {
public:
    // Angle of the vector (x, y) in units of 32768 per full turn (4096 is an
    // eighth of a turn); a cubic fit per half plane, no division table.
    static int32_t atan2(int32_t y, int32_t x);

    // Logical right shift; a count of 32 or more gives 0.
    static int32_t ushr(int32_t value, int32_t count);

    // Diagnostics on standard output, one line each: "text a b", "text a", "text".
    static void log(const char* text, int32_t a, int32_t b);
    static void log(const char* text, int32_t a);
    static void log(const char* text);
};

}  // namespace tarnby
