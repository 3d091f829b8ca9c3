// The class library's folder functions, on the machine root's drives and
// Windows paths: what the drive and directory lists and the folder dialog
// show, and the creation of a folder with its missing parents.
//
// Paths are 8-bit Windows paths ("C:\Program Files"); a folder's own path
// has no trailing backslash except a drive's root ("C:\").
#pragma once

#include <vector>

#include "AnsiString.h"

// Whether the path names an existing folder.
bool DirectoryExists(const AnsiString &Name);

// Creates the folder and every missing folder above it; a relative name is
// taken in the current folder. True when the folder exists afterwards (also
// when it existed before); false for an empty or unusable path, or when a
// folder cannot be made.
bool ForceDirectories(const AnsiString &Dir);

// The full path that `Name` stands for when typed while `Base` (a full path)
// is the current folder: "/" and "\" both separate, "." and ".." are taken,
// a name without a drive is taken on Base's drive ("\x" from its root),
// "X:" alone is the root of X:, and the drive letter is upper case. Empty
// for an empty name and for network names ("\\server\share").
AnsiString ExpandFolderName(const AnsiString &Name, const AnsiString &Base);

// The drives of the machine: upper-case letters in order, each a folder
// that exists.
std::vector<char> DriveLetters();

// The folders inside `Folder`, by name, in the order of their names without
// regard to case. Names that begin with "." (hidden on this system) and
// names that a Windows path cannot carry are left out.
std::vector<AnsiString> SubfolderNames(const AnsiString &Folder);

// The folders from the drive's root down to `Folder` itself: for
// "C:\A\B" the names "C:\", "A" and "B". Empty for a path that is not full.
std::vector<AnsiString> FolderLevels(const AnsiString &Folder);
