// A picture library: the numbered pictures of one bundle ("golf" for the game),
// read from the segment files "golf0.bin", "golf1.bin", ... as one stream.
// Encoded data is kept in memory; pixels are decoded on first use.
#pragma once

#include <cstdint>

#include "image/vpicture.h"
#include "runtime/array.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "runtime/v.h"

namespace tarnby {

class Vilib : public V {
public:
    explicit Vilib(const Ref<String>& name);

    int32_t count() const { return m_count; }

    void releasePicture(int32_t index);
    void releaseRange(int32_t first, int32_t last);
    // Draws picture `index` (arguments as Vpicture::draw); gives the number of
    // pixels hidden by nearer depth. An index outside the library draws nothing.
    int32_t drawPicture(int32_t index, uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left,
                        int32_t top, int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale,
                        int32_t depth, Fixed opacity);
    bool evict(int32_t bytesNeeded);
    // The entry as stored (null when out of range or dropped), without decoding.
    Ref<Vpicture> getPictureRef(int32_t index) const;
    // The entry with its pixels decoded; null when out of range or dropped.
    Ref<Vpicture> getPicture(int32_t index);

private:
    void load(const Ref<String>& name);

    Ref<String> m_baseName;
    int32_t m_nextSegment = 0;
    Ref<InputStream> m_stream;
    int32_t m_clockHand = 0;
    ByteArray m_jpegBuffer;
    int32_t m_count = 0;
    RefArray<Vpicture> m_pictures;
};

}  // namespace tarnby
