// Bias sweeps of two devices through the whole engine (ek_simulate), in
// one run: a long-base silicon diode (1032 points, dark, 0 .. 0.6 V) and a
// CdS/CdTe heterojunction (370 points, AM1.5, -0.9 .. 0 V), both in 0.1 V
// steps, and the equilibrium of an 800-point silicon junction. Each device
// is also run without a sweep (two points near 0 V under light); the
// difference is the time of the bias points alone. Prints, per device, the
// time and the banded LU factorisations per bias point, and the time of one
// equilibrium solve. Usage: device_sweeps [repeats]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ekBandMatrix.h"
#include "ekContact.h"
#include "ekLayer.h"
#include "ekLinearSolver.h"
#include "ekSimulator.h"
#include "ekcore.h"
#include "nuParam.h"
#include "nuSigma.h"

namespace {

struct Device {
    const char* name;
    std::string layers;  // [Layer..] and [Anode]/[Cathode] sections
    std::string sweep;   // [Voltage] and [Light] sections of the swept run
    std::string still;   // the same without a sweep
    int biasPoints;  // the swept run's points less the still run's
};

std::string diodeLayers()
{
    // Over five diffusion lengths a side, finer near the junction. No step
    // exceeds a fifth of the thinnest layer, so the mesh keeps its 1032
    // points (a coarser layer would be refined to thousands of points).
    const char* layers[4][3] = {{"800", "P", "205"}, {"20", "P", "311"}, {"20", "N", "311"},
                                {"600", "N", "205"}};
    std::string text;
    for (int l = 0; l < 4; ++l) {
        text += "[Layer" + std::to_string(l + 1) + "]\n    Material=\"Si\"\n    Thickness=" +
                layers[l][0] + "\n    Dopant.Type=\"" + layers[l][1] +
                "\"\n    Dopant.N=1e16\n    Trap1.Type=\"Donor\"\n    Trap1.N=1e12\n"
                "    Trap1.Nr=1e19\n    Trap1.E=0\n    Trap1.Taun=1e-5\n    Trap1.Taup=1e-5\n"
                "    Mesh.Points=" + layers[l][2] + "\n";
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

// Seconds and factorisations of one run; false when it failed.
bool timeRun(const std::filesystem::path& folder, const std::string& text, double* seconds,
             long* factorisations)
{
    const std::filesystem::path file = folder / "device.kovra";
    std::ofstream(file) << "# Kovra <SL>\n"
                        << text << "[Numeric]\n    Numeric.Mesh=\"Layer\"\n"
                        << "[Command]\n    Command.OutDir=\".\"\n";
    wchar_t names[5][EK_FILENAME_SIZE] = {};
    // The engine's own lines would bury the figures: they go to /dev/null.
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        return false;
    }
    const long before = ek_bandFactorisations();
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = ek_simulate(file.wstring().c_str(), false, false, false, nullptr, true,
                                names[0], names[1], names[2], names[3], names[4], nullptr);
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    *factorisations = ek_bandFactorisations() - before;
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return ok;
}

// The equilibrium of an 800-point silicon p-n junction (300 points in 1 um
// of p-type 1e17, 500 in 2 um of n-type 1e16), solved `repeats` times on
// one simulator: the best time of one solve and its factorisations.
bool timeEquilibrium(int repeats, double* seconds, long* factorisations, int* points)
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
    *points = N;
    // The solve alone, on arrays of its own: the distribution file the
    // engine writes after it is not part of the equilibrium.
    std::vector<std::vector<double>> arrays(14, std::vector<double>(static_cast<size_t>(N)));
    double* a[14];
    for (int i = 0; i < 14; ++i) {
        a[i] = arrays[i].data();
    }
    ekBandMatrix* jacobian = nullptr;  // Poisson alone is tridiagonal
    *seconds = 1e300;
    for (int r = 0; r < repeats; ++r) {
        sim.resetPrev();
        const long before = ek_bandFactorisations();
        const auto t0 = std::chrono::steady_clock::now();
        const int iters = sim.doSolvePoisson(a[0], a[1], a[2], a[3], a[4], a[5], a[6], &a[7], &a[8],
                                             &a[9], &a[10], &jacobian, &a[11], &a[12], &a[13]);
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        *factorisations = ek_bandFactorisations() - before;
        if (iters < 0 || !sigma.isOK() || !(param.lastError < param.reltol)) {
            return false;
        }
        *seconds = std::min(*seconds, t);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kovra_bench_devices_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    const Device devices[] = {
        {"long-base Si diode, 1032 points, dark", diodeLayers(),
         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n    Voltage.End=0.6\n"
         "    Voltage.Step=0.1\n",
         NO_SWEEP, 7},
        {"CdS/CdTe heterojunction, 370 points, AM1.5", HETERO_LAYERS,
         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=-0.9\n    Voltage.End=0\n"
         "    Voltage.Step=0.1\n[Light]\n    Light.Source=\"AM1.5\"\n",
         // Under AM1.5 a run needs a sweep: the still run is -0.1 V and 0 V.
         "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=-0.1\n    Voltage.End=0\n"
         "    Voltage.Step=0.1\n[Light]\n    Light.Source=\"AM1.5\"\n",
         8},
    };
    std::printf("%-46s %8s %16s %18s\n", "device", "points", "ms per point", "LU per point");
    int failures = 0;
    for (const Device& d : devices) {
        // The best of each run, so that a busy machine's pauses do not enter
        // the difference.
        double swept = 1e300, still = 1e300;
        long lu = 0;
        for (int r = 0; r < repeats; ++r) {
            double s = 0, t = 0;
            long luSwept = 0, luStill = 0;
            if (!timeRun(folder, d.layers + d.sweep, &s, &luSwept) ||
                !timeRun(folder, d.layers + d.still, &t, &luStill)) {
                ++failures;
                break;
            }
            swept = std::min(swept, s);
            still = std::min(still, t);
            lu = luSwept - luStill;
        }
        std::printf("%-46s %8d %16.3f %18.1f\n", d.name, d.biasPoints,
                    1000.0 * (swept - still) / d.biasPoints, static_cast<double>(lu) / d.biasPoints);
    }

    double seconds = 0;
    long lu = 0;
    int points = 0;
    if (timeEquilibrium(20 * repeats, &seconds, &lu, &points)) {
        std::printf("%-46s %8d %16.3f %18ld   (one equilibrium solve)\n",
                    "Si p-n junction at equilibrium", points, 1000.0 * seconds, lu);
    } else {
        ++failures;
    }
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
