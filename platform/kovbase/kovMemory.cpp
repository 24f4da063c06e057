// Heap blocks of the suite. A zero-byte request still yields a block, so a
// null result always means the system is out of memory.
#include "kovbase.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<long long> liveBlocks{0};

}  // namespace

void* kov_MemoryAlloc(size_t bytes)
{
    void* block = std::malloc(bytes != 0 ? bytes : 1);
    if (block != nullptr) {
        ++liveBlocks;
    }
    return block;
}

void* kov_MemoryRealloc(void* block, size_t bytes)
{
    if (block == nullptr) {
        return kov_MemoryAlloc(bytes);
    }
    return std::realloc(block, bytes != 0 ? bytes : 1);
}

void kov_MemoryFree(void** block)
{
    if (block == nullptr) {
        return;
    }
    if (*block != nullptr) {
        --liveBlocks;
    }
    std::free(*block);
    *block = nullptr;
}

int kov_MemoryCreate(const char* programName)
{
    (void)programName;  // one process, one pool: nothing to name here
    return 1;
}

void kov_MemoryDestroy() {}

long long kov_MemoryLiveBlocks() { return liveBlocks; }
