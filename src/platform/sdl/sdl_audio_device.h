// The sound player's output through SDL audio: written buffers wait in a
// queue, and SDL's audio thread plays them in order and hands each back.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include <SDL.h>

#include "platform/sdl/audio_device.h"

namespace tarnby {

class SdlAudioDevice : public AudioDevice {
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice() override;

    bool open(std::function<void(int32_t)> done) override;
    bool isOpen() const override { return m_device != 0; }
    bool write(int32_t buffer, const int16_t* samples, int32_t bytes) override;
    uint32_t position() const override { return m_position.load(std::memory_order_acquire); }
    void reset() override;
    void close() override;

private:
    struct Pending {
        int32_t buffer;
        const uint8_t* bytes;
        int32_t length;
        int32_t played;
    };
    static void callback(void* self, Uint8* stream, int length);
    void pull(Uint8* stream, int length);

    SDL_AudioDeviceID m_device = 0;
    bool m_subsystem = false;
    std::function<void(int32_t)> m_done;
    std::mutex m_lock;  // guards m_queue between the game and audio threads
    std::deque<Pending> m_queue;
    std::atomic<uint32_t> m_position { 0 };
};

}  // namespace tarnby
