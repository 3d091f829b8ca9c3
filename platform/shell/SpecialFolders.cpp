// SHGetSpecialFolderPathA: the shell's special folders in the machine root.
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "shlobj.h"

namespace {

const char *FolderOf(int csidl)
{
    switch (csidl) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return machine::kDesktopDir;
    case CSIDL_PERSONAL: return machine::kDocumentsDir;
    case CSIDL_WINDOWS: return machine::kWindowsDir;
    case CSIDL_SYSTEM: return machine::kSystemDir;
    case CSIDL_PROGRAM_FILES: return machine::kProgramFilesDir;
    case CSIDL_PROFILE: return machine::kUserProfileDir;
    default: return nullptr;
    }
}

bool IsFolder(const std::string &unixPath)
{
    struct stat info;
    return stat(unixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes the folder and its missing parents.
bool MakeFolders(const std::string &unixPath)
{
    for (size_t slash = unixPath.find('/', 1);; slash = unixPath.find('/', slash + 1)) {
        const std::string partial = unixPath.substr(0, slash);
        if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return IsFolder(unixPath);
}

} // namespace

BOOL WINAPI SHGetSpecialFolderPathA(HWND, LPSTR pszPath, int csidl, BOOL fCreate)
{
    if (!pszPath)
        return FALSE;
    pszPath[0] = '\0';
    const char *folder = FolderOf(csidl & ~CSIDL_FLAG_CREATE);
    if (!folder || strlen(folder) >= MAX_PATH)
        return FALSE;
    machine::RootPath();
    const std::string unixPath = machine::UnixPath(folder);
    if (!IsFolder(unixPath) && !((fCreate || (csidl & CSIDL_FLAG_CREATE)) && MakeFolders(unixPath)))
        return FALSE;
    strcpy(pszPath, folder);
    return TRUE;
}
