// Loss functions: the mean over the batch of each sample's loss, and its
// gradient with respect to the network output.
#include "nrvInternal.h"

#include <cmath>

namespace nrv {

namespace {
// Probabilities below this are taken as this, so log(0) never appears.
constexpr float PROBABILITY_FLOOR = 1e-7f;
// Huber's quadratic zone ends at this absolute error.
constexpr float HUBER_DELTA = 1.f;
}  // namespace

bool knownCriterion(int c)
{
    return c == NRV_CRITERION_MSE || c == NRV_CRITERION_CCE || c == NRV_CRITERION_MAE ||
           c == NRV_CRITERION_HUBER;
}

float lossValue(int criterion, const float* y, const float* t, float* dy, int batch, int width)
{
    const size_t n = size_t(batch) * width;
    const float perSample = 1.f / float(batch);
    const float perElement = 1.f / (float(batch) * float(width));
    double total = 0;
    switch (criterion) {
    case NRV_CRITERION_CCE:
        // Summed over a sample's classes, averaged over samples.
        for (size_t i = 0; i < n; ++i) {
            const float p = y[i] > PROBABILITY_FLOOR ? y[i] : PROBABILITY_FLOOR;
            total -= double(t[i]) * std::log(p);
            dy[i] = -t[i] / p * perSample;
        }
        return float(total / batch);
    case NRV_CRITERION_MAE:
        for (size_t i = 0; i < n; ++i) {
            const float e = y[i] - t[i];
            total += std::fabs(e);
            dy[i] = (e > 0.f ? 1.f : e < 0.f ? -1.f : 0.f) * perElement;
        }
        return float(total * perElement);
    case NRV_CRITERION_HUBER:
        for (size_t i = 0; i < n; ++i) {
            const float e = y[i] - t[i];
            const float a = std::fabs(e);
            if (a <= HUBER_DELTA) {
                total += 0.5 * e * e;
                dy[i] = e * perElement;
            } else {
                total += HUBER_DELTA * (a - 0.5 * HUBER_DELTA);
                dy[i] = (e > 0.f ? HUBER_DELTA : -HUBER_DELTA) * perElement;
            }
        }
        return float(total * perElement);
    default:  // mean squared error
        for (size_t i = 0; i < n; ++i) {
            const float e = y[i] - t[i];
            total += double(e) * e;
            dy[i] = 2.f * e * perElement;
        }
        return float(total * perElement);
    }
}

}  // namespace nrv
