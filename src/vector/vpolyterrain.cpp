// The polygon terrain: physics tables, the height field and slope shading.
#include "vector/vpolyterrain.h"

#include <cstring>

namespace tarnby {

VpolyTerrain::VpolyTerrain() = default;

void VpolyTerrain::setFillCount(int32_t n)
{
    Vpolyn::setFillCount(n);
    int32_t count = fillCount();
    m_friction = allocInt(count);
    m_bounce = allocInt(count);
}

void VpolyTerrain::setSurfacePhysics(int32_t fill, Fixed friction, Fixed bounce)
{
    if (fill >= 0 && fill < m_friction.length()) {
        m_friction[fill] = friction;
        m_bounce[fill] = bounce;
    }
}

void VpolyTerrain::makeHeightField()
{
    constexpr int32_t kCells = kMapSize * kMapSize;
    if (m_heightMap.empty()) {
        m_heightMap = allocByte(kCells);
    }
    uint8_t* map = m_heightMap.data();
    auto level = [this](int32_t fill) { return static_cast<uint8_t>(colour(fill) & 0xFF); };
    // Each map row takes both of its drawing rows' crossings as one list: the
    // second row's crossings mostly lie left of the column already reached and
    // then only change the level carried to the right.
    for (int32_t j = 0; j < kMapSize; ++j) {
        uint8_t* out = map + j * kMapSize;
        int32_t column = 0;
        uint8_t value = level(0);
        for (int32_t r = 2 * j; r <= 2 * j + 1; ++r) {
            if (r >= rows()) {
                break;
            }
            for (int32_t c = rowBegin(r), end = rowEnd(r); c < end; ++c) {
                int32_t word = crossingWord(c);
                int32_t cx = (crossingX(word) >> 5) & 255;
                if (column < cx) {
                    std::memset(out + column, value, static_cast<size_t>(cx - column));
                    column = cx;
                }
                value = level(crossingFill(word));
            }
        }
        std::memset(out + column, value, static_cast<size_t>(kMapSize - column));
    }
    ByteArray scratch = allocByte(kCells);
    smooth(map, scratch.data());
    smooth(map, scratch.data());
    deleteByte(scratch);
    m_outsideHeight = map[0] * 4096;
    if (m_cellKinds.empty()) {
        m_cellKinds = allocShort(HeightField::kKindsSize);
    }
    HeightField::findKinds(map, map[0], reinterpret_cast<uint16_t*>(m_cellKinds.data()));
}

void VpolyTerrain::smooth(uint8_t* map, uint8_t* scratch)
{
    smoothRowsTransposed(scratch, map, kMapSize, kMapSize);
    smoothRowsTransposed(map, scratch, kMapSize, kMapSize);
}

void VpolyTerrain::smoothRowsTransposed(uint8_t* dst, const uint8_t* src, int32_t width, int32_t rows)
{
    if (width < 2) {
        return;
    }
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* s = src + r * width;
        dst[r] = static_cast<uint8_t>((3 * s[0] + s[1]) >> 2);
        for (int32_t i = 1; i < width - 1; ++i) {
            dst[i * rows + r] = static_cast<uint8_t>((s[i - 1] + 2 * s[i] + s[i + 1]) >> 2);
        }
        dst[(width - 1) * rows + r] = static_cast<uint8_t>((3 * s[width - 1] + s[width - 2]) >> 2);
    }
}

uint32_t VpolyTerrain::shade(uint32_t colour, Fixed d)
{
    int32_t f = d < -0x4000 ? -0x4000 : (d > 0x4000 ? 0x4000 : d);
    uint32_t out = 0;
    for (int32_t shift = 16; shift >= 0; shift -= 8) {
        int32_t c = static_cast<int32_t>((colour >> shift) & 0xFF);
        c += (c * f) >> 15;
        c = c < 0 ? 0 : (c > 255 ? 255 : c);
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

}  // namespace tarnby
