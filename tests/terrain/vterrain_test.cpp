// The 3-D view: camera moves, projection limits, the ground's kernels, and
// rendered landscapes (sprites behind hills, the cached landscape, ground
// with and without a height map). The sky's gradient is in the landscapes'
// fingerprints.
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "fixed/fixed.h"
#include "golf/surface_table.h"
#include "image/vpicture.h"
#include "sprite/vsprite.h"
#include "terrain/ground_blend.h"
#include "terrain/vterrain.h"
#include "test_holes.h"
#include "vector/vpolyterrain.h"

namespace tarnby {
namespace {

using test::LoadedHole;
using test::ScratchFolder;

constexpr Fixed kYard = kOne;
constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

std::vector<uint32_t> renderFrame(Vterrain& view)
{
    std::vector<uint32_t> pixels(kWidth * kHeight, 0);
    view.update(0, 0, kOne);
    view.render(pixels.data(), kWidth, kHeight, 0, 0, kWidth, kHeight);
    return pixels;
}

// Every test takes its view apart again: the view and its sprites hold each other.
struct ViewHolder {
    Ref<Vterrain> view;
    explicit ViewHolder(int32_t w = kWidth, int32_t h = kHeight) : view(make<Vterrain>(w, h)) {}
    ~ViewHolder() { view->destroy(); }
    Vterrain* operator->() const { return view.get(); }
};

TEST(VterrainTest, CameraHeadingAndMoves)
{
    ViewHolder view;
    view->setHeading(0x8000 + 0x1234);
    EXPECT_EQ(view->getHeading(), 0x1234) << "a whole turn more is the same heading";
    view->setHeading(-0x1000);
    EXPECT_EQ(view->getHeading(), 0x7000);
    // North (toward -z) is heading 0, east (+x) a quarter turn; lookAt does not mask the angle.
    view->setPosition3d(100 * kYard, 5 * kYard, 100 * kYard);
    for (auto [x, z, heading] : { std::array { 100, 50, 0 }, { 150, 100, 0x2000 }, { 50, 100, -0x2000 } }) {
        view->lookAt(x * kYard, z * kYard);
        EXPECT_EQ(view->getHeading(), heading) << x << "," << z;
    }
    view->setHeading(0);
    view->moveForward(10 * kYard);
    EXPECT_NEAR(view->getZ3d(), 90 * kYard, 16);
    EXPECT_EQ(view->getY3d(), 5 * kYard) << "moving keeps the height";
    // Offsets to the right and behind, seen from a camera facing east.
    view->setHeading(0x2000);
    EXPECT_NEAR(view->viewZ(3 * kYard, 0), 3 * kYard, 8) << "right of east is south (+z)";
    EXPECT_NEAR(view->viewX(3 * kYard, 0), 0, 8);
    EXPECT_NEAR(view->viewX(0, 2 * kYard), -2 * kYard, 8) << "behind a camera facing east is west";
}

TEST(VterrainTest, SpritesNearerThanEightYardsAreHidden)
{
    ViewHolder view;
    view->setHorizon(100);
    view->setPosition3d(100 * kYard, 10 * kYard, 200 * kYard);  // facing north, cosine exactly ONE
    Ref<Vsprite> sprite = make<Vsprite>();
    sprite->setSize(4, 8);
    sprite->setAnchor(2, 8);
    view->add(sprite);

    auto placeAhead = [&](Fixed depth) {
        sprite->setBounds(1, 2, 3, 4);
        sprite->setPosition3d(100 * kYard, 10 * kYard, 200 * kYard - depth);
        view->project(sprite);
        return !(sprite->m_left | sprite->m_top | sprite->m_right | sprite->m_bottom);
    };
    // Exactly 8 yards, one unit more, 8176 yards, beyond that, behind the camera.
    for (auto [depth, hide] : { std::pair { 0x40000, true }, { 0x40001, false }, { 0xFF7FFFF, false },
             { 0xFF80000, true }, { -20 * kYard, true } }) {
        EXPECT_EQ(placeAhead(depth), hide) << "depth " << std::hex << depth;
    }
    placeAhead(0x40001);
    EXPECT_NEAR(sprite->m_left, kWidth / 2 - 128, 1) << "64 pixels a yard at 8 yards: 4 pixels scale to 256";

    // A sprite on the camera's eye line sits on the horizon row; one above sits higher.
    sprite->setAnchor(0, 0);
    placeAhead(50 * kYard);
    EXPECT_EQ(sprite->m_top, 100);
    sprite->setPosition3d(100 * kYard, 15 * kYard, 150 * kYard);
    view->project(sprite);
    EXPECT_LT(sprite->m_top, 100);
}

// The ground's texel blend, as the rule reads: a when the two are equal, else
// per channel a + (((b - a) * f) >> 15) with an opaque top byte.
uint32_t blendByTheRule(uint32_t a, uint32_t b, int32_t f)
{
    if (a == b) {
        return a;
    }
    uint32_t out = 0xFF000000u;
    for (int32_t shift : { 16, 8, 0 }) {
        int32_t ca = (a >> shift) & 0xFF;
        int32_t cb = (b >> shift) & 0xFF;
        out |= static_cast<uint32_t>(ca + (((cb - ca) * f) >> 15)) << shift;
    }
    return out;
}

// Both forms of each kernel (the view's own are the SSE2 ones where it has
// them): the bilinear texel blend by the rule above, and the slope shading
// exactly as the map's.
TEST(VterrainTest, GroundKernelsBlendAndShadeByTheRules)
{
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    // Slopes across the clamp at +-0.5 and far beyond it, colours anywhere.
    const Fixed edges[] = { 0, 1, -1, 0x3FFF, 0x4000, 0x4001, -0x4000, -0x4001, 0x7FFFFFFF, -0x7FFFFFFF - 1 };
    for (int32_t i = 0; i < 20000; ++i) {
        uint32_t t[4];
        for (uint32_t& texel : t) {
            texel = 0xE0000000u | (next() & 0xFFFFFF);
            if (next() % 4 == 0) {
                texel = t[0];  // equal neighbours take the short cut
            }
        }
        const int32_t fx = i < 4 ? (i & 1) * 0x7FFE : static_cast<int32_t>(next() & 0x3FFF) * 2;
        const int32_t fz = i < 4 ? (i & 2) / 2 * 0x7FFE : static_cast<int32_t>(next() & 0x3FFF) * 2;
        const uint32_t blended = blendByTheRule(blendByTheRule(t[0], t[1], fx), blendByTheRule(t[2], t[3], fx), fz);
        const uint32_t colour = next() ^ (next() << 16);
        const Fixed slope = i < 10 ? edges[i] : static_cast<Fixed>(next() % 0x10000) - 0x8000;
        const uint32_t shaded = VpolyTerrain::shade(colour, slope) & 0xFFFFFF;
        ASSERT_EQ(Vterrain::shadeGround(colour, slope), shaded) << std::hex << colour << " slope " << slope;
        // A blend of four equal texels is that texel, so the fused blend and
        // shade must shade it exactly as the map does.
        const uint32_t c = colour | 0xFF000000u;
        const struct {
            const char* kernel;
            uint32_t got, expected;
        } checks[] = {
            { "bilinear", Vterrain::bilinear(t[0], t[1], t[2], t[3], fx, fz), blended },
            { "portable blend", blend::portable::blendTexels(t[0], t[1], t[2], t[3], fx, fz), blended },
            { "portable shade", blend::portable::blendShade(c, c, c, c, 0x1234, 0x4321, slope), shaded },
#ifdef TARNBY_SSE2_BLEND
            { "SSE2 blend and shade", blend::sse2::blendShade(c, c, c, c, 0x1234, 0x4321, slope), shaded },
#endif
        };
        for (const auto& check : checks) {
            ASSERT_EQ(check.got & 0xFFFFFF, check.expected & 0xFFFFFF)
                << check.kernel << std::hex << ": " << t[0] << " " << t[1] << " " << t[2] << " " << t[3] << " fx " << fx
                << " fz " << fz << ", colour " << colour << " slope " << slope;
        }
        // From two texture rows: the texels at u and u + 1, wrapping at the
        // row's end, blended and shaded as the four texels are.
        uint32_t rows[2][64];
        const int32_t u = i % 64;
        for (int32_t r = 0; r < 2; ++r) {
            for (uint32_t& texel : rows[r]) {
                texel = 0xE0000000u | (next() & 0xFFFFFF);
            }
            rows[r][u] = t[2 * r];
            rows[r][(u + 1) % 64] = t[2 * r + 1];
        }
        const uint32_t rowsShaded = blend::portable::blendShade(t[0], t[1], t[2], t[3], fx, fz, slope) & 0xFFFFFF;
        ASSERT_EQ(rowsShaded, VpolyTerrain::shade(blended, slope) & 0xFFFFFF) << "u " << u << " slope " << slope;
        ASSERT_EQ(blend::portable::blendShadeRows(rows[0], rows[1], u, fx, fz, slope) & 0xFFFFFF, rowsShaded)
            << "u " << u;
        ASSERT_EQ(blend::blendShadeRows(rows[0], rows[1], u, fx, fz, slope) & 0xFFFFFF, rowsShaded) << "u " << u;
        // And from texel pairs: each texel with the one below it.
        const uint32_t pairs[4] = { t[0], t[2], t[1], t[3] };
        ASSERT_EQ(blend::portable::blendShadePairs(pairs, fx, fz, slope) & 0xFFFFFF, rowsShaded);
        ASSERT_EQ(blend::blendShadePairs(pairs, fx, fz, slope) & 0xFFFFFF, rowsShaded);
    }
}

class VterrainRenderTest : public ::testing::Test {
protected:
    void SetUp() override { m_hole = test::loadTestCourse(m_folder); }

    void attach(Vterrain& view)
    {
        view.setPolyTerrain(m_hole.terrain);
        view.setTextures(m_hole.textures);
        view.setOutsideFill(m_hole.outsideFill);
    }

    // The view on the test course, standing at (x, z) yards.
    void stand(Vterrain& view, int32_t x, int32_t z, int32_t heading, Fixed above = 141986)
    {
        attach(view);
        view.placeOnGround(x * kYard, above, z * kYard);
        view.setHeading(heading);
        view.setHorizon(100);
        view.setSky(0xFF005995, 0xFF3399FF);
    }

    ScratchFolder m_folder { "vterrain_render" };
    LoadedHole m_hole;
    ViewHolder m_view;
};

TEST_F(VterrainRenderTest, OddSettingsDrawSafelyAndHillsHideSprites)
{
    // No sky table yet, a camera far off the map, horizons above and below the
    // view, clip rectangles beyond it: everything stays inside the buffers.
    std::vector<uint32_t> frame(kWidth * kHeight, 0x12345678);
    attach(*m_view.view);
    m_view->setPosition3d(-60000 * kYard, 30000 * kYard, 60000 * kYard);
    m_view->renderTerrain(frame.data(), kWidth, kHeight, 0, 0, kWidth, kHeight);
    for (int32_t horizon : { -5000, -11, 0, 319, 320, 5000 }) {
        m_view->setHorizon(horizon);
        m_view->setSky(0xFF000000, 0xFFFFFFFF);
        for (Fixed height : { 0, 40 * kYard, -40 * kYard }) {
            m_view->placeOnGround(256 * kYard, height, 256 * kYard);
            m_view->setHeading(horizon & 0x7FFF);
            m_view->renderTerrain(frame.data(), kWidth, kHeight, -50, -50, kWidth + 50, kHeight + 50);
            m_view->renderTerrain(frame.data(), kWidth, kHeight, 100, 100, 50, 50);
            m_view->renderTerrain(frame.data(), kWidth, kHeight / 2, 0, 0, kWidth, kHeight);
        }
    }

    // A view without ground or textures draws sky and nothing else.
    ViewHolder bare(8, 8);
    bare->setHorizon(4);
    bare->setSky(0xFF102030, 0xFF405060);
    std::vector<uint32_t> small(64, 0);
    bare->update(0, 0, kOne);
    bare->render(small.data(), 8, 8, 0, 0, 8, 8);
    EXPECT_EQ(std::count_if(small.begin(), small.end(), [](uint32_t p) { return p >> 24 != 0xFF; }), 0);

    // South of the hill at (140..200, 100..160), facing north over it.
    stand(*m_view.view, 170, 230, 0);
    auto standing = [&](int32_t x, int32_t z) {
        Ref<Vsprite> s = make<Vsprite>();
        s->setPicture(m_hole.textures, 25);
        s->setScale(12 * kYard / s->getHeight());  // a 12-yard pole, lower than the hill's shadow
        s->setPosition3d(x * kYard, m_hole.terrain->heightAt(x * kYard, z * kYard), z * kYard);
        m_view->add(s);
        return s;
    };
    Ref<Vsprite> before = standing(160, 200);
    Ref<Vsprite> behind = standing(175, 60);
    renderFrame(*m_view.view);  // the ground's own depth bytes are in the fingerprint of this camera
    EXPECT_GT(behind->m_right, behind->m_left) << "the far flag is projected on screen";
    EXPECT_EQ(before->m_hiddenPixels, 0) << "nothing hides the near flag";
    // The pole and pennant cover about a quarter of the box; behind the hill most of that is hidden.
    int32_t box = (behind->m_right - behind->m_left) * (behind->m_bottom - behind->m_top);
    EXPECT_GT(behind->m_hiddenPixels * 100, box * 15) << "the hill hides the far flag";
}

TEST_F(VterrainRenderTest, CachedDirectAndUnmappedRendersAgree)
{
    stand(*m_view.view, 89, 436, 0);
    const std::vector<uint32_t> first = renderFrame(*m_view.view);
    EXPECT_FALSE(m_view->needsRender()) << "a whole-view render clears the flag";
    EXPECT_EQ(first, renderFrame(*m_view.view)) << "an unchanged camera copies the cached landscape";

    m_view->moveForward(kYard);
    m_view->update(0, 0, kOne);
    EXPECT_TRUE(m_view->needsRender()) << "a moved camera makes the landscape stale";
    m_view->renderChangeDetect();
    m_view->moveForward(-kYard);

    // Straight into the target, without the view's own buffer: the same picture.
    m_view->releaseBuffer();
    EXPECT_EQ(first, renderFrame(*m_view.view));

    // Textures changed between two renders: the second uses the new ones,
    // exactly as a view that never saw the old ones, and changing back gives
    // the first picture again.
    m_view->setTextures(nullptr);
    const std::vector<uint32_t> plain = renderFrame(*m_view.view);
    ViewHolder fresh;
    stand(*fresh.view, 89, 436, 0);
    fresh->setTextures(nullptr);
    EXPECT_NE(plain, first);
    EXPECT_EQ(plain, renderFrame(*fresh.view));
    m_view->setTextures(m_hole.textures);
    EXPECT_EQ(renderFrame(*m_view.view), first);
    // Textures decoded again into new arrays of other texels: the next render
    // blends the new texels (the view keeps texel pairs of each texture it
    // saw), exactly as a view that never saw the old ones; the old arrays
    // back give the first picture again.
    std::vector<std::pair<Ref<Vpicture>, IntArray>> saved;
    for (int32_t code = 0; code < 64; ++code) {
        Ref<Vpicture> picture = m_hole.textures->getPicture(code);
        if (!picture || picture->m_pixels.length() < 64 * 64) {
            continue;
        }
        IntArray other = allocInt(picture->m_pixels.length());
        for (int32_t i = 0; i < other.length(); ++i) {
            other[i] = picture->m_pixels[i] ^ 0x00FFFFFF;
        }
        saved.emplace_back(picture, picture->m_pixels);
        picture->m_pixels = other;
    }
    ASSERT_GT(saved.size(), 3u);
    const std::vector<uint32_t> inverted = renderFrame(*m_view.view);
    ViewHolder unseen;
    stand(*unseen.view, 89, 436, 0);
    EXPECT_NE(inverted, first);
    EXPECT_EQ(inverted, renderFrame(*unseen.view));
    for (auto& [picture, pixels] : saved) {
        picture->m_pixels = pixels;
    }
    EXPECT_EQ(renderFrame(*m_view.view), first);

    // The landscape is marched two ways, over a height map and without one. A
    // hole all at level 0 (black is rough at ground level on the first course)
    // has heights of 0 everywhere either way, so both must draw the same bytes.
    std::string error;
    ASSERT_TRUE(test::writeFlatHole(m_folder.path(), "level", 0xFF000000, error)) << error;
    Ref<VpolyTerrain> mapped = make<VpolyTerrain>();
    Ref<VpolyTerrain> bare = make<VpolyTerrain>();
    ASSERT_EQ(loadHole(mapped, String::fromChars("level"), 0, m_hole.textures), 0);
    ASSERT_EQ(readHoleDrawing(bare, String::fromChars("level")), HoleRead::Whole);
    applySurfaces(*bare, m_hole.textures, 0);
    ASSERT_EQ(mapped->heightMap().length(), 65536);
    ASSERT_EQ(bare->heightMap().length(), 0);
    // The tee, a high camera, one beyond the map looking in, a low diagonal one.
    for (auto [x, z, above, heading] :
        { std::array { 89, 436, 4, 0 }, { 256, 300, 60, 0x1234 }, { 560, -40, 16, 0x5400 }, { 30, 480, 1, 0x1A00 } }) {
        std::vector<uint32_t> frames[2];
        for (const Ref<VpolyTerrain>& ground : { mapped, bare }) {
            ViewHolder view;
            stand(*view.view, x, z, heading, above * kYard);
            view->setPolyTerrain(ground);
            view->setOutsideFill(0);
            frames[ground == bare] = renderFrame(*view.view);
        }
        EXPECT_TRUE(frames[0] == frames[1]) << "camera at " << x << "," << z;
        EXPECT_NE(frames[0].back(), frames[0].front()) << "ground below the sky, camera at " << x << "," << z;
    }
}

}  // namespace
}  // namespace tarnby
