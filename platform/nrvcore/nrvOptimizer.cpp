// Parameter updates of the five optimisers from the accumulated gradients.
#include "nrvInternal.h"

#include <algorithm>
#include <cmath>

namespace nrv {

namespace {
constexpr float EPSILON = 1e-7f;
constexpr float RMS_DECAY = 0.9f;
constexpr float BETA1 = 0.9f, BETA2 = 0.999f;
// Rprop: step growth and shrink factors and the step's bounds.
constexpr float RPROP_UP = 1.2f, RPROP_DOWN = 0.5f, RPROP_MAX = 50.f, RPROP_MIN = 1e-6f;
}  // namespace

bool knownOptimizer(int o) { return o >= NRV_OPTIMIZER_SGD && o <= NRV_OPTIMIZER_ADAMAX; }

void updateParam(Param& p, int optimizer, float rate, int64_t step)
{
    const size_t n = p.value.size();
    float* w = p.value.data();
    const float* g = p.grad.data();
    float* m = p.m.data();
    float* v = p.v.data();
    switch (optimizer) {
    case NRV_OPTIMIZER_RMSPROP:
        for (size_t i = 0; i < n; ++i) {
            v[i] = RMS_DECAY * v[i] + (1.f - RMS_DECAY) * g[i] * g[i];
            w[i] -= rate * g[i] / (std::sqrt(v[i]) + EPSILON);
        }
        break;
    case NRV_OPTIMIZER_RPROP:
        // iRprop-: m holds each weight's step (starting at the rate), v the
        // previous gradient; a sign change shrinks the step and skips the move.
        for (size_t i = 0; i < n; ++i) {
            if (m[i] == 0.f) {
                m[i] = rate;
            }
            float gi = g[i];
            const float s = gi * v[i];
            if (s > 0.f) {
                m[i] = std::min(m[i] * RPROP_UP, RPROP_MAX);
            } else if (s < 0.f) {
                m[i] = std::max(m[i] * RPROP_DOWN, RPROP_MIN);
                gi = 0.f;
            }
            w[i] -= (gi > 0.f ? m[i] : gi < 0.f ? -m[i] : 0.f);
            v[i] = gi;
        }
        break;
    case NRV_OPTIMIZER_ADAM: {
        // Bias corrections folded into two factors, so the loop only multiplies.
        const float c1 = 1.f - float(std::pow(BETA1, double(step)));
        const float c2 = 1.f - float(std::pow(BETA2, double(step)));
        const float stepSize = rate / c1, rootScale = 1.f / std::sqrt(c2);
        for (size_t i = 0; i < n; ++i) {
            m[i] = BETA1 * m[i] + (1.f - BETA1) * g[i];
            v[i] = BETA2 * v[i] + (1.f - BETA2) * g[i] * g[i];
            w[i] -= stepSize * m[i] / (std::sqrt(v[i]) * rootScale + EPSILON);
        }
        break;
    }
    case NRV_OPTIMIZER_ADAMAX: {
        const float c1 = 1.f - float(std::pow(BETA1, double(step)));
        for (size_t i = 0; i < n; ++i) {
            m[i] = BETA1 * m[i] + (1.f - BETA1) * g[i];
            v[i] = std::max(BETA2 * v[i], std::fabs(g[i]));
            w[i] -= rate / c1 * m[i] / (v[i] + EPSILON);
        }
        break;
    }
    default:  // plain gradient descent
        for (size_t i = 0; i < n; ++i) {
            w[i] -= rate * g[i];
        }
    }
}

}  // namespace nrv
