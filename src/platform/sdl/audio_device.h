// The sound output the player writes its buffers to: 8000 samples a second,
// mono, 16-bit. The window's host uses the SDL device; tests use their own.
#pragma once

#include <cstdint>
#include <functional>

namespace tarnby {

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Opens the output. `done(buffer)` is called (on the device's own thread)
    // each time a written buffer has been played or dropped by `reset`.
    virtual bool open(std::function<void(int32_t)> done) = 0;
    virtual bool isOpen() const = 0;
    // Queues `bytes` of samples as buffer `buffer`; the memory stays the
    // caller's and unchanged until `done(buffer)`.
    virtual bool write(int32_t buffer, const int16_t* samples, int32_t bytes) = 0;
    // Samples played since the device was opened.
    virtual uint32_t position() const = 0;
    // Stops output; every queued buffer is reported done.
    virtual void reset() = 0;
    virtual void close() = 0;
};

}  // namespace tarnby
