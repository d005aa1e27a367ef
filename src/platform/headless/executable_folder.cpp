// The executable's folder, read from the process's own link on Linux.
#include "platform/headless/executable_folder.h"

#include <unistd.h>

namespace tarnby {

std::string executableFolder()
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return "./";
    }
    buffer[n] = 0;
    std::string path(buffer);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace tarnby
