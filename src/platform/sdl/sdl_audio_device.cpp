// SDL audio output for the sound player.
#include "platform/sdl/sdl_audio_device.h"

#include <cstring>

namespace tarnby {

SdlAudioDevice::~SdlAudioDevice()
{
    close();
    if (m_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_subsystem = false;
    }
}

bool SdlAudioDevice::open(std::function<void(int32_t)> done)
{
    if (m_device != 0) {
        return true;
    }
    if (!m_subsystem) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return false;
        }
        m_subsystem = true;
    }
    SDL_AudioSpec want {};
    want.freq = 8000;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    // 64 ms per pull: short enough that a sound starts promptly.
    want.samples = 512;
    want.callback = &SdlAudioDevice::callback;
    want.userdata = this;
    SDL_AudioSpec have {};
    // SDL converts to whatever the hardware wants; we always speak 8000 Hz mono.
    m_done = std::move(done);
    m_position.store(0, std::memory_order_release);
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m_device == 0) {
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool SdlAudioDevice::write(int32_t buffer, const int16_t* samples, int32_t bytes)
{
    if (m_device == 0 || samples == nullptr || bytes <= 0) {
        return false;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_queue.push_back({ buffer, reinterpret_cast<const uint8_t*>(samples), bytes, 0 });
    return true;
}

void SdlAudioDevice::callback(void* self, Uint8* stream, int length)
{
    static_cast<SdlAudioDevice*>(self)->pull(stream, length);
}

void SdlAudioDevice::pull(Uint8* stream, int length)
{
    int32_t finished[4];
    int32_t finishedCount = 0;
    uint32_t played = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        while (length > 0 && !m_queue.empty()) {
            Pending& p = m_queue.front();
            const int32_t take = p.length - p.played < length ? p.length - p.played : length;
            std::memcpy(stream, p.bytes + p.played, static_cast<size_t>(take));
            stream += take;
            length -= take;
            p.played += take;
            played += static_cast<uint32_t>(take / 2);
            if (p.played >= p.length) {
                if (finishedCount < 4) {
                    finished[finishedCount++] = p.buffer;
                }
                m_queue.pop_front();
            }
        }
    }
    if (length > 0) {
        std::memset(stream, 0, static_cast<size_t>(length));
    }
    m_position.fetch_add(played, std::memory_order_acq_rel);
    // Handed back outside the lock: the player refills at once and writes again.
    for (int32_t i = 0; i < finishedCount; ++i) {
        if (m_done) {
            m_done(finished[i]);
        }
    }
}

void SdlAudioDevice::reset()
{
    if (m_device == 0) {
        return;
    }
    // With the audio thread held, nothing is being pulled while the queue empties.
    SDL_LockAudioDevice(m_device);
    std::deque<Pending> dropped;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        dropped.swap(m_queue);
    }
    SDL_UnlockAudioDevice(m_device);
    for (const Pending& p : dropped) {
        if (m_done) {
            m_done(p.buffer);
        }
    }
}

void SdlAudioDevice::close()
{
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
        std::lock_guard<std::mutex> guard(m_lock);
        m_queue.clear();
    }
    // The audio subsystem stays up until the end: a device closed while the
    // game is quiet opens again quickly.
}

}  // namespace tarnby
