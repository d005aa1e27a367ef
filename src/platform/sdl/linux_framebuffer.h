// The Linux frame-buffer device as a raw 5-6-5 screen, for handhelds that run
// the game without a window system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sdl/raw_copy.h"

namespace tarnby {

class LinuxFramebuffer {
public:
    LinuxFramebuffer() = default;
    ~LinuxFramebuffer();
    LinuxFramebuffer(const LinuxFramebuffer&) = delete;
    LinuxFramebuffer& operator=(const LinuxFramebuffer&) = delete;

    // Opens and maps the device. False (with one line on standard output when
    // `quiet` is not set) unless it is writable, 16 bits per pixel and 5-6-5.
    bool open(const std::string& path, bool quiet);
    void close();
    bool isOpen() const { return m_screen.pixels != nullptr; }

    const RawScreen& screen() const { return m_screen; }
    // How the device is turned against its native orientation (270 degrees
    // when it reports a counter-clockwise turn, else a quarter).
    ScreenTurn turnFor(int32_t frameWidth) const;

private:
    int m_fd = -1;
    void* m_mapping = nullptr;  // the device's first byte, before any panning offset
    size_t m_mappedBytes = 0;
    int32_t m_rotate = 0;
    RawScreen m_screen;
};

}  // namespace tarnby
