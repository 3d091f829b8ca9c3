// Bytes spelled as two hex digits, as the hive text and the reg tool write
// and read them.
#pragma once

#include <string>

namespace registry {

enum class HexCase { Lower, Upper };

// The value of a hex digit of either case; -1 for any other character.
inline int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The byte that the two hex digits at `digits` stand for; false when either
// is not a hex digit.
inline bool HexPair(const char *digits, char *byte)
{
    int high = HexValue(digits[0]), low = HexValue(digits[1]);
    if (high < 0 || low < 0)
        return false;
    *byte = static_cast<char>(high * 16 + low);
    return true;
}

// Appends `byte` as two hex digits.
inline void PutHexPair(std::string &out, unsigned char byte, HexCase letters)
{
    const char *digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

} // namespace registry
