#include "AnsiString.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ostream>

thread_local char AnsiString::fScratch = 0;

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// vsnprintf into a std::string: one try into a stack buffer, a second with
// the exact size when the text is longer.
std::string Format(const char *format, va_list args)
{
    if (!format)
        return std::string();
    char small[256];
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(small, sizeof small, format, args);
    std::string result;
    if (length < 0) {
        va_end(again);
        return result;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        result.assign(small, static_cast<size_t>(length));
    } else {
        result.resize(static_cast<size_t>(length));
        vsnprintf(&result[0], static_cast<size_t>(length) + 1, format, again);
    }
    va_end(again);
    return result;
}

} // namespace

AnsiString::AnsiString(const char *text) : fData(text ? text : "") {}
AnsiString::AnsiString(const char *bytes, int length)
{
    if (bytes && length > 0)
        fData.assign(bytes, static_cast<size_t>(length));
}
AnsiString::AnsiString(char c) : fData(1, c) {}
AnsiString::AnsiString(int value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(unsigned value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(long value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(unsigned long value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(long long value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(unsigned long long value) : fData(std::to_string(value)) {}
AnsiString::AnsiString(double value)
{
    char text[64];
    int length = snprintf(text, sizeof text, "%.15g", value);
    if (length > 0)
        fData.assign(text, static_cast<size_t>(length));
}
AnsiString::AnsiString(const std::string &bytes) : fData(bytes) {}
AnsiString::AnsiString(std::string &&bytes) : fData(std::move(bytes)) {}

void AnsiString::SetLength(int length)
{
    fData.resize(length > 0 ? static_cast<size_t>(length) : 0, '\0');
}

AnsiString &AnsiString::operator+=(const AnsiString &other)
{
    fData += other.fData;
    return *this;
}

AnsiString &AnsiString::operator+=(const char *text)
{
    if (text)
        fData += text;
    return *this;
}

char &AnsiString::operator[](int index)
{
    if (index < 1 || index > Length()) {
        fScratch = 0;
        return fScratch;
    }
    return fData[static_cast<size_t>(index - 1)];
}

char AnsiString::operator[](int index) const
{
    if (index < 1 || index > Length())
        return 0;
    return fData[static_cast<size_t>(index - 1)];
}

AnsiString AnsiString::SubString(int start, int count) const
{
    if (count <= 0)
        return AnsiString();
    long long first = start < 1 ? 1 : start;
    long long last = static_cast<long long>(start) + count - 1; // inclusive
    if (last > Length())
        last = Length();
    if (first > last)
        return AnsiString();
    return AnsiString(fData.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
}

int AnsiString::Pos(const AnsiString &sub) const
{
    if (sub.IsEmpty())
        return 0;
    size_t at = fData.find(sub.fData);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString &AnsiString::Delete(int index, int count)
{
    if (index < 1 || index > Length() || count <= 0)
        return *this;
    fData.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
    return *this;
}

AnsiString &AnsiString::Insert(const AnsiString &text, int index)
{
    if (index < 1)
        index = 1;
    if (index > Length() + 1)
        index = Length() + 1;
    fData.insert(static_cast<size_t>(index - 1), text.fData);
    return *this;
}

int AnsiString::LastDelimiter(const AnsiString &delimiters) const
{
    if (delimiters.IsEmpty())
        return 0;
    size_t at = fData.find_last_of(delimiters.fData);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString AnsiString::UpperCase() const
{
    std::string result(fData);
    for (char &c : result)
        c = AsciiUpper(c);
    return AnsiString(std::move(result));
}

AnsiString AnsiString::LowerCase() const
{
    std::string result(fData);
    for (char &c : result)
        c = AsciiLower(c);
    return AnsiString(std::move(result));
}

AnsiString AnsiString::TrimLeft() const
{
    size_t first = 0;
    while (first < fData.size() && IsBlank(fData[first]))
        ++first;
    return AnsiString(fData.substr(first));
}

AnsiString AnsiString::TrimRight() const
{
    size_t end = fData.size();
    while (end > 0 && IsBlank(fData[end - 1]))
        --end;
    return AnsiString(fData.substr(0, end));
}

AnsiString AnsiString::Trim() const { return TrimLeft().TrimRight(); }

bool AnsiString::TryToInt(int *value) const
{
    const AnsiString trimmed = Trim();
    const std::string &text = trimmed.fData;
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size())
        return false;
    long long magnitude = 0;
    for (; at < text.size(); ++at) {
        char c = text[at];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        // Hex may give the full 32-bit pattern ($FFFFFFFF is -1), decimal
        // must fit an int.
        if (magnitude > (base == 16 ? 0xFFFFFFFFLL : static_cast<long long>(INT_MAX) + 1))
            return false;
    }
    long long result = negative ? -magnitude : magnitude;
    if (base == 16 && !negative && result > INT_MAX)
        result -= 0x100000000LL;
    if (result > INT_MAX || result < INT_MIN)
        return false;
    if (value)
        *value = static_cast<int>(result);
    return true;
}

int AnsiString::ToIntDef(int defaultValue) const
{
    int value = defaultValue;
    return TryToInt(&value) ? value : defaultValue;
}

int AnsiString::ToInt() const { return ToIntDef(0); }

AnsiString &AnsiString::printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fData = Format(format, args);
    va_end(args);
    return *this;
}

AnsiString &AnsiString::sprintf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fData = Format(format, args);
    va_end(args);
    return *this;
}

AnsiString &AnsiString::cat_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fData += Format(format, args);
    va_end(args);
    return *this;
}

int AnsiString::Compare(const AnsiString &other) const
{
    int result = fData.compare(other.fData);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int AnsiString::CompareIC(const AnsiString &other) const
{
    size_t common = fData.size() < other.fData.size() ? fData.size() : other.fData.size();
    for (size_t i = 0; i < common; ++i) {
        unsigned char a = static_cast<unsigned char>(AsciiUpper(fData[i]));
        unsigned char b = static_cast<unsigned char>(AsciiUpper(other.fData[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (fData.size() == other.fData.size())
        return 0;
    return fData.size() < other.fData.size() ? -1 : 1;
}

AnsiString operator+(const AnsiString &a, const AnsiString &b)
{
    AnsiString result(a);
    result += b;
    return result;
}

AnsiString operator+(const AnsiString &a, const char *b)
{
    AnsiString result(a);
    result += b;
    return result;
}

AnsiString operator+(const char *a, const AnsiString &b)
{
    AnsiString result(a);
    result += b;
    return result;
}

std::ostream &operator<<(std::ostream &out, const AnsiString &s)
{
    return out.write(s.c_str(), static_cast<std::streamsize>(s.Length()));
}

AnsiString IntToStr(int value) { return AnsiString(value); }

AnsiString IntToHex(int value, int digits)
{
    char text[16];
    snprintf(text, sizeof text, "%0*X", digits < 0 ? 0 : (digits > 8 ? 8 : digits), static_cast<unsigned>(value));
    return AnsiString(text);
}

int StrToInt(const AnsiString &text) { return text.ToInt(); }
int StrToIntDef(const AnsiString &text, int defaultValue) { return text.ToIntDef(defaultValue); }
AnsiString UpperCase(const AnsiString &text) { return text.UpperCase(); }
AnsiString LowerCase(const AnsiString &text) { return text.LowerCase(); }
AnsiString Trim(const AnsiString &text) { return text.Trim(); }
