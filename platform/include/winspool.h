// The print spooler of the Windows API (ANSI forms), over the machine
// root's registry: port monitors, their ports, printer drivers, printers and
// the default printer, kept where Windows keeps them (machine/Spooler.h),
// so that the reg tool shows them.
//
// Only the local machine is served: a server name must be null or empty
// (else ERROR_INVALID_NAME). Failures return FALSE (or a null handle) and
// set the last error. Names of monitors, ports, drivers and printers
// compare without regard to ASCII case and keep the spelling they were
// made with.
//
// The enumerations fill the caller's buffer as Windows does: the array of
// structures at its start, their strings packed from its end downwards. A
// list that does not fit fails with ERROR_INSUFFICIENT_BUFFER, returns no
// entries and gives the size needed in *pcbNeeded, which a success sets
// too. Structures are written byte-wise, but the caller reads them in place:
// its buffer must be aligned for pointers.
#pragma once

#include "windef.h"
#include "winerror.h"

typedef void *PSECURITY_DESCRIPTOR;
// The device mode only passes through these calls (callers pass null).
typedef struct _devicemodeA *LPDEVMODEA;

// ---- Printers ------------------------------------------------------------------

typedef struct _PRINTER_INFO_2A {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    LPDEVMODEA pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    PSECURITY_DESCRIPTOR pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
} PRINTER_INFO_2A, *PPRINTER_INFO_2A, *LPPRINTER_INFO_2A;

typedef struct _PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    LPDEVMODEA pDevMode;
    ACCESS_MASK DesiredAccess;
} PRINTER_DEFAULTSA, *PPRINTER_DEFAULTSA, *LPPRINTER_DEFAULTSA;

#ifndef DELETE
#define DELETE 0x00010000u
#endif
#ifndef STANDARD_RIGHTS_REQUIRED
#define STANDARD_RIGHTS_REQUIRED 0x000F0000u
#endif
#define SERVER_ACCESS_ADMINISTER 0x00000001u
#define SERVER_ACCESS_ENUMERATE 0x00000002u
#define PRINTER_ACCESS_ADMINISTER 0x00000004u
#define PRINTER_ACCESS_USE 0x00000008u
#define PRINTER_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE)

#define PRINTER_ATTRIBUTE_QUEUED 0x00000001u
#define PRINTER_ATTRIBUTE_DIRECT 0x00000002u
#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004u
#define PRINTER_ATTRIBUTE_SHARED 0x00000008u
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040u

// Level 2 only. The printer name may hold neither '\' nor ',' and has at
// most 220 characters (ERROR_INVALID_PRINTER_NAME); a printer of that name
// gives ERROR_PRINTER_ALREADY_EXISTS. The driver must be installed for the
// local environment (ERROR_UNKNOWN_PRINTER_DRIVER), the port must exist
// (ERROR_UNKNOWN_PORT), and the print processor must be "WinPrint"
// (ERROR_UNKNOWN_PRINTPROCESSOR). Returns a handle with PRINTER_ALL_ACCESS.
HANDLE WINAPI AddPrinterA(LPSTR pName, DWORD Level, LPBYTE pPrinter);
// Opens an existing printer (else ERROR_INVALID_PRINTER_NAME) with the
// access that pDefault asks for; PRINTER_ACCESS_USE without one.
BOOL WINAPI OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault);
BOOL WINAPI ClosePrinter(HANDLE hPrinter);
// Needs a handle opened with DELETE (PRINTER_ALL_ACCESS has it), else
// ERROR_ACCESS_DENIED. The printer goes at once; its handle stays open
// until ClosePrinter, and further calls on it give ERROR_PRINTER_DELETED.
// A printer that was the default printer is the default no longer.
BOOL WINAPI DeletePrinter(HANDLE hPrinter);

// The current user's default printer. Setting names an existing printer
// (else ERROR_INVALID_PRINTER_NAME); null or "" keeps the default there is,
// or chooses the first printer when there is none. Getting: *pcchBuffer is
// in characters with the NUL; no default gives ERROR_FILE_NOT_FOUND, a
// buffer too small ERROR_INSUFFICIENT_BUFFER with the size needed.
BOOL WINAPI SetDefaultPrinterA(LPCSTR pszPrinter);
BOOL WINAPI GetDefaultPrinterA(LPSTR pszBuffer, LPDWORD pcchBuffer);

// ---- Printer drivers ----------------------------------------------------------------

typedef struct _DRIVER_INFO_2A {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
} DRIVER_INFO_2A, *PDRIVER_INFO_2A, *LPDRIVER_INFO_2A;

// Level 2 only. Environment null means the local one ("Windows NT x86",
// version 3); "Windows 4.0" takes version 0. A driver of that name and
// version is replaced. The driver's files are recorded by name.
BOOL WINAPI AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo);
// Deletes the driver of every version in the environment; a driver that a
// printer uses gives ERROR_PRINTER_DRIVER_IN_USE.
BOOL WINAPI DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName);

// ---- Port monitors -------------------------------------------------------------

typedef struct _MONITOR_INFO_1A {
    LPSTR pName;
} MONITOR_INFO_1A, *PMONITOR_INFO_1A, *LPMONITOR_INFO_1A;

typedef struct _MONITOR_INFO_2A {
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDLLName;
} MONITOR_INFO_2A, *PMONITOR_INFO_2A, *LPMONITOR_INFO_2A;

// Levels 1 and 2, in the registry's order of the monitors.
BOOL WINAPI EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned);
// Level 2 only. The library is a file name in the system folder
// (ERROR_MOD_NOT_FOUND when it is not there) that holds a port monitor
// (ERROR_PROC_NOT_FOUND when it does not). A monitor of that name gives
// ERROR_PRINT_MONITOR_ALREADY_INSTALLED; an environment other than
// "Windows NT x86" and "Windows 4.0" gives ERROR_INVALID_ENVIRONMENT.
BOOL WINAPI AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitors);
// Deletes the monitor with its ports: ERROR_UNKNOWN_PRINT_MONITOR when
// there is none, ERROR_PRINT_MONITOR_IN_USE when a printer prints to one
// of its ports.
BOOL WINAPI DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName);

// ---- Ports ------------------------------------------------------------------------

typedef struct _PORT_INFO_1A {
    LPSTR pName;
} PORT_INFO_1A, *PPORT_INFO_1A, *LPPORT_INFO_1A;

typedef struct _PORT_INFO_2A {
    LPSTR pPortName;
    LPSTR pMonitorName;
    LPSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
} PORT_INFO_2A, *PPORT_INFO_2A, *LPPORT_INFO_2A;

#define PORT_TYPE_WRITE 0x0001u
#define PORT_TYPE_READ 0x0002u
#define PORT_TYPE_REDIRECTED 0x0004u
#define PORT_TYPE_NET_ATTACHED 0x0008u

// Levels 1 and 2: the ports of every monitor, monitor by monitor.
BOOL WINAPI EnumPortsA(LPSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
// Asks the monitor for a new port (ERROR_UNKNOWN_PRINT_MONITOR when there
// is none). Every monitor of this machine is a redirecting port monitor:
// it adds the first free port "RPT1:", "RPT2:", ... without asking, and
// records its name as the current user's "LastPort" (machine/Spooler.h).
BOOL WINAPI AddPortA(LPSTR pName, HWND hWnd, LPSTR pMonitorName);
// ERROR_UNKNOWN_PORT when there is no such port, ERROR_BUSY while a printer
// prints to it.
BOOL WINAPI DeletePortA(LPSTR pName, HWND hWnd, LPSTR pPortName);
