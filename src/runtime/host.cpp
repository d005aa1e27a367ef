// The current host, and the bare virtual clock that answers before one is installed.
#include "runtime/host.h"

namespace tarnby {

namespace {

// Time moves only when the program sleeps; nothing is shown or played.
class BareHost : public Host {
public:
    uint32_t tickCount() override { return m_now; }
    void sleep(int32_t milliseconds) override
    {
        if (milliseconds > 0) {
            m_now += static_cast<uint32_t>(milliseconds);
        }
    }
    void present(const uint32_t*, int32_t, int32_t, int32_t, int32_t, int32_t) override {}

private:
    uint32_t m_now = 0;
};

BareHost g_bareHost;
Host* g_host = &g_bareHost;

}  // namespace

Host& host() { return *g_host; }

Host* setHost(Host* newHost)
{
    Host* old = g_host == &g_bareHost ? nullptr : g_host;
    g_host = newHost ? newHost : &g_bareHost;
    return old;
}

}  // namespace tarnby
