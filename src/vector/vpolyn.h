// A filled vector drawing held as per-row edge crossings: drawn scaled with
// anti-aliased edges, and asked which fill lies under any point.
//
// Every edge is cut at pixel-row boundaries. Each crossing is one 32-bit word:
//
// | bits  | width        | meaning                                                        |
// |-------|--------------|----------------------------------------------------------------|
// | 0-12  | 13, unsigned | x where the edge enters the row (its top), in 1/16 pixel       |
// | 13-18 | 6, unsigned  | fill of the region right of the crossing (0 = background)      |
// | 19-31 | 13, signed   | dx: change of the edge's x across the row, in 1/16 pixel       |
//
// All rows live in one array in row order, sorted by x within a row. Crossings
// are first collected in the order they arrive and put in place by finish() in
// one pass (rows counted, each row sorted), so building costs about n log n
// whatever the order of the edges: a file cannot make loading quadratic by
// piling edges into a few rows or jumping between far-apart rows.
//
// Budget: at most about kMaxCrossings crossings (4 MB, plus 8 bytes each while
// building); crossings beyond it are dropped, and crossingsDropped() says so
// (the shape reader names the file in one line).
#pragma once

#include <cstdint>
#include <vector>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "runtime/array.h"
#include "sprite/vsprite.h"

namespace tarnby {

class Vpolyn : public Vsprite {
public:
    // The crossings array grows by this many slots when it is full...
    static constexpr int32_t kGrowth = 2048;
    // ... up to this many crossings (4 MB, some 2000 a row for a course, where
    // a real one has a few dozen); a drawing that needs more is kept without
    // its extra crossings rather than exhausting memory and time.
    static constexpr int32_t kMaxCrossings = 1 << 20;

    static int32_t crossingX(int32_t word) { return word & 0x1FFF; }
    static int32_t crossingFill(int32_t word) { return (word >> 13) & 63; }
    static int32_t crossingDx(int32_t word) { return word >> 19; }

    Vpolyn();

    // Draws the drawing scaled by the sprite's draw scale with its top-left
    // corner at the sprite's left/top bound; fill colour 0 is transparent.
    void render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
        int32_t clipB) override;
    // Also sets the point-query bounds.
    void setSize(int32_t width, int32_t height) override;
    // New zeroed colour and picture-frame tables of n fills; fill 0 is in use.
    virtual void setFillCount(int32_t n);

    // Creates or clears the drawing: width x height pixels, room for
    // crossingCapacity crossings before the first growth, fillCount fills.
    void init(int32_t width, int32_t height, int32_t crossingCapacity, int32_t fillCount);
    // Scan-converts the edge (x0, y0)-(x1, y1) (Fixed pixels); fillA lies on
    // the right of the edge when it runs upward on screen, fillB when it runs
    // downward (the shape file's fill 0 and fill 1).
    void addEdge(Fixed x0, Fixed y0, Fixed x1, Fixed y1, int32_t fillA, int32_t fillB);
    // Inserts one crossing at x16 (1/16 pixel) into a row; `first` marks the
    // top row of its edge, where a shared vertex orders crossings by slope:
    // it goes before the first crossing at the same x whose dx is larger,
    // while any other crossing goes after every crossing at its x. The rows
    // are readable once finish() has put the crossings in place.
    void insertCrossing(int32_t x16, int32_t row, int32_t nextX16, int32_t leftFill, int32_t rightFill, bool first);
    // Closes the gap and resets the query cursors; call after the last edge.
    // Gives the number of crossings.
    int32_t finish();

    // The fill of an equal colour, else a new fill for it. Fill 0 when every
    // fill is taken.
    int32_t addColour(uint32_t colour);
    using Vsprite::setColour;
    void setColour(int32_t fill, uint32_t value);
    void setFillPicture(int32_t fill, const Ref<Vilib>& library, int32_t frame);

    // A caller's memory of the row span it was last answered from; each
    // thread that asks keeps its own.
    struct FillSpan {
        int32_t row = -1;
        int32_t left = 0;   // 1/16 pixel, inclusive
        int32_t right = 0;  // exclusive
        int32_t fill = 0;
    };
    // A fill grid cell that an edge crosses (the crossings answer there).
    static constexpr uint8_t kCrossedCell = 0xFF;
    // Drawings of more pixels than this get no fill grid and answer from
    // their crossings alone.
    static constexpr int32_t kMaxGridCells = 1 << 22;

    // The fill under the point (x, y) in Fixed pixels; 0 outside the drawing.
    // The answer depends on the point alone, never on earlier queries: a
    // pixel the fill grid knows is answered at once, others from the span
    // remembered in `span`, else by walking the row's crossings.
    int32_t fillAt(Fixed x, Fixed y, FillSpan& span) const
    {
        if (x < 0 || x >= m_widthBound || y < 0 || y >= m_heightBound) {
            return 0;
        }
        if (m_gridReady) {
            const uint8_t cell = m_grid.data()[(y >> 15) * m_gridWidth + (x >> 15)];
            if (cell != kCrossedCell) {
                return cell;
            }
        }
        const int32_t xq = x >> 11;
        if ((y >> 15) == span.row && span.left <= xq && xq < span.right) {
            return span.fill;
        }
        return rowQuery(x, y, span);
    }
    // The same with the drawing's own span (one caller at a time).
    int32_t fillAt(Fixed x, Fixed y) { return fillAt(x, y, m_span); }
    // The same by the crossings alone, without grid, span or skipping: the
    // rule that the others must agree with.
    int32_t fillByCrossings(Fixed x, Fixed y) const;
    uint32_t colourAt(Fixed x, Fixed y) { return colour(fillAt(x, y)); }

    // --- Queries for the terrain, tools and tests -----------------------------
    int32_t fillsUsed() const { return m_fillsUsed; }
    int32_t fillCount() const { return m_colours.length(); }
    uint32_t colour(int32_t fill) const
    {
        return fill >= 0 && fill < m_colours.length() ? static_cast<uint32_t>(m_colours[fill]) : 0;
    }
    int32_t frame(int32_t fill) const { return fill >= 0 && fill < m_frames.length() ? m_frames[fill] : 0; }
    const Ref<Vilib>& fillPictures() const { return m_fillPictures; }
    int32_t drawingWidth() const { return m_widthBound >> 15; }
    int32_t drawingHeight() const { return m_heightBound >> 15; }
    int32_t crossingCount() const { return m_crossingSlots - m_gapSize; }
    int32_t crossingCapacity() const { return m_crossingSlots; }
    // Whether crossings were dropped since init because the array was full.
    bool crossingsDropped() const { return m_crossingsDropped; }
    // Row r's crossings are crossingWord(rowBegin(r)) .. crossingWord(rowEnd(r) - 1).
    int32_t rowBegin(int32_t row) const { return m_rowStart[row]; }
    int32_t rowEnd(int32_t row) const { return m_rowStart[row + 1] - (row + 1 == m_gapRow ? m_gapSize : 0); }
    int32_t crossingWord(int32_t index) const { return m_crossings[index]; }
    int32_t rows() const { return m_rowCount; }

    // Forgets the drawing's own span, so the next query walks the crossings.
    void invalidateCache() { m_span.row = -1; }
    // The fill grid: one cell a pixel, row by row, fillGridWidth() cells a
    // row, holding the fill of the whole pixel or kCrossedCell; finish()
    // builds it.
    bool fillGridReady() const { return m_gridReady; }
    int32_t fillGridWidth() const { return m_gridWidth; }
    const ByteArray& fillGrid() const { return m_grid; }
    // Memory the query tables (reach and grid) take.
    int32_t queryTableBytes() const { return 4 * m_reach.length() + m_grid.length(); }

protected:
    // Would fillAt (x, y) be answered from the drawing's own span?
    bool cacheHolds(Fixed x, Fixed y) const
    {
        int32_t xq = x >> 11;
        return (y >> 15) == m_span.row && m_span.left <= xq && xq < m_span.right;
    }

private:
    int32_t rowQuery(Fixed x, Fixed y, FillSpan& span) const;
    // The query tables of a finished drawing: the crossings' reach and the fill grid.
    void buildQueryTables();
    void buildFillGrid();
    // Forgets the query tables when the crossings change.
    void dropQueryTables()
    {
        m_reachReady = false;
        m_gridReady = false;
    }
    // One crossing as it arrived, until finish() puts it in its row.
    struct Pending {
        int32_t row;
        int32_t word;
        bool first;
    };
    void reopen();
    void orderEqualX(Pending* run, int32_t count);

    FillSpan m_span;
    IntArray m_colours;
    int32_t m_fillsUsed = 1;
    IntArray m_crossings;
    int32_t m_crossingSlots = 0;
    int32_t m_gapRow = 0;
    int32_t m_gapSize = 0;
    Fixed m_heightBound = 0;
    Ref<Vilib> m_fillPictures;
    IntArray m_frames;
    Fixed m_widthBound = 0;
    IntArray m_rowStart;
    IntArray m_cursor;  // finish()'s scratch
    // Per crossing, the rightmost x (1/16 pixel) that it or any crossing
    // before it in its row reaches: a point at or right of it lies right of
    // all of them, so a query skips them by a binary search.
    IntArray m_reach;
    bool m_reachReady = false;
    ByteArray m_grid;
    int32_t m_gridWidth = 0;
    bool m_gridReady = false;
    int32_t m_rowCount = 0;  // rows of the crossing tables (height at init)
    bool m_crossingsDropped = false;
    bool m_building = false;  // crossings wait in m_pending until finish()
    std::vector<Pending> m_pending;
    std::vector<Pending> m_sorted;
};

}  // namespace tarnby
