#include "RegFormat.h"

#include "registry/HexDigits.h"
#include "registry/LittleEndian.h"
#include "winerror.h"
#include "winreg.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace regtool {
namespace {

struct TypeNameEntry {
    DWORD type;
    const char *name;
};

const TypeNameEntry kTypeNames[] = {
    {REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},           {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_QWORD, "REG_QWORD"},
};

std::string UpToNul(const std::string &data)
{
    size_t nul = data.find('\0');
    return nul == std::string::npos ? data : data.substr(0, nul);
}

std::string HexBytes(const std::string &data)
{
    std::string text;
    for (char c : data)
        registry::PutHexPair(text, static_cast<unsigned char>(c), registry::HexCase::Upper);
    return text;
}

} // namespace

std::string TypeName(DWORD type)
{
    for (const TypeNameEntry &entry : kTypeNames)
        if (entry.type == type)
            return entry.name;
    char text[32];
    snprintf(text, sizeof text, "REG_0x%X", static_cast<unsigned>(type));
    return text;
}

bool TypeFromName(const std::string &name, DWORD *type)
{
    static const DWORD writable[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_QWORD};
    for (DWORD candidate : writable) {
        if (strcasecmp(TypeName(candidate).c_str(), name.c_str()) == 0) {
            *type = candidate;
            return true;
        }
    }
    return false;
}

std::string ShowData(DWORD type, const std::string &data)
{
    char text[32];
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: return UpToNul(data);
    case REG_DWORD:
    case REG_QWORD:
        if (data.size() == (type == REG_DWORD ? 4u : 8u)) {
            snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(registry::LittleEndianNumber(data)));
            return text;
        }
        break;
    case REG_MULTI_SZ: {
        std::string shown;
        size_t start = 0;
        while (start < data.size() && data[start] != '\0') {
            size_t nul = data.find('\0', start);
            if (nul == std::string::npos)
                nul = data.size();
            if (!shown.empty())
                shown += "\\0";
            shown += data.substr(start, nul - start);
            start = nul + 1;
        }
        return shown;
    }
    default: break;
    }
    return HexBytes(data);
}

bool ParseData(DWORD type, const std::string &text, const std::string &separator, std::string *data)
{
    data->clear();
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        *data = text;
        *data += '\0';
        return true;
    case REG_DWORD:
    case REG_QWORD: {
        if (text.empty()) {
            data->assign(type == REG_DWORD ? 4 : 8, '\0');
            return true;
        }
        if (text[0] == '-' || text[0] == '+')
            return false;
        errno = 0;
        char *end = nullptr;
        unsigned long long value = strtoull(text.c_str(), &end, 0);
        if (errno != 0 || !end || *end != '\0')
            return false;
        if (type == REG_DWORD && value > 0xFFFFFFFFull)
            return false;
        registry::PutLittleEndian(*data, value, type == REG_DWORD ? 4 : 8);
        return true;
    }
    case REG_BINARY:
    case REG_NONE:
        if (text.size() % 2 != 0)
            return false;
        for (size_t i = 0; i < text.size(); i += 2) {
            char byte;
            if (!registry::HexPair(&text[i], &byte))
                return false;
            *data += byte;
        }
        return true;
    case REG_MULTI_SZ: {
        if (separator.empty())
            return false;
        size_t start = 0;
        while (start < text.size()) {
            size_t at = text.find(separator, start);
            if (at == std::string::npos)
                at = text.size();
            if (at == start)
                return false; // an empty string would end the list
            *data += text.substr(start, at - start);
            *data += '\0';
            start = at + separator.size(); // a separator at the end ends the list
        }
        *data += '\0';
        return true;
    }
    default: return false;
    }
}

std::string ErrorText(LONG code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED: return "ERROR: The system was unable to find the specified registry key or value.";
    case ERROR_ACCESS_DENIED: return "ERROR: Access is denied.";
    case ERROR_BADDB: return "ERROR: The configuration registry database is corrupt.";
    case ERROR_CANTREAD: return "ERROR: The configuration registry key could not be read.";
    case ERROR_CANTWRITE: return "ERROR: The configuration registry key could not be written.";
    case ERROR_DISK_FULL: return "ERROR: There is not enough space on the disk.";
    case ERROR_INVALID_PARAMETER:
    case ERROR_BAD_PATHNAME: return "ERROR: Invalid key name.";
    default: return "ERROR: The operation failed with error " + std::to_string(code) + ".";
    }
}

} // namespace regtool
