// Removal of files and trees through folder descriptors, for a remover
// that judged a place and must delete only what lies there. Each folder on
// the way is opened without following links and every entry is judged and
// removed relative to its opened folder, so swapping a folder for a link
// (or another folder) after the judgement reaches nothing outside.
#pragma once

namespace machine {

// Removes the tree that the Windows path `path` names: a file or a link
// goes by itself (a link as a link), a folder is emptied depth first in
// listing order and then removed. Each file goes as DeleteFileA would let
// it: a read-only file, one open without delete sharing and the program
// file of a running process of this machine stay, and so does every folder
// above them. A folder on another mount than the folder holding it (a file
// system or a bind mount) is left whole, also when it is the tree's root.
// A missing path does nothing; false when anything named stays.
bool RemoveTree(const char *path);

// Deletes the file or link `name` directly in the folder that the Windows
// path `folder` names (its links resolved when the call starts), as
// DeleteFileA would; a folder, a `name` holding a separator, a missing
// entry and a folder reached through a link put on the way after the path
// was resolved are refused. False, with the last error set, when nothing
// was deleted.
bool DeleteFileIn(const char *folder, const char *name);

} // namespace machine
