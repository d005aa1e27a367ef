// The ball's physics: a point mass under gravity, air drag and wind that lands
// on the polygon terrain, loses its speed into the ground and rolls to a stop.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "runtime/object.h"
#include "runtime/v.h"
#include "terrain/vector.h"

namespace tarnby {

class VpolyTerrain;

// The downward acceleration shared by every ball, in yards per time unit
// squared (ONE time unit = 1024 ms). The game sets it when it loads a hole;
// 0 until then.
extern Fixed gravity;

// The game's gravity: about -10.98 yards per time unit squared.
constexpr Fixed kGameGravity = -359834;

// Longest physics sub-step: 512 time units, 16 ms of frame time.
constexpr Fixed kLongestSubStep = 512;

class Vphob : public V {
public:
    Vphob();
    ~Vphob() override;

    // Contact test after a move: lifts a ball that sank below the ground onto
    // it and samples the surface there. 1 on contact, 0 in the air.
    int32_t checkGround();
    // Gravity, drag, wind and (while on the ground) the ground's reaction and
    // friction, into `acceleration`.
    void computeAcceleration();
    // The live position vector itself: the game reads it after every step.
    Ref<Vector> getPosition() const { return m_position; }
    void setTerrain(const Ref<VpolyTerrain>& terrain);
    void setPosition(Fixed x, Fixed y, Fixed z);
    void setVelocity(Fixed x, Fixed y, Fixed z);
    // Advances the ball by dt time units in sub-steps of at most 512.
    void step(Fixed dt);

    const Ref<Vector>& velocity() const { return m_velocity; }
    // The game writes the wind's components directly before each shot.
    const Ref<Vector>& wind() const { return m_wind; }
    const Ref<Vector>& acceleration() const { return m_acceleration; }
    const Ref<Vector>& normal() const { return m_normal; }
    const Ref<Vector>& tangent() const { return m_tangent; }
    const Ref<VpolyTerrain>& terrain() const { return m_terrain; }
    bool onGround() const { return m_onGround != 0; }
    Fixed heightAboveGround() const { return m_heightAboveGround; }
    Fixed friction() const { return m_friction; }
    Fixed bounce() const { return m_bounce; }
    int32_t drag() const { return m_drag; }
    // 0 switches drag and wind off.
    void setDrag(int32_t drag) { m_drag = drag; }
    // Takes over another ball's whole state (place, motion, wind, drag, the
    // last contact and the surface it touched) and its terrain, so that this
    // ball flies on exactly as the other would: how a shot is tried out ahead.
    void copyStateFrom(const Vphob& other);

private:
    Ref<Vector> m_acceleration;
    Fixed m_bounce = 0;
    Ref<Vector> m_normal;
    Ref<Vector> m_tangent;
    int32_t m_drag = 1;
    Ref<Vector> m_force;
    Fixed m_friction = 0;
    Ref<VpolyTerrain> m_terrain;
    uint8_t m_onGround = 0;
    Fixed m_heightAboveGround = 0;
    Ref<Vector> m_position;
    Ref<Vector> m_scratchA;
    Ref<Vector> m_scratchB;
    Ref<Vector> m_velocity;
    Ref<Vector> m_wind;
};

}  // namespace tarnby
