// The game's key codes: what the window turns keys, characters and stylus taps
// into, and what the viewports, menus and the game read back.
#pragma once

#include <cstdint>

namespace tarnby {

constexpr int32_t kKeyLeft = 1;
constexpr int32_t kKeyRight = 2;
constexpr int32_t kKeyUp = 3;
constexpr int32_t kKeyDown = 4;
constexpr int32_t kKeySelect = 5;  // also every stylus tap
constexpr int32_t kKeySoft = 6;    // the right soft key
constexpr int32_t kKeyBack = 7;
constexpr int32_t kKeyEnter = 10;
constexpr int32_t kKeySpace = 32;
constexpr int32_t kKeyPound = 35;   // '#'
constexpr int32_t kKeyStar = 42;    // '*'
constexpr int32_t kKeyDigit0 = 48;  // the digits are '0' to '9'

}  // namespace tarnby
