// Backward passes against central differences of the loss: every layer
// kind, activation and loss, through chains of layers so the gradient that
// each layer hands to the one before it is checked as well.
#include "nrvInternal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Case {
    std::string label;
    int criterion;
    int outputActivation;
    bool conv;  // a convolution in front of the dense layers
    int stride, padding;
};

nrv_tensor* randomTensor(int size, nrv::Random& r, float scale)
{
    nrv_tensor* t = nrv_tensor_create(size, NRV_TENSOR_ZERO, "t", nullptr);
    for (int i = 0; i < size; ++i) {
        t->data[i] = scale * r.normal();
    }
    return t;
}

class GradientTest : public testing::TestWithParam<Case> {};

TEST_P(GradientTest, BackwardPassMatchesCentralDifferences)
{
    const Case c = GetParam();
    nrv_open();
    nrv_network* n =
        nrv_create("check", c.criterion, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.1f);
    ASSERT_EQ(n->status, 0) << n->message;
    int inputs = 6;
    if (c.conv) {
        // 2 channels of 5x4, 3 filters of 3x3.
        inputs = 2 * 5 * 4;
        ASSERT_NE(nrv_add_layer_conv(n, 2, 5, 4, 3, 3, NRV_ACTIVATION_TANH, 0.f, "conv", c.stride,
                                     c.padding),
                  nullptr)
            << n->message;
    } else {
        ASSERT_NE(nrv_add_layer(n, inputs, NRV_ACTIVATION_NONE, 0.f, "in"), nullptr);
    }
    ASSERT_NE(nrv_add_layer(n, 5, NRV_ACTIVATION_SIGMOID, 0.f, "hidden"), nullptr) << n->message;
    ASSERT_NE(nrv_add_layer(n, 4, c.outputActivation, 0.f, "out"), nullptr) << n->message;
    nrv_compile(n);
    ASSERT_EQ(n->status, 0) << n->message;

    const int batch = 3;
    nrv::Random r(7);
    nrv_tensor* x = randomTensor(batch * inputs, r, 1.f);
    nrv_tensor* t = nrv_tensor_create(batch * 4, NRV_TENSOR_ZERO, "t", nullptr);
    for (int b = 0; b < batch; ++b) {
        for (int i = 0; i < 4; ++i) {
            if (c.criterion == NRV_CRITERION_CCE) {
                t->data[b * 4 + i] = (i == b % 4) ? 1.f : 0.f;
            }
            // Far from the outputs, so no difference step crosses the kink at 0.
            else if (c.criterion == NRV_CRITERION_MAE) {
                t->data[b * 4 + i] = (i % 2 ? 4.f : -4.f) + r.normal();
            } else {
                t->data[b * 4 + i] = (c.criterion == NRV_CRITERION_HUBER ? 3.f : 1.f) * r.normal();
            }
        }
    }
    // Biases start at zero; random ones make the check cover them properly.
    for (nrv_layer* l : n->impl->layers) {
        for (float& v : l->bias.value) {
            v = 0.3f * r.normal();
        }
    }

    auto lossAt = [&] {
        nrv_propagate_forward(n, x);
        return double(nrv_loss(n, t));
    };
    nrv_reset_gradient(n);
    lossAt();
    nrv_propagate_backward(n);
    ASSERT_EQ(n->status, 0) << n->message;

    const float eps = 1e-2f;
    int checked = 0;
    for (nrv_layer* l : n->impl->layers) {
        for (nrv::Param* p : {&l->weights, &l->bias}) {
            for (size_t i = 0; i < p->value.size(); ++i) {
                const float keep = p->value[i];
                p->value[i] = keep + eps;
                const double up = lossAt();
                p->value[i] = keep - eps;
                const double down = lossAt();
                p->value[i] = keep;
                const double numeric = (up - down) / (2 * eps);
                EXPECT_NEAR(p->grad[i], numeric, 2e-3 + 3e-2 * std::fabs(numeric))
                    << c.label << ": layer " << l->name << " parameter " << i;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 50);
    nrv_tensor_destroy(x);
    nrv_tensor_destroy(t);
    nrv_destroy(n);
    nrv_close();
}

INSTANTIATE_TEST_SUITE_P(
    LayersActivationsLosses, GradientTest,
    testing::Values(
        Case{"dense none mse", NRV_CRITERION_MSE, NRV_ACTIVATION_NONE, false, 1, 0},
        Case{"dense relu mse", NRV_CRITERION_MSE, NRV_ACTIVATION_RELU, false, 1, 0},
        Case{"dense tanh mse", NRV_CRITERION_MSE, NRV_ACTIVATION_TANH, false, 1, 0},
        Case{"dense sigmoid mse", NRV_CRITERION_MSE, NRV_ACTIVATION_SIGMOID, false, 1, 0},
        Case{"dense softmax mse", NRV_CRITERION_MSE, NRV_ACTIVATION_SOFTMAX, false, 1, 0},
        Case{"dense softmax cce", NRV_CRITERION_CCE, NRV_ACTIVATION_SOFTMAX, false, 1, 0},
        Case{"dense none mae", NRV_CRITERION_MAE, NRV_ACTIVATION_NONE, false, 1, 0},
        Case{"dense none huber", NRV_CRITERION_HUBER, NRV_ACTIVATION_NONE, false, 1, 0},
        Case{"conv same padding", NRV_CRITERION_MSE, NRV_ACTIVATION_TANH, true, 1, 1},
        Case{"conv stride 2", NRV_CRITERION_MSE, NRV_ACTIVATION_NONE, true, 2, 0},
        Case{"conv softmax cce", NRV_CRITERION_CCE, NRV_ACTIVATION_SOFTMAX, true, 1, 1}),
    [](const testing::TestParamInfo<Case>& info) {
        std::string s = info.param.label;
        for (char& ch : s) {
            if (!isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return s;
    });

// The activation of a convolution itself (relu here) must be checked too:
// a net of one relu convolution straight to the loss.
TEST(GradientTest, ReluConvolutionAlone)
{
    nrv_open();
    nrv_network* n =
        nrv_create("c", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.1f);
    ASSERT_NE(nrv_add_layer(n, 16, NRV_ACTIVATION_NONE, 0.f, nullptr), nullptr);
    ASSERT_NE(nrv_add_layer_conv(n, 1, 4, 4, 2, 2, NRV_ACTIVATION_RELU, 0.f, nullptr, 1, 0),
              nullptr)
        << n->message;
    nrv_compile(n);
    nrv::Random r(3);
    nrv_tensor* x = randomTensor(2 * 16, r, 1.f);
    nrv_tensor* t = randomTensor(2 * 18, r, 1.f);
    nrv_reset_gradient(n);
    nrv_propagate_forward(n, x);
    nrv_loss(n, t);
    nrv_propagate_backward(n);
    nrv_layer* l = n->impl->layers[1];
    for (size_t i = 0; i < l->weights.value.size(); ++i) {
        const float keep = l->weights.value[i], eps = 1e-3f;
        l->weights.value[i] = keep + eps;
        nrv_propagate_forward(n, x);
        const double up = nrv_loss(n, t);
        l->weights.value[i] = keep - eps;
        nrv_propagate_forward(n, x);
        const double down = nrv_loss(n, t);
        l->weights.value[i] = keep;
        EXPECT_NEAR(l->weights.grad[i], (up - down) / (2 * eps), 2e-3);
    }
    nrv_tensor_destroy(x);
    nrv_tensor_destroy(t);
    nrv_destroy(n);
    nrv_close();
}

}  // namespace

// A batch whose im2col columns are too large to keep is unfolded again, in
// groups, for the backward pass: its outputs and gradients must be those of
// the same samples in batches small enough to keep their columns.
TEST(GradientTest, LargeConvolutionBatchMatchesSmallBatches)
{
    constexpr int CHANNELS = 4, SIDE = 64, FILTERS = 3, INPUTS = CHANNELS * SIDE * SIDE,
                  OUTPUTS = FILTERS * SIDE * SIDE, BATCH = 60, HALF = BATCH / 2;
    nrv_open();
    nrv_network* n =
        nrv_create("c", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.1f);
    ASSERT_NE(nrv_add_layer(n, INPUTS, NRV_ACTIVATION_NONE, 0.f, nullptr), nullptr);
    ASSERT_NE(nrv_add_layer_conv(n, CHANNELS, SIDE, SIDE, FILTERS, 3, NRV_ACTIVATION_TANH, 0.f,
                                 nullptr, 1, 1),
              nullptr)
        << n->message;
    nrv_compile(n);
    nrv::Random r(5);
    nrv_tensor* x = randomTensor(BATCH * INPUTS, r, 1.f);
    nrv_tensor* t = randomTensor(BATCH * OUTPUTS, r, 0.5f);
    nrv_layer* conv = n->impl->layers[1];

    nrv_reset_gradient(n);
    nrv_propagate_forward(n, x);
    nrv_loss(n, t);
    nrv_propagate_backward(n);
    ASSERT_EQ(conv->colsBatch, 0) << "the test batch must be too large to keep its columns";
    const std::vector<float> wholeOutput = conv->y, wholeGradient = conv->weights.grad,
                             wholeBias = conv->bias.grad;

    // The loss averages over the batch, so each half's gradient counts half.
    std::vector<float> halvesGradient(wholeGradient.size()), halvesBias(wholeBias.size());
    for (int half = 0; half < 2; ++half) {
        nrv_tensor* xh = nrv_tensor_create(HALF * INPUTS, NRV_TENSOR_ZERO, "x", nullptr);
        nrv_tensor* th = nrv_tensor_create(HALF * OUTPUTS, NRV_TENSOR_ZERO, "t", nullptr);
        std::copy(x->data + size_t(half) * HALF * INPUTS,
                  x->data + size_t(half + 1) * HALF * INPUTS, xh->data);
        std::copy(t->data + size_t(half) * HALF * OUTPUTS,
                  t->data + size_t(half + 1) * HALF * OUTPUTS, th->data);
        nrv_reset_gradient(n);
        nrv_propagate_forward(n, xh);
        nrv_loss(n, th);
        nrv_propagate_backward(n);
        ASSERT_EQ(conv->colsBatch, HALF);
        for (size_t i = 0; i < size_t(HALF) * OUTPUTS; ++i) {
            ASSERT_NEAR(conv->y[i], wholeOutput[size_t(half) * HALF * OUTPUTS + i], 1e-5f) << i;
        }
        for (size_t i = 0; i < halvesGradient.size(); ++i) {
            halvesGradient[i] += 0.5f * conv->weights.grad[i];
        }
        for (size_t i = 0; i < halvesBias.size(); ++i) {
            halvesBias[i] += 0.5f * conv->bias.grad[i];
        }
        nrv_tensor_destroy(xh);
        nrv_tensor_destroy(th);
    }
    for (size_t i = 0; i < wholeGradient.size(); ++i) {
        EXPECT_NEAR(wholeGradient[i], halvesGradient[i],
                    1e-4f * (1.f + std::fabs(wholeGradient[i])))
            << i;
    }
    for (size_t i = 0; i < wholeBias.size(); ++i) {
        EXPECT_NEAR(wholeBias[i], halvesBias[i], 1e-4f * (1.f + std::fabs(wholeBias[i]))) << i;
    }
    nrv_tensor_destroy(x);
    nrv_tensor_destroy(t);
    nrv_destroy(n);
    nrv_close();
}
