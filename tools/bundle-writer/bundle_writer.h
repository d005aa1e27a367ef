// Builds picture bundles: pictures are added one by one ('r' run-length or
// 'j' JPEG from 8-bit RGBA images), then the bundle is written as segment
// files PREFIX0.bin, PREFIX1.bin, ... of a chosen size.
//
//   // from a drawing surface of premultiplied 32-bit words (e.g. Cairo ARGB32):
//   std::vector<uint8_t> rgba = tarnby::bundle::rgbaFromPremultipliedArgb(data, 32, 90, stride);
//   tarnby::bundle::BundleWriter writer;
//   writer.addRun(rgba.data(), 32, 90, 16, 88);   // a figure, hot spot at its feet
//   writer.addJpeg(texture, 4, 64, 64, 0, 0, 85);  // a texture with transparent corners
//   if (!writer.writeSegments(binDir, "golf", 16384)) puts(writer.error().c_str());
//
// Every JPEG of a bundle shares one 623-byte stream header, so all 'j'
// pictures must use the same quality (the writer checks each picture's header
// against the first one and refuses a picture that differs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bundle-writer/picture_encoder.h"

namespace tarnby::bundle {

class BundleWriter {
public:
    // Adds an 'r' picture from RGBA bytes (4 a pixel, rows packed). Colours
    // keep 5 bits a component, alpha one of 8 levels. Gives the picture's
    // index, or -1 (see error()).
    int32_t addRun(const uint8_t* rgba, int32_t width, int32_t height, int32_t anchorX, int32_t anchorY);
    // Adds a 'j' picture from RGB (channels 3) or RGBA (channels 4) bytes;
    // alpha becomes the run-length mask. Gives the index, or -1.
    int32_t addJpeg(const uint8_t* pixels, int32_t channels, int32_t width, int32_t height, int32_t anchorX,
        int32_t anchorY, int32_t quality);
    // Adds a record of any type with ready-made data (for 'r' pictures encoded
    // elsewhere, and for tests of unusual records). Not for 'j'.
    int32_t addRecord(uint8_t type, int32_t width, int32_t height, int32_t anchorX, int32_t anchorY,
        const std::vector<uint8_t>& data);

    int32_t count() const { return static_cast<int32_t>(m_records.size()); }
    const std::string& error() const { return m_error; }

    // The whole bundle as one byte string.
    std::vector<uint8_t> bytes() const;
    // Whether a segment may end just before byte `offset` of bytes(): never
    // inside a multi-byte integer.
    bool canCutAt(size_t offset) const;
    // The bundle cut into segments of at most `segmentSize` bytes (at least 8),
    // each ending at the last allowed cut.
    std::vector<std::vector<uint8_t>> segments(int32_t segmentSize) const;
    // Writes segments to folder/PREFIXk.bin and removes stale higher-numbered
    // segments of an earlier, longer bundle. False (see error()) on failure.
    bool writeSegments(const std::string& folder, const std::string& prefix, int32_t segmentSize);

private:
    struct Record {
        uint8_t type;
        int32_t width, height, anchorX, anchorY;
        std::vector<uint8_t> body;  // 'j': the JPEG after the shared header; else the data
        std::vector<uint8_t> mask;  // 'j' only
    };

    bool checkSize(int32_t width, int32_t height, int32_t anchorX, int32_t anchorY);
    void build(std::vector<uint8_t>& out, std::vector<uint8_t>* cuts) const;
    int32_t fail(const std::string& message);

    std::vector<Record> m_records;
    std::vector<uint8_t> m_jpegHeader;  // the shared 623 bytes, from the first 'j' picture
    std::string m_error;
};

}  // namespace tarnby::bundle
