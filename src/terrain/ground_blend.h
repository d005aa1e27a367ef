// The 3-D view's ground colour kernels: the two-by-two texel blend and the
// slope shade, in a portable form and (where the target has it) an SSE2 form
// that gives the same bytes; `blend::` names the one the view draws with.
#pragma once

#include <cstdint>
#if defined(__SSE2__) && !defined(TARNBY_PORTABLE_BLEND)
#define TARNBY_SSE2_BLEND 1
#include <emmintrin.h>
#endif

#include "fixed/fixed.h"
#include "vector/vpolyterrain.h"

namespace tarnby::blend {

namespace portable {

// Red and blue of a colour in two 32-bit lanes, so that one 64-bit multiply
// weighs both: a channel times a weight below 2^15 stays below 2^23.
inline uint64_t redBlue(uint32_t c)
{
    const uint64_t rb = c & 0xFF00FFu;
    return (rb | (rb << 16)) & 0x000000FF000000FFull;
}

// Each blend is a + (((b - a) * f) >> 15) per channel, which equals
// (a * (2^15 - f) + b * f) >> 15 exactly: a * 2^15 is a whole multiple of the
// divisor. The weights are then never negative, so red and blue can share a
// multiply. The top byte of the result is 0xFF.
inline uint32_t blendTexels(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz)
{
    const uint64_t gx = static_cast<uint64_t>(0x8000 - fx);
    const uint64_t gz = static_cast<uint64_t>(0x8000 - fz);
    const uint64_t ux = static_cast<uint64_t>(fx);
    const uint64_t uz = static_cast<uint64_t>(fz);
    const uint64_t lanes = 0x000000FF000000FFull;
    uint64_t topRb = ((redBlue(t00) * gx + redBlue(t10) * ux) >> 15) & lanes;
    uint64_t bottomRb = ((redBlue(t01) * gx + redBlue(t11) * ux) >> 15) & lanes;
    uint64_t rb = ((topRb * gz + bottomRb * uz) >> 15) & lanes;
    // Green of the top row in the low lane, of the bottom row in the high one:
    // both row blends in one multiply pair.
    uint64_t left = ((t00 >> 8) & 0xFF) | (static_cast<uint64_t>((t01 >> 8) & 0xFF) << 32);
    uint64_t right = ((t10 >> 8) & 0xFF) | (static_cast<uint64_t>((t11 >> 8) & 0xFF) << 32);
    uint64_t rowsG = ((left * gx + right * ux) >> 15) & lanes;
    uint32_t g = static_cast<uint32_t>(((rowsG & 0xFF) * gz + (rowsG >> 32) * uz) >> 15);
    return 0xFF000000u | static_cast<uint32_t>(rb >> 16) | (g << 8) | static_cast<uint32_t>(rb & 0xFF);
}

// The colour shaded by the slope as the course map shades it; the top byte is
// left for the caller to replace.
inline uint32_t shadeTexel(uint32_t colour, Fixed slope)
{
    return slope != 0 ? VpolyTerrain::shade(colour, slope) : colour;
}

inline uint32_t blendShade(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz, Fixed slope)
{
    return shadeTexel(blendTexels(t00, t10, t01, t11, fx, fz), slope);
}

// blendShade of the texels at u and u + 1 (wrapping at the texture's side)
// of a texture row and of the row after it.
inline uint32_t blendShadeRows(const uint32_t* row, const uint32_t* rowNext, int32_t u, int32_t fx, int32_t fz,
    Fixed slope)
{
    const int32_t uNext = (u + 1) & 63;
    return blendShade(row[u], row[uNext], rowNext[u], rowNext[uNext], fx, fz, slope);
}

// blendShade of four texels laid out as t00, t01, t10, t11 (a texel, the one
// below it, and the same to the right).
inline uint32_t blendShadePairs(const uint32_t* pairs, int32_t fx, int32_t fz, Fixed slope)
{
    return blendShade(pairs[0], pairs[2], pairs[1], pairs[3], fx, fz, slope);
}

}  // namespace portable

#ifdef TARNBY_SSE2_BLEND

namespace sse2 {

// Ground colours are blended and shaded with all four channels side by side
// in 16-bit lanes. Every step is a + (((b - a) * f) >> 15) per channel with
// f below 2^15: doubling b - a (at most +-510) and taking the high half of its
// product with f gives exactly that floor, so these match the portable
// rules bit for bit.

// Texel a's channels in the low four 16-bit lanes, b's in the high four.
inline __m128i channelPairs(uint32_t a, uint32_t b)
{
    const __m128i bytes = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(a)),
        _mm_cvtsi32_si128(static_cast<int32_t>(b)));
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

// a + (((b - a) * f) >> 15) lane by lane, f given in every lane.
inline __m128i lerpLanes(__m128i a, __m128i b, __m128i f)
{
    const __m128i twice = _mm_slli_epi16(_mm_sub_epi16(b, a), 1);
    return _mm_add_epi16(a, _mm_mulhi_epi16(twice, f));
}

inline __m128i lerpLanes(__m128i a, __m128i b, int32_t f)
{
    return lerpLanes(a, b, _mm_set1_epi16(static_cast<int16_t>(f)));
}

// v in the low four 16-bit lanes (the first texel's channels), for steps
// whose high lanes are never packed.
inline __m128i lowLanes(int32_t v) { return _mm_shufflelo_epi16(_mm_cvtsi32_si128(v), 0); }

// Both rows blended along x in one go, then the two rows along z.
inline __m128i blendLanes(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz)
{
    const __m128i rows = lerpLanes(channelPairs(t00, t01), channelPairs(t10, t11), fx);
    return lerpLanes(rows, _mm_unpackhi_epi64(rows, rows), lowLanes(fz));
}

// Each channel scaled by 1 + d (d already within +-0.5, in the low four
// lanes): c + ((c * d) >> 15), and the pack clamps to 0..255.
inline __m128i shadeLanes(__m128i c, __m128i d) { return _mm_add_epi16(c, _mm_mulhi_epi16(_mm_slli_epi16(c, 1), d)); }

// The slope clamped to +-0.5 in the low four lanes: the pack saturates it to
// 16 bits, which keeps every value beyond the clamp beyond it.
inline __m128i slopeLanes(Fixed slope)
{
    __m128i d = _mm_cvtsi32_si128(slope);
    d = _mm_packs_epi32(d, d);
    d = _mm_max_epi16(_mm_min_epi16(d, _mm_set1_epi16(0x4000)), _mm_set1_epi16(-0x4000));
    return _mm_shufflelo_epi16(d, 0);
}

inline uint32_t packLanes(__m128i c) { return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(c, c))); }

inline uint32_t blendTexels(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz)
{
    return packLanes(blendLanes(t00, t10, t01, t11, fx, fz)) | 0xFF000000u;
}

// The blended texel, shaded when the ground slopes; the top byte is left for
// the caller to replace.
inline uint32_t blendShade(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, int32_t fx, int32_t fz, Fixed slope)
{
    __m128i c = blendLanes(t00, t10, t01, t11, fx, fz);
    if (slope != 0) {
        c = shadeLanes(c, slopeLanes(slope));
    }
    return packLanes(c);
}

// The same from the texture rows: inside a row both texels come in one load.
inline uint32_t blendShadeRows(const uint32_t* row, const uint32_t* rowNext, int32_t u, int32_t fx, int32_t fz,
    Fixed slope)
{
    __m128i top;     // t00 and t10
    __m128i bottom;  // t01 and t11
    if (u != 63) {
        top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + u));
        bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rowNext + u));
    } else {
        top = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(row[63])),
            _mm_cvtsi32_si128(static_cast<int32_t>(row[0])));
        bottom = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int32_t>(rowNext[63])),
            _mm_cvtsi32_si128(static_cast<int32_t>(rowNext[0])));
    }
    top = _mm_unpacklo_epi8(top, _mm_setzero_si128());
    bottom = _mm_unpacklo_epi8(bottom, _mm_setzero_si128());
    // Both rows blended along x in one go (t00 with t10, t01 with t11), then along z.
    const __m128i rows = lerpLanes(_mm_unpacklo_epi64(top, bottom), _mm_unpackhi_epi64(top, bottom), fx);
    __m128i c = lerpLanes(rows, _mm_unpackhi_epi64(rows, rows), lowLanes(fz));
    if (slope != 0) {
        c = shadeLanes(c, slopeLanes(slope));
    }
    return packLanes(c);
}

// The same from texel pairs (t00, t01, t10, t11): one load, and the two
// texels of each blend along x already side by side.
inline uint32_t blendShadePairs(const uint32_t* pairs, int32_t fx, int32_t fz, Fixed slope)
{
    const __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs));
    const __m128i left = _mm_unpacklo_epi8(texels, _mm_setzero_si128());   // t00 and t01
    const __m128i right = _mm_unpackhi_epi8(texels, _mm_setzero_si128());  // t10 and t11
    const __m128i rows = lerpLanes(left, right, fx);
    __m128i c = lerpLanes(rows, _mm_unpackhi_epi64(rows, rows), lowLanes(fz));
    if (slope != 0) {
        c = shadeLanes(c, slopeLanes(slope));
    }
    return packLanes(c);
}

inline uint32_t shadeTexel(uint32_t colour, Fixed slope)
{
    if (slope == 0) {
        return colour;
    }
    return packLanes(shadeLanes(channelPairs(colour, 0), slopeLanes(slope)));
}

}  // namespace sse2

using sse2::blendShade;
using sse2::blendShadePairs;
using sse2::blendShadeRows;
using sse2::blendTexels;
using sse2::shadeTexel;

#else

using portable::blendShade;
using portable::blendShadePairs;
using portable::blendShadeRows;
using portable::blendTexels;
using portable::shadeTexel;

#endif

}  // namespace tarnby::blend
