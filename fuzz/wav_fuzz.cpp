// Fuzz target: any bytes as a sound file, decoded from memory.
#include <cstddef>
#include <cstdint>

#include "platform/sdl/wav_sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    WavSound sound = WavSound::decode(data, size, "fuzz.wav");
    int32_t sum = 0;
    for (int16_t sample : sound.samples()) {
        sum += sample;
    }
    return sum == sound.length() ? 0 : 0;
}
