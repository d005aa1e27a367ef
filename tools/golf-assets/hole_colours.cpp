// Fill colours of hole files: ground kind and height level in one colour.
#include "golf-assets/hole_colours.h"

#include <algorithm>

namespace tarnby::course {

namespace {
uint32_t rgb(int32_t r, int32_t g, int32_t b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
}  // namespace

uint32_t groundColour(Ground ground, int32_t level)
{
    // The non-zero bytes that only mark the kind are chosen so that a hole file
    // opened in a paint program looks roughly like the course.
    const int32_t l = std::clamp(level, 1, 255);
    switch (ground) {
    case Ground::Rough: return level <= 0 ? 0 : rgb(0x28, 0x70, l);
    case Ground::Heath: return rgb(0x90, 0, l);
    case Ground::Fairway: return rgb(0, l, 0);
    case Ground::Green: return rgb(0, 0xE0, l);
    case Ground::Tee: return rgb(l, 0, 0);
    case Ground::Sand: return rgb(l, 0xD8, 0);
    case Ground::Water: return rgb(0, 0, l);
    }
    return 0;
}

Ground groundOf(uint32_t colour)
{
    const bool r = ((colour >> 16) & 0xFF) != 0;
    const bool g = ((colour >> 8) & 0xFF) != 0;
    const bool b = (colour & 0xFF) != 0;
    if (!r && !g) {
        return b ? Ground::Water : Ground::Rough;
    }
    if (!r) {
        return b ? Ground::Green : Ground::Fairway;
    }
    if (!g) {
        return b ? Ground::Heath : Ground::Tee;
    }
    return b ? Ground::Rough : Ground::Sand;
}

int32_t levelOf(uint32_t colour)
{
    switch (groundOf(colour)) {
    case Ground::Fairway: return (colour >> 8) & 0xFF;
    case Ground::Tee:
    case Ground::Sand: return (colour >> 16) & 0xFF;
    default: return colour & 0xFF;
    }
}

int32_t surfaceCode(uint32_t colour, int32_t course)
{
    static const int32_t kRough[3] = { 9, 7, 11 };
    static const int32_t kHeath[3] = { 8, 5, 10 };
    const int32_t c = std::clamp(course, 0, 2);
    switch (groundOf(colour)) {
    case Ground::Rough: return kRough[c];
    case Ground::Heath: return kHeath[c];
    case Ground::Fairway: return 2;
    case Ground::Green: return 4;
    case Ground::Tee: return 1;
    case Ground::Sand: return 6;
    case Ground::Water: return 3;
    }
    return kRough[c];
}

const char* groundName(Ground ground)
{
    static const char* const kNames[kGroundKinds] = { "rough", "heath", "fairway", "green", "tee", "sand", "water" };
    return kNames[static_cast<int32_t>(ground)];
}

}  // namespace tarnby::course
