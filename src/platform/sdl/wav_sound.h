// Reading a sound file: the canonical 44-byte RIFF header, then 16-bit or
// 8-bit samples, played as 8000 Hz mono whatever the header says.
//
// Header fields read (little-endian):
//   offset 0   "RIFF"
//   offset 8   "WAVE"
//   offset 34  bits per sample (low byte; 8 means unsigned bytes, anything
//              else signed 16-bit)
//   offset 40  size of the sample data in bytes (u32)
//   offset 44  the samples
//
// Budget: at most kHeaderBytes + kMaxDataBytes (8 MB of samples) are read from
// a file, whatever its length or its header claims; decoding is one pass and
// holds at most 16 MB of 16-bit samples (8-bit data doubles).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnby {

class WavSound {
public:
    // The largest amount of sample data read from one file.
    static constexpr size_t kMaxDataBytes = 8u << 20;
    static constexpr size_t kHeaderBytes = 44;

    // Decodes a whole file's bytes. A header claiming more data than there is
    // plays what is there; a file too short for its header or without the
    // RIFF/WAVE signature is silence. Either way one line names the problem.
    static WavSound decode(const uint8_t* bytes, size_t size, const std::string& name);
    // Reads and decodes a file; a missing file is silence (with one line).
    static WavSound load(const std::string& path);

    // 16-bit samples; a final odd byte of data is the low half of a last sample.
    const std::vector<int16_t>& samples() const { return m_samples; }
    // Length of the sound in bytes of 16-bit samples (8-bit data doubles).
    int32_t length() const { return m_length; }

private:
    std::vector<int16_t> m_samples;
    int32_t m_length = 0;
};

}  // namespace tarnby
