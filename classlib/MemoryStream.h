// TMemoryStream: the class library's growing byte buffer with a position.
//
// Style: the class library's properties are methods here. Reading a
// property is a call without arguments (Memory(), Size(), Position()),
// setting it is Set...() (SetSize(), SetPosition()).
//
// Write appends or overwrites at the position and grows the buffer by
// doubling, so a stream filled in small pieces costs amortised constant time
// a byte. Positions past the end are allowed (as after Seek); a write there
// fills the gap with zero bytes. Read gives what lies between the position
// and the end, which may be less than asked for, and 0 at or past the end.
// In memory nothing raises: a size that cannot be had leaves the stream as
// it was and the write reports 0 bytes. Files are another matter: as in the
// class library, LoadFromFile and SaveToFile raise its file errors.
#pragma once

#include <cstdint>

class AnsiString;

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
// The class library's newer spelling of the same origins.
constexpr TSeekOrigin soBeginning = soFromBeginning;
constexpr TSeekOrigin soCurrent = soFromCurrent;
constexpr TSeekOrigin soEnd = soFromEnd;

class TMemoryStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream();
    TMemoryStream(const TMemoryStream &) = delete;
    TMemoryStream &operator=(const TMemoryStream &) = delete;

    // The bytes; null while the stream has never held any.
    void *Memory() const { return fMemory; }
    int Size() const { return fSize; }
    int Position() const { return fPosition; }

    // Cuts or extends (with zero bytes); a position past the new end moves
    // to it. False when the memory cannot be had (nothing changes).
    bool SetSize(int size);
    // Any position from 0 up; negative positions are refused.
    void SetPosition(int position);

    // Copies up to `count` bytes at the position into `buffer`; returns the
    // number copied and advances the position by it.
    int Read(void *buffer, int count);
    // Stores `count` bytes at the position; returns `count` (0 when the
    // memory cannot be had) and advances the position by it.
    int Write(const void *buffer, int count);
    // New position from `origin` plus `offset`; returns it. A result below
    // 0 is refused: the position stays and the old one is returned.
    int Seek(int offset, int origin);

    // Size and position 0, memory freed.
    void Clear();

    // The whole stream from or to a file, by its Windows path. Load leaves
    // the position at 0 and, when it fails, the stream as it was; Save
    // replaces the file with exactly the stream's bytes.
    // A file that cannot be opened raises EFOpenError, one that cannot be
    // created EFCreateError; a failing read raises EReadError, a failing
    // write EWriteError, memory that cannot be had EStreamError
    // (Exceptions.h).
    void LoadFromFile(const AnsiString &fileName);
    void SaveToFile(const AnsiString &fileName) const;

private:
    bool Reserve(int64_t capacity);

    char *fMemory = nullptr;
    int fSize = 0;
    int fPosition = 0;
    int fCapacity = 0;
};
