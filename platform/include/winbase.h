// Kernel services of the Windows API on POSIX: the last error, moving and
// copying files, COM ports, time, the program's path, local memory, message
// texts and profile (".ini") files. Windows paths are mapped into the
// machine root (machine/Paths.h); COM ports are the ttys that the root's
// port links name. The file calls are in fileapi.h, the version and the
// machine's folders in sysinfoapi.h.
#pragma once

#include <cstdarg>

#include "windef.h"
#include "fileapi.h"
#include "sysinfoapi.h"

#ifndef MAXDWORD
#define MAXDWORD 0xFFFFFFFFu
#endif

// ---- Handles, the last error and files by name ---------------------------------

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);
BOOL WINAPI CloseHandle(HANDLE hObject);

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
// Moves or renames as MoveFileA; MOVEFILE_REPLACE_EXISTING replaces a file
// (not a folder, not a read-only file) of the new name. With
// MOVEFILE_DELAY_UNTIL_REBOOT nothing moves now: the operation is recorded
// as the NT family records it, in the string pairs of HKEY_LOCAL_MACHINE
// "SYSTEM\CurrentControlSet\Control\Session Manager" value
// "PendingFileRenameOperations" ("\??\" and the full path; an empty
// second string for a NULL new name, which deletes; "!" before it for
// MOVEFILE_REPLACE_EXISTING), and the machine root's restart carries it out
// (machine/Restart.h). A NULL new name is allowed only with that flag. The
// 95 family has no such call: it fails with ERROR_CALL_NOT_IMPLEMENTED.
BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);
DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName);

// ---- COM ports -----------------------------------------------------------------

#define CBR_110 110u
#define CBR_300 300u
#define CBR_600 600u
#define CBR_1200 1200u
#define CBR_2400 2400u
#define CBR_4800 4800u
#define CBR_9600 9600u
#define CBR_14400 14400u
#define CBR_19200 19200u
#define CBR_38400 38400u
#define CBR_56000 56000u
#define CBR_57600 57600u
#define CBR_115200 115200u
#define CBR_128000 128000u
#define CBR_256000 256000u

#define NOPARITY 0
#define ODDPARITY 1
#define EVENPARITY 2
#define MARKPARITY 3
#define SPACEPARITY 4

#define ONESTOPBIT 0
#define ONE5STOPBITS 1
#define TWOSTOPBITS 2

#define DTR_CONTROL_DISABLE 0x00
#define DTR_CONTROL_ENABLE 0x01
#define DTR_CONTROL_HANDSHAKE 0x02

#define RTS_CONTROL_DISABLE 0x00
#define RTS_CONTROL_ENABLE 0x01
#define RTS_CONTROL_HANDSHAKE 0x02
#define RTS_CONTROL_TOGGLE 0x03

#define EV_RXCHAR 0x0001u
#define EV_RXFLAG 0x0002u
#define EV_TXEMPTY 0x0004u
#define EV_CTS 0x0008u
#define EV_DSR 0x0010u
#define EV_RLSD 0x0020u
#define EV_BREAK 0x0040u
#define EV_ERR 0x0080u
#define EV_RING 0x0100u
#define EV_PERR 0x0200u
#define EV_RX80FULL 0x0400u
#define EV_EVENT1 0x0800u
#define EV_EVENT2 0x1000u

#define PURGE_TXABORT 0x0001u
#define PURGE_RXABORT 0x0002u
#define PURGE_TXCLEAR 0x0004u
#define PURGE_RXCLEAR 0x0008u

// Line settings of a COM port, laid out as on 32-bit Windows (28 bytes).
typedef struct _DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
} DCB, *LPDCB;

static_assert(sizeof(DCB) == 28, "DCB must keep the 32-bit Windows layout");

// Read and write time-outs of a COM port, in milliseconds.
typedef struct _COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
} COMMTIMEOUTS, *LPCOMMTIMEOUTS;

BOOL WINAPI SetCommMask(HANDLE hFile, DWORD dwEvtMask);
BOOL WINAPI GetCommMask(HANDLE hFile, LPDWORD lpEvtMask);
BOOL WINAPI SetCommState(HANDLE hFile, LPDCB lpDCB);
BOOL WINAPI GetCommState(HANDLE hFile, LPDCB lpDCB);
BOOL WINAPI SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts);
BOOL WINAPI GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts);
BOOL WINAPI PurgeComm(HANDLE hFile, DWORD dwFlags);

// ---- Strings -------------------------------------------------------------------

// Compares two strings as the user's locale sorts words: letters without
// regard to case first, the hyphen and the apostrophe left out; then, among
// strings equal so, a lower-case letter before its capital and a string
// without the hyphen or apostrophe first. 0 only for strings that are the
// same byte for byte; otherwise -1 or 1. A null pointer sorts first.
int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2);

// ---- Time -----------------------------------------------------------------------

void WINAPI Sleep(DWORD dwMilliseconds);

// ---- The program and the machine's folders ---------------------------------------

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

// ---- Local memory -------------------------------------------------------------------

#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Blocks are fixed: the handle is the block's address (LMEM_MOVEABLE gives a
// fixed block too). LocalFree returns NULL when it freed the block, and the
// handle itself, with ERROR_INVALID_HANDLE, for one that LocalAlloc did not
// give out.
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL WINAPI LocalFree(HLOCAL hMem);
HLOCAL WINAPI LocalHandle(LPCVOID pMem);

// ---- Message texts -----------------------------------------------------------------

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_STRING 0x00000400u
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000u
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FFu

// The text of a system error code (FROM_SYSTEM) or of a given string
// (FROM_STRING), with "%n", "%%" and the like expanded and "\r\n" at its
// end (none with a width in the low byte). The system's table holds the
// common error codes in English, offered for the language ids 0, 0x400 and
// 0x800, any English id and the machine's user-interface language; other
// languages fail with ERROR_RESOURCE_LANG_NOT_FOUND, an unknown code with
// ERROR_MR_MID_NOT_FOUND. Inserts ("%1") are kept as they are with
// IGNORE_INSERTS and taken as strings from a DWORD_PTR array with
// ARGUMENT_ARRAY; insert values from a va_list are not offered
// (ERROR_INVALID_PARAMETER). With ALLOCATE_BUFFER, lpBuffer is an LPSTR *
// that receives a LocalAlloc block of at least nSize bytes. Returns the
// text's length without its NUL; 0 on failure.
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list *Arguments);

// ---- Profile (".ini") files ------------------------------------------------------------

// A file name without a folder lies in the Windows folder. Lines are
// "[section]" and "key=value"; names compare without regard to ASCII case,
// and the first section and key of a name count.
//
// Sets key=value in the section, making the file and the section as
// needed. A NULL key deletes the section, a NULL value the key.
BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
// The key's value, blanks around it and one pair of enclosing quotes taken
// off; else lpDefault without its trailing blanks. A NULL section lists the
// section names, a NULL key the section's keys, each with its NUL and one
// more NUL after the last. A text too long is cut to fit with its NUL (a
// list keeps its two NULs); the result is then nSize - 1 (nSize - 2 for a
// list). Returns the number of characters copied, NULs left out.
DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
