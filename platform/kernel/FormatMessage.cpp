// FormatMessageA: message texts from the system's table or a given string,
// with their escapes and inserts expanded.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "SystemMessages.h"
#include "winbase.h"
#include "winerror.h"
#include "winnls.h"

namespace {

// The languages the system's table is offered in: its texts are English
// and stand for the machine's own language.
bool Offered(DWORD language)
{
    return language == 0 || language == 0x400 || language == 0x800 || PRIMARYLANGID(language) == LANG_ENGLISH ||
           language == GetSystemDefaultUILanguage() || language == GetUserDefaultUILanguage();
}

// Insert `number` (1-based) of an argument array, converted as `format`
// says ("s" when none was given). False for a conversion that is not
// offered: widths and precisions are not.
bool Insert(const DWORD_PTR *arguments, int number, const std::string &format, std::string *out)
{
    if (format.size() > 1)
        return false;
    const DWORD_PTR value = arguments[number - 1];
    char text[32];
    switch (format.empty() ? 's' : format[0]) {
    case 's': *out += value ? reinterpret_cast<const char *>(value) : ""; return true;
    case 'd':
    case 'i': snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<LONG_PTR>(value))); break;
    case 'u': snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value)); break;
    case 'x': snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value)); break;
    case 'X': snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(value)); break;
    case 'c': snprintf(text, sizeof text, "%c", static_cast<char>(value)); break;
    default: return false;
    }
    *out += text;
    return true;
}

// Expands `pattern` into `out`; false (with the last error) when an insert
// cannot be filled.
bool Expand(const std::string &pattern, DWORD flags, va_list *arguments, std::string *out)
{
    const bool ignoreInserts = flags & FORMAT_MESSAGE_IGNORE_INSERTS;
    const bool argumentArray = flags & FORMAT_MESSAGE_ARGUMENT_ARRAY;
    for (size_t at = 0; at < pattern.size(); ++at) {
        const char c = pattern[at];
        if (c != '%' || at + 1 == pattern.size()) {
            *out += c;
            continue;
        }
        const char next = pattern[++at];
        if (next == '0')
            return true; // the text ends here, without a line break
        if (next >= '1' && next <= '9') {
            const size_t start = at - 1;
            int number = next - '0';
            if (at + 1 < pattern.size() && isdigit(static_cast<unsigned char>(pattern[at + 1])))
                number = number * 10 + (pattern[++at] - '0');
            std::string format;
            if (at + 1 < pattern.size() && pattern[at + 1] == '!') {
                const size_t close = pattern.find('!', at + 2);
                if (close != std::string::npos) {
                    format = pattern.substr(at + 2, close - at - 2);
                    at = close;
                }
            }
            if (ignoreInserts) {
                *out += pattern.substr(start, at + 1 - start);
                continue;
            }
            if (!argumentArray || !arguments ||
                !Insert(reinterpret_cast<const DWORD_PTR *>(arguments), number, format, out)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return false;
            }
            continue;
        }
        switch (next) {
        case 'n': *out += "\r\n"; break;
        case 'r': *out += '\r'; break;
        case 't': *out += '\t'; break;
        default: *out += next; break; // "%%", "%.", "%!", "% " and the like
        }
    }
    return true;
}

} // namespace

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list *Arguments)
{
    const bool allocate = dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER;
    if (!lpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (allocate)
        *reinterpret_cast<LPSTR *>(lpBuffer) = nullptr;

    std::string pattern;
    if (dwFlags & FORMAT_MESSAGE_FROM_STRING) {
        if (!lpSource) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        pattern = static_cast<const char *>(lpSource);
    } else if (dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) {
        if (!Offered(dwLanguageId)) {
            SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
            return 0;
        }
        const char *text = platform::SystemMessageText(dwMessageId);
        if (!text) {
            SetLastError(ERROR_MR_MID_NOT_FOUND);
            return 0;
        }
        pattern = text;
        // The line break that ends a system message is a regular one, which
        // a width in the low byte drops.
        if (!(dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK))
            pattern += "\r\n";
    } else {
        // No message tables of modules here.
        SetLastError((dwFlags & FORMAT_MESSAGE_FROM_HMODULE) ? ERROR_MR_MID_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }

    std::string text;
    if (!Expand(pattern, dwFlags, Arguments, &text))
        return 0;
    if (allocate) {
        const SIZE_T bytes = text.size() + 1 > nSize ? text.size() + 1 : nSize;
        char *block = static_cast<char *>(LocalAlloc(LMEM_FIXED, bytes));
        if (!block)
            return 0;
        memcpy(block, text.c_str(), text.size() + 1);
        *reinterpret_cast<LPSTR *>(lpBuffer) = block;
    } else {
        if (text.size() + 1 > nSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        memcpy(lpBuffer, text.c_str(), text.size() + 1);
    }
    return static_cast<DWORD>(text.size());
}
