// Activation functions and their backward passes, row by row over a batch.
#include "nrvInternal.h"

#include <algorithm>
#include <cmath>

namespace nrv {

bool knownActivation(int a)
{
    return a == NRV_ACTIVATION_NONE || a == NRV_ACTIVATION_RELU || a == NRV_ACTIVATION_TANH ||
           a == NRV_ACTIVATION_SIGMOID || a == NRV_ACTIVATION_SOFTMAX;
}

const char* activationName(int a)
{
    switch (a) {
    case NRV_ACTIVATION_NONE: return "none";
    case NRV_ACTIVATION_RELU: return "relu";
    case NRV_ACTIVATION_TANH: return "tanh";
    case NRV_ACTIVATION_SIGMOID: return "sigmoid";
    case NRV_ACTIVATION_SOFTMAX: return "softmax";
    default: return "?";
    }
}

void applyActivation(int a, const float* z, float* y, int batch, int width)
{
    const size_t n = size_t(batch) * width;
    switch (a) {
    case NRV_ACTIVATION_RELU:
        for (size_t i = 0; i < n; ++i) {
            y[i] = z[i] > 0.f ? z[i] : 0.f;
        }
        break;
    case NRV_ACTIVATION_TANH:
        for (size_t i = 0; i < n; ++i) {
            y[i] = std::tanh(z[i]);
        }
        break;
    case NRV_ACTIVATION_SIGMOID:
        for (size_t i = 0; i < n; ++i) {
            y[i] = 1.f / (1.f + std::exp(-z[i]));
        }
        break;
    case NRV_ACTIVATION_SOFTMAX:
        // Shifted by the row's largest value so no exponential overflows.
        for (int b = 0; b < batch; ++b) {
            const float* zr = z + size_t(b) * width;
            float* yr = y + size_t(b) * width;
            const float top = *std::max_element(zr, zr + width);
            double sum = 0;
            for (int i = 0; i < width; ++i) {
                sum += (yr[i] = std::exp(zr[i] - top));
            }
            for (int i = 0; i < width; ++i) {
                yr[i] = float(yr[i] / sum);
            }
        }
        break;
    default:
        if (y != z) {
            std::copy(z, z + n, y);
        }
    }
}

void activationBackward(int a, const float* z, const float* y, float* d, int batch, int width)
{
    const size_t n = size_t(batch) * width;
    switch (a) {
    case NRV_ACTIVATION_RELU:
        for (size_t i = 0; i < n; ++i) {
            d[i] = z[i] > 0.f ? d[i] : 0.f;
        }
        break;
    case NRV_ACTIVATION_TANH:
        for (size_t i = 0; i < n; ++i) {
            d[i] *= 1.f - y[i] * y[i];
        }
        break;
    case NRV_ACTIVATION_SIGMOID:
        for (size_t i = 0; i < n; ++i) {
            d[i] *= y[i] * (1.f - y[i]);
        }
        break;
    case NRV_ACTIVATION_SOFTMAX:
        // Jacobian-vector product: dz_i = y_i (dy_i - sum_j dy_j y_j).
        for (int b = 0; b < batch; ++b) {
            const float* yr = y + size_t(b) * width;
            float* dr = d + size_t(b) * width;
            double dot = 0;
            for (int i = 0; i < width; ++i) {
                dot += double(dr[i]) * yr[i];
            }
            for (int i = 0; i < width; ++i) {
                dr[i] = float(yr[i] * (dr[i] - dot));
            }
        }
        break;
    default: break;
    }
}

}  // namespace nrv
