// Networks: status and log, layers, compile, and the single steps of
// learning (forward pass, loss, backward pass, parameter update).
#include "nrvInternal.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace nrv {

namespace {
// Largest layer width accepted, far beyond what fits a float tensor batch.
constexpr int MAX_LAYER_SIZE = 1 << 24;
}  // namespace

bool computeReady(nrv_network* n)
{
    clearStatus(n);
    if (!n->impl->compiled) {
        return fail(n, "network not compiled");
    }
    return true;
}

void clearStatus(nrv_network* n)
{
    n->status = 0;
    n->message[0] = 0;
}

bool fail(nrv_network* n, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(n->message, sizeof n->message, format, args);
    va_end(args);
    n->status = NRV_STATUS_FAILED;
    logLine(n, "error: %s", n->message);
    return false;
}

void logLine(nrv_network* n, const char* format, ...)
{
    FILE* log = n->impl->log;
    if (!log) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fflush(log);
}

int inputSize(const nrv_network* n)
{
    return n->impl->layers.empty() ? 0 : n->impl->layers.front()->inSize;
}

int outputSize(const nrv_network* n)
{
    return n->impl->layers.empty() ? 0 : n->impl->layers.back()->outSize;
}

const std::vector<float>& outputOf(const nrv_network* n) { return n->impl->layers.back()->y; }

bool forward(nrv_network* n, const float* x, int batch, bool keepCopy)
{
    nrv_network_impl* m = n->impl;
    if (keepCopy) {
        m->inputCopy.assign(x, x + size_t(batch) * inputSize(n));
        x = m->inputCopy.data();
    }
    m->input = x;
    m->batch = batch;
    m->outputGradient.clear();
    const float* in = x;
    for (nrv_layer* l : m->layers) {
        forwardLayer(l, in, batch);
        in = l->y.data();
    }
    return true;
}

void backward(nrv_network* n)
{
    nrv_network_impl* m = n->impl;
    auto& layers = m->layers;
    std::copy(m->outputGradient.begin(), m->outputGradient.end(), layers.back()->dz.begin());
    for (size_t i = layers.size(); i-- > 0;) {
        const float* x = i == 0 ? m->input : layers[i - 1]->y.data();
        const bool passOn = i > 0 && layers[i - 1]->kind != LayerKind::INPUT;
        backwardLayer(layers[i], x, passOn ? layers[i - 1]->dz.data() : nullptr, m->batch);
    }
}

void zeroGradients(nrv_network* n)
{
    for (nrv_layer* l : n->impl->layers) {
        std::fill(l->weights.grad.begin(), l->weights.grad.end(), 0.f);
        std::fill(l->bias.grad.begin(), l->bias.grad.end(), 0.f);
    }
}

void update(nrv_network* n, float rate)
{
    nrv_network_impl* m = n->impl;
    ++m->step;
    for (nrv_layer* l : m->layers) {
        updateParam(l->weights, m->optimizer, rate, m->step);
        updateParam(l->bias, m->optimizer, rate, m->step);
    }
}

double parameterCount(const nrv_layer* l)
{
    if (l->kind == LayerKind::DENSE) {
        return (double(l->inSize) + 1) * l->outSize;
    }
    if (l->kind == LayerKind::CONV) {
        return (double(l->channels) * l->kernel * l->kernel + 1) * l->filters;
    }
    return 0;
}

bool buildLayers(nrv_network* n)
{
    auto& layers = n->impl->layers;
    if (layers.size() < 2) {
        return fail(n, "a network needs an input layer and at least one more");
    }
    for (size_t i = 1; i < layers.size(); ++i) {
        if (layers[i]->kind == LayerKind::INPUT) {
            return fail(n, "layer %zu: misplaced input layer", i + 1);
        }
    }
    // Each parameter has its value, gradient and two optimiser states.
    double floats = 0;
    for (const nrv_layer* l : layers) {
        floats += 4.0 * parameterCount(l);
    }
    if (!affordable(n, floats)) {
        return false;
    }
    for (nrv_layer* l : layers) {
        if (l->kind == LayerKind::DENSE) {
            l->weights.resize(size_t(l->outSize) * l->inSize);
            l->bias.resize(size_t(l->outSize));
        } else if (l->kind == LayerKind::CONV) {
            l->weights.resize(size_t(l->filters) * l->channels * l->kernel * l->kernel);
            l->bias.resize(size_t(l->filters));
        }
    }
    n->impl->compiled = true;
    return true;
}

}  // namespace nrv

using nrv::fail;

nrv_network* nrv_create(const char* name, int criterion, int validation, int optimizer,
                        bool verbose, float rate)
{
    auto* n = new (std::nothrow) nrv_network{};
    if (!n) {
        return nullptr;
    }
    n->impl = new (std::nothrow) nrv_network_impl{};
    if (!n->impl) {
        delete n;
        return nullptr;
    }
    nrv_network_impl* m = n->impl;
    m->name = name ? name : "";
    m->criterion = criterion;
    m->validation = validation;
    m->optimizer = optimizer;
    m->verbose = verbose;
    m->rate = rate;
    for (auto& t : m->owned) {
        t = nrv::newTensor(0, "network");
    }
    for (auto* t : m->owned) {
        if (!t) {
            nrv_destroy(n);
            return nullptr;
        }
    }
    if (!nrv::knownCriterion(criterion)) {
        fail(n, "unknown criterion %d", criterion);
    } else if (validation != NRV_VALIDATION_LOSS && validation != NRV_VALIDATION_ARGMAX) {
        fail(n, "unknown validation %d", validation);
    } else if (!nrv::knownOptimizer(optimizer)) {
        fail(n, "unknown optimizer %d", optimizer);
    } else if (!(rate > 0.f)) {
        fail(n, "learning rate must be positive");
    }
    return n;
}

void nrv_destroy(void* p)
{
    auto* n = static_cast<nrv_network*>(p);
    if (!n) {
        return;
    }
    if (n->impl) {
        for (nrv_layer* l : n->impl->layers) {
            delete l;
        }
        for (nrv_tensor* t : n->impl->owned) {
            nrv_tensor_destroy(t);
        }
        if (n->impl->log) {
            std::fclose(n->impl->log);
        }
        delete n->impl;
    }
    delete n;
}

void nrv_set_log(nrv_network* n, const char* file, bool append)
{
    nrv::clearStatus(n);
    if (n->impl->log) {
        std::fclose(n->impl->log);
    }
    n->impl->log = std::fopen(file, append ? "a" : "w");
    if (!n->impl->log) {
        fail(n, "cannot open log file '%s'", file);
        return;
    }
    nrv::logLine(n, "network %s: log opened", n->impl->name.c_str());
}

void nrv_summary(nrv_network* n)
{
    nrv::clearStatus(n);
    const nrv_network_impl* m = n->impl;
    std::printf("network %s: %zu layers%s\n", m->name.c_str(), m->layers.size(),
                m->compiled ? "" : " (not compiled)");
    size_t total = 0;
    for (size_t i = 0; i < m->layers.size(); ++i) {
        const nrv_layer* l = m->layers[i];
        const size_t params = size_t(nrv::parameterCount(l));
        total += params;
        const char* kind = l->kind == nrv::LayerKind::INPUT   ? "input"
                           : l->kind == nrv::LayerKind::DENSE ? "dense"
                                                              : "conv2d";
        std::printf("  %2zu %-7s %-12s %7d -> %-7d %-8s %zu parameters\n", i + 1, kind,
                    l->name.empty() ? "-" : l->name.c_str(), l->inSize, l->outSize,
                    nrv::activationName(l->activation), params);
    }
    std::printf("  total %zu parameters\n", total);
    std::fflush(stdout);
}

nrv_layer* nrv_add_layer(nrv_network* n, int size, int activation, float initScale,
                         const char* name)
{
    nrv::clearStatus(n);
    nrv_network_impl* m = n->impl;
    if (m->compiled) {
        return fail(n, "network already compiled"), nullptr;
    }
    if (size <= 0 || size > nrv::MAX_LAYER_SIZE) {
        return fail(n, "invalid layer size %d", size), nullptr;
    }
    if (!nrv::knownActivation(activation)) {
        return fail(n, "unknown activation %d", activation), nullptr;
    }
    const bool first = m->layers.empty();
    if (first && activation != NRV_ACTIVATION_NONE) {
        return fail(n, "the input layer takes no activation"), nullptr;
    }
    auto* l = new (std::nothrow) nrv_layer{};
    if (!l) {
        return fail(n, "%s", KOV_NO_MEMORY), nullptr;
    }
    l->kind = first ? nrv::LayerKind::INPUT : nrv::LayerKind::DENSE;
    l->name = name ? name : "";
    l->activation = activation;
    l->initScale = initScale;
    l->inSize = first ? size : m->layers.back()->outSize;
    l->outSize = size;
    m->layers.push_back(l);
    return l;
}

nrv_layer* nrv_add_layer_conv(nrv_network* n, int channels, int height, int width, int filters,
                              int kernel, int activation, float initScale, const char* name,
                              int stride, int padding)
{
    nrv::clearStatus(n);
    nrv_network_impl* m = n->impl;
    if (m->compiled) {
        return fail(n, "network already compiled"), nullptr;
    }
    if (channels <= 0 || height <= 0 || width <= 0 || filters <= 0 || kernel <= 0 || stride <= 0 ||
        padding < 0 || padding >= kernel) {
        return fail(n, "invalid convolution geometry"), nullptr;
    }
    // Sizes in long from here on, the product in double first: the geometry
    // of a damaged file may overflow any integer.
    if (double(channels) * height * width > nrv::MAX_LAYER_SIZE) {
        return fail(n, "invalid convolution geometry"), nullptr;
    }
    const long inSize = long(channels) * height * width;
    if (!nrv::knownActivation(activation)) {
        return fail(n, "unknown activation %d", activation), nullptr;
    }
    if (height + 2L * padding < kernel || width + 2L * padding < kernel) {
        return fail(n, "kernel %d larger than the padded input", kernel), nullptr;
    }
    if (!m->layers.empty() && m->layers.back()->outSize != inSize) {
        return fail(n, "convolution input %ld does not match the previous layer's output %d",
                    inSize, m->layers.back()->outSize),
               nullptr;
    }
    const long outHeight = (height + 2L * padding - kernel) / stride + 1;
    const long outWidth = (width + 2L * padding - kernel) / stride + 1;
    if (double(filters) * outHeight * outWidth > nrv::MAX_LAYER_SIZE) {
        return fail(n, "invalid convolution geometry"), nullptr;
    }
    auto* l = new (std::nothrow) nrv_layer{};
    if (!l) {
        return fail(n, "%s", KOV_NO_MEMORY), nullptr;
    }
    l->kind = nrv::LayerKind::CONV;
    l->name = name ? name : "";
    l->activation = activation;
    l->initScale = initScale;
    l->channels = channels;
    l->height = height;
    l->width = width;
    l->filters = filters;
    l->kernel = kernel;
    l->stride = stride;
    l->padding = padding;
    l->outHeight = int(outHeight);
    l->outWidth = int(outWidth);
    l->inSize = int(inSize);
    l->outSize = int(long(filters) * outHeight * outWidth);
    m->layers.push_back(l);
    return l;
}

int nrv_get_layer_input_size(const nrv_layer* l) { return l->inSize; }
int nrv_get_layer_output_size(const nrv_layer* l) { return l->outSize; }
int nrv_layer_count(const nrv_network* n) { return int(n->impl->layers.size()); }
nrv_layer* nrv_get_layer(const nrv_network* n, int i)
{
    return i >= 0 && i < nrv_layer_count(n) ? n->impl->layers[size_t(i)] : nullptr;
}

void nrv_compile(nrv_network* n)
{
    nrv::clearStatus(n);
    nrv_network_impl* m = n->impl;
    if (!nrv::buildLayers(n)) {
        return;
    }
    for (nrv_layer* l : m->layers) {
        nrv::initLayer(l, m->random);
    }
    m->step = 0;
    nrv::logLine(n, "network %s: compiled, %zu layers, %d inputs, %d outputs", m->name.c_str(),
                 m->layers.size(), nrv::inputSize(n), nrv::outputSize(n));
}

void nrv_reset_gradient(nrv_network* n)
{
    nrv::clearStatus(n);
    nrv::zeroGradients(n);
}

void nrv_propagate_forward(nrv_network* n, const nrv_tensor* input)
{
    if (!nrv::computeReady(n)) {
        return;
    }
    const int in = nrv::inputSize(n);
    if (input->size <= 0 || input->size % in != 0) {
        fail(n, "input size %d is not a multiple of the network input %d", input->size, in);
        return;
    }
    nrv::forward(n, input->data, input->size / in, true);
    nrv_tensor* out = n->impl->owned[nrv::OWNED_OUTPUT];
    const auto& y = nrv::outputOf(n);
    if (!nrv::resizeTensor(out, int(y.size()))) {
        fail(n, "%s", KOV_NO_MEMORY);
        return;
    }
    std::copy(y.begin(), y.end(), out->data);
    nrv::markWritten(out);
}

float nrv_loss(nrv_network* n, const nrv_tensor* target)
{
    if (!nrv::computeReady(n)) {
        return 0.f;
    }
    nrv_network_impl* m = n->impl;
    const int out = nrv::outputSize(n);
    if (m->batch <= 0) {
        return fail(n, "no forward pass to compare with"), 0.f;
    }
    if (target->size != m->batch * out) {
        return fail(n, "target size %d does not match the output size %d", target->size,
                    m->batch * out),
               0.f;
    }
    m->outputGradient.resize(size_t(target->size));
    m->lastLoss = nrv::lossValue(m->criterion, nrv::outputOf(n).data(), target->data,
                                 m->outputGradient.data(), m->batch, out);
    return m->lastLoss;
}

void nrv_propagate_backward(nrv_network* n)
{
    if (!nrv::computeReady(n)) {
        return;
    }
    if (n->impl->outputGradient.empty()) {
        fail(n, "no loss computed since the last forward pass");
        return;
    }
    nrv::backward(n);
}

void nrv_update_parameters(nrv_network* n, float rate)
{
    if (!nrv::computeReady(n)) {
        return;
    }
    nrv::update(n, rate > 0.f ? rate : n->impl->rate);
}

nrv_tensor* nrv_get_output(nrv_network* n)
{
    nrv::clearStatus(n);
    return n->impl->owned[nrv::OWNED_OUTPUT];
}

int nrv_owned_tensor_count(const nrv_network*) { return 7; }

nrv_tensor* nrv_owned_tensor(const nrv_network* n, int index)
{
    return index >= 0 && index < 7 ? n->impl->owned[index] : nullptr;
}

void nrv_save_cost(nrv_network* n, const char* file)
{
    nrv::clearStatus(n);
    const nrv_network_impl* m = n->impl;
    FILE* f = std::fopen(file, "w");
    if (!f) {
        fail(n, "cannot create file '%s'", file);
        return;
    }
    std::fprintf(f, "# epoch\tcost train\tcost validation\taccuracy\n");
    for (size_t e = 0; e < m->costTrain.size(); ++e) {
        std::fprintf(f, "%zu\t%.7g\t%.7g\t%.7g\n", e + 1, double(m->costTrain[e]),
                     double(m->costValidation[e]), double(m->accuracy[e]));
    }
    if (std::fclose(f) != 0) {
        fail(n, "cannot write file '%s'", file);
    }
}
