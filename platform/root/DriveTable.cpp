// The machine's drives and the drive table that gives their types.
#include "machine/Drives.h"

#include "machine/MachineRoot.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace machine {
namespace {

struct TypeWord {
    UINT type;
    const char *word;
};

const TypeWord kTypeWords[] = {
    {DRIVE_FIXED, "fixed"},
    {DRIVE_REMOVABLE, "removable"},
    {DRIVE_CDROM, "cdrom"},
    {DRIVE_REMOTE, "network"},
};

const char *WordOf(UINT type)
{
    for (const TypeWord &entry : kTypeWords)
        if (entry.type == type)
            return entry.word;
    return nullptr;
}

std::string TableFile() { return SettingsFolder() + "/" + kDriveTableSetting; }

char Upper(char letter) { return static_cast<char>(toupper(static_cast<unsigned char>(letter))); }

// The drive letter a table line is about ("D:" first on it), or 0 for a
// comment, a blank line and anything else.
char LineLetter(const std::string &line, std::string *rest)
{
    std::istringstream in(line);
    std::string drive;
    if (!(in >> drive) || drive.size() != 2 || drive[1] != ':' || !isalpha(static_cast<unsigned char>(drive[0])))
        return 0;
    std::getline(in, *rest);
    return Upper(drive[0]);
}

std::vector<std::string> TableLines()
{
    std::vector<std::string> lines;
    std::ifstream in(TableFile());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Writes the table with the line of `letter` replaced by `line` (or taken
// out when `line` is empty), through a new file renamed over the old.
bool SetTableLine(char letter, const std::string &line)
{
    std::string text;
    bool placed = false;
    for (const std::string &old : TableLines()) {
        std::string rest;
        if (LineLetter(old, &rest) == letter) {
            if (!placed && !line.empty())
                text += line + "\n";
            placed = true;
            continue;
        }
        text += old + "\n";
    }
    if (!placed && !line.empty())
        text += line + "\n";
    const std::string fresh = TableFile() + ".new";
    {
        std::ofstream out(fresh, std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    return rename(fresh.c_str(), TableFile().c_str()) == 0;
}

// Only a drive other than C: and Z: whose place is free or a link may be
// mounted or taken away.
bool Replaceable(char letter)
{
    if (!isalpha(static_cast<unsigned char>(letter)) || Upper(letter) == 'C' || Upper(letter) == 'Z')
        return false;
    struct stat info;
    return lstat(DriveFolder(letter).c_str(), &info) != 0 || S_ISLNK(info.st_mode);
}

} // namespace

bool MountDrive(char letter, const std::string &folder, UINT type)
{
    struct stat info;
    const char *word = WordOf(type);
    if (!word || !Replaceable(letter) || stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    char absolute[4096];
    std::string target = folder;
    if (realpath(folder.c_str(), absolute))
        target = absolute;
    // The new link goes beside the old one and is renamed over it.
    const std::string place = DriveFolder(letter);
    const std::string fresh = place + ".new";
    unlink(fresh.c_str());
    if (symlink(target.c_str(), fresh.c_str()) != 0)
        return false;
    if (rename(fresh.c_str(), place.c_str()) != 0) {
        unlink(fresh.c_str());
        return false;
    }
    const std::string line = type == DRIVE_FIXED ? std::string() : std::string(1, Upper(letter)) + ": " + word;
    return SetTableLine(Upper(letter), line);
}

bool UnmountDrive(char letter)
{
    if (!Replaceable(letter))
        return false;
    const std::string place = DriveFolder(letter);
    if (unlink(place.c_str()) != 0 && errno != ENOENT)
        return false;
    return SetTableLine(Upper(letter), std::string());
}

UINT DriveType(char letter)
{
    struct stat info;
    if (!isalpha(static_cast<unsigned char>(letter)) || stat(DriveFolder(letter).c_str(), &info) != 0 ||
        !S_ISDIR(info.st_mode))
        return DRIVE_NO_ROOT_DIR;
    for (const std::string &line : TableLines()) {
        std::string rest;
        if (LineLetter(line, &rest) != Upper(letter))
            continue;
        std::istringstream in(rest);
        std::string word;
        in >> word;
        for (char &c : word)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        for (const TypeWord &entry : kTypeWords)
            if (word == entry.word)
                return entry.type;
        return DRIVE_UNKNOWN;
    }
    return DRIVE_FIXED;
}

} // namespace machine
