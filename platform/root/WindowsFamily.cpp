// Which family of Windows the machine is: the settings folder's
// "windows-family".
#include "machine/MachineRoot.h"

#include <fstream>
#include <string>

namespace machine {

WindowsFamily Family()
{
    std::ifstream in(SettingsFolder() + "/" + kWindowsFamilySetting);
    std::string word;
    in >> word;
    std::string rest;
    return word == "95" && !(in >> rest) ? WindowsFamily::Windows95 : WindowsFamily::NT;
}

} // namespace machine
