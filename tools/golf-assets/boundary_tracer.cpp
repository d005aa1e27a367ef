// Boundary tracing on label grids and topology-keeping chain simplification.
#include "golf-assets/boundary_tracer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace tarnby::course {

namespace {

// Unit edges of the grid: vertical edge (i, j) lies on x = i between rows j and
// j + 1, horizontal edge (i, j) on y = j between columns i and i + 1.
class EdgeSet {
public:
    explicit EdgeSet(const LabelGrid& grid)
        : m_grid(grid), m_w(grid.width()), m_h(grid.height()), m_vertical(static_cast<size_t>(m_w + 1) * m_h, 0),
          m_horizontal(static_cast<size_t>(m_w) * (m_h + 1), 0)
    {
        for (int32_t j = 0; j < m_h; ++j) {
            for (int32_t i = 0; i <= m_w; ++i) {
                m_vertical[vIndex(i, j)] = grid.at(i - 1, j) != grid.at(i, j) ? 1 : 0;
            }
        }
        for (int32_t j = 0; j <= m_h; ++j) {
            for (int32_t i = 0; i < m_w; ++i) {
                m_horizontal[hIndex(i, j)] = grid.at(i, j - 1) != grid.at(i, j) ? 1 : 0;
            }
        }
    }

    size_t vIndex(int32_t i, int32_t j) const { return static_cast<size_t>(j) * (m_w + 1) + i; }
    size_t hIndex(int32_t i, int32_t j) const { return static_cast<size_t>(j) * m_w + i; }

    // 1 = boundary not yet walked, 2 = walked, 0 = no boundary.
    uint8_t& vertical(int32_t i, int32_t j) { return m_vertical[vIndex(i, j)]; }
    uint8_t& horizontal(int32_t i, int32_t j) { return m_horizontal[hIndex(i, j)]; }
    bool hasVertical(int32_t i, int32_t j) const
    {
        return i >= 0 && i <= m_w && j >= 0 && j < m_h && m_vertical[vIndex(i, j)] != 0;
    }
    bool hasHorizontal(int32_t i, int32_t j) const
    {
        return i >= 0 && i < m_w && j >= 0 && j <= m_h && m_horizontal[hIndex(i, j)] != 0;
    }

    // Number of boundary edges meeting at corner (i, j).
    int32_t degree(int32_t i, int32_t j) const
    {
        return hasVertical(i, j - 1) + hasVertical(i, j) + hasHorizontal(i - 1, j) + hasHorizontal(i, j);
    }

    int32_t width() const { return m_w; }
    int32_t height() const { return m_h; }
    const LabelGrid& grid() const { return m_grid; }

private:
    const LabelGrid& m_grid;
    int32_t m_w;
    int32_t m_h;
    std::vector<uint8_t> m_vertical;
    std::vector<uint8_t> m_horizontal;
};

// Direction codes: 0 right, 1 down, 2 left, 3 up.
constexpr int32_t kDx[4] = { 1, 0, -1, 0 };
constexpr int32_t kDy[4] = { 0, 1, 0, -1 };

// The state of the unit edge leaving corner (x, y) in direction d.
uint8_t* edgeFrom(EdgeSet& edges, int32_t x, int32_t y, int32_t d)
{
    switch (d) {
    case 0: return edges.hasHorizontal(x, y) ? &edges.horizontal(x, y) : nullptr;
    case 1: return edges.hasVertical(x, y) ? &edges.vertical(x, y) : nullptr;
    case 2: return edges.hasHorizontal(x - 1, y) ? &edges.horizontal(x - 1, y) : nullptr;
    default: return edges.hasVertical(x, y - 1) ? &edges.vertical(x, y - 1) : nullptr;
    }
}

// Labels left and right of the unit edge leaving (x, y) in direction d.
void sides(const LabelGrid& grid, int32_t x, int32_t y, int32_t d, int32_t& left, int32_t& right)
{
    switch (d) {
    case 0:
        left = grid.at(x, y - 1);
        right = grid.at(x, y);
        break;
    case 1:
        left = grid.at(x, y);
        right = grid.at(x - 1, y);
        break;
    case 2:
        left = grid.at(x - 1, y);
        right = grid.at(x - 1, y - 1);
        break;
    default:
        left = grid.at(x - 1, y - 1);
        right = grid.at(x, y - 1);
        break;
    }
}

// Walks from corner (x, y) along direction d through corners of degree 2 until
// a junction (or the start corner of a closed loop) is reached.
Chain walk(EdgeSet& edges, int32_t x, int32_t y, int32_t d)
{
    Chain chain;
    sides(edges.grid(), x, y, d, chain.left, chain.right);
    const GridPoint start { x, y };
    chain.points.push_back(start);
    int32_t lastDirection = -1;
    for (;;) {
        uint8_t* state = edgeFrom(edges, x, y, d);
        *state = 2;
        x += kDx[d];
        y += kDy[d];
        if (d != lastDirection && lastDirection >= 0) {
            // The corner we just left was a turn: it is already in the list.
        }
        const GridPoint here { x, y };
        if (d == lastDirection) {
            chain.points.back() = here;  // straight on: extend the last run
        } else {
            chain.points.push_back(here);
        }
        lastDirection = d;
        if (here == start) {
            chain.closed = true;
            break;
        }
        if (edges.degree(x, y) != 2) {
            break;
        }
        int32_t nextDirection = -1;
        for (int32_t k = 0; k < 4; ++k) {
            if (k == ((d + 2) & 3)) {
                continue;  // the edge we came along
            }
            if (edgeFrom(edges, x, y, k) != nullptr) {
                nextDirection = k;
                break;
            }
        }
        if (nextDirection < 0) {
            break;
        }
        d = nextDirection;
    }
    return chain;
}

double pointSegmentDistance(const GridPoint& p, const GridPoint& a, const GridPoint& b)
{
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double px = p.x - a.x;
    const double py = p.y - a.y;
    const double lengthSq = ex * ex + ey * ey;
    if (lengthSq == 0) {
        return std::sqrt(px * px + py * py);
    }
    double t = (px * ex + py * ey) / lengthSq;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = px - t * ex;
    const double dy = py - t * ey;
    return std::sqrt(dx * dx + dy * dy);
}

void douglasPeucker(const std::vector<GridPoint>& in, size_t first, size_t last, double tolerance,
    std::vector<bool>& keepPoint)
{
    if (last <= first + 1) {
        return;
    }
    double worst = -1;
    size_t worstIndex = first;
    for (size_t k = first + 1; k < last; ++k) {
        const double d = pointSegmentDistance(in[k], in[first], in[last]);
        if (d > worst) {
            worst = d;
            worstIndex = k;
        }
    }
    if (worst > tolerance) {
        keepPoint[worstIndex] = true;
        douglasPeucker(in, first, worstIndex, tolerance, keepPoint);
        douglasPeucker(in, worstIndex, last, tolerance, keepPoint);
    }
}

std::vector<GridPoint> simplifyPolyline(const std::vector<GridPoint>& in, bool closed, double tolerance)
{
    if (in.size() <= 2 || tolerance <= 0) {
        return in;
    }
    std::vector<bool> keepPoint(in.size(), false);
    keepPoint.front() = true;
    keepPoint.back() = true;
    if (closed) {
        // Keep the point farthest from the start and a point on each half, so
        // the loop can never collapse into a line.
        size_t far = 0;
        double farDistance = -1;
        for (size_t k = 1; k + 1 < in.size(); ++k) {
            const double dx = in[k].x - in[0].x;
            const double dy = in[k].y - in[0].y;
            if (dx * dx + dy * dy > farDistance) {
                farDistance = dx * dx + dy * dy;
                far = k;
            }
        }
        keepPoint[far] = true;
        if (far > 1) {
            keepPoint[far / 2] = true;
        }
        if (in.size() - 1 - far > 1) {
            keepPoint[(far + in.size() - 1) / 2] = true;
        }
        douglasPeucker(in, 0, far, tolerance, keepPoint);
        douglasPeucker(in, far, in.size() - 1, tolerance, keepPoint);
    } else {
        douglasPeucker(in, 0, in.size() - 1, tolerance, keepPoint);
    }
    std::vector<GridPoint> out;
    for (size_t k = 0; k < in.size(); ++k) {
        if (keepPoint[k]) {
            out.push_back(in[k]);
        }
    }
    return out;
}

struct Segment {
    GridPoint a;
    GridPoint b;
    int32_t chain;
};

int64_t cross(const GridPoint& o, const GridPoint& a, const GridPoint& b)
{
    return static_cast<int64_t>(a.x - o.x) * (b.y - o.y) - static_cast<int64_t>(a.y - o.y) * (b.x - o.x);
}

bool onSegment(const GridPoint& p, const GridPoint& a, const GridPoint& b)
{
    return cross(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y
           && p.y <= std::max(a.y, b.y);
}

// True when two segments share any point other than a common end point.
bool conflict(const Segment& s, const Segment& t)
{
    const bool sharesA = s.a == t.a || s.a == t.b;
    const bool sharesB = s.b == t.a || s.b == t.b;
    if (sharesA && sharesB) {
        return true;  // the same segment twice (two chains collapsed onto each other)
    }
    if (sharesA || sharesB) {
        // Meeting at an end point is fine unless they run along each other.
        const GridPoint& shared = sharesA ? s.a : s.b;
        const GridPoint& sOther = sharesA ? s.b : s.a;
        const GridPoint& tOther = (t.a == shared) ? t.b : t.a;
        if (cross(shared, sOther, tOther) != 0) {
            return false;
        }
        return onSegment(tOther, shared, sOther) || onSegment(sOther, shared, tOther);
    }
    const int64_t d1 = cross(t.a, t.b, s.a);
    const int64_t d2 = cross(t.a, t.b, s.b);
    const int64_t d3 = cross(s.a, s.b, t.a);
    const int64_t d4 = cross(s.a, s.b, t.b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        return true;
    }
    return onSegment(s.a, t.a, t.b) || onSegment(s.b, t.a, t.b) || onSegment(t.a, s.a, s.b) || onSegment(t.b, s.a, s.b);
}

// Chains whose segments touch another segment improperly.
std::vector<bool> findConflicts(const std::vector<Chain>& chains)
{
    constexpr int32_t kBucket = 16;
    std::vector<Segment> segments;
    int32_t maxX = 0;
    int32_t maxY = 0;
    for (size_t c = 0; c < chains.size(); ++c) {
        const auto& points = chains[c].points;
        for (size_t k = 0; k + 1 < points.size(); ++k) {
            segments.push_back({ points[k], points[k + 1], static_cast<int32_t>(c) });
            maxX = std::max({ maxX, points[k].x, points[k + 1].x });
            maxY = std::max({ maxY, points[k].y, points[k + 1].y });
        }
    }
    const int32_t columns = maxX / kBucket + 1;
    const int32_t rows = maxY / kBucket + 1;
    std::vector<std::vector<int32_t>> buckets(static_cast<size_t>(columns) * rows);
    for (size_t s = 0; s < segments.size(); ++s) {
        const auto& seg = segments[s];
        const int32_t x0 = std::min(seg.a.x, seg.b.x) / kBucket;
        const int32_t x1 = std::max(seg.a.x, seg.b.x) / kBucket;
        const int32_t y0 = std::min(seg.a.y, seg.b.y) / kBucket;
        const int32_t y1 = std::max(seg.a.y, seg.b.y) / kBucket;
        for (int32_t by = y0; by <= y1; ++by) {
            for (int32_t bx = x0; bx <= x1; ++bx) {
                buckets[static_cast<size_t>(by) * columns + bx].push_back(static_cast<int32_t>(s));
            }
        }
    }
    std::vector<bool> bad(chains.size(), false);
    for (const auto& bucket : buckets) {
        for (size_t i = 0; i < bucket.size(); ++i) {
            for (size_t j = i + 1; j < bucket.size(); ++j) {
                const Segment& s = segments[bucket[i]];
                const Segment& t = segments[bucket[j]];
                if (s.chain == t.chain) {
                    // Neighbours along one chain share an end point by design.
                    const auto& points = chains[s.chain].points;
                    const int32_t gap = std::abs(bucket[i] - bucket[j]);
                    const bool closedEnds = chains[s.chain].closed && gap == static_cast<int32_t>(points.size()) - 2;
                    if (gap == 1 || closedEnds) {
                        const bool sameLine =
                            (s.b == t.a && cross(s.a, s.b, t.b) == 0
                                && (t.b.x - s.b.x) * (s.b.x - s.a.x) + (t.b.y - s.b.y) * (s.b.y - s.a.y) < 0)
                            || (t.b == s.a && cross(t.a, t.b, s.b) == 0
                                && (s.b.x - t.b.x) * (t.b.x - t.a.x) + (s.b.y - t.b.y) * (t.b.y - t.a.y) < 0);
                        if (sameLine) {
                            bad[s.chain] = true;  // folds back on itself
                        }
                        continue;
                    }
                }
                if (conflict(s, t)) {
                    bad[s.chain] = true;
                    bad[t.chain] = true;
                }
            }
        }
    }
    return bad;
}

}  // namespace

std::vector<Chain> traceBoundaries(const LabelGrid& grid)
{
    EdgeSet edges(grid);
    std::vector<Chain> chains;
    // Chains that start at junctions.
    for (int32_t y = 0; y <= grid.height(); ++y) {
        for (int32_t x = 0; x <= grid.width(); ++x) {
            const int32_t degree = edges.degree(x, y);
            if (degree == 0 || degree == 2) {
                continue;
            }
            for (int32_t d = 0; d < 4; ++d) {
                uint8_t* state = edgeFrom(edges, x, y, d);
                if (state != nullptr && *state == 1) {
                    chains.push_back(walk(edges, x, y, d));
                }
            }
        }
    }
    // Whatever is left forms closed loops without junctions.
    for (int32_t y = 0; y <= grid.height(); ++y) {
        for (int32_t x = 0; x <= grid.width(); ++x) {
            for (int32_t d = 0; d < 2; ++d) {
                uint8_t* state = edgeFrom(edges, x, y, d);
                if (state != nullptr && *state == 1) {
                    chains.push_back(walk(edges, x, y, d));
                }
            }
        }
    }
    return chains;
}

TraceStats simplifyChains(std::vector<Chain>& chains, double tolerance)
{
    TraceStats stats;
    stats.chains = static_cast<int32_t>(chains.size());
    std::vector<std::vector<GridPoint>> original(chains.size());
    std::vector<double> chainTolerance(chains.size(), tolerance);
    for (size_t c = 0; c < chains.size(); ++c) {
        original[c] = chains[c].points;
        stats.pointsBefore += static_cast<int32_t>(chains[c].points.size());
        chains[c].points = simplifyPolyline(original[c], chains[c].closed, tolerance);
    }
    for (int round = 0; round < 12; ++round) {
        const std::vector<bool> bad = findConflicts(chains);
        bool any = false;
        for (size_t c = 0; c < chains.size(); ++c) {
            if (!bad[c]) {
                continue;
            }
            any = true;
            ++stats.repairs;
            chainTolerance[c] = chainTolerance[c] < 0.3 ? 0 : chainTolerance[c] * 0.5;
            chains[c].points = simplifyPolyline(original[c], chains[c].closed, chainTolerance[c]);
        }
        if (!any) {
            break;
        }
    }
    for (const auto& chain : chains) {
        stats.pointsAfter += static_cast<int32_t>(chain.points.size());
    }
    return stats;
}

}  // namespace tarnby::course
