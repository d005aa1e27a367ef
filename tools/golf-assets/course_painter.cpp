// Course painting: holes, hazards and rolling ground on a half-yard grid.
// The painting itself is the Painter's (painter.h); here are the entries and
// the checks of a finished drawing.
#include "golf-assets/course_painter.h"

#include <algorithm>
#include <cmath>

#include "golf-assets/painter.h"

namespace tarnby::course {

using painting::kPi;

namespace {

Ground groundAt(const HoleDrawing& drawing, Vec2 p)
{
    const auto i = static_cast<int32_t>(std::floor(p.x * kCellsPerYard));
    const auto j = static_cast<int32_t>(std::floor(p.z * kCellsPerYard));
    const int32_t label = drawing.grid.at(i, j);
    if (label < 0) {
        return Ground::Rough;
    }
    return groundOf(drawing.colours[label]);
}

}  // namespace

HoleDrawing paintHoleFile(const CoursePlan& plan, size_t fileIndex)
{
    painting::Painter painter(plan, plan.files.at(fileIndex));
    HoleDrawing drawing = painter.paint();
    drawing.problems = checkHoles(drawing, plan.files[fileIndex], 5.0);
    return drawing;
}

std::vector<std::string> checkHoles(const HoleDrawing& drawing, const HoleFilePlan& file, double margin)
{
    std::vector<std::string> problems;
    for (const auto& hole : file.holes) {
        const std::string name = file.name + " hole " + std::to_string(hole.number) + ": ";
        if (groundAt(drawing, hole.tee) != Ground::Tee) {
            problems.push_back(name + "tee not on tee ground");
        }
        for (int a = 0; a < 64; ++a) {
            const double angle = a * kPi / 32;
            for (int step = 0; step * 0.5 <= margin; ++step) {
                const double r = step * 0.5;
                const Vec2 p { hole.pin.x + r * std::cos(angle), hole.pin.z + r * std::sin(angle) };
                if (groundAt(drawing, p) != Ground::Green) {
                    problems.push_back(name + "less than the margin of green round the pin");
                    a = 64;
                    break;
                }
            }
        }
        const Ground aim = groundAt(drawing, hole.aim);
        if (aim != Ground::Fairway && aim != Ground::Green) {
            problems.push_back(name + "aim point off the fairway");
        }
        const Vec2 line = sub(hole.aim, hole.tee);
        const double reach = std::min(100.0, length(line));
        for (int step = 0; step * 0.5 <= reach; ++step) {
            const Vec2 p = add(hole.tee, scale(unit(line), step * 0.5));
            if (groundAt(drawing, p) == Ground::Water) {
                problems.push_back(name + "water on the line of play near the tee");
                break;
            }
        }
    }
    return problems;
}

std::vector<Chain> traceDrawing(const HoleDrawing& drawing, TraceStats* stats)
{
    std::vector<Chain> chains = traceBoundaries(drawing.grid);
    const TraceStats result = simplifyChains(chains, 0.85);
    if (stats != nullptr) {
        *stats = result;
    }
    return chains;
}

}  // namespace tarnby::course
