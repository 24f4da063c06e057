#include "nrvcore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tempFolder.h"

namespace {

struct Library {
    Library() { nrv_open(); }
    ~Library() { nrv_close(); }
};

nrv_tensor* fromValues(const std::vector<float>& values)
{
    nrv_tensor* t = nrv_tensor_create(int(values.size()), NRV_TENSOR_ZERO, "v", nullptr);
    for (size_t i = 0; i < values.size(); ++i) {
        t->data[i] = values[i];
    }
    return t;
}

const std::vector<float> XOR_INPUTS = {0, 0, 0, 1, 1, 0, 1, 1};
const std::vector<float> XOR_TARGETS = {0, 1, 1, 0};

nrv_network* xorNetwork(int optimizer, float rate)
{
    nrv_network* n =
        nrv_create("xor", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, optimizer, false, rate);
    nrv_add_layer(n, 2, NRV_ACTIVATION_NONE, 0.f, "in");
    nrv_add_layer(n, 8, NRV_ACTIVATION_TANH, 0.f, "hidden");
    nrv_add_layer(n, 1, NRV_ACTIVATION_SIGMOID, 0.f, "out");
    nrv_compile(n);
    return n;
}

float trainXor(nrv_network* n, int epochs)
{
    nrv_tensor* x = fromValues(XOR_INPUTS);
    nrv_tensor* t = fromValues(XOR_TARGETS);
    EXPECT_EQ(nrv_set_train_data(n, 4, x, t), 4) << n->message;
    const float cost = nrv_train(n, epochs, 4, 0, 0.f, 0);
    EXPECT_EQ(n->status, 0) << n->message;
    nrv_tensor_destroy(x);
    nrv_tensor_destroy(t);
    return cost;
}

struct OptimizerCase {
    const char* name;
    int optimizer;
    float rate;
    int epochs;
};

class OptimizerTest : public testing::TestWithParam<OptimizerCase> {};

// Every optimiser learns XOR: all four outputs on the right side of 0.5.
TEST_P(OptimizerTest, LearnsXor)
{
    Library lib;
    const auto c = GetParam();
    nrv_network* n = xorNetwork(c.optimizer, c.rate);
    ASSERT_EQ(n->status, 0) << n->message;
    const float cost = trainXor(n, c.epochs);
    EXPECT_LT(cost, 0.05f);
    EXPECT_LE(nrv_get_cost_train(n, c.epochs - 1), nrv_get_cost_train(n, 0));
    for (int s = 0; s < 4; ++s) {
        nrv_tensor* in = fromValues({XOR_INPUTS[2 * s], XOR_INPUTS[2 * s + 1]});
        const float y = nrv_predict(n, in, nullptr, nullptr);
        EXPECT_EQ(y > 0.5f, XOR_TARGETS[s] > 0.5f) << "sample " << s << " gave " << y;
        nrv_tensor_destroy(in);
    }
    EXPECT_FLOAT_EQ(nrv_get_accuracy(n, c.epochs - 1), 1.f);
    nrv_destroy(n);
}

INSTANTIATE_TEST_SUITE_P(AllOptimizers, OptimizerTest,
                         testing::Values(OptimizerCase{"Sgd", NRV_OPTIMIZER_SGD, 2.f, 3000},
                                         OptimizerCase{"RmsProp", NRV_OPTIMIZER_RMSPROP, 0.01f,
                                                       1500},
                                         OptimizerCase{"Rprop", NRV_OPTIMIZER_RPROP, 0.01f, 500},
                                         OptimizerCase{"Adam", NRV_OPTIMIZER_ADAM, 0.05f, 500},
                                         OptimizerCase{"AdaMax", NRV_OPTIMIZER_ADAMAX, 0.05f, 800}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkTest, TrainingRepeatsExactly)
{
    Library lib;
    std::vector<float> runs[2];
    for (auto& costs : runs) {
        nrv_network* n = xorNetwork(NRV_OPTIMIZER_ADAM, 0.05f);
        trainXor(n, 50);
        for (int e = 0; e < 50; ++e) {
            costs.push_back(nrv_get_cost_train(n, e));
        }
        nrv_destroy(n);
    }
    EXPECT_EQ(runs[0], runs[1]);
}

TEST(NetworkTest, SavedNetworkPredictsAndTrainsOnLikeTheOriginal)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    const std::string file = folder.file("xor.nrv");
    nrv_network* n = xorNetwork(NRV_OPTIMIZER_ADAM, 0.05f);
    trainXor(n, 100);
    ASSERT_EQ(nrv_save(n, file.c_str(), true), 1) << n->message;
    nrv_network* loaded = nrv_load(file.c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->status, 0) << loaded->message;
    nrv_tensor* x = fromValues(XOR_INPUTS);
    nrv_tensor* y1 = nrv_tensor_create(4, NRV_TENSOR_ZERO, "y1", nullptr);
    nrv_tensor* y2 = nrv_tensor_create(4, NRV_TENSOR_ZERO, "y2", nullptr);
    nrv_predict(n, x, nullptr, y1);
    nrv_predict(loaded, x, nullptr, y2);
    EXPECT_EQ(0, std::memcmp(y1->data, y2->data, 4 * sizeof(float)));
    // With the optimiser state saved, further training matches step for step.
    const float a = trainXor(n, 20), b = trainXor(loaded, 20);
    EXPECT_EQ(a, b);
    for (nrv_tensor* t : {x, y1, y2}) {
        nrv_tensor_destroy(t);
    }
    nrv_destroy(n);
    nrv_destroy(loaded);
}

TEST(NetworkTest, DamagedNetworkFilesAreRefusedWithTheirReason)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    nrv_network* n = xorNetwork(NRV_OPTIMIZER_ADAM, 0.05f);
    const std::string good = folder.file("good.nrv");
    ASSERT_EQ(nrv_save(n, good.c_str(), false), 1);
    const std::string bytes = readAll(good);
    std::string otherVersion = bytes;
    otherVersion[4] = 9;
    struct {
        std::string name, content, expected;
    } cases[] = {
        {"text.nrv", "hello world", "is not a network file"},
        {"short.nrv", bytes.substr(0, bytes.size() - 3), "truncated network file"},
        {"header.nrv", bytes.substr(0, 20), "truncated network file"},
        {"version.nrv", otherVersion, "unsupported network file version 9"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.write(c.name, c.content);
        nrv_network* bad = nrv_load(path.c_str());
        ASSERT_NE(bad, nullptr);
        EXPECT_EQ(bad->status & NRV_STATUS_MASK, NRV_STATUS_FAILED) << c.name;
        EXPECT_NE(std::string(bad->message).find(c.expected), std::string::npos) << bad->message;
        nrv_destroy(bad);
    }
    nrv_network* missing = nrv_load(folder.file("none.nrv").c_str());
    EXPECT_NE(std::string(missing->message).find("cannot open file"), std::string::npos);
    nrv_destroy(missing);
    nrv_destroy(n);
}

TEST(NetworkTest, RefusesMisuseThroughItsStatus)
{
    Library lib;
    nrv_network* n =
        nrv_create("m", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_ADAM, false, 0.1f);
    nrv_tensor* x = fromValues({1, 2, 3});
    nrv_propagate_forward(n, x);
    EXPECT_STREQ(n->message, "network not compiled");
    EXPECT_EQ(nrv_add_layer(n, 4, NRV_ACTIVATION_RELU, 0.f, nullptr), nullptr);
    EXPECT_STREQ(n->message, "the input layer takes no activation");
    nrv_add_layer(n, 4, NRV_ACTIVATION_NONE, 0.f, nullptr);
    EXPECT_EQ(n->status, 0);
    EXPECT_EQ(nrv_add_layer_conv(n, 1, 3, 3, 2, 2, NRV_ACTIVATION_RELU, 0.f, nullptr, 1, 0),
              nullptr);
    EXPECT_NE(std::string(n->message).find("does not match the previous layer's output 4"),
              std::string::npos);
    nrv_layer* conv = nrv_add_layer_conv(n, 1, 2, 2, 3, 2, NRV_ACTIVATION_RELU, 0.f, nullptr, 1, 1);
    ASSERT_NE(conv, nullptr) << n->message;
    EXPECT_EQ(nrv_get_layer_input_size(conv), 4);
    EXPECT_EQ(nrv_get_layer_output_size(conv), 3 * 3 * 3);
    nrv_add_layer(n, 2, 9, 0.f, nullptr);
    EXPECT_STREQ(n->message, "unknown activation 9");
    nrv_add_layer(n, 2, NRV_ACTIVATION_SOFTMAX, 0.f, nullptr);
    nrv_compile(n);
    ASSERT_EQ(n->status, 0) << n->message;
    nrv_propagate_forward(n, x);
    EXPECT_STREQ(n->message, "input size 3 is not a multiple of the network input 4");
    nrv_propagate_backward(n);
    EXPECT_STREQ(n->message, "no loss computed since the last forward pass");
    nrv_get_cost_train(n, 0);
    EXPECT_STREQ(n->message, "index out of range");
    nrv_get_train_input(n, 0);
    EXPECT_STREQ(n->message, "index out of range");
    nrv_train(n, 1, 1, 0, 0.f, 0);
    EXPECT_STREQ(n->message, "no training data");
    nrv_tensor_destroy(x);
    nrv_destroy(n);

    nrv_network* bad = nrv_create("b", 7, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_ADAM, false, 0.1f);
    EXPECT_STREQ(bad->message, "unknown criterion 7");
    nrv_destroy(bad);
}

TEST(NetworkTest, ValidationShareIsHeldOutAndTheBestEpochFollowsItsCost)
{
    Library lib;
    // 10 samples, 20% validation: the last two, which training never sees.
    nrv_network* n =
        nrv_create("v", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_ADAM, false, 0.05f);
    nrv_add_layer(n, 1, NRV_ACTIVATION_NONE, 0.f, nullptr);
    nrv_add_layer(n, 1, NRV_ACTIVATION_NONE, 0.f, nullptr);
    nrv_compile(n);
    std::vector<float> xs, ts;
    for (int i = 0; i < 10; ++i) {
        xs.push_back(float(i) / 10);
        ts.push_back(i < 8 ? 2.f * xs.back() : 100.f);  // validation targets far off the line
    }
    EXPECT_EQ(nrv_init_train(n, 0, 1, 1, 20), 0);
    EXPECT_EQ(n->status, 0) << n->message;
    nrv_tensor* x = fromValues(xs);
    nrv_tensor* t = fromValues(ts);
    nrv_set_train_data(n, 10, x, t);
    nrv_train(n, 200, 8, 0, 0.f, 0);
    ASSERT_EQ(n->status, 0) << n->message;
    EXPECT_LT(nrv_get_cost_train(n, 199), 0.01f);        // the line y = 2x is learnt...
    EXPECT_GT(nrv_get_cost_validation(n, 199), 5000.f);  // ...and the outliers never were
    const int best = nrv_get_best_epoch(n);
    for (int e = 0; e < 200; ++e) {
        EXPECT_GE(nrv_get_cost_validation(n, e), nrv_get_cost_validation(n, best));
    }
    nrv_tensor_destroy(x);
    nrv_tensor_destroy(t);
    nrv_destroy(n);
}

void writeIdx(const std::string& path, uint32_t magic, std::vector<uint32_t> dims,
              const std::vector<uint8_t>& data)
{
    std::string bytes;
    auto put = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) {
            bytes.push_back(char((v >> s) & 0xFF));
        }
    };
    put(magic);
    for (uint32_t d : dims) {
        put(d);
    }
    bytes.append(data.begin(), data.end());
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(NetworkTest, MnistFilesBecomeScaledInputsAndOneHotTargets)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    const std::string images = folder.file("i.idx"), labels = folder.file("l.idx");
    writeIdx(images, 0x803, {2, 2, 2}, {0, 255, 51, 0, 255, 255, 0, 0});
    writeIdx(labels, 0x801, {2}, {2, 0});
    nrv_network* n =
        nrv_create("m", NRV_CRITERION_CCE, NRV_VALIDATION_ARGMAX, NRV_OPTIMIZER_ADAM, false, 0.01f);
    nrv_add_layer(n, 4, NRV_ACTIVATION_NONE, 0.f, nullptr);
    nrv_add_layer(n, 3, NRV_ACTIVATION_SOFTMAX, 0.f, nullptr);
    nrv_compile(n);
    ASSERT_EQ(nrv_mnist_load_train(n, images.c_str(), labels.c_str()), 2) << n->message;
    nrv_tensor* in = nrv_get_train_input(n, 0);
    EXPECT_FLOAT_EQ(in->data[1], 1.f);
    EXPECT_FLOAT_EQ(in->data[2], 0.2f);
    nrv_tensor* target = nrv_get_train_target(n, 0);
    EXPECT_EQ(std::vector<float>(target->data, target->data + 3), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(nrv_argmax(nrv_get_train_target(n, 1)), 0);

    struct {
        std::vector<uint32_t> imageDims;
        std::vector<uint8_t> labels;
        const char* expected;
    } bad[] = {
        {{2, 2, 2}, {2}, "image and label counts differ (2, 1)"},
        {{2, 3, 1}, {0, 1}, "images of 3x1 do not fit the network's 4 inputs"},
        {{2, 2, 2}, {3, 0}, "label 3 of sample 1 out of range"},
    };
    for (const auto& c : bad) {
        writeIdx(images, 0x803, c.imageDims, std::vector<uint8_t>(8, 0));
        writeIdx(labels, 0x801, {uint32_t(c.labels.size())}, c.labels);
        EXPECT_EQ(nrv_mnist_load_test(n, images.c_str(), labels.c_str()), 0);
        EXPECT_STREQ(n->message, c.expected);
    }
    // Counts that agree yet give no set: none at all, or more than any set holds.
    const struct {
        uint32_t count;
        std::string expected;
    } agreeing[] = {
        {0, "'" + images + "' and '" + labels + "' hold no samples (an empty set)"},
        {20000000, "'" + images + "': 20000000 images are more than the 10000000 an IDX set holds"},
    };
    for (const auto& c : agreeing) {
        writeIdx(images, 0x803, {c.count, 2, 2}, {});
        writeIdx(labels, 0x801, {c.count}, {});
        EXPECT_EQ(nrv_mnist_load_test(n, images.c_str(), labels.c_str()), 0);
        EXPECT_EQ(n->message, c.expected);
    }
    writeIdx(images, 0x803, {3, 2, 2}, std::vector<uint8_t>(8, 0));  // 12 pixels promised, 8 given
    writeIdx(labels, 0x801, {3}, {0, 1, 2});
    EXPECT_EQ(nrv_mnist_load_test(n, images.c_str(), labels.c_str()), 0);
    EXPECT_NE(std::string(n->message).find("truncated file"), std::string::npos);
    nrv_destroy(n);
}

// Sizes read from a file are checked against the file's length, and sizes
// no machine's memory holds are refused, all before anything is allocated
// (a damaged header once asked for 2^48 parameters and ended in a bare
// allocation failure).
TEST(NetworkTest, SizesBeyondTheFileOrTheMemoryAreRefusedBeforeAllocating)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    // A network file whose header asks for two layers of 2^24 units and
    // holds no parameters at all.
    std::string bytes = "NRVN";
    auto put = [&bytes](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto layer = [&](uint32_t kind, uint32_t size) {
        put(kind);
        put(0);  // no name
        for (uint32_t v : {uint32_t(NRV_ACTIVATION_NONE), size, size, 0u, 0u, 0u, 0u, 0u, 0u, 0u}) {
            put(v);
        }
        put(0);  // initial scale 0.0f
    };
    put(1);  // version
    put(1);
    bytes += "h";  // name
    for (uint32_t v : {uint32_t(NRV_CRITERION_MSE), uint32_t(NRV_VALIDATION_LOSS),
                       uint32_t(NRV_OPTIMIZER_SGD)}) {
        put(v);
    }
    bytes += '\0';
    put(0x3F800000);  // rate 1.0f
    put(0);           // validation share
    bytes += '\0';    // no optimiser state
    put(0);
    put(0);  // step
    put(2);  // layers
    layer(0, 1u << 24);
    layer(1, 1u << 24);
    const std::string path = folder.write("huge.nrv", bytes);
    nrv_network* n = nrv_load(path.c_str());
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(std::string(n->message), "'" + path + "': truncated network file");
    nrv_destroy(n);

    // An IDX header promising ten million images in a file of a few bytes.
    nrv_network* m =
        nrv_create("m", NRV_CRITERION_CCE, NRV_VALIDATION_ARGMAX, NRV_OPTIMIZER_ADAM, false, 0.01f);
    nrv_add_layer(m, 784, NRV_ACTIVATION_NONE, 0.f, nullptr);
    nrv_add_layer(m, 10, NRV_ACTIVATION_SOFTMAX, 0.f, nullptr);
    nrv_compile(m);
    const std::string images = folder.file("i.idx"), labels = folder.file("l.idx");
    writeIdx(images, 0x803, {10000000, 28, 28}, std::vector<uint8_t>(100, 0));
    writeIdx(labels, 0x801, {10000000}, std::vector<uint8_t>(100, 0));
    EXPECT_EQ(nrv_mnist_load_train(m, images.c_str(), labels.c_str()), 0);
    EXPECT_EQ(std::string(m->message), "'" + images + "': truncated file");

    // A data set or a layer no memory holds: refused at once, by its size.
    nrv_network* data =
        nrv_create("d", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.01f);
    EXPECT_EQ(nrv_init_train(data, 2147483647, 1 << 20, 1, 0), 0);
    EXPECT_EQ(std::string(data->message).rfind("insufficient memory: ", 0), 0u) << data->message;
    nrv_add_layer(data, 16000000, NRV_ACTIVATION_NONE, 0.f, nullptr);
    nrv_add_layer(data, 16000000, NRV_ACTIVATION_RELU, 0.f, nullptr);
    nrv_compile(data);
    EXPECT_EQ(std::string(data->message).rfind("insufficient memory: ", 0), 0u) << data->message;
    // Geometries whose products overflow any integer (as a damaged file may
    // give them) are refused, not computed wrapped.
    nrv_network* conv =
        nrv_create("c", NRV_CRITERION_MSE, NRV_VALIDATION_LOSS, NRV_OPTIMIZER_SGD, false, 0.01f);
    EXPECT_EQ(nrv_add_layer_conv(conv, 1 << 20, 1 << 20, 1 << 20, 1, 1, NRV_ACTIVATION_NONE, 0.f,
                                 nullptr, 1, 0),
              nullptr);
    EXPECT_STREQ(conv->message, "invalid convolution geometry");
    EXPECT_EQ(nrv_add_layer_conv(conv, 1, 4, 4, 1 << 30, 2147483647, NRV_ACTIVATION_NONE, 0.f,
                                 nullptr, 1, 2147483646),
              nullptr);
    EXPECT_STREQ(conv->message, "invalid convolution geometry");
    nrv_destroy(conv);
    nrv_destroy(data);
    nrv_destroy(m);
}

// A tensor file whose size field promises more elements than it holds is
// refused before the elements are allocated.
TEST(NetworkTest, TensorFilesShorterThanTheirSizeAreRefused)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    nrv_tensor* t = fromValues({1, 2, 3});
    const std::string good = folder.file("t.nrt");
    FILE* f = std::fopen(good.c_str(), "wb");
    ASSERT_EQ(nrv_tensor_save(f, t, nullptr, 0), 1);
    std::fclose(f);
    std::string bytes = readAll(good);
    const int32_t huge = 1 << 27;
    std::memcpy(&bytes[8], &huge, 4);  // the size field after magic and version
    const std::string damaged = folder.write("d.nrt", bytes);
    f = std::fopen(damaged.c_str(), "rb");
    EXPECT_EQ(nrv_tensor_load(f, nullptr, nullptr, 0, nullptr), nullptr);
    std::fclose(f);
    f = std::fopen(good.c_str(), "rb");
    nrv_tensor* back = nrv_tensor_load(f, nullptr, nullptr, 0, nullptr);
    std::fclose(f);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->size, 3);
    nrv_tensor_destroy(back);
    nrv_tensor_destroy(t);
}

}  // namespace
