// The few services the engine asks of the machine it runs on: a millisecond
// clock, sleeping, and showing a finished rectangle of a frame.
//
// The game installs a real window's host at start-up. Until then (and always in
// tests and tools) a virtual host answers: its clock moves only when the program
// sleeps, so everything that paces itself by time runs deterministically and fast.
#pragma once

#include <cstdint>

namespace tarnby {

class Host {
public:
    virtual ~Host() = default;

    // Milliseconds since some fixed moment; wraps like a 32-bit tick counter.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(int32_t milliseconds) = 0;

    // A rectangle of a frame is finished: pixels are 0xDDRRGGBB words (the
    // depth byte is not shown), `stride` words per row, (x, y, w, h) in pixels.
    virtual void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) = 0;
};

// A host whose clock is a counter that only sleeping advances.
class VirtualHost : public Host {
public:
    uint32_t tickCount() override { return m_now; }
    void sleep(int32_t milliseconds) override
    {
        if (milliseconds > 0) {
            m_now += static_cast<uint32_t>(milliseconds);
        }
        m_sleeps++;
    }
    void present(const uint32_t*, int32_t, int32_t, int32_t, int32_t, int32_t) override { m_presents++; }

    void setNow(uint32_t now) { m_now = now; }
    int32_t sleeps() const { return m_sleeps; }
    int32_t presents() const { return m_presents; }

private:
    uint32_t m_now = 0;
    int32_t m_sleeps = 0;
    int32_t m_presents = 0;
};

// The host in use; a process-wide VirtualHost until another is installed.
Host& host();

// Installs a host (the caller keeps it alive) or, with null, the virtual one again.
void setHost(Host* host);

}  // namespace tarnby
