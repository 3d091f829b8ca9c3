// CreateProcessA: a Windows command line started as a child process
// (machine/Programs.h), with handles on it.
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcesses.h"
#include "FileObject.h"
#include "Handles.h"
#include "PathResolution.h"
#include "machine/Programs.h"
#include "psapi/ProcessObject.h"
#include "windows.h"

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// "NAME=value" strings of an environment block, up to its empty string.
std::vector<std::string> EnvironmentBlock(const char *block)
{
    std::vector<std::string> entries;
    for (const char *at = block; *at; at += strlen(at) + 1)
        entries.push_back(at);
    return entries;
}

// The descriptor behind a standard handle that is a file of ours; -1 for
// anything else.
int DescriptorOf(HANDLE handle)
{
    auto file = platform::LookupHandleAs<platform::FileObject>(handle);
    return file ? file->Descriptor() : -1;
}

} // namespace

BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
                           LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation)
{
    if (!lpStartupInfo || !lpProcessInformation || (!lpApplicationName && !lpCommandLine))
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwCreationFlags & (CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT))
        return Fail(ERROR_NOT_SUPPORTED);

    machine::Program program;
    const std::string commandLine = lpCommandLine ? lpCommandLine : "";
    const DWORD found = lpApplicationName ? machine::FindProgramFile(lpApplicationName, commandLine, &program)
                                          : machine::FindProgram(commandLine, &program);
    if (found)
        return Fail(found);

    machine::StartOptions options;
    if (lpCurrentDirectory) {
        if (!platform::MapWindowsName(lpCurrentDirectory, &options.folder))
            return FALSE;
        struct stat info;
        if (stat(options.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return Fail(ERROR_DIRECTORY);
    }
    std::vector<std::string> environment;
    if (lpEnvironment) {
        environment = EnvironmentBlock(static_cast<const char *>(lpEnvironment));
        options.environment = &environment;
    }
    if ((lpStartupInfo->dwFlags & STARTF_USESTDHANDLES) && bInheritHandles) {
        options.input = DescriptorOf(lpStartupInfo->hStdInput);
        options.output = DescriptorOf(lpStartupInfo->hStdOutput);
        options.errors = DescriptorOf(lpStartupInfo->hStdError);
    }

    DWORD error = 0;
    const pid_t pid = machine::StartProgram(program, options, &error);
    if (pid < 0)
        return Fail(error);
    std::shared_ptr<platform::ChildRecord> child = platform::AdoptChild(pid, &error);
    if (!child)
        return Fail(error);

    // The process and its main thread: both are signalled when it ends.
    lpProcessInformation->hProcess =
        platform::InsertHandle(std::make_shared<platform::ProcessObject>(child, PROCESS_ALL_ACCESS));
    lpProcessInformation->hThread =
        platform::InsertHandle(std::make_shared<platform::ProcessObject>(child, SYNCHRONIZE));
    lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
    lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}
