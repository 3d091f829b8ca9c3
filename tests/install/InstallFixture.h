// A machine root with install media in drive D: (a CD-ROM) and the wizard
// made as the installer makes it, as if it had been started from the
// media. The steps' messages are answered as a user would and recorded.
//
// Two kinds of media: the small one that the fixture lays out in the root
// (the port monitor's libraries and the INF files as they come, stand-in
// programs, the real shortcut tool), which a test may break at will, and
// the media that the build assembles (the real programs).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QTimer>

#include "DialogPilot.h"
#include "WizardFixture.h"
#include "windows.h"

namespace install_test {

constexpr const char *kPrinter = "ARV-A700 Scanner-Printer";
constexpr const char *kMonitor = "Scanner-Printer Virtual Port";
constexpr const char *kInstallDir = "C:\\Program Files\\Veltrona\\Norvik";
constexpr const char *kMediaSetup = "D:\\setup.exe";
constexpr const char *kUninstallEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ARV-A700 Scanner-Printer";
constexpr const char *kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
constexpr const char *kMfpKey = "Software\\VELTRONA\\Mfp";

// A message the installer's message window showed.
struct Shown {
    std::string title;
    std::string text;
    bool operator==(const Shown &other) const { return title == other.title && text == other.text; }
};
void PrintTo(const Shown &shown, std::ostream *out);

// Answers the installer's message window with OK whenever it shows, and
// records what it showed.
class MessageAnswerer {
public:
    MessageAnswerer();
    const std::vector<Shown> &Messages() const { return FMessages; }
    void Clear() { FMessages.clear(); }

private:
    void Look();
    QTimer FTimer;
    std::vector<Shown> FMessages;
};

// Whether a Windows path of the machine exists, as a file or a folder.
bool Exists(const std::string &windowsPath);
bool IsFolder(const std::string &windowsPath);
std::string UnixOf(const std::string &windowsPath);
// A string value; "" when the key or value is missing.
std::string RegString(HKEY root, const std::string &key, const std::string &value);
bool KeyExists(HKEY root, const std::string &key);
// The names of a key's values in the registry's order.
std::vector<std::string> ValueNames(HKEY root, const std::string &key);
// The names of the spooler's monitors, printers and ports.
std::vector<std::string> Monitors();
std::vector<std::string> Printers();
std::vector<std::pair<std::string, std::string>> Ports(); // port, monitor
std::string DefaultPrinter();
// The outside programs' recorded runs that `program` made, each its
// arguments.
std::vector<std::vector<std::string>> RunsOf(const std::string &program);

class InstallTest : public installer_test::WizardTest {
protected:
    InstallTest();
    ~InstallTest() override;

    // Lays out the small media in the root and mounts it as drive D:.
    void MakeMedia();
    // Mounts the build's install media as drive D:.
    void UseBuildMedia();
    // The small media's folder (Unix path).
    std::string MediaFolder() const;
    // The wizard, started from `module` (a Windows path).
    void StartWizard(const std::string &module = kMediaSetup, int language = installer_test::kEnglish);
    // Runs install steps 1 to 4, expecting each to succeed.
    void InstallAll();
    // Shows the steps' messages so far and clears them.
    std::vector<Shown> TakeMessages();
    // The message ids as the wizard's language shows them.
    Shown Message(int titleId, int textId) const;

    std::unique_ptr<MessageAnswerer> FAnswerer;
    std::unique_ptr<classlib_testing::TDialogPilot> FPilot;
};

} // namespace install_test
