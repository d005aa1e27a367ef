// The current host.
#include "runtime/host.h"

namespace tarnby {

namespace {
VirtualHost g_virtualHost;
Host* g_host = &g_virtualHost;
}  // namespace

Host& host() { return *g_host; }

void setHost(Host* newHost) { g_host = newHost ? newHost : &g_virtualHost; }

}  // namespace tarnby
