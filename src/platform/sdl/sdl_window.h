// The game's window: "Tarnby Golf", resizable, showing the game's frame through
// a streaming texture, twice its size while pixel doubling, otherwise scaled
// to fit with bars. Runs on the window thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <SDL.h>

#include "platform/sdl/direct_screen.h"
#include "platform/sdl/frame_layout.h"
#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/x11_put.h"

namespace tarnby {

class SdlWindow {
public:
    static constexpr const char* kTitle = "Tarnby Golf";
    // Paints after a resize that copy the whole frame, not just the finished
    // rectangle, so that the new window never shows stale parts.
    static constexpr int32_t kFullPaintsAfterResize = 3;

    SdlWindow() = default;
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    // Opens the window with a client area of width x height pixels. False
    // (with one line on standard output) when SDL cannot make it.
    bool open(int32_t width, int32_t height, bool doubling);
    // The window's client area changed size.
    void resized(int32_t width, int32_t height);
    // Copies an offered rectangle of the frame (the whole frame while the
    // resize countdown runs or the frame changed size).
    void copy(const PaintRequest& request);
    // Draws the latest frame into the window: on the software renderer at a
    // whole-number scale only the part copied since the last show (the window
    // keeps the rest), else all of it; `whole` asks for all of it.
    void show(bool whole = false);
    // The window's contents were lost (exposed): the next show draws all of it.
    void invalidate()
    {
        m_changed = true;
        m_showWhole = true;
        m_direct.pause();
    }
    // True once a frame of the game has been drawn into the window.
    bool showedFrame() const { return m_showedFrame; }
    void toggleFullscreen();
    void raise();

    // What the window shows, at the window's size, as PNG.
    bool writeWindowPng(const std::string& path);
    // The game's frame as last shown, at the game's size, as PNG.
    bool writeFramePng(const std::string& path) const;

    const FrameLayout& layout() const { return m_layout; }
    SDL_Window* handle() const { return m_window; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // Until the game's first frame is in there is nothing to show: the
    // window waits for it rather than drawing black first.
    bool needsShow() const { return m_changed && m_texture != nullptr; }
    const std::vector<uint32_t>& frame() const { return m_frame; }
    // The game thread's way to the screen for small rectangles, kept in step
    // with what the window shows.
    DirectScreen& directScreen() { return m_direct; }

private:
    void updateLayout();
    // Bars and the scaled frame into the renderer, not yet on the screen.
    void draw();
    // True when the part of the frame in `m_shown` can be drawn alone: the
    // renderer keeps what it drew (software) and each frame pixel is a whole
    // block of window pixels, so a part scales exactly as the whole does.
    bool drawsParts() const;
    // After a show: lets the game put small rectangles itself, or stops it.
    void followOnScreen();

    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_doubling = false;
    int32_t m_fullPaints = kFullPaintsAfterResize;
    bool m_changed = true;
    bool m_showedFrame = false;
    bool m_software = false;  // the renderer draws into the window's own memory
    bool m_showWhole = true;  // the next show draws everything
    SDL_Rect m_shown {};      // the frame's part copied since the last show
    X11Put m_put;             // small parts straight to an X display
    DirectScreen m_direct;    // the game's own small rectangles to an X display
    FrameLayout m_layout;
    std::vector<uint32_t> m_frame;  // the window's own copy of the frame
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
};

}  // namespace tarnby
