#include "RegCommands.h"

#include "RegFormat.h"
#include "machine/Registry.h"
#include "registry/HiveModel.h"
#include "registry/SubKeyNames.h"
#include "winreg.h"

#include <istream>
#include <ostream>
#include <vector>

namespace regtool {
namespace {

struct ValueEntry {
    std::string name;
    DWORD type = 0;
    std::string data;
};

using registry::SameName;

// `below` under `path`, either of them empty.
std::string JoinPath(const std::string &path, const std::string &below)
{
    if (below.empty())
        return path;
    return path.empty() ? below : path + "\\" + below;
}

std::string FullName(const Request &request, const std::string &below)
{
    return JoinPath(JoinPath(request.rootName, request.path), below);
}

std::string Shown(const std::string &valueName) { return valueName.empty() ? "(Default)" : valueName; }

bool Confirm(std::istream &in, std::ostream &out, const std::string &question)
{
    out << question << " (Yes/No)? " << std::flush;
    std::string answer;
    if (!std::getline(in, answer))
        return false;
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

int Fail(std::ostream &err, LONG code)
{
    err << ErrorText(code) << "\n";
    return 1;
}

int Cancelled(std::ostream &out)
{
    out << "The operation was canceled by the user.\n";
    return 1;
}

int Done(std::ostream &out)
{
    out << "The operation completed successfully.\n";
    return 0;
}

// The end of a command that changed the registry with `result`.
int Finish(LONG result, std::ostream &out, std::ostream &err)
{
    return result == ERROR_SUCCESS ? Done(out) : Fail(err, result);
}

// Every value of an open key, in registry order.
LONG ReadValues(HKEY key, std::vector<ValueEntry> *values)
{
    DWORD count = 0, longestName = 0, largestData = 0;
    LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                                   &largestData, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    std::string name, data;
    for (DWORD index = 0;; ++index) {
        name.assign(longestName + 1, '\0');
        data.assign(largestData + 1, '\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        result = RegEnumValueA(key, index, &name[0], &nameLength, nullptr, &type,
                               reinterpret_cast<BYTE *>(&data[0]), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (result == ERROR_MORE_DATA) {
            // Changed by another process since the sizes were taken.
            if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                                 &largestData, nullptr, nullptr) != ERROR_SUCCESS)
                return result;
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS)
            return result;
        values->push_back(ValueEntry{name.substr(0, nameLength), type, data.substr(0, dataSize)});
    }
}

void PrintValue(std::ostream &out, const ValueEntry &value)
{
    out << "    " << Shown(value.name) << "    " << TypeName(value.type) << "    " << ShowData(value.type, value.data)
        << "\n";
}

LONG OpenBelow(const Request &request, const std::string &below, REGSAM access, HKEY *key)
{
    return RegOpenKeyExA(request.root, JoinPath(request.path, below).c_str(), 0, access, key);
}

// One key's block of reg query /s, then its subkeys'.
void QueryTree(const Request &request, const std::string &below, std::ostream &out)
{
    HKEY key = nullptr;
    if (OpenBelow(request, below, KEY_READ, &key) != ERROR_SUCCESS)
        return; // gone meanwhile
    std::vector<ValueEntry> values;
    ReadValues(key, &values);
    out << FullName(request, below) << "\n";
    for (const ValueEntry &value : values)
        PrintValue(out, value);
    out << "\n";
    std::vector<std::string> children = registry::SubKeyNames(key);
    RegCloseKey(key);
    for (const std::string &child : children)
        QueryTree(request, JoinPath(below, child), out);
}

// reg query /v NAME /s: the keys that hold the value.
int SearchTree(const Request &request, const std::string &below, std::ostream &out)
{
    HKEY key = nullptr;
    if (OpenBelow(request, below, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int found = 0;
    std::vector<ValueEntry> values;
    ReadValues(key, &values);
    for (const ValueEntry &value : values) {
        if (SameName(value.name, request.value)) {
            out << FullName(request, below) << "\n";
            PrintValue(out, value);
            out << "\n";
            ++found;
        }
    }
    std::vector<std::string> children = registry::SubKeyNames(key);
    RegCloseKey(key);
    for (const std::string &child : children)
        found += SearchTree(request, JoinPath(below, child), out);
    return found;
}

} // namespace

int Query(const Request &request, std::ostream &out, std::ostream &err)
{
    HKEY key = nullptr;
    LONG result = OpenBelow(request, "", KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return Fail(err, result);

    if (request.hasValue && request.recursive) {
        RegCloseKey(key);
        out << "\n";
        int found = SearchTree(request, "", out);
        out << "End of search: " << found << " match(es) found.\n";
        return found > 0 ? 0 : 1;
    }
    if (request.hasValue) {
        std::vector<ValueEntry> values;
        result = ReadValues(key, &values);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return Fail(err, result);
        for (const ValueEntry &value : values) {
            if (SameName(value.name, request.value)) {
                out << "\n" << FullName(request, "") << "\n";
                PrintValue(out, value); // with the name as it is stored
                out << "\n";
                return 0;
            }
        }
        return Fail(err, ERROR_FILE_NOT_FOUND);
    }
    if (request.recursive) {
        RegCloseKey(key);
        out << "\n";
        QueryTree(request, "", out);
        return 0;
    }
    std::vector<ValueEntry> values;
    result = ReadValues(key, &values);
    std::vector<std::string> children = registry::SubKeyNames(key);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return Fail(err, result);
    out << "\n" << FullName(request, "") << "\n";
    for (const ValueEntry &value : values)
        PrintValue(out, value);
    if (!values.empty())
        out << "\n";
    for (const std::string &child : children)
        out << FullName(request, child) << "\n";
    return 0;
}

int Add(const Request &request, std::istream &in, std::ostream &out, std::ostream &err)
{
    std::string data;
    DWORD type = request.hasType ? request.type : REG_SZ;
    if (request.hasValue && !ParseData(type, request.hasData ? request.data : std::string(), request.separator, &data)) {
        err << "ERROR: Invalid syntax.\nType \"REG ADD /?\" for usage.\n";
        return 1;
    }
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(request.root, request.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return Fail(err, result);
    if (!request.hasValue) {
        RegCloseKey(key);
        return Done(out);
    }
    if (!request.force &&
        RegQueryValueExA(key, request.value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        !Confirm(in, out, "Value " + Shown(request.value) + " exists, overwrite")) {
        RegCloseKey(key);
        return Cancelled(out);
    }
    result = RegSetValueExA(key, request.value.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                            static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return Finish(result, out, err);
}

int Delete(const Request &request, std::istream &in, std::ostream &out, std::ostream &err)
{
    if (request.hasValue || request.allValues) {
        HKEY key = nullptr;
        LONG result = OpenBelow(request, "", KEY_ALL_ACCESS, &key);
        if (result != ERROR_SUCCESS)
            return Fail(err, result);
        if (request.hasValue) {
            result = RegQueryValueExA(key, request.value.c_str(), nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_SUCCESS && !request.force &&
                !Confirm(in, out, "Delete the registry value " + Shown(request.value))) {
                RegCloseKey(key);
                return Cancelled(out);
            }
            if (result == ERROR_SUCCESS)
                result = RegDeleteValueA(key, request.value.c_str());
        } else {
            if (!request.force && !Confirm(in, out, "Delete all values under the registry key " + FullName(request, ""))) {
                RegCloseKey(key);
                return Cancelled(out);
            }
            std::vector<ValueEntry> values;
            result = ReadValues(key, &values);
            for (const ValueEntry &value : values) {
                if (result != ERROR_SUCCESS)
                    break;
                result = RegDeleteValueA(key, value.name.c_str());
            }
        }
        RegCloseKey(key);
        return Finish(result, out, err);
    }
    if (request.path.empty())
        return Fail(err, ERROR_INVALID_PARAMETER); // a whole hive stays
    HKEY key = nullptr;
    LONG result = OpenBelow(request, "", KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return Fail(err, result);
    RegCloseKey(key);
    if (!request.force && !Confirm(in, out, "Permanently delete the registry key " + FullName(request, "")))
        return Cancelled(out);
    return Finish(RegDeleteTreeA(request.root, request.path.c_str()), out, err);
}

int Check(std::ostream &out, std::ostream &)
{
    struct Hive {
        HKEY root;
        const char *name;
    };
    const Hive hives[] = {{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"}};
    int code = 0;
    for (const Hive &hive : hives) {
        machine::HiveReport report = machine::CheckHive(hive.root);
        out << hive.name << "    " << machine::HiveFileOf(hive.root) << "    ";
        if (report.refusal == 0) {
            out << "sound\n";
            continue;
        }
        code = 1;
        out << ErrorText(report.refusal);
        if (report.badLine > 0)
            out << " Line " << report.badLine << ": " << report.problem << ".";
        else if (!report.problem.empty())
            out << " " << report.problem << ".";
        out << "\n";
    }
    return code;
}

} // namespace regtool
