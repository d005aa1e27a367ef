// Label grids: storage and the merging of patches too small to draw.
#include "golf-assets/label_grid.h"

#include <map>

namespace tarnby::course {

LabelGrid::LabelGrid(int32_t width, int32_t height, int32_t fill)
    : m_width(width), m_height(height), m_cells(static_cast<size_t>(width) * height, fill)
{
}

int32_t LabelGrid::removeSpecks(int32_t minCells, const std::vector<bool>& keep)
{
    const size_t count = m_cells.size();
    std::vector<int32_t> component(count, -1);
    std::vector<int32_t> stack;
    std::vector<int32_t> members;
    int32_t merged = 0;
    int32_t next = 0;
    for (size_t start = 0; start < count; ++start) {
        if (component[start] >= 0) {
            continue;
        }
        const int32_t label = m_cells[start];
        const int32_t id = next++;
        members.clear();
        stack.assign(1, static_cast<int32_t>(start));
        component[start] = id;
        std::map<int32_t, int32_t> neighbours;
        while (!stack.empty()) {
            const int32_t cell = stack.back();
            stack.pop_back();
            members.push_back(cell);
            const int32_t x = cell % m_width;
            const int32_t y = cell / m_width;
            const int32_t nx[4] = { x - 1, x + 1, x, x };
            const int32_t ny[4] = { y, y, y - 1, y + 1 };
            for (int k = 0; k < 4; ++k) {
                if (nx[k] < 0 || ny[k] < 0 || nx[k] >= m_width || ny[k] >= m_height) {
                    continue;
                }
                const int32_t other = ny[k] * m_width + nx[k];
                if (m_cells[other] != label) {
                    neighbours[m_cells[other]] += 1;
                } else if (component[other] < 0) {
                    component[other] = id;
                    stack.push_back(other);
                }
            }
        }
        const bool protectedLabel = label >= 0 && static_cast<size_t>(label) < keep.size() && keep[label];
        if (static_cast<int32_t>(members.size()) >= minCells || protectedLabel || neighbours.empty()) {
            continue;
        }
        int32_t best = label;
        int32_t bestCount = -1;
        for (const auto& [other, seen] : neighbours) {
            const bool otherProtected = other >= 0 && static_cast<size_t>(other) < keep.size() && keep[other];
            if (!otherProtected && seen > bestCount) {
                best = other;
                bestCount = seen;
            }
        }
        if (best == label) {
            continue;
        }
        for (int32_t cell : members) {
            m_cells[cell] = best;
        }
        ++merged;
    }
    return merged;
}

}  // namespace tarnby::course
