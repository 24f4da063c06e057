// Training and test sets, training in epochs of mini-batches with a
// validation split, per-epoch costs and accuracy, and prediction.
#include "nrvInternal.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace nrv {
namespace {

using DataSet = nrv_network_impl::DataSet;

// Validation and test passes run in chunks of this many samples.
constexpr int EVALUATION_CHUNK = 256;

bool needLayers(nrv_network* n)
{
    clearStatus(n);
    if (n->impl->layers.empty()) {
        return fail(n, "network has no layers");
    }
    return true;
}

bool sizesMatch(nrv_network* n, int inSize, int targetSize)
{
    if (!n->impl->layers.empty() && (inSize != inputSize(n) || targetSize != outputSize(n))) {
        return fail(n, "sample sizes %d and %d do not match the network's %d inputs and %d outputs",
                    inSize, targetSize, inputSize(n), outputSize(n));
    }
    return true;
}

int allocate(nrv_network* n, DataSet& set, int samples, int inSize, int targetSize)
{
    if (samples < 0 || inSize <= 0 || targetSize <= 0) {
        return fail(n, "invalid data set size"), 0;
    }
    if (!sizesMatch(n, inSize, targetSize)) {
        return 0;
    }
    if (!affordable(n, double(samples) * (double(inSize) + double(targetSize)))) {
        return 0;
    }
    set.samples = samples;
    set.inputSize = inSize;
    set.targetSize = targetSize;
    set.inputs.assign(size_t(samples) * inSize, 0.f);
    set.targets.assign(size_t(samples) * targetSize, 0.f);
    return samples;
}

int setData(nrv_network* n, DataSet& set, int count, const nrv_tensor* inputs,
            const nrv_tensor* targets)
{
    if (!needLayers(n)) {
        return 0;
    }
    const int in = inputSize(n), out = outputSize(n);
    if (count <= 0) {
        return fail(n, "invalid sample count %d", count), 0;
    }
    if (long(inputs->size) != long(count) * in || long(targets->size) != long(count) * out) {
        return fail(n, "%d samples need %ld inputs and %ld targets, not %d and %d", count,
                    long(count) * in, long(count) * out, inputs->size, targets->size),
               0;
    }
    set.samples = count;
    set.inputSize = in;
    set.targetSize = out;
    set.inputs.assign(inputs->data, inputs->data + inputs->size);
    set.targets.assign(targets->data, targets->data + targets->size);
    return count;
}

// Copies one sample of a set into a tensor the network hands out.
nrv_tensor* sampleView(nrv_network* n, const DataSet& set, int sample, bool target,
                       OwnedTensor which)
{
    clearStatus(n);
    if (sample < 0 || sample >= set.samples) {
        return fail(n, "index out of range"), nullptr;
    }
    const int width = target ? set.targetSize : set.inputSize;
    const float* from = (target ? set.targets.data() : set.inputs.data()) + size_t(sample) * width;
    nrv_tensor* t = n->impl->owned[which];
    if (!resizeTensor(t, width)) {
        return fail(n, "%s", KOV_NO_MEMORY), nullptr;
    }
    std::copy(from, from + width, t->data);
    markWritten(t);
    return t;
}

nrv_tensor* sampleOutput(nrv_network* n, const DataSet& set, int sample, OwnedTensor which)
{
    if (!computeReady(n)) {
        return nullptr;
    }
    if (sample < 0 || sample >= set.samples) {
        return fail(n, "index out of range"), nullptr;
    }
    forward(n, set.inputs.data() + size_t(sample) * set.inputSize, 1, true);
    const auto& y = outputOf(n);
    nrv_tensor* t = n->impl->owned[which];
    if (!resizeTensor(t, int(y.size()))) {
        return fail(n, "%s", KOV_NO_MEMORY), nullptr;
    }
    std::copy(y.begin(), y.end(), t->data);
    markWritten(t);
    return t;
}

int argmaxOf(const float* v, int width) { return int(std::max_element(v, v + width) - v); }

// One sample counts as right: by class (largest value, or the side of 0.5
// for a single output) for ARGMAX, by every output within 0.5 for LOSS.
bool sampleRight(int validation, const float* y, const float* t, int width)
{
    if (validation == NRV_VALIDATION_ARGMAX) {
        if (width == 1) {
            return (y[0] > 0.5f) == (t[0] > 0.5f);
        }
        return argmaxOf(y, width) == argmaxOf(t, width);
    }
    for (int i = 0; i < width; ++i) {
        if (std::fabs(y[i] - t[i]) >= 0.5f) {
            return false;
        }
    }
    return true;
}

// Mean cost and fraction of right samples over samples [first, first+count).
void evaluate(nrv_network* n, const DataSet& set, int first, int count, float& cost,
              float& accuracy)
{
    nrv_network_impl* m = n->impl;
    const int out = set.targetSize;
    std::vector<float> scratch;
    double total = 0;
    int right = 0;
    for (int start = first; start < first + count; start += EVALUATION_CHUNK) {
        const int b = std::min(EVALUATION_CHUNK, first + count - start);
        forward(n, set.inputs.data() + size_t(start) * set.inputSize, b, false);
        const float* y = outputOf(n).data();
        const float* t = set.targets.data() + size_t(start) * out;
        scratch.resize(size_t(b) * out);
        total += double(lossValue(m->criterion, y, t, scratch.data(), b, out)) * b;
        for (int s = 0; s < b; ++s) {
            right += sampleRight(m->validation, y + size_t(s) * out, t + size_t(s) * out, out);
        }
    }
    m->outputGradient.clear();
    cost = count > 0 ? float(total / count) : 0.f;
    accuracy = count > 0 ? float(right) / float(count) : 0.f;
}

float firstResult(const nrv_network* n)
{
    const auto& y = outputOf(n);
    const int out = outputSize(n);
    return out == 1 ? y[0] : float(argmaxOf(y.data(), out));
}

}  // namespace
}  // namespace nrv

using nrv::fail;

int nrv_init_train(nrv_network* n, int samples, int inputSize, int targetSize,
                   int validationPercent)
{
    nrv::clearStatus(n);
    if (validationPercent < 0 || validationPercent > 99) {
        return fail(n, "validation share %d%% out of 0..99", validationPercent), 0;
    }
    if (!nrv::allocate(n, n->impl->train, samples, inputSize, targetSize) && n->status) {
        return 0;
    }
    n->impl->validationPercent = validationPercent;
    return samples;
}

int nrv_set_train_data(nrv_network* n, int count, const nrv_tensor* inputs,
                       const nrv_tensor* targets)
{
    return nrv::setData(n, n->impl->train, count, inputs, targets);
}

int nrv_init_test(nrv_network* n, int samples, int inputSize, int targetSize)
{
    nrv::clearStatus(n);
    return nrv::allocate(n, n->impl->test, samples, inputSize, targetSize);
}

int nrv_set_test_data(nrv_network* n, int count, const nrv_tensor* inputs,
                      const nrv_tensor* targets)
{
    return nrv::setData(n, n->impl->test, count, inputs, targets);
}

nrv_tensor* nrv_get_train_input(nrv_network* n, int s)
{
    return nrv::sampleView(n, n->impl->train, s, false, nrv::TRAIN_INPUT);
}
nrv_tensor* nrv_get_train_target(nrv_network* n, int s)
{
    return nrv::sampleView(n, n->impl->train, s, true, nrv::TRAIN_TARGET);
}
nrv_tensor* nrv_get_train_output(nrv_network* n, int s)
{
    return nrv::sampleOutput(n, n->impl->train, s, nrv::TRAIN_OUTPUT);
}
nrv_tensor* nrv_get_test_input(nrv_network* n, int s)
{
    return nrv::sampleView(n, n->impl->test, s, false, nrv::TEST_INPUT);
}
nrv_tensor* nrv_get_test_target(nrv_network* n, int s)
{
    return nrv::sampleView(n, n->impl->test, s, true, nrv::TEST_TARGET);
}
nrv_tensor* nrv_get_test_output(nrv_network* n, int s)
{
    return nrv::sampleOutput(n, n->impl->test, s, nrv::TEST_OUTPUT);
}

float nrv_train(nrv_network* n, int epochs, int batchSize, int seed, float rate, int patience)
{
    if (!nrv::computeReady(n)) {
        return 0.f;
    }
    nrv_network_impl* m = n->impl;
    const auto& set = m->train;
    if (set.samples <= 0) {
        return fail(n, "no training data"), 0.f;
    }
    if (set.inputSize != nrv::inputSize(n) || set.targetSize != nrv::outputSize(n)) {
        return fail(n, "training data does not fit the network"), 0.f;
    }
    if (epochs <= 0) {
        return fail(n, "invalid epoch count %d", epochs), 0.f;
    }
    if (batchSize <= 0) {
        return fail(n, "invalid batch size %d", batchSize), 0.f;
    }
    if (!(rate > 0.f)) {
        rate = m->rate;
    }

    const int validationCount = int(long(set.samples) * m->validationPercent / 100);
    const int trainCount = set.samples - validationCount;
    if (trainCount <= 0) {
        return fail(n, "no training samples left after the validation split"), 0.f;
    }
    batchSize = std::min(batchSize, trainCount);
    if (seed != 0) {
        m->random.reseed(uint64_t(uint32_t(seed)));
    }

    // The passes below read the training buffers in place; when training ends
    // nothing may point at them any more (a later loss and backward step would).
    struct ForgetPass {
        nrv_network_impl* m;
        ~ForgetPass()
        {
            m->batch = 0;
            m->input = nullptr;
            m->outputGradient.clear();
        }
    } forgetPass{m};
    std::vector<uint32_t> order(static_cast<size_t>(trainCount));
    std::iota(order.begin(), order.end(), 0u);
    std::vector<float> x(size_t(batchSize) * set.inputSize), t(size_t(batchSize) * set.targetSize);
    m->costTrain.clear();
    m->costValidation.clear();
    m->accuracy.clear();
    m->bestEpoch = -1;
    float best = 0.f;
    const int out = set.targetSize;

    for (int epoch = 0; epoch < epochs; ++epoch) {
        if (seed != 0) {
            for (size_t i = order.size(); i > 1; --i) {
                std::swap(order[i - 1], order[m->random.below(uint32_t(i))]);
            }
        }
        double total = 0;
        for (int start = 0; start < trainCount; start += batchSize) {
            const int b = std::min(batchSize, trainCount - start);
            for (int s = 0; s < b; ++s) {
                const size_t k = order[size_t(start + s)];
                std::copy_n(set.inputs.begin() + long(k * set.inputSize), set.inputSize,
                            x.begin() + long(size_t(s) * set.inputSize));
                std::copy_n(set.targets.begin() + long(k * out), out,
                            t.begin() + long(size_t(s) * out));
            }
            nrv::zeroGradients(n);
            nrv::forward(n, x.data(), b, false);
            m->outputGradient.resize(size_t(b) * out);
            total += double(nrv::lossValue(m->criterion, nrv::outputOf(n).data(), t.data(),
                                           m->outputGradient.data(), b, out)) *
                     b;
            nrv::backward(n);
            nrv::update(n, rate);
        }
        const float costTrain = float(total / trainCount);
        float costValidation, accuracy;
        if (validationCount > 0) {
            nrv::evaluate(n, set, trainCount, validationCount, costValidation, accuracy);
        } else {
            nrv::evaluate(n, set, 0, trainCount, costValidation, accuracy);
        }
        if (!std::isfinite(costTrain)) {
            return fail(n, "training diverged at epoch %d", epoch + 1), costTrain;
        }
        m->costTrain.push_back(costTrain);
        m->costValidation.push_back(costValidation);
        m->accuracy.push_back(accuracy);
        if (m->bestEpoch < 0 || costValidation < best) {
            best = costValidation;
            m->bestEpoch = epoch;
        }
        nrv::logLine(n, "epoch %d\tcost %.6g\tvalidation %.6g\taccuracy %.4f", epoch + 1,
                     double(costTrain), double(costValidation), double(accuracy));
        if (m->verbose) {
            std::printf("%s: epoch %d cost %.6g validation %.6g accuracy %.2f%%\n", m->name.c_str(),
                        epoch + 1, double(costTrain), double(costValidation),
                        double(accuracy) * 100);
            std::fflush(stdout);
        }
        if (patience > 0 && epoch - m->bestEpoch >= patience) {
            break;
        }
    }
    return m->costTrain.back();
}

float nrv_predict_byindex(nrv_network* n, int sample)
{
    if (!nrv::computeReady(n)) {
        return 0.f;
    }
    if (sample < 0 || sample >= n->impl->test.samples) {
        return fail(n, "index out of range"), 0.f;
    }
    if (!nrv::sampleOutput(n, n->impl->test, sample, nrv::TEST_OUTPUT)) {
        return 0.f;
    }
    return nrv::firstResult(n);
}

float nrv_predict(nrv_network* n, const nrv_tensor* input, const nrv_tensor* target,
                  nrv_tensor* output)
{
    if (!nrv::computeReady(n)) {
        return 0.f;
    }
    const int in = nrv::inputSize(n), out = nrv::outputSize(n);
    if (input->size <= 0 || input->size % in != 0) {
        return fail(n, "input size %d is not a multiple of the network input %d", input->size, in),
               0.f;
    }
    const int batch = input->size / in;
    if (target && target->size != batch * out) {
        return fail(n, "target size %d does not match the output size %d", target->size,
                    batch * out),
               0.f;
    }
    if (output && output->size != batch * out) {
        return fail(n, "output size %d does not match the output size %d", output->size,
                    batch * out),
               0.f;
    }
    nrv::forward(n, input->data, batch, true);
    const auto& y = nrv::outputOf(n);
    if (output) {
        std::copy(y.begin(), y.end(), output->data);
        nrv::markWritten(output);
    }
    if (!target) {
        return nrv::firstResult(n);
    }
    std::vector<float> scratch(y.size());
    return nrv::lossValue(n->impl->criterion, y.data(), target->data, scratch.data(), batch, out);
}

int nrv_get_best_epoch(nrv_network* n)
{
    nrv::clearStatus(n);
    return n->impl->bestEpoch;
}

namespace {
float epochValue(nrv_network* n, const std::vector<float>& values, int epoch)
{
    nrv::clearStatus(n);
    if (epoch < 0 || size_t(epoch) >= values.size()) {
        return fail(n, "index out of range"), 0.f;
    }
    return values[size_t(epoch)];
}
}  // namespace

float nrv_get_cost_train(nrv_network* n, int e) { return epochValue(n, n->impl->costTrain, e); }
float nrv_get_cost_validation(nrv_network* n, int e)
{
    return epochValue(n, n->impl->costValidation, e);
}
float nrv_get_accuracy(nrv_network* n, int e) { return epochValue(n, n->impl->accuracy, e); }
