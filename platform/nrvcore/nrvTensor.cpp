// Tensors: creation, element access, statistics, normalisation, files.
#include "nrvInternal.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr char TENSOR_MAGIC[4] = {'N', 'R', 'V', 'T'};
constexpr uint32_t TENSOR_VERSION = 1;
// Element counts a tensor may hold (the Lua side uses the same limit).
constexpr int MAX_ELEMENTS = 1 << 27;

bool fillKind(nrv_tensor* t, int kind)
{
    if (kind == NRV_TENSOR_ZERO) {
        std::memset(t->data, 0, size_t(t->size) * sizeof(float));
        return true;
    }
    if (kind == NRV_TENSOR_RAND) {
        for (int i = 0; i < t->size; ++i) {
            t->data[i] = nrv::globalRandom().uniform();
        }
        return true;
    }
    return false;
}

void copyFrom(nrv_tensor* t, const nrv_tensor* source)
{
    const int n = source->size < t->size ? source->size : t->size;
    if (n > 0) {
        std::memcpy(t->data, source->data, size_t(n) * sizeof(float));
    }
}

bool tensorIndexOk(nrv_tensor* t, int index)
{
    t->status = 0;
    t->message[0] = 0;
    if (index >= 0 && index < t->size) {
        return true;
    }
    t->status = NRV_STATUS_FAILED;
    std::snprintf(t->message, sizeof t->message, "index out of range");
    return false;
}

void computeStats(nrv_tensor* t)
{
    double sum = 0, squares = 0;
    for (int i = 0; i < t->size; ++i) {
        sum += t->data[i];
        squares += double(t->data[i]) * t->data[i];
    }
    const double n = t->size > 0 ? t->size : 1;
    const double mean = sum / n;
    double variance = 0;
    for (int i = 0; i < t->size; ++i) {
        variance += (t->data[i] - mean) * (t->data[i] - mean);
    }
    t->stats[0] = float(mean);
    t->stats[1] = float(std::sqrt(variance / n));
    t->stats[2] = float(std::sqrt(squares));
    t->stats[3] = 1.f;
}

template <typename T>
bool writeValue(FILE* f, const T& v, uint64_t* bytes)
{
    if (std::fwrite(&v, sizeof v, 1, f) != 1) {
        return false;
    }
    if (bytes) {
        *bytes += sizeof v;
    }
    return true;
}

template <typename T>
bool readValue(FILE* f, T& v, uint64_t* bytes)
{
    if (std::fread(&v, sizeof v, 1, f) != 1) {
        return false;
    }
    if (bytes) {
        *bytes += sizeof v;
    }
    return true;
}

}  // namespace

namespace nrv {

nrv_tensor* newTensor(int size, const char* name)
{
    if (size < 0 || size > MAX_ELEMENTS) {
        return nullptr;
    }
    auto* t = static_cast<nrv_tensor*>(std::calloc(1, sizeof(nrv_tensor)));
    if (!t) {
        return nullptr;
    }
    if (size > 0) {
        t->data = static_cast<float*>(std::calloc(size_t(size), sizeof(float)));
        if (!t->data) {
            std::free(t);
            return nullptr;
        }
    }
    t->size = size;
    t->normMean = 0.f;
    t->normStddev = 0.f;
    std::snprintf(t->name, sizeof t->name, "%s", name ? name : "");
    return t;
}

bool resizeTensor(nrv_tensor* t, int size)
{
    if (size == t->size) {
        return true;
    }
    if (size < 0 || size > MAX_ELEMENTS) {
        return false;
    }
    float* data =
        static_cast<float*>(std::realloc(t->data, size_t(size > 0 ? size : 1) * sizeof(float)));
    if (!data) {
        return false;
    }
    t->data = data;
    t->size = size;
    markWritten(t);
    return true;
}

void markWritten(nrv_tensor* t) { t->stats[3] = 0.f; }

}  // namespace nrv

nrv_tensor* nrv_tensor_create(int size, int kind, const char* name, const nrv_tensor* source)
{
    if (size <= 0 || (kind != NRV_TENSOR_ZERO && kind != NRV_TENSOR_RAND)) {
        return nullptr;
    }
    nrv_tensor* t = nrv::newTensor(size, name);
    if (!t) {
        return nullptr;
    }
    fillKind(t, kind);
    if (source) {
        copyFrom(t, source);
    }
    return t;
}

int nrv_tensor_reset(nrv_tensor* t, int kind, const nrv_tensor* source)
{
    t->status = 0;
    t->message[0] = 0;
    if (!fillKind(t, kind)) {
        t->status = NRV_STATUS_FAILED;
        std::snprintf(t->message, sizeof t->message, "unknown tensor kind %d", kind);
        return 0;
    }
    if (source) {
        copyFrom(t, source);
    }
    nrv::markWritten(t);
    return 1;
}

void nrv_tensor_set(nrv_tensor* t, int index, float value)
{
    if (!tensorIndexOk(t, index)) {
        return;
    }
    t->data[index] = value;
    nrv::markWritten(t);
}

float nrv_tensor_get(nrv_tensor* t, int index)
{
    if (!tensorIndexOk(t, index)) {
        return 0.f;
    }
    return t->data[index];
}

int nrv_tensor_size(const nrv_tensor* t) { return t->size; }

nrv_tensor* nrv_tensor_copy(const nrv_tensor* t)
{
    nrv_tensor* copy = nrv::newTensor(t->size, t->name);
    if (!copy) {
        return nullptr;
    }
    copyFrom(copy, t);
    copy->normMean = t->normMean;
    copy->normStddev = t->normStddev;
    return copy;
}

void nrv_tensor_stats(nrv_tensor* t) { computeStats(t); }

float nrv_tensor_mean(nrv_tensor* t)
{
    if (t->stats[3] != 1.f) {
        computeStats(t);
    }
    return t->stats[0];
}

float nrv_tensor_stddev(nrv_tensor* t)
{
    if (t->stats[3] != 1.f) {
        computeStats(t);
    }
    return t->stats[1];
}

float nrv_tensor_max(nrv_tensor* t)
{
    if (t->size <= 0) {
        return 0.f;
    }
    float m = t->data[0];
    for (int i = 1; i < t->size; ++i) {
        m = t->data[i] > m ? t->data[i] : m;
    }
    return m;
}

float nrv_tensor_min(nrv_tensor* t)
{
    if (t->size <= 0) {
        return 0.f;
    }
    float m = t->data[0];
    for (int i = 1; i < t->size; ++i) {
        m = t->data[i] < m ? t->data[i] : m;
    }
    return m;
}

void nrv_tensor_normalize(nrv_tensor* t, float mean, float stddev)
{
    if (!(stddev > 0.f)) {
        return;
    }
    for (int i = 0; i < t->size; ++i) {
        t->data[i] = (t->data[i] - mean) / stddev;
    }
    t->normMean = mean;
    t->normStddev = stddev;
    nrv::markWritten(t);
}

void nrv_tensor_denormalize(nrv_tensor* t)
{
    // Undoes the last normalisation once; a tensor never normalised is left alone.
    if (!(t->normStddev > 0.f)) {
        return;
    }
    for (int i = 0; i < t->size; ++i) {
        t->data[i] = t->data[i] * t->normStddev + t->normMean;
    }
    t->normMean = 0.f;
    t->normStddev = 0.f;
    nrv::markWritten(t);
}

void nrv_tensor_print(const nrv_tensor* t, const char* text, int count)
{
    const int n = (count <= 0 || count > t->size) ? t->size : count;
    std::printf("%s%s[%d]%s%s:", text ? text : "", text && *text ? " " : "", t->size,
                t->name[0] ? " " : "", t->name);
    for (int i = 0; i < n; ++i) {
        std::printf("%s%.7g", i % 8 == 0 ? "\n  " : " ", double(t->data[i]));
    }
    if (n < t->size) {
        std::printf(" ...");
    }
    std::printf("\n");
    std::fflush(stdout);
}

int nrv_tensor_save(FILE* file, const nrv_tensor* t, uint64_t* bytes, int flags)
{
    const uint32_t nameLength = uint32_t(std::strlen(t->name));
    bool ok = std::fwrite(TENSOR_MAGIC, 1, 4, file) == 4;
    if (ok && bytes) {
        *bytes += 4;
    }
    ok = ok && writeValue(file, TENSOR_VERSION, bytes) && writeValue(file, t->size, bytes) &&
         writeValue(file, t->normMean, bytes) && writeValue(file, t->normStddev, bytes) &&
         writeValue(file, nameLength, bytes);
    ok = ok && std::fwrite(t->name, 1, nameLength, file) == nameLength;
    if (ok && bytes) {
        *bytes += nameLength;
    }
    ok = ok && std::fwrite(t->data, sizeof(float), size_t(t->size), file) == size_t(t->size);
    if (ok && bytes) {
        *bytes += uint64_t(t->size) * sizeof(float);
    }
    return ok && std::fflush(file) == 0 ? 1 : 0;
}

nrv_tensor* nrv_tensor_load(FILE* file, uint64_t* bytes, uint64_t* records, int flags,
                            nrv_tensor** into)
{
    char magic[4];
    uint32_t version = 0, nameLength = 0;
    int32_t size = 0;
    float mean = 0, stddev = 0;
    if (std::fread(magic, 1, 4, file) != 4 || std::memcmp(magic, TENSOR_MAGIC, 4) != 0) {
        return nullptr;
    }
    if (bytes) {
        *bytes += 4;
    }
    if (!readValue(file, version, bytes) || version != TENSOR_VERSION) {
        return nullptr;
    }
    if (!readValue(file, size, bytes) || size <= 0 || size > MAX_ELEMENTS) {
        return nullptr;
    }
    if (!readValue(file, mean, bytes) || !readValue(file, stddev, bytes)) {
        return nullptr;
    }
    if (!readValue(file, nameLength, bytes) || nameLength >= sizeof(nrv_tensor::name)) {
        return nullptr;
    }
    char name[sizeof(nrv_tensor::name)] = {};
    if (std::fread(name, 1, nameLength, file) != nameLength) {
        return nullptr;
    }
    if (bytes) {
        *bytes += nameLength;
    }
    // A damaged size is refused before memory is set aside for it.
    if (nrv::bytesLeft(file) < uint64_t(size) * sizeof(float)) {
        return nullptr;
    }

    // Read into the caller's tensor when it has the right size; a short file
    // leaves that tensor as it was.
    nrv_tensor* target = (into && *into && (*into)->size == size) ? *into : nullptr;
    nrv_tensor* fresh = target ? nullptr : nrv::newTensor(size, name);
    if (!target && !fresh) {
        return nullptr;
    }
    std::vector<float> values(static_cast<size_t>(size));
    if (std::fread(values.data(), sizeof(float), values.size(), file) != values.size()) {
        nrv_tensor_destroy(fresh);
        return nullptr;
    }
    if (bytes) {
        *bytes += uint64_t(size) * sizeof(float);
    }
    if (records) {
        *records += 1;
    }
    nrv_tensor* t = target ? target : fresh;
    std::memcpy(t->data, values.data(), values.size() * sizeof(float));
    t->normMean = mean;
    t->normStddev = stddev;
    if (target) {
        std::snprintf(t->name, sizeof t->name, "%s", name);
    }
    nrv::markWritten(t);
    return t;
}

void nrv_tensor_destroy(void* p)
{
    auto* t = static_cast<nrv_tensor*>(p);
    if (!t) {
        return;
    }
    std::free(t->data);
    std::free(t);
}

int nrv_argmax(const nrv_tensor* t)
{
    if (t->size <= 0) {
        return -1;
    }
    int best = 0;
    for (int i = 1; i < t->size; ++i) {
        if (t->data[i] > t->data[best]) {
            best = i;
        }
    }
    return best;
}
