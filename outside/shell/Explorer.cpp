// explorer.exe of the machine: "/select,<path>" shows a file in its folder,
// "/e,<folder>" explores a folder, a plain folder opens it. Each request is
// recorded in the machine root's explorer log and handed to the desktop's
// file manager where there is a desktop.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <string>

#include "DesktopHandOff.h"
#include "machine/Paths.h"
#include "machine/Shell.h"
#include "windows.h"

namespace {

std::string Trimmed(const std::string &text)
{
    size_t start = 0, end = text.size();
    while (start < end && isspace(static_cast<unsigned char>(text[start])))
        ++start;
    while (end > start && isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(start, end - start);
}

// A path as Explorer takes it: blanks around it and quotes dropped.
std::string PathOf(const std::string &text)
{
    std::string path;
    for (char c : Trimmed(text))
        if (c != '"')
            path += c;
    return path;
}

bool StartsWithSwitch(const std::string &text, const char *name)
{
    const std::string wanted = std::string(name) + ",";
    if (text.size() < wanted.size())
        return false;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (tolower(static_cast<unsigned char>(text[i])) != wanted[i])
            return false;
    return true;
}

void Record(const std::string &action, const std::string &path)
{
    const std::string log = machine::ExplorerLog();
    mkdir(log.substr(0, log.rfind('/')).c_str(), 0755);
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const std::string line = action + "\t" + path + "\n";
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    const std::string line = Trimmed(lpCmdLine);
    std::string action = "open", path;
    if (StartsWithSwitch(line, "/select")) {
        action = "select";
        path = PathOf(line.substr(8));
    } else if (StartsWithSwitch(line, "/e")) {
        action = "explore";
        path = PathOf(line.substr(3));
    } else {
        path = PathOf(line);
    }
    Record(action, path);
    if (standin::HasDesktop() && !path.empty()) {
        std::string shown = machine::UnixPath(path.c_str());
        if (action == "select")
            shown = shown.substr(0, shown.rfind('/') > 0 ? shown.rfind('/') : 1);
        standin::OpenOnDesktop(shown);
    }
    return 0;
}
