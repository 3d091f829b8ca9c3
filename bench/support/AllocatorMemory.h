// What the benchmarks measure of memory: the allocator made to keep what it
// gets, and the process's peak resident size.
#pragma once

#include <malloc.h>
#include <sys/resource.h>

// Has the allocator keep its memory (no mmap, no trimming) from now on, to
// show the cost of the code alone; the setting stays for the rest of the
// process.
inline void KeepAllocatorMemory()
{
    static bool kept = false;
    if (!kept) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, -1);
        kept = true;
    }
}

// The process's peak resident memory so far, in MB.
inline double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
