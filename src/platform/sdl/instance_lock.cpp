// The single-instance lock and the wake-up socket.
#include "platform/sdl/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace tarnby {

namespace {

// A socket address for the path; false when the path is too long for one.
bool socketAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

InstanceLock::~InstanceLock() { release(); }

std::string InstanceLock::folder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return std::string(runtime) + "/";
    }
    return "/tmp/";
}

bool InstanceLock::acquire()
{
    // /tmp is shared by every user: the names carry the user's id.
    const std::string base = folder() + "tarnby-golf-" + std::to_string(getuid());
    m_lockPath = base + ".lock";
    m_socketPath = base + ".sock";
    m_lockFd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) {
        // No place for a lock: run anyway rather than refuse to start.
        return true;
    }
    if (flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        return false;
    }
    // A socket left by a copy that died is stale: the lock says nobody listens.
    unlink(m_socketPath.c_str());
    sockaddr_un address;
    if (socketAddress(m_socketPath, address)) {
        m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_listenFd >= 0
            && (bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
                || listen(m_listenFd, 4) != 0)) {
            ::close(m_listenFd);
            m_listenFd = -1;
        }
    }
    return true;
}

bool InstanceLock::wakeRunning() const
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, address)) {
        return false;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool told = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                      && write(fd, "raise\n", 6) == 6;
    ::close(fd);
    return told;
}

bool InstanceLock::poll()
{
    if (m_listenFd < 0) {
        return false;
    }
    const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

void InstanceLock::release()
{
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        unlink(m_socketPath.c_str());
    }
    if (m_lockFd >= 0) {
        unlink(m_lockPath.c_str());
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

}  // namespace tarnby
