#include "Oem_inf_copies.h"

#include <cctype>
#include <cstring>

#include "windows.h"

#include "Install_names.h"

namespace oem_inf_copies {
namespace {

// INF files of a driver package are small; anything larger is no copy of ours.
constexpr DWORD kLargestInf = 1 << 20;

// "oem", one or more digits, ".inf", in any case.
bool IsOemName(const std::string &name)
{
    if (name.size() < 8 || name.size() > 16)
        return false;
    auto same = [](const std::string &text, const char *lower) {
        for (size_t i = 0; i < text.size(); ++i)
            if (tolower(static_cast<unsigned char>(text[i])) != lower[i])
                return false;
        return true;
    };
    const std::string digits = name.substr(3, name.size() - 7);
    for (char c : digits)
        if (!isdigit(static_cast<unsigned char>(c)))
            return false;
    return same(name.substr(0, 3), "oem") && same(name.substr(name.size() - 4), ".inf");
}

// An existing regular file: which file it is and its bytes; false when it
// cannot be opened or read, or is too large to be an INF.
struct FileSeen {
    BY_HANDLE_FILE_INFORMATION identity;
    std::string bytes;
};

bool Look(const std::string &path, FileSeen *seen)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = GetFileInformationByHandle(file, &seen->identity) &&
              !(seen->identity.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && seen->identity.nFileSizeHigh == 0 &&
              seen->identity.nFileSizeLow <= kLargestInf;
    if (ok) {
        seen->bytes.assign(seen->identity.nFileSizeLow, '\0');
        DWORD read = 0;
        ok = ReadFile(file, &seen->bytes[0], seen->identity.nFileSizeLow, &read, nullptr) &&
             read == seen->identity.nFileSizeLow;
    }
    CloseHandle(file);
    return ok;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace

std::string StoreCopyOf(const std::string &recorded, const std::string &driverFolder)
{
    // Only the last component names the copy; the store decides the folder.
    const size_t separator = recorded.find_last_of("\\/");
    const std::string name = separator == std::string::npos ? recorded : recorded.substr(separator + 1);
    if (!IsOemName(name))
        return std::string();
    char windows[MAX_PATH];
    memset(windows, 0, sizeof windows);
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return std::string();
    const std::string storeCopy = std::string(windows) + "\\inf\\" + name;

    // The record must name the very file that the store holds under that
    // name, whatever drive, case or link it took to get there.
    FileSeen named, stored;
    if (!Look(recorded, &named) || !Look(storeCopy, &stored) || !SameFile(named.identity, stored.identity))
        return std::string();
    for (const char *inf : {install_names::kBusInf, install_names::kPortInf}) {
        FileSeen ours;
        if (Look(driverFolder + inf, &ours) && ours.bytes == stored.bytes)
            return storeCopy;
    }
    return std::string();
}

} // namespace oem_inf_copies
