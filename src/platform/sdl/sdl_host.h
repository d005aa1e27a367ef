// The machine as the game sees it in a window: a millisecond clock, sleeping,
// showing a finished rectangle (copied into the hand-off for the window
// thread, which is woken for it; the game does not wait), and sound. Every
// call comes from the game thread; the window thread talks to it only
// through the hand-off and the input gate.
//
// The clock the game reads stands still between sleeps: each sleep ends as
// the frame pacer says (at the real time it woke, or, for a frame that showed
// nothing, put off together with the next one), and then the input that came
// meanwhile is let through. The game thus sees time and input only between
// frames, and the recording of every frame's length and every input event
// replays headless to the same game.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include <SDL.h>

#include "platform/play/recording.h"
#include "platform/sdl/direct_screen.h"
#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/input_gate.h"
#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/sound_player.h"
#include "runtime/host.h"
#include "sprite/viewport.h"

namespace tarnby {

class SdlHost : public Host {
public:
    // `wake` wakes the window thread for a presented rectangle; the input
    // comes through `gate`, and frames and input go into `recording`.
    SdlHost(Viewport& game, PaintHandoff& handoff, std::function<void()> wake, InputGate& gate, Recording& recording);

    uint32_t tickCount() override;
    void sleep(int32_t milliseconds) override;
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override;
    void playSound(const char* name) override;

    // Sound goes to this player (none: silent).
    void setSound(SoundPlayer* player) { m_sound = player; }
    // Small rectangles go to the screen this way when it can take them (none:
    // the window thread shows every rectangle).
    void setDirectScreen(DirectScreen* screen) { m_direct = screen; }
    // Window thread: the game should take this logical size. The game thread
    // hands it to the game at its next call, so the two halves never tear.
    void requestSize(int32_t width, int32_t height);
    // Window thread: something came for the game (input, a new size, the
    // end): a frame put off because it showed nothing ends now.
    void nudge() { m_pacer.nudge(); }
    // How many times the game thread has blocked in its sleeps so far.
    uint64_t gameBlocks() const { return m_pacer.blocks(); }

private:
    void applySize();

    Viewport& m_game;
    PaintHandoff& m_handoff;
    std::function<void()> m_wake;
    InputGate& m_gate;
    Recording& m_recording;
    FramePacer m_pacer;  // the game's clock: ms from the start, moved by sleeping
    SoundPlayer* m_sound = nullptr;
    DirectScreen* m_direct = nullptr;
    bool m_wakeOwed = false;                    // rectangles handed over that the window was not woken for
    std::atomic<uint32_t> m_pendingSize { 0 };  // width << 16 | height; 0 for none
};

}  // namespace tarnby
