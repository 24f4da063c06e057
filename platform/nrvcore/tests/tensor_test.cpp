#include "nrvcore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "tempFolder.h"

namespace {

struct Library {
    Library() { nrv_open(); }
    ~Library() { nrv_close(); }
};

nrv_tensor* fromValues(std::initializer_list<float> values)
{
    nrv_tensor* t = nrv_tensor_create(int(values.size()), NRV_TENSOR_ZERO, "v", nullptr);
    int i = 0;
    for (float v : values) {
        t->data[i++] = v;
    }
    return t;
}

TEST(TensorTest, CreateFillsByKindAndCopiesTheSource)
{
    Library lib;
    nrv_tensor* zero = nrv_tensor_create(5, NRV_TENSOR_ZERO, "zero", nullptr);
    ASSERT_NE(zero, nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(zero->data[i], 0.f);
    }
    nrv_tensor* rand = nrv_tensor_create(1000, NRV_TENSOR_RAND, "rand", nullptr);
    float lo = 1, hi = 0;
    for (int i = 0; i < 1000; ++i) {
        lo = std::min(lo, rand->data[i]), hi = std::max(hi, rand->data[i]);
    }
    EXPECT_GE(lo, 0.f);
    EXPECT_LT(hi, 1.f);
    EXPECT_GT(hi - lo, 0.9f);
    nrv_tensor* source = fromValues({1, 2, 3});
    nrv_tensor* longer = nrv_tensor_create(5, NRV_TENSOR_ZERO, "c", source);
    EXPECT_EQ(longer->data[2], 3.f);
    EXPECT_EQ(longer->data[3], 0.f);
    EXPECT_EQ(nrv_tensor_create(0, NRV_TENSOR_ZERO, "x", nullptr), nullptr);
    EXPECT_EQ(nrv_tensor_create(3, 3, "x", nullptr), nullptr);
    for (nrv_tensor* t : {zero, rand, source, longer}) {
        nrv_tensor_destroy(t);
    }
}

TEST(TensorTest, ElementAccessOutsideTheTensorFailsWithAMessage)
{
    Library lib;
    nrv_tensor* t = fromValues({1, 2, 3});
    nrv_tensor_set(t, 2, 7.f);
    EXPECT_EQ(t->status, 0);
    EXPECT_EQ(nrv_tensor_get(t, 2), 7.f);
    for (int index : {-1, 3}) {
        nrv_tensor_set(t, index, 1.f);
        EXPECT_EQ(t->status & NRV_STATUS_MASK, NRV_STATUS_FAILED);
        EXPECT_STREQ(t->message, "index out of range");
        nrv_tensor_get(t, index);
        EXPECT_EQ(t->status & NRV_STATUS_MASK, NRV_STATUS_FAILED);
    }
    EXPECT_EQ(t->data[0], 1.f);
    nrv_tensor_destroy(t);
}

TEST(TensorTest, StatisticsAreMeanStddevNormAndAFreshFlag)
{
    Library lib;
    nrv_tensor* t = fromValues({1, 2, 3, 4});
    nrv_tensor_stats(t);
    EXPECT_FLOAT_EQ(t->stats[0], 2.5f);
    EXPECT_FLOAT_EQ(t->stats[1], std::sqrt(1.25f));
    EXPECT_FLOAT_EQ(t->stats[2], std::sqrt(30.f));
    EXPECT_EQ(t->stats[3], 1.f);
    nrv_tensor_set(t, 0, 5.f);
    EXPECT_EQ(t->stats[3], 0.f);
    EXPECT_FLOAT_EQ(nrv_tensor_mean(t), 3.5f);  // recomputed, not the stale 2.5
    EXPECT_EQ(nrv_tensor_max(t), 5.f);
    EXPECT_EQ(nrv_tensor_min(t), 2.f);
    EXPECT_EQ(nrv_argmax(t), 0);
    nrv_tensor_destroy(t);
}

TEST(TensorTest, DenormalizeUndoesNormalize)
{
    Library lib;
    nrv_tensor* t = fromValues({3, 5, 9});
    nrv_tensor_normalize(t, 5.f, 2.f);
    EXPECT_FLOAT_EQ(t->data[0], -1.f);
    EXPECT_FLOAT_EQ(t->data[2], 2.f);
    nrv_tensor_denormalize(t);
    EXPECT_FLOAT_EQ(t->data[0], 3.f);
    EXPECT_FLOAT_EQ(t->data[2], 9.f);
    nrv_tensor_denormalize(t);  // a second undo changes nothing
    EXPECT_FLOAT_EQ(t->data[2], 9.f);
    nrv_tensor_destroy(t);
}

TEST(TensorTest, FilesHoldSeveralTensorsAndRefuseDamage)
{
    Library lib;
    TempFolder folder("nrvcore-test-");
    const std::string path = folder.file("t.bin");
    nrv_tensor* a = fromValues({1.5f, -2.f});
    nrv_tensor* b = fromValues({4, 5, 6});
    FILE* f = std::fopen(path.c_str(), "wb");
    uint64_t written = 0;
    EXPECT_EQ(nrv_tensor_save(f, a, &written, 0), 1);
    EXPECT_EQ(nrv_tensor_save(f, b, &written, 0), 1);
    std::fclose(f);

    f = std::fopen(path.c_str(), "rb");
    uint64_t read = 0, records = 0;
    nrv_tensor* a2 = nrv_tensor_load(f, &read, &records, 0, nullptr);
    nrv_tensor* into = nrv_tensor_create(3, NRV_TENSOR_ZERO, "into", nullptr);
    nrv_tensor* b2 = nrv_tensor_load(f, &read, &records, 0, &into);
    std::fclose(f);
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(b2, into);
    EXPECT_EQ(read, written);
    EXPECT_EQ(records, 2u);
    EXPECT_EQ(a2->size, 2);
    EXPECT_EQ(a2->data[0], 1.5f);
    EXPECT_EQ(into->data[2], 6.f);

    // Cut inside the second tensor's elements: refused, the target untouched.
    std::filesystem::resize_file(path, written - 2);
    f = std::fopen(path.c_str(), "rb");
    nrv_tensor* again = nrv_tensor_load(f, nullptr, nullptr, 0, nullptr);
    nrv_tensor_set(into, 0, -1.f);
    EXPECT_EQ(nrv_tensor_load(f, nullptr, nullptr, 0, &into), nullptr);
    EXPECT_EQ(into->data[0], -1.f);
    std::fclose(f);
    f = std::fopen(path.c_str(), "rb+");
    std::fputs("XXXX", f);
    std::fclose(f);
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(nrv_tensor_load(f, nullptr, nullptr, 0, nullptr), nullptr);
    std::fclose(f);
    for (nrv_tensor* t : {a, b, a2, into, again}) {
        nrv_tensor_destroy(t);
    }
}

TEST(LibraryTest, OpensAreCountedAndRandomDrawsRepeatAfterTheFirstOpen)
{
    ASSERT_EQ(nrv_open_count(), 0);
    nrv_open();
    const float first = nrv_rand(0.f, 1.f);
    nrv_open();
    nrv_close();
    EXPECT_EQ(nrv_open_count(), 1);
    nrv_close();
    EXPECT_EQ(nrv_open_count(), 0);
    nrv_open();
    EXPECT_EQ(nrv_rand(0.f, 1.f), first);
    double sum = 0, squares = 0;
    for (int i = 0; i < 20000; ++i) {
        const double v = nrv_randn(3.f, 2.f);
        sum += v;
        squares += v * v;
    }
    const double mean = sum / 20000;
    EXPECT_NEAR(mean, 3.0, 0.06);
    EXPECT_NEAR(std::sqrt(squares / 20000 - mean * mean), 2.0, 0.06);
    nrv_close();
}

}  // namespace
