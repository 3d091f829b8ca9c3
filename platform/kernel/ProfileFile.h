// The lines of a profile (".ini") file, read and changed as Windows' profile
// calls do: "[section]" lines and "key=value" lines below them. Names compare
// without regard to ASCII case, and of several sections or keys of one name
// the first counts. Lines that are no key of a section (comments, blank
// lines, lines before the first section) are kept as they are.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace platform {

class ProfileFile {
public:
    using Entry = std::pair<std::string, std::string>; // key, value

    explicit ProfileFile(const std::string &text = std::string());

    // The section names, each once, in the order of the file.
    std::vector<std::string> Sections() const;
    // The keys and values of the section, in order, every line that has a
    // key (keys that come twice too); values with the blanks around them
    // taken off.
    std::vector<Entry> Entries(const std::string &section) const;
    // The value of the first such key; false when there is none.
    bool Find(const std::string &section, const std::string &key, std::string *value) const;

    // Sets the key (the section comes at the end when there is none).
    void Set(const std::string &section, const std::string &key, const std::string &value);
    // Adds the key as the section's last key line, even when the section
    // has it already (the section comes at the end when there is none).
    void Add(const std::string &section, const std::string &key, const std::string &value);
    // Both true when something was taken out.
    bool RemoveKey(const std::string &section, const std::string &key);
    bool RemoveSection(const std::string &section);

    // The file's text, each line ended by CR LF as Windows writes them.
    std::string Text() const;

private:
    // The line of the first section of that name, or npos; `end` gets the
    // line after its last.
    size_t FindSection(const std::string &section, size_t *end) const;
    // Puts `line` after the section's last line that is not blank; with
    // `key` given, in place of the first line of that key instead.
    void Put(const std::string &section, const std::string *key, const std::string &line);

    std::vector<std::string> lines_;
};

} // namespace platform
