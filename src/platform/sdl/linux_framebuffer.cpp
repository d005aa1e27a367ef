// Opening and mapping /dev/fb0 (or another frame-buffer device).
#include "platform/sdl/linux_framebuffer.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace tarnby {

LinuxFramebuffer::~LinuxFramebuffer() { close(); }

bool LinuxFramebuffer::open(const std::string& path, bool quiet)
{
    close();
    auto fail = [&](const char* why) {
        if (!quiet) {
            std::printf("frame buffer %s: %s\n", path.c_str(), why);
            std::fflush(stdout);
        }
        close();
        return false;
    };
    m_fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        return fail("cannot be opened for writing");
    }
    fb_var_screeninfo var {};
    fb_fix_screeninfo fix {};
    if (ioctl(m_fd, FBIOGET_VSCREENINFO, &var) != 0 || ioctl(m_fd, FBIOGET_FSCREENINFO, &fix) != 0) {
        return fail("is not a frame-buffer device");
    }
    if (var.bits_per_pixel != 16 || var.red.offset != 11 || var.red.length != 5 || var.green.offset != 5
        || var.green.length != 6 || var.blue.offset != 0 || var.blue.length != 5) {
        return fail("is not 16-bit RGB 5-6-5");
    }
    const size_t lineBytes = fix.line_length;
    const size_t bytes = lineBytes * (static_cast<size_t>(var.yoffset) + var.yres);
    if (var.xres == 0 || var.yres == 0 || lineBytes < static_cast<size_t>(var.xres) * 2 || bytes > fix.smem_len) {
        return fail("reports an impossible size");
    }
    void* memory = mmap(nullptr, fix.smem_len, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (memory == MAP_FAILED) {
        return fail("cannot be mapped");
    }
    m_mapping = memory;
    m_mappedBytes = fix.smem_len;
    m_rotate = static_cast<int32_t>(var.rotate);
    m_screen.pixels = static_cast<uint8_t*>(memory) + lineBytes * var.yoffset + static_cast<size_t>(var.xoffset) * 2;
    m_screen.xStride = 2;
    m_screen.yStride = static_cast<int32_t>(lineBytes);
    m_screen.widthPixels = static_cast<int32_t>(var.xres);
    m_screen.heightPixels = static_cast<int32_t>(var.yres);
    return true;
}

void LinuxFramebuffer::close()
{
    if (m_mapping != nullptr) {
        munmap(m_mapping, m_mappedBytes);
        m_mapping = nullptr;
    }
    m_screen = RawScreen {};
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

ScreenTurn LinuxFramebuffer::turnFor(int32_t frameWidth) const
{
    if (frameWidth == m_screen.widthPixels) {
        return ScreenTurn::Same;
    }
    return m_rotate == FB_ROTATE_CCW ? ScreenTurn::ThreeQuarters : ScreenTurn::Quarter;
}

}  // namespace tarnby
