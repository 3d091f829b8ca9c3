// rundll32.exe: runs an entry of a library, "rundll32 <library>,<entry>
// <arguments>". Of the libraries only printui.dll's PrintUIEntry is here;
// it gets the command line after the entry's name. The exit code is the
// entry's (0 done, 1 failed), or 1 when the library or entry is unknown.
#include <cctype>
#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "PrintUiEntry.h"
#include "windows.h"
#include "winmain.h"

namespace {

// Library names match as file names do on Windows: without regard to case.
bool SameText(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    std::string target, arguments;
    printui::SplitFirstArgument(lpCmdLine ? lpCmdLine : "", &target, &arguments);
    const size_t comma = target.find(',');
    if (comma == std::string::npos) {
        fprintf(stderr, "rundll32: give <library>,<entry>\n");
        return 1;
    }
    std::string library = target.substr(0, comma);
    library = library.substr(library.find_last_of("\\/:") + 1);
    const std::string entry = target.substr(comma + 1);
    if (!SameText(library, "printui.dll") && !SameText(library, "printui")) {
        fprintf(stderr, "rundll32: cannot load %s\n", library.c_str());
        return 1;
    }
    if (entry != "PrintUIEntry") {
        fprintf(stderr, "rundll32: %s has no entry %s\n", library.c_str(), entry.c_str());
        return 1;
    }
    return printui::PrintUIEntry(arguments);
}
