#include "Folders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

bool IsDriveLetter(char c) { return isalpha(static_cast<unsigned char>(c)) != 0; }

// Whether a Windows path can carry the name as one component.
bool FitsWindowsName(const std::string &name)
{
    for (unsigned char c : name)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return true;
}

std::string Lower(const std::string &text)
{
    std::string lower = text;
    for (char &c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace

bool DirectoryExists(const AnsiString &Name)
{
    if (Name.IsEmpty())
        return false;
    const DWORD attributes = GetFileAttributesA(Name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const AnsiString &Dir)
{
    char current[MAX_PATH + 1] = "C:\\";
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    if (length == 0 || length >= sizeof current)
        strcpy(current, "C:\\");
    const std::vector<AnsiString> levels = FolderLevels(ExpandFolderName(Dir, current));
    if (levels.empty() || !DirectoryExists(levels[0]))
        return false;
    AnsiString path = levels[0];
    for (size_t i = 1; i < levels.size(); ++i) {
        path += (i > 1 ? "\\" : "") + levels[i];
        if (!DirectoryExists(path) && !CreateDirectoryA(path.c_str(), nullptr) && !DirectoryExists(path))
            return false;
    }
    return true;
}

AnsiString ExpandFolderName(const AnsiString &Name, const AnsiString &Base)
{
    std::string name = Name.Trim().str();
    std::replace(name.begin(), name.end(), '/', '\\');
    if (name.empty() || name.compare(0, 2, "\\\\") == 0)
        return AnsiString();

    std::vector<std::string> parts;
    char drive = 0;
    std::string rest = name;
    const std::string base = Base.str();
    const char baseDrive = base.size() >= 2 && IsDriveLetter(base[0]) && base[1] == ':' ? base[0] : 'C';
    auto push = [&parts](const std::string &path) {
        size_t start = 0;
        while (start <= path.size()) {
            size_t end = path.find('\\', start);
            if (end == std::string::npos)
                end = path.size();
            const std::string part = path.substr(start, end - start);
            if (part == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = end + 1;
        }
    };

    if (name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == ':') {
        drive = name[0];
        rest = name.substr(2);
        // "X:name" goes on from Base when Base is on X:, else from X:'s root.
        if (!rest.empty() && rest[0] != '\\' && toupper(static_cast<unsigned char>(drive)) ==
                                                     toupper(static_cast<unsigned char>(baseDrive)))
            push(base.size() > 2 ? base.substr(2) : std::string());
    } else {
        drive = baseDrive;
        if (rest[0] != '\\')
            push(base.size() > 2 ? base.substr(2) : std::string());
    }
    push(rest);

    std::string path(1, static_cast<char>(toupper(static_cast<unsigned char>(drive))));
    path += ":";
    for (const std::string &part : parts)
        path += "\\" + part;
    if (parts.empty())
        path += "\\";
    return AnsiString(path);
}

std::vector<char> DriveLetters()
{
    std::vector<char> letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        struct stat info;
        if (stat(machine::DriveFolder(letter).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            letters.push_back(letter);
    }
    return letters;
}

std::vector<AnsiString> SubfolderNames(const AnsiString &Folder)
{
    std::vector<std::string> names;
    const std::string folder = machine::UnixPath(Folder.c_str());
    DIR *dir = folder.empty() ? nullptr : opendir(folder.c_str());
    if (dir) {
        while (dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.empty() || name[0] == '.' || !FitsWindowsName(name))
                continue;
            struct stat info;
            if (stat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return std::vector<AnsiString>(names.begin(), names.end());
}

std::vector<AnsiString> FolderLevels(const AnsiString &Folder)
{
    std::vector<AnsiString> levels;
    const std::string path = Folder.str();
    if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\')
        return levels;
    levels.push_back(AnsiString(path.substr(0, 3)));
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            levels.push_back(AnsiString(path.substr(start, end - start)));
        start = end + 1;
    }
    return levels;
}
