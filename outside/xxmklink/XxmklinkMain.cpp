// XXMKLINK.EXE "link file" "target": the shortcut tool. Writes the link
// file anew, a small profile file whose [Shortcut] section names the
// target:
//
//   [Shortcut]
//   Target=C:\Program Files\...\orvel_scanner.exe
//
// Further arguments are taken and passed over. Started through an unquoted
// path with blanks (C:\Program Files\...\XXMKLINK.EXE "link" "target"), it
// takes its arguments after the words of its own path. The target need not
// exist.
// Exit code 0 when the link file was written, 1 when it could not be (its
// folder missing, say), 2 without the two arguments. Every run is recorded
// (RunRecord.h).
#include "RunRecord.h"

#include "windows.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    outside::RecordRun("XXMKLINK.EXE", argc, argv);
    const std::vector<std::string> arguments = outside::ProgramArguments(argc, argv);
    if (arguments.size() < 2 || arguments[0].empty() || arguments[1].empty()) {
        fprintf(stderr, "usage: XXMKLINK.EXE \"link file\" \"target\"\n");
        return 2;
    }
    const std::string text = std::string("[Shortcut]\r\nTarget=") + arguments[1] + "\r\n";
    HANDLE link = CreateFileA(arguments[0].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    const bool written = link != INVALID_HANDLE_VALUE &&
                         WriteFile(link, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) &&
                         wrote == text.size();
    if (link != INVALID_HANDLE_VALUE)
        CloseHandle(link);
    if (!written) {
        fprintf(stderr, "XXMKLINK.EXE: cannot write %s (error %lu)\n", arguments[0].c_str(),
                static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    return 0;
}
