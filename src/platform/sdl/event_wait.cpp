// The window thread's wait for input, frames and timed work.
#include "platform/sdl/event_wait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <SDL_syswm.h>

namespace tarnby {

EventWait::~EventWait()
{
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
    }
}

void EventWait::attach(SDL_Window* window, uint32_t wakeEvent)
{
    m_wakeEvent = wakeEvent;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11
        && info.info.x11.display != nullptr) {
        m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wakeFd >= 0) {
            m_display = info.info.x11.display;
            m_displayFd = ConnectionNumber(info.info.x11.display);
        }
    }
#else
    (void)window;
#endif
    m_attached.store(true, std::memory_order_release);
}

void EventWait::wake()
{
    if (!m_attached.load(std::memory_order_acquire)) {
        return;
    }
    if (m_wakeFd >= 0) {
        const uint64_t one = 1;
        // A full counter still wakes the window: nothing is lost when this fails.
        [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
        return;
    }
    SDL_Event event {};
    event.type = m_wakeEvent;
    SDL_PushEvent(&event);
}

bool EventWait::wait(int timeoutMs, int extraFd)
{
    ++m_waits;
    int timeout = std::max(timeoutMs, 0);
    if (SDL_NumJoysticks() > 0) {
        timeout = std::min(timeout, kGamepadLookMs);
    }
    if (!direct()) {
        // SDL's own wait leaves the event it finds in the queue.
        SDL_WaitEventTimeout(nullptr, timeout);
        if (extraFd >= 0) {
            pollfd knock { extraFd, POLLIN, 0 };
            return ::poll(&knock, 1, 0) > 0 && (knock.revents & POLLIN) != 0;
        }
        return false;
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    // Events the display library has already read (while the window was
    // shown, say) are not on the connection any more: take them in now.
    if (QLength(static_cast<Display*>(m_display)) > 0) {
        SDL_PumpEvents();
        return false;
    }
#endif
    if (static_cast<int32_t>(m_inputUntil - SDL_GetTicks()) > 0) {
        timeout = std::min(timeout, kAfterInputLookMs);
    }
    pollfd fds[3] = { { m_displayFd, POLLIN, 0 }, { m_wakeFd, POLLIN, 0 }, { extraFd, POLLIN, 0 } };
    const int ready = ::poll(fds, extraFd >= 0 ? 3 : 2, timeout);
    if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t taken = read(m_wakeFd, &count, sizeof count);
    }
    const bool input = ready > 0 && fds[0].revents != 0;
    if (input) {
        m_inputUntil = SDL_GetTicks() + kAfterInputMs;
    }
    // A timeout also takes the events in: SDL looks for gamepads coming and
    // going, and for signals, only when asked to.
    if (input || ready == 0 || (ready < 0 && errno == EINTR)) {
        SDL_PumpEvents();
    }
    return extraFd >= 0 && ready > 0 && (fds[2].revents & POLLIN) != 0;
}

}  // namespace tarnby
