// Fuzz target: any bytes as a hole file, loaded and used as the game does.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "golf/hole_setup.h"
#include "vector/vpolyterrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    if (size > (1 << 20)) {
        return 0;
    }
    static Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    ByteArray bytes(static_cast<int32_t>(size));
    for (size_t i = 0; i < size; ++i) {
        bytes[static_cast<int32_t>(i)] = data[i];
    }
    // The last byte also turns the drawing (a hole file's last byte is 0: no turn).
    int32_t angle = size > 0 ? data[size - 1] * 128 : 0;
    // A file the reader turns down still leaves a terrain to set up, query and draw.
    readHoleDrawing(terrain, bytes, angle);
    setUpHoleGround(*terrain, nullptr, static_cast<int32_t>(size % 3));
    int32_t sum = 0;
    for (Fixed p = -0x10000; p < toFixed(520); p += 0x13579) {
        sum += terrain->fillAt(p, toFixed(511) - p) + terrain->heightAt(p, p / 2) + terrain->surfaceAt(p, p);
    }
    std::vector<uint32_t> frame(64 * 64);
    terrain->layout(0, 0, 64 * 64);
    terrain->render(frame.data(), 64, 64, 0, 0, 64, 64);
    volatile int32_t sink = sum;
    (void)sink;
    return 0;
}
