// Sprite drawing: picture or fill, the vertical gradient, child clipping.
//
// Frame words are 0xDDRRGGBB with DD a depth byte (0 nearest, 255 farthest).
// Pictures only draw where the depth already there is not nearer than their
// own, and leave their depth behind. Fills write their alpha byte as depth when
// opaque (255: anything may draw over them) and 0 when translucent.
#include <cstddef>
#include <cstring>

#include "sprite/vsprite.h"

namespace tarnby {

void Vsprite::render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
    int32_t clipB)
{
    if (m_frame != kNoFrame) {
        if (m_pictures) {
            m_pictures->drawPicture(m_frame, frame, stride, frameHeight, clipL, clipT, clipR, clipB, m_originX,
                m_originY, m_drawScale, m_depth >> 15, m_opacity);
        }
    } else if (m_colour2 == 0) {
        fillRect(frame, stride, frameHeight, clipL, clipT, clipR, clipB, m_colour);
    } else if (m_height > 0) {
        // Vertical gradient, one fill per row. A sprite of no height has no
        // rows to spread the colours over and draws nothing.
        int32_t step = 32768 / m_height;
        for (int32_t y = clipT; y < clipB; ++y) {
            uint32_t colour = m_colour;
            if (m_colour != m_colour2) {
                int32_t t = (y - m_top) * step;
                colour = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    int32_t c1 = static_cast<int32_t>((m_colour >> shift) & 0xFF);
                    int32_t c2 = static_cast<int32_t>((m_colour2 >> shift) & 0xFF);
                    int32_t c = c1 + (((c2 - c1) * t) >> 15);
                    colour |= static_cast<uint32_t>(c & 0xFF) << shift;
                }
            }
            fillRect(frame, stride, frameHeight, clipL, y, clipR, y + 1, colour);
        }
    }

    // Children cover their parent. One wholly outside the clip is skipped with
    // its subtree; group nodes have no bounds and get the parent's clip.
    for (Vsprite* c = m_child.get(); c; c = c->m_next.get()) {
        if (c->m_width == 0) {
            c->render(frame, stride, frameHeight, clipL, clipT, clipR, clipB);
            continue;
        }
        int32_t l = c->m_left > clipL ? c->m_left : clipL;
        int32_t t = c->m_top > clipT ? c->m_top : clipT;
        int32_t r = c->m_right < clipR ? c->m_right : clipR;
        int32_t b = c->m_bottom < clipB ? c->m_bottom : clipB;
        if (l < r && t < b) {
            c->render(frame, stride, frameHeight, l, t, r, b);
        }
    }
}

void Vsprite::fillRect(uint32_t* frame, int32_t stride, int32_t, int32_t l, int32_t t, int32_t r, int32_t b,
    uint32_t colour)
{
    uint32_t a = colour >> 24;
    if (a == 0 || l >= r || t >= b) {
        return;
    }
    const int32_t width = r - l;
    uint32_t* row = frame + static_cast<ptrdiff_t>(t) * stride + l;

    if (a == 255) {
        // One row by hand, the rest as block copies of it.
        for (int32_t x = 0; x < width; ++x) {
            row[x] = colour;
        }
        const size_t bytes = static_cast<size_t>(width) * sizeof(uint32_t);
        for (uint32_t* dst = row + stride; --b > t; dst += stride) {
            std::memcpy(dst, row, bytes);
        }
        return;
    }

    if (a == 128) {
        // Half and half: one shift and mask per pixel, no multiplications.
        const uint32_t half = (colour >> 1) & 0x7F7F7F;
        for (int32_t y = t; y < b; ++y, row += stride) {
            for (int32_t x = 0; x < width; ++x) {
                row[x] = ((row[x] >> 1) & 0x7F7F7F) + half;
            }
        }
        return;
    }

    // General alpha: each byte weighed separately, both products cut to 8 bits.
    const uint32_t keep = 255 - a;
    const uint32_t sr = ((colour >> 16) & 0xFF) * a >> 8;
    const uint32_t sg = ((colour >> 8) & 0xFF) * a >> 8;
    const uint32_t sb = (colour & 0xFF) * a >> 8;
    for (int32_t y = t; y < b; ++y, row += stride) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p = row[x];
            uint32_t red = (((p >> 16) & 0xFF) * keep >> 8) + sr;
            uint32_t green = (((p >> 8) & 0xFF) * keep >> 8) + sg;
            uint32_t blue = ((p & 0xFF) * keep >> 8) + sb;
            row[x] = (red << 16) | (green << 8) | blue;
        }
    }
}

}  // namespace tarnby
