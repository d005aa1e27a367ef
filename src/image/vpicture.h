// One picture of a picture bundle: its encoded data, its decoded pixels (a
// cache that may be dropped and rebuilt) and its size and hot spot.
//
// Picture pixel word: bits 29..31 are an alpha code (7 opaque, 1..6 partly
// transparent, 0 transparent); an opaque or partial word holds 0xRRGGBB in its
// low 24 bits, a transparent word holds how many more transparent pixels follow.
//
// Encodings (type):
//   'r'  run-length colour codes, byte by byte:
//          0..127    colour: with the next byte n, v = b * 256 + n is 5:5:5 red,
//                    green, blue; the colour also enters the recent-colour cache
//          128..133  alpha code 1..6 ((b + 1) & 7) for the next pixel only
//          134 n     skip (n >> 3) + 16 pixels; n & 7, unless 7, is the alpha
//                    code of the next pixel
//          135..149  skip b - 134 pixels
//          150..255  the colour in cache entry b - 150 (106 entries, filled in
//                    turn by the colour codes, all black at the start)
//   'j'  a JPEG body (the shared bundle header supplies the start of the
//        stream) followed by an alpha mask: each byte is a run of b >> 3 pixels
//        (32 when that is 0) with alpha code b & 7; code 0 makes the run
//        transparent. Without mask bytes the picture is opaque.
//   anything else: a picture that is transparent everywhere.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "runtime/array.h"
#include "runtime/v.h"

namespace tarnby {

class Vpicture : public V {
public:
    static constexpr uint8_t kTypeJpeg = 'j';
    static constexpr uint8_t kTypeRun = 'r';
    // Bytes of the JPEG stream start that all 'j' pictures of a bundle share.
    static constexpr int32_t kJpegHeaderLength = 623;
    // Offsets in that start of the frame header's height and width fields.
    static constexpr int32_t kJpegHeightOffset = 163;
    static constexpr int32_t kJpegWidthOffset = 165;
    // Entries of the recent-colour cache of 'r' pictures.
    static constexpr int32_t kColourCacheSize = 106;

    // Gives the data and the pixels back to the memory budget.
    ~Vpicture() override;

    // Draws the picture into a frame of 0xDDRRGGBB words (`stride` words a row)
    // inside the clip [left, right) x [top, bottom), its top-left corner at
    // (placeX, placeY) in Fixed pixels, magnified by `scale`, with depth 0..255
    // and `opacity`. Gives the number of pixels hidden by nearer depth.
    int32_t draw(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top, int32_t right,
        int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity);
    // The picture flattened to a sheared shadow on the ground.
    void drawShadow(uint32_t* frame, int32_t stride, int32_t frameHeight, int32_t left, int32_t top, int32_t right,
        int32_t bottom, Fixed placeX, Fixed placeY, Fixed scale, int32_t depth, Fixed opacity);

    // Width x height, or 0 for a picture with a negative side.
    int32_t pixelCount() const;
    bool decoded() const { return !m_pixels.empty(); }

    // Creates and fills the pixel cache. `jpegBuffer` is the library's buffer
    // that starts with the shared JPEG header (only 'j' pictures use it).
    // `label` names the picture in the one line a damaged picture prints
    // ("Picture 12 of bundle golf"); null prints nothing.
    void decode(const ByteArray& jpegBuffer, const char* label = "Picture");
    // True when the last decode met damaged data (the pixels are then transparent).
    bool damaged() const { return m_damaged; }
    // Drops the pixel cache; gives the number of bytes freed.
    int32_t dropPixels();

    // 'r' code into `pixels` (pixelCount() words, zeroed by the caller).
    void decodeRun(const IntArray& pixels) const;
    // 'r' code straight into a frame, the picture's top-left at frame[offset]:
    // opaque pixels become bare colours (depth byte 0), partial ones are blended
    // with what is there, transparent ones are left alone.
    void decodeRunInto(uint32_t* frame, int32_t stride, int32_t offset) const;
    // 'j' body behind the shared header in `jpegBuffer`, then the alpha mask.
    // A damaged picture decodes as transparent everywhere and gives false
    // with one line that starts with `label` (none when it is null).
    bool decodeJpegPicture(const ByteArray& jpegBuffer, const IntArray& pixels, const char* label = "Picture") const;
    // The alpha mask (data bytes from jpegLength on) applied to decoded pixels.
    void applyMask(const IntArray& pixels) const;

    int32_t m_jpegLength = 0;
    ByteArray m_data;
    IntArray m_pixels;
    uint8_t m_type = 0;
    bool m_recentlyUsed = false;
    bool m_damaged = false;
    int16_t m_width = 0;
    int16_t m_height = 0;
    int16_t m_anchorX = 0;
    int16_t m_anchorY = 0;
};

}  // namespace tarnby
