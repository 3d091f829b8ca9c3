#include "PlaceRundll32.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "machine/Paths.h"
#include "windows.h"

namespace printui {

bool PlaceRundll32()
{
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        return false;
    const std::string link = machine::UnixPath((std::string(system) + "\\rundll32.exe").c_str());
    const std::string fresh = link + ".new";
    unlink(fresh.c_str());
    if (symlink(ARV_RUNDLL32_PROGRAM, fresh.c_str()) != 0)
        return false;
    if (rename(fresh.c_str(), link.c_str()) != 0) {
        unlink(fresh.c_str());
        return false;
    }
    return true;
}

} // namespace printui
