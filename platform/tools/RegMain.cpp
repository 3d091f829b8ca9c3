// reg: the registry of the machine root on the command line, as Windows'
// reg.exe offers it:
//
//   reg [--root DIR] query  KEY [/v NAME | /ve] [/s]
//   reg [--root DIR] add    KEY [/v NAME | /ve] [/t TYPE] [/s SEP] [/d DATA] [/f]
//   reg [--root DIR] delete KEY [/v NAME | /ve | /va] [/f]
//   reg [--root DIR] check
//
// KEY begins with HKLM, HKCU, HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
// Options may start with "/" or "-", in any case. The machine root is the
// one ARV_MACHINE_ROOT names unless --root (anywhere on the line) gives one. "check" tells
// whether the hive files parse whole. Exit code 0 on success, 1 on failure.
#include "RegCommands.h"
#include "RegFormat.h"
#include "RootOption.h"

#include "machine/MachineRoot.h"
#include "winreg.h"

#include <cstring>
#include <iostream>
#include <strings.h>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "REG QUERY KeyName [/v ValueName | /ve] [/s]\n"
    "REG ADD KeyName [/v ValueName | /ve] [/t Type] [/s Separator] [/d Data] [/f]\n"
    "REG DELETE KeyName [/v ValueName | /ve | /va] [/f]\n"
    "REG CHECK\n"
    "\n"
    "  KeyName    HKLM|HKCU|HKEY_LOCAL_MACHINE|HKEY_CURRENT_USER[\\SubKey]\n"
    "  Type       REG_SZ, REG_MULTI_SZ, REG_EXPAND_SZ, REG_DWORD, REG_QWORD,\n"
    "             REG_BINARY or REG_NONE (REG_SZ when not given)\n"
    "  --root DIR the machine root to work on (else ARV_MACHINE_ROOT), anywhere\n"
    "             on the command line\n";

int Syntax(const std::string &operation)
{
    std::cerr << "ERROR: Invalid syntax.\nType \"REG " << operation << " /?\" for usage.\n";
    return 1;
}

bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

bool IsOption(const std::string &argument, const char *name)
{
    return argument.size() >= 2 && (argument[0] == '/' || argument[0] == '-') && Same(argument.substr(1), name);
}

bool ParseKey(const std::string &text, regtool::Request *request)
{
    size_t slash = text.find('\\');
    std::string root = text.substr(0, slash);
    if (Same(root, "HKLM") || Same(root, "HKEY_LOCAL_MACHINE")) {
        request->root = HKEY_LOCAL_MACHINE;
        request->rootName = "HKEY_LOCAL_MACHINE";
    } else if (Same(root, "HKCU") || Same(root, "HKEY_CURRENT_USER")) {
        request->root = HKEY_CURRENT_USER;
        request->rootName = "HKEY_CURRENT_USER";
    } else {
        return false;
    }
    std::string path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    request->path = path;
    return true;
}

// Whether args[at] is an option followed by its value: /v in every
// operation, /t, /d and /s (the separator) in ADD.
bool OptionTakesValue(const std::vector<std::string> &args, size_t at)
{
    if (at == 0)
        return false;
    const bool add = Same(args[0], "ADD");
    const std::string &arg = args[at];
    return IsOption(arg, "v") || (add && (IsOption(arg, "t") || IsOption(arg, "d") || IsOption(arg, "s")));
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!tools::TakeRootOption(args, OptionTakesValue))
        return Syntax("");
    if (args.empty() || IsOption(args[0], "?") || args[0] == "--help") {
        std::cout << kUsage;
        return args.empty() ? 1 : 0;
    }

    std::string operation = args[0];
    for (char &c : operation)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (operation == "CHECK")
        return args.size() == 1 ? regtool::Check(std::cout, std::cerr) : Syntax(operation);
    if (operation != "QUERY" && operation != "ADD" && operation != "DELETE")
        return Syntax("");
    if (args.size() < 2)
        return Syntax(operation);
    if (IsOption(args[1], "?")) {
        std::cout << kUsage;
        return 0;
    }

    regtool::Request request;
    if (!ParseKey(args[1], &request)) {
        std::cerr << "ERROR: Invalid key name.\nType \"REG " << operation << " /?\" for usage.\n";
        return 1;
    }
    bool query = operation == "QUERY", add = operation == "ADD", remove = operation == "DELETE";
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string &arg = args[i];
        bool hasNext = i + 1 < args.size();
        if (IsOption(arg, "v") && hasNext && !request.hasValue) {
            request.hasValue = true;
            request.value = args[++i];
        } else if (IsOption(arg, "ve") && !request.hasValue) {
            request.hasValue = true;
            request.value.clear();
        } else if (IsOption(arg, "va") && remove) {
            request.allValues = true;
        } else if (IsOption(arg, "s") && query) {
            request.recursive = true;
        } else if (IsOption(arg, "s") && add && hasNext) {
            request.separator = args[++i];
        } else if (IsOption(arg, "t") && add && hasNext && !request.hasType) {
            request.hasType = true;
            if (!regtool::TypeFromName(args[++i], &request.type)) {
                std::cerr << "ERROR: Invalid type.\nType \"REG ADD /?\" for usage.\n";
                return 1;
            }
        } else if (IsOption(arg, "d") && add && hasNext && !request.hasData) {
            request.hasData = true;
            request.data = args[++i];
        } else if (IsOption(arg, "f") && (add || remove)) {
            request.force = true;
        } else {
            return Syntax(operation);
        }
    }
    if (request.allValues && request.hasValue)
        return Syntax(operation);
    if (add && (request.hasType || request.hasData) && !request.hasValue) {
        // Data without a value name goes to the default value, as reg.exe does.
        request.hasValue = true;
        request.value.clear();
    }

    if (query)
        return regtool::Query(request, std::cout, std::cerr);
    if (add)
        return regtool::Add(request, std::cin, std::cout, std::cerr);
    return regtool::Delete(request, std::cin, std::cout, std::cerr);
}
