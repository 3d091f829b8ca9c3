#include "setup/InfFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "setupapi.h"
#include "kernel/ErrorCodes.h"
#include "kernel/PathResolution.h"
#include "winbase.h"

namespace setup {
namespace {

constexpr size_t kMaxSectionName = 255;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string &text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// One physical line without its comment; `continues` when it ends in an
// unquoted '\', which is then dropped.
std::string Content(const std::string &line, bool *continues)
{
    bool quoted = false;
    size_t end = line.size();
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ';' && !quoted) {
            end = i;
            break;
        }
    }
    std::string content = line.substr(0, end);
    while (!content.empty() && (IsBlank(content.back()) || content.back() == '\r'))
        content.pop_back();
    // A quote left open ends with the line, so the quote state at the end
    // is what decides whether a final '\' is text.
    quoted = false;
    for (char c : content)
        quoted = c == '"' ? !quoted : quoted;
    *continues = !quoted && !content.empty() && content.back() == '\\';
    if (*continues)
        content.pop_back();
    return content;
}

// Collects one field: blanks outside quotes are dropped at its ends, quotes
// go, and "" inside quotes is a quote.
class FieldText {
public:
    void Add(char c, bool quoted)
    {
        if (!quoted && IsBlank(c)) {
            if (fStarted)
                fBlanks += c;
            return;
        }
        Start();
        fText += c;
    }
    void Start()
    {
        fText += fBlanks;
        fBlanks.clear();
        fStarted = true;
    }
    std::string Take()
    {
        std::string text;
        text.swap(fText);
        fBlanks.clear();
        fStarted = false;
        return text;
    }

private:
    std::string fText;
    std::string fBlanks;
    bool fStarted = false;
};

InfLine SplitLine(const std::string &text)
{
    InfLine line;
    FieldText field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                field.Add('"', true);
                ++i;
            } else {
                quoted = !quoted;
                field.Start();
            }
        } else if (c == '=' && !quoted && !line.hasKey && line.fields.empty()) {
            line.hasKey = true;
            line.key = field.Take();
        } else if (c == ',' && !quoted) {
            line.fields.push_back(field.Take());
        } else {
            field.Add(c, quoted);
        }
    }
    line.fields.push_back(field.Take());
    if (line.hasKey && line.fields.size() == 1 && line.fields[0].empty())
        line.fields.clear(); // "key =" has no fields
    return line;
}

} // namespace

DWORD ReadWholeFile(const std::string &path, std::string *text)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? platform::MissingPathError(path) : platform::ErrorFromErrno(errno);
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return ERROR_ACCESS_DENIED;
    }
    text->clear();
    char piece[4096];
    for (;;) {
        const ssize_t got = read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            close(fd);
            return platform::ErrorFromErrno(error);
        }
        if (got == 0)
            break;
        text->append(piece, static_cast<size_t>(got));
    }
    close(fd);
    return ERROR_SUCCESS;
}

namespace {

bool IsWin4Signature(const std::string &signature)
{
    for (const char *known : {"$Windows NT$", "$Chicago$", "$Windows 95$"}) {
        if (platform::SameNameIgnoringCase(signature, known))
            return true;
    }
    return false;
}

} // namespace

DWORD InfFile::Parse(const std::string &text, UINT *errorLine)
{
    fSections.clear();
    int current = -1;
    size_t at = 0;
    UINT number = 0;
    while (at < text.size()) {
        const UINT first = number + 1;
        std::string logical;
        bool continues = true;
        while (continues && at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            logical += Content(text.substr(at, end - at), &continues);
            at = end + 1;
            ++number;
        }
        const std::string line = Trim(logical);
        if (line.empty())
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string::npos) {
                *errorLine = first;
                return ERROR_BAD_SECTION_NAME_LINE;
            }
            const std::string name = Trim(line.substr(1, close - 1));
            if (name.size() > kMaxSectionName) {
                *errorLine = first;
                return ERROR_SECTION_NAME_TOO_LONG;
            }
            current = FindSection(name);
            if (current < 0) {
                fSections.push_back(InfSection{name, {}});
                current = static_cast<int>(fSections.size() - 1);
            }
            continue;
        }
        if (current < 0) {
            *errorLine = first;
            return ERROR_EXPECTED_SECTION_NAME;
        }
        fSections[static_cast<size_t>(current)].lines.push_back(SplitLine(line));
    }
    return ERROR_SUCCESS;
}

int InfFile::FindSection(const std::string &name) const
{
    for (size_t i = 0; i < fSections.size(); ++i) {
        if (platform::SameNameIgnoringCase(fSections[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

std::string InfFile::Expand(const std::string &raw) const
{
    const int strings = FindSection("Strings");
    std::string result;
    size_t at = 0;
    while (at < raw.size()) {
        const size_t open = raw.find('%', at);
        if (open == std::string::npos) {
            result += raw.substr(at);
            break;
        }
        result += raw.substr(at, open - at);
        const size_t close = raw.find('%', open + 1);
        if (close == std::string::npos) {
            result += raw.substr(open);
            break;
        }
        const std::string name = raw.substr(open + 1, close - open - 1);
        std::string replacement = "%" + name + "%";
        if (name.empty())
            replacement = "%";
        else if (strings >= 0) {
            for (const InfLine &line : fSections[static_cast<size_t>(strings)].lines) {
                if (line.hasKey && platform::SameNameIgnoringCase(line.key, name) && !line.fields.empty()) {
                    replacement = line.fields[0];
                    break;
                }
            }
        }
        result += replacement;
        at = close + 1;
    }
    return result;
}

std::string InfFile::KeyOf(const InfLine &line) const
{
    if (line.hasKey)
        return Expand(line.key);
    return line.fields.size() == 1 ? Expand(line.fields[0]) : std::string();
}

bool InfFile::Value(const std::string &section, const std::string &key, std::string *value) const
{
    const int index = FindSection(section);
    if (index < 0)
        return false;
    for (const InfLine &line : fSections[static_cast<size_t>(index)].lines) {
        if (line.hasKey && platform::SameNameIgnoringCase(Expand(line.key), key)) {
            *value = line.fields.empty() ? std::string() : Expand(line.fields[0]);
            return true;
        }
    }
    return false;
}

DWORD LoadInf(LPCSTR windowsPath, DWORD style, InfFile *inf, std::string *text, UINT *errorLine)
{
    std::string path;
    if (!platform::MapWindowsName(windowsPath, &path))
        return GetLastError();
    std::string bytes;
    const DWORD read = ReadWholeFile(path, &bytes);
    if (read != ERROR_SUCCESS)
        return read;
    UINT line = 0;
    const DWORD parsed = inf->Parse(bytes, &line);
    if (parsed != ERROR_SUCCESS) {
        if (errorLine)
            *errorLine = line;
        return parsed;
    }
    std::string signature;
    if ((style & INF_STYLE_WIN4) && !(style & INF_STYLE_OLDNT) &&
        !(inf->Value("Version", "Signature", &signature) && IsWin4Signature(signature)))
        return ERROR_WRONG_INF_STYLE;
    if (text)
        text->swap(bytes);
    return ERROR_SUCCESS;
}

} // namespace setup
