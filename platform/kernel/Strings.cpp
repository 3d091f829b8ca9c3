// lstrcmpA: strings compared as the user's locale sorts words.
#include <algorithm>
#include <string>

#include "winbase.h"

namespace {

bool IsIgnoredFirst(unsigned char c) { return c == '-' || c == '\''; }

bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

// Where a byte sorts without regard to case: other signs, then digits, then
// letters, then the bytes above ASCII.
int Weight(unsigned char c)
{
    if (IsUpper(c))
        c = static_cast<unsigned char>(c - 'A' + 'a');
    if (IsLower(c))
        return 0x300 + c;
    if (c >= '0' && c <= '9')
        return 0x200 + c;
    if (c < 0x80)
        return 0x100 + c;
    return 0x400 + c;
}

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// The bytes that count first: all but the hyphen and the apostrophe.
std::string Primary(const char *text)
{
    std::string kept;
    for (const char *at = text; *at; ++at)
        if (!IsIgnoredFirst(static_cast<unsigned char>(*at)))
            kept += *at;
    return kept;
}

} // namespace

int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2)
{
    if (!lpString1 || !lpString2)
        return lpString1 ? 1 : lpString2 ? -1 : 0;
    const std::string first = Primary(lpString1), second = Primary(lpString2);
    const size_t shorter = std::min(first.size(), second.size());
    for (size_t i = 0; i < shorter; ++i) {
        const int difference = Weight(static_cast<unsigned char>(first[i])) -
                               Weight(static_cast<unsigned char>(second[i]));
        if (difference)
            return Sign(difference);
    }
    if (first.size() != second.size())
        return first.size() < second.size() ? -1 : 1;
    // Equal but for case: the first letter that differs decides, lower first.
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != second[i])
            return IsLower(static_cast<unsigned char>(first[i])) ? -1 : 1;
    // Equal but for hyphens and apostrophes: the string with fewer first,
    // then plain byte order.
    const std::string whole1 = lpString1, whole2 = lpString2;
    if (whole1.size() != whole2.size())
        return whole1.size() < whole2.size() ? -1 : 1;
    return Sign(whole1.compare(whole2));
}
