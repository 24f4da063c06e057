// Training speed of nrvcore: a 784-128-10 dense network (relu, softmax,
// cross-entropy, Adam) over 60,000 synthetic MNIST-sized samples, one
// epoch in batches of 32, on one BLAS thread. Prints the processor time per
// epoch, best of the repeats (argument, default 3).
// bench/nrv_torch.py runs the same network in PyTorch.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "nrvBenchData.h"
#include "nrvcore.h"

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    constexpr int SAMPLES = 60000, INPUTS = 784, HIDDEN = 128, CLASSES = 10, BATCH = 32;
    nrv_open();  // also limits BLAS to one thread
    const NrvBenchData data = nrvBenchData(SAMPLES, INPUTS, CLASSES);
    nrv_tensor* inputs = data.inputs;
    nrv_tensor* targets = data.targets;
    double seconds = 1e30;
    float cost = 0.f;
    for (int r = 0; r < repeats; ++r) {
        nrv_network* n = nrv_create("bench", NRV_CRITERION_CCE, NRV_VALIDATION_ARGMAX,
                                    NRV_OPTIMIZER_ADAM, false, 0.001f);
        nrv_add_layer(n, INPUTS, NRV_ACTIVATION_NONE, 0.f, "input");
        nrv_add_layer(n, HIDDEN, NRV_ACTIVATION_RELU, 0.f, "hidden");
        nrv_add_layer(n, CLASSES, NRV_ACTIVATION_SOFTMAX, 0.f, "output");
        nrv_compile(n);
        nrv_set_train_data(n, SAMPLES, inputs, targets);
        if (n->status) {
            std::fprintf(stderr, "nrv_dense: %s\n", n->message);
            return 1;
        }
        const double start = double(std::clock()) / CLOCKS_PER_SEC;
        cost = nrv_train(n, 1, BATCH, 1, 0.f, 0);
        seconds = std::min(seconds, double(std::clock()) / CLOCKS_PER_SEC - start);
        if (n->status) {
            std::fprintf(stderr, "nrv_dense: %s\n", n->message);
            return 1;
        }
        nrv_destroy(n);
    }
    std::printf("nrvcore 784-128-10 dense, 60000 samples, batch 32, Adam, 1 thread, best of %d\n",
                repeats);
    std::printf("cost after the epoch: %.4f (the first epoch's evaluation pass included)\n",
                double(cost));
    std::printf("time per epoch: %.3f s\n", seconds);
    nrv_tensor_destroy(inputs);
    nrv_tensor_destroy(targets);
    nrv_close();
    return 0;
}
