// Distances on the map's plane for the painter.
#include "golf-assets/plane_vectors.h"

#include <algorithm>

namespace tarnby::course {

double polylineDistance(const std::vector<Vec2>& line, Vec2 p, double& along)
{
    double best = 1e30;
    double run = 0;
    along = 0;
    for (size_t k = 0; k + 1 < line.size(); ++k) {
        const Vec2 e = sub(line[k + 1], line[k]);
        const double l2 = e.x * e.x + e.z * e.z;
        const Vec2 d = sub(p, line[k]);
        double t = l2 > 0 ? (d.x * e.x + d.z * e.z) / l2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double dist = length(sub(d, scale(e, t)));
        if (dist < best) {
            best = dist;
            along = run + t * std::sqrt(l2);
        }
        run += std::sqrt(l2);
    }
    return best;
}

}  // namespace tarnby::course
