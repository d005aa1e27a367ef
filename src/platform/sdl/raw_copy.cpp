// The frame into a raw 5-6-5 screen, in any of its three orientations.
#include "platform/sdl/raw_copy.h"

#include <cstring>

namespace tarnby {

void rawCopy(const uint32_t* frame, int32_t frameWidth, int32_t frameHeight, int32_t left, int32_t top, int32_t right,
    int32_t bottom, int32_t windowTop, ScreenTurn turn, const RawScreen& screen)
{
    left = left > 0 ? left : 0;
    top = top > 0 ? top : 0;
    right = right < frameWidth ? right : frameWidth;
    const int32_t lastRow = bottom < frameHeight ? bottom : frameHeight;
    if (frame == nullptr || screen.pixels == nullptr || left >= right || top >= lastRow) {
        return;
    }
    for (int32_t y = top; y < lastRow; ++y) {
        const uint32_t* source = frame + static_cast<int64_t>(y) * frameWidth;
        const int32_t screenRow = y + windowTop;
        for (int32_t x = left; x < right; ++x) {
            // Where frame pixel (x, y) lies in the screen's own orientation.
            int32_t column;
            int32_t row;
            switch (turn) {
            case ScreenTurn::Same:
                column = x;
                row = screenRow;
                break;
            case ScreenTurn::Quarter:
                column = screenRow;
                row = screen.heightPixels - 1 - x;
                break;
            default:
                column = screen.widthPixels - 1 - screenRow;
                row = x;
                break;
            }
            if (column < 0 || column >= screen.widthPixels || row < 0 || row >= screen.heightPixels) {
                continue;
            }
            const int64_t offset = static_cast<int64_t>(row) * screen.yStride
                                   + static_cast<int64_t>(column) * screen.xStride;
            const uint16_t pixel = rgb565(source[x]);
            // The screen's strides need not keep 16-bit alignment.
            std::memcpy(screen.pixels + offset, &pixel, sizeof pixel);
        }
    }
}

}  // namespace tarnby
