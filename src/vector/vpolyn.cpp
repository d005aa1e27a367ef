// The polygon rasteriser: building the per-row crossings and the point query.
#include "vector/vpolyn.h"

#include <cstring>

#include "runtime/v.h"

namespace tarnby {

namespace {

constexpr int32_t kNoRight = 0x7FFFFFFF;

}  // namespace

Vpolyn::Vpolyn() = default;

void Vpolyn::setSize(int32_t width, int32_t height)
{
    Vsprite::setSize(width, height);
    m_widthBound = toFixed(width);
    m_heightBound = toFixed(height);
}

void Vpolyn::setFillCount(int32_t n)
{
    if (n < 1) {
        n = 1;  // fill 0, the background, always exists
    }
    m_colours = allocInt(n);
    m_frames = allocInt(n);
    m_fillsUsed = 1;
}

void Vpolyn::init(int32_t width, int32_t height, int32_t crossingCapacity, int32_t fillCount)
{
    if (width < 0) {
        width = 0;
    }
    if (height < 0) {
        height = 0;
    }
    if (crossingCapacity < 0) {
        crossingCapacity = 0;
    }
    if (crossingCapacity > kMaxCrossings) {
        crossingCapacity = kMaxCrossings;
    }
    setFillCount(fillCount);
    setSize(width, height);
    if (m_rowStart.empty() || height != m_rowCount) {
        deleteInt(m_rowStart);
        deleteInt(m_cursor);
        m_rowStart = allocInt(height + 1);
        m_cursor = allocInt(height + 1);
        m_rowCount = height;
    } else {
        std::memset(m_rowStart.data(), 0, sizeof(int32_t) * static_cast<size_t>(height + 1));
    }
    if (m_crossings.empty() && crossingCapacity > 0) {
        m_crossings = allocInt(crossingCapacity);
    }
    // A drawing reused for the next hole keeps its (possibly grown) array.
    m_crossingSlots = m_crossings.length();
    m_gapRow = height;
    m_rowStart[height] = m_crossingSlots;
    m_gapSize = m_crossingSlots;
    m_overflowReported = false;
    invalidateCache();
}

void Vpolyn::addEdge(Fixed x0, Fixed y0, Fixed x1, Fixed y1, int32_t fillA, int32_t fillB)
{
    int32_t r0 = y0 >> 15;
    int32_t r1 = y1 >> 15;
    if (r0 == r1) {
        return;  // lies within one row: crosses no row's top
    }
    int32_t topX, bottomX, topRow, bottomRow, leftFill, rightFill;
    if (r1 > r0) {
        topX = x0, topRow = r0, bottomX = x1, bottomRow = r1;
        leftFill = fillB, rightFill = fillA;
    } else {
        topX = x1, topRow = r1, bottomX = x0, bottomRow = r0;
        leftFill = fillA, rightFill = fillB;
    }
    // 64-bit steps so that coordinates from a corrupt file cannot overflow;
    // within the drawing they give the same values as 32-bit sums.
    int64_t xs = topX >> 11;
    int64_t rowCount = static_cast<int64_t>(bottomRow) - topRow;
    int64_t step = ((bottomX >> 11) - xs) * 32768;
    if (rowCount > 1) {
        step /= rowCount;
    }
    // Rows outside the drawing get no crossings.
    int32_t first = topRow < 0 ? 0 : topRow;
    int32_t last = bottomRow > m_rowCount ? m_rowCount : bottomRow;
    int64_t acc = xs * 32768 + step * (static_cast<int64_t>(first) - topRow);
    for (int32_t r = first; r < last; ++r) {
        int64_t here = acc >> 15;
        int64_t next = (acc + step) >> 15;
        auto clampWide = [](int64_t v) {
            return static_cast<int32_t>(v < -0x10000 ? -0x10000 : (v > 0x10000 ? 0x10000 : v));
        };
        insertCrossing(clampWide(here), r, clampWide(next), leftFill, rightFill, r == topRow);
        acc += step;
    }
}

bool Vpolyn::moveGapTo(int32_t row)
{
    int32_t* rowStart = m_rowStart.data();
    if (m_gapSize == 0) {
        if (m_crossingSlots >= kMaxCrossings) {
            if (!m_overflowReported) {
                V::log("Drawing has too many crossings, dropping from", m_crossingSlots);
                m_overflowReported = true;
            }
            return false;
        }
        // Grow, opening the gap at the end of this row.
        int32_t slots = m_crossingSlots + kGrowth;
        IntArray grown = allocInt(slots);
        int32_t end = rowStart[row + 1];
        if (end > 0) {
            std::memcpy(grown.data(), m_crossings.data(), sizeof(int32_t) * static_cast<size_t>(end));
        }
        if (m_crossingSlots > end) {
            std::memcpy(grown.data() + end + kGrowth, m_crossings.data() + end,
                        sizeof(int32_t) * static_cast<size_t>(m_crossingSlots - end));
        }
        account(-4 * m_crossingSlots);  // the old array's memory comes back
        m_crossings = grown;
        for (int32_t r = row + 1; r <= m_rowCount; ++r) {
            rowStart[r] += kGrowth;
        }
        m_crossingSlots = slots;
        m_gapSize = kGrowth;
        m_gapRow = row + 1;
        return true;
    }
    int32_t target = row + 1;
    if (target == m_gapRow) {
        return true;
    }
    int32_t* words = m_crossings.data();
    int32_t gapEnd = rowStart[m_gapRow];
    if (target > m_gapRow) {
        // The gap moves right: rows gapRow..row slide down over it.
        int32_t count = rowStart[target] - gapEnd;
        std::memmove(words + gapEnd - m_gapSize, words + gapEnd, sizeof(int32_t) * static_cast<size_t>(count));
        for (int32_t r = m_gapRow; r < target; ++r) {
            rowStart[r] -= m_gapSize;
        }
    } else {
        // The gap moves left: rows row+1..gapRow-1 slide up over it.
        int32_t from = rowStart[target];
        int32_t count = gapEnd - m_gapSize - from;
        std::memmove(words + from + m_gapSize, words + from, sizeof(int32_t) * static_cast<size_t>(count));
        for (int32_t r = target; r < m_gapRow; ++r) {
            rowStart[r] += m_gapSize;
        }
    }
    m_gapRow = target;
    return true;
}

void Vpolyn::insertCrossing(int32_t x16, int32_t row, int32_t nextX16, int32_t leftFill, int32_t rightFill,
                            bool first)
{
    (void)leftFill;  // a crossing keeps only the fill on its right
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    int32_t x = x16 > 8191 ? 8191 : (x16 < 0 ? 0 : x16);
    int32_t dx = nextX16 - x;
    dx = dx < -4096 ? -4096 : (dx > 4095 ? 4095 : dx);
    if (!moveGapTo(row)) {
        return;
    }
    int32_t* words = m_crossings.data();
    int32_t begin = m_rowStart[row];
    int32_t end = m_rowStart[row + 1] - m_gapSize;
    int32_t at = begin;
    while (at < end) {
        int32_t w = words[at];
        int32_t wx = crossingX(w);
        // At a shared vertex the edge that turns more to the left comes first.
        if (wx > x || (wx == x && first && dx < crossingDx(w))) {
            break;
        }
        ++at;
    }
    if (end > at) {
        std::memmove(words + at + 1, words + at, sizeof(int32_t) * static_cast<size_t>(end - at));
    }
    words[at] = static_cast<int32_t>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(rightFill & 63) << 13)
                                     | (static_cast<uint32_t>(dx) << 19));
    m_gapRow = row + 1;
    --m_gapSize;
}

int32_t Vpolyn::finish()
{
    if (m_rowCount > 0 && m_gapSize > 0 && m_gapRow < m_rowCount) {
        int32_t gapEnd = m_rowStart[m_gapRow];
        int32_t count = m_crossingSlots - gapEnd;
        std::memmove(m_crossings.data() + gapEnd - m_gapSize, m_crossings.data() + gapEnd,
                     sizeof(int32_t) * static_cast<size_t>(count));
        for (int32_t r = m_gapRow; r <= m_rowCount; ++r) {
            m_rowStart[r] -= m_gapSize;
        }
        // The gap now sits at the very end, after the last row.
        m_rowStart[m_rowCount] += m_gapSize;
        m_gapRow = m_rowCount;
    }
    for (int32_t r = 0; r <= m_rowCount && r < m_cursor.length(); ++r) {
        m_cursor[r] = m_rowStart[r];
    }
    ++m_signature;
    invalidateCache();
    return m_crossingSlots - m_gapSize;
}

int32_t Vpolyn::rowQuery(Fixed x, Fixed y)
{
    int32_t row = y >> 15;
    int32_t xq = x >> 11;
    int32_t fy = y & 0x7FFF;
    m_cacheRow = row;
    m_cacheLeft = 0;
    if (row >= m_rowCount) {
        m_cacheRight = kNoRight;
        m_cacheFill = 0;
        return 0;
    }
    const int32_t* words = m_crossings.data();
    int32_t begin = m_rowStart[row];
    int32_t end = rowEnd(row);
    if (begin >= end) {
        m_cacheRight = kNoRight;  // an empty row is background all along
        m_cacheFill = 0;
        return 0;
    }
    int32_t c = m_cursor[row];
    c = c < begin ? begin : (c >= end ? end - 1 : c);

    // Back up to a crossing that lies wholly left of the point.
    bool atStart = false;
    int32_t xs = 0, xe = 0;
    for (;;) {
        xs = crossingX(words[c]);
        xe = xs + crossingDx(words[c]);
        if (xq >= xs && xq > xe) {
            break;
        }
        if (c == begin) {
            atStart = true;
            break;
        }
        --c;
        m_cursor[row] = c;
    }
    int32_t fill = 0;
    if (!atStart) {
        fill = crossingFill(words[c]);
        ++c;
        m_cacheLeft = xs > xe ? xs : xe;
        if (c == end) {
            m_cacheRight = kNoRight;
            m_cacheFill = 0;
            return 0;  // right of the last crossing is background
        }
    }

    // Then forward over every crossing the point lies right of.
    while (c < end) {
        int32_t w = words[c];
        xs = crossingX(w);
        int32_t dx = crossingDx(w);
        xe = xs + dx;
        if (xq < xs && xq <= xe) {
            break;
        }
        // A slanted crossing: compare with its x at the point's height.
        if ((xq < xs || xq < xe) && x < xs * 2048 + ((fy * dx) >> 4)) {
            break;
        }
        m_cursor[row] = c;
        fill = crossingFill(w);
        ++c;
        m_cacheLeft = xs + (dx > 0 ? dx : 0);
    }
    m_cacheRight = xs < xe ? xs : xe;
    m_cacheFill = fill;
    return fill;
}

int32_t Vpolyn::addColour(uint32_t colour)
{
    for (int32_t i = 0; i < m_fillsUsed && i < m_colours.length(); ++i) {
        if (static_cast<uint32_t>(m_colours[i]) == colour) {
            return i;
        }
    }
    if (m_fillsUsed >= m_colours.length()) {
        return 0;  // every fill is taken: draw it as background
    }
    m_colours[m_fillsUsed] = static_cast<int32_t>(colour);
    return m_fillsUsed++;
}

void Vpolyn::setColour(int32_t fill, uint32_t value)
{
    if (fill >= 0 && fill < m_colours.length()) {
        m_colours[fill] = static_cast<int32_t>(value);
    }
}

void Vpolyn::setFillPicture(int32_t fill, const Ref<Vilib>& library, int32_t frame)
{
    m_fillPictures = library;
    if (fill >= 0 && fill < m_frames.length()) {
        m_frames[fill] = frame;
    }
}

}  // namespace tarnby
