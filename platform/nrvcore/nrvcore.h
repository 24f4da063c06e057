// nrvcore: a small deep-learning library of float32 tensors and networks of
// dense and 2-D convolution layers. See README.md for the meaning of every
// integer argument and for the file formats.
#pragma once

#include <cstdint>
#include <cstdio>

// Values scripts pass through to the library.
enum : int {
    NRV_TENSOR_ZERO = 0,
    NRV_TENSOR_RAND = 7,

    NRV_ACTIVATION_NONE = 1,
    NRV_ACTIVATION_RELU = 2,
    NRV_ACTIVATION_TANH = 4,
    NRV_ACTIVATION_SIGMOID = 5,
    NRV_ACTIVATION_SOFTMAX = 6,

    NRV_CRITERION_MSE = 1,
    NRV_CRITERION_CCE = 2,
    NRV_CRITERION_MAE = 3,
    NRV_CRITERION_HUBER = 4,

    NRV_OPTIMIZER_SGD = 0,
    NRV_OPTIMIZER_RMSPROP = 1,
    NRV_OPTIMIZER_RPROP = 2,
    NRV_OPTIMIZER_ADAM = 3,
    NRV_OPTIMIZER_ADAMAX = 4,

    NRV_VALIDATION_LOSS = 1,
    NRV_VALIDATION_ARGMAX = 2,
};

// Low four bits of a status word: 1 when the last operation failed.
constexpr int32_t NRV_STATUS_FAILED = 1;
constexpr int32_t NRV_STATUS_MASK = 0xF;
constexpr int NRV_MESSAGE_SIZE = 256;

// A tensor. The first three fields are read and written by callers: the
// element array, the element count and four statistics (mean, standard
// deviation, L2 norm, and 1 when the first three describe the current
// elements, 0 once an element was written since).
struct nrv_tensor {
    float* data;
    int32_t size;
    float stats[4];
    // Library-owned from here on.
    int32_t status;  // low four bits 1 after a failed element access
    char message[NRV_MESSAGE_SIZE];
    char name[64];
    float normMean;    // what tensor_normalize subtracted...
    float normStddev;  // ...and divided by (1 and 0 when not normalised)
};

struct nrv_network_impl;
struct nrv_layer;

// A network. Callers read the status word and message after each operation.
struct nrv_network {
    int32_t status;
    char message[NRV_MESSAGE_SIZE];
    nrv_network_impl* impl;
};

// Library lifetime: counted, so several users can open and close it.
void nrv_open();
void nrv_close();
int nrv_open_count();

// Random numbers and time.
float nrv_randn(float mean, float stddev);
float nrv_rand(float low, float high);
void nrv_seed(uint64_t seed);
uint32_t nrv_milliseconds();
void nrv_print_duration(const char* label, int value, char unit);

// Tensors.
nrv_tensor* nrv_tensor_create(int size, int kind, const char* name, const nrv_tensor* source);
int nrv_tensor_reset(nrv_tensor* t, int kind, const nrv_tensor* source);
void nrv_tensor_set(nrv_tensor* t, int index, float value);
float nrv_tensor_get(nrv_tensor* t, int index);
int nrv_tensor_size(const nrv_tensor* t);
nrv_tensor* nrv_tensor_copy(const nrv_tensor* t);
void nrv_tensor_stats(nrv_tensor* t);
float nrv_tensor_mean(nrv_tensor* t);
float nrv_tensor_stddev(nrv_tensor* t);
float nrv_tensor_max(nrv_tensor* t);
float nrv_tensor_min(nrv_tensor* t);
void nrv_tensor_normalize(nrv_tensor* t, float mean, float stddev);
void nrv_tensor_denormalize(nrv_tensor* t);
void nrv_tensor_print(const nrv_tensor* t, const char* text, int count);
int nrv_tensor_save(FILE* file, const nrv_tensor* t, uint64_t* bytes, int flags);
nrv_tensor* nrv_tensor_load(FILE* file, uint64_t* bytes, uint64_t* records, int flags,
                            nrv_tensor** into);
void nrv_tensor_destroy(void* t);  // void* so it serves as a table destructor
int nrv_argmax(const nrv_tensor* t);

// Networks and layers.
nrv_network* nrv_create(const char* name, int criterion, int validation, int optimizer,
                        bool verbose, float rate);
nrv_network* nrv_load(const char* file);
int nrv_save(nrv_network* n, const char* file, bool withOptimizerState);
void nrv_destroy(void* n);  // void* so it serves as a table destructor
void nrv_set_log(nrv_network* n, const char* file, bool append);
void nrv_summary(nrv_network* n);
nrv_layer* nrv_add_layer(nrv_network* n, int size, int activation, float initScale,
                         const char* name);
nrv_layer* nrv_add_layer_conv(nrv_network* n, int channels, int height, int width, int filters,
                              int kernel, int activation, float initScale, const char* name,
                              int stride, int padding);
int nrv_get_layer_input_size(const nrv_layer* layer);
int nrv_get_layer_output_size(const nrv_layer* layer);
int nrv_layer_count(const nrv_network* n);
nrv_layer* nrv_get_layer(const nrv_network* n, int index);
void nrv_compile(nrv_network* n);
void nrv_reset_gradient(nrv_network* n);
void nrv_propagate_forward(nrv_network* n, const nrv_tensor* input);
float nrv_loss(nrv_network* n, const nrv_tensor* target);
void nrv_propagate_backward(nrv_network* n);
void nrv_update_parameters(nrv_network* n, float rate);
nrv_tensor* nrv_get_output(nrv_network* n);
void nrv_save_cost(nrv_network* n, const char* file);

// The tensors a network owns and hands out (output and sample views), so a
// caller can recognise them; they live until the network is destroyed.
int nrv_owned_tensor_count(const nrv_network* n);
nrv_tensor* nrv_owned_tensor(const nrv_network* n, int index);

// Training, test data and prediction. Sample and epoch numbers count from 0.
int nrv_init_train(nrv_network* n, int samples, int inputSize, int targetSize,
                   int validationPercent);
nrv_tensor* nrv_get_train_input(nrv_network* n, int sample);
nrv_tensor* nrv_get_train_target(nrv_network* n, int sample);
nrv_tensor* nrv_get_train_output(nrv_network* n, int sample);
int nrv_set_train_data(nrv_network* n, int count, const nrv_tensor* inputs,
                       const nrv_tensor* targets);
float nrv_train(nrv_network* n, int epochs, int batchSize, int seed, float rate, int patience);
int nrv_init_test(nrv_network* n, int samples, int inputSize, int targetSize);
nrv_tensor* nrv_get_test_input(nrv_network* n, int sample);
nrv_tensor* nrv_get_test_target(nrv_network* n, int sample);
nrv_tensor* nrv_get_test_output(nrv_network* n, int sample);
int nrv_set_test_data(nrv_network* n, int count, const nrv_tensor* inputs,
                      const nrv_tensor* targets);
float nrv_predict_byindex(nrv_network* n, int sample);
float nrv_predict(nrv_network* n, const nrv_tensor* input, const nrv_tensor* target,
                  nrv_tensor* output);
int nrv_get_best_epoch(nrv_network* n);
float nrv_get_cost_train(nrv_network* n, int epoch);
float nrv_get_cost_validation(nrv_network* n, int epoch);
float nrv_get_accuracy(nrv_network* n, int epoch);
int nrv_mnist_load_train(nrv_network* n, const char* images, const char* labels);
int nrv_mnist_load_test(nrv_network* n, const char* images, const char* labels);
