// The registry functions of the Windows API (ANSI forms), over the text
// hives of the machine root. Results are Windows error codes (LSTATUS):
// ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for a missing key or value,
// ERROR_MORE_DATA when a buffer is too small (with the needed size where
// Windows gives it), ERROR_NO_MORE_ITEMS at the end of an enumeration,
// ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED for a change through a handle
// opened without the right, ERROR_KEY_DELETED for a handle whose key was
// deleted, ERROR_BADDB for a change to a hive whose file is damaged (the
// file is then left as it is).
//
// Key and value names compare without regard to ASCII case and keep the
// spelling they were created with; subkeys enumerate sorted without regard
// to case, values in the order they were first set. Key paths are
// backslash-separated and relative to the given key; one trailing
// backslash is allowed.
#pragma once

#include "windef.h"
#include "winerror.h"

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif

// Predefined keys. HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER are backed by
// hive files. HKEY_CLASSES_ROOT is the view Windows gives of the classes:
// a key named below it is the user's (HKEY_CURRENT_USER, key
// "Software\Classes") when the user has it, else the machine's
// (HKEY_LOCAL_MACHINE, key "SOFTWARE\Classes"), where new keys are made.
// The choice is made for each key opened from HKEY_CLASSES_ROOT itself, and
// the key's handle then stays in that hive. HKEY_CLASSES_ROOT used directly
// is the machine's classes key.
// The other predefined keys are recognised and refused
// (ERROR_INVALID_HANDLE).
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))
#define HKEY_PERFORMANCE_DATA (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000004u)))
#define HKEY_CURRENT_CONFIG (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000005u)))

// Value types.
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_DWORD_LITTLE_ENDIAN 4u
#define REG_DWORD_BIG_ENDIAN 5u
#define REG_LINK 6u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u

// Access rights.
#ifndef DELETE
#define DELETE 0x00010000u
#endif
#ifndef READ_CONTROL
#define READ_CONTROL 0x00020000u
#endif
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000u
#endif
#ifndef STANDARD_RIGHTS_READ
#define STANDARD_RIGHTS_READ READ_CONTROL
#endif
#ifndef STANDARD_RIGHTS_WRITE
#define STANDARD_RIGHTS_WRITE READ_CONTROL
#endif
#ifndef STANDARD_RIGHTS_ALL
#define STANDARD_RIGHTS_ALL 0x001F0000u
#endif
#ifndef MAXIMUM_ALLOWED
#define MAXIMUM_ALLOWED 0x02000000u
#endif
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_WOW64_64KEY 0x0100u
#define KEY_WOW64_32KEY 0x0200u
#define KEY_READ 0x00020019u
#define KEY_EXECUTE KEY_READ
#define KEY_WRITE 0x00020006u
#define KEY_ALL_ACCESS 0x000F003Fu

// RegCreateKeyExA options and dispositions.
#define REG_OPTION_NON_VOLATILE 0x0u
#define REG_OPTION_VOLATILE 0x1u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

// The limits Windows sets on names and on the depth of the key tree: a key
// lies at most 512 levels below its hive's root.
#define ARV_REG_MAX_KEY_NAME 255
#define ARV_REG_MAX_VALUE_NAME 16383
#define ARV_REG_MAX_KEY_DEPTH 512

// Structures that only pass through these calls (callers pass null); the
// kernel header declares them in full.
struct _SECURITY_ATTRIBUTES;
struct _FILETIME;

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LSTATUS WINAPI RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
// A key name longer than 255 bytes, or a key that would lie more than 512
// levels below its hive's root, is refused with ERROR_INVALID_PARAMETER.
LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                               REGSAM samDesired, struct _SECURITY_ATTRIBUTES *lpSecurityAttributes,
                               PHKEY phkResult, LPDWORD lpdwDisposition);
LSTATUS WINAPI RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LSTATUS WINAPI RegCloseKey(HKEY hKey);

// lpData null: only the type and size. *lpcbData too small: ERROR_MORE_DATA
// and *lpcbData = the size needed. REG_SZ sizes include the terminating
// NUL as it was stored.
LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData);
LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE *lpData,
                              DWORD cbData);
LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some, as
// on NT); lpSubKey empty deletes the key of hKey itself.
LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes a key with everything below it; lpSubKey null or empty deletes
// the subkeys and values of hKey and keeps the key.
LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);

// *lpcchName: in, the buffer size in characters; out, the name's length
// without its NUL. A buffer too small gives ERROR_MORE_DATA (count as it
// was), as Windows does. Keys have no class here: lpClass gets "".
LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                             LPSTR lpClass, LPDWORD lpcchClass, struct _FILETIME *lpftLastWriteTime);
LSTATUS WINAPI RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);
// Name as for RegEnumKeyExA; data as for RegQueryValueExA (ERROR_MORE_DATA
// with *lpcbData = the size needed).
LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                                LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, struct _FILETIME *lpftLastWriteTime);
// Every change is on disk when its call returns; this only checks the handle.
LSTATUS WINAPI RegFlushKey(HKEY hKey);
