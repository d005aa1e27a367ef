// The game's sounds, synthesised: a club hit, a swing's whoosh, a sour buzz
// for an overswing, the ball rattling in the cup, a splash, and a short tune.
// 8000 samples a second, mono, 16-bit, written as canonical 44-byte-header WAV
// files. Deterministic: the same program gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::sound {

struct Sound {
    std::string name;  // the game's name, the file is name + ".wav"
    std::vector<int16_t> samples;
};

constexpr int32_t kRate = 8000;

// Every sound of the game, in a fixed order.
std::vector<Sound> synthesiseAll();

// The bytes of a WAV file holding the samples at 8000 Hz mono.
std::vector<uint8_t> wavBytes(const std::vector<int16_t>& samples);

// A picture of a sound for a person to look at: its waveform above its
// spectrogram (0 to 4000 Hz, low at the bottom, louder is brighter).
bool writeSoundPicture(const Sound& sound, const std::string& path);

// Writes every sound into `folder` and, when `preview` is not empty, its
// picture there; adds the name of each sound file written to `written`. False
// (with one line saying why) when a file was not written.
bool writeSounds(const std::string& folder, const std::string& preview, std::vector<std::string>& written);

}  // namespace tarnby::sound
