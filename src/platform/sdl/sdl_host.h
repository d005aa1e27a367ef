// The machine as the game sees it in a window: SDL's millisecond clock,
// sleeping, showing a finished rectangle (handed to the window thread, which
// copies it while the game waits), and sound. Every call comes from the game
// thread; the window thread talks to it only through atomics.
#pragma once

#include <atomic>
#include <cstdint>

#include <SDL.h>

#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/sound_player.h"
#include "runtime/host.h"
#include "sprite/viewport.h"

namespace tarnby {

class SdlHost : public Host {
public:
    // `paintEvent` is the SDL event type that wakes the window thread.
    SdlHost(Viewport& game, PaintHandoff& handoff, uint32_t paintEvent);

    uint32_t tickCount() override;
    void sleep(int32_t milliseconds) override;
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override;
    void playSound(const char* name) override;

    // Sound goes to this player (none: silent).
    void setSound(SoundPlayer* player) { m_sound = player; }
    // Window thread: the game should take this logical size. The game thread
    // hands it to the game at its next call, so the two halves never tear.
    void requestSize(int32_t width, int32_t height);

private:
    void applySize();

    Viewport& m_game;
    PaintHandoff& m_handoff;
    uint32_t m_paintEvent;
    uint32_t m_start;
    SoundPlayer* m_sound = nullptr;
    std::atomic<uint32_t> m_pendingSize { 0 };  // width << 16 | height; 0 for none
};

}  // namespace tarnby
