// Convolution speed of nrvcore: a small image classifier (1x28x28 input,
// 16 3x3 filters with same padding, 32 3x3 filters at stride 2, 10 softmax
// outputs; relu, cross-entropy, Adam) on one BLAS thread. Prints the time
// of one training epoch over 6,000 samples in batches of 32 and of a
// batched inference pass over the same samples (forward only, 256 at a
// time). bench/nrv_torch.py runs the same network in PyTorch.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "nrvBenchData.h"
#include "nrvcore.h"

namespace {

constexpr int SAMPLES = 6000, SIDE = 28, INPUTS = SIDE * SIDE, CLASSES = 10, BATCH = 32,
              INFERENCE_BATCH = 256, REPEATS = 3;

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

nrv_network* makeNetwork()
{
    nrv_network* n = nrv_create("conv", NRV_CRITERION_CCE, NRV_VALIDATION_ARGMAX,
                                NRV_OPTIMIZER_ADAM, false, 0.001f);
    nrv_add_layer(n, INPUTS, NRV_ACTIVATION_NONE, 0.f, "input");
    nrv_add_layer_conv(n, 1, SIDE, SIDE, 16, 3, NRV_ACTIVATION_RELU, 0.f, "conv1", 1, 1);
    nrv_add_layer_conv(n, 16, SIDE, SIDE, 32, 3, NRV_ACTIVATION_RELU, 0.f, "conv2", 2, 1);
    nrv_add_layer(n, CLASSES, NRV_ACTIVATION_SOFTMAX, 0.f, "output");
    nrv_compile(n);
    return n;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : REPEATS;
    nrv_open();  // also limits BLAS to one thread
    const NrvBenchData data = nrvBenchData(SAMPLES, INPUTS, CLASSES);
    nrv_tensor* inputs = data.inputs;
    nrv_tensor* targets = data.targets;
    nrv_tensor* chunk =
        nrv_tensor_create(INFERENCE_BATCH * INPUTS, NRV_TENSOR_ZERO, "chunk", nullptr);

    double train = 1e30, infer = 1e30;
    float cost = 0.f;
    for (int r = 0; r < repeats; ++r) {
        nrv_network* n = makeNetwork();
        nrv_set_train_data(n, SAMPLES, inputs, targets);
        if (n->status) {
            std::fprintf(stderr, "nrv_conv: %s\n", n->message);
            return 1;
        }
        double start = cpuSeconds();
        cost = nrv_train(n, 1, BATCH, 1, 0.f, 0);
        train = std::min(train, cpuSeconds() - start);

        start = cpuSeconds();
        for (int first = 0; first + INFERENCE_BATCH <= SAMPLES; first += INFERENCE_BATCH) {
            std::copy(inputs->data + size_t(first) * INPUTS,
                      inputs->data + size_t(first + INFERENCE_BATCH) * INPUTS, chunk->data);
            nrv_propagate_forward(n, chunk);
        }
        infer = std::min(infer, cpuSeconds() - start);
        if (n->status) {
            std::fprintf(stderr, "nrv_conv: %s\n", n->message);
            return 1;
        }
        nrv_destroy(n);
    }
    std::printf("nrvcore conv 1x28x28-16c3-32c3s2-10, %d samples, Adam, 1 thread, best of %d\n",
                SAMPLES, repeats);
    std::printf("cost after the epoch: %.4f\n", double(cost));
    std::printf("conv training time per epoch (batch %d): %.3f s\n", BATCH, train);
    std::printf("conv inference time (batch %d): %.3f s\n", INFERENCE_BATCH, infer);
    nrv_tensor_destroy(chunk);
    nrv_tensor_destroy(inputs);
    nrv_tensor_destroy(targets);
    nrv_close();
    return 0;
}
