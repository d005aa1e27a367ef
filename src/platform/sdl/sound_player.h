// Plays the game's sounds: loads each file once, and mixes every sound that is
// playing into two 4000-byte buffers (a quarter of a second each) that take
// turns at the audio device. A watchdog drops and reopens a device that stops.
//
// Threads: play and close run on the game thread (close also at exit, after
// the game thread has ended), rest and wake on the window thread, one at a
// time; fill runs on the game thread and on the device's thread when a buffer
// comes back. One fill runs at a time: a fill that finds another running
// returns at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/sdl/audio_device.h"
#include "platform/sdl/wav_sound.h"

namespace tarnby {

class SoundPlayer {
public:
    static constexpr int32_t kBufferBytes = 4000;
    static constexpr int32_t kBuffers = 2;
    // Play requests that see the device's position stand still before the
    // device is taken for stalled.
    static constexpr int32_t kStallLimit = 5;
    // After this long with nothing playing the device is closed: its thread
    // would otherwise wake for every buffer of silence. The next sound, or
    // input that may bring one, opens it again.
    static constexpr uint32_t kRestMs = 10000;

    // Sounds are `folder` + name + ".wav".
    SoundPlayer(AudioDevice& device, std::string folder);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts a sound unless it is playing already. Opens the device on first
    // use; when that fails, sound stays off for the rest of the run, silently.
    void play(const std::string& name);
    // Stops the device and forgets every loaded sound.
    void close();
    // Now and then, `now` in ms: closes the device once nothing has played
    // for kRestMs (the loaded sounds stay).
    void rest(uint32_t now);
    // Input came: opens a device closed by `rest` again, so that a sound the
    // input brings starts at once.
    void wake();

    // Mixes the next quarter second of every playing sound into a free buffer
    // and writes it: the first sound is copied, each further one added, or
    // added at half strength when the sum would overflow, or left out of a
    // sample when even that overflows.
    void fill();

    bool audioAvailable() const { return m_audioAvailable; }
    bool resting() const { return m_rested; }
    bool bufferFree(int32_t buffer) const { return m_done[buffer].load(std::memory_order_acquire); }
    int32_t loadedSounds() const;
    bool isPlaying(const std::string& name) const;

private:
    struct Sound {
        std::string path;
        WavSound wav;
        std::atomic<bool> playing { false };
        int32_t position = 0;  // bytes already handed to buffers
        Sound* next = nullptr;
    };

    void bufferDone(int32_t buffer);
    // With m_deviceLock held.
    bool openDevice();
    void stopDevice();
    void closeLocked();
    // Until m_fillDepth is set back to 0, no fill runs.
    void holdFillsOut();
    void freeSounds();
    Sound* find(const std::string& path) const;

    AudioDevice& m_device;
    std::string m_folder;
    bool m_audioAvailable = true;
    std::mutex m_deviceLock;    // opening and closing, between the game and window threads
    bool m_rested = false;      // closed by rest, not for a fault
    bool m_quietKnown = false;  // m_quietSince says since when nothing has played
    uint32_t m_quietSince = 0;
    std::atomic<Sound*> m_sounds { nullptr };  // most recently loaded first
    std::atomic<int32_t> m_fillDepth { 0 };
    uint32_t m_lastPosition = 0;
    int32_t m_stallCount = 0;
    std::atomic<bool> m_done[kBuffers];
    alignas(4) int16_t m_buffers[kBuffers][kBufferBytes / 2];
};

}  // namespace tarnby
