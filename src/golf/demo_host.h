// The host the game's demo plays on: the machine's own host underneath, with
// the computer golfer looking at the demo's game before every frame and its
// key presses reaching the demo as the frame ends. A press of the player's
// (seen by the real game) ends the demo at the next frame.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "golf/computer_golfer.h"
#include "runtime/host.h"

namespace tarnby {

class Golf;

class DemoHost : public Host {
public:
    // Frames the golfer waits before each decision, so that a watcher can follow.
    static constexpr int32_t kPace = 12;

    // `inner` is the host installed now; `demo` the game the golfer plays;
    // `ended` tells whether the player wants the menu back.
    DemoHost(Host& inner, Golf& demo, std::function<bool()> ended);

    uint32_t tickCount() override { return m_inner.tickCount(); }
    // The golfer acts, the inner host sleeps, then the golfer's keys arrive.
    void sleep(int32_t milliseconds) override;
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        m_inner.present(pixels, stride, x, y, w, h);
    }
    void playSound(const char* name) override { m_inner.playSound(name); }

private:
    Host& m_inner;
    Golf& m_demo;
    std::function<bool()> m_ended;
    ComputerGolfer m_golfer;
    std::vector<int32_t> m_keys;
};

}  // namespace tarnby
