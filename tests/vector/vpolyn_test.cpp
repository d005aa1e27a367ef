// The polygon rasteriser (crossings and their order, the point query,
// drawing) and the polygon terrain built on it (height field, bilinear
// heights, shading, surfaces, the course map).
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

#include "golf/hole_setup.h"
#include "runtime/array.h"
#include "vector/vpolyn.h"
#include "vector/vpolyterrain.h"

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

// x, dx and fill of each crossing of a row, in order.
using Fields = std::vector<std::array<int32_t, 3>>;
Fields fields(const Vpolyn& p, int32_t row)
{
    Fields out;
    for (int32_t w : rowWords(p, row)) {
        out.push_back({ Vpolyn::crossingX(w), Vpolyn::crossingDx(w), Vpolyn::crossingFill(w) });
    }
    return out;
}

constexpr auto px = toFixed;  // whole pixels as Fixed

TEST(VpolynTest, EdgesBecomeOneClampedCrossingPerRowTheyEnter)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(64, 64, 16, 8);
    p->addEdge(px(10), px(5), px(20), px(5) + 0x7333, 1, 2);
    EXPECT_EQ(p->finish(), 0) << "an edge inside one row crosses no row top";

    // Downward, fill A lies right of the edge; upward, fill B; x is taken at
    // each row top, and the bottom row of an edge gets no crossing.
    p->init(64, 64, 16, 8);
    p->addEdge(0, 0, 0, px(3), 1, 2);
    p->addEdge(px(8), px(4), px(4), 0, 1, 2);
    EXPECT_EQ(p->finish(), 7);
    EXPECT_EQ(fields(*p, 2), (Fields { { 0, 0, 1 }, { 6 * 16, 16, 2 } }));
    EXPECT_EQ(fields(*p, 3), (Fields { { 7 * 16, 16, 2 } }));

    // x is held to 0..8191 and dx to -4096..4095; rows outside are ignored.
    const int32_t clamps[][7] = { // x, row, next x, fill; then the x, dx and fill kept
        { 9000, 0, 9000, 5, 8191, 809, 5 }, { -40, 1, -30, 63, 0, -30, 63 }, { 100, 2, 5100, 1, 100, 4095, 1 },
        { 6000, 3, 1000, 1, 6000, -4096, 1 }, { 100, 16, 100, 1 }, { 100, -1, 100, 1 }
    };
    p->init(16, 16, 16, 64);
    for (const auto& c : clamps) {
        p->insertCrossing(c[0], c[1], c[2], 0, c[3], true);
    }
    EXPECT_EQ(p->finish(), 4);
    for (int32_t r = 0; r < 4; ++r) {
        EXPECT_EQ(fields(*p, r), (Fields { { clamps[r][4], clamps[r][5], clamps[r][6] } })) << "row " << r;
    }
    p->init(16, 16, 16, 8);
    p->addEdge(px(4), INT32_MIN, px(4), INT32_MAX, 1, 0);
    EXPECT_EQ(p->finish(), 16) << "an edge far outside the drawing only touches the rows inside it";

    // Two edges leaving one vertex: the one turning left comes first, whatever
    // order they arrive in, but only in their first row.
    p->init(32, 32, 16, 8);
    p->addEdge(px(10), px(2), px(14), px(6), 1, 0);
    p->addEdge(px(10), px(2), px(6), px(6), 0, 2);
    p->insertCrossing(80, 10, 90, 0, 3, false);
    p->insertCrossing(80, 10, 70, 0, 4, false);
    p->finish();
    EXPECT_EQ(fields(*p, 2), (Fields { { 160, -16, 0 }, { 160, 16, 1 } }));
    EXPECT_EQ(fields(*p, 10), (Fields { { 80, 10, 3 }, { 80, -10, 4 } }));
}

TEST(VpolynTest, CrossingsInAnyOrderLandSortedAndTheArrayGrowsWithoutLosingAny)
{
    // A plain model of the rows: sorted insertion with the same tie rule.
    std::vector<std::vector<int32_t>> model;
    auto insert = [&](int32_t x, int32_t row, int32_t next, int32_t fill, bool first) {
        const int32_t dx = std::clamp(next - x, -4096, 4095);
        auto& r = model[static_cast<size_t>(row)];
        auto at = std::find_if(r.begin(), r.end(), [&](int32_t w) {
            return Vpolyn::crossingX(w) > x || (Vpolyn::crossingX(w) == x && first && dx < Vpolyn::crossingDx(w));
        });
        r.insert(at, static_cast<int32_t>(static_cast<uint32_t>(x) | static_cast<uint32_t>(fill) << 13
                                          | static_cast<uint32_t>(dx) << 19));
    };
    std::mt19937 random(7);
    // The last two rounds crowd every crossing into a few x of a few rows, so
    // that most land on a shared x where the slope rule decides.
    const int32_t rounds[][3] = { { 0, 48, 1024 }, { 3, 48, 1024 }, { 100, 48, 1024 }, { 0, 3, 6 }, { 50, 1, 2 } };
    for (const auto& round : rounds) {
        const int32_t capacity = round[0], rowCount = round[1], xRange = round[2];
        Ref<Vpolyn> p = make<Vpolyn>();
        p->init(64, 48, capacity, 8);
        model.assign(48, {});
        const int64_t before = avail();
        auto expectRows = [&](const char* when) {
            for (int32_t r = 0; r < 48; ++r) {
                ASSERT_EQ(rowWords(*p, r), model[static_cast<size_t>(r)]) << "row " << r << " " << when;
            }
        };
        // Crossings in every order: runs down rows, jumps back and forth.
        for (int32_t i = 0; i < 5000; ++i) {
            const int32_t row = static_cast<int32_t>(random() % static_cast<uint32_t>(rowCount)),
                          x = static_cast<int32_t>(random() % static_cast<uint32_t>(xRange));
            const int32_t next = x + static_cast<int32_t>(random() % 64) - 32,
                          fill = static_cast<int32_t>(random() % 8);
            const bool first = random() % 2 == 0;
            p->insertCrossing(x, row, next, 0, fill, first);
            insert(x, row, next, fill, first);
        }
        EXPECT_EQ(p->finish(), 5000);
        expectRows("finished");
        EXPECT_EQ(before - avail(), 4 * (p->crossingCapacity() - capacity) + p->queryTableBytes())
            << "old arrays are given back";
        // Edges added after finish still land in the right rows.
        p->addEdge(px(60), px(40), px(60), px(47), 1, 0);
        for (int32_t r = 40; r < 47; ++r) {
            insert(60 * 16, r, 60 * 16, 1, r == 40);
        }
        EXPECT_EQ(p->finish(), 5007);
        expectRows("edges added after finish");
    }
}

TEST(VpolynTest, FillAtReadsTheRowsAndANewDrawingForgetsTheOldAnswers)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(64, 64, 64, 8);
    const int32_t a = p->addColour(0xFF0000FF), b = p->addColour(0xFF00FF00);
    // Square a at (8..40, 8..40) holding square b at (16..24, 16..24); the
    // inside on the right of the edges, clockwise on screen.
    const std::array<int32_t, 6> squares[] = { { 8, 8, 40, 40, a, 0 }, { 16, 16, 24, 24, b, a } };
    for (auto [l, t, r, bt, inside, outside] : squares) {
        p->addEdge(px(r), px(t), px(r), px(bt), outside, inside);
        p->addEdge(px(l), px(bt), px(l), px(t), outside, inside);
    }
    p->finish();
    const Fixed probes[][3] = {
        // x, y, fill
        { px(2), px(20), 0 }, { px(20), px(20), b }, { px(30), px(20), a }, { px(50), px(20), 0 },
        { px(20), px(40), 0 },  // the bottom row of the square has no crossings
        { px(8), px(12), a }, { px(40) - 1, px(12), a }, { px(40), px(12), 0 },  // on and beside the sides
        { -1, px(12), 0 }, { px(64), px(12), 0 }, { px(12), px(64), 0 },         // outside the drawing
        { px(30), px(12), a }, { px(31), px(12), a },  // the second answered from the cached span
    };
    for (const auto& [x, y, fill] : probes) {
        EXPECT_EQ(p->fillAt(x, y), fill) << "at (" << x / 32768.0 << ", " << y / 32768.0 << ")";
    }
    p->init(64, 64, 64, 8);
    EXPECT_EQ(p->fillAt(px(32), px(12)), 0) << "init drops the cached span of the old drawing";
    const int32_t c = p->addColour(0xFF0000FF);
    p->addEdge(px(12), px(0), px(12), px(64), 0, c);  // c between x = 0 and x = 12
    p->addEdge(px(0), px(64), px(0), px(0), 0, c);
    p->fillAt(px(11), px(10));
    p->finish();
    EXPECT_EQ(p->fillAt(px(11), px(10)), c) << "finish drops a span cached while the drawing was built";
    // A taller drawing next time gets row tables of its own size.
    p->init(32, 300, 8, 8);
    const int32_t d = p->addColour(0xFF0000FF);
    p->addEdge(px(12), px(0), px(12), px(300), 0, d);
    p->addEdge(px(0), px(300), px(0), px(0), 0, d);
    EXPECT_EQ(p->finish(), 600);
    EXPECT_EQ(p->fillAt(px(5), px(299)), d);

    // addColour: fill 0 matches a fresh drawing's colour 0, colours match
    // exactly (alpha too), and a full table gives the background.
    p->init(8, 8, 0, 4);
    for (auto [colour, fill] : { std::pair { 0u, 0 }, { 0xFF112233u, 1 }, { 0xFF445566u, 2 }, { 0xFF112233u, 1 },
             { 0x00112233u, 3 }, { 0xFF778899u, 0 } }) {
        EXPECT_EQ(p->addColour(colour), fill) << std::hex << colour;
    }
}

// Checks every pixel of the drawing at several points inside it: the grid's
// answer where it has one, and the query with a span of its own and with the
// drawing's span (last asked in another row), against the crossings alone.
// Gives the share of crossed pixels in percent.
int32_t expectQueriesAgree(Vpolyn& p, const char* what)
{
    EXPECT_TRUE(p.fillGridReady()) << what;
    const int32_t width = p.drawingWidth();
    const int32_t height = p.drawingHeight();
    EXPECT_EQ(p.fillGridWidth(), width) << what;
    EXPECT_EQ(p.fillGrid().length(), width * height) << what;
    int32_t crossed = 0;
    Vpolyn::FillSpan span;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t cell = p.fillGrid()[y * width + x];
            crossed += cell == Vpolyn::kCrossedCell;
            for (Fixed fy : { 0, 0x2001, 0x5555, 0x7FFF }) {
                for (Fixed fx : { 0, 0x0800, 0x3FFF, 0x7FFF }) {
                    const Fixed qx = px(x) + fx, qy = px(y) + fy;
                    const int32_t truth = p.fillByCrossings(qx, qy);
                    if (cell != Vpolyn::kCrossedCell) {
                        EXPECT_EQ(cell, truth) << what << ": grid at " << x << "," << y << " +" << fx << ",+" << fy;
                    }
                    EXPECT_EQ(p.fillAt(qx, qy, span), truth) << what << ": own span at " << qx << "," << qy;
                    p.fillAt(qx, (qy + px(height / 2)) % px(height));  // the drawing's span now from another row
                    EXPECT_EQ(p.fillAt(qx, qy), truth) << what << ": drawing's span at " << qx << "," << qy;
                    if (::testing::Test::HasFailure()) {
                        return -1;
                    }
                }
            }
        }
    }
    return crossed * 100 / std::max(width * height, 1);
}

TEST(VpolynTest, FillGridAndQueriesAgreeWithTheCrossingsEverywhere)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(128, 96, 16, 16);
    const int32_t a = p->addColour(0xFF0000FF), b = p->addColour(0xFF00FF00), c = p->addColour(0xFFFF0000);
    // A slanted quadrilateral with a shallow top edge, a triangle inside it
    // and a thin sliver: long crossings, shared vertices, edges on pixel
    // boundaries and edges within one pixel.
    auto polygon = [&](std::initializer_list<std::array<int32_t, 2>> points, int32_t outside, int32_t inside) {
        for (auto s = points.begin(); s != points.end(); ++s) {
            const auto& e = s + 1 == points.end() ? *points.begin() : *(s + 1);
            p->addEdge(px((*s)[0]), px((*s)[1]), px(e[0]), px(e[1]), outside, inside);  // clockwise: inside right
        }
    };
    polygon({ { 8, 10 }, { 120, 22 }, { 100, 90 }, { 16, 70 } }, 0, a);
    polygon({ { 40, 30 }, { 80, 60 }, { 30, 60 } }, a, b);
    p->addEdge(px(90) + 0x1000, px(40), px(90) + 0x5000, px(80), c, a);
    p->addEdge(px(90) + 0x6000, px(80), px(90) + 0x2000, px(40), c, a);
    p->finish();
    const int32_t crossedShare = expectQueriesAgree(*p, "shapes");
    EXPECT_GT(crossedShare, 0) << "the edges cross some pixels";
    EXPECT_LT(crossedShare, 25) << "but most pixels are answered by the grid";
    EXPECT_EQ(p->fillAt(px(60), px(50)), b);
    EXPECT_EQ(p->fillAt(px(90) + 0x3000, px(60)), c) << "the sliver, in a crossed pixel";

    // An edge added after finish: the grid is dropped until the next finish.
    p->addEdge(px(4), px(2), px(4), px(8), c, 0);
    EXPECT_FALSE(p->fillGridReady());
    p->finish();
    expectQueriesAgree(*p, "after a late edge");
    EXPECT_EQ(p->fillAt(px(6), px(5)), c);
    EXPECT_EQ(p->fillAt(px(2), px(5)), 0);
    // A new size drops it too: its cells no longer match the drawing.
    p->setSize(64, 64);
    EXPECT_FALSE(p->fillGridReady());
    EXPECT_EQ(p->fillAt(px(60), px(50)), b) << "answered by the crossings";

    // Crossings that cross each other inside one row (a shallow edge over
    // two steep ones, as a corrupt or self-crossing drawing gives): a point
    // near the row's bottom lies left of the shallow edge but right of the
    // next one. It gets one answer, whatever was asked before it.
    p = make<Vpolyn>();
    p->init(64, 8, 8, 8);
    ASSERT_TRUE(p->addColour(0xFF0000FF) == a && p->addColour(0xFF00FF00) == b && p->addColour(0xFFFF0000) == c);
    p->addEdge(px(10), px(0), px(40), px(1), a, 0);  // row 0: x 10 -> 40
    p->addEdge(px(20), px(6), px(20), px(0), 0, b);
    p->addEdge(px(50), px(6), px(50), px(0), 0, c);
    p->finish();
    const Fixed x = px(25), y = 0x7000;  // in row 0, near its bottom
    const int32_t truth = p->fillByCrossings(x, y);
    Vpolyn::FillSpan fresh;
    EXPECT_EQ(p->fillAt(x, y, fresh), truth);
    for (Fixed before : { px(2), px(30), px(45), px(55), px(63) }) {
        for (Fixed beforeY : { 0, 0x4000, 0x7FFF }) {
            Vpolyn::FillSpan span;
            p->fillAt(before, beforeY, span);
            EXPECT_EQ(p->fillAt(x, y, span), truth) << "after asking " << before << "," << beforeY;
            p->fillAt(before, beforeY);
            EXPECT_EQ(p->fillAt(x, y), truth) << "after asking " << before << "," << beforeY << " (drawing's span)";
        }
    }
    expectQueriesAgree(*p, "crossing crossings");
}

TEST(VpolynTest, RenderFillsSpansAndBlendsEdges)
{
    Ref<Vpolyn> p = make<Vpolyn>();
    p->init(16, 16, 64, 4);
    const int32_t red = p->addColour(0xFFFF0000);
    p->setColour(0, 0);  // transparent background
    // A square from x 4.5 to 11.5, rows 4 to 12.
    p->addEdge(px(4) + 0x4000, px(12), px(4) + 0x4000, px(4), 0, red);
    p->addEdge(px(11) + 0x4000, px(4), px(11) + 0x4000, px(12), 0, red);
    p->finish();
    const int32_t n = 40;
    for (Fixed scale : { kOne, 2 * kOne, kHalf }) {
        std::vector<uint32_t> frame(static_cast<size_t>(n * n), 0xFF202020u);
        p->layout(0, 0, scale);
        p->render(frame.data(), n, n, 0, 0, n, n);
        auto at = [&](int32_t x, int32_t y) { return frame[static_cast<size_t>(y * n + x)] & 0xFFFFFF; };
        const int32_t k = scale * 8 / kOne;  // the square's centre
        EXPECT_EQ(at(k, k), 0xFF0000u) << "inside, scale " << scale;
        EXPECT_EQ(at(0, k), 0x202020u) << "transparent background leaves the frame";
        EXPECT_EQ(at(16 * scale / kOne, k), 0x202020u) << "nothing beyond the drawing";
        if (scale >= kOne) {
            // Source pixel 4 is half covered: half red, the background's green and blue halved.
            const uint32_t mixed = at(4 * scale / kOne, k);
            EXPECT_TRUE(((mixed >> 16) & 0xFF) > 0x40u && ((mixed >> 16) & 0xFF) < 0xF0u) << std::hex << mixed;
            EXPECT_EQ(mixed & 0xFFFF, 0x1010u) << "edge pixel, scale " << scale;
        }
    }
    std::vector<uint32_t> frame(16 * 16, 0x12345678u);
    p->layout(0, 0, 0);
    p->m_drawScale = 0;
    p->render(frame.data(), 16, 16, 0, 0, 16, 16);
    EXPECT_EQ(frame[17], 0x12345678u) << "scale 0 draws nothing (and never divides by it)";
}

// A 512 x 512 terrain with one square of `level` over a background of
// `ground`; fills configured as the game does (colour = level, frame = surface).
Ref<VpolyTerrain> squareTerrain(int32_t l, int32_t t, int32_t r, int32_t b, int32_t level, int32_t ground)
{
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->init(kHoleFileSize, kHoleFileSize, kHoleEdgeCapacity, kHoleFillCount);
    const int32_t fill = terrain->addColour(0xFF00FF00);
    terrain->addEdge(toFixed(r), toFixed(t), toFixed(r), toFixed(b), 0, fill);  // clockwise: inside on the right
    terrain->addEdge(toFixed(l), toFixed(b), toFixed(l), toFixed(t), 0, fill);
    terrain->finish();
    terrain->setColour(0, static_cast<uint32_t>(ground));
    terrain->setColour(fill, static_cast<uint32_t>(level));
    terrain->setFillPicture(fill, nullptr, 3);
    terrain->setFillPicture(0, nullptr, 9);
    terrain->makeHeightField();
    return terrain;
}

TEST(VpolyTerrainTest, HeightsAreBilinearAndASquareRisesOnASmoothedRamp)
{
    Ref<VpolyTerrain> terrain = squareTerrain(0, 0, 0, 0, 0, 16);  // no square: flat 16
    ASSERT_EQ(terrain->heightMap().length(), 65536);
    EXPECT_EQ(terrain->outsideHeight(), 16 << 12) << "the first sample's height";
    uint8_t* map = terrain->heightMap().data();
    // Cell (10, 20) flat at 40; cell (30, 20) 0 on the left and 8 on the right;
    // cell (50, 50) 0 on the top row and 8 on the bottom row. Levels are 1/8 yard.
    map[20 * 256 + 10] = map[20 * 256 + 11] = map[21 * 256 + 10] = map[21 * 256 + 11] = 40;
    map[20 * 256 + 30] = map[21 * 256 + 30] = map[50 * 256 + 50] = map[50 * 256 + 51] = 0;
    map[20 * 256 + 31] = map[21 * 256 + 31] = map[51 * 256 + 50] = map[51 * 256 + 51] = 8;
    map[0] = 200;
    const Fixed probes[][3] = {
        { toFixed(20) + 0xFFFF, toFixed(40) + 0x7FFF, 40 << 12 },             // the flat cell, to its far corner
        { toFixed(60) + 0x8000, toFixed(41) + 0x4000, 4 << 12 },              // halfway along x
        { toFixed(60) + 0x4000, toFixed(40), 2 << 12 },                       // a quarter of the way
        { toFixed(100), toFixed(101), 4 << 12 },                              // halfway along z
        { (255 << 16) - 1, toFixed(20), 16 << 12 },                           // the last whole cell
        { 255 << 16, toFixed(20), 16 << 12 }, { toFixed(20), -1, 16 << 12 },  // outside: the first sample as it was
    };
    for (const auto& p : probes) {
        EXPECT_EQ(terrain->heightAt(p[0], p[1]), p[2]) << "at " << p[0] / 32768.0 << "," << p[1] / 32768.0;
    }

    // A square of level 100 over (100..200) x (100..200) yards, samples 50..99.
    terrain = squareTerrain(100, 100, 200, 200, 100, 0);
    map = terrain->heightMap().data();
    // Across the left side, and along a column across the bottom side: 0 0 100
    // 100 filtered [1 2 1]/4 twice (each pass rounding down).
    const int32_t expected[] = { 0, 6, 31, 68, 93, 100 };
    for (int32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(map[75 * 256 + 47 + k], expected[k]) << "column " << 47 + k;
        EXPECT_EQ(map[(102 - k) * 256 + 75], expected[k]) << "row " << 102 - k;
    }
    EXPECT_EQ(terrain->surfaceAt(toFixed(150), toFixed(150)), 3);
    EXPECT_EQ(terrain->surfaceAt(toFixed(-5), toFixed(150)), 9) << "outside: the surface of fill 0";
    // Strips on the map's south and north edges: the last and the first row
    // are filtered [3 1]/4 with their neighbour, and so come out as the
    // ramp's fifth value.
    Ref<VpolyTerrain> south = squareTerrain(100, 508, 200, 512, 100, 0);
    Ref<VpolyTerrain> north = squareTerrain(100, 0, 200, 4, 100, 0);
    for (int32_t k = 0; k < 5; ++k) {
        EXPECT_EQ(south->heightMap()[(251 + k) * 256 + 75], expected[k]) << "row " << 251 + k;
        EXPECT_EQ(north->heightMap()[(4 - k) * 256 + 75], expected[k]) << "row " << 4 - k;
    }
}

TEST(VpolyTerrainTest, ShadeScalesClampsANewHoleStartsAfreshAndTheMapShowsSlopes)
{
    EXPECT_EQ(VpolyTerrain::shade(0xFFC86432, 0x4000), 0x00FF964Bu) << "x 1.5, red clamped at 255";
    EXPECT_EQ(VpolyTerrain::shade(0xFFC86432, 0x8000), 0x00FF964Bu) << "d is clamped to 0.5";
    EXPECT_EQ(VpolyTerrain::shade(0xFFC86432, -0x7FFFFFFF), 0x00643219u) << "x 0.5";
    EXPECT_EQ(VpolyTerrain::shade(0x00FFFFFF, 1), 0x00FFFFFFu);

    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->init(64, 64, 16, 8);
    terrain->setSurfacePhysics(3, 0x2666, 0x1000);
    terrain->setSurfacePhysics(8, 0x8000, 0x8000);  // no such fill: ignored
    EXPECT_EQ(terrain->friction(8), 0);
    terrain->init(64, 64, 16, 8);
    EXPECT_EQ(terrain->friction(3), 0) << "init gives fresh physics tables";
    EXPECT_EQ(terrain->heightAt(toFixed(10), toFixed(10)), 0) << "no height field yet";

    terrain = squareTerrain(100, 100, 300, 300, 120, 20);
    for (Fixed scale : { kOne, kOne * 3 }) {
        const int32_t size = 320 * scale / kOne, k = scale / kOne;  // the top-left 320 yards
        std::vector<uint32_t> frame(static_cast<size_t>(size * size), 0);
        terrain->layout(0, 0, scale);
        terrain->render(frame.data(), size, size, 0, 0, size, size);
        auto at = [&](int32_t x, int32_t y) { return frame[(static_cast<size_t>(y) * size + x) * k] & 0xFFFFFF; };
        auto brightness = [](uint32_t c) { return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF); };
        const uint32_t outside = at(30, 30);
        EXPECT_EQ(at(150, 250), at(200, 200)) << "flat ground is unshaded, scale " << scale;
        EXPECT_NE(at(200, 200), outside) << "two kinds of ground";
        // On the ramps: the side falling toward +x is lit, the rising side dark.
        EXPECT_LT(brightness(at(99, 200)), brightness(outside)) << "scale " << scale;
        EXPECT_GT(brightness(at(301, 200)), brightness(outside)) << "scale " << scale;
    }
    std::vector<uint32_t> frame(64, 0x12345678u);
    terrain->m_drawScale = 0;
    terrain->render(frame.data(), 8, 8, 0, 0, 8, 8);
    EXPECT_EQ(frame[9], 0x12345678u) << "scale 0 draws nothing";
}

}  // namespace
}  // namespace tarnby
