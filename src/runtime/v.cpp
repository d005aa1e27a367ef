// The engine base class's shared services.
#include "runtime/v.h"

#include <cstdio>

namespace tarnby {

namespace {
// Q15 product with the engine's short cuts for 0 and ONE.
int32_t mulQ15(int32_t a, int32_t b)
{
    if (a == 0 || b == 0) {
        return 0;
    }
    if (a == 0x8000) {
        return b;
    }
    if (b == 0x8000) {
        return a;
    }
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 15);
}
}  // namespace

int32_t V::atan2(int32_t y, int32_t x)
{
    int64_t ay = y < 0 ? -static_cast<int64_t>(y) : y;
    int64_t ax = x < 0 ? -static_cast<int64_t>(x) : x;
    int64_t d = ax + ay;
    if (d == 0) {
        d = 1;
    }
    int32_t r;
    int32_t base;
    if (x < 0) {
        r = static_cast<int32_t>(((x + ay) * 32768) / d);
        base = 12288;
    } else {
        r = static_cast<int32_t>(((x - ay) * 32768) / d);
        base = 4096;
    }
    int32_t r3 = mulQ15(mulQ15(r, r), r);
    int32_t angle = mulQ15(1023, r3) - mulQ15(5119, r) + base;
    return y < 0 ? -angle : angle;
}

int32_t V::ushr(int32_t value, int32_t count)
{
    if (count >= 32 || count < 0) {
        return 0;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value) >> count);
}

void V::log(const char* text, int32_t a, int32_t b)
{
    std::printf("%s", text);
    std::printf(" ");
    std::printf("%d", a);
    std::printf(" ");
    std::printf("%d\n", b);
}

void V::log(const char* text, int32_t a)
{
    std::printf("%s", text);
    std::printf(" ");
    std::printf("%d\n", a);
}

void V::log(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

}  // namespace tarnby
