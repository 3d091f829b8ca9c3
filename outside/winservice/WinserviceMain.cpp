// orvel_winservice.exe, the sibling service program, as far as the
// installer runs it: "/UNINSTALL /SILENT" (in any case, /SILENT may be left
// out) uninstalls the service program and ends with exit code 0; anything
// else is refused with exit code 1. It shows nothing; every run is recorded
// (RunRecord.h).
#include "RunRecord.h"

#include <cstdio>
#include <strings.h>

int main(int argc, char **argv)
{
    outside::RecordRun("orvel_winservice.exe", argc, argv);
    const bool uninstall = argc >= 2 && strcasecmp(argv[1], "/UNINSTALL") == 0;
    const bool silent = argc == 2 || (argc == 3 && strcasecmp(argv[2], "/SILENT") == 0);
    if (!uninstall || !silent) {
        fprintf(stderr, "usage: orvel_winservice.exe /UNINSTALL [/SILENT]\n");
        return 1;
    }
    return 0;
}
