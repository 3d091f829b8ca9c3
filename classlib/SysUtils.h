// The class library's file-name functions over Windows paths, and the
// creation of one folder.
// A path's parts are split at "\" and ":" only, as the class library does;
// "/" is an ordinary character here.
#pragma once

#include "AnsiString.h"

// The path up to and including its last "\" or ":"; empty if it has none.
AnsiString ExtractFilePath(const AnsiString &fileName);
// The part after the last "\" or ":".
AnsiString ExtractFileName(const AnsiString &fileName);
// "C:" for "C:\x", "\\server\share" for "\\server\share\x", else empty.
AnsiString ExtractFileDrive(const AnsiString &fileName);
// The path without one trailing "\" / with one ensured.
AnsiString ExcludeTrailingBackslash(const AnsiString &path);
AnsiString IncludeTrailingBackslash(const AnsiString &path);

// Creates one folder whose parent exists; false if it cannot be made or
// already exists.
bool CreateDir(const AnsiString &dir);
