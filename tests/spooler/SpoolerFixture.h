// The spooler tests' fixture: a fresh machine root for each test, and the
// spooler calls the tests make again and again, with buffers aligned as
// the structures in them need.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempMachineRoot.h"
#include "windows.h"

namespace spoolertest {

constexpr const char *kMonitor = "Scanner-Printer Virtual Port";
constexpr const char *kModel = "ARV-A700 Scanner-Printer";
constexpr const char *kPrinter = "ARV-A700 Scanner-Printer";

// A caller's buffer of `size` bytes that the structures may sit in.
class Buffer {
public:
    explicit Buffer(size_t size) : fWords(size / sizeof(uint64_t) + 1, 0), fSize(size) {}
    LPBYTE Data() { return reinterpret_cast<LPBYTE>(fWords.data()); }
    DWORD Size() const { return static_cast<DWORD>(fSize); }
    template <class Info>
    const Info &At(size_t index) const
    {
        return reinterpret_cast<const Info *>(fWords.data())[index];
    }
    // Whether `text` lies inside the buffer.
    bool Holds(const char *text) const
    {
        const char *start = reinterpret_cast<const char *>(fWords.data());
        return text >= start && text < start + fSize;
    }
    const char *End() const { return reinterpret_cast<const char *>(fWords.data()) + fSize; }

private:
    std::vector<uint64_t> fWords;
    size_t fSize;
};

struct PortEntry {
    std::string port;
    std::string monitor;
    std::string description;
    DWORD type;
    bool operator==(const PortEntry &other) const
    {
        return port == other.port && monitor == other.monitor && description == other.description &&
               type == other.type;
    }
};
void PrintTo(const PortEntry &entry, std::ostream *out);

class SpoolerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fRoot.Made()); }

    const std::string &Root() const { return fRoot.Path(); }

    // The Unix path of a file in the machine's system folder.
    static std::string SystemFile(const std::string &name);
    // Copies a monitor library of the stand-in media into the system folder.
    static void PlaceLibrary(const std::string &name = "orvel_vpnt.dll");

    static BOOL AddMonitor(const std::string &name, const std::string &library = "orvel_vpnt.dll",
                           const char *environment = "Windows NT x86");
    static BOOL AddPort(const std::string &monitor);
    static BOOL InstallDriver(const std::string &name, const char *environment = nullptr, DWORD version = 3);
    // Adds the printer and closes its handle; the last error on failure.
    static BOOL AddPrinter(const std::string &name, const std::string &port, const std::string &driver = kModel,
                           const char *processor = "WinPrint");
    // The monitor with its library in place, one port, the driver and the
    // printer on that port.
    static void SetUpPrinter(const std::string &printer = kPrinter);

    static std::vector<std::string> MonitorNames();
    static std::vector<PortEntry> PortList();

    static bool KeyExists(HKEY root, const std::string &path);
    // A string value ("<missing>" when it is not there).
    static std::string Read(HKEY root, const std::string &path, const std::string &name);
    static DWORD ReadDword(HKEY root, const std::string &path, const std::string &name);

    static std::string MonitorKey(const std::string &monitor);
    static std::string PortKey(const std::string &monitor, const std::string &port);
    static std::string PrinterKey(const std::string &printer);
    static std::string DriverKey(const std::string &driver, const std::string &environment = "Windows NT x86",
                                 DWORD version = 3);

private:
    testsupport::TempMachineRoot fRoot{"arv-spooler"};
};

} // namespace spoolertest
