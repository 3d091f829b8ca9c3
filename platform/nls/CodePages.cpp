// MultiByteToWideChar and WideCharToMultiByte through iconv. WCHAR text is
// UTF-16 in the machine's byte order (little-endian).
//
// Bytes a code page does not define become, as on Windows: the character of
// the same number for the single-byte pages (0x81 under 1252 is U+0081),
// "?" for the double-byte pages and U+FFFD for UTF-8.

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "windows.h"

namespace {

enum class Kind { SingleByte, DoubleByte, Utf8 };

struct CodePage {
    UINT id = 0;
    std::string iconvName;
    Kind kind = Kind::SingleByte;
};

const char *const kUtf16 = "UTF-16LE";

bool Resolve(UINT codePage, CodePage *page)
{
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP)
        codePage = GetACP();
    else if (codePage == CP_OEMCP)
        codePage = GetOEMCP();
    page->id = codePage;
    switch (codePage) {
    case CP_UTF8:
        page->iconvName = "UTF-8";
        page->kind = Kind::Utf8;
        return true;
    case 932: case 936: case 949: case 950:
        page->iconvName = "CP" + std::to_string(codePage);
        page->kind = Kind::DoubleByte;
        break;
    case 20127:
        page->iconvName = "ASCII";
        break;
    default:
        if (codePage >= 28591 && codePage <= 28599)
            page->iconvName = "ISO-8859-" + std::to_string(codePage - 28590);
        else if (codePage >= 37 && codePage < 2000)
            page->iconvName = "CP" + std::to_string(codePage);
        else
            return false;
    }
    iconv_t probe = iconv_open(kUtf16, page->iconvName.c_str());
    if (probe == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(probe);
    return true;
}

class Converter {
public:
    Converter(const char *to, const char *from) : FHandle(iconv_open(to, from)) {}
    ~Converter()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can. Returns true when all input is consumed;
    // false at an input sequence that cannot be converted (*in then points
    // at it) or when the output is full (see StoppedAtBadInput).
    bool Run(const char **in, size_t *inLeft, char **out, size_t *outLeft)
    {
        char *source = const_cast<char *>(*in);
        size_t done = iconv(FHandle, &source, inLeft, out, outLeft);
        *in = source;
        return done != static_cast<size_t>(-1);
    }

    void Reset() { iconv(FHandle, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t FHandle;
};

// Whether a conversion opened; ERROR_INVALID_PARAMETER when not.
bool Opened(const Converter &converter)
{
    if (converter.Valid())
        return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// After Converter::Run stopped short: true at input it cannot convert;
// false, with ERROR_INSUFFICIENT_BUFFER, when the output was full.
bool StoppedAtBadInput()
{
    if (errno == EILSEQ || errno == EINVAL)
        return true;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The bytes to UTF-16 in `*text`; false (ERROR_NO_UNICODE_TRANSLATION) at
// an invalid byte when `strict`.
bool ToUtf16(const CodePage &page, const char *bytes, size_t count, bool strict, std::u16string *text)
{
    Converter converter(kUtf16, page.iconvName.c_str());
    if (!Opened(converter))
        return false;
    // Every byte gives at most one unit: no code page of these packs more.
    text->assign(count, u'\0');
    char *out = reinterpret_cast<char *>(&(*text)[0]);
    size_t outLeft = count * sizeof(char16_t);
    const char *in = bytes;
    size_t inLeft = count;
    while (!converter.Run(&in, &inLeft, &out, &outLeft)) {
        if (!StoppedAtBadInput())
            return false;
        if (strict) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return false;
        }
        char16_t replacement = u'?';
        if (page.kind == Kind::Utf8)
            replacement = u'\xFFFD';
        else if (page.kind == Kind::SingleByte)
            replacement = static_cast<unsigned char>(*in);
        memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
        converter.Reset();
    }
    text->resize(text->size() - outLeft / sizeof(char16_t));
    return true;
}

// UTF-16 to the code page's bytes in `*bytes`.
bool FromUtf16(const CodePage &page, const char16_t *text, size_t count, const char *defaultChar,
               bool *usedDefault, bool strict, std::string *bytes)
{
    Converter converter(page.iconvName.c_str(), kUtf16);
    if (!Opened(converter))
        return false;
    const std::string fallback = defaultChar && *defaultChar ? std::string(defaultChar, strnlen(defaultChar, 2)) : "?";
    // UTF-8 needs at most three bytes a unit, the other pages two; room for
    // the default character on top.
    bytes->assign(count * (3 + fallback.size()), '\0');
    char *out = &(*bytes)[0];
    size_t outLeft = bytes->size();
    const char *in = reinterpret_cast<const char *>(text);
    size_t inLeft = count * sizeof(char16_t);
    while (!converter.Run(&in, &inLeft, &out, &outLeft)) {
        if (!StoppedAtBadInput())
            return false;
        char16_t unit;
        memcpy(&unit, in, sizeof unit);
        size_t units = 1;
        if (IsHighSurrogate(unit) && inLeft >= 2 * sizeof(char16_t)) {
            char16_t next;
            memcpy(&next, in + sizeof unit, sizeof next);
            if (IsLowSurrogate(next))
                units = 2;
        }
        const bool lone = (IsHighSurrogate(unit) || IsLowSurrogate(unit)) && units == 1;
        std::string replacement;
        if (page.kind == Kind::Utf8) {
            if (strict && lone) {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return false;
            }
            replacement = "\xEF\xBF\xBD";
        } else if (page.id == 1252 && unit >= 0x80 && unit <= 0x9F) {
            replacement.assign(1, static_cast<char>(unit)); // the five holes of 1252 keep their numbers
        } else {
            replacement = fallback;
            if (usedDefault)
                *usedDefault = true;
        }
        memcpy(out, replacement.data(), replacement.size());
        out += replacement.size();
        outLeft -= replacement.size();
        in += units * sizeof(char16_t);
        inLeft -= units * sizeof(char16_t);
        converter.Reset();
    }
    bytes->resize(bytes->size() - outLeft);
    return true;
}

// The checks both conversions start with: a source of `sourceLength` units
// (-1: up to and with its NUL) and a destination of `room` units (0: only
// measure), in a code page that is known here. False with
// ERROR_INVALID_PARAMETER.
bool StartConversion(UINT codePage, const void *source, int sourceLength, const void *destination, int room,
                     CodePage *page)
{
    if (!source || sourceLength == 0 || sourceLength < -1 || room < 0 || (room > 0 && !destination) ||
        !Resolve(codePage, page)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

size_t Utf16Length(const char16_t *text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

} // namespace

BOOL WINAPI IsValidCodePage(UINT CodePage)
{
    ::CodePage page;
    return CodePage != CP_ACP && CodePage != CP_OEMCP && CodePage != CP_MACCP && CodePage != CP_THREAD_ACP &&
           Resolve(CodePage, &page);
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar)
{
    ::CodePage page;
    if (!StartConversion(CodePage, lpMultiByteStr, cbMultiByte, lpWideCharStr, cchWideChar, &page))
        return 0;
    if (page.kind == Kind::Utf8 && (dwFlags & ~MB_ERR_INVALID_CHARS) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t count = cbMultiByte == -1 ? strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::u16string text;
    if (!ToUtf16(page, lpMultiByteStr, count, (dwFlags & MB_ERR_INVALID_CHARS) != 0, &text))
        return 0;
    if (cchWideChar == 0)
        return static_cast<int>(text.size());
    if (text.size() > static_cast<size_t>(cchWideChar)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(lpWideCharStr, text.data(), text.size() * sizeof(char16_t));
    return static_cast<int>(text.size());
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar)
{
    ::CodePage page;
    if (!StartConversion(CodePage, lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte, &page))
        return 0;
    if (page.kind == Kind::Utf8) {
        if (lpDefaultChar || lpUsedDefaultChar) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if ((dwFlags & ~WC_ERR_INVALID_CHARS) != 0) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
    }
    size_t count = cchWideChar == -1 ? Utf16Length(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    bool usedDefault = false;
    std::string bytes;
    if (!FromUtf16(page, lpWideCharStr, count, lpDefaultChar, &usedDefault,
                   (dwFlags & WC_ERR_INVALID_CHARS) != 0, &bytes))
        return 0;
    if (cbMultiByte > 0 && bytes.size() > static_cast<size_t>(cbMultiByte)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    if (cbMultiByte > 0)
        memcpy(lpMultiByteStr, bytes.data(), bytes.size());
    return static_cast<int>(bytes.size());
}
