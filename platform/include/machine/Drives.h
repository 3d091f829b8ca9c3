// The machine's drives: each is a folder or a link in <root>/drives (drives/c
// is drive C:, the link drives/z leads to "/"). Their types are in the drive
// table, the settings folder's file "drives", a line for each drive that is
// not a fixed disk:
//
//   ; install media
//   D: cdrom
//
// with the types fixed, removable, cdrom and network. A drive that is not
// in the table is fixed; a word that is no type gives DRIVE_UNKNOWN.
#pragma once

#include "fileapi.h"

#include <string>

namespace machine {

constexpr const char *kDriveTableSetting = "drives";

// Makes the existing `folder` drive `letter` (any case) of `type`
// (DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_CDROM or DRIVE_REMOTE): the drive's
// link leads to the folder and the table holds its type. A drive of that
// letter that is a link is replaced. False, with nothing changed, for C:
// and Z:, for a letter whose drive is a folder of the root, a type that is
// none of those, or a folder that does not exist.
bool MountDrive(char letter, const std::string &folder, UINT type);

// Takes a mounted drive away again: its link and its line in the table.
// The folder it led to stays. False for C:, Z: and a drive that is a folder
// of the root.
bool UnmountDrive(char letter);

// The drive's type as GetDriveTypeA gives it: DRIVE_NO_ROOT_DIR when the
// machine has no such drive (no folder, or a link to nothing).
UINT DriveType(char letter);

} // namespace machine
