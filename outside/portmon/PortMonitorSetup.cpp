#include "PortMonitorSetup.h"

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "windows.h"
#include "machine/Programs.h"

namespace portmon {
namespace {

bool WriteString(HKEY root, const std::string &key, const char *name, const std::string &value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::string ReadString(HKEY root, const std::string &key, const char *name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::string();
    char value[1024];
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG result = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return std::string();
    return std::string(value, value[size - 1] == '\0' ? size - 1 : size);
}

std::string PortKey(const std::string &port)
{
    return std::string(kMonitorsKey) + "\\" + kMonitorName + "\\Ports\\" + port;
}

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        ssize_t wrote = write(fd, data, size);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += wrote;
        size -= static_cast<size_t>(wrote);
    }
    return true;
}

} // namespace

bool AddPrinterOnPort(const std::string &printer, const std::string &port, const std::string &command)
{
    return WriteString(HKEY_LOCAL_MACHINE, std::string(kPrintersKey) + "\\" + printer, "Port", port) &&
           WriteString(HKEY_LOCAL_MACHINE, PortKey(port), "Command", command);
}

std::string PrinterPort(const std::string &printer)
{
    return ReadString(HKEY_LOCAL_MACHINE, std::string(kPrintersKey) + "\\" + printer, "Port");
}

std::string PortCommand(const std::string &port)
{
    return ReadString(HKEY_LOCAL_MACHINE, PortKey(port), "Command");
}

int RunPortCommand(const std::string &command, const std::string &job)
{
    // The command runs as Windows would run it (machine/Programs.h).
    machine::Program program;
    if (machine::FindProgram(command, &program) != 0)
        return -1;

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    machine::StartOptions options;
    options.input = pipeEnds[0];
    DWORD error = 0;
    const pid_t child = machine::StartProgram(program, options, &error);
    close(pipeEnds[0]);
    if (child < 0) {
        close(pipeEnds[1]);
        return -1;
    }
    // A program that ends without reading its whole input must not kill the
    // monitor with SIGPIPE.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    WriteAll(pipeEnds[1], job.data(), job.size());
    close(pipeEnds[1]);
    sigaction(SIGPIPE, &previous, nullptr);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return -1;
}

} // namespace portmon
