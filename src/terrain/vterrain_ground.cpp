// The landscape's ground looks: each fill's surface texture, fetched once a
// render before the bands start, and the texel pairs the near-ground blend reads.
#include "image/vpicture.h"
#include "terrain/vterrain.h"
#include "vector/vpolyterrain.h"

namespace tarnby {

namespace {

// A surface texture is 64 x 64 texels, two to a yard, so it repeats every 32
// yards; a smaller picture draws in plain colour.
constexpr int32_t kTexels = 64 * 64;

}  // namespace

void Vterrain::lookUpGround()
{
    // Pictures are fetched (and decoded if need be) here, in the calling
    // thread, so that the bands only read texels. Fills share surfaces, so
    // each surface's texture is fetched once.
    constexpr int32_t kCodes = 64;
    const uint32_t* codeTexels[kCodes] = {};
    const uint32_t* codePairs[kCodes] = {};
    bool known[kCodes] = {};
    for (TexturePairs& entry : m_pairs) {
        entry.used = false;
    }
    auto look = [&](int32_t fill) {
        GroundLook ground;
        ground.code = m_polyTerrain ? m_polyTerrain->frame(fill) : 0;
        // Those two surfaces keep their crisp texels.
        ground.blendedBelow = ground.code != 2 && ground.code != 4 ? GroundLook::kBlendedBelow
                                                                   : GroundLook::kNeverBlended;
        const int32_t code = ground.code;
        const bool cacheable = code >= 0 && code < kCodes;
        if (cacheable && known[code]) {
            ground.texels = codeTexels[code];
            ground.pairs = codePairs[code];
            return ground;
        }
        if (m_textures) {
            Ref<Vpicture> picture = m_textures->getPicture(code);
            if (picture && picture->m_pixels.length() >= kTexels) {
                ground.texels = reinterpret_cast<const uint32_t*>(picture->m_pixels.data());
                ground.pairs = pairsOf(picture->m_pixels);
            }
        }
        if (cacheable) {
            known[code] = true;
            codeTexels[code] = ground.texels;
            codePairs[code] = ground.pairs;
        }
        return ground;
    };
    for (int32_t fill = 0; fill < kFills; ++fill) {
        m_looks[fill] = look(fill);
    }
    m_looks[kFills] = look(m_outsideFill);
}

const uint32_t* Vterrain::pairsOf(const IntArray& texture)
{
    for (TexturePairs& entry : m_pairs) {
        if (entry.source.data() == texture.data() && !entry.pairs.empty()) {
            entry.used = true;
            return reinterpret_cast<const uint32_t*>(entry.pairs.data());
        }
    }
    // A texture new to the view takes the place of one this render does not
    // use (one always is free: a render has no more textures than entries).
    for (TexturePairs& entry : m_pairs) {
        if (entry.used) {
            continue;
        }
        if (entry.pairs.empty()) {
            entry.pairs = allocInt(TexturePairs::kWords);
        }
        entry.source = texture;
        entry.used = true;
        const uint32_t* texels = reinterpret_cast<const uint32_t*>(texture.data());
        uint32_t* pairs = reinterpret_cast<uint32_t*>(entry.pairs.data());
        for (int32_t v = 0; v < 64; ++v) {
            const uint32_t* row = texels + v * 64;
            const uint32_t* below = texels + ((v + 1) & 63) * 64;
            for (int32_t u = 0; u < TexturePairs::kRow; ++u) {
                pairs[(v * TexturePairs::kRow + u) * 2] = row[u & 63];
                pairs[(v * TexturePairs::kRow + u) * 2 + 1] = below[u & 63];
            }
        }
        return pairs;
    }
    return nullptr;
}

}  // namespace tarnby
