// The course painter's shapes and bands: a hole file's holes, ponds and
// bunkers shaped from the plan, every cell painted, heights banded until the
// drawing fits the game's crossing and colour tables.
#include "golf-assets/painter.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "golf-assets/lattice_noise.h"

namespace tarnby::course::painting {

// Negative inside; roughly yards outside the edge.
double Blob::distance(Vec2 p) const
{
    const Vec2 d = sub(p, centre);
    const double bound = std::max(radiusX, radiusZ) * (1 + wobble2 + wobble3);
    const double far = d.x * d.x + d.z * d.z;
    if (far > (bound + 30) * (bound + 30)) {
        return std::sqrt(far) - bound;  // far away: a lower bound is enough
    }
    // Between 20 and 30 yards out the outline's distance hands over to
    // that bound smoothly: a jump would become a step in the banks.
    const double handOver = smoothstep(bound + 20, bound + 30, std::sqrt(far));
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const double u = (d.x * c + d.z * s) / radiusX;
    const double v = (-d.x * s + d.z * c) / radiusZ;
    const double rho = std::sqrt(u * u + v * v);
    const double angle = std::atan2(v, u);
    const double edge = 1 + wobble2 * std::sin(2 * angle + phase2) + wobble3 * std::sin(3 * angle + phase3);
    const double near = (rho - edge) * std::min(radiusX, radiusZ);
    return near + (std::sqrt(far) - bound - near) * handOver;
}

Painter::Painter(const CoursePlan& plan, const HoleFilePlan& file)
    : m_plan(plan), m_file(file), m_seed(file.seed * 7919u + static_cast<uint32_t>(plan.course) * 104729u)
{
    for (const auto& hole : file.holes) {
        m_holes.push_back(shapeHole(hole));
    }
    for (const auto& pond : file.ponds) {
        Blob blob;
        blob.centre = pond.centre;
        blob.radiusX = pond.radiusX;
        blob.radiusZ = pond.radiusZ;
        blob.turn = pond.turn * kPi / 180;
        blob.wobble2 = 0.08;
        blob.wobble3 = 0.06;
        blob.phase2 = pond.centre.x * 0.1;
        blob.phase3 = pond.centre.z * 0.1;
        m_ponds.push_back(blob);
    }
    // A tee's mound is raised further where the ground ahead rises, so
    // that the golfer looks over the first rise to where the drive lands.
    std::vector<double> lifts;
    for (auto& hole : m_holes) {
        lifts.push_back(hole.teeLift);
        hole.teeLift = 0;
    }
    for (size_t h = 0; h < m_holes.size(); ++h) {
        HoleShape& hole = m_holes[h];
        const double here = bankedHeight(hole.teeCentre);
        double rise = 0;
        // Every five yards from 20 to 150 (whole yards: exact as doubles).
        const double last = std::min(150.0, hole.totalLength - 20);
        for (int32_t yards = 20; yards <= last; yards += 5) {
            const double s = yards;
            Vec2 at;
            Vec2 along;
            pointAlong(hole, s, at, along);
            rise = std::max(rise, bankedHeight(at) - here - s * 0.02);
        }
        hole.teeLift = std::min(lifts[h] + rise, 40.0);
        // A tee right beside another hole's fairway stays low, or its
        // bank would tilt that fairway.
        for (const auto& other : m_holes) {
            double along = 0;
            if (&other != &hole
                && polylineDistance(other.path, hole.teeCentre, along) < other.plan->fairwayWidth * 0.5 + 30) {
                hole.teeLift = std::min(hole.teeLift, 4.0);
            }
        }
    }
    // Greens and tees sit flat at the level the ground has there.
    for (auto& hole : m_holes) {
        hole.greenLevel = static_cast<int32_t>(std::lround(std::max(bankedHeight(hole.plan->pin), waterFloor() + 3)));
        hole.teeLevel = static_cast<int32_t>(std::lround(std::max(bankedHeight(hole.teeCentre), waterFloor() + 3)));
    }
    for (size_t h = 0; h < m_holes.size(); ++h) {
        placeBunkers(m_holes[h], static_cast<uint32_t>(h));
    }
    for (const auto& bunker : file.bunkers) {
        BunkerShape shape;
        shape.blob.centre = bunker.centre;
        shape.blob.radiusX = bunker.radius;
        shape.blob.radiusZ = bunker.radius2 > 0 ? bunker.radius2 : bunker.radius;
        shape.blob.turn = bunker.turn * kPi / 180;
        shape.blob.wobble2 = 0.1;
        shape.blob.wobble3 = 0.08;
        shape.blob.phase2 = bunker.centre.z;
        shape.blob.phase3 = bunker.centre.x;
        m_bunkers.push_back(shape);
    }
    for (auto& bunker : m_bunkers) {
        bunker.level = static_cast<int32_t>(std::lround(std::max(height(bunker.blob.centre), waterFloor() + 3)))
                       - bunker.depth;
    }
}

HoleDrawing Painter::paint()
{
    // Slowly varying fields are sampled once a yard and interpolated.
    constexpr int32_t kLattice = kMapYards + 1;
    m_lattice.assign(static_cast<size_t>(kLattice) * kLattice, {});
    for (int32_t z = 0; z < kLattice; ++z) {
        for (int32_t x = 0; x < kLattice; ++x) {
            const Vec2 p { static_cast<double>(x), static_cast<double>(z) };
            Slow& slow = m_lattice[static_cast<size_t>(z) * kLattice + x];
            slow.height = height(p);
            slow.play = playDistance(p);
            // Broad patches: small islands of woods or heather would cost
            // crossings on every row they span.
            slow.heath = (valueNoise(p.x / 70.0, p.z / 70.0, m_seed + 23)
                             + 0.4 * valueNoise(p.x / 34.0, p.z / 34.0, m_seed + 24))
                         / 1.1;
            slow.waste = valueNoise(p.x / 38.0, p.z / 38.0, m_seed + 29);
            slow.edge = valueNoise(p.x / 19.0, p.z / 19.0, m_seed + 37);
            slow.wobble = valueNoise(p.x / 23.0, p.z / 23.0, m_seed + 41);
            slow.meander = valueNoise(p.x / 11.0, p.z / 11.0, m_seed + 43);
            const double ridge = 1 - std::fabs(valueNoise(p.x / 44.0, p.z / 37.0, m_seed + 7));
            slow.dune = ridge * ridge;
        }
    }
    std::vector<Cell> cells(static_cast<size_t>(kGridCells) * kGridCells);
    for (int32_t j = 0; j < kGridCells; ++j) {
        for (int32_t i = 0; i < kGridCells; ++i) {
            const Vec2 p { (i + 0.5) * kCell, (j + 0.5) * kCell };
            cells[static_cast<size_t>(j) * kGridCells + i] = paintCell(p, slowAt(p));
        }
    }
    // Wider height bands until the drawing fits the game's crossing table
    // (each change of fill along a drawing row is one crossing).
    HoleDrawing drawing;
    for (int32_t coarser = 0; coarser < 24; ++coarser) {
        drawing = quantise(cells, coarser);
        if (estimateCrossings(drawing.grid) <= kCrossingBudget) {
            break;
        }
    }
    return drawing;
}

int32_t Painter::estimateCrossings(const LabelGrid& grid)
{
    int32_t crossings = 0;
    for (int32_t j = 0; j < grid.height(); j += kCellsPerYard) {
        int32_t last = kOutside;
        for (int32_t i = 0; i < grid.width(); ++i) {
            const int32_t label = grid.at(i, j);
            crossings += label != last;
            last = label;
        }
        crossings += last != kOutside;
    }
    return crossings;
}

HoleShape Painter::shapeHole(const HolePlan& hole)
{
    HoleShape shape;
    shape.plan = &hole;
    shape.path.push_back(hole.tee);
    if (length(sub(hole.aim, hole.pin)) > 0.5) {
        shape.path.push_back(hole.aim);
    }
    shape.path.push_back(hole.pin);
    for (size_t k = 0; k + 1 < shape.path.size(); ++k) {
        shape.totalLength += length(sub(shape.path[k + 1], shape.path[k]));
    }
    const uint32_t seed = m_seed + static_cast<uint32_t>(hole.number) * 131u;
    // Par 4s and 5s have a short carry over rough from the tee to a
    // fairway that runs on to the green (its rounded start reaches about
    // twelve yards further back); par 3s have an approach in front of the
    // green.
    shape.fairwayStart = hole.par >= 4 ? 53 + 8 * std::fabs(latticeValue(hole.number, 15, seed))
                                       : std::max(60.0, shape.totalLength * 0.45);
    // Greens of different sizes and outlines: round, long, kidney-like.
    const double size = 0.9 + 0.4 * std::fabs(latticeValue(hole.number, 17, seed));
    shape.green.radiusX = std::max(8.0, hole.greenRadius) * size;
    shape.green.radiusZ = shape.green.radiusX * (0.7 + 0.3 * std::fabs(latticeValue(hole.number, 3, seed)));
    shape.green.turn = (latticeValue(hole.number, 5, seed) + 1) * kPi;
    shape.green.wobble2 = 0.06 + 0.1 * std::fabs(latticeValue(hole.number, 19, seed));
    shape.green.wobble3 = 0.04 + 0.08 * std::fabs(latticeValue(hole.number, 21, seed));
    shape.green.phase2 = latticeValue(hole.number, 7, seed) * kPi;
    shape.green.phase3 = latticeValue(hole.number, 9, seed) * kPi;
    const Vec2 shift { latticeValue(hole.number, 11, seed), latticeValue(hole.number, 13, seed) };
    shape.green.centre = add(hole.pin, scale(shift, 0.9));
    // Grow the green until it holds the pin with room to spare on every side.
    for (int grow = 0; grow < 40; ++grow) {
        double worst = -1e30;
        for (int a = 0; a < 72; ++a) {
            const double angle = a * kPi / 36;
            worst = std::max(worst,
                shape.green.distance(add(hole.pin, { 6.2 * std::cos(angle), 6.2 * std::sin(angle) })));
        }
        if (worst < 0) {
            break;
        }
        shape.green.radiusX *= 1.04;
        shape.green.radiusZ *= 1.04;
    }
    shape.teeAlong = unit(sub(shape.path[1], hole.tee));
    shape.teeCentre = sub(hole.tee, scale(shape.teeAlong, 3.0));
    // Tees stand on mounds, par 3 tees the highest, so the hole lies open
    // below the golfer. Most greens sit up on a shelf; some lie in a
    // hollow that is open to the front.
    shape.teeLift = (hole.par == 3 ? 20 : 16) + 5 * std::fabs(latticeValue(hole.number, 23, seed));
    const double lift = latticeValue(hole.number, 25, seed);
    shape.greenLift = lift > -0.35 ? 10 + 6 * std::fabs(lift) : -(11 + 4 * std::fabs(lift));
    if (shape.path.size() == 3) {
        const Vec2 first = sub(shape.path[1], shape.path[0]);
        const Vec2 second = sub(shape.path[2], shape.path[1]);
        const double cross = first.x * second.z - first.z * second.x;
        const double sine = cross / std::max(1e-9, length(first) * length(second));
        shape.turn = std::fabs(sine) > 0.12 ? (sine > 0 ? 1 : -1) : 0;
    }
    Vec2 startDirection;
    pointAlong(shape, shape.fairwayStart, shape.fairwayStartPoint, startDirection);
    shape.fairwayStartHalf = fairwayHalfWidth(shape, shape.fairwayStart);
    shape.boxMin = { 1e30, 1e30 };
    shape.boxMax = { -1e30, -1e30 };
    for (const Vec2& point : shape.path) {
        shape.boxMin = { std::min(shape.boxMin.x, point.x - 30), std::min(shape.boxMin.z, point.z - 30) };
        shape.boxMax = { std::max(shape.boxMax.x, point.x + 30), std::max(shape.boxMax.z, point.z + 30) };
    }
    return shape;
}

void Painter::pointAlong(const HoleShape& hole, double s, Vec2& at, Vec2& along)
{
    double run = 0;
    for (size_t k = 0; k + 1 < hole.path.size(); ++k) {
        const Vec2 e = sub(hole.path[k + 1], hole.path[k]);
        const double l = length(e);
        if (s <= run + l || k + 2 == hole.path.size()) {
            const double t = l > 0 ? std::clamp((s - run) / l, 0.0, 1.0) : 0;
            at = add(hole.path[k], scale(e, t));
            along = unit(e);
            return;
        }
        run += l;
    }
    at = hole.path.front();
    along = hole.teeAlong;
}

double Painter::fairwayHalfWidth(const HoleShape& hole, double s) const
{
    const double width = hole.plan->fairwayWidth * (1 + 0.1 * valueNoise(s / 55.0, hole.plan->number, m_seed + 3));
    const double nearGreen = smoothstep(hole.totalLength - 20, hole.totalLength - 60, s);
    // Widest where drives come down, so the landing area shows from the tee.
    const double landing = smoothstep(40, 90, s) * smoothstep(300, 240, s);
    return std::clamp(width * (0.82 + 0.18 * nearGreen + 0.14 * landing), 25.0, 48.0) * 0.5;
}

HoleDrawing Painter::quantise(const std::vector<Cell>& cells, int32_t coarser) const
{
    // Fixed-level ground (greens, tees, water, bunkers) keeps its levels;
    // rolling ground is banded, with wider bands where the colours would
    // not otherwise fit in the file.
    // Banding never takes land down to the water's level.
    const auto landFloor = static_cast<int32_t>(std::lround(waterFloor())) + 1;
    // Rough and woods take the coarse bands first (woods the coarsest):
    // the smoothing hides their steps, while fairway steps would show as
    // slopes too steep to play on.
    // clang-format off
    int32_t step[kGroundKinds] = { std::min(1 + coarser, 6), 1 + 2 * coarser, std::min(1 + coarser / 2, 3), 1, 1, 2, 1 };
    // clang-format on
    auto levelFor = [&](const Cell& cell) {
        const int32_t s = step[static_cast<int32_t>(cell.ground)];
        const auto level = static_cast<int32_t>(std::floor(cell.height / s + 0.5)) * s;
        return std::clamp(level, cell.ground == Ground::Water ? 1 : landFloor, 255);
    };
    std::map<std::pair<int32_t, int32_t>, int32_t> labelOf;
    // Count levels on sixteenth-level bins of the heights (both ends of each
    // bin), which can only overestimate the colours the cells will need.
    constexpr int32_t kBins = 256 * 16;
    std::vector<bool> bins(static_cast<size_t>(kGroundKinds) * kBins, false);
    for (const Cell& cell : cells) {
        const auto bin = std::clamp(static_cast<int32_t>(std::floor(cell.height * 16)), 0, kBins - 1);
        bins[static_cast<size_t>(cell.ground) * kBins + bin] = true;
    }
    auto levelOfHeight = [&](int32_t ground, double height) {
        const int32_t s = step[ground];
        return std::clamp(static_cast<int32_t>(std::floor(height / s + 0.5)) * s,
            ground == static_cast<int32_t>(Ground::Water) ? 1 : landFloor, 255);
    };
    for (int round = 0; round < 64; ++round) {
        std::vector<bool> seen(kGroundKinds * 256, false);
        for (int32_t g = 0; g < kGroundKinds; ++g) {
            for (int32_t bin = 0; bin < kBins; ++bin) {
                if (bins[static_cast<size_t>(g) * kBins + bin]) {
                    seen[g * 256 + levelOfHeight(g, bin / 16.0)] = true;
                    seen[g * 256 + levelOfHeight(g, (bin + 1) / 16.0 - 1e-9)] = true;
                }
            }
        }
        int32_t counts[kGroundKinds] = {};
        int32_t total = 0;
        for (int32_t k = 0; k < kGroundKinds * 256; ++k) {
            counts[k / 256] += seen[k] ? 1 : 0;
            total += seen[k] ? 1 : 0;
        }
        if (total <= kMaxFillColours) {
            break;
        }
        const Ground banded[4] = { Ground::Rough, Ground::Heath, Ground::Fairway, Ground::Sand };
        Ground widest = Ground::Rough;
        auto weight = [&](Ground g) {
            const int32_t n = counts[static_cast<int32_t>(g)];
            // Woods and heather keep their distance from fairways and
            // greens, so their bands widen first; the rough meeting the
            // fairway's edge keeps the finer steps.
            if (g == Ground::Rough && step[static_cast<int32_t>(g)] >= 6) {
                return 0;  // rough meets the fairway: its steps stay small
            }
            return g == Ground::Fairway ? (step[static_cast<int32_t>(g)] >= 3 ? 0 : n / 2)
                   : g == Ground::Heath ? 2 * n
                                        : n;
        };
        for (Ground g : banded) {
            if (weight(g) > weight(widest)) {
                widest = g;
            }
        }
        step[static_cast<int32_t>(widest)] += 1;
    }
    {
        std::vector<bool> seen(kGroundKinds * 256, false);
        for (const Cell& cell : cells) {
            seen[static_cast<size_t>(cell.ground) * 256 + levelFor(cell)] = true;
        }
        for (int32_t k = 0; k < kGroundKinds * 256; ++k) {
            if (seen[k]) {
                const auto next = static_cast<int32_t>(labelOf.size());
                labelOf[{ k / 256, k % 256 }] = next;
            }
        }
    }
    HoleDrawing drawing;
    drawing.grid = LabelGrid(kGridCells, kGridCells);
    drawing.colours.resize(labelOf.size());
    std::vector<bool> keep(labelOf.size(), false);
    for (const auto& [key, label] : labelOf) {
        drawing.colours[label] = groundColour(static_cast<Ground>(key.first), key.second);
        keep[label] = key.first == static_cast<int32_t>(Ground::Green)
                      || key.first == static_cast<int32_t>(Ground::Tee);
    }
    for (int32_t j = 0; j < kGridCells; ++j) {
        for (int32_t i = 0; i < kGridCells; ++i) {
            const Cell& cell = cells[static_cast<size_t>(j) * kGridCells + i];
            drawing.grid.set(i, j, labelOf[{ static_cast<int32_t>(cell.ground), levelFor(cell) }]);
        }
    }
    drawing.grid.removeSpecks(24, keep);
    drawing.grid.removeSpecks(24, keep);
    // Rough and woods patches smaller than about forty square yards are
    // merged away too: each would cost the drawing crossings on every row
    // it spans for little to see. Fairway bands stay as they are, since a
    // merged band would leave a step in the fairway.
    std::vector<bool> keepAllButRough(labelOf.size(), true);
    for (const auto& [key, label] : labelOf) {
        keepAllButRough[label] = key.first != static_cast<int32_t>(Ground::Rough)
                                 && key.first != static_cast<int32_t>(Ground::Heath);
    }
    drawing.grid.removeSpecks(160, keepAllButRough);
    return drawing;
}

}  // namespace tarnby::course::painting
