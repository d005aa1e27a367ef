// A picture library: the numbered pictures of one bundle ("golf" for the game),
// read from the segment files "golf0.bin", "golf1.bin", ... as one stream, or
// from the bundle's bytes in memory. Encoded data is kept in memory; pixels
// are decoded on first use and may be dropped again (evict) and rebuilt.
//
// Bundle layout (every integer a packed number, see runtime/byte_reader.h;
// the bytes of one number always lie in one segment):
//   count             number of pictures
//   jpegBufferSize    623 + the largest JPEG body (informational: the reader
//                     sizes its buffer from the bodies it actually read)
//   count records:
//     type            low 8 bits kept: 'j', 'r', anything else = transparent
//     width, height   signed 16-bit
//     anchorX, anchorY  signed 16-bit hot spot
//     size            data bytes ('j': the JPEG body, plus 623 in the first 'j'
//                     record, which carries the shared JPEG header)
//     maskLength      'j' only: alpha-mask bytes after the body
//     header          first 'j' record only: 623 bytes shared by every JPEG
//     data            'r': size bytes of run code; 'j': body, then the mask
//   nothing after the last record
//
// Budget: a bundle of at most kMaxBundleBytes (32 MB) is read whole, once; a
// larger one is refused. Loading is linear in its size and holds at most twice
// its size (the bytes read and the records kept), every count and size being
// checked against the bytes really left before anything is allocated. At most
// kMaxPictures pictures; one picture decodes to at most kMaxPicturePixels
// (16 MB of pixels), in time linear in its pixels and data; a JPEG decode may
// take at most 64 MB inside the decoder and 200 scans (image/jpeg_decoder.h).
#pragma once

#include <cstdint>
#include <string>

#include "image/vpicture.h"
#include "runtime/array.h"
#include "runtime/string.h"
#include "runtime/v.h"

namespace tarnby {

class Vilib : public V {
public:
    // Most pictures a bundle may hold, and the largest picture (in pixels) the
    // library agrees to decode; anything beyond is treated as damaged data.
    static constexpr int32_t kMaxPictures = 1 << 16;
    static constexpr int32_t kMaxPicturePixels = 1 << 22;
    // The largest bundle read, all segments together.
    static constexpr int32_t kMaxBundleBytes = 32 << 20;

    // Reads the bundle `name` from the data folder.
    explicit Vilib(const Ref<String>& name);
    // Reads a bundle from its bytes in memory (all segments, in order);
    // `name` only names it in messages.
    Vilib(const Ref<String>& name, const ByteArray& bytes);
    ~Vilib() override;

    int32_t count() const { return m_count; }
    // True when every record of the bundle was read and every picture kept; a
    // missing, truncated or damaged bundle keeps only the pictures before the
    // damage, and a picture of an impossible size is dropped (one line says
    // what is wrong, whatever the damage).
    bool intact() const { return m_intact; }

    void releasePicture(int32_t index);
    void releaseRange(int32_t first, int32_t last);
    // Draws picture `index` (arguments as Vpicture::draw); gives the number of
    // pixels hidden by nearer depth. An index outside the library or a dropped
    // entry draws nothing. An undecoded 'r' picture drawn at scale and opacity
    // ONE into a clip of exactly its size at its own place is decoded straight
    // into the frame (depth byte 0) without building its pixel cache.
    int32_t drawPicture(int32_t index, uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top,
        int32_t right, int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity);
    // Frees decoded pixels, least recently used first (a clock sweep with a
    // second chance), until at least bytesNeeded bytes were freed; false when
    // two full turns of the clock could not free enough.
    bool evict(int32_t bytesNeeded);
    // The entry as stored (null when out of range or dropped), without decoding.
    Ref<Vpicture> getPictureRef(int32_t index) const;
    // The entry with its pixels decoded; null when out of range or dropped.
    Ref<Vpicture> getPicture(int32_t index);

    // The segment files PREFIX0.bin, PREFIX1.bin, ... up to the first missing
    // number, one after the other (tools name a bundle by its path); false,
    // with one line naming the bundle `name`, when segment 0 is missing or the
    // whole is larger than kMaxBundleBytes.
    static bool readSegmentFiles(const std::string& prefix, const Ref<String>& name, ByteArray& bytes);

    int32_t clockHand() const { return m_clockHand; }
    // Where the next eviction sweep starts (a sprite that lets its picture go
    // points the hand at it).
    void setClockHand(int32_t hand) { m_clockHand = hand; }

private:
    // The segments of bundle `name` one after the other; false (with one
    // line said) when segment 0 is missing or the whole is too large.
    static bool readSegments(const Ref<String>& name, ByteArray& bytes);
    void load(const Ref<String>& name, const ByteArray& bytes);

    Ref<String> m_name;
    int32_t m_clockHand = 0;
    ByteArray m_jpegBuffer;
    int32_t m_count = 0;
    RefArray<Vpicture> m_pictures;
    bool m_intact = false;
};

}  // namespace tarnby
