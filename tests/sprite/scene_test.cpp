// A small scene painted headless through the root viewport, checked by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/host.h"
#include "sprite/viewport.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

Ref<Vsprite> filled(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, Fixed depth = 0)
{
    auto s = make<Vsprite>();
    s->setSize(w, h);
    s->setPosition(x, y);
    s->setColour(colour);
    s->setDepth(depth);
    return s;
}

struct Scene {
    Scene()
    {
        root = make<Viewport>();
        root->setSize(120, 90);
        root->setColour(0xFF203040);
        root->attach(make<Object>());

        sky = filled(0, 0, 120, 40, 0xFF4060C0, toFixed(250));
        sky->setColour2(0xFFC0E0FF);
        root->add(sky);
        ground = filled(0, 40, 120, 50, 0xFF207020, toFixed(240));
        root->add(ground);

        // A group node moves a little flag (pole and cloth) as one.
        flag = make<Vsprite>();
        flag->setPosition(80, 20);
        flag->setDepth(toFixed(10));
        flag->addTail(filled(0, 0, 2, 30, 0xFFFFFFFF));
        flag->addTail(filled(2, 0, 12, 8, 0xFFE02020));
        root->add(flag);

        ball = filled(30, 60, 6, 6, 0xFFF0F0F0, toFixed(5));
        ball->setAnchor(3, 3);  // the position is the ball's centre
        root->add(ball);

        panel = filled(4, 4, 50, 14, 0x80000000, toFixed(1));
        root->add(panel);
        // Drawn last whatever its depth: a marker on top of everything.
        marker = filled(40, 50, 4, 4, 0xFFFFFF00, toFixed(200));
        root->addTail(marker);
    }
    ~Scene() { root->destroy(); }

    Ref<Viewport> root;
    Ref<Vsprite> sky, ground, flag, ball, panel, marker;
};

class PresentCounter : public Host {
public:
    uint32_t tickCount() override { return now; }
    void sleep(int32_t ms) override { now += static_cast<uint32_t>(ms); }
    void present(const uint32_t*, int32_t, int32_t, int32_t, int32_t w, int32_t h) override
    {
        ++presents;
        area += w * h;
    }
    uint32_t now = 0;
    int32_t presents = 0;
    int32_t area = 0;
};

TEST(SceneTest, PaintsASmallSceneAndRedrawsOnlyWhatMoves)
{
    PresentCounter h;
    setHost(&h);
    {
        Scene s;
        s.root->paint();
        s.root->waitFrame(16);
        const uint32_t* px = s.root->pixels();
        auto at = [&](int32_t x, int32_t y) { return px[y * 120 + x]; };

        EXPECT_EQ(h.presents, 1);
        EXPECT_EQ(at(60, 0), 0xFF4060C0u) << "top row of the sky is its top colour";
        EXPECT_NE(at(60, 39), 0xFF4060C0u) << "the sky grows lighter downwards";
        EXPECT_GT(at(60, 39) & 0xFF, at(60, 20) & 0xFF);
        EXPECT_EQ(at(30, 60), 0xFFF0F0F0u) << "ball centred on its position";
        EXPECT_EQ(at(80, 45), 0xFFFFFFFFu) << "flag pole";
        EXPECT_EQ(at(90, 22), 0xFFE02020u) << "flag cloth";
        // Half-black panel over the sky: the sky's colour halved, depth byte 0.
        const uint32_t under = at(60, 6);
        EXPECT_EQ(at(10, 6), (under >> 1) & 0x7F7F7F);
        EXPECT_EQ(at(42, 52), 0xFFFFFF00u);

        test::saveFrame("sprite_scene", px, 120, 90, 120);

        // Move the ball a few frames: each frame redraws a small area only, and
        // the result equals a full redraw of the same scene.
        h.presents = 0;
        h.area = 0;
        for (int frame = 0; frame < 5; ++frame) {
            s.ball->moveBy(toFixed(3), -toFixed(2));
            s.root->paint();
            s.root->waitFrame(16);
        }
        EXPECT_EQ(h.presents, 5) << "old and new place of a slow ball touch: one area per frame";
        EXPECT_LE(h.area, 5 * 9 * 8) << "only the ball's old and new place are drawn";
        EXPECT_EQ(at(45, 50), 0xFFF0F0F0u);
        EXPECT_EQ(at(30, 60), 0xFF207020u) << "the old place is ground again";
        EXPECT_EQ(at(42, 52), 0xFFFFFF00u) << "the marker stays on top of the ball";

        std::vector<uint32_t> full(120 * 90, 0);
        s.root->Vsprite::render(full.data(), 120, 90, 0, 0, 120, 90);
        EXPECT_TRUE(std::equal(full.begin(), full.end(), px)) << "incremental frames must equal a full redraw";

        // Removing a sprite redraws where it was.
        s.root->remove(s.flag);
        s.root->paint();
        EXPECT_EQ(at(80, 45), 0xFF207020u);
        EXPECT_EQ(at(90, 22), at(60, 22)) << "sky again where the cloth was";
        s.flag->destroy();
        EXPECT_EQ(h.now, 6u * 16u) << "six frames on the virtual clock";
    }
    setHost(nullptr);
}

}  // namespace
}  // namespace tarnby
