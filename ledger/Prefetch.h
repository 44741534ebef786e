#pragma once

#include <cstddef>

// Asks the processor to bring an object's memory in before it is read. A
// pass over many objects in an order far from the one they lie in memory
// (the rows of a sorted table, cells made in a heap that has long been in
// use) otherwise waits for each of them in turn. A hint only: any address,
// even one that is not mapped, is safe.
inline void prefetchBytes(const void *start, size_t size)
{
#if defined(__GNUC__) || defined(__clang__)
    const char *first = static_cast<const char *>(start);
    __builtin_prefetch(first);
    if (size > 1)
        __builtin_prefetch(first + size - 1);
#else
    (void)start;
    (void)size;
#endif
}
