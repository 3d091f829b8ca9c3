#include "RootOption.h"

#include "machine/MachineRoot.h"

#include <cstdlib>

namespace tools {

bool TakeRootOption(std::vector<std::string> &args, const TakesValue &takesValue)
{
    static const std::string kPrefix = "--root=";
    size_t at = 0;
    while (at < args.size()) {
        if (args[at] == "--root") {
            if (at + 1 == args.size())
                return false;
            setenv(machine::kRootVariable, args[at + 1].c_str(), 1);
            args.erase(args.begin() + static_cast<long>(at), args.begin() + static_cast<long>(at) + 2);
        } else if (args[at].compare(0, kPrefix.size(), kPrefix) == 0) {
            setenv(machine::kRootVariable, args[at].substr(kPrefix.size()).c_str(), 1);
            args.erase(args.begin() + static_cast<long>(at));
        } else {
            at += takesValue && takesValue(args, at) ? 2 : 1;
        }
    }
    return true;
}

} // namespace tools
