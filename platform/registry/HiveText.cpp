#include "registry/HiveText.h"

#include "registry/HexDigits.h"
#include "registry/LittleEndian.h"
#include "winerror.h"
#include "winreg.h"

#include <cstring>

namespace registry {
namespace {

bool Printable(unsigned char c) { return c >= 0x20 && c < 0x7f; }

// ---- writing ---------------------------------------------------------

void PutQuoted(std::string &out, const char *bytes, size_t size)
{
    out += '"';
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (Printable(c)) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            PutHexPair(out, c, HexCase::Lower);
        }
    }
    out += '"';
}

void PutQuoted(std::string &out, const std::string &text) { PutQuoted(out, text.data(), text.size()); }

void PutPathName(std::string &out, const std::string &name)
{
    for (char ch : name) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '%' || !Printable(c)) {
            out += '%';
            PutHexPair(out, c, HexCase::Upper);
        } else {
            out += ch;
        }
    }
}

void PutHexList(std::string &out, const std::string &data)
{
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        PutHexPair(out, static_cast<unsigned char>(data[i]), HexCase::Lower);
    }
}

// A string value in quoted form: data that ends in its only NUL.
bool PlainString(const std::string &data)
{
    return !data.empty() && data.back() == '\0' && data.find('\0') == data.size() - 1;
}

// A multi-string in quoted form: non-empty strings, each with its NUL,
// then one more NUL; or a lone NUL for the empty list.
bool PlainMultiString(const std::string &data, std::vector<std::string> *parts)
{
    if (data == std::string(1, '\0'))
        return true;
    if (data.size() < 3 || data[data.size() - 1] != '\0' || data[data.size() - 2] != '\0')
        return false;
    size_t start = 0;
    size_t end = data.size() - 1; // the final NUL
    while (start < end) {
        size_t nul = data.find('\0', start);
        if (nul == start)
            return false; // an empty string would end the list early
        parts->push_back(data.substr(start, nul - start));
        start = nul + 1;
    }
    return true;
}

void PutValue(std::string &out, const Value &value)
{
    PutQuoted(out, value.name);
    out += '=';
    std::vector<std::string> parts;
    if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && PlainString(value.data)) {
        out += value.type == REG_SZ ? "sz:" : "expand:";
        PutQuoted(out, value.data.data(), value.data.size() - 1);
    } else if (value.type == REG_MULTI_SZ && PlainMultiString(value.data, &parts)) {
        out += "multi:";
        for (size_t i = 0; i < parts.size(); ++i) {
            if (i)
                out += ',';
            PutQuoted(out, parts[i]);
        }
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = static_cast<DWORD>(LittleEndianNumber(value.data));
        out += "dword:";
        for (int shift = 24; shift >= 0; shift -= 8)
            PutHexPair(out, static_cast<unsigned char>(number >> shift), HexCase::Lower);
    } else if (value.type == REG_BINARY) {
        out += "hex:";
        PutHexList(out, value.data);
    } else {
        out += "hex(";
        char type[16];
        snprintf(type, sizeof type, "%x", static_cast<unsigned>(value.type));
        out += type;
        out += "):";
        PutHexList(out, value.data);
    }
    out += '\n';
}

// Writes the key lines below the root, depth first in enumeration order,
// without recursion. A key with neither values nor subkeys is written as
// its line alone; a key without values whose subkeys follow it needs no line
// of its own (a key line makes the keys above it), so a chain of keys takes
// one line rather than one per level, whose paths would grow with the
// square of its depth.
void PutKeys(std::string &out, const Key &root)
{
    struct Level {
        const Key *key;
        Key::SubKeys::const_iterator next;
        size_t mark; // length of the path down to this key
    };
    std::string path;
    std::vector<Level> levels{{&root, root.Children().begin(), 0}};
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.key->Children().end()) {
            levels.pop_back();
            continue;
        }
        const Key &child = *(level.next++)->second;
        path.resize(level.mark);
        if (level.mark)
            path += '\\';
        PutPathName(path, child.Name());
        if (!child.Values().empty() || child.Children().empty()) {
            out += "\n[";
            out += path;
            out += "]\n";
            for (const Value &value : child.Values())
                PutValue(out, value);
        }
        levels.push_back(Level{&child, child.Children().begin(), path.size()});
    }
}

// ---- reading ---------------------------------------------------------

class LineReader {
public:
    LineReader(const char *begin, const char *end) : fAt(begin), fEnd(end) {}

    bool AtEnd() const { return fAt >= fEnd; }
    char Peek() const { return AtEnd() ? '\0' : *fAt; }
    void SkipBlanks()
    {
        while (!AtEnd() && (*fAt == ' ' || *fAt == '\t'))
            ++fAt;
    }
    bool Take(char c)
    {
        if (AtEnd() || *fAt != c)
            return false;
        ++fAt;
        return true;
    }
    bool TakeWord(const char *word)
    {
        size_t length = strlen(word);
        if (static_cast<size_t>(fEnd - fAt) < length || memcmp(fAt, word, length) != 0)
            return false;
        fAt += length;
        return true;
    }
    // Only blanks are left.
    bool Finished()
    {
        SkipBlanks();
        return AtEnd();
    }

    bool Quoted(std::string *out)
    {
        if (!Take('"'))
            return false;
        out->clear();
        while (!AtEnd()) {
            unsigned char c = static_cast<unsigned char>(*fAt++);
            if (c == '"')
                return true;
            if (c == '\\') {
                if (AtEnd())
                    return false;
                char e = *fAt++;
                switch (e) {
                case '\\': *out += '\\'; break;
                case '"': *out += '"'; break;
                case 'n': *out += '\n'; break;
                case 'r': *out += '\r'; break;
                case 't': *out += '\t'; break;
                case '0': *out += '\0'; break;
                case 'x':
                    if (!TakeHexPair(out))
                        return false;
                    break;
                default: return false;
                }
            } else if (c < 0x20 && c != '\t') {
                return false; // raw control bytes are damage, not text
            } else {
                *out += static_cast<char>(c);
            }
        }
        return false; // no closing quote
    }

    bool HexList(std::string *out)
    {
        out->clear();
        SkipBlanks();
        if (AtEnd())
            return true;
        for (;;) {
            SkipBlanks();
            if (!TakeHexPair(out))
                return false;
            SkipBlanks();
            if (!Take(','))
                return true;
        }
    }

    bool HexNumber(DWORD *out, int maxDigits)
    {
        DWORD number = 0;
        int digits = 0;
        while (!AtEnd() && HexValue(*fAt) >= 0) {
            if (++digits > maxDigits)
                return false;
            number = (number << 4) | static_cast<DWORD>(HexValue(*fAt++));
        }
        *out = number;
        return digits > 0;
    }

private:
    // Two hex digits: appends the byte they stand for.
    bool TakeHexPair(std::string *out)
    {
        char byte;
        if (fEnd - fAt < 2 || !HexPair(fAt, &byte))
            return false;
        *out += byte;
        fAt += 2;
        return true;
    }

    const char *fAt;
    const char *fEnd;
};

bool ParsePath(const char *begin, const char *end, KeyPath *path, std::string *problem)
{
    path->clear();
    if (begin == end)
        return true; // "[]": the root
    std::string name;
    for (const char *at = begin;; ++at) {
        if (at == end || *at == '\\') {
            if (name.empty()) {
                *problem = "empty key name in path";
                return false;
            }
            if (name.size() > ARV_REG_MAX_KEY_NAME) {
                *problem = "key name longer than 255 bytes";
                return false;
            }
            if (path->size() == ARV_REG_MAX_KEY_DEPTH) {
                *problem = "key path deeper than 512 levels";
                return false;
            }
            path->push_back(name);
            name.clear();
            if (at == end)
                return true;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(*at);
        if (c == '%') {
            char decoded;
            if (end - at <= 2 || !HexPair(at + 1, &decoded)) {
                *problem = "bad %HH escape in key path";
                return false;
            }
            if (decoded == '\\') {
                *problem = "backslash inside a key name";
                return false;
            }
            name += decoded;
            at += 2;
        } else if (c < 0x20 || c == 0x7f) {
            *problem = "control byte in key path";
            return false;
        } else {
            name += static_cast<char>(c);
        }
    }
}

bool ParseValue(LineReader &line, Value *value, std::string *problem)
{
    if (line.Take('@')) {
        value->name.clear();
    } else if (!line.Quoted(&value->name)) {
        *problem = "bad value name";
        return false;
    }
    if (value->name.size() > ARV_REG_MAX_VALUE_NAME) {
        *problem = "value name too long";
        return false;
    }
    line.SkipBlanks();
    if (!line.Take('=')) {
        *problem = "missing '=' after the value name";
        return false;
    }
    line.SkipBlanks();
    value->data.clear();
    bool plain = line.TakeWord("sz:");
    bool expand = !plain && line.TakeWord("expand:");
    if (plain || expand) {
        value->type = plain ? REG_SZ : REG_EXPAND_SZ;
        if (!line.Quoted(&value->data)) {
            *problem = "bad quoted string";
            return false;
        }
        value->data += '\0';
    } else if (line.TakeWord("multi:")) {
        value->type = REG_MULTI_SZ;
        line.SkipBlanks();
        std::string part;
        bool any = false;
        while (line.Peek() == '"') {
            if (!line.Quoted(&part) || part.empty() || part.find('\0') != std::string::npos) {
                *problem = "bad string in multi-string";
                return false;
            }
            value->data += part;
            value->data += '\0';
            any = true;
            line.SkipBlanks();
            if (!line.Take(','))
                break;
            line.SkipBlanks();
        }
        if (any)
            value->data += '\0';
        else
            value->data.assign(1, '\0');
    } else if (line.TakeWord("dword:")) {
        value->type = REG_DWORD;
        DWORD number = 0;
        if (!line.HexNumber(&number, 8)) {
            *problem = "bad dword";
            return false;
        }
        PutLittleEndian(value->data, number, 4);
    } else if (line.TakeWord("hex:")) {
        value->type = REG_BINARY;
        if (!line.HexList(&value->data)) {
            *problem = "bad hex bytes";
            return false;
        }
    } else if (line.TakeWord("hex(")) {
        DWORD type = 0;
        if (!line.HexNumber(&type, 8) || !line.Take(')') || !line.Take(':')) {
            *problem = "bad hex(type)";
            return false;
        }
        value->type = type;
        if (!line.HexList(&value->data)) {
            *problem = "bad hex bytes";
            return false;
        }
    } else {
        *problem = "unknown value type";
        return false;
    }
    if (!line.Finished()) {
        *problem = "unexpected text after the value";
        return false;
    }
    return true;
}

class HiveParser {
public:
    explicit HiveParser(Hive &hive) : fHive(hive), fCurrent(&hive.root) {}

    void Line(const char *begin, const char *end, int number)
    {
        if (end > begin && end[-1] == '\r')
            --end;
        LineReader line(begin, end);
        line.SkipBlanks();
        char first = line.Peek();
        if (line.AtEnd() || first == ';' || first == '#')
            return;
        std::string problem;
        if (first == '[') {
            const char *close = end;
            while (close > begin && (close[-1] == ' ' || close[-1] == '\t'))
                --close;
            const char *open = begin;
            while (*open != '[')
                ++open;
            KeyPath path;
            if (close - open < 2 || close[-1] != ']') {
                problem = "key line without closing ']'";
            } else if (ParsePath(open + 1, close - 1, &path, &problem)) {
                fCurrent = &fHive.root;
                for (const std::string &name : path)
                    fCurrent = fCurrent->AddChild(name);
                return;
            }
            fCurrent = nullptr; // the values below belong to no key we know
            Damage(number, problem);
            return;
        }
        if (first == '"' || first == '@') {
            Value value;
            if (!ParseValue(line, &value, &problem)) {
                Damage(number, problem);
                return;
            }
            if (!fCurrent) {
                Damage(number, "value under a key line that did not parse");
                return;
            }
            if (fCurrent->FindValue(value.name))
                Damage(number, "value named twice in one key");
            fCurrent->SetValue(value.name, value.type, std::move(value.data));
            return;
        }
        Damage(number, "line is neither a key, a value nor a comment");
    }

private:
    void Damage(int number, const std::string &problem)
    {
        if (fHive.refusal)
            return;
        fHive.refusal = ERROR_BADDB;
        fHive.badLine = number;
        fHive.problem = problem;
    }

    Hive &fHive;
    Key *fCurrent;
};

} // namespace

Hive ParseHive(const std::string &text)
{
    Hive hive;
    HiveParser parser(hive);
    const char *at = text.data();
    const char *end = at + text.size();
    int number = 0;
    while (at < end) {
        const char *newline = static_cast<const char *>(memchr(at, '\n', static_cast<size_t>(end - at)));
        const char *lineEnd = newline ? newline : end;
        parser.Line(at, lineEnd, ++number);
        at = newline ? newline + 1 : end;
    }
    return hive;
}

std::string WriteHive(const Hive &hive)
{
    std::string out =
        "; Registry hive of this machine. Keys are [Path\\To\\Key] lines, values\n"
        "; \"Name\"=type:data lines below them; types sz, expand, multi, dword, hex\n"
        "; (binary) and hex(N) for type N. In quotes \\\\ \\\" and \\xHH stand for a\n"
        "; backslash, a quote and any byte; in key paths %HH for any byte.\n";
    if (!hive.root.Values().empty()) {
        out += "\n[]\n";
        for (const Value &value : hive.root.Values())
            PutValue(out, value);
    }
    PutKeys(out, hive.root);
    return out;
}

} // namespace registry
