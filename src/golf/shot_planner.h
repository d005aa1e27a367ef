// The computer golfer's caddie: tries shots out ahead on a copy of the ball,
// with the game's own physics, wind and outcome rules, and picks the club, the
// power and the aim line that leave the fewest strokes to play.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "runtime/object.h"
#include "terrain/vector.h"
#include "terrain/vphob.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

// Everything the caddie sees before a shot.
struct ShotStart {
    Fixed x = 0, y = 0, z = 0;           // the ball where it lies
    Fixed pinX = 0, pinY = 0, pinZ = 0;  // the flag
    Fixed windX = 0, windZ = 0;          // the wind vector the strike will give the ball
    Fixed lastPinDistance = 0;           // the game's rest counter starts from this distance
    int32_t heading = 0;                 // the aim now; the arrow keys reach heading + 128 k
    int32_t firstFrameMs = 60;           // the first flight step follows a 96 ms swing frame (taken as 60)
    int32_t frameMs = 16;                // frame time of every later flight step
    const Vphob* ball = nullptr;         // the game's ball: its contact state carries into the shot
};

enum class ShotEnd : int32_t { Rest, Holed, Water, Out };

// Where a tried shot ended.
struct ShotOutcome {
    ShotEnd end = ShotEnd::Rest;
    Fixed x = 0, y = 0, z = 0;  // where the ball stopped, went in or left the course
    int32_t frames = 0;         // flight steps until then
};

// A chosen shot: club, raw 16.16 power, aim heading and what it is expected to do.
struct ShotChoice {
    int32_t club = 0;
    int32_t power = 0;
    int32_t heading = 0;
    ShotOutcome outcome;
    int32_t cost = 0x7FFFFFFF;  // strokes still to play afterwards, in thousandths
};

class ShotPlanner {
public:
    // The swing meter's rise per 16 ms frame: 1.5 x 32768 with a full club,
    // 32768 with the putter; and its top, 100.0 in 16.16.
    static constexpr int32_t kFullMeter = 6553600;
    static int32_t powerStep(int32_t club, int32_t frameMs = 16);
    // The largest number of meter steps before the meter is full.
    static int32_t maxSteps(int32_t club, int32_t frameMs = 16);
    // Power after n steps, the meter's top at most.
    static int32_t powerAfter(int32_t club, int32_t steps, int32_t frameMs = 16);

    // The wind vector a strike gives the ball for the game's wind strength and direction.
    static void windVector(Fixed strength, int32_t direction, Fixed& x, Fixed& z);
    // The aim heading of the line from (x, z) to (toX, toZ).
    static int32_t headingTo(Fixed x, Fixed z, Fixed toX, Fixed toZ);
    // The heading of the form `from` + 128 k nearest to `wanted`.
    static int32_t reachableHeading(int32_t from, int32_t wanted);

    // Expected strokes still to play (thousandths) from a ball at rest `d` yards from the pin.
    static int32_t strokesFrom(Fixed d);

    explicit ShotPlanner(const Ref<VpolyTerrain>& terrain);

    // Plays one shot on a copy of the ball, step by step as the game plays a
    // flight, and says how it ends.
    ShotOutcome simulate(const ShotStart& start, int32_t club, int32_t power, int32_t heading);
    // The cost (strokes still to play, thousandths) of a shot that ended so.
    int32_t costOf(const ShotStart& start, const ShotOutcome& outcome) const;
    // The best shot found from `start`.
    ShotChoice plan(const ShotStart& start);
    // Tries `choice` again as it stands (for a changed wind) and refines it
    // close by when it got worse; gives the better of the two.
    ShotChoice refine(const ShotStart& start, const ShotChoice& choice);

    // Shots tried since construction (a measure of the caddie's work).
    int64_t simulations() const { return m_simulations; }

private:
    // Simulates and keeps the result in `best` when it is better.
    int32_t tryShot(const ShotStart& start, int32_t club, int32_t steps, int32_t heading, ShotChoice& best);
    // Meter steps of `club` that bring the ball nearest to `distance` along `heading`.
    void tunePower(const ShotStart& start, int32_t club, int32_t heading, Fixed distance, ShotChoice& best);
    // Small turns and power changes round `best` while they help.
    void polish(const ShotStart& start, ShotChoice& best);

    Ref<VpolyTerrain> m_terrain;
    Ref<Vphob> m_ball;
    Ref<Vphob> m_fresh;
    Ref<Vector> m_offset;
    int64_t m_simulations = 0;
};

}  // namespace tarnby
