// The ball's physics: semi-implicit Euler sub-steps with drag, wind, ground
// contact, bounce and friction against the polygon terrain.
#include "terrain/vphob.h"

#include "vector/vpolyterrain.h"

namespace tarnby {

Fixed gravity = 0;

Vphob::Vphob()
    : m_acceleration(make<Vector>()), m_normal(make<Vector>()), m_tangent(make<Vector>()), m_force(make<Vector>()),
      m_position(make<Vector>()), m_scratchA(make<Vector>()), m_scratchB(make<Vector>()), m_velocity(make<Vector>()),
      m_wind(make<Vector>())
{
}

Vphob::~Vphob() = default;

void Vphob::setTerrain(const Ref<VpolyTerrain>& terrain) { m_terrain = terrain; }

void Vphob::copyStateFrom(const Vphob& other)
{
    m_acceleration->set(*other.m_acceleration);
    m_bounce = other.m_bounce;
    m_normal->set(*other.m_normal);
    m_tangent->set(*other.m_tangent);
    m_drag = other.m_drag;
    m_force->set(*other.m_force);
    m_friction = other.m_friction;
    m_terrain = other.m_terrain;
    m_onGround = other.m_onGround;
    m_heightAboveGround = other.m_heightAboveGround;
    m_position->set(*other.m_position);
    m_scratchA->set(*other.m_scratchA);
    m_scratchB->set(*other.m_scratchB);
    m_velocity->set(*other.m_velocity);
    m_wind->set(*other.m_wind);
}

void Vphob::setPosition(Fixed x, Fixed y, Fixed z) { m_position->set(x, y, z); }

void Vphob::setVelocity(Fixed x, Fixed y, Fixed z) { m_velocity->set(x, y, z); }

void Vphob::step(Fixed dt)
{
    Vector& velocity = *m_velocity;
    while (dt != 0) {
        // A negative dt is not split: it runs as one sub-step of its own length.
        Fixed h = dt < kLongestSubStep ? dt : kLongestSubStep;
        dt = wrapSub(dt, h);
        computeAcceleration();
        velocity.addScaled(*m_acceleration, h);
        // The new velocity moves the ball (semi-implicit Euler keeps the
        // bounces and the rolling stable at these step lengths).
        m_position->addScaled(velocity, h);
        m_onGround = static_cast<uint8_t>(checkGround());
        if (!m_onGround) {
            continue;
        }
        if (m_friction == kOne && m_bounce == 0) {
            // Water: the ball stops dead where it lands.
            velocity.set(0, 0, 0);
            continue;
        }
        Fixed d = velocity.dot(*m_normal);
        if (d >= 0) {
            continue;  // already leaving the ground
        }
        // The normal impulse u takes away (1 + bounce) times the speed into the ground.
        Fixed u = wrapSub(0, fmul(wrapAdd(m_bounce, kOne), d));
        m_scratchA->set(*m_normal);
        m_scratchA->scale(u);
        velocity.add(*m_scratchA);
        Fixed t = velocity.dot(*m_tangent);
        if (t == 0) {
            continue;
        }
        // Fast along the ground, friction takes its share of the sliding
        // speed; slower, its share of the landing impulse.
        Fixed p = t < wrapAdd(gravity, gravity >> 3) ? wrapSub(0, t) : u;
        m_scratchB->set(*m_tangent);
        m_scratchB->scale(fmul(m_friction, p));
        velocity.add(*m_scratchB);
    }
}

void Vphob::computeAcceleration()
{
    Vector& force = *m_force;
    if (m_drag != 0) {
        force.set(*m_velocity);
        if (m_heightAboveGround > kOne) {
            // Drag acts on the speed through the air; near the ground the
            // grass shelters the ball and the wind has no effect.
            force.sub(*m_wind);
        }
        force.negate();
        // The whole yards of the estimated speed, squared: no square root per sub-step.
        int32_t s = m_velocity->fastLength() >> 15;
        uint32_t factor = static_cast<uint32_t>(m_drag) * static_cast<uint32_t>(s) * static_cast<uint32_t>(s);
        force.scale(static_cast<Fixed>(factor));
        force.add(0, gravity, 0);
    } else {
        force.set(0, gravity, 0);
    }
    if (m_onGround) {
        // The ground pushes back along its normal as hard as the force presses
        // into it, and friction pulls against the motion in proportion.
        Vector& reaction = *m_scratchA;
        reaction.set(force);
        reaction.negate();
        Fixed d = reaction.dot(*m_normal);
        reaction.set(*m_normal);
        reaction.scale(d);
        Fixed f = fmul(m_friction, reaction.length());
        reaction.addScaled(*m_tangent, f);
        force.add(reaction);
    }
    m_acceleration->set(force);
}

int32_t Vphob::checkGround()
{
    Vector& position = *m_position;
    Fixed x = position.m_x;
    Fixed z = position.m_z;
    if (!m_terrain) {
        // No ground to land on: the ball stays in the air.
        m_heightAboveGround = position.m_y;
        return 0;
    }
    VpolyTerrain& ground = *m_terrain;
    Fixed g = ground.heightAt(x, z);
    m_heightAboveGround = wrapSub(position.m_y, g);
    if (m_heightAboveGround >= 0) {
        return 0;
    }
    m_heightAboveGround = 0;
    position.m_y = g;

    int32_t fill = ground.fillAt(x, z);
    m_friction = ground.friction(fill);
    m_bounce = ground.bounce(fill);

    // The slope from the heights one yard east and one yard north.
    m_scratchA->set(kOne, wrapSub(ground.heightAt(wrapAdd(x, kOne), z), g), 0);
    m_scratchB->set(0, wrapSub(ground.heightAt(x, wrapSub(z, kOne)), g), -kOne);
    m_normal->cross(*m_scratchA, *m_scratchB);
    m_normal->normalize();

    // The velocity's part along the surface, turned to point against the motion.
    Vector& tangent = *m_tangent;
    tangent.cross(*m_normal, *m_velocity);
    tangent.cross(tangent, *m_normal);
    tangent.negate();
    tangent.normalize();
    return 1;
}

}  // namespace tarnby
