#include "InstallFixture.h"

#include <sys/stat.h>

#include <ostream>

#include "Application.h"
#include "Choose_folder.h"
#include "FileContents.h"
#include "Main2.h"
#include "Message.h"
#include "RunRecord.h"
#include "machine/Drives.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Testing.h"
#include "winspool.h"

namespace install_test {

void PrintTo(const Shown &shown, std::ostream *out) { *out << "{\"" << shown.title << "\", \"" << shown.text << "\"}"; }

MessageAnswerer::MessageAnswerer()
{
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Look(); });
    FTimer.start(20);
}

void MessageAnswerer::Look()
{
    if (!Message_Form || !Message_Form->Visible())
        return;
    FMessages.push_back({Message_Form->LTitle->Caption().str(), Message_Form->LMessage->Caption().str()});
    Message_Form->BitBtn1->Click();
}

std::string UnixOf(const std::string &windowsPath) { return machine::UnixPath(windowsPath.c_str()); }

bool Exists(const std::string &windowsPath)
{
    struct stat info;
    return lstat(UnixOf(windowsPath).c_str(), &info) == 0;
}

bool IsFolder(const std::string &windowsPath)
{
    struct stat info;
    return stat(UnixOf(windowsPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string RegString(HKEY root, const std::string &key, const std::string &value)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "";
    char data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    const LSTATUS read =
        RegQueryValueExA(opened, value.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(data), &size);
    RegCloseKey(opened);
    if (read != ERROR_SUCCESS || type != REG_SZ || size == 0)
        return "";
    return std::string(data, size - 1);
}

bool KeyExists(HKEY root, const std::string &key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::vector<std::string> ValueNames(HKEY root, const std::string &key)
{
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(opened);
    return names;
}

namespace {

std::vector<std::string> SubKeys(HKEY root, const std::string &key)
{
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(opened);
    return names;
}

} // namespace

std::vector<std::string> Monitors() { return SubKeys(HKEY_LOCAL_MACHINE, kMonitorsKey); }

std::vector<std::string> Printers()
{
    return SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers");
}

std::vector<std::pair<std::string, std::string>> Ports()
{
    std::vector<std::pair<std::string, std::string>> ports;
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<PORT_INFO_2A> buffer(needed / sizeof(PORT_INFO_2A) + 1);
    if (!EnumPortsA(nullptr, 2, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed, &returned))
        return ports;
    for (DWORD i = 0; i < returned; ++i)
        ports.emplace_back(buffer[i].pPortName, buffer[i].pMonitorName);
    return ports;
}

std::string DefaultPrinter()
{
    char name[256];
    DWORD size = sizeof name;
    return GetDefaultPrinterA(name, &size) ? std::string(name) : std::string();
}

std::vector<std::vector<std::string>> RunsOf(const std::string &program)
{
    std::vector<std::vector<std::string>> runs;
    for (const std::vector<std::string> &run : outside::RecordedRuns()) {
        if (!run.empty() && run[0] == program)
            runs.emplace_back(run.begin() + 1, run.end());
    }
    return runs;
}

InstallTest::InstallTest() = default;

InstallTest::~InstallTest()
{
    FAnswerer.reset();
    FPilot.reset();
    machine::testing::SetModuleFileName("");
    machine::testing::ResetSpoolerFailures();
}

std::string InstallTest::MediaFolder() const { return FRoot.Path() + "/media"; }

void InstallTest::MakeMedia()
{
    const std::string media = MediaFolder();
    for (const char *folder : {"", "/bin", "/bin/mfp", "/bin/mfp/res", "/bin/mfp/selvio", "/bin/vp", "/drivers"})
        ASSERT_EQ(mkdir((media + folder).c_str(), 0755), 0) << media + folder;
    const std::string standin = ARV_STANDIN_MEDIA_DIR;
    for (const char *file : {"/bin/vp/orvel_vpnt.dll", "/bin/vp/orvel_vp95.dll", "/bin/vp/orvel_vp35.dll",
                             "/drivers/mfp.inf", "/drivers/ftdibus.inf", "/drivers/ftdiport.inf"})
        ASSERT_TRUE(testsupport::CopyWithMode(standin + file, media + file, 0644)) << file;
    // The programs only need to be there; the shortcut tool really runs.
    for (const char *file : {"/setup.exe", "/bin/mfp/orvel_printer.exe", "/bin/mfp/orvel_scanner.exe",
                             "/bin/mfp/res/tiffcp.exe", "/bin/mfp/selvio/selvio.txt"})
        ASSERT_TRUE(testsupport::WriteText(media + file, std::string("stand-in of ") + file));
    ASSERT_TRUE(testsupport::CopyWithMode(XXMKLINK_PATH, media + "/bin/mfp/res/XXMKLINK.EXE", 0755));
    ASSERT_TRUE(machine::MountDrive('D', media, DRIVE_CDROM));
}

void InstallTest::UseBuildMedia() { ASSERT_TRUE(machine::MountDrive('D', ARV_INSTALL_MEDIA_DIR, DRIVE_CDROM)); }

void InstallTest::StartWizard(const std::string &module, int language)
{
    machine::testing::SetModuleFileName(module);
    CreateWizard(language);
    FAnswerer.reset(new MessageAnswerer);
    FPilot.reset(new classlib_testing::TDialogPilot);
}

void InstallTest::InstallAll()
{
    ASSERT_TRUE(IsFolder(kInstallDir) || CreateDirTree(kInstallDir));
    for (int step = 1; step <= 4; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0) << "step " << step;
    ASSERT_TRUE(FAnswerer->Messages().empty());
}

std::vector<Shown> InstallTest::TakeMessages()
{
    std::vector<Shown> shown = FAnswerer->Messages();
    FAnswerer->Clear();
    return shown;
}

Shown InstallTest::Message(int titleId, int textId) const
{
    return {Form2->GetLangText(static_cast<unsigned char>(titleId)).str(),
            Form2->GetLangText(static_cast<unsigned char>(textId)).str()};
}

} // namespace install_test
