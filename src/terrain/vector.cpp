// Vector arithmetic, bit-exact with the engine's Fixed rules.
#include "terrain/vector.h"

#include <utility>

namespace tarnby {

void Vector::add(Fixed dx, Fixed dy, Fixed dz)
{
    m_x = wrapAdd(m_x, dx);
    m_y = wrapAdd(m_y, dy);
    m_z = wrapAdd(m_z, dz);
}

void Vector::add(const Vector& v) { add(v.m_x, v.m_y, v.m_z); }

void Vector::sub(const Vector& v) { add(wrapSub(0, v.m_x), wrapSub(0, v.m_y), wrapSub(0, v.m_z)); }

void Vector::set(const Vector& v) { set(v.m_x, v.m_y, v.m_z); }

void Vector::cross(const Vector& a, const Vector& b)
{
    Fixed x = wrapSub(fmul(a.m_y, b.m_z), fmul(a.m_z, b.m_y));
    Fixed y = wrapAdd(fmul(a.m_z, b.m_x), fmul(wrapSub(0, a.m_x), b.m_z));
    Fixed z = wrapSub(fmul(a.m_x, b.m_y), fmul(a.m_y, b.m_x));
    set(x, y, z);
}

Fixed Vector::dot(const Vector& v) const
{
    return wrapAdd(wrapAdd(fmul(m_x, v.m_x), fmul(m_y, v.m_y)), fmul(m_z, v.m_z));
}

Fixed Vector::length() const
{
    // Three squares of 32-bit values can pass 2^63; the sum wraps as the hardware's would.
    uint64_t sum = static_cast<uint64_t>(static_cast<int64_t>(m_x) * m_x);
    sum += static_cast<uint64_t>(static_cast<int64_t>(m_y) * m_y);
    sum += static_cast<uint64_t>(static_cast<int64_t>(m_z) * m_z);
    return fsqrt(static_cast<int64_t>(sum) >> 15);
}

Fixed Vector::fastLength() const
{
    Fixed a = fabs(m_x);
    Fixed b = fabs(m_y);
    Fixed c = fabs(m_z);
    if (a < b) {
        std::swap(a, b);
    }
    if (b < c) {
        std::swap(b, c);
    }
    if (a < c) {  // never true after the swap above; kept for the exact ordering
        std::swap(a, c);
    }
    return wrapAdd(wrapAdd(a, static_cast<int32_t>(static_cast<uint32_t>(b) * 11u) >> 5), c >> 2);
}

void Vector::addScaled(const Vector& v, Fixed s)
{
    m_x = wrapAdd(m_x, fmul(v.m_x, s));
    m_y = wrapAdd(m_y, fmul(v.m_y, s));
    m_z = wrapAdd(m_z, fmul(v.m_z, s));
}

void Vector::scale(Fixed s)
{
    m_x = fmul(s, m_x);
    m_y = fmul(s, m_y);
    m_z = fmul(s, m_z);
}

void Vector::negate()
{
    m_x = wrapSub(0, m_x);
    m_y = wrapSub(0, m_y);
    m_z = wrapSub(0, m_z);
}

void Vector::normalize()
{
    Fixed l = length();
    if (l < 2) {
        set(0, 0, 0);
        return;
    }
    scale(static_cast<Fixed>(0x40000000LL / l));
}

}  // namespace tarnby
