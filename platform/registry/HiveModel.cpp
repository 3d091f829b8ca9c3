#include "registry/HiveModel.h"

namespace registry {

std::string FoldName(const std::string &name)
{
    std::string folded(name);
    for (char &c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

bool SameName(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

namespace {

// Moves the subkeys to `pending`, leaving `children` empty.
void TakeChildren(Key::SubKeys &children, std::vector<std::unique_ptr<Key>> &pending)
{
    for (auto &entry : children)
        pending.push_back(std::move(entry.second));
    children.clear();
}

} // namespace

// A key destroyed with its subkeys in place would recurse once per level:
// the tree is taken apart first, so that every key dies without subkeys
// (erasing or clearing subkeys comes here for each of them).
Key::~Key()
{
    std::vector<std::unique_ptr<Key>> pending;
    TakeChildren(fChildren, pending);
    while (!pending.empty()) {
        std::unique_ptr<Key> key = std::move(pending.back());
        pending.pop_back();
        TakeChildren(key->fChildren, pending);
    }
}

Key *Key::Child(const std::string &name) const
{
    auto found = fChildren.find(FoldName(name));
    return found == fChildren.end() ? nullptr : found->second.get();
}

Key *Key::AddChild(const std::string &name)
{
    std::unique_ptr<Key> &slot = fChildren[FoldName(name)];
    if (!slot)
        slot.reset(new Key(name));
    return slot.get();
}

bool Key::RemoveChild(const std::string &name) { return fChildren.erase(FoldName(name)) > 0; }

void Key::Empty()
{
    fChildren.clear();
    fValues.clear();
    fValueIndex.clear();
}

const Value *Key::FindValue(const std::string &name) const
{
    auto found = fValueIndex.find(FoldName(name));
    return found == fValueIndex.end() ? nullptr : &fValues[found->second];
}

void Key::SetValue(const std::string &name, DWORD type, std::string data)
{
    auto placed = fValueIndex.emplace(FoldName(name), fValues.size());
    if (!placed.second) {
        Value &value = fValues[placed.first->second];
        value.type = type;
        value.data = std::move(data);
        return;
    }
    fValues.push_back(Value{name, type, std::move(data)});
}

bool Key::RemoveValue(const std::string &name)
{
    auto found = fValueIndex.find(FoldName(name));
    if (found == fValueIndex.end())
        return false;
    const size_t place = found->second;
    fValueIndex.erase(found);
    fValues.erase(fValues.begin() + static_cast<std::ptrdiff_t>(place));
    for (auto &entry : fValueIndex)
        if (entry.second > place)
            --entry.second;
    return true;
}

bool PathWithin(const KeyPath &path, const KeyPath &prefix)
{
    if (path.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (!SameName(path[i], prefix[i]))
            return false;
    return true;
}

Key *Descend(Key *key, const KeyPath &path)
{
    for (const std::string &name : path) {
        key = key->Child(name);
        if (!key)
            return nullptr;
    }
    return key;
}

Key *Hive::Find(const KeyPath &path) { return Descend(&root, path); }

} // namespace registry
