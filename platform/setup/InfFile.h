// One INF file parsed into sections, lines and fields (syntax: setupapi.h).
// Fields keep their %name% references; they are replaced when read, so a
// [Strings] section anywhere in the file serves every line.
#pragma once

#include <string>
#include <vector>

#include "windef.h"

namespace setup {

struct InfLine {
    bool hasKey = false;
    std::string key;                 // raw, as the field before '='
    std::vector<std::string> fields; // raw, after the key
};

struct InfSection {
    std::string name;
    std::vector<InfLine> lines;
};

class InfFile {
public:
    // Parses `text`; on a syntax error returns its code (setupapi.h) and the
    // 1-based line in `errorLine`. A section named twice is one section.
    DWORD Parse(const std::string &text, UINT *errorLine);

    // Index of the section, or -1.
    int FindSection(const std::string &name) const;
    const InfSection &Section(size_t index) const { return fSections[index]; }
    size_t SectionCount() const { return fSections.size(); }

    // A raw field with its %name% references replaced from [Strings].
    std::string Expand(const std::string &raw) const;
    // The line's key after replacement; for a line without '=' holding one
    // field, that field.
    std::string KeyOf(const InfLine &line) const;

    // The replaced value of `key` in `section`, first field; false when
    // there is none.
    bool Value(const std::string &section, const std::string &key, std::string *value) const;

private:
    std::vector<InfSection> fSections;
};

// Reads a whole file at a Unix path; ERROR_SUCCESS or the Windows code.
DWORD ReadWholeFile(const std::string &unixPath, std::string *bytes);

// Reads and parses the INF file at a Windows path in the given style
// (INF_STYLE_*); its bytes go to `text` when asked for. ERROR_SUCCESS or
// the failure's code (a syntax error with its line in `errorLine`).
DWORD LoadInf(LPCSTR windowsPath, DWORD style, InfFile *inf, std::string *text, UINT *errorLine);

} // namespace setup
