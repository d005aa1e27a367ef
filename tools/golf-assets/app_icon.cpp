// Drawing the desktop icon pixel by pixel (smooth edges by 4 x 4 supersampling).
#include "golf-assets/app_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/headless/png_writer.h"

namespace tarnby::art {

namespace {

struct Colour {
    double r, g, b, a;
};

// The icon's colour at a point of the 128 x 128 square.
Colour iconAt(double x, double y)
{
    // A rounded square; outside it, transparent.
    const double inset = 4;
    const double radius = 22;
    const double cx = std::clamp(x, inset + radius, 128 - inset - radius);
    const double cy = std::clamp(y, inset + radius, 128 - inset - radius);
    if (std::hypot(x - cx, y - cy) > radius) {
        return { 0, 0, 0, 0 };
    }
    // The ball, low on the right.
    if (std::hypot(x - 88, y - 100) < 9) {
        const double shade = 1 - 0.25 * std::clamp((x - 82 + y - 94) / 20, 0.0, 1.0);
        return { shade, shade, shade, 1 };
    }
    // The flag and its pole.
    if (x >= 56 && x <= 59 && y >= 24 && y <= 92) {
        return { 0.92, 0.92, 0.88, 1 };
    }
    if (x > 59 && y >= 24 && y <= 50 && (x - 59) < 36 * (1 - std::fabs(y - 37) / 13)) {
        return { 0.86, 0.12, 0.14, 1 };
    }
    // The hole at the pole's foot.
    if (std::hypot((x - 57.5) / 11, (y - 93) / 4) < 1) {
        return { 0.05, 0.12, 0.05, 1 };
    }
    // Green below a gently curved horizon, sky above it.
    const double horizon = 76 + 0.002 * (x - 64) * (x - 64);
    if (y > horizon) {
        const double t = (y - horizon) / (128 - horizon);
        return { 0.20 - 0.08 * t, 0.66 - 0.18 * t, 0.22 - 0.08 * t, 1 };
    }
    const double t = y / horizon;
    return { 0.00 + 0.45 * t, 0.35 + 0.45 * t, 0.58 + 0.35 * t, 1 };
}

}  // namespace

bool writeAppIcon(const std::string& path)
{
    constexpr int32_t kSize = 128;
    constexpr int32_t kSub = 4;
    std::vector<uint8_t> rgba(static_cast<size_t>(kSize * kSize) * 4);
    for (int32_t y = 0; y < kSize; ++y) {
        for (int32_t x = 0; x < kSize; ++x) {
            double r = 0;
            double g = 0;
            double b = 0;
            double a = 0;
            for (int32_t sy = 0; sy < kSub; ++sy) {
                for (int32_t sx = 0; sx < kSub; ++sx) {
                    const Colour c = iconAt(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            uint8_t* p = &rgba[static_cast<size_t>(y * kSize + x) * 4];
            // Colours are stored unpremultiplied.
            p[0] = static_cast<uint8_t>(a > 0 ? std::lround(255 * r / a) : 0);
            p[1] = static_cast<uint8_t>(a > 0 ? std::lround(255 * g / a) : 0);
            p[2] = static_cast<uint8_t>(a > 0 ? std::lround(255 * b / a) : 0);
            p[3] = static_cast<uint8_t>(std::lround(255 * a / (kSub * kSub)));
        }
    }
    return writeRgbaPng(path, rgba.data(), kSize, kSize);
}

}  // namespace tarnby::art
