// The window, its renderer and the frame texture.
#include "platform/sdl/sdl_window.h"

#include <cstdio>
#include <cstring>

#include "platform/headless/png_writer.h"

namespace tarnby {

SdlWindow::~SdlWindow()
{
    m_direct.detach();
    m_put.detach();
    if (m_texture != nullptr) {
        SDL_DestroyTexture(m_texture);
    }
    if (m_renderer != nullptr) {
        SDL_DestroyRenderer(m_renderer);
    }
    if (m_window != nullptr) {
        SDL_DestroyWindow(m_window);
    }
}

bool SdlWindow::open(int32_t width, int32_t height, bool doubling)
{
    m_doubling = doubling;
    // Whole pixels: a doubled frame stays sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // The frame is small, so the software renderer copies it to the screen
    // cheaply, and without OpenGL the window opens at once: loading a GL
    // driver costs a fifth of a second at start-up, and a software GL driver
    // (a machine without a graphics card) several per cent of a core while
    // anything moves. SDL_RENDER_DRIVER in the environment still chooses.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_window = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
        SDL_WINDOW_RESIZABLE);
    if (m_window == nullptr) {
        std::printf("tarnby-golf: cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    // No waiting for the screen's refresh: the game paces itself at 16 ms and
    // waits for every paint.
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer == nullptr) {
        std::printf("tarnby-golf: cannot draw into the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info;
    m_software = SDL_GetRendererInfo(m_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    if (m_software) {
        m_put.attach(m_window);
        m_direct.attach(m_window);
    }
    int w = width;
    int h = height;
    SDL_GetWindowSize(m_window, &w, &h);
    m_width = w;
    m_height = h;
    updateLayout();
    return true;
}

void SdlWindow::resized(int32_t width, int32_t height)
{
    m_direct.pause();
    m_width = width;
    m_height = height;
    m_fullPaints = kFullPaintsAfterResize;
    m_changed = true;
    m_showWhole = true;
    updateLayout();
}

void SdlWindow::updateLayout() { m_layout.set(m_width, m_height, m_frameWidth, m_frameHeight, m_doubling); }

void SdlWindow::copy(const PaintRequest& r)
{
    if (r.pixels == nullptr || r.width <= 0 || r.height <= 0) {
        return;
    }
    bool whole = false;
    if (r.width != m_frameWidth || r.height != m_frameHeight || m_texture == nullptr) {
        if (m_texture != nullptr) {
            SDL_DestroyTexture(m_texture);
        }
        // The top byte of a frame word is its depth: ignored by this format.
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, r.width,
            r.height);
        m_frameWidth = r.width;
        m_frameHeight = r.height;
        m_frame.assign(static_cast<size_t>(r.width) * static_cast<size_t>(r.height), 0);
        updateLayout();
        whole = true;
        m_showWhole = true;
    }
    if (m_fullPaints > 0) {
        --m_fullPaints;
        whole = true;
    }
    int32_t x = whole ? 0 : r.x;
    int32_t y = whole ? 0 : r.y;
    int32_t w = whole ? r.width : r.w;
    int32_t h = whole ? r.height : r.h;
    // Never beyond the frame, whatever the rectangle says.
    x = x > 0 ? x : 0;
    y = y > 0 ? y : 0;
    w = x + w <= r.width ? w : r.width - x;
    h = y + h <= r.height ? h : r.height - y;
    if (w <= 0 || h <= 0) {
        return;
    }
    for (int32_t row = y; row < y + h; ++row) {
        const size_t at = static_cast<size_t>(row) * static_cast<size_t>(r.width) + static_cast<size_t>(x);
        std::memcpy(&m_frame[at], r.pixels + at, static_cast<size_t>(w) * 4);
    }
    if (m_texture != nullptr) {
        const SDL_Rect area { x, y, w, h };
        SDL_UpdateTexture(m_texture, &area,
            &m_frame[static_cast<size_t>(y) * static_cast<size_t>(r.width) + static_cast<size_t>(x)], r.width * 4);
    }
    const SDL_Rect area { x, y, w, h };
    if (m_shown.w <= 0 || m_shown.h <= 0) {
        m_shown = area;
    } else {
        SDL_UnionRect(&m_shown, &area, &m_shown);
    }
    m_changed = true;
}

bool SdlWindow::drawsParts() const
{
    if (!m_software || m_texture == nullptr || m_frameWidth <= 0 || m_frameHeight <= 0) {
        return false;
    }
    const FrameRect& d = m_layout.destination();
    const int32_t scale = d.w / m_frameWidth;
    return scale >= 1 && d.w == scale * m_frameWidth && d.h == scale * m_frameHeight;
}

void SdlWindow::show(bool whole)
{
    if (m_renderer == nullptr) {
        return;
    }
    if (whole || m_showWhole || !drawsParts()) {
        draw();
    } else if (m_shown.w > 0 && m_shown.h > 0) {
        // Only the changed part: the rest of the window still shows the frame.
        const FrameRect& d = m_layout.destination();
        const int32_t scale = d.w / m_frameWidth;
        const SDL_Rect dest { d.x + m_shown.x * scale, d.y + m_shown.y * scale, m_shown.w * scale, m_shown.h * scale };
        SDL_RenderCopy(m_renderer, m_texture, &m_shown, &dest);
        // The software renderer draws into the window's own surface: only the
        // changed part of it goes to the screen, not the whole window (a
        // moving marker would otherwise send every window pixel every frame);
        // a small part straight to an X display, without waiting for it.
        if (SDL_RenderFlush(m_renderer) == 0
            && (m_put.put(m_window, dest) || SDL_UpdateWindowSurfaceRects(m_window, &dest, 1) == 0)) {
            m_changed = false;
            m_shown = SDL_Rect {};
            followOnScreen();
            return;
        }
    }
    SDL_RenderPresent(m_renderer);
    m_changed = false;
    m_showWhole = false;
    m_shown = SDL_Rect {};
    m_showedFrame = m_showedFrame || m_texture != nullptr;
    followOnScreen();
}

void SdlWindow::followOnScreen()
{
    // The game may put its own small rectangles while the window shows the
    // frame in whole blocks of pixels and nothing waits to be drawn whole.
    if (!drawsParts() || m_fullPaints > 0 || m_showWhole) {
        m_direct.pause();
        return;
    }
    const FrameRect& d = m_layout.destination();
    m_direct.follow(d.x, d.y, d.w / m_frameWidth, m_frameWidth, m_frameHeight);
}

void SdlWindow::draw()
{
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (m_texture != nullptr) {
        const FrameRect& d = m_layout.destination();
        const SDL_Rect dest { d.x, d.y, d.w, d.h };
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &dest);
    }
}

void SdlWindow::toggleFullscreen()
{
    m_direct.pause();
    const bool full = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(m_window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlWindow::raise()
{
    SDL_RestoreWindow(m_window);
    SDL_RaiseWindow(m_window);
}

bool SdlWindow::writeWindowPng(const std::string& path)
{
    if (m_renderer == nullptr) {
        return false;
    }
    // A software renderer keeps what it showed: the shot is the window as
    // the parts shown so far made it. Any other renderer draws afresh.
    const bool kept = m_software;
    if (kept) {
        show();
    } else {
        draw();
    }
    int w = 0;
    int h = 0;
    if (SDL_GetRendererOutputSize(m_renderer, &w, &h) != 0 || w <= 0 || h <= 0) {
        return false;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    if (SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4) != 0) {
        return false;
    }
    const bool written = tarnby::writeFramePng(path, pixels.data(), w, h, w);
    if (!kept) {
        SDL_RenderPresent(m_renderer);
        m_changed = false;
    }
    return written;
}

bool SdlWindow::writeFramePng(const std::string& path) const
{
    if (m_frame.empty()) {
        return false;
    }
    return tarnby::writeFramePng(path, m_frame.data(), m_frameWidth, m_frameHeight, m_frameWidth);
}

}  // namespace tarnby
