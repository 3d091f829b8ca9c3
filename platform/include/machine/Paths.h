// Mapping between Windows paths and the Unix paths that hold them in the
// machine root. Drive C: is <root>/drives/c; every other drive letter is the
// link <root>/drives/<letter>, and Z: links to "/", so any Unix path also
// has a Windows name (/work/x is Z:\work\x).
#pragma once

#include <string>

namespace machine {

// The Unix path of a Windows path. Both '\' and '/' separate components;
// relative names resolve against the process's current folder; "." and ".."
// are handled (".." stops at the drive's root). Each component matches an
// existing entry without regard to case (the exact spelling first, else the
// first matching entry in byte order); a component that does not exist
// keeps its spelling. "\\?\" prefixes are dropped. A device name
// ("\\.\COM5") gives its port link. Returns "" for a null or empty name and
// for network (UNC) paths.
std::string UnixPath(const char *windowsPath);

// The Windows path of a Unix path (relative to the current folder if it is
// not absolute): the drive whose folder holds it most closely, else Z:.
std::string WindowsPath(const std::string &unixPath);

// The real host place of the entry that a Windows path names, as the file
// calls act on it: the name checked and mapped as they map it, then every
// symbolic link on the way to the entry resolved (a drive's link, Z:, links
// in folders); the entry itself is not followed, so a link names its own
// place. The drive roots' places are their real folders ("/" for Z:\).
// "" when the file calls refuse the name or the folder that would hold the
// entry does not exist; the entry itself need not exist.
std::string RealPlace(const char *windowsPath);

} // namespace machine
