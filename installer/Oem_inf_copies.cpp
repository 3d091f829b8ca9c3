#include "Oem_inf_copies.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>

#include "windows.h"

#include "Install_names.h"
#include "Regular_file.h"
#include "machine/Paths.h"

namespace oem_inf_copies {
namespace {

// INF files of a driver package are small; anything larger is no copy of ours.
constexpr off_t kLargestInf = 1 << 20;

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
// is no regular file, cannot be read, or is too large to be an INF. The
// entry itself is opened, never a link's target, and without waiting: a
// FIFO or device put in its place is refused instead of blocking the step.
struct FileSeen {
    struct stat identity;
    std::string bytes;
};

bool Look(const std::string &path, FileSeen *seen)
{
    const std::string place = machine::RealPlace(path.c_str());
    return !place.empty() &&
           regular_file::Read(place, static_cast<size_t>(kLargestInf) + 1, &seen->bytes, &seen->identity) &&
           seen->identity.st_size <= kLargestInf && seen->bytes.size() == static_cast<size_t>(seen->identity.st_size);
}

bool SameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

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
    // name, whatever drive, case or folder link it took to get there.
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
