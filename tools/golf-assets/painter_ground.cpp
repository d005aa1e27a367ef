// The course painter's ground: rolling land, the holes' landforms, banks
// falling to the water, and greens and tees set flat into it.
#include "golf-assets/painter.h"

#include <algorithm>
#include <cmath>

#include "golf-assets/lattice_noise.h"

namespace tarnby::course::painting {

// Signed distance to open water (negative inside).
double Painter::waterDistance(Vec2 p) const
{
    return waterDistance(p, valueNoise(p.x / 23.0, p.z / 23.0, m_seed + 41),
        valueNoise(p.x / 11.0, p.z / 11.0, m_seed + 43));
}

double Painter::waterDistance(Vec2 p, double wobbleNoise, double meanderNoise) const
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
double Painter::naturalHeight(Vec2 p) const
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
            const double facing = std::max(0.0,
                (sub(p, hole.green.centre).x * approach.x + sub(p, hole.green.centre).z * approach.z)
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
    const double rolling = (valueNoise(p.x / w, p.z / w, m_seed + 1)
                               + 0.35 * valueNoise(p.x * 2.03 / w, p.z * 2.03 / w, m_seed + 18))
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
double Painter::bankedHeight(Vec2 p) const
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
double Painter::height(Vec2 p) const
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

Painter::Slow Painter::slowAt(Vec2 p) const
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
double Painter::playDistance(Vec2 p) const
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

}  // namespace tarnby::course::painting
