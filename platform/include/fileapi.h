// File calls of the Windows API on POSIX: files by handle and by name,
// folders, folder searches and drive types. Windows paths are mapped into
// the machine root (machine/Paths.h).
//
// A file is read-only when it has no write permission for its owner:
// SetFileAttributesA with FILE_ATTRIBUTE_READONLY takes every write bit
// away, and without it gives the owner's back. As on Windows, a read-only
// file cannot be deleted, opened for writing or replaced (ERROR_ACCESS_DENIED),
// for root too; folders have no read-only state.
#pragma once

#include "windef.h"

// ---- Access, sharing and creation -----------------------------------------

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_READ_DATA 0x0001u
#define FILE_WRITE_DATA 0x0002u
#define FILE_APPEND_DATA 0x0004u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u

#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu

// Shared with the thread and process calls; whichever header comes first
// defines it.
#ifndef ARV_SECURITY_ATTRIBUTES_DEFINED
#define ARV_SECURITY_ATTRIBUTES_DEFINED
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
#endif

// Asynchronous I/O is not offered; the type exists for the signatures.
typedef struct _OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// ---- Files by handle and by name --------------------------------------------

// Opens a file, or a COM port for "\\.\COMn" (also plain "COMn"), or the null
// device for "NUL". A folder never opens. Overlapped I/O is not offered.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
BOOL WINAPI FlushFileBuffers(HANDLE hFile);
DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod);

// Deletes a file, or a link as a link. A read-only file and a folder are
// refused with ERROR_ACCESS_DENIED, and so is the program file of a running
// process of this machine root (the process list's processes), judged by
// the real file whatever name reaches it: as Windows keeps a running image.
BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
// FILE_ATTRIBUTE_DIRECTORY for a folder; FILE_ATTRIBUTE_ARCHIVE for a file,
// with FILE_ATTRIBUTE_READONLY when it is read-only.
DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);
BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);
BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);

// ---- Folder searches ---------------------------------------------------------------

#ifndef ARV_FILETIME_DEFINED
#define ARV_FILETIME_DEFINED
// 100-nanosecond intervals since 1 January 1601 (UTC).
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;
#endif

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Searches a folder for the names that match the last component of
// lpFileName ("*" any run of characters, "?" any one; "*.*" every name;
// without regard to case). The entries come sorted by name without regard to
// case, "." and ".." first in a folder that is not a drive's root; their
// attributes are GetFileAttributesA's. No match: INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND (ERROR_PATH_NOT_FOUND when the folder is missing).
// FindNextFileA ends with ERROR_NO_MORE_FILES; FindClose ends the search.
HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI FindClose(HANDLE hFindFile);

// ---- What a file handle names ------------------------------------------------------

typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION, *PBY_HANDLE_FILE_INFORMATION, *LPBY_HANDLE_FILE_INFORMATION;

// The file behind a handle of CreateFileA. The volume serial number and the
// file index together name one file of the host, whatever name, drive or
// link it was opened by: the serial is its file system's device number
// folded to 32 bits, the index its inode number. Attributes and times are
// GetFileAttributesA's and FindFirstFileA's.
BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation);

// ---- Drives ----------------------------------------------------------------------

#define DRIVE_UNKNOWN 0u
#define DRIVE_NO_ROOT_DIR 1u
#define DRIVE_REMOVABLE 2u
#define DRIVE_FIXED 3u
#define DRIVE_REMOTE 4u
#define DRIVE_CDROM 5u
#define DRIVE_RAMDISK 6u

// The type of a drive from the machine root's drive table (machine/Drives.h):
// lpRootPathName is "X:\" (or "X:"), NULL for the current folder's drive.
// A drive the machine does not have, and a path that is no drive's root,
// give DRIVE_NO_ROOT_DIR.
UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName);
