// A program on the layer's program entry: prints what WinMain was given and
// returns the length of its command line.

#include <cstdio>
#include <cstring>

#include "windows.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    printf("[%s] instance:%s previous:%s show:%d", lpCmdLine, hInstance ? "set" : "null",
           hPrevInstance ? "set" : "null", nCmdShow);
    return static_cast<int>(strlen(lpCmdLine));
}
