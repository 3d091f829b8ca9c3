#include "machine/Restart.h"

#include <string>

#include "kernel/LockedProfile.h"
#include "kernel/PathResolution.h"
#include "kernel/PendingRenames.h"
#include "kernel/ProfileFile.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "winbase.h"

namespace machine {
namespace {

// What the NT family does: the operations MoveFileExA recorded.
std::vector<StartOperation> StartNt()
{
    std::vector<StartOperation> operations;
    for (const platform::PendingRename &rename : platform::CarryOutPendingRenames())
        operations.push_back(StartOperation{rename.from, rename.to, rename.done});
    return operations;
}

// What the 95 family does: the [rename] lines of wininit.ini.
std::vector<StartOperation> Start95()
{
    std::vector<StartOperation> operations;
    const std::string windows = kWindowsDir;
    const std::string wininit = windows + "\\wininit.ini";
    if (GetFileAttributesA(wininit.c_str()) == INVALID_FILE_ATTRIBUTES)
        return operations;
    // Held until the file is moved aside: a writer of wininit.ini waits,
    // and then writes a new file rather than one already carried out.
    platform::LockedProfile file(UnixPath(wininit.c_str()), platform::LockedProfile::Mode::Change);
    std::string text;
    if (!file.Open() || !file.Read(&text))
        return operations;
    const platform::ProfileFile profile(text);
    for (const platform::ProfileFile::Entry &entry : profile.Entries("rename")) {
        StartOperation operation;
        operation.from = entry.second;
        if (platform::SameNameIgnoringCase(entry.first, "NUL")) {
            operation.done = DeleteFileA(entry.second.c_str());
        } else {
            operation.to = entry.first;
            if (GetFileAttributesA(entry.second.c_str()) != INVALID_FILE_ATTRIBUTES)
                DeleteFileA(entry.first.c_str());
            operation.done = MoveFileA(entry.second.c_str(), entry.first.c_str());
        }
        operations.push_back(operation);
    }
    const std::string backup = windows + "\\wininit.bak";
    DeleteFileA(backup.c_str());
    MoveFileA(wininit.c_str(), backup.c_str());
    return operations;
}

} // namespace

std::vector<StartOperation> Restart()
{
    return Family() == WindowsFamily::Windows95 ? Start95() : StartNt();
}

} // namespace machine
