// The setup library of the Windows API (ANSI forms), on the machine root:
// reading INF files, and copying a driver package's INF into the Windows
// folder's INF store ("C:\Windows\inf") as an OEM INF.
//
// INF files: sections "[name]", lines "key = field, field, ..." or
// "field, field, ...", ';' comments, double-quoted fields ("" for a quote
// inside), a '\' at the end of a line continues it, and %name% replaced
// from the [Strings] section (%% is a '%'). Section names and keys compare
// without regard to ASCII case. A line without '=' that holds one field
// has that field as its key too.
#pragma once

#include "windef.h"
#include "winerror.h"

// Errors of the setup library.
#define APPLICATION_ERROR_MASK 0x20000000u
#define ERROR_SEVERITY_ERROR 0xC0000000u
#define ERROR_EXPECTED_SECTION_NAME (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x0u)
#define ERROR_BAD_SECTION_NAME_LINE (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x1u)
#define ERROR_SECTION_NAME_TOO_LONG (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x2u)
#define ERROR_GENERAL_SYNTAX (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x3u)
#define ERROR_WRONG_INF_STYLE (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x100u)
#define ERROR_LINE_NOT_FOUND (APPLICATION_ERROR_MASK | ERROR_SEVERITY_ERROR | 0x102u)

// ---- INF files ------------------------------------------------------------------------

typedef PVOID HINF;

typedef struct _INFCONTEXT {
    PVOID Inf;
    PVOID CurrentInf;
    UINT Section;
    UINT Line;
} INFCONTEXT, *PINFCONTEXT;

#define INF_STYLE_NONE 0x00000000u
#define INF_STYLE_OLDNT 0x00000001u
#define INF_STYLE_WIN4 0x00000002u

// INF_STYLE_WIN4 asks for a [Version] section whose "Signature" is
// "$Windows NT$", "$Chicago$" or "$Windows 95$" (ERROR_WRONG_INF_STYLE
// otherwise, unless INF_STYLE_OLDNT is given too). A syntax error gives its
// code and the 1-based line in *ErrorLine. InfClass is not checked.
// INVALID_HANDLE_VALUE on failure.
HINF WINAPI SetupOpenInfFileA(PCSTR FileName, PCSTR InfClass, DWORD InfStyle, PUINT ErrorLine);
void WINAPI SetupCloseInfFile(HINF InfHandle);

// The first line of the section, or its first line with that key (null:
// any); ERROR_LINE_NOT_FOUND when there is none.
BOOL WINAPI SetupFindFirstLineA(HINF InfHandle, PCSTR Section, PCSTR Key, PINFCONTEXT Context);
// The line after ContextIn's in its section (ContextOut may be ContextIn).
BOOL WINAPI SetupFindNextLine(const INFCONTEXT *ContextIn, PINFCONTEXT ContextOut);
// The line's fields after its key.
DWORD WINAPI SetupGetFieldCount(const INFCONTEXT *Context);
// Field 0 is the key ("" for a line without one), 1.. the fields, with the
// strings replaced. Sizes are in characters with the NUL: a null buffer
// only gives *RequiredSize; one too small gives ERROR_INSUFFICIENT_BUFFER;
// a field the line does not have gives ERROR_INVALID_PARAMETER.
BOOL WINAPI SetupGetStringFieldA(const INFCONTEXT *Context, DWORD FieldIndex, PSTR ReturnBuffer,
                                 DWORD ReturnBufferSize, PDWORD RequiredSize);

// ---- OEM INF files ------------------------------------------------------------------------

#define SPOST_NONE 0u
#define SPOST_PATH 1u
#define SPOST_URL 2u
#define SPOST_MAX 3u

#define SP_COPY_DELETESOURCE 0x0000001u
#define SP_COPY_REPLACEONLY 0x0000002u
#define SP_COPY_NOOVERWRITE 0x0000008u

// Copies an INF (it must open as INF_STYLE_WIN4) into the INF store as the
// first free "oem<N>.inf", N from 0, and gives the copy's full path. When
// the store already holds a file of the same content, that copy is the
// result: with SP_COPY_NOOVERWRITE the call then fails with
// ERROR_FILE_EXISTS and still names it. SP_COPY_REPLACEONLY copies only
// over such a file (else ERROR_FILE_NOT_FOUND); SP_COPY_DELETESOURCE
// deletes the source after a copy. The path's size in characters with its
// NUL goes to *RequiredSize; a buffer too small for it fails with
// ERROR_INSUFFICIENT_BUFFER, the copy made all the same.
// *DestinationInfFileNameComponent points at the file name in the buffer.
BOOL WINAPI SetupCopyOEMInfA(PCSTR SourceInfFileName, PCSTR OEMSourceMediaLocation, DWORD OEMSourceMediaType,
                             DWORD CopyStyle, PSTR DestinationInfFileName, DWORD DestinationInfFileNameSize,
                             PDWORD RequiredSize, PSTR *DestinationInfFileNameComponent);
