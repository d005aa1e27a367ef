// Arithmetic on the painter's plane vectors (x, z in yards).
#pragma once

#include <cmath>
#include <vector>

#include "golf-assets/course_plan.h"

namespace tarnby::course {

inline double length(Vec2 v) { return std::sqrt(v.x * v.x + v.z * v.z); }
inline Vec2 sub(Vec2 a, Vec2 b) { return { a.x - b.x, a.z - b.z }; }
inline Vec2 add(Vec2 a, Vec2 b) { return { a.x + b.x, a.z + b.z }; }
inline Vec2 scale(Vec2 a, double s) { return { a.x * s, a.z * s }; }
// The direction of a, or (0, -1) for a zero vector.
inline Vec2 unit(Vec2 a)
{
    const double l = length(a);
    return l > 0 ? scale(a, 1 / l) : Vec2 { 0, -1 };
}

// Distance from p to a polyline, with the arc length of the nearest point.
double polylineDistance(const std::vector<Vec2>& line, Vec2 p, double& along);

}  // namespace tarnby::course
