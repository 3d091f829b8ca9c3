// The program entry of a Windows program. The library platform_winmain
// holds main(), which calls the program's WinMain with the command line
// after the program name and returns its result.
#pragma once

#include "windef.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
