// The polygon rasteriser: crossings, the movable gap, the point query, drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "runtime/array.h"
#include "support/test_support.h"
#include "vector/vpolyn.h"

namespace tarnby {
namespace {

std::vector<int32_t> rowWords(const Vpolyn& p, int32_t row)
{
    std::vector<int32_t> out;
    for (int32_t c = p.rowBegin(row); c < p.rowEnd(row); ++c) {
        out.push_back(p.crossingWord(c));
    }
    return out;
}

Fixed px(int32_t whole) { return toFixed(whole); }

TEST(VpolynTest, EdgesBecomeOneCrossingPerRowTheyEnter)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(64, 64, 16, 8);
    p->addEdge(px(10), px(5), px(20), px(5) + 0x7333, 1, 2);  // (10, 5.0)-(20, 5.9): one row
    EXPECT_EQ(p->finish(), 0) << "an edge inside one row crosses no row top";

    p->init(64, 64, 16, 8);
    p->addEdge(0, 0, 0, px(3), 1, 2);  // downward: fill A lies right of it
    EXPECT_EQ(p->finish(), 3);
    EXPECT_EQ(Vpolyn::crossingFill(rowWords(*p, 2)[0]), 1) << "a downward edge keeps fill A";
    EXPECT_TRUE(rowWords(*p, 3).empty()) << "the bottom row of an edge gets no crossing";

    // Upward edge, slanted: fill B is stored, x is taken at each row top.
    p->init(64, 64, 16, 8);
    p->addEdge(px(8), px(4), px(4), 0, 1, 2);
    p->finish();
    ASSERT_EQ(rowWords(*p, 3).size(), 1u);
    int32_t w = rowWords(*p, 3)[0];
    EXPECT_EQ(Vpolyn::crossingX(w), 7 * 16);
    EXPECT_EQ(Vpolyn::crossingDx(w), 16);
    EXPECT_EQ(Vpolyn::crossingFill(w), 2) << "an upward edge keeps fill B";
}

TEST(VpolynTest, CrossingWordsClampTheirFields)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(16, 16, 16, 64);
    p->insertCrossing(9000, 0, 9000, 0, 5, true);  // beyond 511.94 pixels
    p->insertCrossing(-40, 1, -30, 0, 63, true);   // left of the drawing
    p->insertCrossing(100, 2, 100 + 5000, 0, 1, true);
    p->insertCrossing(6000, 3, 6000 - 5000, 0, 1, true);
    p->insertCrossing(100, 99, 100, 0, 1, true);  // no such row: ignored
    p->insertCrossing(100, -1, 100, 0, 1, true);
    EXPECT_EQ(p->finish(), 4);
    EXPECT_EQ(Vpolyn::crossingX(rowWords(*p, 0)[0]), 8191);
    EXPECT_EQ(Vpolyn::crossingFill(rowWords(*p, 0)[0]), 5);
    EXPECT_EQ(Vpolyn::crossingX(rowWords(*p, 1)[0]), 0) << "negative x is clamped to 0";
    EXPECT_EQ(Vpolyn::crossingDx(rowWords(*p, 1)[0]), -30);
    EXPECT_EQ(Vpolyn::crossingFill(rowWords(*p, 1)[0]), 63);
    EXPECT_EQ(Vpolyn::crossingDx(rowWords(*p, 2)[0]), 4095);
    EXPECT_EQ(Vpolyn::crossingDx(rowWords(*p, 3)[0]), -4096);

    // Edges that run far outside the drawing only touch the rows inside it.
    p->init(16, 16, 16, 8);
    p->addEdge(px(4), INT32_MIN, px(4), INT32_MAX, 1, 0);
    EXPECT_EQ(p->finish(), 16);
}

TEST(VpolynTest, SharedVertexOrdersBySlopeOnlyInTheFirstRow)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(32, 32, 16, 8);
    // Two edges leave the vertex (10, 2) downward; the one turning left comes
    // first whatever order they arrive in.
    p->addEdge(px(10), px(2), px(14), px(6), 1, 0);  // dx +1 pixel a row
    p->addEdge(px(10), px(2), px(6), px(6), 0, 2);   // dx -1 pixel a row
    p->insertCrossing(80, 10, 90, 0, 3, false);
    p->insertCrossing(80, 10, 70, 0, 4, false);
    p->finish();
    std::vector<int32_t> row2 = rowWords(*p, 2);
    ASSERT_EQ(row2.size(), 2u);
    EXPECT_EQ(Vpolyn::crossingDx(row2[0]), -16);
    EXPECT_EQ(Vpolyn::crossingDx(row2[1]), 16);
    std::vector<int32_t> row10 = rowWords(*p, 10);
    ASSERT_EQ(row10.size(), 2u);
    EXPECT_EQ(Vpolyn::crossingFill(row10[0]), 3) << "not the first row: no slope order";
    EXPECT_EQ(Vpolyn::crossingFill(row10[1]), 4);
}

// A plain model of the rows: sorted insertion with the same tie rule.
struct RowModel {
    std::vector<std::vector<int32_t>> rows;
    void insert(int32_t x, int32_t row, int32_t nextX, int32_t fill, bool first)
    {
        int32_t dx = std::clamp(nextX - x, -4096, 4095);
        auto& r = rows[static_cast<size_t>(row)];
        size_t at = 0;
        while (at < r.size()) {
            int32_t wx = Vpolyn::crossingX(r[at]);
            if (wx > x || (wx == x && first && dx < Vpolyn::crossingDx(r[at]))) {
                break;
            }
            ++at;
        }
        r.insert(r.begin() + static_cast<long>(at),
                 static_cast<int32_t>(static_cast<uint32_t>(x) | (static_cast<uint32_t>(fill) << 13)
                                      | (static_cast<uint32_t>(dx) << 19)));
    }
};

TEST(VpolynTest, GapTravelsAndArrayGrowsWithoutLosingCrossings)
{
    std::mt19937 random(7);
    for (int32_t capacity : { 0, 3, 100 }) {
        Ref<Vpolyn> p = make<Vpolyn>();
        p->init(64, 48, capacity, 8);
        RowModel model;
        model.rows.resize(48);
        int32_t before = avail();
        auto expectRows = [&](const char* when) {
            for (int32_t r = 0; r < 48; ++r) {
                ASSERT_EQ(rowWords(*p, r), model.rows[static_cast<size_t>(r)]) << "row " << r << " " << when;
            }
        };
        // Crossings in every order: runs down rows, jumps back and forth.
        for (int32_t i = 0; i < 5000; ++i) {
            int32_t row = static_cast<int32_t>(random() % 48);
            int32_t x = static_cast<int32_t>(random() % 1024);
            int32_t next = x + static_cast<int32_t>(random() % 64) - 32;
            int32_t fill = static_cast<int32_t>(random() % 8);
            bool first = random() % 2 == 0;
            p->insertCrossing(x, row, next, 0, fill, first);
            model.insert(x, row, next, fill, first);
            if (i % 997 == 0) {
                expectRows("mid-way, read through the gap wherever it is");
            }
        }
        EXPECT_EQ(p->finish(), 5000);
        expectRows("finished");
        EXPECT_EQ((p->crossingCapacity() - std::max(capacity, 0)) % Vpolyn::kGrowth, 0) << "grows 2048 at a time";
        EXPECT_EQ(before - avail(), 4 * (p->crossingCapacity() - capacity))
            << "the memory counter follows the array, old arrays given back";

        // Edges added after finish still land in the right rows.
        p->addEdge(px(60), px(40), px(60), px(47), 1, 0);
        for (int32_t r = 40; r < 47; ++r) {
            model.insert(60 * 16, r, 60 * 16, 1, r == 40);
        }
        EXPECT_EQ(p->finish(), 5007);
        expectRows("edges added after finish");
    }
}

TEST(VpolynTest, FillAtReadsTheRowsLeftToRight)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(64, 64, 64, 8);
    int32_t a = p->addColour(0xFF0000FF);
    int32_t b = p->addColour(0xFF00FF00);
    // Square a at (8..40, 8..40) with square b at (16..24, 16..24) inside it;
    // edges run clockwise on screen with the inside on their right.
    auto square = [&](int32_t l, int32_t t, int32_t r, int32_t bt, int32_t inside, int32_t outside) {
        p->addEdge(px(r), px(t), px(r), px(bt), outside, inside);  // down the right side
        p->addEdge(px(l), px(bt), px(l), px(t), outside, inside);  // up the left side
    };
    square(8, 8, 40, 40, a, 0);
    square(16, 16, 24, 24, b, a);
    p->finish();
    struct Probe {
        Fixed x, y;
        int32_t fill;
    } probes[] = {
        { px(2), px(20), 0 },       // left of every crossing
        { px(20), px(20), b },      // inside the inner square
        { px(30), px(20), a },
        { px(50), px(20), 0 },      // right of every crossing
        { px(20), px(40), 0 },      // the bottom row of the square has none
        { px(8), px(12), a },       // exactly on the left side
        { px(40) - 1, px(12), a },  // just left of the right side
        { px(40), px(12), 0 },
        { -1, px(12), 0 },          // outside the drawing
        { px(64), px(12), 0 },
        { px(12), px(64), 0 },
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(p->fillAt(probe.x, probe.y), probe.fill) << "at (" << probe.x / 32768.0 << ", "
                                                             << probe.y / 32768.0 << ")";
    }
    EXPECT_EQ(p->colourAt(px(100), px(20)), 0u) << "outside: colour of fill 0";
}

TEST(VpolynTest, QueriesInAnyOrderAgreeWithAFreshWalk)
{
    // A star of slanted edges cut in two along its axis: a planar map, every
    // row with several slanted crossings and shared vertices.
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(128, 128, 16, 16);
    int32_t right = p->addColour(0xFF0000FF);
    int32_t left = p->addColour(0xFF00FF00);
    const int32_t pts[][2] = { { 64, 4 }, { 80, 50 }, { 124, 60 }, { 84, 82 }, { 100, 124 },
                               { 64, 96 }, { 28, 124 }, { 44, 82 }, { 4, 60 }, { 48, 50 } };
    for (int32_t i = 0; i < 10; ++i) {
        const int32_t* s = pts[i];
        const int32_t* e = pts[(i + 1) % 10];
        // Clockwise on screen: outside on the walker's left, inside on the right.
        p->addEdge(px(s[0]), px(s[1]), px(e[0]), px(e[1]), 0, i < 5 ? right : left);
    }
    p->addEdge(px(64), px(4), px(64), px(96), right, left);  // the axis, walked south
    p->finish();
    EXPECT_EQ(p->fillAt(px(70), px(60)), right);
    EXPECT_EQ(p->fillAt(px(58), px(60)), left);

    // Reference: each point asked right after a query in another row.
    std::vector<int32_t> reference;
    std::vector<std::pair<Fixed, Fixed>> points;
    for (int32_t y = 0; y < 128 * 4; ++y) {
        for (int32_t x = 0; x < 128 * 8; ++x) {
            points.push_back({ x * 0x1000 + 0x123, y * 0x2000 + 0x456 });
        }
    }
    for (auto [x, y] : points) {
        p->fillAt(0, (y + px(64)) % px(128));
        reference.push_back(p->fillAt(x, y));
    }
    int32_t inside = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(p->fillAt(points[i].first, points[i].second), reference[i]) << "row order, point " << i;
        inside += reference[i] != 0;
    }
    EXPECT_GT(inside, static_cast<int32_t>(points.size() / 8)) << "the star covers part of the drawing";
    std::mt19937 random(3);
    for (int32_t k = 0; k < 200000; ++k) {
        size_t i = random() % points.size();
        ASSERT_EQ(p->fillAt(points[i].first, points[i].second), reference[i]) << "random order, point " << i;
    }
}

TEST(VpolynTest, ClearingForTheNextHoleForgetsTheOldAnswers)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(32, 32, 8, 8);
    int32_t a = p->addColour(0xFFFF0000);
    p->addEdge(px(20), px(0), px(20), px(32), 0, a);  // a between x = 4 and x = 20
    p->addEdge(px(4), px(32), px(4), px(0), 0, a);
    p->finish();
    ASSERT_EQ(p->fillAt(px(10), px(10)), a);
    ASSERT_EQ(p->fillAt(px(11), px(10)), a) << "answered from the cache";

    p->init(32, 32, 8, 8);
    EXPECT_EQ(p->fillAt(px(11), px(10)), 0) << "init drops the cached span of the old drawing";
    int32_t b = p->addColour(0xFF00FF00);
    p->addEdge(px(12), px(0), px(12), px(32), 0, b);  // b between x = 0 and x = 12
    p->addEdge(px(0), px(32), px(0), px(0), 0, b);
    p->fillAt(px(11), px(10));
    p->finish();
    EXPECT_EQ(p->fillAt(px(11), px(10)), b) << "finish drops a span cached while the drawing was built";

    // A taller drawing next time gets row tables of its own size.
    p->init(32, 300, 8, 8);
    int32_t c = p->addColour(0xFF0000FF);
    p->addEdge(px(12), px(0), px(12), px(300), 0, c);
    p->addEdge(px(0), px(300), px(0), px(0), 0, c);
    EXPECT_EQ(p->finish(), 600);
    EXPECT_EQ(p->fillAt(px(5), px(299)), c);
}

TEST(VpolynTest, AddColourFindsKnownColoursAndRefusesPastTheTable)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(8, 8, 0, 4);
    EXPECT_EQ(p->addColour(0), 0) << "a fresh drawing's colours are all 0: fill 0 matches";
    EXPECT_EQ(p->addColour(0xFF112233), 1);
    EXPECT_EQ(p->addColour(0xFF445566), 2);
    EXPECT_EQ(p->addColour(0xFF112233), 1) << "a known colour";
    EXPECT_EQ(p->addColour(0x00112233), 3) << "colours match exactly, alpha included";
    EXPECT_EQ(p->fillsUsed(), 4);
    EXPECT_EQ(p->addColour(0xFF778899), 0) << "the table is full: background";
    EXPECT_EQ(p->fillsUsed(), 4);
    p->setColour(9, 0xFFFFFFFF);  // out of range: ignored
    p->setFillPicture(-1, nullptr, 3);
    EXPECT_EQ(p->colour(9), 0u);
    EXPECT_EQ(p->frame(-1), 0);
}

TEST(VpolynTest, RenderFillsSpansAndBlendsEdges)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(16, 16, 64, 4);
    int32_t red = p->addColour(0xFFFF0000);
    p->setColour(0, 0);  // transparent background
    // A square from x 4.5 to 11.5, rows 4 to 12; the right side slants.
    p->addEdge(px(4) + 0x4000, px(12), px(4) + 0x4000, px(4), 0, red);
    p->addEdge(px(11) + 0x4000, px(4), px(11) + 0x4000, px(12), 0, red);
    p->finish();

    for (Fixed scale : { kOne, 2 * kOne, kHalf }) {
        int32_t size = 16 * scale / kOne;
        std::vector<uint32_t> frame(static_cast<size_t>(32 * 32), 0xFF202020u);
        p->layout(0, 0, scale);
        p->render(frame.data(), 32, 32, 0, 0, 32, 32);
        test::saveFrame("vpolyn_square_" + std::to_string(scale), frame.data(), 32, 32, 32);
        auto at = [&](int32_t x, int32_t y) { return frame[static_cast<size_t>(y * 32 + x)] & 0xFFFFFF; };
        int32_t k = scale * 8 / kOne;  // the square's centre
        EXPECT_EQ(at(k, k), 0xFF0000u) << "inside, scale " << scale;
        EXPECT_EQ(at(0, k), 0x202020u) << "transparent background leaves the frame";
        if (scale >= kOne) {
            // The source pixel 4 is half covered: half red, half background.
            int32_t edge = 4 * scale / kOne;
            uint32_t mixed = at(edge, k);
            EXPECT_GT((mixed >> 16) & 0xFF, 0x40u) << "edge pixel, scale " << scale;
            EXPECT_LT((mixed >> 16) & 0xFF, 0xF0u);
            EXPECT_EQ(mixed & 0xFFFF, 0x1010u) << "background green and blue halved";
        }
        EXPECT_EQ(at(size, k), 0x202020u) << "beyond the drawing nothing is drawn";
    }
    std::vector<uint32_t> frame(16 * 16, 0x12345678u);
    p->layout(0, 0, 0);  // a zero scale would divide by zero
    p->m_drawScale = 0;
    p->render(frame.data(), 16, 16, 0, 0, 16, 16);
    EXPECT_EQ(frame[17], 0x12345678u) << "scale 0 draws nothing";
}

}  // namespace
}  // namespace tarnby
