// Languages and code pages of the Windows API on POSIX.
//
// The machine's user-interface language comes from the machine root's
// settings (the file "ui-language" in machine::SettingsFolder(), holding a
// decimal language id such as 2052), else from the locale (LC_ALL,
// LC_MESSAGES, LANG), else 1033. The ANSI code page follows it: 936 on a
// Chinese system, 1252 otherwise. WCHAR text is UTF-16.
#pragma once

#include "windef.h"

#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif

// ---- Languages -------------------------------------------------------------------

#define LANG_NEUTRAL 0x00
#define LANG_CHINESE 0x04
#define LANG_ENGLISH 0x09
#define LANG_FRENCH 0x0c
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_CHINESE_SIMPLIFIED 0x02

#define MAKELANGID(p, s) (static_cast<WORD>((static_cast<WORD>(s) << 10) | static_cast<WORD>(p)))
#define PRIMARYLANGID(lgid) (static_cast<WORD>(lgid) & 0x3ff)
#define SUBLANGID(lgid) (static_cast<WORD>(lgid) >> 10)

LANGID WINAPI GetSystemDefaultUILanguage();
LANGID WINAPI GetUserDefaultUILanguage();
LANGID WINAPI GetSystemDefaultLangID();
LANGID WINAPI GetUserDefaultLangID();

// ---- Code pages -------------------------------------------------------------------

#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_MACCP 2u
#define CP_THREAD_ACP 3u
#define CP_UTF8 65001u

#define MB_PRECOMPOSED 0x00000001u
#define MB_COMPOSITE 0x00000002u
#define MB_USEGLYPHCHARS 0x00000004u
#define MB_ERR_INVALID_CHARS 0x00000008u

#define WC_COMPOSITECHECK 0x00000200u
#define WC_DISCARDNS 0x00000010u
#define WC_SEPCHARS 0x00000020u
#define WC_DEFAULTCHAR 0x00000040u
#define WC_ERR_INVALID_CHARS 0x00000080u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

UINT WINAPI GetACP();
UINT WINAPI GetOEMCP();
BOOL WINAPI IsValidCodePage(UINT CodePage);

// Converts cbMultiByte bytes (-1: up to and including the terminating NUL)
// of the code page to UTF-16. With cchWideChar 0 only the needed length is
// returned. 0 on failure: ERROR_INSUFFICIENT_BUFFER when the output does not
// fit, ERROR_INVALID_PARAMETER for bad arguments or an unknown code page,
// ERROR_NO_UNICODE_TRANSLATION for an invalid byte under
// MB_ERR_INVALID_CHARS (without it such bytes become a replacement
// character).
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                               int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);

// The reverse. Characters the code page lacks become lpDefaultChar (NULL:
// "?") and set *lpUsedDefaultChar; for CP_UTF8 both must be NULL, and an
// unpaired surrogate becomes U+FFFD (a failure under WC_ERR_INVALID_CHARS).
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                               int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                               LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);
