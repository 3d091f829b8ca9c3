#include "SpoolerFixture.h"

#include <filesystem>
#include <ostream>

#include "FileContents.h"
#include "machine/Paths.h"
#include "machine/Spooler.h"

namespace spoolertest {

void PrintTo(const PortEntry &entry, std::ostream *out)
{
    *out << "{" << entry.port << ", " << entry.monitor << ", " << entry.description << ", " << entry.type << "}";
}

std::string SpoolerTest::SystemFile(const std::string &name)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    return machine::UnixPath((std::string(system) + "\\" + name).c_str());
}

void SpoolerTest::PlaceLibrary(const std::string &name)
{
    ASSERT_TRUE(testsupport::CopyWithMode(std::string(ARV_STANDIN_MEDIA_DIR) + "/bin/vp/" + name, SystemFile(name),
                                          0644))
        << name;
}

BOOL SpoolerTest::AddMonitor(const std::string &name, const std::string &library, const char *environment)
{
    std::string monitorName = name, dll = library, env = environment ? environment : "";
    MONITOR_INFO_2A info{&monitorName[0], environment ? &env[0] : nullptr, &dll[0]};
    return AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
}

BOOL SpoolerTest::AddPort(const std::string &monitor)
{
    std::string name = monitor;
    return AddPortA(nullptr, nullptr, &name[0]);
}

BOOL SpoolerTest::InstallDriver(const std::string &name, const char *environment, DWORD version)
{
    std::string driverName = name, env = environment ? environment : "", driver = "ARVA700.DLL",
                data = "ARVA700.GPD", config = "ARVA700UI.DLL";
    DRIVER_INFO_2A info{version, &driverName[0], environment ? &env[0] : nullptr, &driver[0], &data[0], &config[0]};
    return AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
}

BOOL SpoolerTest::AddPrinter(const std::string &name, const std::string &port, const std::string &driver,
                             const char *processor)
{
    std::string printerName = name, portName = port, driverName = driver, processorName = processor ? processor : "";
    PRINTER_INFO_2A info{};
    info.pPrinterName = &printerName[0];
    info.pPortName = &portName[0];
    info.pDriverName = &driverName[0];
    info.pPrintProcessor = processor ? &processorName[0] : nullptr;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!printer)
        return FALSE;
    EXPECT_TRUE(ClosePrinter(printer));
    return TRUE;
}

void SpoolerTest::SetUpPrinter(const std::string &printer)
{
    PlaceLibrary();
    ASSERT_TRUE(AddMonitor(kMonitor));
    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(InstallDriver(kModel));
    ASSERT_TRUE(AddPrinter(printer, "RPT1:")) << GetLastError();
}

std::vector<std::string> SpoolerTest::MonitorNames()
{
    DWORD needed = 0, count = 0;
    EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count);
    Buffer buffer(needed);
    EXPECT_TRUE(EnumMonitorsA(nullptr, 1, buffer.Data(), buffer.Size(), &needed, &count)) << GetLastError();
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i)
        names.push_back(buffer.At<MONITOR_INFO_1A>(i).pName);
    return names;
}

std::vector<PortEntry> SpoolerTest::PortList()
{
    DWORD needed = 0, count = 0;
    EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count);
    Buffer buffer(needed);
    EXPECT_TRUE(EnumPortsA(nullptr, 2, buffer.Data(), buffer.Size(), &needed, &count)) << GetLastError();
    std::vector<PortEntry> ports;
    for (DWORD i = 0; i < count; ++i) {
        const PORT_INFO_2A &info = buffer.At<PORT_INFO_2A>(i);
        ports.push_back(PortEntry{info.pPortName, info.pMonitorName, info.pDescription, info.fPortType});
    }
    return ports;
}

bool SpoolerTest::KeyExists(HKEY root, const std::string &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string SpoolerTest::Read(HKEY root, const std::string &path, const std::string &name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char text[1024];
    DWORD size = sizeof text - 1, type = 0;
    const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    text[size] = '\0';
    return text;
}

DWORD SpoolerTest::ReadDword(HKEY root, const std::string &path, const std::string &name)
{
    HKEY key = nullptr;
    DWORD value = 0xDEADBEEF, size = sizeof value, type = 0;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD)
            value = 0xDEADBEEF;
        RegCloseKey(key);
    }
    return value;
}

std::string SpoolerTest::MonitorKey(const std::string &monitor)
{
    return std::string(machine::kMonitorsKey) + "\\" + monitor;
}

std::string SpoolerTest::PortKey(const std::string &monitor, const std::string &port)
{
    return MonitorKey(monitor) + "\\Ports\\" + port;
}

std::string SpoolerTest::PrinterKey(const std::string &printer)
{
    return std::string(machine::kPrintersKey) + "\\" + printer;
}

std::string SpoolerTest::DriverKey(const std::string &driver, const std::string &environment, DWORD version)
{
    return std::string(machine::kEnvironmentsKey) + "\\" + environment + "\\Drivers\\Version-" +
           std::to_string(version) + "\\" + driver;
}

} // namespace spoolertest
