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

using registry::Descend;
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
        return machine::kMachineHive;
    if (key == HKEY_CURRENT_USER)
        return machine::kUserHive;
    return nullptr;
}

// HKEY_CLASSES_ROOT is a view of two keys: the user's classes, which win,
// and the machine's.
const KeyPath kMachineClasses{"SOFTWARE", "Classes"};
const KeyPath kUserClasses{"Software", "Classes"};

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
    if (handle == HKEY_CLASSES_ROOT) {
        target->file = machine::HiveFile(machine::kMachineHive);
        target->path = kMachineClasses;
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

// Resolves a handle that must hold `right`.
LONG ResolveWithRight(RegistryState &state, HKEY handle, REGSAM right, Target *target)
{
    LONG result = Resolve(state, handle, target);
    if (result != ERROR_SUCCESS)
        return result;
    return (target->access & right) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Resolves a handle that must hold `right` and finds its key in the current
// hive.
LONG FindKey(RegistryState &state, HKEY handle, REGSAM right, Target *target, Key **key)
{
    LONG result = ResolveWithRight(state, handle, right, target);
    if (result != ERROR_SUCCESS)
        return result;
    *key = Locate(state, *target);
    return *key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// The registry held for one call on the key of an open handle that must
// hold `right`; `result` tells whether `key` was found.
struct LockedKey {
    LockedKey(HKEY handle, REGSAM right)
        : state(State()), hold(state.lock), result(FindKey(state, handle, right, &target, &key))
    {
    }

    RegistryState &state;
    std::lock_guard<std::mutex> hold;
    Target target;
    Key *key = nullptr;
    LONG result;
};

// A key below HKEY_CLASSES_ROOT: the user's when the user's classes have
// it, else the machine's (where it is also made). The base is the hive's
// root, so that the classes key itself is made where it is missing.
void ResolveClass(RegistryState &state, Target *base, KeyPath *tail)
{
    const std::string userFile = machine::HiveFile(machine::kUserHive);
    KeyPath userPath = Joined(kUserClasses, *tail);
    const bool user = state.store.Current(userFile).Find(userPath) != nullptr;
    base->file = user ? userFile : machine::HiveFile(machine::kMachineHive);
    base->path.clear();
    *tail = user ? userPath : Joined(kMachineClasses, *tail);
}

// Resolves the key a call names by a handle and a relative path below it.
LONG ResolveBelow(RegistryState &state, HKEY handle, LPCSTR subKey, Target *base, KeyPath *tail)
{
    LONG result = Resolve(state, handle, base);
    if (result != ERROR_SUCCESS)
        return result;
    result = SplitSubKey(subKey, tail);
    if (result == ERROR_SUCCESS && handle == HKEY_CLASSES_ROOT && !tail->empty())
        ResolveClass(state, base, tail);
    return result;
}

// The same for a key that must exist already: a name too long for a key
// cannot name one.
LONG ResolveExistingBelow(RegistryState &state, HKEY handle, LPCSTR subKey, Target *base, KeyPath *tail)
{
    LONG result = ResolveBelow(state, handle, subKey, base, tail);
    return result == ERROR_INVALID_PARAMETER ? ERROR_FILE_NOT_FOUND : result;
}

// Runs `change(key, changed)` on the key of `target` under the writer lock;
// ERROR_KEY_DELETED when the key is gone from the hive.
template <typename Change>
LONG ChangeKey(RegistryState &state, const Target &target, const Change &change)
{
    return state.store.Change(target.file, [&](Hive &hive, bool &changed) -> LONG {
        Key *key = hive.Find(target.path);
        return key ? change(*key, changed) : ERROR_KEY_DELETED;
    });
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

// Gives a value's type and data the way RegQueryValueExA does.
LONG GiveValue(const Value &value, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (type)
        *type = value.type;
    return GiveData(value.data, data, size);
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

// Makes the keys `tail` names below the key of `base`, where missing.
LONG CreateBelow(RegistryState &state, const Target &base, const KeyPath &tail)
{
    if (!(base.access & KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    return ChangeKey(state, base, [&](Key &baseKey, bool &changed) -> LONG {
        Key *at = &baseKey;
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
}

// What opening a key does when it is missing.
enum class Missing { Fail, Create };

// Opens the key `lpSubKey` names below `hKey`. A missing key fails, or is
// made (with the keys on the way to it) and *created set.
LONG OpenKey(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, Missing missing, PHKEY phkResult, bool *created)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    *created = false;
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target base;
    KeyPath tail;
    LONG result = missing == Missing::Create ? ResolveBelow(state, hKey, lpSubKey, &base, &tail)
                                             : ResolveExistingBelow(state, hKey, lpSubKey, &base, &tail);
    if (result != ERROR_SUCCESS)
        return result;
    // Deeper than Windows lets a key tree go: no such key can exist, and
    // none is made.
    if (base.path.size() + tail.size() > ARV_REG_MAX_KEY_DEPTH)
        return missing == Missing::Create ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND;
    Key *key = Locate(state, base);
    if (!key)
        return ERROR_KEY_DELETED;
    if (!Descend(key, tail)) {
        if (missing == Missing::Fail)
            return ERROR_FILE_NOT_FOUND;
        result = CreateBelow(state, base, tail);
        if (result != ERROR_SUCCESS)
            return result;
        *created = true;
    }
    *phkResult = state.handles.Add(OpenedKey{base.file, Joined(base.path, tail), Grant(samDesired), false});
    return ERROR_SUCCESS;
}

LONG DeleteKey(HKEY hKey, LPCSTR lpSubKey, bool tree)
{
    RegistryState &state = State();
    std::lock_guard<std::mutex> hold(state.lock);
    Target base;
    KeyPath tail;
    LONG result = ResolveExistingBelow(state, hKey, lpSubKey, &base, &tail);
    if (result != ERROR_SUCCESS)
        return result;
    if (base.deleted)
        return ERROR_KEY_DELETED;
    if (IsPredefined(hKey) && tail.empty() && !tree)
        return ERROR_ACCESS_DENIED; // a predefined key stays
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
    bool created = false;
    return OpenKey(hKey, lpSubKey, samDesired, Missing::Fail, phkResult, &created);
}

LSTATUS WINAPI RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult)
{
    return RegOpenKeyExA(hKey, lpSubKey, 0, MAXIMUM_ALLOWED, phkResult);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                               struct _SECURITY_ATTRIBUTES *, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    bool created = false;
    LONG result = OpenKey(hKey, lpSubKey, samDesired, Missing::Create, phkResult, &created);
    if (result == ERROR_SUCCESS && lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return result;
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
    LockedKey call(hKey, KEY_QUERY_VALUE);
    if (call.result != ERROR_SUCCESS)
        return call.result;
    const Value *value = call.key->FindValue(ValueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return GiveValue(*value, lpType, lpData, lpcbData);
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
    LONG result = ResolveWithRight(state, hKey, KEY_SET_VALUE, &target);
    if (result != ERROR_SUCCESS)
        return result;
    if (target.deleted)
        return ERROR_KEY_DELETED;
    return ChangeKey(state, target, [&](Key &key, bool &changed) -> LONG {
        const Value *old = key.FindValue(name);
        if (old && old->type == dwType && old->data == data)
            return ERROR_SUCCESS; // nothing to write
        key.SetValue(name, dwType, std::move(data));
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    std::string name = ValueName(lpValueName);
    LockedKey call(hKey, KEY_SET_VALUE);
    if (call.result != ERROR_SUCCESS)
        return call.result;
    if (!call.key->FindValue(name))
        return ERROR_FILE_NOT_FOUND; // no need for the writer lock
    return ChangeKey(call.state, call.target, [&](Key &current, bool &changed) -> LONG {
        if (!current.RemoveValue(name))
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
    LockedKey call(hKey, KEY_ENUMERATE_SUB_KEYS);
    if (call.result != ERROR_SUCCESS)
        return call.result;
    if (dwIndex >= call.key->Children().size())
        return ERROR_NO_MORE_ITEMS;
    auto child = call.key->Children().begin();
    std::advance(child, dwIndex);
    LONG result = GiveName(child->second->Name(), lpName, lpcchName);
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
    LockedKey call(hKey, KEY_QUERY_VALUE);
    if (call.result != ERROR_SUCCESS)
        return call.result;
    if (dwIndex >= call.key->Values().size())
        return ERROR_NO_MORE_ITEMS;
    const Value &value = call.key->Values()[dwIndex];
    LONG result = GiveName(value.name, lpValueName, lpcchValueName);
    if (result != ERROR_SUCCESS)
        return result;
    return GiveValue(value, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                                LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, struct _FILETIME *)
{
    LockedKey call(hKey, KEY_QUERY_VALUE);
    if (call.result != ERROR_SUCCESS)
        return call.result;
    if (lpClass && lpcchClass) {
        if (*lpcchClass < 1)
            return ERROR_MORE_DATA;
        lpClass[0] = '\0';
    }
    if (lpcchClass)
        *lpcchClass = 0;
    DWORD longestKey = 0, longestName = 0, largestData = 0;
    for (const auto &child : call.key->Children())
        if (child.second->Name().size() > longestKey)
            longestKey = static_cast<DWORD>(child.second->Name().size());
    for (const Value &value : call.key->Values()) {
        if (value.name.size() > longestName)
            longestName = static_cast<DWORD>(value.name.size());
        if (value.data.size() > largestData)
            largestData = static_cast<DWORD>(value.data.size());
    }
    if (lpcSubKeys)
        *lpcSubKeys = static_cast<DWORD>(call.key->Children().size());
    if (lpcbMaxSubKeyLen)
        *lpcbMaxSubKeyLen = longestKey;
    if (lpcbMaxClassLen)
        *lpcbMaxClassLen = 0;
    if (lpcValues)
        *lpcValues = static_cast<DWORD>(call.key->Values().size());
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
