#include "DesktopHandOff.h"

#include <cstdlib>
#include <spawn.h>

extern char **environ;

namespace standin {

bool HasDesktop()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char *value = getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

bool OpenOnDesktop(const std::string &unixPath)
{
    const char *argv[] = {"xdg-open", unixPath.c_str(), nullptr};
    pid_t pid = -1;
    // Not waited for: this program ends at once, and the opener, left to
    // itself, is reaped by the system.
    return posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char **>(argv), environ) == 0;
}

} // namespace standin
