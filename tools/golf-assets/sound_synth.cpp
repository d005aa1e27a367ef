// Synthesising the game's sounds: envelopes on every edge (no clicks), peaks
// well under full scale (no clipping, and room for two sounds to mix), and
// nothing above 3800 Hz (no aliasing at 8000 samples a second).
#include "golf-assets/sound_synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "platform/headless/png_writer.h"
#include "runtime/files.h"

namespace tarnby::sound {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRateD = kRate;

using Wave = std::vector<double>;

// A small deterministic noise source (the same on every machine).
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t m_state;
};

// A two-pole filter (band-pass or low-pass) whose centre may move per sample.
class Filter {
public:
    enum Kind { BandPass, LowPass };
    explicit Filter(Kind kind) : m_kind(kind) {}
    double run(double in, double frequency, double q)
    {
        const double w = 2 * kPi * std::clamp(frequency, 20.0, 3800.0) / kRateD;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        double b0;
        double b1;
        double b2;
        if (m_kind == BandPass) {
            b0 = alpha;
            b1 = 0;
            b2 = -alpha;
        } else {
            b0 = (1 - c) / 2;
            b1 = 1 - c;
            b2 = (1 - c) / 2;
        }
        const double a0 = 1 + alpha;
        const double a1 = -2 * c;
        const double a2 = 1 - alpha;
        const double out = (b0 * in + b1 * m_x1 + b2 * m_x2 - a1 * m_y1 - a2 * m_y2) / a0;
        m_x2 = m_x1;
        m_x1 = in;
        m_y2 = m_y1;
        m_y1 = out;
        return out;
    }

private:
    Kind m_kind;
    double m_x1 = 0;
    double m_x2 = 0;
    double m_y1 = 0;
    double m_y2 = 0;
};

size_t samplesFor(double seconds) { return static_cast<size_t>(seconds * kRateD); }

// A smooth rise over `attack` seconds and a smooth fall over the last `release`.
void fadeEdges(Wave& wave, double attack, double release)
{
    const size_t a = std::max<size_t>(1, samplesFor(attack));
    const size_t r = std::max<size_t>(1, samplesFor(release));
    for (size_t i = 0; i < wave.size(); ++i) {
        double g = 1;
        if (i < a) {
            g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(a));
        }
        const size_t fromEnd = wave.size() - 1 - i;
        if (fromEnd < r) {
            g *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(fromEnd) / static_cast<double>(r));
        }
        wave[i] *= g;
    }
}

// Scales the wave so that its loudest sample reaches `peak` (of full scale)
// and rounds it to 16-bit samples.
std::vector<int16_t> finish(Wave wave, double peak)
{
    double mean = 0;
    for (double v : wave) {
        mean += v;
    }
    mean /= static_cast<double>(std::max<size_t>(1, wave.size()));
    double loudest = 1e-9;
    for (double& v : wave) {
        v -= mean;
        loudest = std::max(loudest, std::fabs(v));
    }
    fadeEdges(wave, 0.002, 0.004);
    std::vector<int16_t> out(wave.size());
    const double scale = peak * 32767.0 / loudest;
    for (size_t i = 0; i < wave.size(); ++i) {
        out[i] = static_cast<int16_t>(std::lround(std::clamp(wave[i] * scale, -32767.0, 32767.0)));
    }
    return out;
}

// A struck object ringing: partials (frequency, level, decay time) under a
// fast attack.
void addStrike(Wave& wave, size_t at, double level, const std::vector<std::array<double, 3>>& partials, double length)
{
    const size_t n = samplesFor(length);
    const size_t attack = samplesFor(0.0015);
    for (size_t i = 0; i < n && at + i < wave.size(); ++i) {
        const double t = static_cast<double>(i) / kRateD;
        const double rise = i < attack ? static_cast<double>(i) / static_cast<double>(attack) : 1.0;
        double v = 0;
        for (const auto& p : partials) {
            v += p[1] * std::exp(-t / p[2]) * std::sin(2 * kPi * p[0] * t);
        }
        wave[at + i] += level * rise * v;
    }
}

// A crisp club hit: a very short burst of bright noise for the contact and a
// hard, quickly dying "tock".
Wave hit()
{
    Wave wave(samplesFor(0.22), 0);
    Noise noise(7);
    Filter bright(Filter::BandPass);
    const size_t click = samplesFor(0.012);
    for (size_t i = 0; i < click; ++i) {
        const double env = std::exp(-static_cast<double>(i) / (kRateD * 0.0025));
        wave[i] += 0.9 * env * bright.run(noise.next(), 2600, 0.8);
    }
    addStrike(wave, 0, 1.0,
        { { 1180, 1.0, 0.030 }, { 1870, 0.55, 0.020 }, { 3050, 0.25, 0.010 }, { 420, 0.35, 0.050 } }, 0.22);
    return wave;
}

// A swing's whoosh: noise through a band that sweeps up and down while the
// sound swells and fades, as the club passes the ear.
Wave swing()
{
    const double length = 0.42;
    Wave wave(samplesFor(length), 0);
    Noise noise(11);
    Filter band(Filter::BandPass);
    Filter band2(Filter::BandPass);
    for (size_t i = 0; i < wave.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(wave.size());
        // The swell peaks a little after the middle, like the club's fastest moment.
        const double swell = std::pow(std::sin(kPi * std::pow(x, 0.8)), 2.0);
        const double centre = 350 + 1100 * std::sin(kPi * x);
        const double n = noise.next();
        wave[i] = swell * (band.run(n, centre, 1.6) + 0.5 * band2.run(n, centre * 1.9, 2.5));
    }
    return wave;
}

// A sour buzz: two rough tones a semitone apart, sagging in pitch, softened
// by a low-pass so that it grumbles rather than screeches.
Wave bad()
{
    const double length = 0.5;
    Wave wave(samplesFor(length), 0);
    Filter soft(Filter::LowPass);
    double phaseA = 0;
    double phaseB = 0;
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = static_cast<double>(i) / kRateD;
        const double sag = 1.0 - 0.12 * t / length;
        phaseA += 2 * kPi * 185 * sag / kRateD;
        phaseB += 2 * kPi * 196 * sag / kRateD;
        // A few odd harmonics make the buzz; all stay far below 3800 Hz.
        double v = 0;
        for (int h = 1; h <= 9; h += 2) {
            v += (std::sin(h * phaseA) + std::sin(h * phaseB)) / h;
        }
        const double env = std::min(1.0, t / 0.02) * std::exp(-t / 0.35);
        wave[i] = env * soft.run(v, 1400, 0.7);
    }
    return wave;
}

// The ball dropping into the cup: a first knock, then quicker and softer
// rattles as it settles.
Wave incup()
{
    Wave wave(samplesFor(0.62), 0);
    const std::vector<std::array<double, 3>> cup = { { 1650, 1.0, 0.018 }, { 2480, 0.6, 0.012 }, { 930, 0.5, 0.030 },
        { 3400, 0.2, 0.006 } };
    double at = 0.0;
    double gap = 0.115;
    double level = 1.0;
    for (int knock = 0; knock < 7; ++knock) {
        addStrike(wave, samplesFor(at), level, cup, 0.09);
        at += gap;
        gap *= 0.72;
        level *= 0.68;
    }
    return wave;
}

// A splash: a burst of noise whose brightness falls away, with a few rising
// bubbles at the end.
Wave water()
{
    const double length = 0.8;
    Wave wave(samplesFor(length), 0);
    Noise noise(23);
    Filter body(Filter::LowPass);
    for (size_t i = 0; i < wave.size(); ++i) {
        const double t = static_cast<double>(i) / kRateD;
        const double env = std::min(1.0, t / 0.006) * std::exp(-t / 0.16);
        const double cutoff = 3200 * std::exp(-t / 0.12) + 300;
        wave[i] = env * body.run(noise.next(), cutoff, 0.9);
    }
    // Bubbles: short sine chirps rising in pitch.
    const double bubbles[][3] = { { 0.30, 380, 0.35 }, { 0.40, 520, 0.28 }, { 0.47, 450, 0.22 }, { 0.56, 610, 0.16 } };
    for (const auto& b : bubbles) {
        const size_t start = samplesFor(b[0]);
        const size_t n = samplesFor(0.05);
        double phase = 0;
        for (size_t i = 0; i < n && start + i < wave.size(); ++i) {
            const double x = static_cast<double>(i) / static_cast<double>(n);
            phase += 2 * kPi * b[1] * (1 + 0.8 * x) / kRateD;
            wave[start + i] += b[2] * std::sin(kPi * x) * std::sin(phase);
        }
    }
    return wave;
}

double noteFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A mallet note: a sine with a softer octave and a trace of the twelfth, all
// dying away, so that the tune sounds like a little marimba.
void addNote(Wave& wave, double start, double length, int midi, double level)
{
    const double f = noteFrequency(midi);
    const size_t from = samplesFor(start);
    const size_t n = samplesFor(length);
    const size_t attack = samplesFor(0.004);
    const size_t release = samplesFor(0.03);
    for (size_t i = 0; i < n && from + i < wave.size(); ++i) {
        const double t = static_cast<double>(i) / kRateD;
        double g = std::exp(-t / 0.35);
        if (i < attack) {
            g *= static_cast<double>(i) / static_cast<double>(attack);
        }
        if (n - i < release) {
            g *= static_cast<double>(n - i) / static_cast<double>(release);
        }
        double v = std::sin(2 * kPi * f * t);
        if (2 * f < 3800) {
            v += 0.3 * std::exp(-t / 0.12) * std::sin(2 * kPi * 2 * f * t);
        }
        if (3 * f < 3800) {
            v += 0.12 * std::exp(-t / 0.05) * std::sin(2 * kPi * 3 * f * t);
        }
        wave[from + i] += level * g * v;
    }
}

// A cheerful jingle in C major, three and a half seconds: a bouncing tune over
// a walking bass, ending on a held chord.
Wave music()
{
    const double beat = 60.0 / 152.0 / 2;  // eighth notes at 152 beats a minute
    struct Note {
        double at;  // in eighths
        double length;
        int midi;
    };
    const Note tune[] = {
        { 0, 1, 72 },
        { 1, 1, 76 },
        { 2, 1, 79 },
        { 3, 1, 84 },
        { 4, 1.5, 81 },
        { 5.5, 0.5, 79 },
        { 6, 1, 76 },
        { 7, 1, 79 },
        { 8, 1, 77 },
        { 9, 1, 81 },
        { 10, 1, 79 },
        { 11, 1, 76 },
        { 12, 1, 74 },
        { 13, 1, 71 },
        { 14, 1, 74 },
        { 15, 1, 79 },
        { 16, 1, 76 },
        { 17, 0.5, 79 },
        { 17.5, 0.5, 81 },
        { 18, 1, 84 },
        { 19, 1, 83 },
        { 20, 4, 84 },
    };
    const Note bass[] = {
        { 0, 2, 48 },
        { 2, 2, 55 },
        { 4, 2, 53 },
        { 6, 2, 55 },
        { 8, 2, 53 },
        { 10, 2, 57 },
        { 12, 2, 55 },
        { 14, 2, 50 },
        { 16, 2, 48 },
        { 18, 2, 55 },
        { 20, 4, 48 },
    };
    const Note chord[] = { { 20, 4, 64 }, { 20, 4, 67 } };
    Wave wave(samplesFor(24 * beat + 0.35), 0);
    for (const auto& n : tune) {
        addNote(wave, n.at * beat, n.length * beat + 0.12, n.midi, 1.0);
    }
    for (const auto& n : bass) {
        addNote(wave, n.at * beat, n.length * beat, n.midi, 0.55);
    }
    for (const auto& n : chord) {
        addNote(wave, n.at * beat, n.length * beat, n.midi, 0.4);
    }
    return wave;
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int k = 0; k < 4; ++k) {
        out.push_back(static_cast<uint8_t>(v >> (8 * k)));
    }
}

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

std::vector<Sound> synthesiseAll()
{
    return {
        { "hit", finish(hit(), 0.70) },
        { "swing", finish(swing(), 0.45) },
        { "bad", finish(bad(), 0.45) },
        { "incup", finish(incup(), 0.60) },
        { "water", finish(water(), 0.55) },
        { "music", finish(music(), 0.50) },
    };
}

std::vector<uint8_t> wavBytes(const std::vector<int16_t>& samples)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), { 'R', 'I', 'F', 'F' });
    put32(out, 36 + dataBytes);
    out.insert(out.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.insert(out.end(), { 'd', 'a', 't', 'a' });
    put32(out, dataBytes);
    for (int16_t s : samples) {
        put16(out, static_cast<uint16_t>(s));
    }
    return out;
}

bool writeSoundPicture(const Sound& sound, const std::string& path)
{
    constexpr int32_t kWindow = 256;
    constexpr int32_t kHop = 32;
    constexpr int32_t kWaveHeight = 121;
    constexpr int32_t kBins = kWindow / 2;
    const auto& s = sound.samples;
    const int32_t frames = std::max<int32_t>(1, static_cast<int32_t>(s.size()) / kHop);
    const int32_t width = frames;
    const int32_t height = kWaveHeight + 2 + kBins;
    std::vector<uint8_t> rgba(static_cast<size_t>(width * height) * 4, 0);
    auto set = [&](int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &rgba[static_cast<size_t>(y * width + x) * 4];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = 255;
    };
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            set(x, y, 16, 16, 24);
        }
    }
    // Waveform: the range of each column's samples, full scale at the edges.
    const int32_t mid = kWaveHeight / 2;
    for (int32_t x = 0; x < width; ++x) {
        int32_t lo = 32767;
        int32_t hi = -32768;
        for (int32_t i = x * kHop; i < (x + 1) * kHop && i < static_cast<int32_t>(s.size()); ++i) {
            lo = std::min<int32_t>(lo, s[static_cast<size_t>(i)]);
            hi = std::max<int32_t>(hi, s[static_cast<size_t>(i)]);
        }
        set(x, mid, 60, 60, 80);
        if (lo > hi) {
            continue;
        }
        const int32_t top = mid - hi * mid / 32768;
        const int32_t bottom = mid - lo * mid / 32768;
        for (int32_t y = std::max(0, top); y <= std::min(kWaveHeight - 1, bottom); ++y) {
            set(x, y, 120, 220, 140);
        }
    }
    // Spectrogram: a Hann-windowed transform per column, in decibels.
    std::vector<double> window(kWindow);
    for (int32_t i = 0; i < kWindow; ++i) {
        window[static_cast<size_t>(i)] = 0.5 - 0.5 * std::cos(2 * kPi * i / kWindow);
    }
    for (int32_t x = 0; x < width; ++x) {
        const int32_t start = x * kHop - kWindow / 2;
        for (int32_t bin = 0; bin < kBins; ++bin) {
            double re = 0;
            double im = 0;
            for (int32_t i = 0; i < kWindow; ++i) {
                const int32_t at = start + i;
                if (at < 0 || at >= static_cast<int32_t>(s.size())) {
                    continue;
                }
                const double v = window[static_cast<size_t>(i)] * s[static_cast<size_t>(at)] / 32768.0;
                const double a = 2 * kPi * bin * i / kWindow;
                re += v * std::cos(a);
                im -= v * std::sin(a);
            }
            const double db = 20 * std::log10(std::sqrt(re * re + im * im) + 1e-9);
            const double level = std::clamp((db + 60) / 80, 0.0, 1.0);
            // Dark blue through red to yellow as the level rises.
            set(x, height - 1 - bin, static_cast<uint8_t>(255 * std::min(1.0, level * 1.6)),
                static_cast<uint8_t>(255 * std::max(0.0, level * 1.6 - 0.6)), static_cast<uint8_t>(90 * (1 - level)));
        }
    }
    return writeRgbaPng(path, rgba.data(), width, height);
}

bool writeSounds(const std::string& folder, const std::string& preview, std::vector<std::string>& written)
{
    bool ok = true;
    for (const auto& s : synthesiseAll()) {
        const auto bytes = wavBytes(s.samples);
        const std::string path = folder + s.name + ".wav";
        if (!writeWholeFile(path, bytes.data(), bytes.size())) {
            std::printf("golf-assets: cannot write %s\n", path.c_str());
            ok = false;
        } else {
            written.push_back(s.name + ".wav");
        }
        if (!preview.empty() && !writeSoundPicture(s, preview + "sound_" + s.name + ".png")) {
            std::printf("golf-assets: cannot write the picture of the sound %s\n", s.name.c_str());
        }
    }
    return ok;
}

}  // namespace tarnby::sound
