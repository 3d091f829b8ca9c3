#include "ProfileFile.h"

#include "PathResolution.h"

namespace platform {
namespace {

std::string Trim(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The name of a "[name]" line; false for any other line.
bool SectionName(const std::string &line, std::string *name)
{
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[')
        return false;
    const size_t close = trimmed.find(']');
    if (close == std::string::npos)
        return false;
    *name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The key and value of a line within a section; false for a blank line or
// a comment. A line without "=" is a key without a value.
bool KeyLine(const std::string &line, std::string *key, std::string *value)
{
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';')
        return false;
    const size_t equals = trimmed.find('=');
    *key = Trim(trimmed.substr(0, equals));
    *value = equals == std::string::npos ? std::string() : Trim(trimmed.substr(equals + 1));
    return !key->empty();
}

} // namespace

ProfileFile::ProfileFile(const std::string &text)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t newline = text.find('\n', at);
        if (newline == std::string::npos)
            newline = text.size();
        std::string line = text.substr(at, newline - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines_.push_back(line);
        at = newline + 1;
    }
}

size_t ProfileFile::FindSection(const std::string &section, size_t *end) const
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string name;
        if (!SectionName(lines_[i], &name))
            continue;
        if (found != std::string::npos) {
            *end = i;
            return found;
        }
        if (SameNameIgnoringCase(name, section))
            found = i;
    }
    *end = lines_.size();
    return found;
}

std::vector<std::string> ProfileFile::Sections() const
{
    std::vector<std::string> sections;
    for (const std::string &line : lines_) {
        std::string name;
        if (!SectionName(line, &name))
            continue;
        bool seen = false;
        for (const std::string &known : sections)
            seen = seen || SameNameIgnoringCase(known, name);
        if (!seen)
            sections.push_back(name);
    }
    return sections;
}

std::vector<ProfileFile::Entry> ProfileFile::Entries(const std::string &section) const
{
    std::vector<Entry> entries;
    size_t end = 0;
    const size_t start = FindSection(section, &end);
    if (start == std::string::npos)
        return entries;
    for (size_t i = start + 1; i < end; ++i) {
        std::string key, value;
        if (KeyLine(lines_[i], &key, &value))
            entries.emplace_back(key, value);
    }
    return entries;
}

bool ProfileFile::Find(const std::string &section, const std::string &key, std::string *value) const
{
    for (const Entry &entry : Entries(section)) {
        if (SameNameIgnoringCase(entry.first, key)) {
            *value = entry.second;
            return true;
        }
    }
    return false;
}

void ProfileFile::Set(const std::string &section, const std::string &key, const std::string &value)
{
    Put(section, &key, key + "=" + value);
}

void ProfileFile::Add(const std::string &section, const std::string &key, const std::string &value)
{
    Put(section, nullptr, key + "=" + value);
}

void ProfileFile::Put(const std::string &section, const std::string *key, const std::string &line)
{
    size_t end = 0;
    const size_t start = FindSection(section, &end);
    if (start == std::string::npos) {
        lines_.push_back("[" + section + "]");
        lines_.push_back(line);
        return;
    }
    size_t last = start; // the section's last line that is not blank
    for (size_t i = start + 1; i < end; ++i) {
        std::string name, old;
        if (key && KeyLine(lines_[i], &name, &old) && SameNameIgnoringCase(name, *key)) {
            lines_[i] = line;
            return;
        }
        if (!Trim(lines_[i]).empty())
            last = i;
    }
    lines_.insert(lines_.begin() + static_cast<long>(last) + 1, line);
}

bool ProfileFile::RemoveKey(const std::string &section, const std::string &key)
{
    size_t end = 0;
    const size_t start = FindSection(section, &end);
    if (start == std::string::npos)
        return false;
    for (size_t i = start + 1; i < end; ++i) {
        std::string name, value;
        if (KeyLine(lines_[i], &name, &value) && SameNameIgnoringCase(name, key)) {
            lines_.erase(lines_.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

bool ProfileFile::RemoveSection(const std::string &section)
{
    size_t end = 0;
    const size_t start = FindSection(section, &end);
    if (start == std::string::npos)
        return false;
    lines_.erase(lines_.begin() + static_cast<long>(start), lines_.begin() + static_cast<long>(end));
    return true;
}

std::string ProfileFile::Text() const
{
    std::string text;
    for (const std::string &line : lines_)
        text += line + "\r\n";
    return text;
}

} // namespace platform
