#include "FileAttributes.h"

#include <cstdint>

#include "fileapi.h"

namespace platform {

bool IsReadOnly(const struct stat &info) { return !S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR); }

DWORD AttributesOf(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return IsReadOnly(info) ? FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_ARCHIVE;
}

FILETIME FileTimeOf(const struct timespec &at)
{
    // 100-nanosecond steps from 1601 to the Unix epoch.
    const int64_t kEpochSteps = 116444736000000000LL;
    const uint64_t steps =
        static_cast<uint64_t>(kEpochSteps + static_cast<int64_t>(at.tv_sec) * 10000000LL + at.tv_nsec / 100);
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(steps);
    time.dwHighDateTime = static_cast<DWORD>(steps >> 32);
    return time;
}

} // namespace platform
