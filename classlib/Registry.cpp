#include "Registry.h"

#include <cstring>

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : fAccess(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY rootKey)
{
    if (rootKey == fRootKey)
        return;
    CloseKey();
    fRootKey = rootKey;
}

bool TRegistry::IsRelative(const AnsiString &key) const
{
    return !(key.Length() > 0 && key[1] == '\\');
}

HKEY TRegistry::BaseKey(const AnsiString &key) const
{
    return (fCurrentKey && IsRelative(key)) ? fCurrentKey : fRootKey;
}

AnsiString TRegistry::Inner(const AnsiString &key)
{
    int first = 1;
    while (first <= key.Length() && key[first] == '\\')
        ++first;
    int last = key.Length();
    while (last >= first && key[last] == '\\')
        --last;
    return key.SubString(first, last - first + 1);
}

void TRegistry::ChangeKey(HKEY key, const AnsiString &path)
{
    CloseKey();
    fCurrentKey = key;
    fCurrentPath = path;
}

void TRegistry::CloseKey()
{
    if (fCurrentKey)
        RegCloseKey(fCurrentKey);
    fCurrentKey = nullptr;
    fCurrentPath = AnsiString();
}

namespace {

AnsiString JoinPath(const AnsiString &base, const AnsiString &tail)
{
    if (base.IsEmpty())
        return tail;
    if (tail.IsEmpty())
        return base;
    return base + "\\" + tail;
}

} // namespace

bool TRegistry::OpenKey(const AnsiString &key, bool canCreate)
{
    bool relative = IsRelative(key);
    AnsiString inner = Inner(key);
    HKEY base = BaseKey(key);
    HKEY opened = nullptr;
    LSTATUS result;
    if (canCreate)
        result = RegCreateKeyExA(base, inner.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, fAccess, nullptr,
                                 &opened, nullptr);
    else
        result = RegOpenKeyExA(base, inner.c_str(), 0, fAccess, &opened);
    if (result != ERROR_SUCCESS)
        return false;
    AnsiString path = (relative && fCurrentKey) ? JoinPath(fCurrentPath, inner) : inner;
    ChangeKey(opened, path);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString &key)
{
    bool relative = IsRelative(key);
    AnsiString inner = Inner(key);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKey(key), inner.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    AnsiString path = (relative && fCurrentKey) ? JoinPath(fCurrentPath, inner) : inner;
    ChangeKey(opened, path);
    return true;
}

bool TRegistry::CreateKey(const AnsiString &key)
{
    HKEY created = nullptr;
    if (RegCreateKeyExA(BaseKey(key), Inner(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, fAccess, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    return true;
}

bool TRegistry::DeleteKey(const AnsiString &key)
{
    AnsiString inner = Inner(key);
    if (inner.IsEmpty())
        return false; // never the base key itself
    return RegDeleteTreeA(BaseKey(key), inner.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const AnsiString &key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(BaseKey(key), Inner(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo &info)
{
    info = TRegKeyInfo();
    if (!fCurrentKey)
        return false;
    DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0, maxDataLen = 0;
    if (RegQueryInfoKeyA(fCurrentKey, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr, &values,
                         &maxValueLen, &maxDataLen, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    info.NumSubKeys = static_cast<int>(subKeys);
    info.MaxSubKeyLen = static_cast<int>(maxSubKeyLen);
    info.NumValues = static_cast<int>(values);
    info.MaxValueLen = static_cast<int>(maxValueLen);
    info.MaxDataLen = static_cast<int>(maxDataLen);
    return true;
}

bool TRegistry::HasSubKeys()
{
    TRegKeyInfo info;
    return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings *strings)
{
    if (!strings)
        return;
    strings->Clear();
    if (!fCurrentKey)
        return;
    char name[ARV_REG_MAX_KEY_NAME + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LSTATUS result = RegEnumKeyExA(fCurrentKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        strings->Add(AnsiString(name, static_cast<int>(length)));
    }
}

void TRegistry::GetValueNames(TStrings *strings)
{
    if (!strings)
        return;
    strings->Clear();
    if (!fCurrentKey)
        return;
    std::string name(ARV_REG_MAX_VALUE_NAME + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        LSTATUS result =
            RegEnumValueA(fCurrentKey, index, &name[0], &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        strings->Add(AnsiString(name.data(), static_cast<int>(length)));
    }
}

bool TRegistry::QueryValue(const AnsiString &name, DWORD *type, std::string *data)
{
    if (!fCurrentKey)
        return false;
    // The value may change between the size query and the read (another
    // process writes): ask again while it has grown.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(fCurrentKey, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        if (!data)
            return true;
        data->assign(size, '\0');
        DWORD got = size;
        LSTATUS result = RegQueryValueExA(fCurrentKey, name.c_str(), nullptr, type,
                                          size ? reinterpret_cast<BYTE *>(&(*data)[0]) : nullptr, &got);
        if (result == ERROR_SUCCESS) {
            data->resize(got);
            return true;
        }
        if (result != ERROR_MORE_DATA)
            return false;
    }
    return false;
}

bool TRegistry::SetValue(const AnsiString &name, DWORD type, const void *data, DWORD size)
{
    if (!fCurrentKey)
        return false;
    return RegSetValueExA(fCurrentKey, name.c_str(), 0, type, static_cast<const BYTE *>(data), size) ==
           ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const AnsiString &name) { return QueryValue(name, nullptr, nullptr); }

TRegDataType TRegistry::GetDataType(const AnsiString &name)
{
    DWORD type = REG_NONE;
    if (!QueryValue(name, &type, nullptr))
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

int TRegistry::GetDataSize(const AnsiString &name)
{
    if (!fCurrentKey)
        return -1;
    DWORD size = 0;
    if (RegQueryValueExA(fCurrentKey, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

bool TRegistry::DeleteValue(const AnsiString &name)
{
    return fCurrentKey && RegDeleteValueA(fCurrentKey, name.c_str()) == ERROR_SUCCESS;
}

AnsiString TRegistry::ReadString(const AnsiString &name)
{
    DWORD type = REG_NONE;
    std::string data;
    if (!QueryValue(name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return AnsiString();
    size_t end = data.find('\0');
    if (end != std::string::npos)
        data.resize(end);
    return AnsiString(std::move(data));
}

bool TRegistry::WriteString(const AnsiString &name, const AnsiString &value)
{
    return SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.Length()) + 1);
}

bool TRegistry::WriteExpandString(const AnsiString &name, const AnsiString &value)
{
    return SetValue(name, REG_EXPAND_SZ, value.c_str(), static_cast<DWORD>(value.Length()) + 1);
}

int TRegistry::ReadInteger(const AnsiString &name)
{
    DWORD type = REG_NONE;
    std::string data;
    if (!QueryValue(name, &type, &data) || type != REG_DWORD || data.size() != sizeof(DWORD))
        return 0;
    DWORD value;
    memcpy(&value, data.data(), sizeof value);
    return static_cast<int>(value);
}

bool TRegistry::WriteInteger(const AnsiString &name, int value)
{
    DWORD data = static_cast<DWORD>(value);
    return SetValue(name, REG_DWORD, &data, sizeof data);
}

int TRegistry::ReadBinaryData(const AnsiString &name, void *buffer, int size)
{
    std::string data;
    if (!buffer || size < 0 || !QueryValue(name, nullptr, &data) || data.size() > static_cast<size_t>(size))
        return 0;
    if (!data.empty())
        memcpy(buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

bool TRegistry::WriteBinaryData(const AnsiString &name, const void *buffer, int size)
{
    if (size < 0 || (size > 0 && !buffer))
        return false;
    return SetValue(name, REG_BINARY, buffer, static_cast<DWORD>(size));
}
