// The ball's physics: sub-steps, resting, water, drag, wind and a whole shot.
#include <gtest/gtest.h>
#include <vector>

#include "terrain/fixed.h"
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

Ref<Vphob> ballOn(const LoadedHole& hole, Fixed x, Fixed height, Fixed z)
{
    Ref<Vphob> ball = make<Vphob>();
    ball->setTerrain(hole.terrain);
    ball->setPosition(x, wrapAdd(hole.terrain->heightAt(x, z), height), z);
    return ball;
}

class VphobTest : public ::testing::Test {
protected:
    void SetUp() override { gravity = kGameGravity; }
    void TearDown() override { gravity = 0; }
};

TEST_F(VphobTest, StepZeroAndTheSubStepSplit)
{
    ScratchFolder folder("vphob_split");
    LoadedHole hole = test::loadFlatHole(folder, preview::kTestFairway);

    Ref<Vphob> still = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    still->setVelocity(10 * kYard, 5 * kYard, -20 * kYard);
    State before = stateOf(*still);
    still->step(0);
    EXPECT_EQ(stateOf(*still), before) << "step (0) changes nothing";

    // 1500 runs as 512 + 512 + 476, exactly as three calls would.
    Ref<Vphob> one = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    Ref<Vphob> three = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    Ref<Vphob> thirds = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    for (const Ref<Vphob>& b : { one, three, thirds }) {
        b->setVelocity(10 * kYard, 5 * kYard, -20 * kYard);
    }
    one->step(1500);
    three->step(512);
    three->step(512);
    three->step(476);
    thirds->step(500);
    thirds->step(500);
    thirds->step(500);
    EXPECT_EQ(stateOf(*one), stateOf(*three)) << "1500 splits into 512, 512, 476";
    EXPECT_NE(stateOf(*one), stateOf(*thirds)) << "the split is not three even parts";

    // Without drag only gravity acts, one product per sub-step.
    Ref<Vphob> falling = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    falling->setDrag(0);
    falling->step(1500);
    EXPECT_EQ(falling->velocity()->m_y, fmul(gravity, 512) + fmul(gravity, 512) + fmul(gravity, 476));
    EXPECT_NE(falling->velocity()->m_y, fmul(gravity, 1500)) << "rounding shows the sub-steps";

    // A negative dt is one sub-step of that length.
    Ref<Vphob> backward = ballOn(hole, 256 * kYard, 100 * kYard, 256 * kYard);
    backward->setDrag(0);
    backward->step(-700);
    EXPECT_EQ(backward->velocity()->m_y, fmul(gravity, -700));
}

TEST_F(VphobTest, BallAtRestOnFlatGroundStaysPut)
{
    ScratchFolder folder("vphob_rest");
    LoadedHole hole = test::loadFlatHole(folder, preview::kTestFairway);
    const Fixed x = 200 * kYard + 1234;
    const Fixed z = 300 * kYard + 77;
    const Fixed ground = hole.terrain->heightAt(x, z);
    Ref<Vphob> ball = ballOn(hole, x, 0, z);
    for (int32_t i = 0; i < 300; ++i) {
        ball->step(i % 3 == 0 ? 1920 : 512); // 60 ms and 16 ms frames
        const Vector& p = *ball->getPosition();
        ASSERT_EQ(p.m_x, x) << "step " << i;
        ASSERT_EQ(p.m_z, z) << "step " << i;
        ASSERT_EQ(p.m_y, ground) << "step " << i << ": the ball neither sinks nor hops";
        ASSERT_EQ(ball->velocity()->m_x, 0);
        ASSERT_EQ(ball->velocity()->m_z, 0);
    }
    // Just after a contact, the ground's reaction cancels gravity exactly.
    for (int32_t i = 0; i < 3 && !ball->onGround(); ++i) {
        ball->step(1);
    }
    ASSERT_TRUE(ball->onGround());
    ball->computeAcceleration();
    EXPECT_EQ(ball->acceleration()->m_y, 0) << "normal reaction equals gravity on flat ground";
    EXPECT_EQ(ball->normal()->m_y, kOne) << "flat ground's normal points straight up";
}

TEST_F(VphobTest, WaterStopsTheBallDead)
{
    ScratchFolder folder("vphob_water");
    LoadedHole hole = test::loadFlatHole(folder, preview::kTestWater);
    Ref<Vphob> ball = ballOn(hole, 100 * kYard, 2 * kYard, 100 * kYard);
    ball->setVelocity(15 * kYard, -3 * kYard, 4 * kYard);
    int32_t steps = 0;
    while (!ball->onGround() && steps < 200) {
        ball->step(512);
        ++steps;
    }
    ASSERT_TRUE(ball->onGround()) << "the ball reaches the water";
    EXPECT_EQ(ball->friction(), kOne);
    EXPECT_EQ(ball->bounce(), 0);
    const Vector& v = *ball->velocity();
    EXPECT_EQ(v.m_x, 0);
    EXPECT_EQ(v.m_y, 0);
    EXPECT_EQ(v.m_z, 0);

    // The same landing on the fairway keeps rolling.
    ScratchFolder grassFolder("vphob_grass");
    LoadedHole grass = test::loadFlatHole(grassFolder, preview::kTestFairway);
    Ref<Vphob> rolling = ballOn(grass, 100 * kYard, 2 * kYard, 100 * kYard);
    rolling->setVelocity(15 * kYard, -3 * kYard, 4 * kYard);
    while (!rolling->onGround()) {
        rolling->step(512);
    }
    EXPECT_GT(rolling->velocity()->m_x, 0) << "friction 0x4CCC only slows it";
    EXPECT_EQ(rolling->velocity()->m_y, 0) << "no bounce: the speed into the ground is gone";
}

TEST_F(VphobTest, DragAndWind)
{
    ScratchFolder folder("vphob_drag");
    LoadedHole hole = test::loadFlatHole(folder, preview::kTestFairway);

    // drag = 0: neither drag nor wind acts.
    Ref<Vphob> bare = ballOn(hole, 100 * kYard, 200 * kYard, 100 * kYard);
    bare->setDrag(0);
    bare->setVelocity(30 * kYard, 10 * kYard, 0);
    bare->wind()->set(20 * kYard, 0, -20 * kYard);
    for (int32_t i = 0; i < 10; ++i) {
        bare->step(512);
    }
    EXPECT_EQ(bare->velocity()->m_x, 30 * kYard);
    EXPECT_EQ(bare->velocity()->m_z, 0);
    EXPECT_EQ(bare->velocity()->m_y, 10 * kYard + 10 * fmul(gravity, 512));

    Ref<Vphob> dragged = ballOn(hole, 100 * kYard, 200 * kYard, 100 * kYard);
    dragged->setVelocity(30 * kYard, 10 * kYard, 0);
    dragged->wind()->set(20 * kYard, 0, -20 * kYard);
    for (int32_t i = 0; i < 10; ++i) {
        dragged->step(512);
    }
    EXPECT_LT(dragged->velocity()->m_x, 30 * kYard) << "drag 1 slows the ball";
    EXPECT_LT(dragged->velocity()->m_z, 0) << "up in the air the wind carries it";

    // The wind is ignored up to one yard above the ground.
    gravity = 0; // keep each ball at its height
    for (Fixed height : { kYard / 2, kYard, 3 * kYard }) {
        Ref<Vphob> calm = ballOn(hole, 100 * kYard, height, 100 * kYard);
        Ref<Vphob> windy = ballOn(hole, 100 * kYard, height, 100 * kYard);
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

    // The speed estimate makes a ball moving along z alone feel about a ninth
    // of the drag it feels moving as fast along x (or y).
    Ref<Vphob> probe = ballOn(hole, 100 * kYard, 50 * kYard, 100 * kYard);
    probe->setVelocity(40 * kYard, 0, 0);
    probe->computeAcceleration();
    Fixed alongX = -probe->acceleration()->m_x;
    probe->setVelocity(0, 40 * kYard, 0);
    probe->computeAcceleration();
    EXPECT_EQ(-probe->acceleration()->m_y, alongX) << "x and y are estimated exactly";
    probe->setVelocity(0, 0, 40 * kYard);
    probe->computeAcceleration();
    Fixed alongZ = -probe->acceleration()->m_z;
    ASSERT_GT(alongZ, 0);
    EXPECT_GE(alongX, 8 * alongZ);
    EXPECT_LE(alongX, 10 * alongZ);
}

// Where a full 7-iron (140 yards, 32 degrees) first lands and where it stops,
// launched from (x, z) toward heading (sin, -cos).
struct Shot {
    Fixed carry;
    Fixed total;
    int32_t steps;
};

Shot playSevenIron(const LoadedHole& hole, int32_t heading)
{
    // The game's launch: v = sqrt(0.9 * D * g / sin 2a), split by the launch angle.
    const Fixed distance = 4587240;
    const int32_t angle = 2912;
    int64_t q30 = static_cast<int64_t>(fmul(0x7333, distance)) * 359834;
    Fixed v = fsqrt(q30 / fsin(2 * angle));
    Fixed up = fmul(v, fsin(angle));
    Fixed along = fmul(v, fcos(angle));
    const Fixed x = 256 * kYard;
    const Fixed z = 256 * kYard;
    Ref<Vphob> ball = ballOn(hole, x, 0, z);
    ball->setVelocity(fmul(along, fsin(heading)), up, wrapSub(0, fmul(along, fcos(heading))));
    Shot shot { -1, 0, 0 };
    const Vector& p = *ball->getPosition();
    const Vector& vel = *ball->velocity();
    int32_t still = 0;
    while (shot.steps < 4000) {
        ball->step(512);
        ++shot.steps;
        Fixed gone = fhypot(p.m_x - x, p.m_z - z);
        if (ball->onGround() && shot.carry < 0) {
            shot.carry = gone;
        }
        // At rest as the game sees it: 30 steps that moved it less than 910.
        still = fabs(gone - shot.total) < 910 ? still + 1 : 0;
        shot.total = gone;
        if ((ball->onGround() && vel.m_x == 0 && vel.m_y == 0 && vel.m_z == 0) || still >= 30) {
            break;
        }
    }
    return shot;
}

TEST_F(VphobTest, WholeShotOnAFlatHole)
{
    ScratchFolder folder("vphob_shot");
    LoadedHole hole = test::loadFlatHole(folder, preview::kTestFairway);
    // Without drag the launch carries 90 % of 140 yards; drag can only shorten it.
    Shot north = playSevenIron(hole, 0);
    EXPECT_GT(north.carry, 100 * kYard);
    EXPECT_LT(north.carry, 129 * kYard);
    EXPECT_GT(north.total, north.carry) << "the ball rolls on after landing";
    EXPECT_LT(north.total, north.carry + 40 * kYard);
    EXPECT_LT(north.steps, 4000) << "the ball comes to rest";

    Shot east = playSevenIron(hole, 0x2000);
    EXPECT_LT(east.carry, north.carry) << "the drag estimate is larger along x than along z";
    EXPECT_GT(east.carry, 70 * kYard);
}

} // namespace
} // namespace tarnby
