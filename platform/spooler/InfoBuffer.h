// The caller's buffer of an enumeration, filled as Windows fills it: the
// array of info structures at the start, their strings packed from the end
// of the buffer downwards. Everything is written byte-wise, so no
// alignment is assumed of the buffer.
#pragma once

#include <cstring>
#include <string>

#include "windef.h"

namespace spooler {

class InfoBuffer {
public:
    // `count` structures of `infoSize` bytes and `stringBytes` bytes of
    // strings (each with its NUL) are to go into `buffer` of `size` bytes.
    InfoBuffer(LPBYTE buffer, DWORD size, size_t count, size_t infoSize, size_t stringBytes)
        : fBuffer(buffer), fSize(size), fCount(count), fNeeded(count * infoSize + stringBytes), fEnd(size)
    {
    }

    bool Fits() const { return fNeeded <= fSize && (fNeeded == 0 || fBuffer); }

    // Copies a string below those packed before; its address in the buffer.
    LPSTR Put(const std::string &text)
    {
        fEnd -= text.size() + 1;
        memcpy(fBuffer + fEnd, text.c_str(), text.size() + 1);
        return reinterpret_cast<LPSTR>(fBuffer + fEnd);
    }

    template <class Info>
    void Store(size_t index, const Info &info)
    {
        memcpy(fBuffer + index * sizeof(Info), &info, sizeof(Info));
    }

    // Ends the call: the size needed and, when it all fit, the count; the
    // call's result.
    BOOL Finish(LPDWORD pcbNeeded, LPDWORD pcReturned) const;

private:
    LPBYTE fBuffer;
    DWORD fSize;
    size_t fCount;
    size_t fNeeded;
    size_t fEnd;
};

// The checks every enumeration makes before it looks at the list: the
// server, the level (1 to maxLevel), the two out-pointers and a buffer for
// a non-zero size. FALSE with the last error set when one fails.
BOOL CheckEnumeration(LPSTR pName, DWORD level, DWORD maxLevel, LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded,
                      LPDWORD pcReturned);

} // namespace spooler
