// Reader of the MNIST IDX files: an image file (magic 0x00000803, count,
// rows, columns, then one byte per pixel) and a label file (magic
// 0x00000801, count, one byte per label), all header fields big-endian.
// Pixels become inputs in 0..1 and labels one-hot targets.
#include "nrvInternal.h"

#include <memory>

namespace {

constexpr uint32_t IMAGE_MAGIC = 0x00000803;
constexpr uint32_t LABEL_MAGIC = 0x00000801;
// More images than any IDX set holds: a damaged count is refused, not allocated.
constexpr uint32_t MAX_SAMPLES = 10000000;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool readBigEndian(FILE* f, uint32_t& v)
{
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4) {
        return false;
    }
    v = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    return true;
}

int loadSet(nrv_network* n, nrv_network_impl::DataSet& set, const char* images, const char* labels)
{
    nrv::clearStatus(n);
    if (n->impl->layers.empty()) {
        return nrv::fail(n, "network has no layers"), 0;
    }
    const int in = nrv::inputSize(n), out = nrv::outputSize(n);
    File fi(std::fopen(images, "rb"));
    if (!fi) {
        return nrv::fail(n, "cannot open file '%s'", images), 0;
    }
    File fl(std::fopen(labels, "rb"));
    if (!fl) {
        return nrv::fail(n, "cannot open file '%s'", labels), 0;
    }
    uint32_t magic, count, rows, cols, labelMagic, labelCount;
    if (!readBigEndian(fi.get(), magic) || magic != IMAGE_MAGIC ||
        !readBigEndian(fi.get(), count) || !readBigEndian(fi.get(), rows) ||
        !readBigEndian(fi.get(), cols)) {
        return nrv::fail(n, "'%s' is not an IDX image file", images), 0;
    }
    if (!readBigEndian(fl.get(), labelMagic) || labelMagic != LABEL_MAGIC ||
        !readBigEndian(fl.get(), labelCount)) {
        return nrv::fail(n, "'%s' is not an IDX label file", labels), 0;
    }
    if (count != labelCount) {
        return nrv::fail(n, "image and label counts differ (%u, %u)", count, labelCount), 0;
    }
    // A set without samples leaves nothing to learn or test: said as such,
    // since a count of 0 is what every caller reads as a failure.
    if (count == 0) {
        return nrv::fail(n, "'%s' and '%s' hold no samples (an empty set)", images, labels), 0;
    }
    if (count > MAX_SAMPLES) {
        return nrv::fail(n, "'%s': %u images are more than the %u an IDX set holds", images, count,
                         MAX_SAMPLES),
               0;
    }
    if (uint64_t(rows) * cols != uint64_t(in)) {
        return nrv::fail(n, "images of %ux%u do not fit the network's %d inputs", rows, cols, in),
               0;
    }

    // The header's count must be backed by the files before it is allocated.
    if (nrv::bytesLeft(fi.get()) < uint64_t(count) * uint64_t(in)) {
        return nrv::fail(n, "'%s': truncated file", images), 0;
    }
    if (nrv::bytesLeft(fl.get()) < count) {
        return nrv::fail(n, "'%s': truncated file", labels), 0;
    }
    if (!nrv::affordable(n, double(count) * (double(in) + double(out)))) {
        return 0;
    }
    std::vector<unsigned char> pixels(size_t(count) * in), marks(count);
    if (std::fread(pixels.data(), 1, pixels.size(), fi.get()) != pixels.size()) {
        return nrv::fail(n, "'%s': truncated file", images), 0;
    }
    if (std::fread(marks.data(), 1, marks.size(), fl.get()) != marks.size()) {
        return nrv::fail(n, "'%s': truncated file", labels), 0;
    }
    for (uint32_t s = 0; s < count; ++s) {
        if (out > 1 ? marks[s] >= out : marks[s] > 1) {
            return nrv::fail(n, "label %u of sample %u out of range", marks[s], s + 1), 0;
        }
    }

    set.samples = int(count);
    set.inputSize = in;
    set.targetSize = out;
    set.inputs.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        set.inputs[i] = pixels[i] * (1.f / 255.f);
    }
    // One output learns the label itself (0 or 1); several learn one-hot classes.
    set.targets.assign(size_t(count) * out, 0.f);
    for (uint32_t s = 0; s < count; ++s) {
        if (out == 1) {
            set.targets[s] = marks[s];
        } else {
            set.targets[size_t(s) * out + marks[s]] = 1.f;
        }
    }
    nrv::logLine(n, "network %s: %u samples read from %s", n->impl->name.c_str(), count, images);
    return int(count);
}

}  // namespace

int nrv_mnist_load_train(nrv_network* n, const char* images, const char* labels)
{
    return loadSet(n, n->impl->train, images, labels);
}

int nrv_mnist_load_test(nrv_network* n, const char* images, const char* labels)
{
    return loadSet(n, n->impl->test, images, labels);
}
