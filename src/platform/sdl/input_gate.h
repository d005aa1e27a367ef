// The window's input held at the gate until the game's next frame: the input
// mappers write into this stand-in for the game (window thread), and the game
// thread lets everything through in one go as its sleep ends, writing each
// event into the recording with the time the game sees. The game thus meets
// input only between frames, at times on its own clock, and a recording
// replays exactly.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/play/recording.h"
#include "sprite/viewport.h"

namespace tarnby {

class InputGate : public Viewport {
public:
    // Window thread: a key event for the game (the stylus's place, written
    // just before by the mapper, goes with it).
    void keyDown(int32_t key) override;
    void keyUp(int32_t key) override;

    // Game thread: hands everything that came since the last call to `game`
    // in the order it came, and writes it into `recording` at time `at`.
    void deliver(Viewport& game, Recording& recording, uint32_t at);

private:
    struct Event {
        enum Kind { Down, Up, Pen, Drag } kind;
        int32_t a;
        int32_t b;
    };
    // The stylus's place and movement written since the last event.
    void takeStylus();

    std::mutex m_lock;
    std::vector<Event> m_events;
};

}  // namespace tarnby
