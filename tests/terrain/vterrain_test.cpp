// The 3-D view: camera moves, projection limits, the sky table, and rendered
// landscapes (depth bytes, sprites behind hills, the cached landscape).
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "fixed/fixed.h"
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

int32_t red(uint32_t c) { return (c >> 16) & 0xFF; }
int32_t green(uint32_t c) { return (c >> 8) & 0xFF; }
int32_t blue(uint32_t c) { return c & 0xFF; }

struct Frame {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kWidth * kHeight, 0);
    uint32_t at(int32_t x, int32_t y) const { return pixels[y * kWidth + x]; }
    uint32_t depth(int32_t x, int32_t y) const { return at(x, y) >> 24; }
};

Frame renderFrame(Vterrain& view)
{
    Frame f;
    view.update(0, 0, kOne);
    view.render(f.pixels.data(), kWidth, kHeight, 0, 0, kWidth, kHeight);
    return f;
}

// Every test takes its view apart again: the view and its sprites hold each other.
struct ViewHolder {
    Ref<Vterrain> view;
    explicit ViewHolder(int32_t w = kWidth, int32_t h = kHeight) : view(make<Vterrain>(w, h)) {}
    ~ViewHolder() { view->destroy(); }
    Vterrain* operator->() const { return view.get(); }
};

TEST(VterrainTest, CameraHeadingMovesAndRays)
{
    ViewHolder view;
    view->setHeading(0x8000 + 0x1234);
    EXPECT_EQ(view->getHeading(), 0x1234) << "a whole turn more is the same heading";
    view->setHeading(-0x1000);
    EXPECT_EQ(view->getHeading(), 0x7000);

    view->setPosition3d(100 * kYard, 5 * kYard, 100 * kYard);
    view->lookAt(100 * kYard, 50 * kYard);
    EXPECT_EQ(view->getHeading(), 0) << "north (toward -z) is heading 0";
    view->lookAt(150 * kYard, 100 * kYard);
    EXPECT_EQ(view->getHeading(), 0x2000) << "east (+x) is a quarter turn";
    view->lookAt(50 * kYard, 100 * kYard);
    EXPECT_EQ(view->getHeading(), -0x2000) << "lookAt does not mask the angle";

    view->setHeading(0);
    view->moveForward(10 * kYard);
    EXPECT_NEAR(view->getZ3d(), 90 * kYard, 16);
    EXPECT_EQ(view->getY3d(), 5 * kYard) << "moving keeps the height";

    // Offsets to the right and behind, seen from a camera facing east.
    view->setHeading(0x2000);
    EXPECT_NEAR(view->viewZ(3 * kYard, 0), 3 * kYard, 8) << "right of east is south (+z)";
    EXPECT_NEAR(view->viewX(3 * kYard, 0), 0, 8);
    EXPECT_NEAR(view->viewX(0, 2 * kYard), -2 * kYard, 8) << "behind a camera facing east is west";

    view->setHeading(0);
    int32_t dx = 0;
    int32_t dz = 0;
    view->rayStep(kWidth / 2, kWidth, dx, dz);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dz, -(kOne >> 4)) << "a sixteenth of a yard toward -z";
    view->rayStep(0, kWidth, dx, dz);
    EXPECT_LT(dx, 0) << "the left column looks west of north";
    view->rayStep(kWidth - 1, kWidth, dx, dz);
    EXPECT_GT(dx, 0) << "the right column looks east of north";
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
    };
    auto hidden = [&] { return !(sprite->m_left | sprite->m_top | sprite->m_right | sprite->m_bottom); };
    // Exactly 8 yards, one unit more, 8176 yards, beyond that, behind the camera.
    for (auto [depth, hide] : { std::pair { 0x40000, true }, { 0x40001, false }, { 0xFF7FFFF, false },
             { 0xFF80000, true }, { -20 * kYard, true } }) {
        placeAhead(depth);
        EXPECT_EQ(hidden(), hide) << "depth " << std::hex << depth;
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

TEST(VterrainTest, KeepAboveGround)
{
    ScratchFolder folder("vterrain_ground");
    LoadedHole hole = test::loadFlatHole(folder, test::kTestFairway);
    ViewHolder view;
    view->setPolyTerrain(hole.terrain);
    const Fixed ground = hole.terrain->heightAt(300 * kYard, 300 * kYard);
    ASSERT_EQ(ground, 0x22 << 12) << "the fairway's height level";

    view->placeOnGround(300 * kYard, 3 * kYard, 300 * kYard);
    EXPECT_EQ(view->keepAboveGround(), ground);
    EXPECT_EQ(view->getY3d(), ground + 4 * kYard) << "3 yards up is raised to 4";
    view->placeOnGround(300 * kYard, 5 * kYard, 300 * kYard);
    view->keepAboveGround();
    EXPECT_EQ(view->getY3d(), ground + 5 * kYard) << "5 yards up stays";
}

TEST(VterrainTest, SkyGradientAndHorizonBand)
{
    ViewHolder view(100, 50);
    const uint32_t dark = 0xFF000000;
    const uint32_t light = 0xFFFFFFFF;
    auto sky = [&](int32_t row) { return static_cast<uint32_t>(view->skyColours()[row]); };
    auto solidFrom = [&](int32_t first, uint32_t colour) {
        ASSERT_EQ(view->skyColours().length(), 50);
        for (int32_t row = first; row < 50; ++row) {
            ASSERT_EQ(sky(row), colour) << "row " << row;
        }
    };

    view->setHorizon(60);  // horizon + 10 beyond the view: all of it is gradient
    view->setSky(dark, light);
    EXPECT_EQ(sky(0), dark);
    for (int32_t row = 1; row < 50; ++row) {
        uint32_t here = sky(row);
        ASSERT_EQ(here >> 24, 0xFFu);
        ASSERT_GE(red(here), red(sky(row - 1))) << "row " << row;
        ASSERT_TRUE(red(here) == green(here) && red(here) == blue(here)) << "row " << row;
    }
    EXPECT_NE(sky(49), light) << "the gradient never quite reaches the bottom colour";
    EXPECT_GT(red(sky(49)), 240);

    view->setHorizon(20);  // the gradient ends 10 rows below the horizon
    view->setSky(light, dark);
    EXPECT_LT(red(sky(29)), red(sky(28)));
    solidFrom(30, dark);
    view->setSky(0x80123456, 0x80123456);
    solidFrom(0, 0x80123456u);  // equal colours keep their own alpha
    view->setHorizon(-40);      // the horizon far above the view: no gradient rows at all
    view->setSky(dark, light);
    solidFrom(0, light);
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

TEST(VterrainTest, BilinearTexelsMatchTheBlendRule)
{
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int32_t i = 0; i < 20000; ++i) {
        uint32_t t[4];
        for (uint32_t& texel : t) {
            texel = 0xE0000000u | (next() & 0xFFFFFF);
            if (next() % 4 == 0) {
                texel = t[0];  // equal neighbours take the short cut
            }
        }
        int32_t fx = static_cast<int32_t>(next() & 0x3FFF) * 2;
        int32_t fz = static_cast<int32_t>(next() & 0x3FFF) * 2;
        if (i < 4) {
            fx = i & 1 ? 0x7FFE : 0;
            fz = i & 2 ? 0x7FFE : 0;
        }
        uint32_t top = blendByTheRule(t[0], t[1], fx);
        uint32_t bottom = blendByTheRule(t[2], t[3], fx);
        uint32_t expected = blendByTheRule(top, bottom, fz);
        ASSERT_EQ(Vterrain::bilinear(t[0], t[1], t[2], t[3], fx, fz) & 0xFFFFFF, expected & 0xFFFFFF)
            << std::hex << t[0] << " " << t[1] << " " << t[2] << " " << t[3] << " fx " << fx << " fz " << fz;
        // Both forms of the kernel, whichever the view draws with.
        ASSERT_EQ(blend::portable::blendTexels(t[0], t[1], t[2], t[3], fx, fz) & 0xFFFFFF, expected & 0xFFFFFF)
            << "portable blend, " << std::hex << t[0] << " " << t[1] << " fx " << fx << " fz " << fz;
#ifdef TARNBY_SSE2_BLEND
        ASSERT_EQ(blend::sse2::blendTexels(t[0], t[1], t[2], t[3], fx, fz) & 0xFFFFFF, expected & 0xFFFFFF)
            << "SSE2 blend, " << std::hex << t[0] << " " << t[1] << " fx " << fx << " fz " << fz;
#endif
    }
}

TEST(VterrainTest, SlopedGroundIsShadedAsOnTheMap)
{
    uint32_t seed = 777;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 4;
    };
    // Slopes across the clamp at +-0.5 and far beyond it, colours anywhere.
    const Fixed edges[] = { 0, 1, -1, 0x3FFF, 0x4000, 0x4001, -0x4000, -0x4001, 0x7FFFFFFF, -0x7FFFFFFF - 1 };
    for (int32_t i = 0; i < 20000; ++i) {
        uint32_t colour = next() ^ (next() << 16);
        Fixed slope = i < 10 ? edges[i] : static_cast<Fixed>(next() % 0x10000) - 0x8000;
        const uint32_t expected = VpolyTerrain::shade(colour, slope) & 0xFFFFFF;
        ASSERT_EQ(Vterrain::shadeGround(colour, slope), expected) << std::hex << colour << " slope " << slope;
        // A blend of four equal texels is that texel, so the fused blend and
        // shade must shade it exactly as the map does, in both kernel forms.
        const uint32_t c = colour | 0xFF000000u;
        ASSERT_EQ(blend::portable::blendShade(c, c, c, c, 0x1234, 0x4321, slope) & 0xFFFFFF, expected)
            << "portable, " << std::hex << colour << " slope " << slope;
#ifdef TARNBY_SSE2_BLEND
        ASSERT_EQ(blend::sse2::blendShade(c, c, c, c, 0x1234, 0x4321, slope) & 0xFFFFFF, expected)
            << "SSE2, " << std::hex << colour << " slope " << slope;
        ASSERT_EQ(blend::sse2::shadeTexel(colour, slope) & 0xFFFFFF, expected)
            << "SSE2 shade, " << std::hex << colour << " slope " << slope;
#endif
    }
}

class VterrainRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hole = test::loadTestCourse(m_folder);
        m_view->setPolyTerrain(m_hole.terrain);
        m_view->setTextures(m_hole.textures);
        m_view->setOutsideFill(m_hole.outsideFill);
    }

    void stand(Fixed x, Fixed z, int32_t heading)
    {
        m_view->placeOnGround(x, 141986, z);
        m_view->setHeading(heading);
        m_view->setHorizon(100);
        m_view->setSky(0xFF005995, 0xFF3399FF);
    }

    ScratchFolder m_folder { "vterrain_render" };
    LoadedHole m_hole;
    ViewHolder m_view;
};

TEST_F(VterrainRenderTest, OddSettingsDrawSafely)
{
    // No sky table yet, a camera far off the map, horizons above and below the
    // view, clip rectangles beyond it: everything stays inside the buffers.
    std::vector<uint32_t> frame(kWidth * kHeight, 0x12345678);
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
    for (uint32_t p : small) {
        ASSERT_EQ(p >> 24, 0xFFu);
    }
}

TEST_F(VterrainRenderTest, DepthGrowsWithDistanceAndHillsHideSprites)
{
    // South of the hill at (140..200, 100..160), facing north over it.
    stand(170 * kYard, 230 * kYard, 0);
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
    Frame f = renderFrame(*m_view.view);

    EXPECT_GT(behind->m_right, behind->m_left) << "the far flag is projected on screen";
    EXPECT_EQ(before->m_hiddenPixels, 0) << "nothing hides the near flag";
    // The flag's pole and pennant cover about a quarter of its box; behind the
    // hill most of that is hidden.
    int32_t box = (behind->m_right - behind->m_left) * (behind->m_bottom - behind->m_top);
    EXPECT_GT(behind->m_hiddenPixels * 100, box * 15) << "the hill hides the far flag";

    // Up every column, the ground gets farther and the sky is farthest of all.
    auto underSprite = [](const Ref<Vsprite>& s, int32_t col) { return col >= s->m_left && col < s->m_right; };
    for (int32_t col = 0; col < kWidth; col += 7) {
        if (underSprite(before, col) || underSprite(behind, col)) {
            continue;  // the sprites carry their own depths
        }
        uint32_t last = 0;
        for (int32_t row = kHeight - 1; row >= 0; --row) {
            uint32_t d = f.depth(col, row);
            ASSERT_GE(d, last) << "column " << col << " row " << row;
            last = d;
        }
    }
    EXPECT_GE(f.depth(kWidth / 2, kHeight - 1), 4u) << "the ground starts 8 yards out: 2 yards a depth step";
    EXPECT_LE(f.depth(kWidth / 2, kHeight - 1), 6u);
}

TEST_F(VterrainRenderTest, CachedLandscapeAndDirectRenderAgree)
{
    stand(89 * kYard, 436 * kYard, 0);
    Frame first = renderFrame(*m_view.view);
    EXPECT_FALSE(m_view->needsRender()) << "a whole-view render clears the flag";
    Frame again = renderFrame(*m_view.view);
    EXPECT_EQ(first.pixels, again.pixels) << "an unchanged camera copies the cached landscape";

    m_view->moveForward(kYard);
    m_view->update(0, 0, kOne);
    EXPECT_TRUE(m_view->needsRender()) << "a moved camera makes the landscape stale";
    m_view->renderChangeDetect();
    m_view->moveForward(-kYard);

    // Straight into the target, without the view's own buffer: the same picture.
    m_view->releaseBuffer();
    Frame direct = renderFrame(*m_view.view);
    EXPECT_EQ(first.pixels, direct.pixels);

    // Textures changed between two renders: the second uses the new ones,
    // exactly as a view that never saw the old ones, and changing back gives
    // the first picture again.
    m_view->setTextures(nullptr);
    Frame plain = renderFrame(*m_view.view);
    ViewHolder fresh;
    fresh->setPolyTerrain(m_hole.terrain);
    fresh->setOutsideFill(m_hole.outsideFill);
    fresh->placeOnGround(89 * kYard, 141986, 436 * kYard);
    fresh->setHorizon(100);
    fresh->setSky(0xFF005995, 0xFF3399FF);
    EXPECT_NE(plain.pixels, first.pixels);
    EXPECT_EQ(plain.pixels, renderFrame(*fresh.view).pixels);
    m_view->setTextures(m_hole.textures);
    EXPECT_EQ(renderFrame(*m_view.view).pixels, first.pixels);
}

}  // namespace
}  // namespace tarnby
