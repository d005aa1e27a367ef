// The 3-D view's camera, its change detection, the landscape ray-caster and the
// projection and drawing of the world sprites.
#include "terrain/vterrain.h"

#include <algorithm>

#include "image/vpicture.h"
#include "runtime/v.h"
#include "terrain/ground_blend.h"
#include "vector/height_field.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

namespace {

// Projection: 512 pixels of focal length, the ground starts 8 yards out and
// ends 511 yards out (in sixteenths of a yard, the ray's step).
constexpr int32_t kNearSteps = 0x80;
constexpr int32_t kFarSteps = 0x1FF0;
constexpr int32_t kLargestStep = 31;  // the step doubles up to 32 sixteenths
constexpr Fixed kNearestSprite = 0x40001;
constexpr Fixed kFarthestSprite = 0xFF7FFFF;
constexpr uint32_t kRgbMask = 0xFFFFFF;
// The map: 512 yards a side, from 0 to kMapEnd in Fixed yards on x and z.
constexpr int32_t kMapSide = 512;
constexpr uint32_t kMapEnd = 0x1000000u;

// Landscapes smaller than this many pixels are drawn by the calling thread
// alone: waking the workers would cost more than it saves.
constexpr int64_t kSmallestShared = 4096;
// Bands a thread of the pool gets on average: several, so that a thread that
// other work slows down leaves its share to the others.
constexpr int32_t kBandsPerThread = 4;

// Ground whose texture is missing from the library (or is not 64 x 64) is
// drawn in a plain colour by its surface code, so the hole's layout still shows.
constexpr uint32_t kPlainGround[16] = {
    0x406030,
    0xC8B070,
    0x50A040,
    0x2060C0,
    0x70D060,
    0x305828,
    0xA0A040,
    0x305020,
    0x607040,
    0x284818,
    0x505060,
    0x384020,
    0x808080,
    0x808080,
    0x808080,
    0x808080,
};

}  // namespace

uint32_t Vterrain::bilinear(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz)
{
    return blend::blendTexels(t00, t10, t01, t11, fx, fz);
}

uint32_t Vterrain::shadeGround(uint32_t colour, Fixed slope) { return blend::shadeTexel(colour, slope) & kRgbMask; }

Vterrain::Vterrain(int32_t width, int32_t height) { setSize(width, height); }

Vterrain::~Vterrain() = default;

void Vterrain::setPolyTerrain(const Ref<VpolyTerrain>& terrain) { m_polyTerrain = terrain; }

// ---------------------------------------------------------------- camera

void Vterrain::setAngle(int32_t angle)
{
    m_heading = angle;
    m_headingCos = fsin(angle + kQuarterTurn);
    m_headingSin = fsin(angle);
}

void Vterrain::lookAt(Fixed x, Fixed z)
{
    // Not masked: the heading keeps whatever sign the arctangent gives.
    setAngle(V::atan2(wrapSub(x, getX3d()), wrapSub(getZ3d(), z)));
}

void Vterrain::setHeading(int32_t angle)
{
    angle &= kFullTurn - 1;
    if (angle == m_heading) {
        return;
    }
    setAngle(angle);
}

void Vterrain::moveForward(Fixed d)
{
    setPosition3d(wrapAdd(getX3d(), fmul(d, m_headingSin)), getY3d(), wrapSub(getZ3d(), fmul(d, m_headingCos)));
}

Fixed Vterrain::viewX(Fixed a, Fixed b) const { return wrapSub(fmul(m_headingCos, a), fmul(b, m_headingSin)); }

Fixed Vterrain::viewZ(Fixed a, Fixed b) const { return wrapAdd(fmul(m_headingCos, b), fmul(a, m_headingSin)); }

void Vterrain::setHeightAboveGround(Fixed dy)
{
    if (!m_polyTerrain) {
        return;
    }
    Fixed ground = m_polyTerrain->heightAt(getX3d(), getZ3d());
    setPosition3d(getX3d(), wrapAdd(ground, dy), getZ3d());
}

Fixed Vterrain::keepAboveGround()
{
    Fixed ground = m_polyTerrain ? m_polyTerrain->heightAt(getX3d(), getZ3d()) : 0;
    Fixed lowest = wrapAdd(ground, kLowestCamera);
    if (getY3d() < lowest) {
        setPosition3d(getX3d(), lowest, getZ3d());
    }
    return ground;
}

void Vterrain::placeOnGround(Fixed x, Fixed dy, Fixed z)
{
    Fixed ground = m_polyTerrain ? m_polyTerrain->heightAt(x, z) : 0;
    setPosition3d(x, wrapAdd(ground, dy), z);
}

// ---------------------------------------------------------------- sky

void Vterrain::setSky(uint32_t topColour, uint32_t bottomColour)
{
    int32_t height = std::max(getHeight(), 0);
    m_skyColours = allocInt(height);
    // The gradient ends ten rows below the horizon; a horizon far above the
    // view leaves no gradient rows (and no division by zero).
    int32_t n = std::min(height, m_horizon + 10);
    int32_t row = 0;
    if (n > 0) {
        int32_t step = 32768 / n;
        int32_t ar = (topColour >> 16) & 0xFF;
        int32_t ag = (topColour >> 8) & 0xFF;
        int32_t ab = topColour & 0xFF;
        int32_t dr = static_cast<int32_t>((bottomColour >> 16) & 0xFF) - ar;
        int32_t dg = static_cast<int32_t>((bottomColour >> 8) & 0xFF) - ag;
        int32_t db = static_cast<int32_t>(bottomColour & 0xFF) - ab;
        for (; row < n; ++row) {
            uint32_t colour = topColour;
            if (topColour != bottomColour) {
                int32_t t = row * step;
                colour = 0xFF000000u | (static_cast<uint32_t>(ar + ((dr * t) >> 15)) << 16)
                         | (static_cast<uint32_t>(ag + ((dg * t) >> 15)) << 8)
                         | static_cast<uint32_t>(ab + ((db * t) >> 15));
            }
            m_skyColours[row] = static_cast<int32_t>(colour);
        }
    }
    for (; row < height; ++row) {
        m_skyColours[row] = static_cast<int32_t>(bottomColour);
    }
    m_columnTops = allocShort(std::max(getWidth(), 0));
}

// ---------------------------------------------------------------- change detection

void Vterrain::update(Fixed parentX, Fixed parentY, Fixed parentScale)
{
    int32_t signature = m_horizon;
    for (int32_t part : { m_heading, getZ3d(), getY3d(), getX3d(), getHeight(), getWidth() }) {
        signature = wrapAdd(signature, part);
    }
    if (signature == m_signature) {
        // The camera stands still: only children that moved are projected again.
        for (Ref<Vsprite> child = getChild(); child; child = child->m_next) {
            int32_t own = wrapAdd(wrapAdd(wrapAdd(child->getZ3d(), child->getY3d()), child->getX3d()),
                child->getFrame());
            if (own != child->m_signature) {
                child->m_signature = own;
                child->invalidate();
                project(child);
                child->invalidate();
            }
        }
        return;
    }
    m_signature = signature;
    m_render = 1;  // the camera moved: the cached landscape is stale
    layout(parentX, parentY, parentScale);
    invalidate();
    for (Ref<Vsprite> child = getChild(); child; child = child->m_next) {
        child->m_signature = wrapAdd(wrapAdd(wrapAdd(child->getZ3d(), child->getY3d()), child->getX3d()),
            child->getFrame());
        project(child);
    }
}

void Vterrain::project(const Ref<Vsprite>& sprite)
{
    if (!sprite) {
        return;
    }
    Vsprite& s = *sprite;
    Fixed dx = wrapSub(s.getX3d(), getX3d());
    Fixed dz = wrapSub(getZ3d(), s.getZ3d());
    Fixed depth = wrapAdd(fmul(m_headingSin, dx), fmul(m_headingCos, dz));
    if (depth < kNearestSprite || depth > kFarthestSprite) {
        s.setBounds(0, 0, 0, 0);  // behind the camera, too near or too far
        return;
    }
    int64_t f = (int64_t { 1 } << 39) / depth;  // pixels per yard at this depth, in Fixed
    Fixed lateral = wrapSub(fmul(m_headingCos, dx), fmul(m_headingSin, dz));
    auto low32 = [](int64_t v) { return static_cast<int32_t>(static_cast<uint64_t>(v)); };
    Fixed screenX = wrapAdd(low32((f * lateral) >> 15), low32(int64_t { getWidth() } * 0x4000));
    Fixed screenY = wrapSub(low32(int64_t { m_horizon } * 0x8000), low32((f * wrapSub(s.getY3d(), getY3d())) >> 15));
    Fixed scale = low32((f * s.getScale()) >> 15);
    s.layout(screenX, screenY, scale);
    s.setDepth(wrapSub(depth >> 1, 0x8000));
}

// ---------------------------------------------------------------- drawing

void Vterrain::renderChangeDetect()
{
    const IntArray& own = m_pixels;
    if (!m_render || own.empty()) {
        return;
    }
    m_render = 0;
    renderTerrain(reinterpret_cast<uint32_t*>(own.data()), getWidth(), getHeight(), 0, 0, getWidth(), getHeight());
}

void Vterrain::render(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop,
    int32_t clipRight, int32_t clipBottom)
{
    const IntArray& own = m_pixels;
    if (!own.empty()) {
        if (m_render) {
            if (clipRight == getWidth() && clipBottom == getHeight()) {
                m_render = 0;  // this render reaches the bottom-right corner
            }
            renderTerrain(reinterpret_cast<uint32_t*>(own.data()), getWidth(), getHeight(), clipLeft, clipTop,
                clipRight, clipBottom);
        }
        Viewport::render(pixels, stride, height, clipLeft, clipTop, clipRight, clipBottom);
    } else {
        renderTerrain(pixels, stride, height, clipLeft, clipTop, clipRight, clipBottom);
    }
    renderSprites(pixels, stride, height, clipLeft, clipTop, clipRight, clipBottom);
}

void Vterrain::renderSprites(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop,
    int32_t clipRight, int32_t clipBottom)
{
    for (Ref<Vsprite> child = getChild(); child; child = child->m_next) {
        Vsprite& s = *child;
        const Ref<Vilib>& library = s.m_pictures;
        if (!library) {
            continue;
        }
        s.m_hiddenPixels = 0;
        int32_t left = std::max(s.m_left, clipLeft);
        int32_t top = std::max(s.m_top, clipTop);
        int32_t right = std::min(s.m_right, clipRight);
        int32_t bottom = std::min(s.m_bottom, clipBottom);
        if (left >= right || top >= bottom) {
            continue;
        }
        int32_t depth = s.m_depth >> 15;
        if (!s.m_extendLeft) {
            s.m_hiddenPixels = library->drawPicture(s.getFrame(), pixels, stride, height, left, top, right, bottom,
                s.m_originX, s.m_originY, s.m_drawScale, depth, s.m_opacity);
            continue;
        }
        // A standing sprite (flag, golfer, tree) casts its shadow to the left:
        // its bounds were widened by half its height for it.
        int32_t half = (s.m_bottom - s.m_top) >> 1;
        int32_t pictureLeft = std::max(left, s.m_left + half);
        if (pictureLeft < right) {
            s.m_hiddenPixels = library->drawPicture(s.getFrame(), pixels, stride, height, pictureLeft, top, right,
                bottom, s.m_originX, s.m_originY, s.m_drawScale, depth, s.m_opacity);
        }
        int32_t shadowTop = std::max(top, s.m_bottom - half);
        Ref<Vpicture> picture = library->getPicture(s.getFrame());
        if (picture && shadowTop < bottom) {
            picture->drawShadow(pixels, stride, height, left, shadowTop, right, bottom,
                wrapSub(s.m_originX, half * 0x8000), toFixed(s.m_bottom - half), s.m_drawScale, depth + 1, 0x80);
        }
    }
}

void Vterrain::renderTerrain(uint32_t* pixels, int32_t stride, int32_t height, int32_t clipLeft, int32_t clipTop,
    int32_t clipRight, int32_t clipBottom)
{
    // Never outside the view, its tables or the target.
    clipLeft = std::max(clipLeft, 0);
    clipTop = std::max(clipTop, 0);
    clipRight = std::min({ clipRight, getWidth(), stride });
    clipBottom = std::min({ clipBottom, getHeight(), height });
    if (!pixels || clipLeft >= clipRight || clipTop >= clipBottom) {
        return;
    }
    Frame frame { this, pixels, stride, clipLeft, clipTop, clipRight, clipBottom, clipBottom - m_horizon,
        stride * clipTop, !m_pixels.empty(), m_skyColours.length() >= clipBottom ? m_skyColours.data() : nullptr,
        m_columnTops.length() >= clipRight ? m_columnTops.data() : nullptr, 1, nullptr, 0 };
    lookUpGround();
    if (m_polyTerrain && m_polyTerrain->fillGridReady() && m_polyTerrain->drawingWidth() >= kMapSide
        && m_polyTerrain->drawingHeight() >= kMapSide) {
        frame.fillGrid = m_polyTerrain->fillGrid().data();
        frame.fillGridWidth = m_polyTerrain->fillGridWidth();
    }
    const int32_t columns = clipRight - clipLeft;
    WorkerPool& pool = m_pool ? *m_pool : WorkerPool::shared();
    if (m_bands > 0) {
        frame.bands = std::min(m_bands, columns);
    } else if (pool.threads() > 1 && static_cast<int64_t>(columns) * (clipBottom - clipTop) >= kSmallestShared) {
        frame.bands = std::min(pool.threads() * kBandsPerThread, columns);
    }
    pool.run(&Vterrain::renderBand, &frame, frame.bands);
}

void Vterrain::renderBand(void* context, int32_t band)
{
    const Frame& frame = *static_cast<const Frame*>(context);
    // Band b covers the columns from b / bands to (b + 1) / bands of the clip.
    const Vterrain& view = *frame.view;
    const int64_t columns = frame.clipRight - frame.clipLeft;
    const int32_t left = frame.clipLeft + static_cast<int32_t>(columns * band / frame.bands);
    const int32_t right = frame.clipLeft + static_cast<int32_t>(columns * (band + 1) / frame.bands);
    view.renderColumns(frame, left, right);
}

void Vterrain::renderColumns(const Frame& frame, int32_t left, int32_t right) const
{
    // Each band remembers its own last span of the drawing.
    Vpolyn::FillSpan span;
    uint32_t* pixels = frame.pixels;
    const int32_t stride = frame.stride;
    for (int32_t col = left; col < right; ++col) {
        int32_t start = std::max(frame.tops ? static_cast<int32_t>(frame.tops[col]) : 0, frame.clipTop);
        int32_t row = frame.clipBottom;
        if (start - 2 < frame.clipBottom) {
            if (m_polyTerrain) {
                castColumn(frame, col, span, row);
            }
            if (frame.clipTop == 0 && frame.tops) {
                frame.tops[col] = static_cast<int16_t>(row);
            }
        }
        if (!frame.ownBuffer) {
            start = frame.clipTop;
        }
        // The sky above the ground, from the precomputed gradient.
        uint32_t* p = pixels + static_cast<int64_t>(row - 1) * stride + col;
        for (int32_t r = row - 1; r >= start; --r, p -= stride) {
            *p = frame.sky ? static_cast<uint32_t>(frame.sky[r]) : 0xFF000000u;
        }
    }
}

void Vterrain::rayStep(int32_t col, int32_t stride, int32_t& dx, int32_t& dz) const
{
    // A sixteenth of a yard forward plus this column's share sideways: the
    // focal length is 512 pixels, and the view's centre is the middle of a row.
    const int32_t off = (col - (stride >> 1)) * 4;
    dx = ((off * m_headingCos) >> 15) - ((-m_headingSin) >> 4);
    dz = ((off * m_headingSin) >> 15) + ((-m_headingCos) >> 4);
}

// Defined ahead of the march, which calls it for every ground sample.
template <bool kWholeGrid>
[[gnu::always_inline]] inline uint32_t Vterrain::groundColour(const Frame& frame, const uint8_t* grid,
    Vpolyn::FillSpan& span, Fixed x, Fixed z, int32_t dz, Fixed slope) const
{
    // Beyond the map: always the outside ground. Inside, the drawing's fill
    // grid answers most samples at once; a cell an edge crosses asks the drawing.
    uint32_t fill = kFills;
    if (static_cast<uint32_t>(x) < kMapEnd && static_cast<uint32_t>(z) < kMapEnd) {
        uint8_t cell = Vpolyn::kCrossedCell;
        if constexpr (kWholeGrid) {
            // Row z >> 15 of kMapSide cells, column x >> 15 (both below kMapSide here).
            static_assert(kMapSide == 512);
            cell = grid[((static_cast<uint32_t>(z) >> 6) & 0x3FE00u) | (static_cast<uint32_t>(x) >> 15)];
        } else if (frame.fillGrid) {
            cell = frame.fillGrid[(z >> 15) * frame.fillGridWidth + (x >> 15)];
        }
        fill = cell != Vpolyn::kCrossedCell ? cell : static_cast<uint32_t>(m_polyTerrain->fillAt(x, z, span));
    }
    const GroundLook& ground = m_looks[fill];
    const uint32_t* texture = ground.texels;
    if (!texture) {
        return blend::shadeTexel(kPlainGround[ground.code & 15], slope);
    }
    const uint32_t u = (static_cast<uint32_t>(x) >> 14) & 63;
    const uint32_t v = (static_cast<uint32_t>(z) >> 14) & 63;
    if (dz < ground.blendedBelow) {
        // Near ground, where a texel covers several pixels: bilinear.
        const int32_t fx = (x & 0x3FFF) * 2;
        const int32_t fz = (z & 0x3FFF) * 2;
        const uint64_t entry = v * TexturePairs::kRow + u;
        return blend::blendShadePairs(ground.pairs + entry * 2, fx, fz, slope);
    }
    return blend::shadeTexel(texture[v * 64 + u], slope);
}

// The frame is never one of the view's own fields or the terrain's, so its
// pixels are written without the march reloading what it reads from those.
void Vterrain::castColumn(const Frame& frame, int32_t col, Vpolyn::FillSpan& span, int32_t& row) const
{
    const HeightField field = m_polyTerrain->heightField();
    // The march, compiled twice: with a height map and its cells' kinds and a
    // fill grid of the map's width (the game's case), whose whole cells are
    // then known, and without them.
    auto march = [&]<bool kKnown>() {
        HeightField heights = field;  // held in registers through the march
        if constexpr (kKnown) {
            heights.cells = HeightField::kSide - 1;
        }
        uint32_t* __restrict pixels = frame.pixels;
        const uint8_t* grid = frame.fillGrid;
        const int32_t stride = frame.stride;
        const int32_t topLimit = frame.topLimit;
        const int32_t clipBottom = frame.clipBottom;
        const int32_t rows = frame.rows;
        int32_t dx;
        int32_t dz;
        rayStep(col, stride, dx, dz);
        // The ray starts 8 yards out, at the height where the bottom row meets it.
        Fixed x = wrapAdd(getX3d(), dx * 128);
        Fixed z = wrapAdd(getZ3d(), dz * 128);
        Fixed rayY = wrapSub(getY3d(), rows * 512);
        int32_t dY = -4 * rows;
        int32_t dist = kNearSteps;
        // One screen row's height at the ray's distance is (dist << 2) + backH:
        // it grows with every step but those taken back.
        int32_t backH = 0;
        int32_t mult = 1;  // the stride in sixteenths; a row's height grows by 4 * mult a step
        int64_t idx = static_cast<int64_t>(stride) * clipBottom + col;

        // The march ends by distance, whatever the ground: every step that is not
        // taken back adds its stride to dist, and a step taken back (halving the
        // stride) gives back only half of what the doubling before it added. So a
        // column takes at most twice (kFarSteps - kNearSteps) steps.
        uint32_t kind = HeightField::kSloped;
        Fixed h = 0;
        // One step along the ray; how far the ground there rises above it
        // (below 1 where it does not; its height is then h).
        auto step = [&]() {
            x = wrapAdd(x, dx);
            z = wrapAdd(z, dz);
            rayY = wrapAdd(rayY, dY);
            if constexpr (kKnown) {
                return heights.riseAbove(x, z, rayY, kind, h);
            } else {
                h = heights.at(x, z);
                return wrapSub(h, rayY);
            }
        };
        while (dist < kFarSteps) {
            // The step before was open (or this is the first): open ground
            // below the ray doubles the stride while it stays open.
            Fixed above = step();
            if (above < 1) {
                if (mult <= kLargestStep) {
                    backH -= mult << 2;  // dist below gains twice this step's stride
                    dx <<= 1;
                    dz <<= 1;
                    mult <<= 1;
                    dY = static_cast<int32_t>(static_cast<uint32_t>(dY) << 1);
                }
                dist += mult;
                continue;
            }
            // Ground at or above the ray, until a step finds open ground again
            // (that step keeps the stride as it is).
            for (;;) {
                const int32_t rowH = (dist << 2) + backH;  // one screen row's height here
                if (mult >= 2 && above > rowH) {
                    // A long stride went deep into a hill: go back and halve it.
                    x = wrapSub(x, dx);
                    z = wrapSub(z, dz);
                    dist -= mult;
                    rayY = wrapSub(rayY, dY);
                    mult >>= 1;
                    dx >>= 1;
                    dz >>= 1;
                    dY >>= 1;
                    backH += mult << 2;  // dist below gains the new stride the ray did not take
                } else {
                    // Slopes falling toward +x/+z are lit, the others darkened.
                    // Level ground (kLevel cells) has no slope to look up.
                    Fixed slope = 0;
                    if ((kind & 0xFF) != HeightField::kLevel) {
                        const Fixed sx = wrapAdd(x, 0x8000);
                        const Fixed sz = wrapAdd(z, 0x8000);
                        slope = wrapSub(h, kKnown ? heights.atKnown(sx, sz) : heights.at(sx, sz)) >> 1;
                    }
                    uint32_t colour = groundColour<kKnown>(frame, grid, span, x, z, dz, slope);
                    uint32_t depthByte = (static_cast<uint32_t>(dist) << 19) & 0xFF000000u;  // 2 yards a step
                    colour = (colour & kRgbMask) | depthByte;
                    // Fill the rows up to where the ground meets the ray.
                    while (rayY < h) {
                        idx -= stride;
                        if (idx < topLimit) {
                            dist = kFarSteps;  // the column is full
                            break;
                        }
                        dY += mult << 2;
                        pixels[idx] = colour;
                        rayY = wrapAdd(rayY, rowH);
                    }
                }
                dist += mult;
                if (dist >= kFarSteps) {
                    break;
                }
                above = step();
                if (above < 1) {
                    dist += mult;
                    break;
                }
            }
        }
        // The topmost row drawn (clipBottom when none was); a full column
        // stepped one row above the clip.
        row = static_cast<int32_t>(std::max<int64_t>((idx - col) / stride, topLimit / stride));
    };
    if (field.map && field.kinds && frame.fillGrid && frame.fillGridWidth == kMapSide) {
        march.template operator()<true>();
    } else {
        march.template operator()<false>();
    }
}

}  // namespace tarnby
