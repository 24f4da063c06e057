// Heap blocks of the suite. A zero-byte request still yields a block, so a
// null result always means the system is out of memory.
#include "kovbase.h"

#include <cstdlib>

void* kov_MemoryAlloc(size_t bytes)
{
    return std::malloc(bytes != 0 ? bytes : 1);
}

void* kov_MemoryRealloc(void* block, size_t bytes)
{
    return std::realloc(block, bytes != 0 ? bytes : 1);
}

void kov_MemoryFree(void** block)
{
    if (block == nullptr) {
        return;
    }
    std::free(*block);
    *block = nullptr;
}
