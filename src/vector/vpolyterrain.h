// The ground a hole is played on: a polygon drawing whose fills are kinds of
// ground, with a smoothed height field, surface codes, friction and bounce per
// fill, and a textured, slope-shaded course map.
//
// Per fill: the polygon colour holds the height level (0..255, L/8 yard), the
// polygon frame holds the surface code, which is also the picture (a 64 x 64
// texture) of the fill in the picture library. One drawing pixel is one yard:
// x east, z (the drawing's y) south. The height field has one sample every 2
// yards, 256 x 256, sample (i, j) at index j * 256 + i.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "runtime/array.h"
#include "vector/height_field.h"
#include "vector/vpolyn.h"

namespace tarnby {

class VpolyTerrain : public Vpolyn {
public:
    static constexpr int32_t kMapSize = HeightField::kSide;
    static constexpr int32_t kTextureSize = 64;

    VpolyTerrain();

    // The course map: one texel per yard, textures repeating every 64 yards,
    // blended when magnified more than twice, shaded by slope.
    void render(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t clipL, int32_t clipT, int32_t clipR,
        int32_t clipB) override;
    // Also new zeroed friction and bounce tables.
    void setFillCount(int32_t n) override;

    // Builds the height field from the drawing and the fills' levels, smoothed
    // twice. Call after the fills are configured.
    void makeHeightField();
    // One [1 2 1]/4 smoothing along both axes of a 256 x 256 map, in place.
    static void smooth(uint8_t* map, uint8_t* scratch);
    // Filters each row of src and writes it as a column of dst.
    static void smoothRowsTransposed(uint8_t* dst, const uint8_t* src, int32_t width, int32_t rows);

    void setSurfacePhysics(int32_t fill, Fixed friction, Fixed bounce);
    Fixed friction(int32_t fill) const { return fill >= 0 && fill < m_friction.length() ? m_friction[fill] : 0; }
    Fixed bounce(int32_t fill) const { return fill >= 0 && fill < m_bounce.length() ? m_bounce[fill] : 0; }
    // The surface code under the world point (x, z) in Fixed yards; outside
    // the drawing the code of fill 0.
    int32_t surfaceAt(Fixed x, Fixed z) { return frame(fillAt(x, z)); }

    // Ground height in Fixed yards at (x, z), bilinear between the samples;
    // outside the whole cells the height of the first sample.
    Fixed heightAt(Fixed x, Fixed z) const { return heightField().at(x, z); }
    // The height rule over this terrain's map, for callers that ask often.
    HeightField heightField() const
    {
        return HeightField(m_heightMap.empty() ? nullptr : m_heightMap.data(), m_outsideHeight,
            reinterpret_cast<const uint16_t*>(m_cellKinds.data()));
    }

    // Slope shading: each channel scaled by 1 + d (d clamped to +-0.5) and
    // clamped to 0..255; the result has a zero top byte.
    static uint32_t shade(uint32_t colour, Fixed d);

    Fixed outsideHeight() const { return m_outsideHeight; }
    // The 256 x 256 height levels (empty before makeHeightField).
    const ByteArray& heightMap() const { return m_heightMap; }

private:
    IntArray m_friction;
    IntArray m_bounce;
    Fixed m_outsideHeight = 0;
    ByteArray m_heightMap;
    // Each cell's kind (see HeightField), found whenever the map is made.
    ShortArray m_cellKinds;
};

}  // namespace tarnby
