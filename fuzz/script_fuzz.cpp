// Fuzz target: any bytes as a play script for the headless game, parsed from
// memory for a phone-sized screen.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/play/play_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    if (size > (1 << 20)) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    PlayScript script;
    std::string error;
    if (script.parse(text, "fuzz.script", 240, 320, error)) {
        script.endTime();
        script.takesShots();
    }
    return 0;
}
