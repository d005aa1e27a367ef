// The kind of machine the game runs on, decided once before the game starts.
#pragma once

#include "runtime/string.h"

namespace tarnby {

// Set by the program's entry before the game is attached; the game reads it
// when it builds its scene.
struct DeviceProfile {
    bool isPocketPC = true;       // a touch screen (a mouse counts as a stylus)
    bool qwertyKeyboard = false;  // letter keys stand for digits
    bool pixelDoubling = false;   // half-resolution game, doubled output
    bool rawFrameBufferUsable = false;
};

// The process's profile (the touch profile until the entry changes it).
DeviceProfile& deviceProfile();

// "PocketPC" on a touch device, "Smartphone" on a keypad device.
Ref<String> platformName();

}  // namespace tarnby
