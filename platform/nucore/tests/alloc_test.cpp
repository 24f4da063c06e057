// Tracked allocators of the status channel.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "nuSigma.h"

namespace {

TEST(NuSigmaAlloc, BlocksAreZeroFilledTrackedAndReleased)
{
    nuSigma sigma;
    double* values = sigma.mallocDbl(1000);
    ASSERT_NE(values, nullptr);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(values[i], 0.0);
    }
    EXPECT_EQ(sigma.allocatedBytes(), 1000 * sizeof(double));
    uint8_t* bytes = sigma.mallocBt(10);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(sigma.allocatedBytes(), 1000 * sizeof(double) + 10);
    sigma.freeDbl(&values);
    sigma.freeBt(&bytes);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(sigma.allocatedBytes(), 0u);
    sigma.freeDbl(&values);  // a cleared pointer frees nothing
    EXPECT_EQ(sigma.allocatedBytes(), 0u);
}

TEST(NuSigmaAlloc, MatrixRowsPointIntoOneZeroedBlock)
{
    nuSigma sigma;
    double** m = sigma.mallocMat(3, 4);
    ASSERT_NE(m, nullptr);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(m[r], m[0] + r * 4);
        for (size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(m[r][c], 0.0);
            m[r][c] = static_cast<double>(r * 10 + c);
        }
    }
    EXPECT_EQ(m[0][2 * 4 + 3], 23.0);  // contiguous: row 2, column 3
    sigma.freeMat(&m);
    EXPECT_EQ(m, nullptr);
    EXPECT_EQ(sigma.allocatedBytes(), 0u);
    EXPECT_EQ(sigma.mallocMat(0, 4), nullptr);
}

TEST(NuSigmaAlloc, TextsAndVariableRecords)
{
    nuSigma sigma;
    wchar_t* text = sigma.mallocStr(5);
    char* narrow = sigma.mallocStrA(5);
    _variable_w_t* variable = sigma.mallocVar();
    ASSERT_NE(text, nullptr);
    ASSERT_NE(narrow, nullptr);
    ASSERT_NE(variable, nullptr);
    for (int i = 0; i <= 5; ++i) {  // n characters and the terminator
        EXPECT_EQ(text[i], L'\0');
        EXPECT_EQ(narrow[i], '\0');
    }
    EXPECT_EQ(variable->defined, 0);
    EXPECT_EQ(variable->name[0], L'\0');
    EXPECT_EQ(variable->value[255], L'\0');
    sigma.freeStr(&text);
    sigma.freeStrA(&narrow);
    sigma.freeVar(&variable);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(narrow, nullptr);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(sigma.allocatedBytes(), 0u);
}

TEST(NuSigmaAlloc, ZeroCountStillGivesABlock)
{
    nuSigma sigma;
    double* values = sigma.mallocDbl(0);
    EXPECT_NE(values, nullptr);
    sigma.freeDbl(&values);
}

TEST(NuSigmaAlloc, OverflowingOrImpossibleSizesFailCleanly)
{
    constexpr size_t HUGE_SIZE = std::numeric_limits<size_t>::max();
    nuSigma sigma;
    EXPECT_EQ(sigma.mallocMat(size_t(1) << 40, size_t(1) << 40), nullptr);
    EXPECT_EQ(sigma.mallocMat(HUGE_SIZE / 8, 2), nullptr);
    EXPECT_EQ(sigma.mallocMat(2, HUGE_SIZE / 8), nullptr);
    EXPECT_EQ(sigma.mallocDbl(HUGE_SIZE / 4), nullptr);
    EXPECT_EQ(sigma.mallocDbl(HUGE_SIZE), nullptr);
    EXPECT_EQ(sigma.mallocBt(HUGE_SIZE), nullptr);
    EXPECT_EQ(sigma.mallocStr(HUGE_SIZE), nullptr);
    EXPECT_EQ(sigma.mallocStrA(HUGE_SIZE), nullptr);
    EXPECT_EQ(sigma.mallocDbl(size_t(1) << 55), nullptr);  // no overflow, just too big
    EXPECT_EQ(sigma.allocatedBytes(), 0u);
}

// A failed allocation stays known to the channel after its error flag is
// cleared, so that what failed next is not reported as the cause; the
// memory line is printed once however often it is asked for.
TEST(NuSigmaAlloc, AFailedAllocationIsReportedOnceAsTheCause)
{
    nuSigma sigma;
    EXPECT_FALSE(sigma.isOutOfMemory());
    EXPECT_FALSE(sigma.reportIfOutOfMemory());
    EXPECT_EQ(sigma.err, 0);
    double* granted = sigma.mallocDbl(4);
    ASSERT_NE(granted, nullptr);
    sigma.freeDbl(&granted);
    EXPECT_FALSE(sigma.isOutOfMemory()) << "a granted block counts nothing";

    EXPECT_EQ(sigma.mallocDbl(size_t(1) << 55), nullptr);
    EXPECT_TRUE(sigma.isOutOfMemory());
    sigma.reset();
    EXPECT_TRUE(sigma.isOutOfMemory());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(sigma.reportIfOutOfMemory());
    EXPECT_EQ(sigma.err, 1);
    sigma.reset();
    sigma.reportNoMemory();  // a second failure, e.g. of a solver's own vector
    EXPECT_EQ(sigma.err, 1);
    EXPECT_EQ(sigma.failedAllocations, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[ERROR]   insufficient memory for simulation\n");
}

}  // namespace
