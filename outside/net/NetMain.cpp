// NET: Windows' own command for services, as far as "NET STOP <service>"
// goes. A service is installed when HKEY_LOCAL_MACHINE
// "SYSTEM\CurrentControlSet\Services\<service>" exists; stopping it
// succeeds (exit code 0), while a service that is not installed fails as
// NET fails (exit code 2). Every run is recorded (RunRecord.h).
#include "RunRecord.h"

#include "winreg.h"

#include <cstdio>
#include <string>
#include <strings.h>

int main(int argc, char **argv)
{
    outside::RecordRun("NET", argc, argv);
    if (argc != 3 || strcasecmp(argv[1], "STOP") != 0) {
        printf("The syntax of this command is:\n\nNET STOP\nservice\n\n");
        return 1;
    }
    const std::string service = argv[2];
    HKEY key = nullptr;
    const std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + service;
    if (service.empty() || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        printf("The service name is invalid.\n\nMore help is available by typing NET HELPMSG 2185.\n\n");
        return 2;
    }
    RegCloseKey(key);
    printf("The %s service is stopping.\nThe %s service was stopped successfully.\n\n", service.c_str(),
           service.c_str());
    return 0;
}
