#include "PortMonitorSetup.h"

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <filesystem>
#include <memory>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "PrintUiEntry.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "machine/Spooler.h"
#include "windows.h"

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

std::string PortKey(const std::string &monitor, const std::string &port)
{
    return std::string(machine::kMonitorsKey) + "\\" + monitor + "\\Ports\\" + port;
}

// Puts the stand-in library of the monitor into the system folder, as the
// installer copies it there.
bool PlaceMonitorLibrary()
{
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        return false;
    std::error_code error;
    std::filesystem::copy_file(std::string(ARV_STANDIN_MEDIA_DIR) + "/bin/vp/" + kMonitorLibrary,
                               machine::UnixPath((std::string(system) + "\\" + kMonitorLibrary).c_str()),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

bool RegisterMonitor()
{
    std::string name = kMonitorName, environment = machine::kLocalEnvironment, library = kMonitorLibrary;
    MONITOR_INFO_2A monitor{&name[0], &environment[0], &library[0]};
    return AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor)) ||
           GetLastError() == ERROR_PRINT_MONITOR_ALREADY_INSTALLED;
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

std::string AddPrinterOnNewPort(const std::string &printer, const std::string &command)
{
    std::string monitor = kMonitorName;
    if (!PlaceMonitorLibrary() || !RegisterMonitor() || !AddPortA(nullptr, nullptr, &monitor[0]))
        return std::string();
    const std::string port = ReadString(HKEY_CURRENT_USER, machine::kRedirectMonitorKey, machine::kLastPortValue);
    const std::string inf = machine::WindowsPath(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/mfp.inf");
    if (port.empty() || !printui::InstallDriverFromInf(inf, kDriverModel))
        return std::string();

    std::string name = printer, portName = port, driver = kDriverModel, processor = "WinPrint";
    PRINTER_INFO_2A info{};
    info.pPrinterName = &name[0];
    info.pPortName = &portName[0];
    info.pDriverName = &driver[0];
    info.pPrintProcessor = &processor[0];
    HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!handle)
        return std::string();
    ClosePrinter(handle);
    return WriteString(HKEY_LOCAL_MACHINE, PortKey(kMonitorName, port), machine::kPortCommandValue, command)
               ? port
               : std::string();
}

std::string PrinterPort(const std::string &printer)
{
    return ReadString(HKEY_LOCAL_MACHINE, std::string(machine::kPrintersKey) + "\\" + printer, "Port");
}

std::string PortMonitor(const std::string &port)
{
    DWORD needed = 0, count = 0;
    std::unique_ptr<PORT_INFO_2A[]> list;
    DWORD size = 0;
    // Asks again while the list outgrows the buffer (ports added meanwhile).
    while (!EnumPortsA(nullptr, 2, reinterpret_cast<LPBYTE>(list.get()), size, &needed, &count)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return std::string();
        // Whole structures, so that the buffer is aligned for them.
        list.reset(new PORT_INFO_2A[needed / sizeof(PORT_INFO_2A) + 1]);
        size = needed;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (strcasecmp(list[i].pPortName, port.c_str()) == 0)
            return list[i].pMonitorName;
    }
    return std::string();
}

std::string PortCommand(const std::string &monitor, const std::string &port)
{
    return ReadString(HKEY_LOCAL_MACHINE, PortKey(monitor, port), machine::kPortCommandValue);
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
