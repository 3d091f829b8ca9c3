#include "FileClasses.h"

#include <cctype>
#include <vector>

#include "processenv.h"
#include "winreg.h"

namespace shell {
namespace {

// The default value of a key below HKEY_CLASSES_ROOT, if it is a string.
bool DefaultValue(const std::string &key, std::string *value, DWORD *type = nullptr)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    DWORD kind = 0, size = 0;
    LONG result = RegQueryValueExA(handle, nullptr, nullptr, &kind, nullptr, &size);
    std::vector<char> data(size + 1, '\0');
    if (result == ERROR_SUCCESS && (kind == REG_SZ || kind == REG_EXPAND_SZ))
        result = RegQueryValueExA(handle, nullptr, nullptr, &kind, reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (kind != REG_SZ && kind != REG_EXPAND_SZ))
        return false;
    *value = data.data(); // up to its NUL
    if (type)
        *type = kind;
    return true;
}

// %NAME% replaced by the variable's value where it is set.
std::string ExpandVariables(const std::string &text)
{
    std::string result;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('%', at);
        if (open == std::string::npos) {
            result += text.substr(at);
            break;
        }
        result += text.substr(at, open - at);
        const size_t close = text.find('%', open + 1);
        if (close != std::string::npos && close > open + 1) {
            const std::string name = text.substr(open + 1, close - open - 1);
            const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
            if (size > 0) {
                std::vector<char> value(size);
                GetEnvironmentVariableA(name.c_str(), value.data(), size);
                result += value.data();
                at = close + 1;
                continue;
            }
        }
        result += '%';
        at = open + 1;
    }
    return result;
}

} // namespace

std::string ClassOfExtension(const std::string &extension)
{
    std::string className;
    if (extension.empty() || !DefaultValue(extension, &className))
        return std::string();
    return className;
}

bool ClassCommand(const std::string &className, const char *verb, std::string *command)
{
    if (className.empty())
        return false;
    std::string chosen = verb && *verb ? verb : "";
    if (chosen.empty() && (!DefaultValue(className + "\\shell", &chosen) || chosen.empty()))
        chosen = "open";
    DWORD type = REG_SZ;
    if (!DefaultValue(className + "\\shell\\" + chosen + "\\command", command, &type) || command->empty())
        return false;
    if (type == REG_EXPAND_SZ)
        *command = ExpandVariables(*command);
    return true;
}

std::string FillCommand(const std::string &command, const std::string &file, const std::string &parameters)
{
    std::string result;
    for (size_t at = 0; at < command.size(); ++at) {
        const char c = command[at];
        if (c != '%' || at + 1 == command.size()) {
            result += c;
            continue;
        }
        const char next = command[++at];
        if (next == '1' || next == '0' || next == 'L' || next == 'l')
            result += file;
        else if (next == '*')
            result += parameters;
        else if (next == '%')
            result += '%';
        else if (!isdigit(static_cast<unsigned char>(next)))
            result += std::string(1, c) + next;
    }
    return result;
}

} // namespace shell
