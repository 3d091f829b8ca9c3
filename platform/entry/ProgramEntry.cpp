// main() of a program written against the Windows API: it takes the command
// line the program was started with (machine/Programs.h), hands WinMain the
// part after the program name, as Windows does, and returns WinMain's
// result as the exit code.

#include "machine/Programs.h"
#include "windows.h"

namespace {

// The image base of a 32-bit Windows program; WinMain's callers treat the
// instance handle as an opaque value.
const HINSTANCE kProgramInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000));

} // namespace

int main(int argc, char **argv)
{
    machine::TakeCommandLine(argc, argv);
    LPSTR commandLine = GetCommandLineA();
    LPSTR tail = commandLine + (machine::CommandLineTail(commandLine) - commandLine);
    return WinMain(kProgramInstance, nullptr, tail, SW_SHOWNORMAL);
}
