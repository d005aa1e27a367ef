// Three-component world vector (x east-west, y up, z north-south) of Fixed
// values: positions, velocities, forces and surface normals.
#pragma once

#include "fixed/fixed.h"
#include "runtime/object.h"
#include "runtime/v.h"

namespace tarnby {

class Vector : public V {
public:
    Vector() = default;
    Vector(Fixed x, Fixed y, Fixed z) : m_x(x), m_y(y), m_z(z) {}

    Fixed x() const { return m_x; }
    Fixed y() const { return m_y; }
    Fixed z() const { return m_z; }
    void set(Fixed x, Fixed y, Fixed z)
    {
        m_x = x;
        m_y = y;
        m_z = z;
    }

    void add(Fixed dx, Fixed dy, Fixed dz);
    void add(const Vector& v);
    void sub(const Vector& v);
    void set(const Vector& v);
    // this = a x b (either may be this vector itself).
    void cross(const Vector& a, const Vector& b);
    Fixed dot(const Vector& v) const;
    Fixed length() const;
    // Cheap estimate without a square root: the larger of |x| and |y| plus
    // 11/32 of the next and a quarter of the last. Exact along x or y alone,
    // about a third of the length along z alone; drag and pin distances use it.
    Fixed fastLength() const;
    void addScaled(const Vector& v, Fixed s);
    void scale(Fixed s);
    void negate();
    // Makes the length ONE; vectors shorter than two units become zero.
    void normalize();

    Fixed m_x = 0;
    Fixed m_y = 0;
    Fixed m_z = 0;
};

}  // namespace tarnby
