// The demo's host: the computer golfer between the frames of the demo's game.
#include "golf/demo_host.h"

#include "golf/golf.h"

namespace tarnby {

DemoHost::DemoHost(Host& inner, Golf& demo, std::function<bool()> ended)
    : m_inner(inner), m_demo(demo), m_ended(std::move(ended)),
      m_golfer(demo, [this](int32_t key) { m_keys.push_back(key); })
{
    m_golfer.setPace(kPace);
    // The demo picks its next hole itself.
    m_golfer.setContinueAfterHole(false);
}

void DemoHost::sleep(int32_t milliseconds)
{
    if (m_demo.isRunning()) {
        m_golfer.act();
    }
    m_inner.sleep(milliseconds);
    // Only the game thread writes the demo's key queue: the window's keys go
    // to the real game.
    for (int32_t key : m_keys) {
        m_demo.Viewport::keyDown(key);
        m_demo.Viewport::keyUp(key);
    }
    m_keys.clear();
    if (m_ended()) {
        m_demo.stop();
    }
}

}  // namespace tarnby
