#include "PendingRenames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "machine/MachineRoot.h"
#include "winbase.h"
#include "winerror.h"
#include "winreg.h"

namespace platform {
namespace {

const char kNtPrefix[] = "\\??\\";

// Held while the value is read and written again, so that operations that
// processes record at the same moment are all kept.
class PendingLock {
public:
    PendingLock()
    {
        const std::string path = machine::RegistryFolder() + "/" + kPendingRenamesValue + ".lock";
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~PendingLock()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    PendingLock(const PendingLock &) = delete;
    PendingLock &operator=(const PendingLock &) = delete;

private:
    int fd_ = -1;
};

// The strings of a REG_MULTI_SZ: NUL-ended strings, then one more NUL.
std::vector<std::string> SplitStrings(std::string data)
{
    std::vector<std::string> strings;
    if (!data.empty() && data.back() == '\0')
        data.pop_back(); // the list's own end
    size_t at = 0;
    while (at < data.size()) {
        size_t nul = data.find('\0', at);
        if (nul == std::string::npos)
            nul = data.size();
        strings.push_back(data.substr(at, nul - at));
        at = nul + 1;
    }
    return strings;
}

std::string JoinStrings(const std::vector<std::string> &strings)
{
    std::string data;
    for (const std::string &text : strings) {
        data += text;
        data += '\0';
    }
    data += '\0';
    return data;
}

std::string WithoutPrefix(const std::string &path)
{
    return path.compare(0, sizeof kNtPrefix - 1, kNtPrefix) == 0 ? path.substr(sizeof kNtPrefix - 1) : path;
}

// The value's strings; an absent value has none.
LONG ReadStrings(HKEY key, std::vector<std::string> *strings)
{
    strings->clear();
    DWORD type = 0, size = 0;
    LONG result = RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    std::string data(size, '\0');
    result = RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type, reinterpret_cast<BYTE *>(&data[0]), &size);
    if (result != ERROR_SUCCESS)
        return result;
    data.resize(size);
    *strings = SplitStrings(data);
    return ERROR_SUCCESS;
}

bool CarryOut(const PendingRename &rename)
{
    if (rename.to.empty()) {
        const DWORD attributes = GetFileAttributesA(rename.from.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return false;
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(rename.from.c_str())
                                                       : DeleteFileA(rename.from.c_str());
    }
    return MoveFileExA(rename.from.c_str(), rename.to.c_str(), rename.replace ? MOVEFILE_REPLACE_EXISTING : 0);
}

} // namespace

LONG RecordPendingRename(const PendingRename &rename)
{
    PendingLock lock;
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    std::vector<std::string> strings;
    result = ReadStrings(key, &strings);
    if (result == ERROR_SUCCESS) {
        if (strings.size() % 2)
            strings.emplace_back(); // a pair cut short: its second string was empty
        strings.push_back(kNtPrefix + rename.from);
        strings.push_back(rename.to.empty() ? std::string()
                                            : (rename.replace ? "!" : "") + std::string(kNtPrefix) + rename.to);
        const std::string data = JoinStrings(strings);
        result = RegSetValueExA(key, kPendingRenamesValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE *>(data.data()),
                                static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
    return result;
}

std::vector<PendingRename> CarryOutPendingRenames()
{
    PendingLock lock;
    std::vector<PendingRename> renames;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return renames;
    std::vector<std::string> strings;
    if (ReadStrings(key, &strings) == ERROR_SUCCESS) {
        for (size_t i = 0; i < strings.size(); i += 2) {
            PendingRename rename;
            rename.from = WithoutPrefix(strings[i]);
            std::string to = i + 1 < strings.size() ? strings[i + 1] : std::string();
            rename.replace = !to.empty() && to[0] == '!';
            rename.to = WithoutPrefix(rename.replace ? to.substr(1) : to);
            if (!rename.from.empty())
                renames.push_back(rename);
        }
        for (PendingRename &rename : renames)
            rename.done = CarryOut(rename);
        RegDeleteValueA(key, kPendingRenamesValue);
    }
    RegCloseKey(key);
    return renames;
}

} // namespace platform
