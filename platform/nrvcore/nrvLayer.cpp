// Forward and backward passes of the layer kinds. Dense layers work on a
// whole mini-batch with one matrix product; convolutions unfold each sample
// into columns (im2col) and use the same product.
#include "nrvInternal.h"

#include <cblas.h>

#include <algorithm>
#include <cmath>

namespace nrv {

namespace {

int convRows(const nrv_layer* l) { return l->channels * l->kernel * l->kernel; }
int convPositions(const nrv_layer* l) { return l->outHeight * l->outWidth; }

void im2col(const nrv_layer* l, const float* x, float* cols) {
  const int k = l->kernel, positions = convPositions(l);
  for (int c = 0; c < l->channels; ++c)
    for (int ki = 0; ki < k; ++ki)
      for (int kj = 0; kj < k; ++kj) {
        float* row = cols + size_t((c * k + ki) * k + kj) * positions;
        for (int oh = 0; oh < l->outHeight; ++oh) {
          const int ih = oh * l->stride - l->padding + ki;
          for (int ow = 0; ow < l->outWidth; ++ow) {
            const int iw = ow * l->stride - l->padding + kj;
            const bool inside = ih >= 0 && ih < l->height && iw >= 0 && iw < l->width;
            row[oh * l->outWidth + ow] =
                inside ? x[(size_t(c) * l->height + ih) * l->width + iw] : 0.f;
          }
        }
      }
}

void col2im(const nrv_layer* l, const float* cols, float* dx) {
  const int k = l->kernel, positions = convPositions(l);
  std::fill(dx, dx + l->inSize, 0.f);
  for (int c = 0; c < l->channels; ++c)
    for (int ki = 0; ki < k; ++ki)
      for (int kj = 0; kj < k; ++kj) {
        const float* row = cols + size_t((c * k + ki) * k + kj) * positions;
        for (int oh = 0; oh < l->outHeight; ++oh) {
          const int ih = oh * l->stride - l->padding + ki;
          if (ih < 0 || ih >= l->height) continue;
          for (int ow = 0; ow < l->outWidth; ++ow) {
            const int iw = ow * l->stride - l->padding + kj;
            if (iw >= 0 && iw < l->width)
              dx[(size_t(c) * l->height + ih) * l->width + iw] += row[oh * l->outWidth + ow];
          }
        }
      }
}

}  // namespace

void initLayer(nrv_layer* l, Random& random) {
  if (l->kind == LayerKind::Input) return;
  const int fanIn = l->kind == LayerKind::Conv ? convRows(l) : l->inSize;
  // He scaling suits rectifiers, Xavier-like scaling the saturating ones.
  float scale = l->initScale;
  if (!(scale > 0.f))
    scale = std::sqrt((l->activation == NRV_ACTIVATION_RELU ? 2.f : 1.f) / float(fanIn));
  for (float& w : l->weights.value) w = scale * random.normal();
  std::fill(l->bias.value.begin(), l->bias.value.end(), 0.f);
}

void forwardLayer(nrv_layer* l, const float* x, int batch) {
  const size_t outTotal = size_t(batch) * l->outSize;
  l->z.resize(outTotal);
  l->y.resize(outTotal);
  l->dz.resize(outTotal);
  if (l->kind == LayerKind::Input) {
    std::copy(x, x + outTotal, l->z.begin());
    applyActivation(NRV_ACTIVATION_NONE, l->z.data(), l->y.data(), batch, l->outSize);
    return;
  }
  if (l->kind == LayerKind::Dense) {
    // Z[batch x out] = X[batch x in] * W^T, W being [out x in].
    for (int b = 0; b < batch; ++b)
      std::copy(l->bias.value.begin(), l->bias.value.end(), l->z.begin() + size_t(b) * l->outSize);
    cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasTrans, batch, l->outSize, l->inSize, 1.f, x,
                l->inSize, l->weights.value.data(), l->inSize, 1.f, l->z.data(), l->outSize);
  } else {
    const int rows = convRows(l), positions = convPositions(l);
    l->cols.resize(size_t(rows) * positions);
    for (int b = 0; b < batch; ++b) {
      float* zb = l->z.data() + size_t(b) * l->outSize;
      for (int f = 0; f < l->filters; ++f)
        std::fill(zb + size_t(f) * positions, zb + size_t(f + 1) * positions, l->bias.value[f]);
      im2col(l, x + size_t(b) * l->inSize, l->cols.data());
      cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, l->filters, positions, rows, 1.f,
                  l->weights.value.data(), rows, l->cols.data(), positions, 1.f, zb, positions);
    }
  }
  applyActivation(l->activation, l->z.data(), l->y.data(), batch, l->outSize);
}

void backwardLayer(nrv_layer* l, const float* x, float* dx, int batch) {
  if (l->kind == LayerKind::Input) return;
  float* dz = l->dz.data();
  activationBackward(l->activation, l->z.data(), l->y.data(), dz, batch, l->outSize);
  if (l->kind == LayerKind::Dense) {
    // dW[out x in] += dZ^T * X; db += column sums of dZ; dX = dZ * W.
    cblas_sgemm(CblasRowMajor, CblasTrans, CblasNoTrans, l->outSize, l->inSize, batch, 1.f, dz,
                l->outSize, x, l->inSize, 1.f, l->weights.grad.data(), l->inSize);
    for (int b = 0; b < batch; ++b)
      for (int o = 0; o < l->outSize; ++o) l->bias.grad[o] += dz[size_t(b) * l->outSize + o];
    if (dx)
      cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, batch, l->inSize, l->outSize, 1.f,
                  dz, l->outSize, l->weights.value.data(), l->inSize, 0.f, dx, l->inSize);
    return;
  }
  const int rows = convRows(l), positions = convPositions(l);
  l->cols.resize(size_t(rows) * positions);
  l->dcols.resize(size_t(rows) * positions);
  for (int b = 0; b < batch; ++b) {
    const float* dzb = dz + size_t(b) * l->outSize;
    im2col(l, x + size_t(b) * l->inSize, l->cols.data());
    cblas_sgemm(CblasRowMajor, CblasNoTrans, CblasTrans, l->filters, rows, positions, 1.f, dzb,
                positions, l->cols.data(), positions, 1.f, l->weights.grad.data(), rows);
    for (int f = 0; f < l->filters; ++f) {
      float sum = 0.f;
      for (int p = 0; p < positions; ++p) sum += dzb[size_t(f) * positions + p];
      l->bias.grad[f] += sum;
    }
    if (dx) {
      cblas_sgemm(CblasRowMajor, CblasTrans, CblasNoTrans, rows, positions, l->filters, 1.f,
                  l->weights.value.data(), rows, dzb, positions, 0.f, l->dcols.data(), positions);
      col2im(l, l->dcols.data(), dx + size_t(b) * l->inSize);
    }
  }
}

}  // namespace nrv
