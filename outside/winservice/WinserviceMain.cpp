// orvel_winservice.exe, the sibling service program, as far as the
// installer runs it: "/UNINSTALL /SILENT" (in any case, /SILENT may be left
// out) uninstalls the service program and ends with exit code 0; anything
// else is refused with exit code 1. It shows nothing; every run is recorded
// (RunRecord.h).
#include "RunRecord.h"

#include <cstdio>
#include <string>
#include <strings.h>
#include <vector>

int main(int argc, char **argv)
{
    outside::RecordRun("orvel_winservice.exe", argc, argv);
    const std::vector<std::string> arguments = outside::ProgramArguments(argc, argv);
    const bool uninstall = !arguments.empty() && strcasecmp(arguments[0].c_str(), "/UNINSTALL") == 0;
    const bool silent =
        arguments.size() == 1 || (arguments.size() == 2 && strcasecmp(arguments[1].c_str(), "/SILENT") == 0);
    if (!uninstall || !silent) {
        fprintf(stderr, "usage: orvel_winservice.exe /UNINSTALL [/SILENT]\n");
        return 1;
    }
    return 0;
}
