// Fuzz target for the picture bundle reader and the picture decoders: the
// input, read from memory as a whole bundle, then every picture is decoded,
// drawn scaled, drawn as a shadow and decoded straight into a frame.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/vilib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    if (size > static_cast<size_t>(Vilib::kMaxBundleBytes)) {
        return 0;
    }
    ByteArray bytes(static_cast<int32_t>(size));
    if (size > 0) {
        std::memcpy(bytes.data(), data, size);
    }
    Ref<Vilib> lib = make<Vilib>(String::intern("fuzz"), bytes);
    constexpr int32_t kW = 64, kH = 48;
    static std::vector<uint32_t> frame(kW * kH);
    for (int32_t i = 0; i < lib->count() && i < 64; ++i) {
        Ref<Vpicture> p = lib->getPictureRef(i);
        // Huge pictures are sound but slow; keep each run quick.
        if (!p || p->pixelCount() > 512 * 512) {
            continue;
        }
        std::fill(frame.begin(), frame.end(), 0x80808080u);
        // The direct decode first (the picture is not decoded yet), at the
        // picture's own size when it fits.
        if (p->m_width <= kW && p->m_height <= kH) {
            lib->drawPicture(i, frame.data(), kW, kH, 0, 0, p->m_width, p->m_height, 0, 0, kOne, 0, kOne);
        }
        lib->drawPicture(i, frame.data(), kW, kH, -5, -5, kW + 5, kH + 5, toFixed(-3), toFixed(2), 0x5000, 7, 0x6000);
        Ref<Vpicture> decoded = lib->getPicture(i);
        if (decoded) {
            decoded->drawShadow(frame.data(), kW, kH, 0, 0, kW, kH, toFixed(4), toFixed(3), 0x9000, 128, kOne);
        }
        lib->evict(1);
    }
    return 0;
}
