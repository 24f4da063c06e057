// The synthetic data set of the learning-library benchmarks: random inputs
// in [0, 1) and one-hot targets whose class is the band the first input
// falls in, so that there is something to learn (bench/nrv_torch.py makes
// the same).
#pragma once

#include <cstddef>

#include "nrvcore.h"

struct NrvBenchData {
    nrv_tensor* inputs;
    nrv_tensor* targets;
};

inline NrvBenchData nrvBenchData(int samples, int inputSize, int classes)
{
    NrvBenchData data{nrv_tensor_create(samples * inputSize, NRV_TENSOR_RAND, "inputs", nullptr),
                      nrv_tensor_create(samples * classes, NRV_TENSOR_ZERO, "targets", nullptr)};
    for (int s = 0; s < samples; ++s) {
        const int label = int(data.inputs->data[size_t(s) * inputSize] * classes) % classes;
        data.targets->data[size_t(s) * classes + label] = 1.f;
    }
    return data;
}
