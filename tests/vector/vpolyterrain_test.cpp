// The polygon terrain: height field, bilinear heights, shading, surfaces, map.
#include <gtest/gtest.h>
#include <vector>

#include "golf/hole_setup.h"
#include "vector/vpolyterrain.h"

namespace tarnby {
namespace {

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

TEST(VpolyTerrainTest, HeightsAreBilinearInsideTheWholeCells)
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
}

TEST(VpolyTerrainTest, SquareRisesOnASmoothedRamp)
{
    // A square of level 100 over (100..200) x (100..200) yards, samples 50..99.
    Ref<VpolyTerrain> terrain = squareTerrain(100, 100, 200, 200, 100, 0);
    const uint8_t* map = terrain->heightMap().data();
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

TEST(VpolyTerrainTest, ShadeScalesClampsAndANewHoleStartsAfresh)
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
}

TEST(VpolyTerrainTest, CourseMapShowsFillsAndSlopes)
{
    Ref<VpolyTerrain> terrain = squareTerrain(100, 100, 300, 300, 120, 20);
    for (Fixed scale : { kOne, kOne * 3 }) {
        const int32_t size = 320 * scale / kOne, k = scale / kOne;  // the top-left 320 yards
        std::vector<uint32_t> frame(static_cast<size_t>(size * size), 0);
        terrain->layout(0, 0, scale);
        terrain->render(frame.data(), size, size, 0, 0, size, size);
        auto at = [&](int32_t x, int32_t y) { return frame[static_cast<size_t>(y * k * size + x * k)] & 0xFFFFFF; };
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
