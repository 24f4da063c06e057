// Console output, memory blocks and the clock.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "kovbase.h"
#include "tempFolder.h"

namespace {

TEST(KovConsole, WideTextReachesStandardOutputAsUtf8)
{
    testing::internal::CaptureStdout();
    kov_putsW(L"T = 300 K \u00B1 1 \u20AC\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "T = 300 K \xC2\xB1 1 \xE2\x82\xAC\n");
}

TEST(KovConsole, FormattedOutputUsesADecimalPointInAnyLocale)
{
    DecimalCommaLocale locale;  // active or not, the output must not change
    testing::internal::CaptureStdout();
    const int n = kov_wprintf(L"[%ls] %d %.2f %g\n", L"\u00E9t\u00E9", 7, 1.5, 2.5e-7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[\xC3\xA9t\xC3\xA9] 7 1.50 2.5e-07\n");
    EXPECT_EQ(n, 21);  // characters, not bytes
}

TEST(KovConsole, LongFormattedTextIsNotCut)
{
    const std::wstring text(5000, L'z');
    testing::internal::CaptureStdout();
    kov_wprintf(L"%ls!", text.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(5000, 'z') + "!");
}

TEST(KovMemory, BlocksAreUsableAndFreeClearsThePointer)
{
    auto* block = static_cast<unsigned char*>(kov_MemoryAlloc(0));
    ASSERT_NE(block, nullptr);  // a zero-byte request is no failure
    block = static_cast<unsigned char*>(kov_MemoryRealloc(block, 4096));
    ASSERT_NE(block, nullptr);
    block[4095] = 1;
    void* raw = block;
    kov_MemoryFree(&raw);
    EXPECT_EQ(raw, nullptr);
    kov_MemoryFree(&raw);  // freeing a cleared pointer is harmless
    kov_MemoryFree(nullptr);

    double* values = static_cast<double*>(kov_MemoryAlloc(10 * sizeof(double)));
    ASSERT_NE(values, nullptr);
    kov_MemoryFreeT(&values);
    EXPECT_EQ(values, nullptr);
}

TEST(KovClock, IsMonotonicInMilliseconds)
{
    const double start = kov_clockMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const double elapsed = kov_clockMs() - start;
    EXPECT_GE(elapsed, 29.0);
    EXPECT_LT(elapsed, 5000.0);
}

}  // namespace
