// What the uninstaller may delete. Every judgement is about the real place
// a path names on the host, after the platform has mapped the Windows name
// as its file calls do and every symbolic link on the way is resolved (a
// drive's link, Z:, links in folders): never about the path's text, so no
// alias ("\\?\", "\\.\", case, "/", "." and "..", another drive or Z:
// reaching the same folder) makes a guarded place deletable.
//
// Guarded places are never removed, nor is any folder that holds one:
//   - the root of every drive of the machine;
//   - the Windows folder and the system folder, with all inside them;
//   - Program Files; the user's profile, the shell's folders of the user,
//     the temporary folder and every folder directly in the profile;
//   - the machine root and its "drives" folder; its own folders (registry,
//     ports, settings, logs, printed pages) and all else in the root that
//     lies in none of its drives, with all inside them;
//   - on the host: "/" and every folder directly in it; the system folders
//     (/bin, /boot, /dev, /etc, /lib*, /proc, /run, /sbin, /sys, /usr,
//     /var) with all inside them, but for what lies in a drive that the
//     machine root holds; every home folder (the user's, those of the
//     accounts, those in /home) and every entry directly in one.
//
// A tree may go when its path is absolute (a drive and its root, also after
// "\\?\" or "\\.\"), names an existing entry (a link counts as itself),
// and that place is no guarded place, lies in none kept with its contents
// and holds none: judged by the real places' names and again by the
// identities (device and file number) of the place and of each folder on
// its way, so a bind mount or another spelling of a guarded folder is
// refused as the folder itself. An install location may go whole when the
// tree may, it is a real folder (not a link), and it shows that this
// system's install made it: it holds the file "setup.exe", the folder "res"
// (which the install media has only below bin\mfp, not in its root) and the
// folder "drivers" whose "mfp.inf" names the printer model (all real
// entries, not links). Below a tree root that may go, the tree removal
// (machine/TreeRemoval.h) goes through folder descriptors: a link is
// removed as a link, never followed, and a mount in the tree stays whole.
#pragma once

#include <sys/types.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class TRemovalGuard {
public:
    // Gathers the guarded places of this machine and its host.
    TRemovalGuard();

    // Whether the tree at `path` may be removed.
    bool MayRemoveTree(const std::string &path) const;

    // Whether `location` is an install folder of this system that may be
    // removed with everything in it.
    bool IsOwnInstallFolder(const std::string &location) const;

private:
    struct TPlace {
        std::string path;
        bool withContents;
        bool host; // a host system folder
    };
    bool IsGuarded(const std::string &place) const;
    bool IsGuardedByIdentity(const std::string &place, bool inMachineDrive) const;

    // A file's identity on the host: the same folder under any name, a bind
    // mount's or a case-insensitive file system's spelling too.
    using TIdentity = std::pair<dev_t, ino_t>;

    std::vector<TPlace> FGuarded;
    // Every guarded place and every folder that holds one.
    std::set<TIdentity> FHolders;
    // The guarded places kept with their contents; true for a host system
    // folder.
    std::map<TIdentity, bool> FKeptWithContents;
    std::vector<std::string> FDriveRoots;
    std::string FMachineRoot;
};
