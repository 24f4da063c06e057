// Generation of a whole run under monochromatic light, read back from the
// distribution file: integrated over the control boxes of a mesh whose
// steps change tenfold from one to the next, it is the flux the device
// absorbs by Beer-Lambert's law.
#include <cmath>
#include <cstdio>
#include <vector>

#include "runFixture.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;

class GenerationRunTest : public RunFixture {
protected:
    // Positions from a to b with steps alternating between h and 10 h; the
    // last step ends exactly at b.
    static void appendSteps(std::vector<double>& z, double a, double b, double h)
    {
        double x = a;
        for (bool wide = false; x + 11 * h < b; wide = !wide) {
            z.push_back(x);
            x += wide ? 10 * h : h;
        }
        if (b - x > 0.5 * h) {
            z.push_back(x);
        }
        z.push_back(b);
    }
};

TEST_F(GenerationRunTest, GenerationOverATenfoldUnevenMeshIsTheAbsorbedFlux)
{
    // One p-n stack of two layers with the same constant k: the light
    // decays as exp(-alpha z) with alpha = 4 pi k / lambda.
    const double k = 0.2, wavelength = 0.6, d = 1.0, flux = 1e17;
    std::string index = "# wavelength\tn\tk\n";
    for (const char* wl : {"0.2000", "0.4000", "0.6000", "0.8000", "1.0000"}) {
        index += std::string(wl) + "\t3.5000\t0.2000\n";
    }
    const std::string table = write("absorber.nk", index);
    std::vector<double> z;
    appendSteps(z, 0.0, 0.3, 0.0025);
    z.pop_back();
    appendSteps(z, 0.3, d, 0.0025);
    std::string mesh;
    char line[64];
    for (double p : z) {
        std::snprintf(line, sizeof line, "%.17g\n", p);
        mesh += line;
    }
    const std::string meshFile = write("mesh.txt", mesh);
    std::wstring names[5];
    ASSERT_TRUE(
        run(write("mono.kovra", "# Kovra <SL>\n"
                                "[Layer1]\n    Material=\"GaAs\"\n    Thickness=0.3\n"
                                "    Dopant.Type=\"P\"\n    Dopant.N=1e17\n"
                                "    Index.File=\"" +
                                    table +
                                    "\"\n"
                                    "[Layer2]\n    Material=\"GaAs\"\n    Thickness=0.7\n"
                                    "    Dopant.Type=\"N\"\n    Dopant.N=1e17\n"
                                    "    Index.File=\"" +
                                    table +
                                    "\"\n"
                                    "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n"
                                    "    Voltage.End=0\n    Voltage.Step=0\n"
                                    "[Light]\n    Light.Source=\"Mono\"\n    Light.Wavelength=0.6\n"
                                    "    Light.Flux=1e17\n"
                                    "[Numeric]\n    Numeric.Mesh=\"" +
                                    meshFile +
                                    "\"\n"
                                    "[Command]\n    Command.OutDir=\".\"\n"),
            names))
        << log;
    const auto dist = rows(std::string(names[1].begin(), names[1].end()));
    ASSERT_EQ(dist.size(), z.size());
    double integral = 0.0;  // 1/cm2/s
    for (size_t i = 0; i < dist.size(); ++i) {
        const double left = i > 0 ? dist[i][0] - dist[i - 1][0] : 0.0;
        const double right = i + 1 < dist.size() ? dist[i + 1][0] - dist[i][0] : 0.0;
        integral += dist[i][20] * 0.5 * (left + right) * 1e-4;
    }
    const double alpha = FOUR_PI * k / wavelength;  // 1/um
    EXPECT_NEAR(integral, flux * (1.0 - std::exp(-alpha * d)), 1e-6 * flux);
}

}  // namespace
