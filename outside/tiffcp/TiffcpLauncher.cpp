// tiffcp.exe: libtiff's tiffcp (found on PATH) run with the same options,
// each file argument mapped from its Windows path into the machine root.
// The launcher becomes tiffcp, so its exit status is tiffcp's.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "machine/Paths.h"

namespace {

// tiffcp's options that take the next argument as their value.
bool TakesValue(const std::string &option)
{
    return option.size() == 2 && option[0] == '-' && strchr("bcflmoprw", option[1]) != nullptr;
}

// A file argument may end in ",N..." to pick images: the name is mapped,
// the picks kept.
std::string MapFile(const std::string &argument)
{
    size_t cut = argument.size();
    for (size_t comma = argument.rfind(','); comma != std::string::npos && comma > 0;
         comma = argument.rfind(',', comma - 1)) {
        const std::string tail = argument.substr(comma + 1);
        if (tail.empty() || tail.find_first_not_of("0123456789") != std::string::npos)
            break;
        cut = comma;
    }
    struct stat info;
    if (cut != argument.size() && stat(machine::UnixPath(argument.c_str()).c_str(), &info) == 0)
        cut = argument.size(); // a name that holds the comma itself
    return machine::UnixPath(argument.substr(0, cut).c_str()) + argument.substr(cut);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> arguments{"tiffcp"};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-') {
            arguments.push_back(argument);
            if (TakesValue(argument) && i + 1 < argc) {
                ++i;
                arguments.push_back(argument == "-b" ? MapFile(argv[i]) : argv[i]);
            }
            continue;
        }
        arguments.push_back(MapFile(argument));
    }
    std::vector<char *> pointers;
    for (std::string &argument : arguments)
        pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    execvp("tiffcp", pointers.data());
    fprintf(stderr, "tiffcp.exe: cannot run tiffcp: %s\n", strerror(errno));
    return 127;
}
