// The hive files on disk, shared by every process of the machine.
//
// Readers take the file as it is: a changed file (inode, size or
// modification time differ) is read again, an unchanged one is served from
// memory, so repeated queries cost one stat. Writers take an exclusive
// flock on "<hive>.lock", read the current file, change it, write a new
// file "<hive>.new", fsync it and rename it over the hive: a crash at any
// moment leaves the old or the new hive whole, and concurrent writers in
// other processes never lose each other's changes.
//
// Each new file gets a modification time later than the one it replaces
// (at least by a microsecond), so a reader can tell two versions apart even
// when they are written within one tick of the file system's clock and the
// new file reuses the old one's inode.
//
// Not thread-safe: the registry calls it under its own mutex.
#pragma once

#include "registry/HiveModel.h"

#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace registry {

class HiveStore {
public:
    // The hive as its file holds it now (empty when there is no file).
    Hive &Current(const std::string &file);

    // Runs `change` on the current hive while holding the writer lock.
    // `change` returns ERROR_SUCCESS and sets `changed` when the hive is to
    // be written; any other result is passed back, and then `change` must
    // have left the hive as it was. A hive that refuses changes (damaged or
    // unreadable file) gives its refusal code without calling `change`.
    LONG Change(const std::string &file, const std::function<LONG(Hive &hive, bool &changed)> &change);

private:
    struct Identity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        struct timespec modified = {0, 0};
        bool operator==(const Identity &other) const;
    };
    struct Entry {
        bool valid = false;
        Identity identity;
        Hive hive;
    };

    static Identity IdentityOf(const struct stat &info);
    static bool StatIdentity(const std::string &file, Identity *identity, int *error);
    Entry &Load(const std::string &file);
    LONG Save(const std::string &file, Entry &entry);

    std::map<std::string, Entry> fEntries;
};

} // namespace registry
