// Input held until the game's next frame, then delivered and recorded.
#include "platform/sdl/input_gate.h"

namespace tarnby {

void InputGate::takeStylus()
{
    // Movement came before whatever key follows; the mappers store the place
    // just before they press or release, so a place seen here goes right
    // before the key. (0, 0) means none, as in the game.
    const int32_t dx = m_dragX.exchange(0, std::memory_order_acq_rel);
    const int32_t dy = m_dragY.exchange(0, std::memory_order_acq_rel);
    if (dx != 0 || dy != 0) {
        m_events.push_back({ Event::Drag, dx, dy });
    }
    const int32_t x = m_penX.exchange(0, std::memory_order_acq_rel);
    const int32_t y = m_penY.exchange(0, std::memory_order_acq_rel);
    if (x != 0 || y != 0) {
        m_events.push_back({ Event::Pen, x, y });
    }
}

void InputGate::keyDown(int32_t key)
{
    std::lock_guard<std::mutex> hold(m_lock);
    takeStylus();
    m_events.push_back({ Event::Down, key, 0 });
}

void InputGate::keyUp(int32_t key)
{
    std::lock_guard<std::mutex> hold(m_lock);
    takeStylus();
    m_events.push_back({ Event::Up, key, 0 });
}

void InputGate::deliver(Viewport& game, Recording& recording, uint32_t at)
{
    std::vector<Event> events;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        takeStylus();
        events.swap(m_events);
    }
    for (const Event& e : events) {
        switch (e.kind) {
        case Event::Down:
            recording.keyDown(at, e.a);
            game.keyDown(e.a);
            break;
        case Event::Up:
            recording.keyUp(at, e.a);
            game.keyUp(e.a);
            break;
        case Event::Pen:
            recording.pen(at, e.a, e.b);
            game.m_penX.store(e.a, std::memory_order_release);
            game.m_penY.store(e.b, std::memory_order_release);
            break;
        case Event::Drag:
            recording.drag(at, e.a, e.b);
            game.m_dragX.fetch_add(e.a, std::memory_order_acq_rel);
            game.m_dragY.fetch_add(e.b, std::memory_order_acq_rel);
            break;
        }
    }
}

}  // namespace tarnby
