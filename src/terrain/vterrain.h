// The 3-D view of a hole: a viewport that ray-casts the course's height field
// into a textured, shaded landscape under a sky gradient, and projects its
// child sprites (ball, flag, golfer, markers) from their world positions.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/worker_pool.h"
#include "sprite/viewport.h"
#include "vector/vpolyn.h"

namespace tarnby {

class VpolyTerrain;

// The camera height over the ground (Fixed yards) below which keepAboveGround lifts it.
constexpr Fixed kLowestCamera = 0x20000;

class Vterrain : public Viewport {
public:
    Vterrain(int32_t width, int32_t height);
    ~Vterrain() override;

    void render(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop, int32_t clipRight,
        int32_t clipBottom) override;
    void update(Fixed parentX, Fixed parentY, Fixed parentScale) override;

    // Draws the children's pictures with their depth, so hills hide them.
    void renderSprites(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop,
        int32_t clipRight, int32_t clipBottom);
    // The landscape and the sky, column by column.
    void renderTerrain(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop,
        int32_t clipRight, int32_t clipBottom);
    int32_t getHeading() const { return m_heading; }
    // Turns the camera toward a ground point (Fixed yards).
    void lookAt(Fixed x, Fixed z);
    // Moves the camera d yards along its heading (backward when d is negative).
    void moveForward(Fixed d);
    // Renders the stale landscape into the view's own buffer at once.
    void renderChangeDetect();
    // A ground offset of a yards to the right and b yards behind, turned by the heading.
    Fixed viewX(Fixed a, Fixed b) const;
    Fixed viewZ(Fixed a, Fixed b) const;
    void setHeading(int32_t angle);
    void setHeightAboveGround(Fixed dy);
    void setHorizon(int32_t row) { m_horizon = row; }
    // Lays a child sprite out at the screen place of its world position.
    void project(const Ref<Vsprite>& sprite);
    // Keeps the camera at least 4 yards over the ground; gives the ground height.
    Fixed keepAboveGround();
    void setSky(uint32_t topColour, uint32_t bottomColour);
    void placeOnGround(Fixed x, Fixed dy, Fixed z);

    // Two-texel-by-two blend of ground colours by the 15-bit fractions fx and
    // fz (along the row first, then between the rows), channel by channel;
    // both fractions below 0x8000, as the ground's are.
    static uint32_t bilinear(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz);
    // A ground colour shaded by the slope d as the map shades it (see
    // VpolyTerrain::shade), with the top byte cleared.
    static uint32_t shadeGround(uint32_t colour, Fixed slope);
    // The first step (x, z) of the ray of column `col` in a frame of `stride` pixels a row.
    void rayStep(int32_t col, int32_t stride, int32_t& dx, int32_t& dz) const;

    void setPolyTerrain(const Ref<VpolyTerrain>& terrain);
    void setTextures(const Ref<Vilib>& textures) { m_textures = textures; }
    const Ref<Vilib>& textures() const { return m_textures; }
    void setOutsideFill(int32_t fill) { m_outsideFill = fill; }
    int32_t outsideFill() const { return m_outsideFill; }
    int32_t horizon() const { return m_horizon; }
    bool needsRender() const { return m_render != 0; }
    const IntArray& skyColours() const { return m_skyColours; }

    // The landscape's columns are shared out in bands over `pool` (null: the
    // process's shared pool); `bands` 0 picks a split by the pool's threads.
    // Every pool and split draws the same bytes.
    void setWorkers(WorkerPool* pool, int32_t bands = 0)
    {
        m_pool = pool;
        m_bands = bands;
    }

private:
    void setAngle(int32_t angle);
    // How the ground of one fill is drawn: its surface code, its texture
    // (null for plain colour) and below which step along z near ground of it
    // is blended between texels (kNeverBlended for surfaces that are not);
    // with a texture, its texel pairs (see TexturePairs).
    struct GroundLook {
        static constexpr int32_t kBlendedBelow = 0x8000;
        static constexpr int32_t kNeverBlended = INT32_MIN;
        int32_t code = 0;
        int32_t blendedBelow = kBlendedBelow;
        const uint32_t* texels = nullptr;
        const uint32_t* pairs = nullptr;
    };
    // A texture rearranged for the blend: for each texel (u, v) of a row of
    // 65 (the last repeats the first), the texel and the one below it
    // (v + 1, wrapping), so that four texels to blend come in one load. The
    // texture's own pixel array is held, so that its memory (and address)
    // cannot go to another texture while the pairs are kept; a picture that
    // is decoded again gets a new array, and so new pairs.
    struct TexturePairs {
        static constexpr int32_t kRow = 65;
        static constexpr int32_t kWords = 64 * kRow * 2;
        IntArray source;
        IntArray pairs;
        bool used = false;
    };
    // The pairs of `texture` (of at least 64 x 64 texels), made if need be.
    const uint32_t* pairsOf(const IntArray& texture);
    // What every band of one landscape render shares (read only).
    struct Frame {
        const Vterrain* view;
        uint32_t* pixels;
        int32_t stride;
        int32_t clipLeft;
        int32_t clipTop;
        int32_t clipRight;
        int32_t clipBottom;
        int32_t rows;      // from the horizon to the clip's bottom
        int32_t topLimit;  // the first pixel index of the clip's top row
        bool ownBuffer;
        const int32_t* sky;
        int16_t* tops;
        int32_t bands;
        // The drawing's fill grid when it covers the whole map (null if not):
        // a sample on the map then reads its cell without further bounds tests.
        const uint8_t* fillGrid;
        int32_t fillGridWidth;
    };
    static void renderBand(void* context, int32_t band);
    // Ground and sky of the columns left .. right - 1.
    void renderColumns(const Frame& frame, int32_t left, int32_t right) const;
    // Marches one column's ray and draws its ground; `row` ends at the topmost row drawn.
    void castColumn(const Frame& frame, int32_t col, Vpolyn::FillSpan& span, int32_t& row) const;
    // The textured colour of the ground sample at (x, z), shaded by its slope;
    // kWholeGrid: `grid` is the frame's fill grid, kMapSide cells a row.
    template <bool kWholeGrid>
    uint32_t groundColour(const Frame& frame, const uint8_t* grid, Vpolyn::FillSpan& span, Fixed x, Fixed z, int32_t dz,
        Fixed slope) const;
    // Fetches every fill's texture once per render, before the bands start.
    void lookUpGround();

    Ref<VpolyTerrain> m_polyTerrain;
    int32_t m_heading = 0;
    Fixed m_headingCos = kOne;
    Fixed m_headingSin = 0;
    int32_t m_horizon = 0;
    Ref<Vilib> m_textures;
    uint8_t m_render = 0;
    IntArray m_skyColours;
    ShortArray m_columnTops;
    int32_t m_outsideFill = 0;

    // Each fill's look as fetched for the current render; the last entry is
    // the ground beyond the map.
    static constexpr int32_t kFills = 64;  // a crossing's fill has six bits
    GroundLook m_looks[kFills + 1];
    TexturePairs m_pairs[kFills + 1];  // as many as a render can use
    WorkerPool* m_pool = nullptr;
    int32_t m_bands = 0;
};

}  // namespace tarnby
