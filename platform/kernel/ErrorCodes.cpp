#include "ErrorCodes.h"

#include <cerrno>
#include <sys/stat.h>

#include "winbase.h"
#include "winerror.h"

namespace platform {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EBUSY:
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
    case ELOOP: return ERROR_INVALID_NAME;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ENOTSUP: return ERROR_NOT_SUPPORTED;
    default: return ERROR_GEN_FAILURE;
    }
}

DWORD MissingPathError(const std::string &unixPath)
{
    std::string::size_type slash = unixPath.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : unixPath.substr(0, slash);
    if (folder.empty())
        folder = "/";
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

DWORD SetLastErrorForPath(int error, const std::string &unixPath)
{
    DWORD code = error == ENOENT ? MissingPathError(unixPath) : ErrorFromErrno(error);
    SetLastError(code);
    return code;
}

} // namespace platform
