// The computer golfer's caddie: shots tried on a copy of the ball, and the search for the best one.
#include "golf/shot_planner.h"

#include "golf/clubs.h"
#include "golf/surface_table.h"
#include "runtime/v.h"

namespace tarnby {

namespace {

// The flight rules of the game, step for step (see the game's stepBallFlight).
constexpr int32_t kLongestFrame = 60;
constexpr Fixed kNearCup = 0x5554;
constexpr Fixed kInCup = 911;
constexpr Fixed kDropSpeed = 0x58DE0;
constexpr Fixed kStill = 910;
constexpr int32_t kStillSteps = 30;
constexpr Fixed kWindScale = 196836;
// A ball that has not settled after two minutes of flight is taken where it is.
constexpr int32_t kMaxFrames = 7500;

constexpr int32_t kAimStep = 128;
// A penalty costs the stroke, the penalty stroke and a little for the nerves.
constexpr int32_t kPenaltyCost = 2200;

// Strokes still to play from a ball at rest, by distance to the pin (yards):
// sure of one putt close to the cup, about two putts across a green, then an
// approach and the putts, then the long shots.
struct CostPoint {
    int32_t yards;
    int32_t cost;
};
constexpr CostPoint kCostTable[] = {
    // clang-format off
    { 0, 1000 }, { 1, 1050 }, { 3, 1300 }, { 8, 1650 }, { 20, 1950 }, { 40, 2250 },
    { 80, 2500 }, { 150, 2800 }, { 250, 3100 }, { 400, 3600 }, { 800, 4600 },
    // clang-format on
};

}  // namespace

int32_t ShotPlanner::powerStep(int32_t club, int32_t frameMs)
{
    const int32_t t = frameMs < 50 ? frameMs : 50;
    const int32_t step = t * 2048;
    return club == kPutter ? step : step + step / 2;
}

int32_t ShotPlanner::maxSteps(int32_t club, int32_t frameMs)
{
    const int32_t step = powerStep(club, frameMs);
    return step <= 0 ? 1 : (kFullMeter + step - 1) / step;
}

int32_t ShotPlanner::powerAfter(int32_t club, int32_t steps, int32_t frameMs)
{
    const int64_t power = static_cast<int64_t>(powerStep(club, frameMs)) * steps;
    return power > kFullMeter ? kFullMeter : static_cast<int32_t>(power);
}

void ShotPlanner::windVector(Fixed strength, int32_t direction, Fixed& x, Fixed& z)
{
    const Fixed w = fmul(strength, kWindScale);
    x = fmul(w, fsin(direction));
    z = wrapSub(0, fmul(w, fcos(direction)));
}

int32_t ShotPlanner::headingTo(Fixed x, Fixed z, Fixed toX, Fixed toZ)
{
    return V::atan2(wrapSub(toX, x), wrapSub(z, toZ)) & (kFullTurn - 1);
}

int32_t ShotPlanner::reachableHeading(int32_t from, int32_t wanted)
{
    // The turn the shortest way round, in whole key presses.
    int32_t turn = (wanted - from) & (kFullTurn - 1);
    if (turn >= kHalfTurn) {
        turn -= kFullTurn;
    }
    const int32_t presses = turn >= 0 ? (turn + kAimStep / 2) / kAimStep : -((-turn + kAimStep / 2) / kAimStep);
    return from + presses * kAimStep;
}

int32_t ShotPlanner::strokesFrom(Fixed d)
{
    // Thousandths of a yard, so that the cost falls smoothly as the ball nears the cup.
    const int64_t milli = static_cast<int64_t>(d < 0 ? 0 : d) * 1000 / kOne;
    const int32_t n = static_cast<int32_t>(sizeof(kCostTable) / sizeof(kCostTable[0]));
    for (int32_t i = 1; i < n; ++i) {
        const int64_t hi = static_cast<int64_t>(kCostTable[i].yards) * 1000;
        if (milli <= hi) {
            const int64_t lo = static_cast<int64_t>(kCostTable[i - 1].yards) * 1000;
            const int64_t span = kCostTable[i].cost - kCostTable[i - 1].cost;
            return kCostTable[i - 1].cost + static_cast<int32_t>(span * (milli - lo) / (hi - lo));
        }
    }
    return kCostTable[n - 1].cost;
}

ShotPlanner::ShotPlanner(const Ref<VpolyTerrain>& terrain)
    : m_terrain(terrain), m_ball(make<Vphob>()), m_fresh(make<Vphob>()), m_offset(make<Vector>())
{
    m_ball->setTerrain(terrain);
}

ShotOutcome ShotPlanner::simulate(const ShotStart& start, int32_t club, int32_t power, int32_t heading)
{
    ++m_simulations;
    Vphob& ball = *m_ball;
    // Every try starts from the game ball's state (or a ball never touched):
    // nothing of one try may carry into the next.
    ball.copyStateFrom(start.ball ? *start.ball : *m_fresh);
    ball.setTerrain(m_terrain);
    ball.wind()->set(start.windX, 0, start.windZ);

    // The strike, as the game makes it.
    const Launch launch = launchFor(club, carryTarget(club, power));
    ball.setPosition(start.x, start.y, start.z);
    ball.setVelocity(fmul(launch.horizontal, fsin(heading)), launch.vertical,
        wrapSub(0, fmul(launch.horizontal, fcos(heading))));

    auto stepMs = [](int32_t ms) { return ms <= 0 || ms > kLongestFrame ? kLongestFrame : ms; };
    const int32_t first = stepMs(start.firstFrameMs);
    const int32_t t = stepMs(start.frameMs);
    Fixed lastX = start.x;
    Fixed lastZ = start.z;
    Fixed lastPinDistance = start.lastPinDistance;
    int32_t restFrames = 0;
    ShotOutcome out;
    for (int32_t frame = 1; frame <= kMaxFrames; ++frame) {
        ball.step((frame == 1 ? first : t) * 32);
        const Vector& p = *ball.getPosition();
        out.x = p.x();
        out.y = p.y();
        out.z = p.z();
        out.frames = frame;
        if (((out.x | out.z) & static_cast<int32_t>(0xFF000000)) != 0) {
            out.end = ShotEnd::Out;
            return out;
        }
        m_offset->set(wrapSub(start.pinX, out.x), wrapSub(start.pinY, out.y), wrapSub(start.pinZ, out.z));
        const Fixed d = m_offset->fastLength();
        const bool nearCup = d < kNearCup
                             && (d < kInCup
                                 || segmentDistanceSq(start.pinX, start.pinZ, lastX, lastZ, out.x, out.z) < kInCup);
        lastX = out.x;
        lastZ = out.z;
        if (nearCup && ball.velocity()->fastLength() < kDropSpeed) {
            out.end = ShotEnd::Holed;
            return out;
        }
        bool stopped = false;
        if (fabs(wrapSub(d, lastPinDistance)) < kStill) {
            stopped = ++restFrames >= kStillSteps;
        } else {
            restFrames = 0;
            lastPinDistance = d;
        }
        const Vector& v = *ball.velocity();
        if ((ball.onGround() && v.x() == 0 && v.y() == 0 && v.z() == 0) || stopped) {
            if (m_terrain->surfaceAt(out.x, out.z) == kSurfaceWater) {
                out.end = ShotEnd::Water;
                return out;
            }
            if (stopped) {
                out.end = ShotEnd::Rest;
                return out;
            }
        }
    }
    out.end = ShotEnd::Rest;
    return out;
}

int32_t ShotPlanner::costOf(const ShotStart& start, const ShotOutcome& outcome) const
{
    switch (outcome.end) {
    case ShotEnd::Holed: return 0;
    case ShotEnd::Water:
    case ShotEnd::Out:
        return kPenaltyCost + strokesFrom(fhypot(wrapSub(start.pinX, start.x), wrapSub(start.pinZ, start.z)));
    case ShotEnd::Rest: break;
    }
    return strokesFrom(fhypot(wrapSub(start.pinX, outcome.x), wrapSub(start.pinZ, outcome.z)));
}

int32_t ShotPlanner::tryShot(const ShotStart& start, int32_t club, int32_t steps, int32_t heading, ShotChoice& best)
{
    const int32_t power = powerAfter(club, steps, start.frameMs);
    const ShotOutcome outcome = simulate(start, club, power, heading);
    const int32_t cost = costOf(start, outcome);
    if (cost < best.cost) {
        best.club = club;
        best.power = power;
        best.heading = heading;
        best.outcome = outcome;
        best.cost = cost;
    }
    return cost;
}

void ShotPlanner::tunePower(const ShotStart& start, int32_t club, int32_t heading, Fixed distance, ShotChoice& best)
{
    // How far along the aim line a shot of n steps comes to an end: it grows
    // with the power, so halving the range of steps finds the one that ends at
    // the wanted distance.
    const Fixed dx = fsin(heading);
    const Fixed dz = wrapSub(0, fcos(heading));
    auto along = [&](int32_t steps) {
        const int32_t power = powerAfter(club, steps, start.frameMs);
        const ShotOutcome o = simulate(start, club, power, heading);
        const int32_t cost = costOf(start, o);
        if (cost < best.cost) {
            best = ShotChoice { club, power, heading, o, cost };
        }
        return wrapAdd(fmul(wrapSub(o.x, start.x), dx), fmul(wrapSub(o.z, start.z), dz));
    };
    int32_t lo = 1;
    int32_t hi = maxSteps(club, start.frameMs);
    if (along(hi) <= distance) {
        return;
    }
    if (along(lo) >= distance) {
        return;
    }
    while (hi - lo > 1 && best.cost > 0) {
        const int32_t mid = (lo + hi) / 2;
        if (along(mid) < distance) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
}

void ShotPlanner::polish(const ShotStart& start, ShotChoice& best)
{
    // Turn by one key press at a time, then change the power by a few steps,
    // as long as either helps (the wind and the slopes bend every shot a little).
    for (int32_t round = 0; round < 6 && best.cost > 0; ++round) {
        const ShotChoice before = best;
        const int32_t steps = (best.power + powerStep(best.club, start.frameMs) - 1)
                              / powerStep(best.club, start.frameMs);
        for (int32_t turn : { -kAimStep, kAimStep, -2 * kAimStep, 2 * kAimStep }) {
            tryShot(start, best.club, steps, before.heading + turn, best);
        }
        const int32_t top = maxSteps(best.club, start.frameMs);
        for (int32_t change : { -1, 1, -3, 3 }) {
            const int32_t n = steps + change;
            if (n >= 1 && n <= top) {
                tryShot(start, best.club, n, best.heading, best);
            }
        }
        if (best.cost >= before.cost) {
            break;
        }
    }
}

ShotChoice ShotPlanner::plan(const ShotStart& start)
{
    ShotChoice best;
    const Fixed d = fhypot(wrapSub(start.pinX, start.x), wrapSub(start.pinZ, start.z));
    const int32_t toPin = reachableHeading(start.heading, headingTo(start.x, start.z, start.pinX, start.pinZ));

    // Straight at the pin with every club that can get there sensibly: the
    // putter and the wedge close in, the full clubs round the nominal distance.
    if (d < toFixed(45)) {
        tunePower(start, kPutter, toPin, d, best);
    }
    if (d < toFixed(100)) {
        tunePower(start, kPitchingWedge, toPin, d, best);
    }
    if (d >= toFixed(40)) {
        const int32_t nominal = clubForDistance(d, 0);
        for (int32_t club = nominal - 1; club <= nominal + 2; ++club) {
            if (club >= kDriver && club <= kNineIron) {
                tunePower(start, club, toPin, d, best);
            }
        }
    }

    // Far from the pin, or with trouble on the straight line: fan out with
    // full shots of the long clubs and keep the one that ends nearest.
    const int32_t straightCost = best.cost;
    if (d > toFixed(200) || straightCost >= kPenaltyCost) {
        const int32_t shortClub = d > toFixed(260) ? kThreeWood : clubForDistance(d, 0);
        for (int32_t club : { int32_t { kDriver }, shortClub, int32_t { 4 }, int32_t { 7 } }) {
            for (int32_t k = -7; k <= 7; ++k) {
                tryShot(start, club, maxSteps(club, start.frameMs), toPin + k * 4 * kAimStep, best);
            }
        }
        if (best.cost < straightCost) {
            // Aim the best of the fan at a point short of the pin along its line.
            const Fixed reach = fhypot(wrapSub(best.outcome.x, start.x), wrapSub(best.outcome.z, start.z));
            tunePower(start, best.club, best.heading, reach, best);
        }
    }
    polish(start, best);
    return best;
}

ShotChoice ShotPlanner::refine(const ShotStart& start, const ShotChoice& choice)
{
    ShotChoice best = choice;
    best.cost = 0x7FFFFFFF;
    const int32_t step = powerStep(choice.club, start.frameMs);
    tryShot(start, choice.club, (choice.power + step - 1) / step, choice.heading, best);
    if (best.cost > choice.cost) {
        polish(start, best);
    }
    return best;
}

}  // namespace tarnby
