// Numbers as registry data holds them: little-endian, REG_DWORD in four
// bytes and REG_QWORD in eight.
#pragma once

#include <cstdint>
#include <string>

namespace registry {

// The number that `data` (at most eight bytes) holds.
inline uint64_t LittleEndianNumber(const std::string &data)
{
    uint64_t number = 0;
    for (size_t i = data.size(); i-- > 0;)
        number = (number << 8) | static_cast<unsigned char>(data[i]);
    return number;
}

// Appends the low `bytes` bytes of `number`, the lowest first.
inline void PutLittleEndian(std::string &data, uint64_t number, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        data += static_cast<char>((number >> (8 * i)) & 0xff);
}

} // namespace registry
