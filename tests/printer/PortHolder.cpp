// A program for the printer tests that stands in for another program
// holding the device: with a COM port name it opens that port exclusively
// (as the scanner program does while it scans) and keeps it open. It prints
// one line, "held COMn", "running" (no port asked for) or "failed COMn",
// then runs until its standard input closes. The tests copy it under the
// module name they need.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "windows.h"

int main(int argc, char **argv)
{
    HANDLE port = INVALID_HANDLE_VALUE;
    if (argc > 1) {
        std::string path = std::string("\\\\.\\") + argv[1];
        port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (port == INVALID_HANDLE_VALUE) {
            printf("failed %s\n", argv[1]);
            fflush(stdout);
            return 2;
        }
        printf("held %s\n", argv[1]);
    } else {
        printf("running\n");
    }
    fflush(stdout);

    char piece[64];
    while (read(STDIN_FILENO, piece, sizeof piece) > 0) {
    }
    if (port != INVALID_HANDLE_VALUE)
        CloseHandle(port);
    return 0;
}
