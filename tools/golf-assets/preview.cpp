// Quick look at a painted hole file: ground colours, hill shading, markers.
#include "golf-assets/preview.h"

#include <algorithm>
#include <vector>

#include "golf-assets/hole_colours.h"
#include "platform/headless/png_writer.h"

namespace tarnby::course {

bool writeDrawingPreview(const HoleDrawing& drawing, const HoleFilePlan& file, const std::string& path)
{
    static const uint32_t kLook[kGroundKinds] = { 0x3A7A30, 0x6A5A3A, 0x5CB848, 0x7FE070, 0xB04040, 0xE8D8A0,
        0x3060C0 };
    const int32_t n = kMapYards;
    std::vector<int32_t> levels(static_cast<size_t>(n) * n);
    for (int32_t z = 0; z < n; ++z) {
        for (int32_t x = 0; x < n; ++x) {
            const int32_t label = drawing.grid.at(x * kCellsPerYard, z * kCellsPerYard);
            levels[static_cast<size_t>(z) * n + x] = levelOf(drawing.colours[label]);
        }
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(n) * n * 4);
    for (int32_t z = 0; z < n; ++z) {
        for (int32_t x = 0; x < n; ++x) {
            const int32_t label = drawing.grid.at(x * kCellsPerYard, z * kCellsPerYard);
            const uint32_t look = kLook[static_cast<int32_t>(groundOf(drawing.colours[label]))];
            const int32_t here = levels[static_cast<size_t>(z) * n + x];
            const int32_t there = levels[static_cast<size_t>(std::min(z + 1, n - 1)) * n + std::min(x + 1, n - 1)];
            const int32_t shade = std::clamp((here - there) * 24, -80, 80);
            uint8_t* px = &rgba[(static_cast<size_t>(z) * n + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const int32_t v = static_cast<int32_t>((look >> (16 - 8 * c)) & 0xFF);
                px[c] = static_cast<uint8_t>(std::clamp(v + shade, 0, 255));
            }
            px[3] = 255;
        }
    }
    auto mark = [&](Vec2 p, uint32_t colour) {
        for (int32_t dz = -2; dz <= 2; ++dz) {
            for (int32_t dx = -2; dx <= 2; ++dx) {
                const auto x = static_cast<int32_t>(p.x) + dx;
                const auto z = static_cast<int32_t>(p.z) + dz;
                if (x >= 0 && z >= 0 && x < n && z < n && (dx == 0 || dz == 0)) {
                    uint8_t* px = &rgba[(static_cast<size_t>(z) * n + x) * 4];
                    px[0] = static_cast<uint8_t>(colour >> 16);
                    px[1] = static_cast<uint8_t>(colour >> 8);
                    px[2] = static_cast<uint8_t>(colour);
                }
            }
        }
    };
    for (const auto& hole : file.holes) {
        mark(hole.tee, 0xFFFFFF);
        mark(hole.aim, 0xFF00FF);
        mark(hole.pin, 0xFF0000);
    }
    return writeRgbaPng(path, rgba.data(), n, n);
}

}  // namespace tarnby::course
