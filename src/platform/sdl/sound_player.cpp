// Loading, mixing and queueing the game's sounds.
#include "platform/sdl/sound_player.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace tarnby {

SoundPlayer::SoundPlayer(AudioDevice& device, std::string folder) : m_device(device), m_folder(std::move(folder))
{
    for (auto& done : m_done) {
        done.store(true);
    }
    std::memset(m_buffers, 0, sizeof m_buffers);
}

SoundPlayer::~SoundPlayer() { close(); }

SoundPlayer::Sound* SoundPlayer::find(const std::string& path) const
{
    for (Sound* s = m_sounds.load(std::memory_order_acquire); s != nullptr; s = s->next) {
        if (s->path == path) {
            return s;
        }
    }
    return nullptr;
}

int32_t SoundPlayer::loadedSounds() const
{
    int32_t count = 0;
    for (Sound* s = m_sounds.load(std::memory_order_acquire); s != nullptr; s = s->next) {
        ++count;
    }
    return count;
}

bool SoundPlayer::isPlaying(const std::string& name) const
{
    const Sound* s = find(m_folder + name + ".wav");
    return s != nullptr && s->playing.load(std::memory_order_acquire);
}

bool SoundPlayer::openDevice()
{
    for (auto& done : m_done) {
        done.store(true, std::memory_order_release);
    }
    m_rested = false;
    m_quietKnown = false;
    if (!m_device.open([this](int32_t buffer) { bufferDone(buffer); })) {
        m_audioAvailable = false;
        return false;
    }
    return true;
}

void SoundPlayer::play(const std::string& name)
{
    const std::lock_guard<std::mutex> hold(m_deviceLock);
    // A device whose position stands still over several requests has stopped
    // playing: drop it and start afresh at the next request.
    const uint32_t position = m_device.isOpen() ? m_device.position() : 0;
    if (position == m_lastPosition) {
        if (++m_stallCount >= kStallLimit) {
            closeLocked();
        }
    } else {
        m_lastPosition = position;
        m_stallCount = 0;
    }

    if (!m_device.isOpen() && (!m_audioAvailable || !openDevice())) {
        return;
    }
    m_quietKnown = false;

    const std::string path = m_folder + name + ".wav";
    Sound* sound = find(path);
    if (sound == nullptr) {
        sound = new Sound;
        sound->path = path;
        sound->wav = WavSound::load(path);
        sound->next = m_sounds.load(std::memory_order_relaxed);
        // Published whole: a fill on the device's thread may walk the list.
        m_sounds.store(sound, std::memory_order_release);
    }
    if (!sound->playing.load(std::memory_order_acquire)) {
        sound->position = 0;
        sound->playing.store(true, std::memory_order_release);
        fill();
        fill();
    }
}

void SoundPlayer::bufferDone(int32_t buffer)
{
    if (buffer >= 0 && buffer < kBuffers) {
        m_done[buffer].store(true, std::memory_order_release);
        fill();
    }
}

void SoundPlayer::fill()
{
    if (m_fillDepth.fetch_add(1, std::memory_order_acq_rel) != 0) {
        m_fillDepth.fetch_sub(1, std::memory_order_acq_rel);
        return;
    }
    int32_t buffer = -1;
    for (int32_t b = 0; b < kBuffers; ++b) {
        if (m_done[b].load(std::memory_order_acquire)) {
            buffer = b;
            break;
        }
    }
    if (buffer >= 0) {
        int16_t* out = m_buffers[buffer];
        bool used = false;
        for (Sound* s = m_sounds.load(std::memory_order_acquire); s != nullptr; s = s->next) {
            if (!s->playing.load(std::memory_order_acquire)) {
                continue;
            }
            const int32_t start = s->position;
            const int32_t remaining = s->wav.length() - start;
            int32_t chunk = kBufferBytes;
            if (remaining <= kBufferBytes) {
                chunk = remaining > 0 ? remaining : 0;
                s->position += chunk;
                s->playing.store(false, std::memory_order_release);
            } else {
                s->position += kBufferBytes;
            }
            const int16_t* in = s->wav.samples().data() + start / 2;
            if (!used) {
                if (chunk > 0) {
                    std::memcpy(out, in, static_cast<size_t>(chunk));
                }
                std::memset(reinterpret_cast<uint8_t*>(out) + chunk, 0, static_cast<size_t>(kBufferBytes - chunk));
                used = true;
                continue;
            }
            const int32_t count = (chunk + 1) / 2;
            for (int32_t i = 0; i < count; ++i) {
                const int32_t sum = out[i] + in[i];
                if (sum >= -32768 && sum <= 32767) {
                    out[i] = static_cast<int16_t>(sum);
                    continue;
                }
                // Too loud together: the newcomer at half strength, or not at all.
                const int32_t half = out[i] + (in[i] >> 1);
                if (half >= -32768 && half <= 32766) {
                    out[i] = static_cast<int16_t>(half);
                }
            }
        }
        if (used) {
            m_done[buffer].store(false, std::memory_order_release);
            if (!m_device.write(buffer, out, kBufferBytes)) {
                m_done[buffer].store(true, std::memory_order_release);
            }
        }
    }
    m_fillDepth.fetch_sub(1, std::memory_order_acq_rel);
}

void SoundPlayer::holdFillsOut()
{
    // Waits for a fill already under way, then keeps every later one out
    // until m_fillDepth goes back to 0.
    int32_t idle = 0;
    while (!m_fillDepth.compare_exchange_weak(idle, 1, std::memory_order_acq_rel)) {
        idle = 0;
        std::this_thread::yield();
    }
}

void SoundPlayer::close()
{
    const std::lock_guard<std::mutex> hold(m_deviceLock);
    closeLocked();
}

void SoundPlayer::closeLocked()
{
    // No fill may run while the device and the sounds go away.
    holdFillsOut();
    if (m_device.isOpen()) {
        m_device.reset();
        for (auto& done : m_done) {
            for (int32_t poll = 0; poll < 10 && !done.load(std::memory_order_acquire); ++poll) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        m_device.close();
    }
    freeSounds();
    m_stallCount = 0;
    m_rested = false;
    m_fillDepth.store(0, std::memory_order_release);
}

void SoundPlayer::rest(uint32_t now)
{
    const std::lock_guard<std::mutex> hold(m_deviceLock);
    if (!m_device.isOpen()) {
        return;
    }
    bool busy = false;
    for (const auto& done : m_done) {
        busy = busy || !done.load(std::memory_order_acquire);
    }
    for (Sound* s = m_sounds.load(std::memory_order_acquire); s != nullptr; s = s->next) {
        busy = busy || s->playing.load(std::memory_order_acquire);
    }
    if (busy || !m_quietKnown) {
        m_quietSince = now;
        m_quietKnown = !busy;
        return;
    }
    if (now - m_quietSince >= kRestMs) {
        stopDevice();
    }
}

void SoundPlayer::stopDevice()
{
    // Nothing is queued: once a fill under way is done, the device goes.
    holdFillsOut();
    m_device.close();
    m_rested = true;
    m_quietKnown = false;
    m_fillDepth.store(0, std::memory_order_release);
}

void SoundPlayer::wake()
{
    const std::lock_guard<std::mutex> hold(m_deviceLock);
    if (m_rested && !m_device.isOpen()) {
        openDevice();
    }
}

void SoundPlayer::freeSounds()
{
    Sound* s = m_sounds.exchange(nullptr, std::memory_order_acq_rel);
    while (s != nullptr) {
        Sound* next = s->next;
        delete s;
        s = next;
    }
}

}  // namespace tarnby
