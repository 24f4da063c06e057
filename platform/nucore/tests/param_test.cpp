// Numeric settings: defaults, setter ranges, ladders and solver names.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "nuParam.h"

namespace {

constexpr double QUIET_NAN = std::numeric_limits<double>::quiet_NaN();

TEST(NuParamReset, RestoresTheDefaults)
{
    nuParam param;
    param.setReltol(1e-3);
    param.setDamp(20.0);
    param.setMaxiter(7);
    param.method = nuParam::METHOD_GUMMEL;
    param.setOutDir(L"/tmp");
    param.setOutDirDate(true);
    param.setPlot(true);
    param.reset();
    EXPECT_EQ(param.method, nuParam::METHOD_NEWTON);
    EXPECT_EQ(param.reltol, 1e-6);
    EXPECT_EQ(param.reltol, nuParam::RELTOL[4]);
    EXPECT_EQ(param.damp, nuParam::DAMP[0]);
    EXPECT_EQ(param.maxiter, 100);
    EXPECT_EQ(param.mesh, nuParam::MESH_LAYER);
    EXPECT_EQ(param.solver, 0x81);
    EXPECT_STREQ(param.outDir, L"");
    EXPECT_FALSE(param.outDirDate);
    EXPECT_FALSE(param.plot);
}

TEST(NuParamSetters, AcceptTheirRangeAndRefuseOutsideUnchanged)
{
    struct Case {
        const char* what;
        double value;
        bool accepted;
    };
    const Case reltol[] = {{"tiny", 1e-13, false},    {"low end", 1e-12, true},
                           {"high end", 0.1, true},   {"too loose", 0.2, false},
                           {"nan", QUIET_NAN, false}, {"negative", -1e-6, false}};
    for (const auto& c : reltol) {
        nuParam param;
        EXPECT_EQ(param.setReltol(c.value), c.accepted) << "reltol " << c.what;
        EXPECT_EQ(param.reltol, c.accepted ? c.value : 1e-6) << "reltol " << c.what;
    }
    const Case damp[] = {{"off", 0.0, true},         {"ramp step", 100.0, true},
                         {"high end", 1000.0, true}, {"too strong", 1e4, false},
                         {"negative", -0.1, false},  {"nan", QUIET_NAN, false}};
    for (const auto& c : damp) {
        nuParam param;
        EXPECT_EQ(param.setDamp(c.value), c.accepted) << "damp " << c.what;
        EXPECT_EQ(param.damp, c.accepted ? c.value : nuParam::DAMP[0]) << "damp " << c.what;
    }
    const Case maxiter[] = {
        {"zero", 0, false}, {"one", 1, true}, {"high end", 1000, true}, {"too many", 1001, false}};
    for (const auto& c : maxiter) {
        nuParam param;
        EXPECT_EQ(param.setMaxiter(static_cast<int>(c.value)), c.accepted) << "maxiter " << c.what;
        EXPECT_EQ(param.maxiter, c.accepted ? static_cast<int>(c.value) : 100)
            << "maxiter " << c.what;
    }
}

TEST(NuParamSetters, MeshMethodAndOutputFolder)
{
    nuParam param;
    EXPECT_TRUE(param.setMesh(nuParam::MESH_UNIFORM, 500));
    EXPECT_EQ(param.mesh, nuParam::MESH_UNIFORM);
    EXPECT_EQ(param.points, 500);
    EXPECT_TRUE(param.setMesh(nuParam::MESH_LAYER));
    EXPECT_EQ(param.points, 500);  // 0 keeps the count
    EXPECT_FALSE(param.setMesh(0x40));
    EXPECT_FALSE(param.setMesh(0));
    EXPECT_FALSE(param.setMesh(nuParam::MESH_UNIFORM, 49));
    EXPECT_FALSE(param.setMesh(nuParam::MESH_UNIFORM, 20001));
    EXPECT_EQ(param.mesh, nuParam::MESH_LAYER);

    EXPECT_TRUE(param.setSolverTransport(nuParam::METHOD_GUMMEL));
    EXPECT_EQ(param.method, nuParam::METHOD_GUMMEL);
    EXPECT_FALSE(param.setSolverTransport(3));
    EXPECT_EQ(param.method, nuParam::METHOD_GUMMEL);

    const std::wstring longest(1023, L'd');
    EXPECT_TRUE(param.setOutDir(longest.c_str()));
    EXPECT_EQ(std::wstring(param.outDir), longest);
    EXPECT_FALSE(param.setOutDir((longest + L"d").c_str()));
    EXPECT_FALSE(param.setOutDir(nullptr));
    EXPECT_EQ(std::wstring(param.outDir), longest);
}

TEST(NuParamLadders, LoosestToleranceFirstAndDampingGrowing)
{
    static_assert(nuParam::ARRLEN >= 5);
    for (int i = 1; i < nuParam::ARRLEN; ++i) {
        EXPECT_LT(nuParam::RELTOL[i], nuParam::RELTOL[i - 1]);
        EXPECT_GT(nuParam::DAMP[i], nuParam::DAMP[i - 1]);
    }
    for (int i = 0; i < nuParam::ARRLEN; ++i) {
        nuParam param;  // every entry is a value the setters accept
        EXPECT_TRUE(param.setReltol(nuParam::RELTOL[i]));
        EXPECT_TRUE(param.setDamp(nuParam::DAMP[i]));
    }
}

TEST(NuParamLadders, IncreaseReltolClimbsToTheLoosestAndStays)
{
    nuParam param;
    param.setReltol(nuParam::RELTOL[nuParam::ARRLEN - 1]);
    for (int i = nuParam::ARRLEN - 2; i >= 0; --i) {
        param.increaseReltol();
        EXPECT_EQ(param.reltol, nuParam::RELTOL[i]);
    }
    param.increaseReltol();
    EXPECT_EQ(param.reltol, nuParam::RELTOL[0]);

    param.setReltol(3e-6);  // between two entries: the next one above
    param.increaseReltol();
    EXPECT_EQ(param.reltol, 1e-5);
    param.setReltol(0.05);  // beyond the ladder: unchanged
    param.increaseReltol();
    EXPECT_EQ(param.reltol, 0.05);
}

TEST(NuParamLadders, IncreaseDampClimbsAndStaysAtTheEnd)
{
    nuParam param;
    param.setDamp(0.0);
    for (int i = 0; i < nuParam::ARRLEN; ++i) {
        param.increaseDamp();
        EXPECT_EQ(param.damp, nuParam::DAMP[i]);
    }
    param.increaseDamp();
    EXPECT_EQ(param.damp, nuParam::DAMP[nuParam::ARRLEN - 1]);
    param.setDamp(100.0);
    param.increaseDamp();
    EXPECT_EQ(param.damp, 100.0);
}

TEST(NuParamTimer, TocCountsMillisecondsSinceTic)
{
    nuParam param;
    param.Tic();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const double elapsed = param.Toc();
    EXPECT_GE(elapsed, 24.0);
    EXPECT_LT(elapsed, 5000.0);
}

TEST(NuParamSolverName, FollowsTheHighNibble)
{
    const struct {
        uint8_t code;
        const wchar_t* name;
    } cases[] = {
        {0x10, L"tridiag"},  {0x21, L"bicgstab"}, {0x31, L"bicgstabl"}, {0x41, L"bicgsafe"},
        {0x51, L"gmres"},    {0x60, L"fgmres"},   {0x73, L"minres"},    {0x81, L"tfqmr"},
        {0x92, L"bicrstab"}, {0xA3, L"bicgstab"}, {0x00, L"bicgstab"},
    };
    for (const auto& c : cases) {
        nuParam param;
        param.solver = c.code;
        EXPECT_STREQ(param.getSolverLinsysName(), c.name) << int(c.code);
    }
}

TEST(NuParamSolverName, IterativeSolversReadBackByNameInAnyCase)
{
    // The names device files write for the iterative solvers, and the
    // nibbles the reader stores for them.
    const struct {
        const wchar_t* name;
        const wchar_t* written;
        uint8_t nibble;
    } cases[] = {
        {L"bicgstab", L"BICGSTAB", 0x20}, {L"bicgstabl", L"BiCGStabL", 0x30},
        {L"bicgsafe", L"bicgsafe", 0x40}, {L"gmres", L"GMRES", 0x50},
        {L"fgmres", L"FGmres", 0x60},     {L"minres", L"minres", 0x70},
        {L"tfqmr", L"TFQMR", 0x80},       {L"bicrstab", L"BiCRSTAB", 0x90},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nuParam::iterativeSolverNibble(c.written), c.nibble) << int(c.nibble);
        EXPECT_STREQ(nuParam::iterativeSolverName(c.nibble), c.name) << int(c.nibble);
    }
    // The direct solver is no device-file choice, and other words name none.
    for (const wchar_t* other : {L"tridiag", L"cg", L"", L"gmres "}) {
        EXPECT_EQ(nuParam::iterativeSolverNibble(other), 0) << other;
    }
    EXPECT_EQ(nuParam::iterativeSolverNibble(nullptr), 0);
    for (uint8_t nibble : {0x00, 0x10, 0xA0, 0xF0, 0x21}) {
        EXPECT_EQ(nuParam::iterativeSolverName(nibble), nullptr) << int(nibble);
    }
}

}  // namespace
