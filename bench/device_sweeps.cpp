// Bias sweeps of two devices through the whole engine (ek_simulate), in
// one run: a long-base silicon diode (1032 points, dark, 0 .. 0.6 V) and a
// CdS/CdTe heterojunction (370 points, AM1.5, -0.9 .. 0 V), both in 0.1 V
// steps, and the equilibrium of an 800-point silicon junction. Each device
// is also run without a sweep (two points near 0 V under light); the difference is
// the time of the bias points alone. Prints, per device, the time and the banded LU
// factorisations per bias point. Usage: device_sweeps [repeats]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ekLinearSolver.h"
#include "ekcore.h"

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

const char* const JUNCTION_LAYERS = R"([Layer1]
    Material="Si"
    Thickness=1
    Dopant.Type="P"
    Dopant.N=1e17
    Mesh.Points=300
[Layer2]
    Material="Si"
    Thickness=2
    Dopant.Type="N"
    Dopant.N=1e16
    Mesh.Points=500
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

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
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
        double best = 1e300;
        long lu = 0;
        for (int r = 0; r < repeats; ++r) {
            double swept = 0, still = 0;
            long luSwept = 0, luStill = 0;
            if (!timeRun(folder, d.layers + d.sweep, &swept, &luSwept) ||
                !timeRun(folder, d.layers + d.still, &still, &luStill)) {
                ++failures;
                break;
            }
            best = std::min(best, (swept - still) / d.biasPoints);
            lu = luSwept - luStill;
        }
        std::printf("%-46s %8d %16.3f %18.1f\n", d.name, d.biasPoints, 1000.0 * best,
                    static_cast<double>(lu) / d.biasPoints);
    }

    // Equilibrium: the run without a sweep less the set-up, approximated
    // by the same device with the equilibrium alone.
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        double seconds = 0;
        long lu = 0;
        if (!timeRun(folder, std::string(JUNCTION_LAYERS) + NO_SWEEP, &seconds, &lu)) {
            ++failures;
            break;
        }
        best = std::min(best, seconds);
    }
    std::printf("%-46s %8d %16.3f   (whole run: set-up, equilibrium, files)\n",
                "Si p-n junction at equilibrium, 800 points", 1, 1000.0 * best);
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
