// Temporary folders for tests: a folder of a test's own, and a fresh
// machine root that ARV_MACHINE_ROOT points at while the object lives. Both
// are made under $TMPDIR (else /tmp) and removed with all in them.
#pragma once

#include <string>

#include "ScopedEnvironment.h"

namespace testsupport {

// Removes a folder tree without following links (a machine root's Z: link
// leads to "/") and without leaving its file system; quiet about what is
// not there.
void RemoveTree(const std::string &path);

// A fresh folder "<stem>-XXXXXX", removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string &stem = "arv-test");
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    bool Made() const { return !path_.empty(); }
    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Whether the machine root gets its standard layout at once, or on its
// first use as usual.
enum class Layout { OnFirstUse, Now };

// A temporary folder as the machine root for the life of the object; the
// variable's previous value comes back before the folder is removed.
class TempMachineRoot {
public:
    explicit TempMachineRoot(const std::string &stem = "arv-root", Layout layout = Layout::OnFirstUse);
    ~TempMachineRoot();
    TempMachineRoot(const TempMachineRoot &) = delete;
    TempMachineRoot &operator=(const TempMachineRoot &) = delete;

    bool Made() const { return folder_.Made(); }
    const std::string &Path() const { return folder_.Path(); }
    // A fresh folder inside the root for a test's own files.
    std::string Scratch(const std::string &name) const;

private:
    TempFolder folder_;
    // Declared after the folder, so the variable is put back before the
    // folder goes.
    ScopedEnvironment environment_;
};

// Writes the current machine's user-interface language setting as given
// ("1033", "2052\n", or anything a test wants the machine to find there).
bool WriteUiLanguage(const std::string &setting);

// Writes the current machine's Windows family setting ("95", "nt", or
// anything a test wants the machine to find there).
bool WriteWindowsFamily(const std::string &setting);

} // namespace testsupport
