#include "FileAttributes.h"

#include "fileapi.h"

namespace platform {

bool IsReadOnly(const struct stat &info) { return !S_ISDIR(info.st_mode) && !(info.st_mode & S_IWUSR); }

DWORD AttributesOf(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return IsReadOnly(info) ? FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_ARCHIVE;
}

} // namespace platform
