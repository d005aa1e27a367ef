// Picture library (placeholder until the bundle reader lands: an empty library).
#include "image/vilib.h"

namespace tarnby {

int32_t Vpicture::draw(uint32_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, Fixed, Fixed, Fixed, int32_t,
                       Fixed)
{
    return 0;
}

void Vpicture::drawShadow(uint32_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, Fixed, Fixed, Fixed,
                          int32_t, Fixed)
{
}

Vilib::Vilib(const Ref<String>& name) { load(name); }

void Vilib::load(const Ref<String>&)
{
    m_nextSegment = 0;
    m_clockHand = 0;
}

void Vilib::releasePicture(int32_t index)
{
    if (index >= 0 && index < m_pictures.length()) {
        m_pictures[index] = nullptr;
    }
}

void Vilib::releaseRange(int32_t first, int32_t last)
{
    for (int32_t i = first; i <= last; i += 2) {
        releasePicture(i);
    }
}

int32_t Vilib::drawPicture(int32_t, uint32_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, Fixed, Fixed,
                           Fixed, int32_t, Fixed)
{
    return 0;
}

bool Vilib::evict(int32_t) { return false; }

Ref<Vpicture> Vilib::getPictureRef(int32_t index) const
{
    return index >= 0 && index < m_pictures.length() ? m_pictures[index] : nullptr;
}

Ref<Vpicture> Vilib::getPicture(int32_t index) { return getPictureRef(index); }

}  // namespace tarnby
