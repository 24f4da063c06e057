// Inner records of nrvcore, shared by its source files only.
#pragma once

#include "kovText.h"
#include "nrvcore.h"

#include <cstdarg>
#include <string>
#include <vector>

namespace nrv {

// xoshiro256** seeded through splitmix64: the same seed gives the same
// draws on every machine, so a training run repeats exactly.
class Random {
public:
    // The seed of every generator until a script asks for another.
    static constexpr uint64_t FIXED_SEED = 0x6b6f7672612d6e72ULL;

    explicit Random(uint64_t seed = FIXED_SEED) { reseed(seed); }
    void reseed(uint64_t seed);
    uint64_t next();
    float uniform();             // [0, 1)
    float normal();              // mean 0, standard deviation 1
    uint32_t below(uint32_t n);  // [0, n)

private:
    uint64_t state[4];
};

Random& globalRandom();

// A trainable array with its gradient and the optimiser's two state arrays.
struct Param {
    std::vector<float> value, grad, m, v;
    void resize(size_t n)
    {
        value.assign(n, 0.f);
        grad.assign(n, 0.f);
        m.assign(n, 0.f);
        v.assign(n, 0.f);
    }
};

enum class LayerKind : int32_t { INPUT = 0, DENSE = 1, CONV = 2 };

}  // namespace nrv

struct nrv_layer {
    nrv::LayerKind kind = nrv::LayerKind::DENSE;
    std::string name;
    int activation = NRV_ACTIVATION_NONE;
    float initScale = 0.f;
    int inSize = 0, outSize = 0;
    // Convolution geometry (channels-height-width, row-major).
    int channels = 0, height = 0, width = 0, filters = 0, kernel = 0, stride = 1, padding = 0;
    int outHeight = 0, outWidth = 0;
    nrv::Param weights, bias;
    // Per-batch buffers: pre-activation, output, gradient at the pre-activation.
    std::vector<float> z, y, dz;
    // Convolution scratch: a group of samples' im2col matrix, its gradient and
    // the group's product; colsBatch is the batch whose columns cols still
    // holds from the forward pass (0 when they were not kept).
    std::vector<float> cols, dcols, groupOut;
    int colsBatch = 0;
};

struct nrv_network_impl {
    std::string name;
    int criterion = NRV_CRITERION_CCE;
    int validation = NRV_VALIDATION_ARGMAX;
    int optimizer = NRV_OPTIMIZER_RMSPROP;
    bool verbose = false;
    float rate = 0.001f;
    bool compiled = false;
    int64_t step = 0;  // optimiser steps taken (bias correction of Adam and Adamax)
    std::vector<nrv_layer*> layers;
    nrv::Random random;
    FILE* log = nullptr;

    // Last forward pass.
    int batch = 0;
    const float* input =
        nullptr;  // input of the last forward pass (inputCopy or a training buffer)
    std::vector<float> inputCopy;
    std::vector<float> outputGradient;  // loss gradient at the network output
    float lastLoss = 0.f;
    std::vector<float> inputGradient;  // scratch of the backward pass

    // Data sets: samples × input size, samples × target size.
    struct DataSet {
        int samples = 0, inputSize = 0, targetSize = 0;
        std::vector<float> inputs, targets;
    } train, test;
    int validationPercent = 0;

    // Per epoch of the last training run.
    std::vector<float> costTrain, costValidation, accuracy;
    int bestEpoch = -1;

    // Tensors handed out to callers: output, then train and test input, target, output.
    nrv_tensor* owned[7] = {};
};

namespace nrv {

enum OwnedTensor {
    OWNED_OUTPUT,
    TRAIN_INPUT,
    TRAIN_TARGET,
    TRAIN_OUTPUT,
    TEST_INPUT,
    TEST_TARGET,
    TEST_OUTPUT
};

// Status of a network: cleared at the start of each operation, set on failure.
void clearStatus(nrv_network* n);
bool computeReady(nrv_network* n);  // clears the status; fails when not compiled
bool fail(nrv_network* n, const char* format, ...) __attribute__((format(printf, 2, 3)));
void logLine(nrv_network* n, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Memory. A request for more than half the machine's memory cannot be met
// in reasonable time (it would page or be killed long before it fails), so
// it is refused before anything is allocated: false, with the network
// failed as "insufficient memory ...". floats counts 32-bit values.
bool affordable(nrv_network* n, double floats);
// Bytes of an open file from its current position to its end (no bound,
// UINT64_MAX, when the file cannot tell, as a pipe), so that sizes read
// from a header are checked against what the file holds before anything
// is allocated for them.
uint64_t bytesLeft(FILE* f);

// Tensor helpers.
nrv_tensor* newTensor(int size, const char* name);
bool resizeTensor(nrv_tensor* t, int size);
void markWritten(nrv_tensor* t);

// Layers.
void initLayer(nrv_layer* layer, Random& random);
void forwardLayer(nrv_layer* layer, const float* x, int batch);
// Turns dy (gradient at the layer's output, in layer->dz on entry) into the
// parameter gradients and, when dx is not null, the gradient at its input.
void backwardLayer(nrv_layer* layer, const float* x, float* dx, int batch);
void applyActivation(int activation, const float* z, float* y, int batch, int width);
void activationBackward(int activation, const float* z, const float* y, float* d, int batch,
                        int width);
bool knownActivation(int activation);
const char* activationName(int activation);

// Losses: mean over the batch of each sample's loss; dy receives its gradient.
float lossValue(int criterion, const float* y, const float* t, float* dy, int batch, int width);
bool knownCriterion(int criterion);

// Optimisers.
void updateParam(Param& p, int optimizer, float rate, int64_t step);
bool knownOptimizer(int optimizer);

// Network passes over raw arrays (batch samples in a row).
// keepCopy: the input is copied for the backward pass, because the
// caller's array may change or go before it; training passes its own
// batch buffer, which outlives the step, without a copy.
bool forward(nrv_network* n, const float* x, int batch, bool keepCopy);
const std::vector<float>& outputOf(const nrv_network* n);
int inputSize(const nrv_network* n);
int outputSize(const nrv_network* n);
void backward(nrv_network* n);
void update(nrv_network* n, float rate);
void zeroGradients(nrv_network* n);
bool buildLayers(nrv_network* n);  // checks the chain of sizes and sizes the parameters
// The trainable values of a layer (weights and biases), in double: a
// damaged file's geometry may ask for more than any integer counts.
double parameterCount(const nrv_layer* layer);

}  // namespace nrv
