// The wizard's two services towards the outside: whether the print spooler
// has the port monitor registered, and running an outside program to its
// end.
#include <cstring>

#include "windows.h"
#include "winspool.h"

#include "Main2.h"

namespace {

constexpr const char *kMonitorName = "Scanner-Printer Virtual Port";
constexpr DWORD kMonitorListSize = 4096;

} // namespace

bool TForm2::IsMonitorInstalled()
{
    // A list that does not fit counts as no monitor: the call is not repeated.
    union {
        BYTE bytes[kMonitorListSize];
        MONITOR_INFO_1A first;
    } list;
    memset(&list, 0, sizeof list);
    DWORD needed = 0;
    DWORD returned = 0;
    if (!EnumMonitorsA(nullptr, 1, list.bytes, sizeof list.bytes, &needed, &returned))
        return false;
    const MONITOR_INFO_1A *monitors = &list.first;
    for (DWORD i = 0; i < returned; ++i) {
        if (monitors[i].pName && lstrcmpA(monitors[i].pName, kMonitorName) == 0)
            return true;
    }
    return false;
}

void TForm2::RunAndWait(AnsiString commandLine)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    // The command line may be changed by the call, as Windows allows.
    std::string line = commandLine.str();
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                   &process);
    // A program that could not be started leaves empty handles: the wait
    // returns at once and nothing is reported.
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}
