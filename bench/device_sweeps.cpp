// Bias sweeps of three devices through the whole engine (ek_simulate), in
// one run: a long-base silicon diode at 1032 and at 20000 points (dark,
// 0 .. 0.6 V) and a CdS/CdTe heterojunction (370 points, AM1.5, -0.9 .. 0 V),
// all in 0.1 V steps, and the equilibrium of an 800-point silicon junction.
// Each device is also run without a sweep (two points near 0 V under light);
// the difference is the cost of the bias points alone.
//
// Per device: processor time per bias point, Newton steps and banded LU
// factorisations per point, the time of one Newton step (time per point /
// steps per point), the time of one factorisation and solve of that
// device's own Newton band (ek_bandFactor + ek_bandSolve on its Jacobian at
// equilibrium) and the ratio of the two. For the equilibrium: the solve
// alone (no file written), its iterations (one LU each), the time of one
// iteration and of one factor + solve of its tridiagonal band, and their
// ratio. Times are processor time, the best of the repeats.
// Usage: device_sweeps [repeats]
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ekBandLU.h"
#include "ekBandMatrix.h"
#include "ekContact.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekLayer.h"
#include "ekLinearSolver.h"
#include "ekSimulator.h"
#include "ekcore.h"
#include "nuParam.h"
#include "nuSigma.h"

namespace {

// Processor time of the process: a busy machine lengthens the wall clock
// of a run, much less the time the run itself computes.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Device {
    const char* name;
    std::string layers;  // [Layer..] and [Anode]/[Cathode] sections
    std::string sweep;   // [Voltage] and [Light] sections of the swept run
    std::string still;   // the same without a sweep
    int biasPoints;      // the swept run's points less the still run's
    int repeats;
};

// Over five diffusion lengths a side, finer near the junction. No step
// exceeds a fifth of the thinnest layer, so the mesh keeps the points given
// (a coarser layer would be refined to thousands of points).
std::string diodeLayers(const int points[4])
{
    const char* layers[4][2] = {{"800", "P"}, {"20", "P"}, {"20", "N"}, {"600", "N"}};
    std::string text;
    for (int l = 0; l < 4; ++l) {
        text += "[Layer" + std::to_string(l + 1) +
                "]\n    Material=\"Si\"\n    Thickness=" + layers[l][0] + "\n    Dopant.Type=\"" +
                layers[l][1] +
                "\"\n    Dopant.N=1e16\n    Trap1.Type=\"Donor\"\n    Trap1.N=1e12\n"
                "    Trap1.Nr=1e19\n    Trap1.E=0\n    Trap1.Taun=1e-5\n    Trap1.Taup=1e-5\n"
                "    Mesh.Points=" +
                std::to_string(points[l]) + "\n";
    }
    return text;
}

const char* const HETERO_LAYERS = R"([Layer1]
    Material="CdS"
    Thickness=0.1
    Dopant.Type="N"
    Dopant.N=1e17
    Mesh.Points=70
[Layer2]
    Material="CdTe"
    Thickness=4
    Dopant.Type="P"
    Dopant.N=2e14
    Taun=1e-9
    Taup=1e-9
    Mobility.N=320
    Mobility.P=40
    Mesh.Points=300
[Cathode]
    Cathode.Type="Schottky"
    Cathode.Phi=1.17
    Cathode.Rn=1e7
    Cathode.Rp=1e7
)";

const char* const NO_SWEEP = "[Voltage]\n    Voltage.Source=\"None\"\n";

std::filesystem::path writeDeviceFile(const std::filesystem::path& folder, const std::string& text)
{
    const std::filesystem::path file = folder / "device.kovra";
    std::ofstream(file) << "# Kovra <SL>\n"
                        << text << "[Numeric]\n    Numeric.Mesh=\"Layer\"\n"
                        << "[Command]\n    Command.OutDir=\".\"\n";
    return file;
}

struct RunCounts {
    double seconds = 0.0;
    long factorisations = 0;
    long newtonSteps = 0;
};

// The engine's own lines would bury the figures: while one lives, they go
// to /dev/null.
class QuietEngine {
public:
    QuietEngine()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        ok = std::freopen("/dev/null", "w", stdout) != nullptr;
    }
    ~QuietEngine()
    {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    QuietEngine(const QuietEngine&) = delete;
    QuietEngine& operator=(const QuietEngine&) = delete;
    bool ok = false;

private:
    int saved = -1;
};

// Processor time and counts of one run; false when it failed.
bool timeRun(const std::filesystem::path& folder, const std::string& text, RunCounts* counts)
{
    const std::filesystem::path file = writeDeviceFile(folder, text);
    wchar_t names[5][EK_FILENAME_SIZE] = {};
    const QuietEngine quiet;
    if (!quiet.ok) {
        return false;
    }
    const long lu = ek_bandFactorisations();
    const long steps = ek_newtonSteps();
    const double t0 = cpuSeconds();
    const bool ok = ek_simulate(file.wstring().c_str(), false, false, false, nullptr, true,
                                names[0], names[1], names[2], names[3], names[4], nullptr);
    counts->seconds = cpuSeconds() - t0;
    counts->factorisations = ek_bandFactorisations() - lu;
    counts->newtonSteps = ek_newtonSteps() - steps;
    return ok;
}

// Work arrays of one equilibrium solve on a simulator of the caller's.
struct EquilibriumWork {
    std::vector<std::vector<double>> arrays;
    double* a[14] = {};
    ekBandMatrix* jacobian = nullptr;  // made by the iteration driver when it needs one

    explicit EquilibriumWork(int N) : arrays(14, std::vector<double>(static_cast<size_t>(N)))
    {
        for (int i = 0; i < 14; ++i) {
            a[i] = arrays[i].data();
        }
    }
    ~EquilibriumWork() { delete jacobian; }
    EquilibriumWork(const EquilibriumWork&) = delete;
    EquilibriumWork& operator=(const EquilibriumWork&) = delete;

    // The equilibrium Poisson solve alone (no distribution file); the
    // potential lands in V().
    int solve(ekSimulator& sim)
    {
        return sim.doSolvePoisson(a[0], a[1], a[2], a[3], a[4], a[5], a[6], &a[7], &a[8], &a[9],
                                  &a[10], &jacobian, &a[11], &a[12], &a[13]);
    }
    const double* V() const { return a[0]; }
};

// Best processor time of one ek_bandFactor + ek_bandSolve of A (on a
// fresh copy of its band each time, the copy not timed).
double factorSolveSeconds(const ekBandMatrix& A, int repeats)
{
    const int n = A.size();
    const size_t entries = static_cast<size_t>(A.ldab()) * static_cast<size_t>(n);
    std::vector<double> band(entries);
    std::vector<int> pivots(static_cast<size_t>(n));
    std::vector<double> x(static_cast<size_t>(n));
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        std::copy(A.data(), A.data() + entries, band.begin());
        std::fill(x.begin(), x.end(), 1.0);
        const double t0 = cpuSeconds();
        if (ek_bandFactor(n, A.lower(), A.upper(), band.data(), A.ldab(), pivots.data()) != 0) {
            return -1.0;
        }
        ek_bandSolve(n, A.lower(), A.upper(), band.data(), A.ldab(), pivots.data(), x.data());
        best = std::min(best, cpuSeconds() - t0);
    }
    return best;
}

// The Newton band of a device file at its equilibrium: the device is read
// and meshed as a run does, its equilibrium solved, and the coupled system
// assembled there. Returns the best time of one factor + solve of that
// band (-1 on failure); *points receives the mesh size.
double newtonBandSeconds(const std::filesystem::path& folder, const std::string& text, int repeats,
                         int* points)
{
    const std::filesystem::path file = writeDeviceFile(folder, text);
    nuSigma sigma;
    nuParam param;
    param.mesh = nuParam::MESH_LAYER;
    param.dampMode = 0x50;
    ElecDevice device(&sigma, &param);
    ekSimulator sim(&sigma, &param);
    ekExcitation excitation(&sigma);
    ekInput input;
    int line = -1;
    const QuietEngine quiet;  // the reader's warnings were shown by the runs
    if (!input.load(file.wstring().c_str(), &sim, &device, &excitation, &sigma, &param, &line)) {
        return -1.0;
    }
    device.updateThickness();
    sim.setDevice(&device, std::max(param.points, 50));
    const int N = sim.getPoints();
    *points = N;
    if (!sigma.isOK() || N < 3) {
        return -1.0;
    }
    param.method = nuParam::METHOD_GUMMEL;  // the equilibrium needs no Newton arrays
    EquilibriumWork work(N);
    if (work.solve(sim) < 0 || !(param.lastError < param.reltol)) {
        return -1.0;
    }
    const int n = 3 * N;
    std::vector<double> x(static_cast<size_t>(n), 0.0), F(x), b(x);
    for (int k = 0; k < N; ++k) {
        x[3 * static_cast<size_t>(k)] = work.V()[k];
    }
    ekBandMatrix J(n, EK_NEWTON_KL, EK_NEWTON_KU);
    double norm = 0.0;
    sim.transportNewton(x.data(), F.data(), b.data(), nullptr, nullptr, nullptr, &J, nullptr,
                        nullptr, n, &norm);
    return factorSolveSeconds(J, repeats);
}

// The equilibrium of an 800-point silicon p-n junction (300 points in 1 um
// of p-type 1e17, 500 in 2 um of n-type 1e16), solved `repeats` times on
// one simulator: the best time of one solve, its factorisations, and the
// best time of one factor + solve of its tridiagonal band.
struct EquilibriumFigures {
    int points = 0;
    double seconds = 1e300;
    long factorisations = 0;
    double luSeconds = 0.0;
};

bool timeEquilibrium(int repeats, EquilibriumFigures* out)
{
    nuSigma sigma;
    nuParam param;
    ElecDevice device(&sigma, &param);
    ekLayer* p = device.addLayer(L"Si", L"P", 0x20);
    ekLayer* n = device.addLayer(L"Si", L"N", 0x10);
    if (p == nullptr || n == nullptr || !p->updateDopant(0x20, 1e17, 1e22) ||
        !n->updateDopant(0x10, 1e16, 1e22)) {
        return false;
    }
    p->updateThickness(1.0);
    n->updateThickness(2.0);
    p->updateMesh(300);
    n->updateMesh(500);
    device.updateThickness();
    device.updateAnode(L"Anode", 0.0, 1e7, 1e7, ekContact::TYPE_OHMIC, false, p, 0);
    device.updateCathode(L"Cathode", 0.0, 1e7, 1e7, ekContact::TYPE_OHMIC, false, n, 0);
    ekSimulator sim(&sigma, &param);
    param.mesh = nuParam::MESH_LAYER;
    param.method = nuParam::METHOD_GUMMEL;  // no Newton arrays for the driver to make
    param.dampMode = 0x50;
    sim.setDevice(&device, 800);
    const int N = sim.getPoints();
    out->points = N;
    // The solve alone, on arrays of its own: the distribution file the
    // engine writes after it is not part of the equilibrium.
    EquilibriumWork work(N);
    for (int r = 0; r < repeats; ++r) {
        sim.resetPrev();
        const long before = ek_bandFactorisations();
        const double t0 = cpuSeconds();
        const int iters = work.solve(sim);
        const double t = cpuSeconds() - t0;
        out->factorisations = ek_bandFactorisations() - before;
        if (iters < 0 || !sigma.isOK() || !(param.lastError < param.reltol)) {
            return false;
        }
        out->seconds = std::min(out->seconds, t);
    }
    // Its own tridiagonal system, assembled at the solution.
    std::vector<double> V(work.V(), work.V() + N), zero(static_cast<size_t>(N), 0.0);
    std::vector<double> F(zero), b(zero), lower(zero), diag(zero), upper(zero), Fn(zero), Fp(zero);
    double norm = 0.0;
    sim.setAppliedVoltage(0.0);
    sim.transportPoisson(V.data(), F.data(), b.data(), lower.data(), diag.data(), upper.data(),
                         nullptr, Fn.data(), Fp.data(), N, &norm);
    ekBandMatrix T(N, 1, 1);
    for (int i = 0; i < N; ++i) {
        if (i > 0) {
            T.at(i, i - 1) = lower[i];
        }
        T.at(i, i) = diag[i];
        if (i + 1 < N) {
            T.at(i, i + 1) = upper[i];
        }
    }
    out->luSeconds = factorSolveSeconds(T, 50 * repeats);
    return out->luSeconds > 0.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("kovra_bench_devices_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    const int smallMesh[4] = {205, 311, 311, 205};
    const int largeMesh[4] = {5000, 5000, 5000, 5000};  // 5000: the most a layer takes
    const std::string diodeSweep =
        "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n    Voltage.End=0.6\n"
        "    Voltage.Step=0.1\n";
    const Device devices[] = {
        {"long-base Si diode, dark", diodeLayers(smallMesh), diodeSweep, NO_SWEEP, 7, repeats},
        {"long-base Si diode, dark", diodeLayers(largeMesh), diodeSweep, NO_SWEEP, 7, repeats},
        {"CdS/CdTe heterojunction, AM1.5", HETERO_LAYERS,
         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=-0.9\n    Voltage.End=0\n"
         "    Voltage.Step=0.1\n[Light]\n    Light.Source=\"AM1.5\"\n",
         // Under AM1.5 a run needs a sweep: the still run is -0.1 V and 0 V.
         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=-0.1\n    Voltage.End=0\n"
         "    Voltage.Step=0.1\n[Light]\n    Light.Source=\"AM1.5\"\n",
         8, repeats},
    };
    std::printf("processor time, best of %d runs\n", repeats);
    std::printf("%-32s %6s %10s %8s %8s %10s %10s %8s\n", "device", "points", "ms/point",
                "steps/pt", "LU/pt", "step us", "LU us", "step/LU");
    int failures = 0;
    for (const Device& d : devices) {
        // The best of each run, so that a busy machine's pauses do not enter
        // the difference.
        double swept = 1e300, still = 1e300;
        long lu = 0, steps = 0;
        bool ok = true;
        for (int r = 0; r < d.repeats && ok; ++r) {
            RunCounts s, t;
            ok = timeRun(folder, d.layers + d.sweep, &s) && timeRun(folder, d.layers + d.still, &t);
            swept = std::min(swept, s.seconds);
            still = std::min(still, t.seconds);
            lu = s.factorisations - t.factorisations;
            steps = s.newtonSteps - t.newtonSteps;
        }
        int points = 0;
        const double luSeconds =
            ok ? newtonBandSeconds(folder, d.layers + d.sweep, 20 * repeats, &points) : -1.0;
        if (!ok || luSeconds <= 0.0) {
            std::printf("%-32s FAILED\n", d.name);
            ++failures;
            continue;
        }
        const double perPoint = (swept - still) / d.biasPoints;
        const double stepsPerPoint = static_cast<double>(steps) / d.biasPoints;
        const double stepSeconds = stepsPerPoint > 0.0 ? perPoint / stepsPerPoint : 0.0;
        std::printf("%-32s %6d %10.3f %8.2f %8.2f %10.1f %10.1f %8.2f\n", d.name, points,
                    1000.0 * perPoint, stepsPerPoint, static_cast<double>(lu) / d.biasPoints,
                    1e6 * stepSeconds, 1e6 * luSeconds, stepSeconds / luSeconds);
    }

    EquilibriumFigures eq;
    if (timeEquilibrium(20 * repeats, &eq)) {
        const double perIteration = eq.seconds / std::max(1L, eq.factorisations);
        std::printf("\nequilibrium (Poisson alone, no file written)\n");
        std::printf("%-32s %6s %10s %8s %10s %10s %8s\n", "device", "points", "ms/solve", "iters",
                    "iter us", "LU us", "iter/LU");
        std::printf("%-32s %6d %10.3f %8ld %10.1f %10.2f %8.2f\n", "Si p-n junction", eq.points,
                    1000.0 * eq.seconds, eq.factorisations, 1e6 * perIteration, 1e6 * eq.luSeconds,
                    perIteration / eq.luSeconds);
    } else {
        std::printf("Si p-n junction equilibrium FAILED\n");
        ++failures;
    }
    std::printf("\nsteps/pt: Newton steps per bias point; LU/pt: banded LU factorisations per\n"
                "point (one per Newton step); step us: time per point / steps per point;\n"
                "LU us: one ek_bandFactor + ek_bandSolve of the device's own band; iters: one\n"
                "tridiagonal LU each.\n");
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
