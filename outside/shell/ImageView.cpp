// The machine's picture viewer: hands the picture named on its command line
// to the desktop's viewer where there is a desktop, and does nothing where
// there is none.
#include <string>
#include <vector>

#include "DesktopHandOff.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = machine::SplitCommandLine(GetCommandLineA());
    if (arguments.size() < 2 || !standin::HasDesktop())
        return 0;
    standin::OpenOnDesktop(machine::UnixPath(arguments[1].c_str()));
    return 0;
}
