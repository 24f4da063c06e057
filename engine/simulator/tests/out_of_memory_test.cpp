// A run that cannot get memory says so: "insufficient memory for
// simulation", whichever allocation failed (a work vector of the linear
// solver, the band storage, a text), and never a convergence failure that
// was only its consequence. The seam is this program's own operator new:
// while armed it refuses the allocations the test chooses.
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "runFixture.h"

// The address sanitizer brings its own operator new, which this seam
// would replace; under it the tests are skipped.
#if defined(__SANITIZE_ADDRESS__)
#define KOVRA_NEW_SEAM 0
#else
#define KOVRA_NEW_SEAM 1
#endif

// The replacements below pair malloc with free themselves; the compiler,
// which takes new and delete for its own, would see a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Armed: allocations of at least refuseFromBytes fail, and so does every
// allocation from the refuseFromCount-th on (counted from arming).
std::atomic<bool> armed{false};
std::atomic<size_t> refuseFromBytes{0};
std::atomic<long> refuseFromCount{0};
std::atomic<long> counted{0};

bool refused(size_t bytes)
{
    if (!armed.load(std::memory_order_relaxed)) {
        return false;
    }
    const long index = ++counted;
    const size_t limit = refuseFromBytes.load(std::memory_order_relaxed);
    const long from = refuseFromCount.load(std::memory_order_relaxed);
    return (limit > 0 && bytes >= limit) || (from > 0 && index >= from);
}

void* allocate(size_t bytes)
{
    if (refused(bytes)) {
        return nullptr;
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

}  // namespace

#if KOVRA_NEW_SEAM
void* operator new(size_t bytes)
{
    if (void* p = allocate(bytes)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new[](size_t bytes)
{
    if (void* p = allocate(bytes)) {
        return p;
    }
    throw std::bad_alloc();
}

void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }

void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return allocate(bytes); }

void operator delete(void* p) noexcept { std::free(p); }

void operator delete[](void* p) noexcept { std::free(p); }

void operator delete(void* p, size_t) noexcept { std::free(p); }

void operator delete[](void* p, size_t) noexcept { std::free(p); }
#endif

namespace {

const char* const MEMORY_LINE = "[ERROR]   insufficient memory for simulation";

class OutOfMemoryRun : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        if (!KOVRA_NEW_SEAM) {
            GTEST_SKIP() << "the allocation seam is not built under the address sanitizer";
        }
    }

    // A junction of 5000 mesh points swept a little in forward bias: the
    // Poisson band matrix alone holds 160 KB.
    std::string device(const char* method)
    {
        return write(std::string("junction-") + method + ".kovra",
                     std::string("# Kovra <SL>\n"
                                 "[Layer1]\n    Thickness=1\n    Dopant.Type=\"N\"\n"
                                 "    Dopant.N=1e18\n    Mesh.Points=2500\n"
                                 "[Layer2]\n    Thickness=10\n    Dopant.Type=\"P\"\n"
                                 "    Dopant.N=1e16\n    Mesh.Points=2500\n"
                                 "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.2\n"
                                 "    Voltage.Step=0.1\n"
                                 "[Numeric]\n    Numeric.Method=\"") +
                         method + "\"\n[Command]\n    Command.OutDir=\".\"\n");
    }

    // Runs with the seam armed; the seam is disarmed before anything of
    // the test allocates again.
    bool runRefusing(const std::string& file, size_t fromBytes, long fromCount)
    {
        refuseFromBytes = fromBytes;
        refuseFromCount = fromCount;
        counted = 0;
        static wchar_t names[5][EK_FILENAME_SIZE];
        const std::wstring path(file.begin(), file.end());
        ::testing::internal::CaptureStdout();
        armed = true;
        bool ok = false;
        bool escaped = false;
        try {
            ok = ek_simulate(path.c_str(), false, false, false, nullptr, true, names[0], names[1],
                             names[2], names[3], names[4], nullptr);
        } catch (...) {
            escaped = true;
        }
        armed = false;
        log = ::testing::internal::GetCapturedStdout();
        EXPECT_FALSE(escaped) << "an exception left the run";
        return ok;
    }

    // A failed run names the memory as its cause and no convergence.
    void expectMemoryNamed(bool ok, const std::string& what)
    {
        SCOPED_TRACE(what);
        if (ok) {
            EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
            return;
        }
        EXPECT_NE(log.find(MEMORY_LINE), std::string::npos) << log;
        EXPECT_EQ(log.find("convergence not achieved"), std::string::npos) << log;
    }
};

// Large blocks refused, from the size of the solver's band storage down:
// each run either succeeds or fails for want of memory; the smallest
// limits fail inside the solves.
TEST_F(OutOfMemoryRun, RefusedLargeBlocksAreReportedAsMemory)
{
    for (const char* method : {"Newton", "Gummel"}) {
        const std::string file = device(method);
        int failed = 0;
        for (size_t limit : {size_t(2) << 20, size_t(1) << 20, size_t(500) << 10, size_t(200) << 10,
                             size_t(100) << 10, size_t(50) << 10, size_t(20) << 10}) {
            const bool ok = runRefusing(file, limit, 0);
            failed += ok ? 0 : 1;
            expectMemoryNamed(ok, std::string(method) + ", blocks from " + std::to_string(limit) +
                                      " bytes refused");
        }
        EXPECT_GE(failed, 3) << method;
    }
}

// Memory running out at any moment of the run: every allocation from the
// k-th on is refused, for k spread over the whole run.
TEST_F(OutOfMemoryRun, MemoryRunningOutAnywhereIsReportedAsMemory)
{
    const std::string file = device("Newton");
    ASSERT_TRUE(runRefusing(file, 0, 0)) << log;
    const long total = counted;
    ASSERT_GT(total, 20);
    constexpr int SAMPLES = 40;
    for (int s = 0; s < SAMPLES; ++s) {
        const long k = 1 + total * s / SAMPLES;
        const bool ok = runRefusing(file, 0, k);
        expectMemoryNamed(ok, "allocations from the " + std::to_string(k) + "th of " +
                                  std::to_string(total) + " refused");
        EXPECT_FALSE(ok);
    }
}

}  // namespace
