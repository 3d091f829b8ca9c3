// Printers, their drivers and the default printer.
#include "SpoolerFixture.h"

#include <cstring>

#include "machine/Spooler.h"

namespace spoolertest {
namespace {

class Printers : public SpoolerTest {
protected:
    void SetUp() override
    {
        SpoolerTest::SetUp();
        PlaceLibrary();
        ASSERT_TRUE(AddMonitor(kMonitor));
        ASSERT_TRUE(AddPort(kMonitor));
        ASSERT_TRUE(InstallDriver(kModel));
    }

    static HANDLE Open(const std::string &printer, ACCESS_MASK access)
    {
        std::string name = printer;
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, access};
        HANDLE handle = reinterpret_cast<HANDLE>(1);
        if (!OpenPrinterA(&name[0], &handle, access ? &defaults : nullptr)) {
            EXPECT_EQ(handle, nullptr);
            return nullptr;
        }
        return handle;
    }

    static std::string Default()
    {
        char name[256];
        DWORD size = sizeof name;
        return GetDefaultPrinterA(name, &size) ? std::string(name) : "<none: " + std::to_string(GetLastError()) + ">";
    }

    static std::string Device()
    {
        return Read(HKEY_CURRENT_USER, machine::kWindowsKey, machine::kDefaultPrinterValue);
    }
};

TEST_F(Printers, AreMadeWhereWindowsKeepsThem)
{
    std::string name = kPrinter, port = "rpt1:", driver = "arv-a700 scanner-printer", processor = "winprint",
                comment = "Fax";
    PRINTER_INFO_2A info{};
    info.pPrinterName = &name[0];
    info.pPortName = &port[0];
    info.pDriverName = &driver[0];
    info.pPrintProcessor = &processor[0];
    info.pComment = &comment[0];
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(printer, nullptr) << GetLastError();
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    const std::string key = PrinterKey(kPrinter);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Name"), kPrinter);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Port"), "RPT1:") << "names as they are stored";
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Printer Driver"), kModel);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Print Processor"), "WinPrint");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Datatype"), "RAW");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Description"), "Fax");
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, key, "Attributes"), PRINTER_ATTRIBUTE_LOCAL);
}

struct PrinterCase {
    const char *label;
    std::string name;
    const char *port;
    const char *driver;
    const char *processor;
    DWORD error;
};

void PrintTo(const PrinterCase &c, std::ostream *out) { *out << c.label; }

class PrinterRefusals : public Printers, public ::testing::WithParamInterface<PrinterCase> {};

TEST_P(PrinterRefusals, MakeNoPrinter)
{
    const PrinterCase &c = GetParam();
    ASSERT_TRUE(AddPrinter(kPrinter, "RPT1:"));
    SetLastError(0);
    EXPECT_FALSE(AddPrinter(c.name, c.port, c.driver, c.processor));
    EXPECT_EQ(GetLastError(), c.error);
    if (c.error != ERROR_PRINTER_ALREADY_EXISTS && c.error != ERROR_INVALID_PRINTER_NAME) {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PrinterKey(c.name)));
    }
}

const PrinterCase kPrinterCases[] = {
    {"SameName", kPrinter, "RPT1:", kModel, "WinPrint", ERROR_PRINTER_ALREADY_EXISTS},
    {"NameInOtherCase", "arv-a700 SCANNER-printer", "RPT1:", kModel, "WinPrint", ERROR_PRINTER_ALREADY_EXISTS},
    {"DriverNotInstalled", "Fax", "RPT1:", "Other Model", "WinPrint", ERROR_UNKNOWN_PRINTER_DRIVER},
    {"PortMissing", "Fax", "RPT2:", kModel, "WinPrint", ERROR_UNKNOWN_PORT},
    {"OtherPrintProcessor", "Fax", "RPT1:", kModel, "LpPrint", ERROR_UNKNOWN_PRINTPROCESSOR},
    {"NoPrintProcessor", "Fax", "RPT1:", kModel, nullptr, ERROR_UNKNOWN_PRINTPROCESSOR},
    {"EmptyName", "", "RPT1:", kModel, "WinPrint", ERROR_INVALID_PRINTER_NAME},
    {"NameWithBackslash", "Fax\\One", "RPT1:", kModel, "WinPrint", ERROR_INVALID_PRINTER_NAME},
    {"NameWithComma", "Fax,One", "RPT1:", kModel, "WinPrint", ERROR_INVALID_PRINTER_NAME},
    {"NameTooLong", std::string(221, 'P'), "RPT1:", kModel, "WinPrint", ERROR_INVALID_PRINTER_NAME},
};

INSTANTIATE_TEST_SUITE_P(AddPrinterA, PrinterRefusals, ::testing::ValuesIn(kPrinterCases),
                         [](const ::testing::TestParamInfo<PrinterCase> &info) { return info.param.label; });

TEST_F(Printers, LongestNameAndLevelAndArguments)
{
    EXPECT_TRUE(AddPrinter(std::string(220, 'P'), "RPT1:")) << GetLastError();
    PRINTER_INFO_2A info{};
    EXPECT_EQ(AddPrinterA(nullptr, 1, reinterpret_cast<LPBYTE>(&info)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
    EXPECT_EQ(AddPrinterA(nullptr, 2, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Printers, DeletingNeedsAHandleWithTheRightToAndClearsTheDefault)
{
    ASSERT_TRUE(AddPrinter(kPrinter, "RPT1:"));
    ASSERT_TRUE(SetDefaultPrinterA(kPrinter));
    EXPECT_EQ(Open("No Such Printer", PRINTER_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

    HANDLE user = Open("arv-a700 scanner-printer", 0);
    ASSERT_NE(user, nullptr);
    EXPECT_FALSE(DeletePrinter(user));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    HANDLE admin = Open(kPrinter, PRINTER_ALL_ACCESS);
    ASSERT_NE(admin, nullptr);
    EXPECT_TRUE(DeletePrinter(admin)) << GetLastError();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PrinterKey(kPrinter)));
    EXPECT_EQ(Device(), "<missing>");
    EXPECT_EQ(Default(), "<none: 2>");
    EXPECT_FALSE(DeletePrinter(admin));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_DELETED));
    EXPECT_TRUE(ClosePrinter(admin));
    EXPECT_TRUE(ClosePrinter(user));
    EXPECT_FALSE(DeletePrinter(admin));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE none = nullptr;
    EXPECT_FALSE(OpenPrinterA(nullptr, &none, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(Printers, DefaultPrinterIsTheUsersDeviceValue)
{
    EXPECT_EQ(Default(), "<none: 2>");
    EXPECT_TRUE(SetDefaultPrinterA(nullptr)) << "no printers: nothing to choose";
    EXPECT_FALSE(SetDefaultPrinterA(kPrinter));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(AddPrinter("Plain Paper", "RPT2:"));
    ASSERT_TRUE(AddPrinter(kPrinter, "RPT1:"));
    EXPECT_TRUE(SetDefaultPrinterA(""));
    EXPECT_EQ(Default(), kPrinter) << "none yet: the first printer";
    ASSERT_TRUE(SetDefaultPrinterA("plain paper"));
    EXPECT_EQ(Device(), "Plain Paper,winspool,RPT2:");
    EXPECT_TRUE(SetDefaultPrinterA(nullptr));
    EXPECT_EQ(Default(), "Plain Paper") << "a default there is stays";

    const DWORD exact = sizeof "Plain Paper";
    DWORD size = 0;
    EXPECT_FALSE(GetDefaultPrinterA(nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, exact);
    char name[sizeof "Plain Paper"];
    memset(name, '#', sizeof name);
    size = exact - 1;
    EXPECT_FALSE(GetDefaultPrinterA(name, &size));
    EXPECT_EQ(size, exact);
    EXPECT_EQ(name[0], '#');
    size = exact;
    EXPECT_TRUE(GetDefaultPrinterA(name, &size));
    EXPECT_EQ(size, exact);
    EXPECT_STREQ(name, "Plain Paper");
    EXPECT_FALSE(GetDefaultPrinterA(name, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Printers, DriversAreKeptPerEnvironmentAndVersion)
{
    const std::string key = DriverKey(kModel);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Driver"), "ARVA700.DLL");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Data File"), "ARVA700.GPD");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, key, "Configuration File"), "ARVA700UI.DLL");
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, key, "Version"), 3u);

    EXPECT_TRUE(InstallDriver(kModel, "Windows 4.0", 0));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, DriverKey(kModel, "Windows 4.0", 0)));
    EXPECT_FALSE(InstallDriver("Other", "Windows 4.0", 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(InstallDriver("Other", "Windows IA64", 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
    DRIVER_INFO_2A info{};
    EXPECT_FALSE(AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
    EXPECT_FALSE(AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    ASSERT_TRUE(AddPrinter(kPrinter, "RPT1:"));
    std::string model = "ARV-A700 SCANNER-PRINTER";
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, &model[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_DRIVER_IN_USE));
    std::string windows95 = "Windows 4.0";
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, &windows95[0], &model[0])) << "no printer uses that one";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key));

    HANDLE printer = Open(kPrinter, PRINTER_ALL_ACCESS);
    ASSERT_TRUE(DeletePrinter(printer));
    ClosePrinter(printer);
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, nullptr, &model[0])) << GetLastError();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, &model[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
    EXPECT_FALSE(AddPrinter(kPrinter, "RPT1:"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
}

} // namespace
} // namespace spoolertest
