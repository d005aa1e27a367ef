// The course compiler: painted map -> labels -> traced chains -> hole file.
#include "golf-assets/course_compiler.h"

#include <map>

#include "golf-assets/boundary_tracer.h"
#include "golf-assets/course_painter.h"
#include "golf-assets/hole_colours.h"
#include "golf-assets/hole_file.h"
#include "runtime/files.h"

namespace tarnby::course {

bool compileCourseMap(const std::vector<uint8_t>& rgba, int32_t width, int32_t height, const std::string& outPath,
    std::string& error)
{
    std::vector<uint8_t> file;
    if (!compileCourseBytes(rgba, width, height, file, error)) {
        return false;
    }
    if (!writeWholeFile(outPath, file.data(), file.size())) {
        error = "cannot write " + outPath;
        return false;
    }
    return true;
}

bool compileCourseBytes(const std::vector<uint8_t>& rgba, int32_t width, int32_t height, std::vector<uint8_t>& file,
    std::string& error)
{
    if (width != kMapYards || height != kMapYards) {
        error = "the map must be 512 x 512 pixels (one pixel a yard), not " + std::to_string(width) + " x "
                + std::to_string(height);
        return false;
    }
    if (rgba.size() < static_cast<size_t>(width) * height * 4) {
        error = "the map has fewer pixels than its size says";
        return false;
    }
    std::map<uint32_t, int32_t> labels;
    LabelGrid grid(width, height);
    std::vector<uint32_t> colours;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            const uint32_t colour = (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
            auto found = labels.find(colour);
            if (found == labels.end()) {
                if (static_cast<int32_t>(colours.size()) == kMaxFillColours) {
                    error = "the map has more than 47 colours (the game reads at most 47 fills a hole file)";
                    return false;
                }
                found = labels.emplace(colour, static_cast<int32_t>(colours.size())).first;
                colours.push_back(colour);
            }
            grid.set(x, y, found->second);
        }
    }
    std::vector<Chain> chains = traceBoundaries(grid);
    // Under half a pixel, so every pixel centre stays on its painted side.
    simplifyChains(chains, 0.45);
    file = tracedShapeBytes(colours, chains, kMapYards, 1.0);
    return true;
}

}  // namespace tarnby::course
