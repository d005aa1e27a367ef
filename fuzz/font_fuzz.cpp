// Fuzz target for the font reader: any bytes as a font file, read from memory,
// then measuring and drawing every character the font claims into a small frame.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sprite/vfont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    Ref<Vfont> font = make<Vfont>();
    font->loadBytes(data, size, "fuzz.bin");
    constexpr int32_t kW = 24, kH = 24;
    std::vector<uint32_t> frame(kW * kH, 0xFF000000);
    int32_t last = font->last() < font->first() + 300 ? font->last() : font->first() + 300;
    for (int32_t c = font->first() - 1; c <= last + 1; ++c) {
        font->charWidth(c);
        font->drawChar(c, frame.data(), kW, kH, 0, 0, kW, kH, (c % 7 - 3) << 15, (c % 5 - 2) << 15, 0xFFFFFFFF,
            c % 2 ? 0x8000 : 0x3000);
    }
    font->stringWidth("Tarnby Classic\tPar 4\n\xff");
    font->tabAdvance(-5);
    return 0;
}
