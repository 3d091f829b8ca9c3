// ShellExecuteA and ShellExecuteExA: programs run, documents and folders
// opened through their classes.
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

#include "FileClasses.h"
#include "kernel/ChildProcesses.h"
#include "kernel/ErrorCodes.h"
#include "kernel/Handles.h"
#include "kernel/PathResolution.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "psapi/ProcessObject.h"
#include "windows.h"

namespace {

// What ShellExecuteA returns once the program has started.
constexpr int kStarted = 42;

struct Request {
    const char *verb = nullptr;
    const char *file = nullptr;
    const char *parameters = nullptr;
    const char *directory = nullptr;
    const char *className = nullptr; // given by the caller instead of the extension's
    HANDLE *process = nullptr;       // where the caller wants a process handle
};

bool IsFolder(const std::string &unixPath)
{
    struct stat info;
    return stat(unixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// ".tif" of "C:\x\image.TIF"; "" when the last component has none.
std::string ExtensionOf(const std::string &name)
{
    const size_t cut = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (cut != std::string::npos && dot < cut))
        return std::string();
    return name.substr(dot);
}

bool IsVerb(const char *verb, const char *name) { return verb && platform::SameNameIgnoringCase(verb, name); }

// The result for a Windows error, with the error kept as the last error.
int Failure(DWORD error)
{
    SetLastError(error);
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
    case ERROR_NOT_ENOUGH_MEMORY: return SE_ERR_OOM;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_BAD_FORMAT: return SE_ERR_BAD_FORMAT;
    case ERROR_SHARING_VIOLATION: return SE_ERR_SHARE;
    case ERROR_NO_ASSOCIATION: return SE_ERR_NOASSOC;
    default: return 0;
    }
}

// Starts the program; the child is handed to the caller or left to run.
int Start(const machine::Program &program, const Request &request)
{
    machine::StartOptions options;
    if (request.directory && *request.directory) {
        std::string folder;
        if (!platform::MapWindowsName(request.directory, &folder) || !IsFolder(folder))
            return Failure(ERROR_DIRECTORY);
        options.folder = folder;
    }
    DWORD error = 0;
    const pid_t pid = machine::StartProgram(program, options, &error);
    if (pid < 0)
        return Failure(error);
    std::shared_ptr<platform::ChildRecord> child = platform::AdoptChild(pid, &error);
    if (!child)
        return Failure(error);
    if (request.process)
        *request.process =
            platform::InsertHandle(std::make_shared<platform::ProcessObject>(child, PROCESS_ALL_ACCESS));
    return kStarted;
}

// Runs the program file found for `file` with the parameters after it.
int RunProgram(const machine::Program &found, const Request &request)
{
    machine::Program program = found;
    program.commandLine = "\"" + found.windowsPath + "\"";
    if (request.parameters && *request.parameters)
        program.commandLine += std::string(" ") + request.parameters;
    program.argv = machine::SplitCommandLine(program.commandLine);
    program.argv[0] = found.unixPath;
    return Start(program, request);
}

// Opens a document or folder through its class's command for the verb.
int OpenThroughClass(const std::string &unixPath, const Request &request)
{
    std::string className;
    if (request.className)
        className = request.className;
    else if (IsFolder(unixPath))
        className = "Folder";
    else
        className = shell::ClassOfExtension(ExtensionOf(unixPath));
    std::string command;
    if (!shell::ClassCommand(className, request.verb, &command))
        return Failure(ERROR_NO_ASSOCIATION);
    command = shell::FillCommand(command, machine::WindowsPath(unixPath),
                                 request.parameters ? request.parameters : "");
    machine::Program program;
    const DWORD error = machine::FindProgram(command, &program);
    if (error)
        return Failure(error);
    return Start(program, request);
}

int Execute(const Request &request)
{
    if (!request.file || !*request.file)
        return Failure(ERROR_FILE_NOT_FOUND);
    const std::string file = request.file;
    const std::string extension = ExtensionOf(file);
    const bool programName = extension.empty() || platform::SameNameIgnoringCase(extension, ".exe") ||
                             platform::SameNameIgnoringCase(extension, ".com");
    const bool opening = !request.verb || !*request.verb || IsVerb(request.verb, "open");

    // A program to open: found as CreateProcessA finds one.
    if (programName && opening && !request.className) {
        machine::Program program;
        const DWORD error = machine::FindProgram("\"" + file + "\"", &program);
        if (error == 0)
            return RunProgram(program, request);
        // Not a program file: a name without extension may still be a
        // document or a folder, and a folder may be named like a program.
        std::string unixPath;
        const bool folder = platform::MapWindowsName(file.c_str(), &unixPath) && IsFolder(unixPath);
        if (!extension.empty() && !folder)
            return Failure(error);
    }

    // A document or a folder.
    std::string unixPath;
    if (!platform::MapWindowsName(file.c_str(), &unixPath))
        return Failure(GetLastError());
    struct stat info;
    if (stat(unixPath.c_str(), &info) != 0)
        return Failure(platform::MissingPathError(unixPath));
    return OpenThroughClass(unixPath, request);
}

} // namespace

HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                               int)
{
    Request request;
    request.verb = lpOperation;
    request.file = lpFile;
    request.parameters = lpParameters;
    request.directory = lpDirectory;
    return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(Execute(request)));
}

BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA *pExecInfo)
{
    if (!pExecInfo || pExecInfo->cbSize != sizeof(SHELLEXECUTEINFOA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Request request;
    request.verb = pExecInfo->lpVerb;
    request.file = pExecInfo->lpFile;
    request.parameters = pExecInfo->lpParameters;
    request.directory = pExecInfo->lpDirectory;
    if ((pExecInfo->fMask & SEE_MASK_CLASSKEY) == SEE_MASK_CLASSNAME)
        request.className = pExecInfo->lpClass;
    pExecInfo->hProcess = nullptr;
    if (pExecInfo->fMask & SEE_MASK_NOCLOSEPROCESS)
        request.process = &pExecInfo->hProcess;
    const int result = Execute(request);
    pExecInfo->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(result));
    return result > 32 ? TRUE : FALSE;
}
