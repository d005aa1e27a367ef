// Decoding sound files into 16-bit samples.
#include "platform/sdl/wav_sound.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace tarnby {

namespace {

void complain(const std::string& name, const char* what)
{
    std::printf("sound %s: %s\n", name.c_str(), what);
    std::fflush(stdout);
}

}  // namespace

WavSound WavSound::decode(const uint8_t* bytes, size_t size, const std::string& name)
{
    WavSound sound;
    if (bytes == nullptr || size < kHeaderBytes) {
        complain(name, "too short for a sound file, played as silence");
        return sound;
    }
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        complain(name, "not a RIFF WAVE file, played as silence");
        return sound;
    }
    size_t dataBytes = static_cast<size_t>(bytes[40]) | static_cast<size_t>(bytes[41]) << 8
                       | static_cast<size_t>(bytes[42]) << 16 | static_cast<size_t>(bytes[43]) << 24;
    const int bits = bytes[34];
    const size_t present = size - kHeaderBytes;
    if (dataBytes > present) {
        complain(name, "holds less sample data than its header says, playing what is there");
        dataBytes = present;
    }
    if (dataBytes > kMaxDataBytes) {
        complain(name, "too long, playing its beginning");
        dataBytes = kMaxDataBytes;
    }
    const uint8_t* data = bytes + kHeaderBytes;
    if (bits == 8) {
        // Unsigned bytes centred on 128 become signed 16-bit samples.
        sound.m_samples.resize(dataBytes);
        for (size_t i = 0; i < dataBytes; ++i) {
            sound.m_samples[i] = static_cast<int16_t>((static_cast<int32_t>(data[i]) - 128) * 256);
        }
        sound.m_length = static_cast<int32_t>(dataBytes * 2);
    } else {
        // Room for a whole last sample, so that mixing by whole samples never
        // reads past the data.
        sound.m_samples.assign((dataBytes + 1) / 2, 0);
        std::memcpy(sound.m_samples.data(), data, dataBytes);
        sound.m_length = static_cast<int32_t>(dataBytes);
    }
    return sound;
}

WavSound WavSound::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        complain(path, "cannot be opened, played as silence");
        return WavSound {};
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    const size_t wanted = size > 0 ? static_cast<size_t>(size) : 0;
    std::vector<uint8_t> bytes(wanted < kHeaderBytes + kMaxDataBytes ? wanted : kHeaderBytes + kMaxDataBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return decode(bytes.data(), bytes.size(), path);
}

}  // namespace tarnby
