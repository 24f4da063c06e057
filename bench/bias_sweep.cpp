// Dark bias sweep of 66 points on a silicon p-n junction at N = 200, 2000
// and 20000 mesh points: time per bias point and peak memory. Each size
// runs in a child process of its own, so its peak resident memory is its
// own. Usage: bias_sweep [N ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "nucore.h"

namespace {

constexpr double V_START = -0.5;
constexpr double V_END = 0.8;
constexpr double V_STEP = 0.02;  // 66 points

int runSize(int points)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kovra_bench_bias_" + std::to_string(points));
    std::filesystem::create_directories(folder);

    nuSigma sigma;
    nuParam param;
    ElecDevice device(&sigma, &param);
    ekSimulator sim(&sigma, &param);
    sim.setOutputDir((folder.wstring() + L"/").c_str());
    const double Na = 1e17, Nd = 1e16;
    ekLayer* p = device.addLayer(L"Si", L"p", 0x20);
    p->updateMain(L"p", 0x20, 1.0, 0.0, 0.0);
    p->updateDopant(0x20, Na, 1e19);
    ekLayer* n = device.addLayer(L"Si", L"n", 0x10);
    n->updateMain(L"n", 0x10, 2.0, 0.0, 0.0);
    n->updateDopant(0x10, Nd, 1e19);
    device.updateThickness();
    param.mesh = nuParam::MESH_UNIFORM;
    param.dampMode = 0x50;
    sim.setDevice(&device, points);
    if (sigma.err != 0 || sim.getPoints() != points) {
        std::fprintf(stderr, "N = %d: mesh refused: %ls\n", points, sigma.message);
        return 1;
    }
    if (!sim.setBiasData(&device, V_START, V_END, V_STEP, -1e6, 1e6, 0x10, nullptr)) {
        std::fprintf(stderr, "N = %d: sweep refused: %ls\n", points, sigma.message);
        return 1;
    }
    const int biasPoints = sim.getSweepBias()->getPoints();
    const auto t0 = std::chrono::steady_clock::now();
    const int result = sim.sweepBias(0.0, 0.0, nullptr, nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const int valid = sim.getSweepBias()->getPointsValid();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMB = usage.ru_maxrss / 1024.0;
    std::printf("%8d %8d %8d %12.3f %14.3f %12.1f %8s\n", points, biasPoints, valid, seconds,
                1000.0 * seconds / (valid > 0 ? valid : 1), peakMB,
                result > 0 && valid == biasPoints ? "ok" : "FAILED");
    std::fflush(stdout);
    std::filesystem::remove_all(folder);
    return result > 0 && valid == biasPoints ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes = {200, 2000, 20000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
    std::printf("Dark J-V sweep %g V .. %g V by %g V, Newton, silicon p-n junction\n", V_START,
                V_END, V_STEP);
    std::printf("%8s %8s %8s %12s %14s %12s %8s\n", "N", "points", "stored", "total (s)",
                "per point (ms)", "peak (MB)", "result");
    std::fflush(stdout);
    int failures = 0;
    for (int N : sizes) {
        const pid_t child = fork();
        if (child == 0) {
            std::_Exit(runSize(N));
        }
        int status = 0;
        waitpid(child, &status, 0);
        failures += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    return failures == 0 ? 0 : 1;
}
