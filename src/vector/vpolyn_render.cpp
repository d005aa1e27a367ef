// Drawing a polygon sprite: solid spans between crossings, anti-aliased edges.
#include "vector/vpolyn.h"

namespace tarnby {

namespace {

// Mixes a into b by weight (of a, 0..ONE) per channel; the result is opaque.
uint32_t blend(uint32_t a, uint32_t b, int32_t weight)
{
    if (weight < 0) {
        weight = 0;
    } else if (weight > kOne) {
        weight = kOne;
    }
    uint32_t out = 0xFF000000u;
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        int32_t ca = static_cast<int32_t>((a >> shift) & 0xFF);
        int32_t cb = static_cast<int32_t>((b >> shift) & 0xFF);
        int32_t c = cb + (((ca - cb) * weight) >> 15);
        out |= static_cast<uint32_t>(c & 0xFF) << shift;
    }
    return out;
}

}  // namespace

void Vpolyn::render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
    int32_t clipB)
{
    (void)frameHeight;
    Fixed scale = m_drawScale;
    if (scale <= 0 || m_rowCount == 0 || m_colours.empty()) {
        return;  // nothing to draw at no size
    }
    // Source pixels per screen pixel; 64-bit positions so that a tiny scale
    // cannot overflow them.
    int64_t inv = scale == kOne ? kOne : 0x40000000 / scale;
    int64_t srcY = static_cast<int64_t>(clipT - m_top) * inv;
    const int32_t* colours = m_colours.data();
    const int32_t* words = m_crossings.data();
    for (int32_t y = clipT; y < clipB; ++y, srcY += inv) {
        int64_t row = srcY >> 15;
        if (row < 0 || row >= m_rowCount) {
            continue;
        }
        uint32_t* pixels = frame + static_cast<int64_t>(y) * stride;
        uint32_t cur = static_cast<uint32_t>(colours[0]);
        int32_t x = clipL;
        int64_t srcX = static_cast<int64_t>(clipL - m_left) * inv;
        int32_t end = rowEnd(static_cast<int32_t>(row));
        for (int32_t c = m_rowStart[static_cast<int32_t>(row)]; c < end && x < clipR; ++c) {
            int32_t word = words[c];
            int32_t lo = crossingX(word) << 11;
            int32_t w = crossingDx(word) * 2048;
            int32_t hi = lo + w;
            if (hi < lo) {
                int32_t t = lo;
                lo = hi;
                hi = t;
                w = -w;
            }
            // Solid run up to the source pixel the crossing starts in.
            int32_t loPixel = lo & ~0x7FFF;
            while (x < clipR && srcX < loPixel) {
                if (cur != 0) {
                    pixels[x] = cur;
                }
                srcX += inv;
                ++x;
            }
            int32_t fill = crossingFill(word);
            uint32_t next = fill < m_colours.length() ? static_cast<uint32_t>(colours[fill]) : 0;
            // Edge pixels: the left colour's share of the source pixel.
            while (x < clipR && srcX < hi) {
                int32_t weight;
                int32_t firstEnd = loPixel + kOne;
                if (hi <= firstEnd) {
                    weight = (lo & 0x7FFF) + (w >> 1);
                } else if (srcX < firstEnd) {
                    int32_t e = firstEnd - lo;
                    weight = kOne - ((e * e) / w >> 1);
                } else if (srcX < (hi & ~0x7FFF)) {
                    weight = kOne - fdiv(static_cast<int32_t>(srcX & ~0x7FFF) - lo + 0x4000, w);
                } else {
                    int32_t f = hi & 0x7FFF;
                    weight = (f * f) / w >> 1;
                }
                uint32_t here = pixels[x];
                uint32_t a = cur != 0 ? cur : here;
                uint32_t b = next != 0 ? next : here;
                pixels[x] = a == b ? b : blend(a, b, weight);
                srcX += inv;
                ++x;
            }
            cur = next;
        }
        if (cur != 0) {
            while (x < clipR) {
                pixels[x++] = cur;
            }
        }
    }
}

}  // namespace tarnby
