// The course map: the terrain drawn from above with its textures and slopes.
#include "vector/vpolyterrain.h"

#include "image/vpicture.h"

namespace tarnby {

namespace {

// Stand-in ground colours by surface code for a fill whose texture is missing,
// so that a hole still shows its layout (opaque texel words).
constexpr uint32_t kPlainGround[16] = {
    // clang-format off
    0xE0406030, 0xE0C8B070, 0xE050A040, 0xE02060C0, 0xE070D060, 0xE0305828, 0xE0A0A040, 0xE0305020,
    0xE0607040, 0xE0284818, 0xE0505060, 0xE0384020, 0xE0808080, 0xE0808080, 0xE0808080, 0xE0808080,
    // clang-format on
};

// Per-channel a + (b - a) * f; equal colours stay as they are.
uint32_t mix(uint32_t a, uint32_t b, int32_t f)
{
    if (a == b) {
        return a;
    }
    uint32_t out = 0xFF000000u;
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        int32_t ca = static_cast<int32_t>((a >> shift) & 0xFF);
        int32_t cb = static_cast<int32_t>((b >> shift) & 0xFF);
        out |= static_cast<uint32_t>((ca + (((cb - ca) * f) >> 15)) & 0xFF) << shift;
    }
    return out;
}

Fixed saturate(int64_t v) { return static_cast<Fixed>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v)); }

}  // namespace

void VpolyTerrain::render(uint32_t* target, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT,
    int32_t clipR, int32_t clipB)
{
    (void)frameHeight;
    Fixed scale = m_drawScale;
    if (scale <= 0) {
        return;  // nothing to draw at no size
    }
    int64_t inv = 0x40000000 / scale;  // world yards per screen pixel
    invalidateCache();
    const bool magnified = inv < 0x4000;
    const Ref<Vilib>& library = fillPictures();

    int32_t lastFill = -1;
    Ref<Vpicture> picture;  // keeps the texture's pixels alive while drawn
    const int32_t* texture = nullptr;
    uint32_t plain = 0;

    for (int32_t y = clipT; y < clipB; ++y) {
        Fixed v = saturate(static_cast<int64_t>(y - m_top) * inv);
        int32_t texRow = ((v >> 15) & 63) * kTextureSize;
        int32_t nextRow = (texRow + kTextureSize) & (kTextureSize * kTextureSize - 1);
        uint32_t* pixels = target + static_cast<int64_t>(y) * stride;
        int64_t u64 = static_cast<int64_t>(clipL - m_left) * inv;
        for (int32_t x = clipL; x < clipR; ++x, u64 += inv) {
            Fixed u = saturate(u64);
            if (lastFill < 0 || !cacheHolds(u, v)) {
                int32_t fill = fillAt(u, v);
                if (fill != lastFill) {
                    lastFill = fill;
                    int32_t code = frame(fill);
                    picture = library ? library->getPicture(code) : nullptr;
                    texture = nullptr;
                    if (picture && picture->m_width == kTextureSize && picture->m_height >= kTextureSize
                        && picture->m_pixels.length() >= kTextureSize * kTextureSize) {
                        texture = picture->m_pixels.data();
                    }
                    plain = kPlainGround[code & 15];
                }
            }
            int32_t column = (u >> 15) & 63;
            uint32_t colour = texture ? static_cast<uint32_t>(texture[texRow + column]) : plain;
            if (magnified && texture) {
                int32_t right = (column + 1) & 63;
                uint32_t top = mix(colour, static_cast<uint32_t>(texture[texRow + right]), u & 0x7FFF);
                uint32_t below = mix(static_cast<uint32_t>(texture[nextRow + column]),
                    static_cast<uint32_t>(texture[nextRow + right]), u & 0x7FFF);
                colour = mix(top, below, v & 0x7FFF);
            }
            Fixed d = (heightAt(u, v) - heightAt(wrapAdd(u, kOne), wrapAdd(v, kOne))) >> 1;
            if (d != 0) {
                colour = shade(colour, d);
            }
            pixels[x] = colour;
        }
    }
}

}  // namespace tarnby
