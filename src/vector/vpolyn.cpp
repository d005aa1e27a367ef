// The polygon rasteriser: building the per-row crossings.
#include "vector/vpolyn.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "runtime/v.h"

namespace tarnby {

Vpolyn::Vpolyn() = default;

void Vpolyn::setSize(int32_t width, int32_t height)
{
    Vsprite::setSize(width, height);
    m_widthBound = toFixed(width);
    m_heightBound = toFixed(height);
    m_gridReady = false;  // the grid has the old size
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
    m_crossingsDropped = false;
    m_pending.clear();
    m_building = true;
    dropQueryTables();
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

void Vpolyn::reopen()
{
    // Edges added after finish(): the crossings in place become pending again,
    // row by row in their order; re-inserted as non-first crossings they keep
    // exactly that order, and the new ones fall in among them as they would
    // have then.
    m_pending.clear();
    for (int32_t r = 0; r < m_rowCount; ++r) {
        for (int32_t c = rowBegin(r), end = rowEnd(r); c < end; ++c) {
            m_pending.push_back({ r, m_crossings[c], false });
        }
    }
    m_building = true;
}

void Vpolyn::insertCrossing(int32_t x16, int32_t row, int32_t nextX16, int32_t leftFill, int32_t rightFill, bool first)
{
    (void)leftFill;  // a crossing keeps only the fill on its right
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    if (!m_building) {
        reopen();
    }
    dropQueryTables();
    int32_t x = x16 > 8191 ? 8191 : (x16 < 0 ? 0 : x16);
    int32_t dx = nextX16 - x;
    dx = dx < -4096 ? -4096 : (dx > 4095 ? 4095 : dx);
    if (m_gapSize == 0) {
        if (m_crossingSlots >= kMaxCrossings) {
            m_crossingsDropped = true;
            return;
        }
        m_crossingSlots += kGrowth;
        m_gapSize += kGrowth;
    }
    int32_t word = static_cast<int32_t>(
        static_cast<uint32_t>(x) | (static_cast<uint32_t>(rightFill & 63) << 13) | (static_cast<uint32_t>(dx) << 19));
    m_pending.push_back({ row, word, first });
    --m_gapSize;
}

void Vpolyn::orderEqualX(Pending* run, int32_t count)
{
    // Crossings at one x of one row, in the order they arrived. A non-first
    // crossing joins the end; a first one goes before the earliest crossing
    // whose dx is larger. That earliest crossing is always a "record" (larger
    // than everything before it), and the records rise in both place and dx,
    // so a map from record dx to list node finds it in log time.
    constexpr int32_t kNone = -1;
    std::vector<int32_t> next(static_cast<size_t>(count), kNone);
    std::vector<int32_t> prev(static_cast<size_t>(count), kNone);
    std::map<int32_t, int32_t> records;
    int32_t head = kNone, tail = kNone;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t d = crossingDx(run[k].word);
        int32_t before = kNone;  // kNone: join the end
        bool record;
        if (run[k].first) {
            auto it = records.upper_bound(d);
            if (it != records.end()) {
                before = it->second;
            }
            record = it == records.begin() || std::prev(it)->first < d;
        } else {
            record = records.empty() || records.rbegin()->first < d;
        }
        const size_t kk = static_cast<size_t>(k);
        if (before == kNone) {
            prev[kk] = tail;
            if (tail != kNone) {
                next[static_cast<size_t>(tail)] = k;
            } else {
                head = k;
            }
            tail = k;
        } else {
            const int32_t p = prev[static_cast<size_t>(before)];
            prev[kk] = p;
            next[kk] = before;
            prev[static_cast<size_t>(before)] = k;
            if (p != kNone) {
                next[static_cast<size_t>(p)] = k;
            } else {
                head = k;
            }
        }
        if (record) {
            records[d] = k;
        }
    }
    std::vector<int32_t> words;
    words.reserve(static_cast<size_t>(count));
    for (int32_t k = head; k != kNone; k = next[static_cast<size_t>(k)]) {
        words.push_back(run[k].word);
    }
    for (int32_t k = 0; k < count; ++k) {
        run[k].word = words[static_cast<size_t>(k)];
        run[k].first = false;
    }
}

int32_t Vpolyn::finish()
{
    if (m_building) {
        m_building = false;
        const int32_t count = static_cast<int32_t>(m_pending.size());
        if (m_crossings.length() < m_crossingSlots) {
            m_crossings = IntArray();  // the old array goes (and is given back) first
            m_crossings = allocInt(m_crossingSlots);
        }
        // Count each row, then place the crossings row by row in arrival order.
        for (int32_t r = 0; r <= m_rowCount; ++r) {
            m_rowStart[r] = 0;
        }
        for (const Pending& p : m_pending) {
            ++m_rowStart[p.row + 1];
        }
        for (int32_t r = 0; r < m_rowCount; ++r) {
            m_rowStart[r + 1] += m_rowStart[r];
            m_cursor[r] = m_rowStart[r];
        }
        m_sorted.resize(m_pending.size());
        for (const Pending& p : m_pending) {
            m_sorted[static_cast<size_t>(m_cursor[p.row]++)] = p;
        }
        // Within a row, x decides; arrival order and slope settle equal x.
        for (int32_t r = 0; r < m_rowCount; ++r) {
            Pending* begin = m_sorted.data() + m_rowStart[r];
            Pending* end = m_sorted.data() + m_rowStart[r + 1];
            std::stable_sort(begin, end,
                [](const Pending& a, const Pending& b) { return crossingX(a.word) < crossingX(b.word); });
            for (Pending* run = begin; run < end;) {
                Pending* runEnd = run + 1;
                bool anyFirst = run->first;
                while (runEnd < end && crossingX(runEnd->word) == crossingX(run->word)) {
                    anyFirst = anyFirst || runEnd->first;
                    ++runEnd;
                }
                if (anyFirst && runEnd - run > 1) {
                    orderEqualX(run, static_cast<int32_t>(runEnd - run));
                }
                run = runEnd;
            }
        }
        for (int32_t c = 0; c < count; ++c) {
            m_crossings[c] = m_sorted[static_cast<size_t>(c)].word;
        }
        // The free slots sit after the last row.
        m_rowStart[m_rowCount] = m_crossingSlots;
        m_gapRow = m_rowCount;
        m_gapSize = m_crossingSlots - count;
        if (m_pending.capacity() > 65536) {
            std::vector<Pending>().swap(m_pending);  // a huge drawing's scratch goes back
            std::vector<Pending>().swap(m_sorted);
        } else {
            m_pending.clear();
            m_sorted.clear();
        }
    }
    buildQueryTables();
    ++m_signature;
    invalidateCache();
    return m_crossingSlots - m_gapSize;
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
