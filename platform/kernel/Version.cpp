// The version of the machine's Windows, by the family its settings name.
#include "machine/MachineRoot.h"
#include "sysinfoapi.h"

namespace {

// Windows XP: 5.1, build 2600; the high bit clear marks the NT family.
constexpr DWORD kNtVersion = (2600u << 16) | (1u << 8) | 5u;
// Windows 98: 4.10; the high bit set marks the 95 family, whose build
// number is not given here.
constexpr DWORD kWindows95Version = 0xC0000000u | (10u << 8) | 4u;

} // namespace

DWORD WINAPI GetVersion()
{
    return machine::Family() == machine::WindowsFamily::Windows95 ? kWindows95Version : kNtVersion;
}
