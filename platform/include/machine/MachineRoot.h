// The machine root: one folder that holds a simulated Windows machine (its
// drives, registry hives, COM-port links and settings). It is chosen by the
// environment variable ARV_MACHINE_ROOT, else a per-user default folder, and
// gets its standard layout on first use.
//
//   <root>/drives/c/           drive C:, with Windows, Program Files, ...
//   <root>/drives/<x>          a link per further drive; z links to "/"
//   <root>/registry/<hive>.hive  registry hives as text
//   <root>/ports/COMn          link to the tty that carries COMn
//   <root>/settings/           machine settings (ui-language, windows-family,
//                              drives)
//
// A root whose system folder is new gets a link there to each of Windows'
// own programs that the build provides (the stand-in of "net.exe", ...).
#pragma once

#include <string>

namespace machine {

constexpr const char *kRootVariable = "ARV_MACHINE_ROOT";

// Absolute path of the current machine root, created with its layout if it
// does not exist yet. The variable is read on every call, so a test may
// point it at a fresh folder at any time.
std::string RootPath();

// Folder that holds drive `letter` (any case); the folder or link may not
// exist for a drive the machine does not have.
std::string DriveFolder(char letter);

// The hives of the machine, each in "<root>/registry/<name>.hive"; a new
// root starts with both files empty.
constexpr const char *kMachineHive = "HKEY_LOCAL_MACHINE";
constexpr const char *kUserHive = "HKEY_CURRENT_USER";

std::string HiveFile(const std::string &hiveName);
std::string RegistryFolder();
std::string PortsFolder();
std::string PortLink(const std::string &portName);
std::string SettingsFolder();

// The standard folders of drive C:, as Windows paths.
constexpr const char *kWindowsDir = "C:\\Windows";
constexpr const char *kSystemDir = "C:\\Windows\\System32";
constexpr const char *kProgramFilesDir = "C:\\Program Files";
constexpr const char *kUserProfileDir = "C:\\Documents and Settings\\User";
constexpr const char *kDesktopDir = "C:\\Documents and Settings\\User\\Desktop";
constexpr const char *kDocumentsDir = "C:\\Documents and Settings\\User\\My Documents";
constexpr const char *kTempDir = "C:\\Documents and Settings\\User\\Local Settings\\Temp";

// The settings folder's file "windows-family": "95" (a line of its own)
// makes the machine a Windows of the 95 family; anything else, or no file,
// the NT family. GetVersion, MoveFileExA and the restart follow it.
constexpr const char *kWindowsFamilySetting = "windows-family";

enum class WindowsFamily { NT, Windows95 };
WindowsFamily Family();

} // namespace machine
