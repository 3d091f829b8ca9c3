#include "registry/KeyHandles.h"

namespace registry {

HKEY KeyHandles::Add(OpenedKey key)
{
    uintptr_t value = fNext;
    fNext += 4;
    fKeys.emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
}

OpenedKey *KeyHandles::Find(HKEY handle)
{
    auto found = fKeys.find(reinterpret_cast<uintptr_t>(handle));
    return found == fKeys.end() ? nullptr : &found->second;
}

bool KeyHandles::Remove(HKEY handle) { return fKeys.erase(reinterpret_cast<uintptr_t>(handle)) > 0; }

void KeyHandles::MarkDeleted(const std::string &file, const KeyPath &path, bool self)
{
    for (auto &entry : fKeys) {
        OpenedKey &key = entry.second;
        if (key.file != file || !PathWithin(key.path, path))
            continue;
        if (self || key.path.size() > path.size())
            key.deleted = true;
    }
}

} // namespace registry
