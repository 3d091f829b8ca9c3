// The parts of the Windows C runtime that the system's code calls and that
// differ from the POSIX C library: file opening on Windows paths and the
// low-level descriptor calls with their Windows names and results.
#pragma once

#include <cstdio>

typedef int errno_t;

#define _O_TEXT 0x4000
#define _O_BINARY 0x8000

// fopen on a Windows path (mapped into the machine root). Stores the stream
// in *file, or null on failure, and returns 0 or the errno value: EINVAL for
// a null argument, an empty name or a bad mode, EACCES for a folder.
errno_t fopen_s(FILE **file, const char *name, const char *mode);

// Sets the translation mode of a descriptor and returns the previous one
// (_O_TEXT for a descriptor never set). POSIX does no translation, so this
// only records the mode. -1 with errno EINVAL or EBADF on a bad argument.
int _setmode(int fd, int mode);

int _fileno(FILE *stream);

// One read of up to count bytes: the number read, 0 at end of input, -1 on
// an error (errno set).
int _read(int fd, void *buffer, unsigned int count);

// One write: the number written, -1 on an error (errno set).
int _write(int fd, const void *buffer, unsigned int count);
