// The polygon's point query: the crossing walk, the reach table that skips
// most of a row, and the fill grid that answers most points at once.
#include <algorithm>
#include <cstring>

#include "vector/vpolyn.h"

namespace tarnby {

namespace {

constexpr int32_t kNoRight = 0x7FFFFFFF;

// Does the point (xq in 1/16 pixel, x and fy as the query has them) lie left
// of the crossing `word`? Left of both ends is left; otherwise a slanted
// crossing is compared with its x at the point's height within the row.
inline bool leftOf(int32_t word, int32_t xq, Fixed x, int32_t fy)
{
    const int32_t xs = Vpolyn::crossingX(word);
    const int32_t dx = Vpolyn::crossingDx(word);
    const int32_t xe = xs + dx;
    if (xq < xs && xq <= xe) {
        return true;
    }
    return (xq < xs || xq < xe) && x < xs * 2048 + ((fy * dx) >> 4);
}

// The rightmost x (1/16 pixel) the crossing reaches within its row; a point
// at or right of it is never left of the crossing.
inline int32_t rightEnd(int32_t word)
{
    const int32_t xs = Vpolyn::crossingX(word);
    return std::max(xs, xs + Vpolyn::crossingDx(word));
}

inline int32_t leftEnd(int32_t word)
{
    const int32_t xs = Vpolyn::crossingX(word);
    return std::min(xs, xs + Vpolyn::crossingDx(word));
}

}  // namespace

int32_t Vpolyn::fillByCrossings(Fixed x, Fixed y) const
{
    if (x < 0 || x >= m_widthBound || y < 0 || y >= m_heightBound || (y >> 15) >= m_rowCount) {
        return 0;
    }
    // The rule itself: along the row from its start, the fill right of the
    // last crossing before the first one the point lies left of.
    const int32_t row = y >> 15;
    int32_t fill = 0;
    for (int32_t c = m_rowStart[row], end = rowEnd(row); c < end; ++c) {
        if (leftOf(m_crossings[c], x >> 11, x, y & 0x7FFF)) {
            break;
        }
        fill = crossingFill(m_crossings[c]);
    }
    return fill;
}

int32_t Vpolyn::rowQuery(Fixed x, Fixed y, FillSpan& span) const
{
    const int32_t row = y >> 15;
    const int32_t xq = x >> 11;
    const int32_t fy = y & 0x7FFF;
    span.row = row;
    span.left = 0;
    span.right = kNoRight;
    span.fill = 0;
    if (row >= m_rowCount) {
        return 0;
    }
    const int32_t* words = m_crossings.data();
    int32_t c = m_rowStart[row];
    const int32_t end = rowEnd(row);
    int32_t fill = 0;
    int32_t reach = 0;  // the span starts where every crossing passed ends
    if (m_reachReady && c < end) {
        // Every crossing whose reach is at or left of the point is passed:
        // skip them all at once.
        const int32_t* reaches = m_reach.data();
        const int32_t skipTo = static_cast<int32_t>(std::upper_bound(reaches + c, reaches + end, xq) - reaches);
        if (skipTo > c) {
            fill = crossingFill(words[skipTo - 1]);
            reach = reaches[skipTo - 1];
            c = skipTo;
        }
    }
    int32_t right = kNoRight;
    for (; c < end; ++c) {
        const int32_t w = words[c];
        if (leftOf(w, xq, x, fy)) {
            // Points left of both its ends stop here too.
            right = leftEnd(w);
            break;
        }
        fill = crossingFill(w);
        reach = std::max(reach, rightEnd(w));
    }
    // Any point of the row from `reach` to `right` passes the same crossings
    // and stops at the same one, whatever its height in the row.
    span.left = reach;
    span.right = right;
    span.fill = fill;
    return fill;
}

void Vpolyn::buildQueryTables()
{
    dropQueryTables();
    if (m_rowCount <= 0 || m_crossingSlots <= 0) {
        return;
    }
    if (m_reach.length() != m_crossingSlots) {
        deleteInt(m_reach);
        m_reach = allocInt(m_crossingSlots);
    }
    for (int32_t row = 0; row < m_rowCount; ++row) {
        int32_t reach = 0;
        for (int32_t c = m_rowStart[row], end = rowEnd(row); c < end; ++c) {
            reach = std::max(reach, rightEnd(m_crossings[c]));
            m_reach[c] = reach;
        }
    }
    m_reachReady = true;
    buildFillGrid();
}

void Vpolyn::buildFillGrid()
{
    const int32_t width = m_widthBound >> 15;
    const int32_t height = m_heightBound >> 15;
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxGridCells) {
        return;  // such a drawing answers from its crossings
    }
    if (m_grid.length() != width * height) {
        deleteByte(m_grid);
        m_grid = allocByte(width * height);
    }
    m_gridWidth = width;
    const int32_t lastCell = width - 1;
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* cells = m_grid.data() + static_cast<int64_t>(row) * width;
        if (row >= m_rowCount) {
            std::memset(cells, 0, static_cast<size_t>(width));  // no crossings: background
            continue;
        }
        const int32_t begin = m_rowStart[row];
        const int32_t end = rowEnd(row);
        // Each pixel takes the fill right of the crossings wholly left of it
        // (those whose reach is at or left of the pixel's left edge), ...
        int32_t c = begin;
        uint8_t fill = 0;
        for (int32_t cell = 0; cell < width; ++cell) {
            const int32_t pixelLeft = cell * 16;
            while (c < end && m_reach[c] <= pixelLeft) {
                fill = static_cast<uint8_t>(crossingFill(m_crossings[c]));
                ++c;
            }
            cells[cell] = fill;
        }
        // ... unless a crossing's span within the row touches the pixel, so
        // that a point in it could lie on either side: such pixels ask the
        // crossings. Outside every such span each crossing lies wholly left
        // or wholly right of the pixel, and the wholly-left ones come first
        // in the row's order, which is what the sweep above took.
        for (c = begin; c < end; ++c) {
            const int32_t lo = leftEnd(m_crossings[c]);
            const int32_t hi = rightEnd(m_crossings[c]);
            // A pixel [16k, 16k + 15] is wholly right of the crossing when
            // 16k >= hi and wholly left of it when 16k + 15 < lo.
            const int32_t first = std::max(lo, 0) >> 4;
            const int32_t last = std::min(hi - 1, lastCell * 16 + 15);
            if (hi <= 0 || last < 0) {
                continue;
            }
            for (int32_t cell = first, stop = last >> 4; cell <= stop && cell <= lastCell; ++cell) {
                cells[cell] = kCrossedCell;
            }
        }
    }
    m_gridReady = true;
}

}  // namespace tarnby
