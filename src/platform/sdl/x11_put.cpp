// Small window updates sent to the X server without waiting for its answer.
#include "platform/sdl/x11_put.h"

#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11) && defined(TARNBY_HAVE_X11)
#include <X11/Xutil.h>
#define TARNBY_X11_PUT 1
#endif

namespace tarnby {

X11Put::~X11Put() { detach(); }

#if defined(TARNBY_X11_PUT)

bool X11Put::attach(SDL_Window* window)
{
    detach();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11
        || info.info.x11.display == nullptr) {
        return false;
    }
    Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0 || attributes.visual == nullptr) {
        return false;
    }
    // Only the colour screens SDL draws 32-bit pixels for (its windows take
    // a direct-colour visual where the screen has one): the put sends the
    // same pixel values SDL's own update would.
    const int kind = attributes.visual->c_class;
    if ((kind != TrueColor && kind != DirectColor) || attributes.depth < 15 || attributes.depth > 32) {
        return false;
    }
    GC gc = XCreateGC(display, info.info.x11.window, 0, nullptr);
    if (gc == nullptr) {
        return false;
    }
    m_display = display;
    m_window = info.info.x11.window;
    m_gc = gc;
    m_visual = attributes.visual;
    m_depth = attributes.depth;
    m_plainRgb = attributes.visual->red_mask == 0xFF0000 && attributes.visual->green_mask == 0xFF00
                 && attributes.visual->blue_mask == 0xFF;
    return true;
}

void X11Put::detach()
{
    if (m_gc != nullptr) {
        XFreeGC(static_cast<Display*>(m_display), static_cast<GC>(m_gc));
    }
    m_display = nullptr;
    m_window = 0;
    m_gc = nullptr;
    m_visual = nullptr;
    m_depth = 0;
    m_plainRgb = false;
}

bool X11Put::put(SDL_Window* window, const SDL_Rect& area)
{
    if (m_gc == nullptr || area.w <= 0 || area.h <= 0 || area.w > kMostPixels / area.h) {
        return false;
    }
    // The surface the software renderer draws into: SDL's own picture of the
    // window, in the screen's pixel format.
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr || surface->pixels == nullptr || surface->format->BytesPerPixel != 4 || area.x < 0
        || area.y < 0 || area.x + area.w > surface->w || area.y + area.h > surface->h) {
        return false;
    }
    return putPixels(static_cast<const uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(area.y) * surface->pitch
                         + static_cast<ptrdiff_t>(area.x) * 4,
        area.w, area.h, surface->pitch, area.x, area.y);
}

bool X11Put::putPixels(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t x, int32_t y)
{
    if (m_gc == nullptr || pixels == nullptr || width <= 0 || height <= 0 || pitch < width * 4) {
        return false;
    }
    const Visual* visual = static_cast<const Visual*>(m_visual);
    XImage image {};
    image.width = width;
    image.height = height;
    image.format = ZPixmap;
    image.data = static_cast<char*>(const_cast<void*>(pixels));
    image.byte_order = SDL_BYTEORDER == SDL_LIL_ENDIAN ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = m_depth;
    image.bytes_per_line = pitch;
    image.bits_per_pixel = 32;
    image.red_mask = visual->red_mask;
    image.green_mask = visual->green_mask;
    image.blue_mask = visual->blue_mask;
    if (XInitImage(&image) == 0) {
        return false;
    }
    Display* display = static_cast<Display*>(m_display);
    // The pixels go inside the request: once flushed, they may change.
    XPutImage(display, m_window, static_cast<GC>(m_gc), &image, 0, 0, x, y, static_cast<unsigned>(width),
        static_cast<unsigned>(height));
    XFlush(display);
    return true;
}

bool X11Put::eventsWaiting() const
{
    return m_display != nullptr && XEventsQueued(static_cast<Display*>(m_display), QueuedAlready) > 0;
}

bool X11Put::readBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height)
{
    if (m_gc == nullptr) {
        return false;
    }
    Display* display = static_cast<Display*>(m_display);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, m_window, &attributes) == 0 || attributes.width <= 0 || attributes.height <= 0) {
        return false;
    }
    XImage* shown = XGetImage(display, m_window, 0, 0, static_cast<unsigned>(attributes.width),
        static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (shown == nullptr) {
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint32_t>(XGetPixel(shown, x, y));
        }
    }
    XDestroyImage(shown);
    return true;
}

#else

bool X11Put::attach(SDL_Window* window)
{
    (void)window;
    return false;
}

void X11Put::detach() {}

bool X11Put::put(SDL_Window* window, const SDL_Rect& area)
{
    (void)window;
    (void)area;
    return false;
}

bool X11Put::putPixels(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t x, int32_t y)
{
    (void)pixels;
    (void)width;
    (void)height;
    (void)pitch;
    (void)x;
    (void)y;
    return false;
}

bool X11Put::eventsWaiting() const { return false; }

bool X11Put::readBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height)
{
    (void)pixels;
    (void)width;
    (void)height;
    return false;
}

#endif

}  // namespace tarnby
