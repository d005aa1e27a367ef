// Picture drawing: the scaled, depth-tested, blended draw and the flattened
// shadow. Frame words are 0xDDRRGGBB with DD the depth (0 nearest).
#include <cstdint>

#include "image/vpicture.h"

namespace tarnby {

namespace {

inline uint32_t half(uint32_t x) { return (x >> 1) & 0x7F7F7F; }
inline uint32_t quarter(uint32_t x) { return (x >> 2) & 0x3F3F3F; }
inline uint32_t eighth(uint32_t x) { return (x >> 3) & 0x1F1F1F; }

// Frame colour f and picture colour c (both 0xRRGGBB) mixed at level 1..7,
// from 1/8 of c up to all of c; each component stays within 0..255, so the
// packed sums never carry into a neighbour.
inline uint32_t blend(uint32_t f, uint32_t c, int32_t level)
{
    switch (level) {
    case 1: return f + eighth(c) - eighth(f);
    case 2: return quarter(f) + quarter(c) + half(f);
    case 3: return quarter(c) + eighth(f) + eighth(c) + half(f);
    case 4: return half(f) + half(c);
    case 5: return quarter(f) + eighth(f) + eighth(c) + half(c);
    case 6: return quarter(f) + quarter(c) + half(c);
    default: return c;
    }
}

// Source pixels per frame pixel for a magnification.
inline int32_t stepFor(Fixed scale) { return scale == kOne ? kOne : static_cast<int32_t>((1 << 30) / scale); }

// Number of steps from `start` until start + i * step reaches `limit` (step > 0).
inline int64_t stepsUntil(int64_t start, int64_t limit, int64_t step)
{
    return start >= limit ? 0 : (limit - start + step - 1) / step;
}

}  // namespace

int32_t Vpicture::draw(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top, int32_t right,
    int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity)
{
    if (scale <= 0) {
        return 1;
    }
    const int32_t width = m_width;
    const int32_t height = m_height;
    if (!frame || m_pixels.empty() || m_pixels.length() < pixelCount()) {
        return 0;
    }
    // Never write outside the frame, whatever the clip says.
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > stride ? stride : right;
    bottom = bottom > frameHeight ? frameHeight : bottom;
    if (left >= right || top >= bottom) {
        return 0;
    }
    const int32_t step = stepFor(scale);
    if (step <= 0) {
        return 0;
    }
    const Fixed sx0 = fmul(wrapSub(toFixed(left), placeX), step);
    Fixed sy = fmul(wrapSub(toFixed(top), placeY), step);
    // The frame columns whose source column lies inside the picture: a clip
    // wider than the placed picture never reads beside it.
    const int64_t firstStep = sx0 < 0 ? stepsUntil(sx0, 0, step) : 0;
    const int64_t endStep = stepsUntil(sx0, static_cast<int64_t>(width) << 15, step);
    const int32_t xa = static_cast<int32_t>(left + firstStep < right ? left + firstStep : right);
    const int32_t xb = static_cast<int32_t>(left + endStep < right ? left + endStep : right);
    if (xa >= xb) {
        return 0;
    }
    const int32_t sxa = static_cast<int32_t>(sx0 + (xa - left) * static_cast<int64_t>(step));
    const int32_t sxLimit = width << 15;
    const uint32_t depthWord = static_cast<uint32_t>(depth) << 24;
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(m_pixels.data());
    // Drawing level of each alpha code at this opacity; anything outside
    // 1..7 (opacity above ONE, or below it) draws nothing.
    int32_t levels[8];
    for (int32_t a = 0; a < 8; ++a) {
        int32_t level = opacity == kOne ? a : static_cast<int32_t>((static_cast<int64_t>(a) * opacity) >> 15);
        levels[a] = level >= 1 && level <= 7 ? level : 0;
    }
    int32_t hidden = 0;
    for (int32_t y = top; y < bottom; ++y) {
        const int32_t row = sy >> 15;
        sy = wrapAdd(sy, step);
        if (row < 0 || row >= height) {
            continue;
        }
        const uint32_t* src = pixels + row * width;
        uint32_t* dst = frame + static_cast<int64_t>(y) * stride;
        int32_t sx = sxa;
        int32_t x = xa;
        while (x < xb) {
            const uint32_t p = src[sx >> 15];
            sx += step;
            if (p < 0x20000000u) {
                if (p == 0) {
                    ++x;  // a single transparent pixel (all of them in 'r' pictures)
                    continue;
                }
                // A transparent run: jump over the rest of it at once.
                const int64_t k = (static_cast<int64_t>(p) * scale) >> 15;
                const int64_t nextSx = sx + k * step;
                if (nextSx >= sxLimit) {
                    break;
                }
                x += static_cast<int32_t>(k) + 1;
                sx = static_cast<int32_t>(nextSx);
                continue;
            }
            const uint32_t f = dst[x];
            if (f < depthWord) {
                ++hidden;  // the frame's depth byte is nearer than ours
                ++x;
                continue;
            }
            const int32_t level = levels[p >> 29];
            if (level == 7) {
                dst[x] = (p & 0xFFFFFF) | depthWord;
            } else if (level >= 1) {
                dst[x] = blend(f & 0xFFFFFF, p & 0xFFFFFF, level) | depthWord;
            }
            ++x;
        }
    }
    return hidden;
}

void Vpicture::drawShadow(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top,
    int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity)
{
    if (scale <= 0 || !frame || m_pixels.empty() || m_pixels.length() < pixelCount()) {
        return;
    }
    const int32_t width = m_width;
    const int32_t height = m_height;
    const int32_t step = stepFor(scale);
    if (step <= 0) {
        return;
    }
    const int32_t step2 = wrapAdd(step, step);
    Fixed sy = fmul(wrapSub(toFixed(top), placeY), step2);
    Fixed shear = wrapSub(toFixed(wrapSub(wrapAdd(left, placeY >> 15), top)), placeX);
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(m_pixels.data());
    const uint32_t depthWord = static_cast<uint32_t>(depth) << 24;
    // Rows and columns outside the frame are stepped over in one go (the
    // source positions advance as if they had been walked).
    const int32_t y0 = top < 0 ? 0 : top;
    const int32_t x0 = left < 0 ? 0 : left;
    const int32_t yEnd = bottom > frameHeight ? frameHeight : bottom;
    const int32_t xEnd = right > stride ? stride : right;
    if (y0 >= yEnd || x0 >= xEnd) {
        return;
    }
    sy = static_cast<Fixed>(
        static_cast<uint32_t>(sy) + static_cast<uint32_t>(wrapSub(y0, top)) * static_cast<uint32_t>(step2));
    shear = static_cast<Fixed>(static_cast<uint32_t>(shear) - (static_cast<uint32_t>(wrapSub(y0, top)) << 15));
    for (int32_t y = y0; y < yEnd; ++y) {
        const int32_t row = sy >> 15;
        sy = wrapAdd(sy, step2);
        int64_t sx = fmul(shear, step) + (static_cast<int64_t>(x0) - left) * step;
        shear = wrapSub(shear, kOne);
        if (row < 0 || row >= height) {
            continue;
        }
        const uint32_t* src = pixels + row * width;
        uint32_t* dst = frame + static_cast<int64_t>(y) * stride;
        for (int32_t x = x0; x < xEnd; ++x) {
            const int64_t column = sx >> 15;
            sx += step;
            if (column < 0) {
                continue;
            }
            if (column >= width) {
                break;
            }
            const uint32_t p = src[column];
            if (p >= 0x20000000u) {
                const uint32_t f = dst[x];
                // Only ground at the shadow's own depth (and just behind it) darkens.
                if ((f >> 24) - static_cast<uint32_t>(depth) < 4) {
                    const int32_t a = static_cast<int32_t>(p >> 29);
                    const int32_t level = opacity == kOne
                                              ? a
                                              : static_cast<int32_t>((static_cast<int64_t>(a) * opacity) >> 15);
                    uint32_t shade;
                    if (level < 3) {
                        shade = half(f) + quarter(f);
                    } else if (level < 5) {
                        shade = half(f);
                    } else {
                        shade = quarter(f);
                    }
                    dst[x] = shade | depthWord;
                }
            } else {
                // Skip count in the low 17 bits; a negative one would walk
                // backwards for ever, so it counts as none.
                int32_t k = static_cast<int32_t>(p << 15) >> 15;
                k = k < 0 ? 0 : k;
                x += k;
                sx += static_cast<int64_t>(k) * step;
            }
        }
    }
}

}  // namespace tarnby
