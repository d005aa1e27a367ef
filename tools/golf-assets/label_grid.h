// A picture of regions as labels on a square grid, and the clean-up of specks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnby::course {

// Cells hold small non-negative labels; everything outside the grid counts as
// the label kOutside.
constexpr int32_t kOutside = -1;

class LabelGrid {
public:
    LabelGrid() = default;
    LabelGrid(int32_t width, int32_t height, int32_t fill = 0);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t at(int32_t x, int32_t y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
            return kOutside;
        }
        return m_cells[static_cast<size_t>(y) * m_width + x];
    }
    void set(int32_t x, int32_t y, int32_t label) { m_cells[static_cast<size_t>(y) * m_width + x] = label; }
    const std::vector<int32_t>& cells() const { return m_cells; }

    // Gives every 4-connected patch smaller than minCells cells the label that
    // surrounds most of it, so that tracing never produces slivers or specks.
    // Labels listed in `keep` are never changed (greens, tees); returns the
    // number of patches merged.
    int32_t removeSpecks(int32_t minCells, const std::vector<bool>& keep);

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<int32_t> m_cells;
};

}  // namespace tarnby::course
