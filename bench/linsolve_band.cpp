// Time and memory of the Newton linear solve on band storage: 3N unknowns,
// five sub- and super-diagonals, at N = 200, 2000 and 20000 mesh points.
// "LU" is the whole solve the engine calls (ek_solveBand: checks, factors,
// solution); "kernel" the factorisation and solve alone (ek_bandFactor +
// ek_bandSolve), so what the solve adds around the kernel shows.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "ekBandLU.h"
#include "ekBandMatrix.h"
#include "ekLinearSolver.h"
#include "ekSolverOptions.h"

namespace {

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void fillDominant(ekBandMatrix& A, std::mt19937& rng)
{
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const int n = A.size();
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int j = std::max(0, i - A.lower()); j <= std::min(n - 1, i + A.upper()); ++j) {
            if (j != i) {
                A.at(i, j) = uniform(rng);
                sum += std::fabs(A.at(i, j));
            }
        }
        A.at(i, i) = sum + 1.0;
    }
}

// The solution lands in x.
double secondsPerSolve(const ekBandMatrix& A, const std::vector<double>& b,
                       const ekSolverOptions& options, int repeats, ekLinearSolveInfo* info,
                       std::vector<double>& x)
{
    x.assign(b.size(), 0.0);
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r) {
        std::fill(x.begin(), x.end(), 0.0);
        ek_solveBand(A, b.data(), x.data(), options, info);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repeats;
}

// The kernel alone, on a fresh copy of the band each time (not timed).
double secondsPerKernel(const ekBandMatrix& A, const std::vector<double>& b, int repeats)
{
    const int n = A.size();
    const size_t entries = static_cast<size_t>(A.ldab()) * static_cast<size_t>(n);
    std::vector<double> band(entries), x(b);
    std::vector<int> pivots(static_cast<size_t>(n));
    std::chrono::duration<double> elapsed{0.0};
    for (int r = 0; r < repeats; ++r) {
        std::copy(A.data(), A.data() + entries, band.begin());
        std::copy(b.begin(), b.end(), x.begin());
        const auto start = std::chrono::steady_clock::now();
        ek_bandFactor(n, A.lower(), A.upper(), band.data(), A.ldab(), pivots.data());
        ek_bandSolve(n, A.lower(), A.upper(), band.data(), A.ldab(), pivots.data(), x.data());
        elapsed += std::chrono::steady_clock::now() - start;
    }
    return elapsed.count() / repeats;
}

}  // namespace

int main()
{
    std::printf("%8s %8s %12s %12s %12s %12s %12s %12s %10s\n", "N", "3N", "band MB", "dense MB",
                "LU ms", "kernel ms", "bicgstab ms", "residual", "RSS+ MB");
    std::mt19937 rng(2024);
    for (const int nodes : {200, 2000, 20000}) {
        const long rssBefore = peakResidentKiB();
        const int n = 3 * nodes;
        ekBandMatrix A(n, EK_NEWTON_KL, EK_NEWTON_KU);
        fillDominant(A, rng);
        std::vector<double> b(static_cast<size_t>(n));
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        for (double& v : b) {
            v = uniform(rng);
        }

        ekSolverOptions direct, krylov;
        ek_parseSolverOptions("-maxiter 1000 -tol 1e-12 -i none", &direct, nullptr);
        ek_parseSolverOptions("-maxiter 1000 -tol 1e-12 -i bicgstab -p ilu -ilu_fill 0", &krylov,
                              nullptr);
        const int repeats = nodes <= 2000 ? 50 : 10;
        ekLinearSolveInfo luInfo, krylovInfo;
        std::vector<double> xLU, xKrylov;
        const double luSeconds = secondsPerSolve(A, b, direct, repeats, &luInfo, xLU);
        const double kernelSeconds = secondsPerKernel(A, b, repeats);
        const double krylovSeconds = secondsPerSolve(A, b, krylov, repeats, &krylovInfo, xKrylov);

        const double bandMB = static_cast<double>(A.ldab()) * n * sizeof(double) / 1e6;
        const double denseMB = static_cast<double>(n) * n * sizeof(double) / 1e6;
        const double rssMB = (peakResidentKiB() - rssBefore) / 1024.0;
        std::printf("%8d %8d %12.3f %12.1f %12.3f %12.3f %12.3f %12.2e %10.1f%s\n", nodes, n,
                    bandMB, denseMB, 1e3 * luSeconds, 1e3 * kernelSeconds, 1e3 * krylovSeconds,
                    ek_relativeResidual(A, b.data(), xLU.data()), rssMB,
                    luInfo.status == EK_LINSOLVE_OK && krylovInfo.status == EK_LINSOLVE_OK
                        ? ""
                        : "  FAILED");
    }
    std::printf(
        "band MB: the Jacobian in band storage; dense MB: the same matrix stored dense.\n"
        "LU: ek_solveBand with the banded LU of ekBandLU; kernel: its factorisation and solve "
        "alone;\n"
        "bicgstab: Eigen BiCGSTAB with ILUT; residual: ||Ax - b|| / ||b|| of the LU solution.\n"
        "RSS+: growth of the peak resident size while that size ran.\n");
    return 0;
}
