#include "MemoryStream.h"

#include "AnsiString.h"
#include "Exceptions.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int64_t kFirstCapacity = 256;

// The class library's texts for its stream errors.
AnsiString OpenError(const AnsiString &fileName) { return "Cannot open file \"" + fileName + "\""; }
AnsiString CreateError(const AnsiString &fileName) { return "Cannot create file \"" + fileName + "\""; }
const char *const kReadError = "Stream read error";
const char *const kWriteError = "Stream write error";
const char *const kMemoryError = "Out of memory while expanding memory stream";

// Closes the handle when it goes out of scope, also while an error rises.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : fHandle(handle) {}
    ~FileHandle()
    {
        if (fHandle != INVALID_HANDLE_VALUE)
            CloseHandle(fHandle);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    HANDLE Get() const { return fHandle; }
    bool Close()
    {
        HANDLE handle = fHandle;
        fHandle = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != FALSE;
    }

private:
    HANDLE fHandle;
};

} // namespace

TMemoryStream::~TMemoryStream() { free(fMemory); }

bool TMemoryStream::Reserve(int64_t capacity)
{
    if (capacity <= fCapacity)
        return true;
    if (capacity > INT_MAX)
        return false;
    int64_t grown = fCapacity > 0 ? static_cast<int64_t>(fCapacity) * 2 : kFirstCapacity;
    if (grown < capacity)
        grown = capacity;
    if (grown > INT_MAX)
        grown = INT_MAX;
    char *memory = static_cast<char *>(realloc(fMemory, static_cast<size_t>(grown)));
    if (!memory)
        return false;
    fMemory = memory;
    fCapacity = static_cast<int>(grown);
    return true;
}

bool TMemoryStream::SetSize(int size)
{
    if (size < 0)
        return false;
    if (!Reserve(size))
        return false;
    if (size > fSize)
        memset(fMemory + fSize, 0, static_cast<size_t>(size - fSize));
    fSize = size;
    if (fPosition > fSize)
        fPosition = fSize;
    return true;
}

void TMemoryStream::SetPosition(int position)
{
    if (position >= 0)
        fPosition = position;
}

int TMemoryStream::Read(void *buffer, int count)
{
    if (!buffer || count <= 0 || fPosition >= fSize)
        return 0;
    int available = fSize - fPosition;
    int taken = count < available ? count : available;
    memcpy(buffer, fMemory + fPosition, static_cast<size_t>(taken));
    fPosition += taken;
    return taken;
}

int TMemoryStream::Write(const void *buffer, int count)
{
    if (!buffer || count <= 0)
        return 0;
    int64_t end = static_cast<int64_t>(fPosition) + count;
    if (!Reserve(end))
        return 0;
    if (fPosition > fSize)
        memset(fMemory + fSize, 0, static_cast<size_t>(fPosition - fSize));
    memmove(fMemory + fPosition, buffer, static_cast<size_t>(count));
    fPosition = static_cast<int>(end);
    if (fPosition > fSize)
        fSize = fPosition;
    return count;
}

int TMemoryStream::Seek(int offset, int origin)
{
    int64_t base;
    switch (origin) {
    case soFromBeginning: base = 0; break;
    case soFromCurrent: base = fPosition; break;
    case soFromEnd: base = fSize; break;
    default: return fPosition;
    }
    int64_t target = base + offset;
    if (target < 0 || target > INT_MAX)
        return fPosition;
    fPosition = static_cast<int>(target);
    return fPosition;
}

void TMemoryStream::Clear()
{
    free(fMemory);
    fMemory = nullptr;
    fSize = 0;
    fPosition = 0;
    fCapacity = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString &fileName)
{
    FileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        throw EFOpenError(OpenError(fileName));
    // Read into a stream of its own, so that a failure changes nothing here.
    TMemoryStream loaded;
    DWORD high = 0;
    DWORD size = GetFileSize(file.Get(), &high);
    if (size == 0xFFFFFFFFu)
        throw EReadError(kReadError);
    if (high != 0 || size > static_cast<DWORD>(INT_MAX) || !loaded.Reserve(static_cast<int64_t>(size) + 1))
        throw EStreamError(kMemoryError);
    for (;;) {
        // Room for the size found, plus one byte to see the end; more only
        // when the file has grown since.
        if (loaded.fCapacity == loaded.fSize && !loaded.Reserve(static_cast<int64_t>(loaded.fSize) + 65536))
            throw EStreamError(kMemoryError);
        DWORD room = static_cast<DWORD>(loaded.fCapacity - loaded.fSize);
        DWORD got = 0;
        if (!ReadFile(file.Get(), loaded.fMemory + loaded.fSize, room, &got, nullptr))
            throw EReadError(kReadError);
        if (got == 0)
            break; // the end, also when the file grew or shrank meanwhile
        loaded.fSize += static_cast<int>(got);
    }
    free(fMemory);
    fMemory = loaded.fMemory;
    fSize = loaded.fSize;
    fCapacity = loaded.fCapacity;
    fPosition = 0;
    loaded.fMemory = nullptr;
    loaded.fSize = loaded.fCapacity = loaded.fPosition = 0;
}

void TMemoryStream::SaveToFile(const AnsiString &fileName) const
{
    FileHandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        throw EFCreateError(CreateError(fileName));
    int done = 0;
    while (done < fSize) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), fMemory + done, static_cast<DWORD>(fSize - done), &written, nullptr) ||
            written == 0)
            throw EWriteError(kWriteError);
        done += static_cast<int>(written);
    }
    if (!file.Close())
        throw EWriteError(kWriteError);
}
