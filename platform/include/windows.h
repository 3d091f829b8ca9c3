// The subset of the Windows API that the system's code calls, on POSIX.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "fileapi.h"
#include "sysinfoapi.h"
#include "winbase.h"
#include "processthreadsapi.h"
#include "processenv.h"
#include "winreg.h"
#include "winnls.h"
#include "winuser.h"
#include "shellapi.h"
#ifndef WIN32_LEAN_AND_MEAN
#include "winspool.h"
#endif
