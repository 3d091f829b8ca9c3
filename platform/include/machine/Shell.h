// The shell's part of the machine root: the programs a fresh root gets and
// the file classes that name them.
//
// The build puts the machine's own programs (stand-ins for Windows' own,
// such as Explorer) in a folder laid out like the drives,
// "<folder>/c/Windows/explorer.exe"; the environment variable
// ARV_MACHINE_PROGRAMS names another such folder. A fresh root links each
// of them into its drive at the same place, and its machine hive starts
// with the classes below in HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
#pragma once

#include <string>

namespace machine {

constexpr const char *kMachineProgramsVariable = "ARV_MACHINE_PROGRAMS";

// Explorer: "/select,<path>", "/e,<folder>" or a folder. It records each
// request as a line "select|explore|open<TAB><Windows path>" in
// ExplorerLog() and hands it to the desktop's file manager where there is
// a desktop (DISPLAY or WAYLAND_DISPLAY set).
constexpr const char *kExplorerProgram = "C:\\Windows\\explorer.exe";
// The picture viewer of ".tif" and ".tiff" files: hands the file to the
// desktop's viewer where there is a desktop, and does nothing otherwise.
constexpr const char *kImageViewerProgram = "C:\\Windows\\System32\\imageview.exe";
constexpr const char *kTiffClass = "TIFImage.Document";

// "<root>/logs/explorer.log" of the current root.
std::string ExplorerLog();

// The folder of the machine's own programs: the variable, else the build's.
std::string MachineProgramsFolder();

} // namespace machine
