// The open registry keys of this process: what each HKEY stands for. A
// handle names its hive file and the key's path, so it keeps working while
// other processes rewrite the hive, and sees ERROR_KEY_DELETED once its key
// is gone. Handle values count up and are never reused within a process.
//
// Not thread-safe: the registry calls it under its own mutex.
#pragma once

#include "registry/HiveModel.h"

#include <cstdint>
#include <map>
#include <string>

namespace registry {

struct OpenedKey {
    std::string file; // hive file
    KeyPath path;     // below the hive's root
    REGSAM access = 0;
    bool deleted = false; // deleted by this process while open
};

class KeyHandles {
public:
    HKEY Add(OpenedKey key);
    OpenedKey *Find(HKEY handle);
    bool Remove(HKEY handle);
    // Marks the handles on `path` (when `self`) and on every key below it.
    void MarkDeleted(const std::string &file, const KeyPath &path, bool self);

private:
    std::map<uintptr_t, OpenedKey> fKeys;
    uintptr_t fNext = 0x10000;
};

} // namespace registry
