// XXMKLINK.EXE "link file" "target": the shortcut tool. Writes the link
// file anew, a small profile file whose [Shortcut] section names the
// target:
//
//   [Shortcut]
//   Target=C:\Program Files\...\orvel_scanner.exe
//
// Further arguments are taken and passed over. The target need not exist.
// Exit code 0 when the link file was written, 1 when it could not be (its
// folder missing, say), 2 without the two arguments. Every run is recorded
// (RunRecord.h).
#include "RunRecord.h"

#include "windows.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    outside::RecordRun("XXMKLINK.EXE", argc, argv);
    if (argc < 3 || !*argv[1] || !*argv[2]) {
        fprintf(stderr, "usage: XXMKLINK.EXE \"link file\" \"target\"\n");
        return 2;
    }
    const std::string text = std::string("[Shortcut]\r\nTarget=") + argv[2] + "\r\n";
    HANDLE link = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    const bool written = link != INVALID_HANDLE_VALUE &&
                         WriteFile(link, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) &&
                         wrote == text.size();
    if (link != INVALID_HANDLE_VALUE)
        CloseHandle(link);
    if (!written) {
        fprintf(stderr, "XXMKLINK.EXE: cannot write %s (error %lu)\n", argv[1],
                static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    return 0;
}
