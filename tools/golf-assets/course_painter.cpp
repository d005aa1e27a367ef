// Course painting: holes, hazards and rolling ground on a half-yard grid.
#include "golf-assets/course_painter.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "golf-assets/hole_colours.h"
#include "golf-assets/lattice_noise.h"
#include "golf-assets/plane_vectors.h"
#include "golf/hole_setup.h"

namespace tarnby::course {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCell = 1.0 / kCellsPerYard;
// The game's crossing table, less a margin for where the traced drawing differs from the estimate.
constexpr int32_t kCrossingBudget = kHoleEdgeCapacity - 300;

// A bunker, pond or green outline: an ellipse whose radius wobbles with angle.
struct Blob {
    Vec2 centre;
    double radiusX = 1;
    double radiusZ = 1;
    double turn = 0;  // radians
    double wobble2 = 0;
    double wobble3 = 0;
    double phase2 = 0;
    double phase3 = 0;

    // Negative inside; roughly yards outside the edge.
    double distance(Vec2 p) const
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
};

struct HoleShape {
    const HolePlan* plan = nullptr;
    std::vector<Vec2> path;  // tee, (aim), pin
    double totalLength = 0;
    double fairwayStart = 0;
    Vec2 fairwayStartPoint;
    double fairwayStartHalf = 0;
    Vec2 boxMin;  // the fairway lies inside this box
    Vec2 boxMax;
    Blob green;
    Vec2 teeCentre;
    Vec2 teeAlong;  // unit vector of play from the tee
    int32_t greenLevel = 0;
    int32_t teeLevel = 0;
    double teeLift = 0;    // the tee's mound, eighths of a yard
    double greenLift = 0;  // the green's shelf (+) or the rim of its hollow (-)
    double turn = 0;       // the dogleg's bend: + to the player's right, - left, 0 straight
};

struct BunkerShape {
    Blob blob;
    int32_t level = 0;
    int32_t depth = 2;  // below the ground round it, eighths of a yard
};

struct Cell {
    Ground ground = Ground::Rough;
    double height = 0;
};

class Painter {
public:
    Painter(const CoursePlan& plan, const HoleFilePlan& file)
        : m_plan(plan)
        , m_file(file)
        , m_seed(file.seed * 7919u + static_cast<uint32_t>(plan.course) * 104729u)
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
            for (double s = 20; s <= std::min(150.0, hole.totalLength - 20); s += 5) {
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
            hole.teeLevel
                = static_cast<int32_t>(std::lround(std::max(bankedHeight(hole.teeCentre), waterFloor() + 3)));
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

    HoleDrawing paint()
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

    static int32_t estimateCrossings(const LabelGrid& grid)
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

private:
    double waterFloor() const { return m_plan.waterLevel; }

    HoleShape shapeHole(const HolePlan& hole)
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
                worst = std::max(worst, shape.green.distance(add(hole.pin, { 6.2 * std::cos(angle), 6.2 * std::sin(angle) })));
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

    void placeBunkers(const HoleShape& hole, uint32_t index)
    {
        const HolePlan& plan = *hole.plan;
        std::vector<BunkerPlan> bunkers = plan.bunkers;
        const uint32_t seed = m_seed + index * 977u + 5;
        const bool links = m_plan.style == Style::Links;
        if (bunkers.empty()) {
            // A default dressing that asks questions: bunkers at the front
            // corners of the green, on the line the approach comes in on; on
            // the longer holes one where the drive lands (on a dogleg in the
            // corner it bends round, so cutting it is a risk), another across
            // from it a little further on, and on a par 5 one where the second
            // shot is laid up.
            BunkerPlan left;
            left.kind = BunkerPlan::Kind::Green;
            left.bearing = -18 - 30 * std::fabs(latticeValue(1, 2, seed));
            left.radius = (links ? 3.2 : 4.5) + std::fabs(latticeValue(2, 2, seed)) * 1.5;
            BunkerPlan right = left;
            right.bearing = 25 + 50 * std::fabs(latticeValue(3, 2, seed));
            right.radius = (links ? 3 : 4) + std::fabs(latticeValue(4, 2, seed)) * 1.5;
            bunkers.push_back(left);
            bunkers.push_back(right);
            if (plan.par >= 4) {
                BunkerPlan drive;
                drive.kind = BunkerPlan::Kind::Drive;
                drive.radius = links ? 4 : 6;
                if (hole.turn != 0) {
                    drive.side = hole.turn > 0 ? 1 : -1;
                    drive.along = length(sub(hole.path[1], hole.path[0])) - 12;
                } else {
                    drive.side = latticeValue(5, 2, seed) < 0 ? -1 : 1;
                    drive.along = std::min(225.0, hole.totalLength - 100);
                }
                bunkers.push_back(drive);
                BunkerPlan across = drive;
                across.side = -drive.side;
                across.along = drive.along + 28;
                across.radius = drive.radius * 0.85;
                if (across.along < hole.totalLength - 80) {
                    bunkers.push_back(across);
                }
                if (plan.par == 5) {
                    BunkerPlan layUp = drive;
                    layUp.side = latticeValue(6, 2, seed) < 0 ? -1 : 1;
                    layUp.along = hole.totalLength - 95;
                    bunkers.push_back(layUp);
                }
            }
        }
        if (links) {
            // Pot bunkers: small, round and deep, in and beside the fairway
            // where the drive comes down, and one short of the green.
            for (int32_t k = 0; k < (plan.par >= 4 ? 3 : 1); ++k) {
                BunkerPlan pot;
                pot.kind = BunkerPlan::Kind::At;
                const double along = plan.par >= 4 ? 175 + 28 * k + 10 * latticeValue(k, 12, seed) : hole.totalLength - 28;
                if (along > hole.totalLength - 25) {
                    continue;
                }
                Vec2 at;
                Vec2 dir;
                pointAlong(hole, along, at, dir);
                const double offset = (k % 2 == 0 ? -1 : 1) * plan.fairwayWidth * (0.12 + 0.2 * std::fabs(latticeValue(k, 13, seed)));
                pot.centre = add(at, scale(Vec2 { -dir.z, dir.x }, offset));
                pot.radius = 2.6 + 0.6 * std::fabs(latticeValue(k, 14, seed));
                pot.radius2 = pot.radius * 0.9;
                if (length(sub(pot.centre, plan.aim)) > 14 && length(sub(pot.centre, plan.pin)) > 14) {
                    bunkers.push_back(pot);
                }
            }
        }
        const Vec2 approach = unit(sub(hole.path[hole.path.size() - 2], plan.pin));
        for (size_t b = 0; b < bunkers.size(); ++b) {
            const BunkerPlan& bunker = bunkers[b];
            BunkerShape shape;
            shape.blob.wobble2 = 0.12;
            shape.blob.wobble3 = 0.08;
            shape.blob.phase2 = latticeValue(static_cast<int32_t>(b), 8, seed) * kPi;
            shape.blob.phase3 = latticeValue(static_cast<int32_t>(b), 9, seed) * kPi;
            if (bunker.kind == BunkerPlan::Kind::Green) {
                // Bearing 0 is the front of the green, positive to the player's right.
                const double a = -bunker.bearing * kPi / 180;
                const Vec2 dir { approach.x * std::cos(a) - approach.z * std::sin(a),
                    approach.x * std::sin(a) + approach.z * std::cos(a) };
                const double reach = hole.green.radiusX + 1.5 + bunker.radius * 0.9;
                shape.blob.centre = add(hole.green.centre, scale(dir, reach));
                shape.blob.radiusX = bunker.radius * 1.5;
                shape.blob.radiusZ = bunker.radius * 0.8;
                shape.blob.turn = std::atan2(dir.z, dir.x) + kPi / 2;
                if (shape.blob.distance(plan.aim) < 3) {
                    continue;  // keep the aim point on grass
                }
            } else if (bunker.kind == BunkerPlan::Kind::Drive) {
                Vec2 at;
                Vec2 along;
                pointAlong(hole, bunker.along, at, along);
                const Vec2 side { -along.z * bunker.side, along.x * bunker.side };
                // The player's right, looking along the line: (-along.z, along.x).
                const double reach = plan.fairwayWidth * 0.5 + bunker.radius * 0.3;
                shape.blob.centre = add(at, scale(side, reach));
                shape.blob.radiusX = bunker.radius * 1.4;
                shape.blob.radiusZ = bunker.radius * 0.75;
                shape.blob.turn = std::atan2(along.z, along.x);
            } else {
                shape.blob.centre = bunker.centre;
                shape.blob.radiusX = bunker.radius;
                shape.blob.radiusZ = bunker.radius2 > 0 ? bunker.radius2 : bunker.radius;
                shape.blob.turn = bunker.turn * kPi / 180;
                if (links && bunker.radius < 4) {
                    shape.depth = 3;
                    shape.blob.wobble2 = 0.04;
                    shape.blob.wobble3 = 0.03;
                }
            }
            m_bunkers.push_back(shape);
        }
    }

    static void pointAlong(const HoleShape& hole, double s, Vec2& at, Vec2& along)
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

    double fairwayHalfWidth(const HoleShape& hole, double s) const
    {
        const double width = hole.plan->fairwayWidth * (1 + 0.1 * valueNoise(s / 55.0, hole.plan->number, m_seed + 3));
        const double nearGreen = smoothstep(hole.totalLength - 20, hole.totalLength - 60, s);
        // Widest where drives come down, so the landing area shows from the tee.
        const double landing = smoothstep(40, 90, s) * smoothstep(300, 240, s);
        return std::clamp(width * (0.82 + 0.18 * nearGreen + 0.14 * landing), 25.0, 48.0) * 0.5;
    }

    // Signed distance to open water (negative inside).
    double waterDistance(Vec2 p) const
    {
        return waterDistance(p, valueNoise(p.x / 23.0, p.z / 23.0, m_seed + 41),
            valueNoise(p.x / 11.0, p.z / 11.0, m_seed + 43));
    }

    double waterDistance(Vec2 p, double wobbleNoise, double meanderNoise) const
    {
        const double wobble = 3.5 * wobbleNoise;
        double best = 1e30;
        const double edges[4] = { p.z, kMapYards - p.x, kMapYards - p.z, p.x };
        for (int k = 0; k < 4; ++k) {
            if (m_plan.shore[k] > 0) {
                // The shore along the map's edges wobbles gently: a wavy line
                // that runs along the rows crosses them again and again.
                best = std::min(best, edges[k] - m_plan.shore[k] + wobble * 0.4);
            }
        }
        for (const auto& pond : m_ponds) {
            best = std::min(best, pond.distance(p) + wobble * 0.3);
        }
        for (const auto& stream : m_file.streams) {
            double along = 0;
            const double meander = 1.2 * meanderNoise;
            best = std::min(best, polylineDistance(stream.points, p, along) - stream.width * 0.5 + meander);
            // Each stream rises from a pool and ends in one.
            for (const Vec2& end : { stream.points.front(), stream.points.back() }) {
                best = std::min(best, length(sub(p, end)) - stream.width * 1.6 + meander);
            }
        }
        return best;
    }

    // The rolling ground before greens, tees and water shape it.
    double naturalHeight(Vec2 p) const
    {
        const double w = m_plan.wavelength;
        double play = 1e30;
        double h = 0;
        for (const auto& hole : m_holes) {
            double along = 0;
            const double d = polylineDistance(hole.path, p, along) - hole.plan->fairwayWidth * 0.5;
            play = std::min(play, d);
            // Each hole's own landform: the green's shelf or the rim of its
            // hollow (open toward the approach), and a long swell down the
            // fairway so that it rises and falls in view.
            const double g = std::max(0.0, hole.green.distance(p));
            if (hole.greenLift > 0) {
                const double r = g / 34.0;
                h += hole.greenLift * std::exp(-2.5 * r * r);
            } else {
                const Vec2 approach = unit(sub(hole.path[hole.path.size() - 2], hole.plan->pin));
                const double facing = std::max(0.0, (sub(p, hole.green.centre).x * approach.x
                                                         + sub(p, hole.green.centre).z * approach.z)
                        / std::max(1.0, length(sub(p, hole.green.centre))));
                const double r = (g - 14) / 10.0;
                h += -hole.greenLift * std::exp(-r * r) * (1 - 0.85 * facing);
            }
            const double swell = smoothstep(60, 15, d) * smoothstep(hole.totalLength, hole.totalLength - 60, along)
                * smoothstep(50, 90, along);
            // On the links the fairways heave over old dunes.
            const double heave = m_plan.style == Style::Links ? 0.95 : m_plan.style == Style::Highland ? 0.5 : 0.9;
            h += swell * m_plan.relief * heave * std::sin(along / (38.0 + 4 * (hole.plan->number % 4)) + hole.plan->number);
        }
        const double calm = smoothstep(30, 0, play);  // fairways roll more gently
        // Two broad octaves only: fine ripples would cost the drawing more
        // height bands (and crossings) than they add to the look.
        const double rolling
            = (valueNoise(p.x / w, p.z / w, m_seed + 1) + 0.35 * valueNoise(p.x * 2.03 / w, p.z * 2.03 / w, m_seed + 18))
            / 1.1;
        h += m_plan.relief * rolling * (1 - 0.45 * calm);
        if (m_plan.style == Style::Links) {
            // Dunes: short sharp ridges away from the fairways, highest
            // toward the sea.
            const double ridge = 1 - std::fabs(valueNoise(p.x / 44.0, p.z / 37.0, m_seed + 7));
            h += m_plan.relief * 1.1 * ridge * ridge * (1 - calm);
        } else if (m_plan.style == Style::Highland) {
            // Broad hills and valleys under the holes.
            h += m_plan.relief * 1.1 * valueNoise(p.x / (w * 2.6), p.z / (w * 2.6), m_seed + 9);
        }
        for (const auto& hill : m_file.hills) {
            const double d = length(sub(p, hill.centre)) / hill.radius;
            h += hill.height * std::exp(-2.5 * d * d);
        }
        return m_plan.base + h;
    }

    // The rolling ground with its banks falling to the water.
    double bankedHeight(Vec2 p) const
    {
        const double h = naturalHeight(p);
        const double water = waterDistance(p);
        const double floor = waterFloor();
        // Banks widen with the drop they make, so the ground never falls
        // steeply to the water.
        const double drop = std::max(h - floor - 2, 0.0);
        const double bank = smoothstep(0, std::clamp(drop * 3.0, 36.0, 150.0), water);
        // The tees' mounds stand on the finished ground, banks and all.
        double mounds = 0;
        for (const auto& hole : m_holes) {
            const double t = length(sub(p, hole.teeCentre)) / 24.0;
            if (t > 2.5) {
                continue;
            }
            // A mound settles down where another hole's fairway passes by,
            // so that fairway stays gentle.
            double settle = 1;
            for (const auto& other : m_holes) {
                if (&other != &hole) {
                    double along = 0;
                    const double half = other.plan->fairwayWidth * 0.5;
                    settle = std::min(settle, smoothstep(half + 4, half + 28, polylineDistance(other.path, p, along)));
                }
            }
            mounds += hole.teeLift * std::exp(-2.5 * t * t) * settle;
        }
        return floor + 2 + (std::max(h, floor + 2) - floor - 2) * bank + mounds;
    }

    // The finished ground height at p (bunkers and water levels aside): greens
    // and tees flattened into the banked ground.
    double height(Vec2 p) const
    {
        double h = bankedHeight(p);
        for (const auto& hole : m_holes) {
            const double g = hole.green.distance(p);
            // The blend toward the green's level widens with the height it has
            // to make up, so greens in hills sit in gentle hollows or shelves
            // and raised greens keep the falls round their shelf.
            const double reachGreen = 3.5 + std::max(12.0, std::fabs(hole.greenLevel - h) * 2.6);
            const double wg = smoothstep(reachGreen, 3.5, g);
            h += (hole.greenLevel - h) * wg;
            const double t = length(sub(p, hole.teeCentre));
            const double wt = smoothstep(20, 8, t);
            h += (hole.teeLevel - h) * wt;
        }
        return std::max(h, waterFloor() + 1);
    }

    struct Slow {
        double height = 0;
        double play = 0;
        double heath = 0;
        double waste = 0;
        double edge = 0;
        double wobble = 0;
        double meander = 0;
        double dune = 0;
    };

    Slow slowAt(Vec2 p) const
    {
        constexpr int32_t kLattice = kMapYards + 1;
        const auto x0 = std::min(static_cast<int32_t>(p.x), kMapYards - 1);
        const auto z0 = std::min(static_cast<int32_t>(p.z), kMapYards - 1);
        const double fx = p.x - x0;
        const double fz = p.z - z0;
        const Slow& a = m_lattice[static_cast<size_t>(z0) * kLattice + x0];
        const Slow& b = m_lattice[static_cast<size_t>(z0) * kLattice + x0 + 1];
        const Slow& c = m_lattice[static_cast<size_t>(z0 + 1) * kLattice + x0];
        const Slow& d = m_lattice[static_cast<size_t>(z0 + 1) * kLattice + x0 + 1];
        auto mix = [&](double Slow::*field) {
            const double top = a.*field + (b.*field - a.*field) * fx;
            const double bottom = c.*field + (d.*field - c.*field) * fx;
            return top + (bottom - top) * fz;
        };
        return { mix(&Slow::height), mix(&Slow::play), mix(&Slow::heath), mix(&Slow::waste), mix(&Slow::edge),
            mix(&Slow::wobble), mix(&Slow::meander), mix(&Slow::dune) };
    }

    // Roughly how far p lies from where the holes are played.
    double playDistance(Vec2 p) const
    {
        double play = 1e30;
        for (const auto& hole : m_holes) {
            double along = 0;
            const double d = polylineDistance(hole.path, p, along);
            play = std::min({ play, d - hole.plan->fairwayWidth * 0.5, hole.green.distance(p) - 8,
                length(sub(p, hole.teeCentre)) - 12 });
        }
        return play;
    }

    Cell paintCell(Vec2 p, const Slow& slow) const
    {
        Cell cell;
        cell.height = slow.height;
        const double play = slow.play;
        // The course's second rough gives it its character: lines of woods
        // framing the parkland fairways (broken now and then), marram on the
        // links dunes' ridges, heather crowding the highland fairways.
        const bool patch = slow.heath > 0.55 - 1.1 * m_plan.heath;
        bool heath = false;
        if (m_plan.style == Style::Parkland) {
            heath = play > 12 + 4 * slow.edge && (play < 40 + 12 * slow.wobble ? slow.wobble > -0.7 : patch);
        } else if (m_plan.style == Style::Links) {
            heath = play > 12 + 3 * slow.edge && (slow.dune > 0.74 || patch);
        } else {
            heath = play > 9 + 3 * slow.edge && (patch || (play < 24 && slow.wobble > -0.6));
        }
        if (m_plan.style != Style::Parkland) {
            // On the links and the moor the drive first carries a band of
            // marram or heather a short way in front of the tee.
            for (const auto& hole : m_holes) {
                const Vec2 d = sub(p, hole.plan->tee);
                const double u = d.x * hole.teeAlong.x + d.z * hole.teeAlong.z;
                const double v = -d.x * hole.teeAlong.z + d.z * hole.teeAlong.x;
                const double near = hole.plan->par == 3 ? 22 : 16;
                if (u > near + 4 * slow.edge && u < near + 16 + 5 * slow.wobble && std::fabs(v) < 28 + 6 * slow.edge) {
                    heath = true;
                }
            }
        }
        if (heath) {
            cell.ground = Ground::Heath;
        }
        if (m_plan.waste > 0 && play > 10 && slow.waste > 1 - 2 * m_plan.waste) {
            cell.ground = Ground::Sand;
        }
        for (const auto& hole : m_holes) {
            if (p.x < hole.boxMin.x || p.z < hole.boxMin.z || p.x > hole.boxMax.x || p.z > hole.boxMax.z) {
                continue;  // too far from this hole for its fairway
            }
            double along = 0;
            const double d = polylineDistance(hole.path, p, along);
            const double edge = 2.2 * slow.edge;
            const bool beyondStart = along >= hole.fairwayStart;
            const double half = fairwayHalfWidth(hole, along);
            const bool inStartCap = length(sub(p, hole.fairwayStartPoint)) < hole.fairwayStartHalf * 0.9 + edge;
            if ((beyondStart && d < half + edge) || inStartCap) {
                if (along < hole.totalLength - 2 || hole.green.distance(p) < 4) {
                    cell.ground = Ground::Fairway;
                }
            }
        }
        if (waterDistance(p, slow.wobble, slow.meander) < 0) {
            cell.ground = Ground::Water;
            cell.height = waterFloor();
        }
        for (const auto& hole : m_holes) {
            const double g = hole.green.distance(p);
            if (g < 2.5) {
                cell.ground = Ground::Fairway;  // the collar
                cell.height = hole.greenLevel;
            }
        }
        for (const auto& bunker : m_bunkers) {
            if (bunker.blob.distance(p) < 0) {
                cell.ground = Ground::Sand;
                cell.height = bunker.level;
            }
        }
        for (const auto& hole : m_holes) {
            if (hole.green.distance(p) < 0) {
                cell.ground = Ground::Green;
                cell.height = hole.greenLevel;
            }
            const Vec2 d = sub(p, hole.teeCentre);
            const double u = d.x * hole.teeAlong.x + d.z * hole.teeAlong.z;
            const double v = -d.x * hole.teeAlong.z + d.z * hole.teeAlong.x;
            if (std::fabs(u) < 6.5 && std::fabs(v) < 4.5) {
                cell.ground = Ground::Tee;
                cell.height = hole.teeLevel;
            }
        }
        return cell;
    }

    HoleDrawing quantise(const std::vector<Cell>& cells, int32_t coarser) const
    {
        // Fixed-level ground (greens, tees, water, bunkers) keeps its levels;
        // rolling ground is banded, with wider bands where the colours would
        // not otherwise fit in the file.
        // Banding never takes land down to the water's level.
        const auto landFloor = static_cast<int32_t>(std::lround(waterFloor())) + 1;
        // Rough and woods take the coarse bands first (woods the coarsest):
        // the smoothing hides their steps, while fairway steps would show as
        // slopes too steep to play on.
        int32_t step[kGroundKinds] = { std::min(1 + coarser, 6), 1 + 2 * coarser, std::min(1 + coarser / 2, 3), 1, 1, 2, 1 };
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
                    : g == Ground::Heath    ? 2 * n
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
            keep[label] = key.first == static_cast<int32_t>(Ground::Green) || key.first == static_cast<int32_t>(Ground::Tee);
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
            keepAllButRough[label]
                = key.first != static_cast<int32_t>(Ground::Rough) && key.first != static_cast<int32_t>(Ground::Heath);
        }
        drawing.grid.removeSpecks(160, keepAllButRough);
        return drawing;
    }

    const CoursePlan& m_plan;
    const HoleFilePlan& m_file;
    uint32_t m_seed;
    std::vector<HoleShape> m_holes;
    std::vector<Blob> m_ponds;
    std::vector<BunkerShape> m_bunkers;
    std::vector<Slow> m_lattice;
};

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
    Painter painter(plan, plan.files.at(fileIndex));
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
