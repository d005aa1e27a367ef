// One copy of the game at a time: the first start holds a lock file and
// listens on a socket beside it (in $XDG_RUNTIME_DIR, else /tmp); a second
// start finds the lock held, asks the first to come to the front, and ends.
// The lock dies with its process, so a crashed game never blocks the next.
#pragma once

#include <string>

namespace tarnby {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // The folder of the lock and the socket.
    static std::string folder();

    // True when this is the only running copy (it then listens for others).
    bool acquire();
    // Asks the running copy to come to the front; true when it was told.
    bool wakeRunning() const;
    // True once for each later start that asked this copy to come forward.
    bool poll();
    // The socket later starts knock on (-1 when there is none): readable when one did.
    int listenFd() const { return m_listenFd; }
    // Lets go of the lock and removes the socket and the lock file.
    void release();

private:
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
};

}  // namespace tarnby
