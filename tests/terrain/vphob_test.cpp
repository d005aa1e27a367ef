// The ball's physics: sub-steps, resting, drag, wind and a whole shot.
#include <gtest/gtest.h>
#include <vector>

#include "fixed/fixed.h"
#include "runtime/random.h"
#include "terrain/game_world.h"
#include "terrain/vector.h"
#include "terrain/vphob.h"
#include "test_holes.h"

namespace tarnby {
namespace {

using test::LoadedHole;
using test::ScratchFolder;

constexpr Fixed kYard = kOne;

struct State {
    Fixed px, py, pz, vx, vy, vz, ax, ay, az;
    bool onGround;
    bool operator==(const State&) const = default;
};

State stateOf(const Vphob& ball)
{
    const Vector& p = *ball.getPosition();
    const Vector& v = *ball.velocity();
    const Vector& a = *ball.acceleration();
    return { p.m_x, p.m_y, p.m_z, v.m_x, v.m_y, v.m_z, a.m_x, a.m_y, a.m_z, ball.onGround() };
}

constexpr Fixed kDefaultDrag = -1;  // leave the ball's own drag

class VphobTest : public ::testing::Test {
protected:
    void SetUp() override { gravity = kGameGravity; }
    void TearDown() override { gravity = 0; }

    // A ball `height` over the fairway at (x, z).
    Ref<Vphob> ball(Fixed height, Fixed drag = kDefaultDrag, Fixed x = 100 * kYard, Fixed z = 100 * kYard)
    {
        Ref<Vphob> b = make<Vphob>();
        b->setTerrain(m_hole.terrain);
        b->setPosition(x, wrapAdd(m_hole.terrain->heightAt(x, z), height), z);
        if (drag != kDefaultDrag) {
            b->setDrag(drag);
        }
        return b;
    }

    ScratchFolder m_folder { "vphob" };
    LoadedHole m_hole = test::loadFlatHole(m_folder, test::kTestFairway);
};

TEST_F(VphobTest, SubStepsRestFrictionDragAndWind)
{
    Ref<Vphob> still = ball(100 * kYard);
    still->setVelocity(10 * kYard, 5 * kYard, -20 * kYard);
    State before = stateOf(*still);
    still->step(0);
    EXPECT_EQ(stateOf(*still), before) << "step (0) changes nothing";

    // Without drag only gravity acts, one product per sub-step: 1500 runs as 512 + 512 + 476,
    // and a negative dt is one sub-step of that length.
    Ref<Vphob> falling = ball(100 * kYard, 0);
    falling->step(1500);
    EXPECT_EQ(falling->velocity()->m_y, fmul(gravity, 512) + fmul(gravity, 512) + fmul(gravity, 476));
    EXPECT_NE(falling->velocity()->m_y, fmul(gravity, 1500)) << "rounding shows the sub-steps";
    Ref<Vphob> backward = ball(100 * kYard, 0);
    backward->step(-700);
    EXPECT_EQ(backward->velocity()->m_y, fmul(gravity, -700));

    // A ball at rest on flat ground stays put through 60 ms and 16 ms frames.
    const Fixed x = 200 * kYard + 1234, z = 300 * kYard + 77;
    const Fixed ground = m_hole.terrain->heightAt(x, z);
    Ref<Vphob> resting = ball(0, kDefaultDrag, x, z);
    for (int32_t i = 0; i < 300; ++i) {
        resting->step(i % 3 == 0 ? 1920 : 512);
        const Vector& p = *resting->getPosition();
        ASSERT_TRUE(p.m_x == x && p.m_z == z && p.m_y == ground) << "step " << i << ": the ball slid, sank or hopped";
    }
    for (int32_t i = 0; i < 3 && !resting->onGround(); ++i) {
        resting->step(1);
    }
    ASSERT_TRUE(resting->onGround());
    resting->computeAcceleration();
    EXPECT_EQ(resting->acceleration()->m_y, 0) << "normal reaction equals gravity on flat ground";

    // One 16 ms step of a ball sliding on flat ground, without drag. Faster
    // than 1.125 gravities, friction takes its share of the sliding speed;
    // slower, only its share of the landing impulse (tiny when rolling).
    const Fixed friction = m_hole.terrain->friction(m_hole.terrain->fillAt(100 * kYard, 100 * kYard));
    ASSERT_GT(friction, 0);
    const Fixed g = -gravity;
    for (Fixed speed : { g, g + g / 10, g + g / 5, 3 * g / 2 }) {
        Ref<Vphob> b = ball(0, 0);
        b->setVelocity(speed, 0, 0);
        b->step(512);
        ASSERT_TRUE(b->onGround());
        const Fixed loss = speed - b->velocity()->m_x;
        if (speed > g + g / 8) {
            EXPECT_NEAR(loss, fmul(friction, speed), speed / 50) << "speed " << speed;
        } else {
            EXPECT_LT(loss, speed / 20) << "speed " << speed;
        }
    }

    // drag = 0: neither drag nor wind acts; the default drag slows the ball and lets the wind carry it.
    for (Fixed drag : { 0, kDefaultDrag }) {
        Ref<Vphob> b = ball(200 * kYard, drag);
        b->setVelocity(30 * kYard, 10 * kYard, 0);
        b->wind()->set(20 * kYard, 0, -20 * kYard);
        for (int32_t i = 0; i < 10; ++i) {
            b->step(512);
        }
        EXPECT_EQ(b->velocity()->m_x < 30 * kYard, drag != 0) << "drag " << drag;
        EXPECT_EQ(b->velocity()->m_z < 0, drag != 0) << "drag " << drag;
    }

    // The wind is ignored up to one yard above the ground.
    gravity = 0;  // keep each ball at its height
    for (Fixed height : { kYard / 2, kYard, 3 * kYard }) {
        Ref<Vphob> calm = ball(height);
        Ref<Vphob> windy = ball(height);
        calm->setVelocity(10 * kYard, 0, 0);
        windy->setVelocity(10 * kYard, 0, 0);
        windy->wind()->set(0, 0, 30 * kYard);
        for (int32_t i = 0; i < 3; ++i) {
            calm->step(512);
            windy->step(512);
        }
        ASSERT_EQ(calm->heightAboveGround(), height);
        if (height <= kYard) {
            EXPECT_EQ(stateOf(*calm), stateOf(*windy)) << "no wind at height " << height;
        } else {
            EXPECT_GT(windy->velocity()->m_z, calm->velocity()->m_z) << "wind at height " << height;
        }
    }
}

// A new game starts as the first: the same seed gives the same random
// sequence, and the shared settings (gravity among them) are put back.
TEST(GameWorldTest, ResetRestartsTheRandomSourceAndTakesGravityAway)
{
    resetGameWorld(9);
    const int32_t first[3] = { random(), random(), random() };
    gravity = kGameGravity;
    resetGameWorld(9);
    EXPECT_EQ(gravity, 0);
    const int32_t again[3] = { random(), random(), random() };
    EXPECT_TRUE(first[0] == again[0] && first[1] == again[1] && first[2] == again[2]) << "the same seed";
    resetGameWorld(10);
    EXPECT_NE(random(), first[0]) << "another seed gives another sequence";
}

}  // namespace
}  // namespace tarnby
