// The registry hive in memory: a tree of keys, each with its values.
// Names keep their spelling and compare without regard to ASCII case;
// subkeys are held sorted by their upper-cased names, which is the order
// in which Windows enumerates them. Values keep the order of creation, with
// an index by folded name beside them, so that finding or setting a value
// costs the same however many the key holds.
#pragma once

#include "windef.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace registry {

// Upper-cases ASCII letters; other bytes stay (GB2312 names compare exactly).
std::string FoldName(const std::string &name);
bool SameName(const std::string &a, const std::string &b);

struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;
};

class Key {
public:
    explicit Key(std::string name = std::string()) : fName(std::move(name)) {}
    // Tears the tree below down without recursion, however deep it is.
    ~Key();
    Key(Key &&) = default;
    Key &operator=(Key &&) = default;
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    const std::string &Name() const { return fName; }

    // Subkeys, sorted; keyed by the folded name.
    using SubKeys = std::map<std::string, std::unique_ptr<Key>>;
    const SubKeys &Children() const { return fChildren; }
    Key *Child(const std::string &name) const;
    // Existing child of that name, or a new one with this spelling.
    Key *AddChild(const std::string &name);
    bool RemoveChild(const std::string &name);
    // Removes all children and values.
    void Empty();

    const std::vector<Value> &Values() const { return fValues; }
    const Value *FindValue(const std::string &name) const;
    // Sets or replaces; a replaced value keeps its place and spelling.
    void SetValue(const std::string &name, DWORD type, std::string data);
    bool RemoveValue(const std::string &name);

private:
    std::string fName;
    SubKeys fChildren;
    std::vector<Value> fValues;
    std::unordered_map<std::string, size_t> fValueIndex; // folded name -> place in fValues
};

// A path below a hive's root: its components, as given.
using KeyPath = std::vector<std::string>;

// The key `path` names below `key`; null when one on the way is missing.
Key *Descend(Key *key, const KeyPath &path);

// Whether `path` is `prefix` or lies below it (names compared folded).
bool PathWithin(const KeyPath &path, const KeyPath &prefix);

// Where a hive came from and whether it can be written back whole.
struct Hive {
    Key root;
    // Non-zero when the file could not be taken whole (a line that does not
    // parse, an unreadable file): the code that refuses changes, so that
    // what was not understood is never written away.
    LONG refusal = 0;
    int badLine = 0;      // first line that did not parse, 1-based
    std::string problem;  // what was wrong with it

    Key *Find(const KeyPath &path);
};

} // namespace registry
