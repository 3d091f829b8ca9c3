#include "StandardContents.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "machine/MachineRoot.h"
#include "machine/Shell.h"
#include "registry/HiveText.h"
#include "winreg.h"

namespace machine {
namespace {

void SetDefault(registry::Key &root, const std::vector<std::string> &path, const std::string &text)
{
    registry::Key *key = &root;
    for (const std::string &name : path)
        key = key->AddChild(name);
    key->SetValue("", REG_SZ, text + '\0');
}

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

void LinkTree(const std::string &from, const std::string &to)
{
    DIR *dir = opendir(from.c_str());
    if (!dir)
        return;
    mkdir(to.c_str(), 0755);
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string source = from + "/" + name, target = to + "/" + name;
        struct stat info;
        if (stat(source.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode))
            LinkTree(source, target);
        else if (lstat(target.c_str(), &info) != 0)
            symlink(source.c_str(), target.c_str());
    }
    closedir(dir);
}

} // namespace

std::string ExplorerLog() { return RootPath() + "/logs/explorer.log"; }

std::string MachineProgramsFolder()
{
    const char *chosen = getenv(kMachineProgramsVariable);
    if (chosen && *chosen)
        return chosen;
#ifdef ARV_MACHINE_PROGRAMS_DIR
    return ARV_MACHINE_PROGRAMS_DIR;
#else
    return std::string();
#endif
}

std::string StandardMachineHive()
{
    registry::Hive hive;
    const std::vector<std::string> classes{"SOFTWARE", "Classes"};
    auto below = [&](std::vector<std::string> path) {
        path.insert(path.begin(), classes.begin(), classes.end());
        return path;
    };
    SetDefault(hive.root, below({".tif"}), kTiffClass);
    SetDefault(hive.root, below({".tiff"}), kTiffClass);
    SetDefault(hive.root, below({kTiffClass}), "TIFF Image");
    SetDefault(hive.root, below({kTiffClass, "shell", "open", "command"}),
               Quoted(kImageViewerProgram) + " \"%1\"");
    SetDefault(hive.root, below({"Folder", "shell", "open", "command"}), std::string(kExplorerProgram) + " \"%1\"");
    SetDefault(hive.root, below({"Folder", "shell", "explore", "command"}),
               std::string(kExplorerProgram) + " /e,\"%1\"");
    return registry::WriteHive(hive);
}

void LinkMachinePrograms(const std::string &root)
{
    const std::string folder = MachineProgramsFolder();
    if (folder.empty())
        return;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent *entry = readdir(dir)) {
        const std::string letter = entry->d_name;
        if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z')
            LinkTree(folder + "/" + letter, root + "/drives/" + letter);
    }
    closedir(dir);
}

} // namespace machine
