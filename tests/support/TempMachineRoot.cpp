#include "TempMachineRoot.h"

#include <ftw.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FileContents.h"
#include "machine/MachineRoot.h"

namespace testsupport {
namespace {

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    remove(path);
    return 0;
}

} // namespace

void RemoveTree(const std::string &path)
{
    if (!path.empty())
        nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

TempFolder::TempFolder(const std::string &stem)
{
    const char *base = std::getenv("TMPDIR");
    const std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + stem + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) != nullptr)
        path_ = name.data();
}

TempFolder::~TempFolder() { RemoveTree(path_); }

TempMachineRoot::TempMachineRoot(const std::string &stem, Layout layout) : folder_(stem)
{
    if (!folder_.Made())
        return;
    environment_.Set(machine::kRootVariable, folder_.Path());
    if (layout == Layout::Now)
        machine::RootPath();
}

TempMachineRoot::~TempMachineRoot() = default;

std::string TempMachineRoot::Scratch(const std::string &name) const
{
    const std::string folder = Path() + "/scratch-" + name;
    mkdir(folder.c_str(), 0755);
    return folder;
}

bool WriteUiLanguage(const std::string &setting)
{
    return WriteText(machine::SettingsFolder() + "/ui-language", setting);
}

bool WriteWindowsFamily(const std::string &setting)
{
    return WriteText(machine::SettingsFolder() + "/" + machine::kWindowsFamilySetting, setting);
}

} // namespace testsupport
