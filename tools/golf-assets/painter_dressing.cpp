// The course painter's dressing: the holes' bunkers, and what each cell is
// laid with (second rough, waste sand, fairway, water, collars, bunkers,
// greens and tees).
#include "golf-assets/painter.h"

#include <algorithm>
#include <cmath>

#include "golf-assets/lattice_noise.h"

namespace tarnby::course::painting {

void Painter::placeBunkers(const HoleShape& hole, uint32_t index)
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
            const double offset = (k % 2 == 0 ? -1 : 1) * plan.fairwayWidth
                                  * (0.12 + 0.2 * std::fabs(latticeValue(k, 13, seed)));
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

Cell Painter::paintCell(Vec2 p, const Slow& slow) const
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

}  // namespace tarnby::course::painting
