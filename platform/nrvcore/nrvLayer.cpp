// Forward and backward passes of the layer kinds. Dense layers work on a
// whole mini-batch with one matrix product; convolutions unfold a group of
// samples into columns (im2col) and take one product per group, keeping the
// columns of a training batch for its backward pass.
#include "nrvInternal.h"

#include <cblas.h>

#include <algorithm>
#include <cmath>

namespace nrv {

namespace {

int convRows(const nrv_layer* l) { return l->channels * l->kernel * l->kernel; }
int convPositions(const nrv_layer* l) { return l->outHeight * l->outWidth; }

// The column matrix of a group of samples is [rows x samples*positions]:
// row (c, ki, kj) holds, for each sample and output position, the input
// pixel that kernel tap meets there (0 in the padding). The samples sit side
// by side so that one matrix product serves the whole group.
constexpr size_t MAX_COLUMN_FLOATS = size_t(8) << 20;  // 32 MiB of columns at most

// Samples per group: the whole batch when its columns fit, so the training
// pass can keep them for the backward pass, else as many as fit.
int groupSize(const nrv_layer* l, int batch)
{
    const size_t perSample = std::max<size_t>(size_t(convRows(l)) * convPositions(l), 1);
    return int(
        std::min(std::max<size_t>(MAX_COLUMN_FLOATS / perSample, 1), size_t(std::max(batch, 1))));
}

// Output columns [first, last) of one output row whose input column
// ow * stride - padding + kj lies inside the image.
void insideColumns(const nrv_layer* l, int kj, int& first, int& last)
{
    const int shift = l->padding - kj;  // iw = ow * stride - shift
    first = shift > 0 ? (shift + l->stride - 1) / l->stride : 0;
    last = (l->width - 1 + shift) >= 0 ? (l->width - 1 + shift) / l->stride + 1 : 0;
    first = std::min(first, l->outWidth);
    last = std::clamp(last, first, l->outWidth);
}

// Unfolds one sample into its columns of a group matrix of leading dimension ld.
void im2col(const nrv_layer* l, const float* x, float* cols, size_t ld)
{
    const int k = l->kernel, outW = l->outWidth, stride = l->stride;
    for (int c = 0; c < l->channels; ++c) {
        const float* image = x + size_t(c) * l->height * l->width;
        for (int ki = 0; ki < k; ++ki) {
            for (int kj = 0; kj < k; ++kj) {
                float* row = cols + size_t((c * k + ki) * k + kj) * ld;
                int first, last;
                insideColumns(l, kj, first, last);
                const int iw0 = first * stride - l->padding + kj;
                for (int oh = 0; oh < l->outHeight; ++oh, row += outW) {
                    const int ih = oh * stride - l->padding + ki;
                    if (ih < 0 || ih >= l->height) {
                        std::fill(row, row + outW, 0.f);
                        continue;
                    }
                    std::fill(row, row + first, 0.f);
                    const float* in = image + size_t(ih) * l->width + iw0;
                    if (stride == 1) {
                        std::copy(in, in + (last - first), row + first);
                    } else {
                        for (int ow = first; ow < last; ++ow, in += stride) {
                            row[ow] = *in;
                        }
                    }
                    std::fill(row + last, row + outW, 0.f);
                }
            }
        }
    }
}

// Adds one sample's column gradients (leading dimension ld) back onto its
// input gradient, which the caller has cleared.
void col2im(const nrv_layer* l, const float* cols, size_t ld, float* dx)
{
    const int k = l->kernel, outW = l->outWidth, stride = l->stride;
    for (int c = 0; c < l->channels; ++c) {
        float* image = dx + size_t(c) * l->height * l->width;
        for (int ki = 0; ki < k; ++ki) {
            for (int kj = 0; kj < k; ++kj) {
                const float* row = cols + size_t((c * k + ki) * k + kj) * ld;
                int first, last;
                insideColumns(l, kj, first, last);
                const int iw0 = first * stride - l->padding + kj;
                for (int oh = 0; oh < l->outHeight; ++oh, row += outW) {
                    const int ih = oh * stride - l->padding + ki;
                    if (ih < 0 || ih >= l->height) {
                        continue;
                    }
                    float* out = image + size_t(ih) * l->width + iw0;
                    for (int ow = first; ow < last; ++ow, out += stride) {
                        *out += row[ow];
                    }
                }
            }
        }
    }
}

// Columns of samples [first, first + count) of the batch x.
void unfoldGroup(const nrv_layer* l, const float* x, int first, int count, float* cols)
{
    const size_t positions = size_t(convPositions(l)), ld = positions * count;
    for (int s = 0; s < count; ++s) {
        im2col(l, x + size_t(first + s) * l->inSize, cols + s * positions, ld);
    }
}

void forwardConv(nrv_layer* l, const float* x, int batch)
{
    const int rows = convRows(l), filters = l->filters;
    const size_t positions = size_t(convPositions(l));
    const int group = groupSize(l, batch);
    l->cols.resize(size_t(rows) * positions * group);
    l->groupOut.resize(size_t(filters) * positions * group);
    for (int first = 0; first < batch; first += group) {
        const int count = std::min(group, batch - first);
        const size_t ld = positions * count;
        unfoldGroup(l, x, first, count, l->cols.data());
        // Out[filters x count*positions] = W[filters x rows] * Cols.
        cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, filters, int(ld), rows, 1.f,
                    l->weights.value.data(), rows, l->cols.data(), int(ld), 0.f, l->groupOut.data(),
                    int(ld));
        for (int s = 0; s < count; ++s) {
            for (int f = 0; f < filters; ++f) {
                const float* from = l->groupOut.data() + f * ld + s * positions;
                float* to = l->z.data() + size_t(first + s) * l->outSize + f * positions;
                const float b = l->bias.value[f];
                for (size_t p = 0; p < positions; ++p) {
                    to[p] = from[p] + b;
                }
            }
        }
    }
    // The columns serve the backward pass when the whole batch was one group.
    l->colsBatch = group >= batch ? batch : 0;
}

void backwardConv(nrv_layer* l, const float* x, float* dx, int batch)
{
    const int rows = convRows(l), filters = l->filters;
    const size_t positions = size_t(convPositions(l));
    const bool kept = l->colsBatch == batch;
    const int group = kept ? batch : groupSize(l, batch);
    l->cols.resize(size_t(rows) * positions * group);
    l->groupOut.resize(size_t(filters) * positions * group);
    if (dx) {
        l->dcols.resize(size_t(rows) * positions * group);
    }
    for (int first = 0; first < batch; first += group) {
        const int count = std::min(group, batch - first);
        const size_t ld = positions * count;
        if (!kept) {
            unfoldGroup(l, x, first, count, l->cols.data());
        }
        // dZ of the group as [filters x count*positions], and the bias gradient.
        float* dzGroup = l->groupOut.data();
        for (int s = 0; s < count; ++s) {
            for (int f = 0; f < filters; ++f) {
                const float* from = l->dz.data() + size_t(first + s) * l->outSize + f * positions;
                std::copy(from, from + positions, dzGroup + f * ld + s * positions);
            }
        }
        for (int f = 0; f < filters; ++f) {
            float sum = 0.f;
            for (size_t p = 0; p < ld; ++p) {
                sum += dzGroup[f * ld + p];
            }
            l->bias.grad[f] += sum;
        }
        // dW[filters x rows] += dZ * Cols^T.
        cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasTrans, filters, rows, int(ld), 1.f, dzGroup,
                    int(ld), l->cols.data(), int(ld), 1.f, l->weights.grad.data(), rows);
        if (!dx) {
            continue;
        }
        // dCols[rows x count*positions] = W^T * dZ, folded back onto each sample.
        cblas_sgemm(CblasRowMajor, CblasTrans, CblasNoTrans, rows, int(ld), filters, 1.f,
                    l->weights.value.data(), rows, dzGroup, int(ld), 0.f, l->dcols.data(), int(ld));
        float* dxGroup = dx + size_t(first) * l->inSize;
        std::fill(dxGroup, dxGroup + size_t(count) * l->inSize, 0.f);
        for (int s = 0; s < count; ++s) {
            col2im(l, l->dcols.data() + s * positions, ld, dxGroup + size_t(s) * l->inSize);
        }
    }
}

}  // namespace

void initLayer(nrv_layer* l, Random& random)
{
    if (l->kind == LayerKind::INPUT) {
        return;
    }
    const int fanIn = l->kind == LayerKind::CONV ? convRows(l) : l->inSize;
    // He scaling suits rectifiers, Xavier-like scaling the saturating ones.
    float scale = l->initScale;
    if (!(scale > 0.f)) {
        scale = std::sqrt((l->activation == NRV_ACTIVATION_RELU ? 2.f : 1.f) / float(fanIn));
    }
    for (float& w : l->weights.value) {
        w = scale * random.normal();
    }
    std::fill(l->bias.value.begin(), l->bias.value.end(), 0.f);
}

void forwardLayer(nrv_layer* l, const float* x, int batch)
{
    const size_t outTotal = size_t(batch) * l->outSize;
    l->z.resize(outTotal);
    l->y.resize(outTotal);
    l->dz.resize(outTotal);
    if (l->kind == LayerKind::INPUT) {
        std::copy(x, x + outTotal, l->z.begin());
        applyActivation(NRV_ACTIVATION_NONE, l->z.data(), l->y.data(), batch, l->outSize);
        return;
    }
    if (l->kind == LayerKind::DENSE) {
        // Z[batch x out] = X[batch x in] * W^T, W being [out x in].
        for (int b = 0; b < batch; ++b) {
            std::copy(l->bias.value.begin(), l->bias.value.end(),
                      l->z.begin() + size_t(b) * l->outSize);
        }
        cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasTrans, batch, l->outSize, l->inSize, 1.f, x,
                    l->inSize, l->weights.value.data(), l->inSize, 1.f, l->z.data(), l->outSize);
    } else {
        forwardConv(l, x, batch);
    }
    applyActivation(l->activation, l->z.data(), l->y.data(), batch, l->outSize);
}

void backwardLayer(nrv_layer* l, const float* x, float* dx, int batch)
{
    if (l->kind == LayerKind::INPUT) {
        return;
    }
    float* dz = l->dz.data();
    activationBackward(l->activation, l->z.data(), l->y.data(), dz, batch, l->outSize);
    if (l->kind == LayerKind::DENSE) {
        // dW[out x in] += dZ^T * X; db += column sums of dZ; dX = dZ * W.
        cblas_sgemm(CblasRowMajor, CblasTrans, CblasNoTrans, l->outSize, l->inSize, batch, 1.f, dz,
                    l->outSize, x, l->inSize, 1.f, l->weights.grad.data(), l->inSize);
        for (int b = 0; b < batch; ++b) {
            for (int o = 0; o < l->outSize; ++o) {
                l->bias.grad[o] += dz[size_t(b) * l->outSize + o];
            }
        }
        if (dx) {
            cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, batch, l->inSize, l->outSize,
                        1.f, dz, l->outSize, l->weights.value.data(), l->inSize, 0.f, dx,
                        l->inSize);
        }
        return;
    }
    backwardConv(l, x, dx, batch);
}

}  // namespace nrv
