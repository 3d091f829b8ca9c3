// Local memory blocks: LocalAlloc, LocalFree and LocalHandle. Every block is
// fixed, so a handle is the block's address. The blocks given out are
// remembered, so that freeing anything else fails as on Windows instead of
// corrupting the heap.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "winbase.h"
#include "winerror.h"

namespace {

struct Blocks {
    std::mutex lock;
    std::set<void *> live;
};

// Never destroyed: blocks may be freed while the process exits.
Blocks &TheBlocks()
{
    static Blocks *blocks = new Blocks;
    return *blocks;
}

} // namespace

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    void *block = (uFlags & LMEM_ZEROINIT) ? calloc(uBytes ? uBytes : 1, 1) : malloc(uBytes ? uBytes : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Blocks &blocks = TheBlocks();
    std::lock_guard<std::mutex> hold(blocks.lock);
    blocks.live.insert(block);
    return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    if (!hMem)
        return nullptr;
    Blocks &blocks = TheBlocks();
    {
        std::lock_guard<std::mutex> hold(blocks.lock);
        if (blocks.live.erase(hMem) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
    }
    free(hMem);
    return nullptr;
}

HLOCAL WINAPI LocalHandle(LPCVOID pMem)
{
    Blocks &blocks = TheBlocks();
    std::lock_guard<std::mutex> hold(blocks.lock);
    void *block = const_cast<void *>(pMem);
    if (blocks.live.count(block) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return block;
}
