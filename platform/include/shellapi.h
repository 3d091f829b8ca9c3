// The shell's file calls: opening files and programs (ShellExecuteA), and
// copying, moving and deleting files and folder trees (SHFileOperationA),
// over the machine root.
#pragma once

#include "windef.h"
#include "winuser.h"

// ---- Opening files and programs --------------------------------------------------

// ShellExecuteA's results at or below 32.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_BAD_FORMAT 11
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

// Carries out a verb on a file, a program or a folder, and returns a value
// above 32 once the program that does it has started (it is not waited
// for); at or below 32 on failure, with the last error set as well:
//   - a program (".exe", ".com"; a name without a folder is looked for as
//     CreateProcessA looks) with the verb "open" or none: runs it with
//     lpParameters as the rest of its command line;
//   - a document: its extension's class in HKEY_CLASSES_ROOT, that class's
//     shell\<verb>\command (no verb: the class's default verb, else
//     "open"), with "%1" (and "%L") the file's full path and "%*" the
//     parameters; REG_EXPAND_SZ commands get %VARIABLE% expanded;
//   - a folder: the class "Folder" the same way ("open", "explore").
// lpDirectory is the started program's current folder (default: ours).
// Failures: SE_ERR_FNF and SE_ERR_PNF (the file, or the program a command
// names, does not exist), SE_ERR_NOASSOC (no class, or the class has no
// command for the verb), SE_ERR_ACCESSDENIED, SE_ERR_BAD_FORMAT (a program
// that does not run here), SE_ERR_OOM, and 0 for other failures.
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, int nShowCmd);

#define SEE_MASK_DEFAULT 0x00000000u
#define SEE_MASK_CLASSNAME 0x00000001u
#define SEE_MASK_CLASSKEY 0x00000003u
#define SEE_MASK_NOCLOSEPROCESS 0x00000040u
#define SEE_MASK_FLAG_DDEWAIT 0x00000100u
#define SEE_MASK_NOASYNC 0x00000100u
#define SEE_MASK_FLAG_NO_UI 0x00000400u

typedef struct _SHELLEXECUTEINFOA {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCSTR lpVerb;
    LPCSTR lpFile;
    LPCSTR lpParameters;
    LPCSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void *lpIDList;
    LPCSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    union {
        HANDLE hIcon;
        HANDLE hMonitor;
    };
    HANDLE hProcess;
} SHELLEXECUTEINFOA, *LPSHELLEXECUTEINFOA;

// ShellExecuteA with its result in hInstApp; TRUE on success. With
// SEE_MASK_NOCLOSEPROCESS, hProcess is a handle on the started process
// (the caller closes it). SEE_MASK_CLASSNAME takes lpClass as the file's
// class. A cbSize other than the structure's gives ERROR_INVALID_PARAMETER.
BOOL WINAPI ShellExecuteExA(SHELLEXECUTEINFOA *pExecInfo);

// ---- Copying, moving and deleting ---------------------------------------------------

#define FO_MOVE 0x0001u
#define FO_COPY 0x0002u
#define FO_DELETE 0x0003u
#define FO_RENAME 0x0004u

#define FOF_MULTIDESTFILES 0x0001u
#define FOF_CONFIRMMOUSE 0x0002u
#define FOF_SILENT 0x0004u
#define FOF_RENAMEONCOLLISION 0x0008u
#define FOF_NOCONFIRMATION 0x0010u
#define FOF_WANTMAPPINGHANDLE 0x0020u
#define FOF_ALLOWUNDO 0x0040u
#define FOF_FILESONLY 0x0080u
#define FOF_SIMPLEPROGRESS 0x0100u
#define FOF_NOCONFIRMMKDIR 0x0200u
#define FOF_NOERRORUI 0x0400u
#define FOF_NOCOPYSECURITYATTRIBS 0x0800u
#define FOF_NORECURSION 0x1000u

typedef WORD FILEOP_FLAGS;

typedef struct _SHFILEOPSTRUCTA {
    HWND hwnd;
    UINT wFunc;
    LPCSTR pFrom;
    LPCSTR pTo;
    FILEOP_FLAGS fFlags;
    BOOL fAnyOperationsAborted;
    LPVOID hNameMappings;
    LPCSTR lpszProgressTitle;
} SHFILEOPSTRUCTA, *LPSHFILEOPSTRUCTA;

// Error results of SHFileOperationA besides the Windows error codes.
#define DE_SAMEFILE 0x71
#define DE_MANYSRC1DEST 0x72
#define DE_DESTSUBTREE 0x76

// FO_COPY, FO_MOVE or FO_DELETE on the entries of pFrom: Windows paths,
// each ended by a NUL, the list by one more. The last component of an
// entry may hold the wildcards "*" and "?" ("dir\*.*" is everything in
// dir; without FOF_FILESONLY folders match too, copied or deleted whole).
// Where pTo (a list like pFrom) is an existing folder, the entries go into
// it under their own names; otherwise one entry (no wildcard) takes pTo as
// its new name, and several become the contents of the folder pTo, which
// is made with its parents. FOF_MULTIDESTFILES pairs each entry with its
// own pTo entry. Existing files are replaced, missing folders made:
// there is no user interface, so every question is answered yes and the
// flags that silence it change nothing. FOF_NORECURSION keeps a wildcard
// to the folder's files. Deletion never follows a link (it removes the
// link). Returns 0 on success; on failure the Windows error code of the
// first entry that failed (ERROR_FILE_NOT_FOUND for an entry, or a
// wildcard, that names nothing), DE_SAMEFILE for a copy onto itself,
// DE_DESTSUBTREE for a folder into its own tree, DE_MANYSRC1DEST for
// several pTo entries without FOF_MULTIDESTFILES, ERROR_INVALID_PARAMETER
// for a bad call; the entries before it stay done.
int WINAPI SHFileOperationA(LPSHFILEOPSTRUCTA lpFileOp);
