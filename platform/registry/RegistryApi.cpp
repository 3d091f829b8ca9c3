// The Reg* functions: handle checks, access rights and Windows result codes
// over the hive store.
#include "winreg.h"

#include "machine/MachineRoot.h"
#include "machine/Registry.h"
#include "registry/HiveStore.h"
#include "registry/KeyHandles.h"

#include <cstring>
#include <mutex>
#include <pthread.h>

using registry::Hive;
using registry::Key;
using registry::KeyPath;
using registry::OpenedKey;
using registry::Value;

namespace {

constexpr DWORD kMaxValueData = 64u << 20; // far above anything real

constexpr REGSAM kGenericRead = 0x80000000u;
constexpr REGSAM kGenericWrite = 0x40000000u;
constexpr REGSAM kGenericExecute = 0x20000000u;
constexpr REGSAM kGenericAll = 0x10000000u;

struct RegistryState {
    std::mutex lock;
    registry::HiveStore store;
    registry::KeyHandles handles;
};

RegistryState *MakeState();

// Never destroyed: registry calls may come from threads still running
// while the process exits.
RegistryState &State()
{
    static RegistryState *state = MakeState();
    return *state;
}

// A fork while another thread is inside a registry call would leave the
// child with the mutex held for ever: fork waits for the call to end.
RegistryState *MakeState()
{
    RegistryState *state = new RegistryState;
    pthread_atfork([] { State().lock.lock(); }, [] { State().lock.unlock(); }, [] { State().lock.unlock(); });
    return state;
}

// Made while the program loads, before any thread runs: a fork can then
// never catch the state half made.
const bool gStateMade = (State(), true);

const char *PredefinedHiveName(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (key == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    return nullptr;
}

bool IsPredefined(HKEY key)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(key);
    return value >= 0x80000000u && value <= 0x80000006u;
}

REGSAM Grant(REGSAM desired)
{
    REGSAM granted = desired & (KEY_ALL_ACCESS | KEY_NOTIFY);
    if (desired & (MAXIMUM_ALLOWED | kGenericAll))
        granted |= KEY_ALL_ACCESS;
    if (desired & kGenericRead)
        granted |= KEY_READ;
    if (desired & kGenericWrite)
        granted |= KEY_WRITE;
    if (desired & kGenericExecute)
        granted |= KEY_EXECUTE;
    return granted;
}

// What a handle stands for, taken by value so that it stays usable while
// the handle table changes.
struct Target {
    std::string file;
    KeyPath path;
    REGSAM access = 0;
    bool deleted = false;
};

LONG Resolve(RegistryState &state, HKEY handle, Target *target)
{
    if (const char *hive = PredefinedHiveName(handle)) {
        target->file = machine::HiveFile(hive);
        target->path.clear();
        target->access = KEY_ALL_ACCESS;
        target->deleted = false;
        return ERROR_SUCCESS;
    }
    if (IsPredefined(handle))
        return ERROR_INVALID_HANDLE;
    OpenedKey *opened = state.handles.Find(handle);
    if (!opened)
        return ERROR_INVALID_HANDLE;
    target->file = opened->file;
    target->path = opened->path;
    target->access = opened->access;
    target->deleted = opened->deleted;
    return ERROR_SUCCESS;
}

// Splits a relative key path. Null or "" is the key itself; one trailing
// backslash is allowed; a leading one or an empty name inside is not.
LONG SplitSubKey(LPCSTR subKey, KeyPath *path)
{
    path->clear();
    if (!subKey || !*subKey)
        return ERROR_SUCCESS;
    if (*subKey == '\\')
        return ERROR_BAD_PATHNAME;
    const char *start = subKey;
    for (const char *at = subKey;; ++at) {
        if (*at == '\\' || *at == '\0') {
            if (at == start) {
                if (*at == '\0')
                    break; // the one trailing backslash
                return ERROR_BAD_PATHNAME;
            }
            if (at - start > ARV_REG_MAX_KEY_NAME)
                return ERROR_INVALID_PARAMETER;
            path->emplace_back(start, static_cast<size_t>(at - start));
            if (*at == '\0')
                break;
            start = at + 1;
        }
    }
    return ERROR_SUCCESS;
}

KeyPath Joined(const KeyPath &base, const KeyPath &tail)
{
    KeyPath path(base);
    path.insert(path.end(), tail.begin(), tail.end());
    return path;
}

// The key of an open handle in the current hive; null when it is gone.
Key *Locate(RegistryState &state, const Target &target)
{
    if (target.deleted)
        return nullptr;
    return state.store.Current(target.file).Find(target.path);
}

std::string ValueName(LPCSTR name) { return name ? std::string(name) : std::string(); }

// Copies data into a caller's buffer the way RegQueryValueExA does.
LONG GiveData(const std::string &data, LPBYTE buffer, LPDWORD size)
{
    if (!size)
        return ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(data.size());
    if (buffer) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed)
            memcpy(buffer, data.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name with its NUL; *length: buffer size in, name length out.
LONG GiveName(const std::string &name, LPSTR buffer, LPDWORD length)
{
    if (*length < name.size() + 1)
        return ERROR_MORE_DATA;
    memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG OpenKey(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target base;
    LONG result = Resolve(state, hKey, &base);
    if (result != ERROR_SUCCESS)
        return result;
    KeyPath tail;
    result = SplitSubKey(lpSubKey, &tail);
    if (result == ERROR_INVALID_PARAMETER)
        result = ERROR_FILE_NOT_FOUND; // a name that long cannot exist
    if (result != ERROR_SUCCESS)
        return result;
    Key *key = Locate(state, base);
    if (!key)
        return ERROR_KEY_DELETED;
    for (const std::string &name : tail) {
        key = key->Child(name);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
    }
    *phkResult = state.handles.Add(OpenedKey{base.file, Joined(base.path, tail), Grant(samDesired), false});
    return ERROR_SUCCESS;
}

LONG DeleteKey(HKEY hKey, LPCSTR lpSubKey, bool tree)
{
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target base;
    LONG result = Resolve(state, hKey, &base);
    if (result != ERROR_SUCCESS)
        return result;
    KeyPath tail;
    result = SplitSubKey(lpSubKey, &tail);
    if (result == ERROR_INVALID_PARAMETER)
        result = ERROR_FILE_NOT_FOUND;
    if (result != ERROR_SUCCESS)
        return result;
    if (base.deleted)
        return ERROR_KEY_DELETED;
    KeyPath path = Joined(base.path, tail);
    // RegDeleteTreeA without a subkey empties the key and keeps it.
    bool emptyOnly = tree && tail.empty();
    if (path.empty() && !emptyOnly)
        return ERROR_ACCESS_DENIED; // a hive's root stays
    if (emptyOnly && (base.access & (KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS)) !=
                         (KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    {
        // Nothing to delete needs no writer lock (and works on a damaged hive).
        Hive &hive = state.store.Current(base.file);
        if (!hive.Find(base.path))
            return ERROR_KEY_DELETED;
        if (!hive.Find(path))
            return ERROR_FILE_NOT_FOUND;
    }
    result = state.store.Change(base.file, [&](Hive &hive, bool &changed) -> LONG {
        if (!hive.Find(base.path))
            return ERROR_KEY_DELETED;
        Key *key = hive.Find(path);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (emptyOnly) {
            changed = !key->Children().empty() || !key->Values().empty();
            key->Empty();
            return ERROR_SUCCESS;
        }
        if (!tree && !key->Children().empty())
            return ERROR_ACCESS_DENIED; // as NT: subkeys first
        KeyPath parentPath(path.begin(), path.end() - 1);
        hive.Find(parentPath)->RemoveChild(path.back());
        changed = true;
        return ERROR_SUCCESS;
    });
    if (result == ERROR_SUCCESS)
        state.handles.MarkDeleted(base.file, path, !emptyOnly);
    return result;
}

} // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    return OpenKey(hKey, lpSubKey, samDesired, phkResult);
}

LSTATUS WINAPI RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    return OpenKey(hKey, lpSubKey, MAXIMUM_ALLOWED, phkResult);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               struct _SECURITY_ATTRIBUTES *, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target base;
    LONG result = Resolve(state, hKey, &base);
    if (result != ERROR_SUCCESS)
        return result;
    KeyPath tail;
    result = SplitSubKey(lpSubKey, &tail);
    if (result != ERROR_SUCCESS)
        return result;
    Key *key = Locate(state, base);
    if (!key)
        return ERROR_KEY_DELETED;
    KeyPath path = Joined(base.path, tail);
    bool exists = true;
    for (const std::string &name : tail) {
        key = key->Child(name);
        if (!key) {
            exists = false;
            break;
        }
    }
    bool created = false;
    if (!exists) {
        if (!(base.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        result = state.store.Change(base.file, [&](Hive &hive, bool &changed) -> LONG {
            Key *at = hive.Find(base.path);
            if (!at)
                return ERROR_KEY_DELETED;
            for (const std::string &name : tail) {
                Key *child = at->Child(name);
                if (!child) {
                    child = at->AddChild(name);
                    changed = true;
                }
                at = child;
            }
            return ERROR_SUCCESS;
        });
        if (result != ERROR_SUCCESS)
            return result;
        created = true;
    }
    *phkResult = state.handles.Add(OpenedKey{base.file, path, Grant(samDesired), false});
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    return RegCreateKeyExA(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, nullptr,
                           phkResult, nullptr);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    if (IsPredefined(hKey))
        return ERROR_SUCCESS;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    return state.handles.Remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    Key *key = Locate(state, target);
    if (!key)
        return ERROR_KEY_DELETED;
    const Value *value = key->FindValue(ValueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    return GiveData(value->data, lpData, lpcbData);
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE *lpData,
                              DWORD cbData)
{
    if ((!lpData && cbData > 0) || cbData > kMaxValueData)
        return ERROR_INVALID_PARAMETER;
    std::string name = ValueName(lpValueName);
    if (name.size() > ARV_REG_MAX_VALUE_NAME)
        return ERROR_INVALID_PARAMETER;
    std::string data(reinterpret_cast<const char *>(lpData), lpData ? cbData : 0);
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (target.deleted)
        return ERROR_KEY_DELETED;
    return state.store.Change(target.file, [&](Hive &hive, bool &changed) -> LONG {
        Key *key = hive.Find(target.path);
        if (!key)
            return ERROR_KEY_DELETED;
        const Value *old = key->FindValue(name);
        if (old && old->type == dwType && old->data == data)
            return ERROR_SUCCESS; // nothing to write
        key->SetValue(name, dwType, std::move(data));
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    std::string name = ValueName(lpValueName);
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (target.deleted)
        return ERROR_KEY_DELETED;
    Key *key = Locate(state, target);
    if (!key)
        return ERROR_KEY_DELETED;
    if (!key->FindValue(name))
        return ERROR_FILE_NOT_FOUND; // no need for the writer lock
    return state.store.Change(target.file, [&](Hive &hive, bool &changed) -> LONG {
        Key *current = hive.Find(target.path);
        if (!current)
            return ERROR_KEY_DELETED;
        if (!current->RemoveValue(name))
            return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) { return DeleteKey(hKey, lpSubKey, false); }

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) { return DeleteKey(hKey, lpSubKey, true); }

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD,
                             LPSTR lpClass, LPDWORD lpcchClass, struct _FILETIME *)
{
    if (!lpName || !lpcchName)
        return ERROR_INVALID_PARAMETER;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    Key *key = Locate(state, target);
    if (!key)
        return ERROR_KEY_DELETED;
    if (dwIndex >= key->Children().size())
        return ERROR_NO_MORE_ITEMS;
    auto child = key->Children().begin();
    std::advance(child, dwIndex);
    result = GiveName(child->second->Name(), lpName, lpcchName);
    if (result == ERROR_SUCCESS && lpClass && lpcchClass) {
        if (*lpcchClass >= 1)
            lpClass[0] = '\0';
        *lpcchClass = 0;
    }
    return result;
}

LSTATUS WINAPI RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName)
{
    DWORD length = cchName;
    return RegEnumKeyExA(hKey, dwIndex, lpName, &length, nullptr, nullptr, nullptr, nullptr);
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                             LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    Key *key = Locate(state, target);
    if (!key)
        return ERROR_KEY_DELETED;
    if (dwIndex >= key->Values().size())
        return ERROR_NO_MORE_ITEMS;
    const Value &value = key->Values()[dwIndex];
    result = GiveName(value.name, lpValueName, lpcchValueName);
    if (result != ERROR_SUCCESS)
        return result;
    if (lpType)
        *lpType = value.type;
    return GiveData(value.data, lpData, lpcbData);
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                                LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, struct _FILETIME *)
{
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    LONG result = Resolve(state, hKey, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (!(target.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    Key *key = Locate(state, target);
    if (!key)
        return ERROR_KEY_DELETED;
    if (lpClass && lpcchClass) {
        if (*lpcchClass < 1)
            return ERROR_MORE_DATA;
        lpClass[0] = '\0';
    }
    if (lpcchClass)
        *lpcchClass = 0;
    DWORD longestKey = 0, longestName = 0, largestData = 0;
    for (const auto &child : key->Children())
        if (child.second->Name().size() > longestKey)
            longestKey = static_cast<DWORD>(child.second->Name().size());
    for (const Value &value : key->Values()) {
        if (value.name.size() > longestName)
            longestName = static_cast<DWORD>(value.name.size());
        if (value.data.size() > largestData)
            largestData = static_cast<DWORD>(value.data.size());
    }
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(key->Children().size());
    if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = longestKey;
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(key->Values().size());
    if (lpcbMaxValueNameLen)
        *lpcbMaxValueNameLen = longestName;
    if (lpcbMaxValueLen)
        *lpcbMaxValueLen = largestData;
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegFlushKey(HKEY hKey)
{
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target target;
    return Resolve(state, hKey, &target);
}

namespace machine {

std::string HiveFileOf(HKEY root)
{
    const char *hive = PredefinedHiveName(root);
    return hive ? HiveFile(hive) : std::string();
}

HiveReport CheckHive(HKEY root)
{
    HiveReport report;
    std::string file = HiveFileOf(root);
    if (file.empty()) {
        report.refusal = ERROR_INVALID_HANDLE;
        report.problem = "not a hive";
        return report;
    }
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    const Hive &hive = state.store.Current(file);
    report.refusal = hive.refusal;
    report.badLine = hive.badLine;
    report.problem = hive.problem;
    return report;
}

} // namespace machine
