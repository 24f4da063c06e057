// Tracked blocks of the status channel. Each block carries a small header
// with its size, so that the channel knows how much its run holds and the
// free twins need no size. Every size is checked for overflow before the
// request reaches the system: a wrapped product would hand back a block far
// smaller than the caller believes it has.
#include <cstdlib>
#include <cstring>
#include <new>

#include "nuSigma.h"

namespace {

// Keeps the payload aligned for any scalar type.
constexpr size_t HEADER_BYTES = alignof(std::max_align_t) > sizeof(size_t)
                                    ? alignof(std::max_align_t)
                                    : sizeof(size_t);

// No machine maps more than 2^47 bytes for one process; a larger request
// is refused here rather than passed on (some allocators abort on it).
constexpr size_t LARGEST_BLOCK = size_t(1) << 47;

unsigned char* headerOf(void* block) { return static_cast<unsigned char*>(block) - HEADER_BYTES; }

}  // namespace

void* nuSigma::trackedAlloc(size_t count, size_t elementSize, size_t extraBytes, bool zero)
{
    size_t payload = 0;
    size_t total = 0;
    if (count == 0) {
        count = 1;  // a valid block, so null always means failure
    }
    if (__builtin_mul_overflow(count, elementSize, &payload) ||
        __builtin_add_overflow(payload, extraBytes, &payload) ||
        __builtin_add_overflow(payload, HEADER_BYTES, &total) || total > LARGEST_BLOCK) {
        ++failedAllocations;
        return nullptr;
    }
    void* raw = zero ? std::calloc(1, total) : std::malloc(total);
    if (raw == nullptr) {
        ++failedAllocations;
        return nullptr;
    }
    std::memcpy(raw, &payload, sizeof payload);
    allocated += payload;
    return static_cast<unsigned char*>(raw) + HEADER_BYTES;
}

void nuSigma::trackedFree(void* block)
{
    if (block == nullptr) {
        return;
    }
    unsigned char* raw = headerOf(block);
    size_t payload = 0;
    std::memcpy(&payload, raw, sizeof payload);
    allocated -= payload <= allocated ? payload : allocated;
    std::free(raw);
}

double* nuSigma::mallocDbl(size_t n, bool zero)
{
    return static_cast<double*>(trackedAlloc(n, sizeof(double), 0, zero));
}

void nuSigma::freeDbl(double** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}

uint8_t* nuSigma::mallocBt(size_t n, bool zero)
{
    return static_cast<uint8_t*>(trackedAlloc(n, 1, 0, zero));
}

void nuSigma::freeBt(uint8_t** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}

double** nuSigma::mallocMat(size_t rows, size_t columns, bool zero)
{
    if (rows == 0 || columns == 0) {
        return nullptr;
    }
    size_t cells = 0;
    size_t pointerBytes = 0;
    if (__builtin_mul_overflow(rows, columns, &cells) ||
        __builtin_mul_overflow(rows, sizeof(double*), &pointerBytes)) {
        return nullptr;
    }
    // Row pointers first, then the cells; both have the alignment of 8.
    void* block = trackedAlloc(cells, sizeof(double), pointerBytes, false);
    if (block == nullptr) {
        return nullptr;
    }
    auto** rowPointers = static_cast<double**>(block);
    auto* data = reinterpret_cast<double*>(static_cast<unsigned char*>(block) + pointerBytes);
    if (zero) {
        std::memset(data, 0, cells * sizeof(double));
    }
    for (size_t r = 0; r < rows; ++r) {
        rowPointers[r] = data + r * columns;
    }
    return rowPointers;
}

void nuSigma::freeMat(double*** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}

wchar_t* nuSigma::mallocStr(size_t n)
{
    size_t count = 0;
    if (__builtin_add_overflow(n, 1, &count)) {
        return nullptr;
    }
    return static_cast<wchar_t*>(trackedAlloc(count, sizeof(wchar_t), 0, true));
}

void nuSigma::freeStr(wchar_t** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}

char* nuSigma::mallocStrA(size_t n)
{
    size_t count = 0;
    if (__builtin_add_overflow(n, 1, &count)) {
        return nullptr;
    }
    return static_cast<char*>(trackedAlloc(count, 1, 0, true));
}

void nuSigma::freeStrA(char** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}

_variable_w_t* nuSigma::mallocVar(bool zero)
{
    return static_cast<_variable_w_t*>(trackedAlloc(1, sizeof(_variable_w_t), 0, zero));
}

void nuSigma::freeVar(_variable_w_t** block)
{
    if (block != nullptr) {
        trackedFree(*block);
        *block = nullptr;
    }
}
