// machine: the machine root's own operations on the command line.
//
//   machine [--root DIR] restart
//   machine [--root DIR] mount X: FOLDER [fixed|removable|cdrom|network]
//   machine [--root DIR] unmount X:
//
// "restart" starts the machine anew as its Windows family does: the file
// operations put off until then are carried out and cleared, each reported
// on a line. "mount" makes a folder drive X: of the type given (cdrom when
// none is given: the install media), "unmount" takes the drive away again.
// The machine root is the one ARV_MACHINE_ROOT names unless --root
// (anywhere on the line) gives one. Exit code 0 on success, 1 on failure,
// 2 for a command line that is not understood.
#include "RootOption.h"

#include "fileapi.h"
#include "machine/Drives.h"
#include "machine/MachineRoot.h"
#include "machine/Restart.h"

#include <cctype>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: machine [--root DIR] restart\n"
                      "       machine [--root DIR] mount X: FOLDER [fixed|removable|cdrom|network]\n"
                      "       machine [--root DIR] unmount X:\n";

int Usage()
{
    std::cerr << kUsage;
    return 2;
}

// The letter of "X:", else 0.
char DriveLetter(const std::string &text)
{
    return text.size() == 2 && text[1] == ':' && isalpha(static_cast<unsigned char>(text[0])) ? text[0] : 0;
}

bool TypeOf(const std::string &word, UINT *type)
{
    const struct {
        const char *word;
        UINT type;
    } types[] = {{"fixed", DRIVE_FIXED}, {"removable", DRIVE_REMOVABLE}, {"cdrom", DRIVE_CDROM}, {"network", DRIVE_REMOTE}};
    for (const auto &entry : types) {
        if (word == entry.word) {
            *type = entry.type;
            return true;
        }
    }
    return false;
}

int Restart()
{
    const std::vector<machine::StartOperation> operations = machine::Restart();
    for (const machine::StartOperation &operation : operations) {
        std::cout << (operation.done ? "" : "passed over: ");
        if (operation.to.empty())
            std::cout << "delete " << operation.from << "\n";
        else
            std::cout << "move " << operation.from << " to " << operation.to << "\n";
    }
    std::cout << "Restarted " << machine::RootPath() << " (" << operations.size() << " pending operation"
              << (operations.size() == 1 ? "" : "s") << ").\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!tools::TakeRootOption(args, nullptr) || args.empty())
        return Usage();
    const std::string &command = args[0];
    if (command == "restart" && args.size() == 1)
        return Restart();
    if (command == "mount" && (args.size() == 3 || args.size() == 4)) {
        UINT type = DRIVE_CDROM;
        const char letter = DriveLetter(args[1]);
        if (!letter || (args.size() == 4 && !TypeOf(args[3], &type)))
            return Usage();
        if (!machine::MountDrive(letter, args[2], type)) {
            std::cerr << "machine: cannot mount " << args[2] << " as " << args[1] << "\n";
            return 1;
        }
        return 0;
    }
    if (command == "unmount" && args.size() == 2) {
        const char letter = DriveLetter(args[1]);
        if (!letter)
            return Usage();
        if (!machine::UnmountDrive(letter)) {
            std::cerr << "machine: cannot unmount " << args[1] << "\n";
            return 1;
        }
        return 0;
    }
    return Usage();
}
