// The C runtime's current folders (direct.h): one current folder per drive,
// as Windows' C runtime keeps them. The process's current folder is that of
// the current drive; the others are remembered from _chdir, and a drive not
// yet visited is at its root.
#pragma once

#include <cstddef>

// Drive numbers: 1 is A:, 3 is C:; 0 in _getdcwd means the current drive.
int _getdrive();

// The current folder as a Windows path into `buffer` of `maxlen` bytes.
// A null buffer gets a block of at least `maxlen` bytes from malloc (the
// caller frees it). Null with errno ERANGE when it does not fit.
char *_getcwd(char *buffer, int maxlen);

// The same for a drive; null with errno EACCES for a drive the machine does
// not have, EINVAL for a number outside 0..26.
char *_getdcwd(int drive, char *buffer, int maxlen);

// Makes the folder current (and its drive the current drive): 0, or -1 with
// errno ENOENT when it does not exist or is no folder.
int _chdir(const char *dirname);
