// Equilibrium solve of a silicon p-n junction at N = 200, 2000 and 20000
// mesh points: the structure set-up's time (in all and per point), the
// solve's time, peak tracked memory (status-channel blocks plus the band
// Jacobian) and the process's peak resident memory (VmHWM), each per mesh
// point, so a cost that grows faster than N shows at once. Times are
// processor time; the set-up is the first one of a fresh process, as a run
// meets it.
//
// Each size runs in a child process of its own, so that VmHWM is that
// size's peak. Usage: equilibrium [points] (one size) or no argument (all).
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "nuParam.h"
#include "nuSigma.h"

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

int runOne(int points)
{
    nuSigma sigma;
    nuParam param;
    ElecDevice device(&sigma, &param);
    ekLayer* p = device.addLayer(L"Si", L"P", 0x20);
    ekLayer* n = device.addLayer(L"Si", L"N", 0x10);
    if (p == nullptr || n == nullptr || !p->updateDopant(0x20, 1e17, 1e22) ||
        !n->updateDopant(0x10, 1e16, 1e22)) {
        std::fprintf(stderr, "device refused\n");
        return 1;
    }
    p->updateThickness(1.0);
    n->updateThickness(4.0);
    device.updateThickness();
    device.updateAnode(L"Anode", 0.0, 1e7, 1e7, ekContact::TYPE_OHMIC, false, p, 0);
    device.updateCathode(L"Cathode", 0.0, 1e7, 1e7, ekContact::TYPE_OHMIC, false, n, 0);

    ekSimulator sim(&sigma, &param);
    param.mesh = nuParam::MESH_UNIFORM;
    param.method = nuParam::METHOD_NEWTON;  // the Newton storage is the larger one
    param.dampMode = 0x50;
    const double t0 = cpuSeconds();
    sim.setDevice(&device, points);
    const size_t structureBytes = sigma.allocatedBytes();
    const double t1 = cpuSeconds();
    const int iters = sim.setEquilibrium();
    const double t2 = cpuSeconds();
    if (iters < 0 || !sigma.isOK() || !(param.lastError < param.reltol)) {
        std::fprintf(stderr, "N = %d: equilibrium not reached\n", points);
        return 1;
    }
    const int N = sim.getPoints();
    const size_t peak = sim.getSolvePeakBytes();
    const long hwm = peakResidentKiB();
    const double setup = t1 - t0;
    const double solve = t2 - t1;
    std::printf("%7d  %9.4f  %11.3f  %9.4f  %6d  %12zu  %9.1f  %12zu  %9.1f  %9ld  %9.1f\n", N,
                setup, 1e6 * setup / N, solve, iters + 1, structureBytes,
                double(structureBytes) / N, peak, double(peak - structureBytes) / N, hwm,
                hwm * 1024.0 / N);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) {
        return runOne(std::atoi(argv[1]));
    }
    std::printf("equilibrium solve, silicon p-n junction (Newton storage)\n");
    std::printf("%7s  %9s  %11s  %9s  %6s  %12s  %9s  %12s  %9s  %9s  %9s\n", "N", "setup s",
                "setup us/pt", "solve s", "iters", "arrays B", "B/point", "peak B", "work B/pt",
                "VmHWM KiB", "HWM B/pt");
    std::fflush(stdout);
    int failures = 0;
    for (int points : {200, 2000, 20000}) {
        const pid_t child = fork();
        if (child == 0) {
            const int result = runOne(points);
            std::fflush(stdout);
            _exit(result);
        }
        int status = 0;
        waitpid(child, &status, 0);
        failures += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::printf("the tracked bytes and the set-up time per point must stay the same at every N\n"
                "(linear memory and structure set-up)\n");
    return failures == 0 ? 0 : 1;
}
