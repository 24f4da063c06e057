// Light sources and the generation they produce: the setters' ranges and
// messages, the spectrum record (bins of a spectrum file, attenuation in the
// anode, totals), and Beer-Lambert absorption on the mesh, whose generation
// integrated over the control boxes must be the absorbed flux on any mesh.
#include <cmath>
#include <iomanip>
#include <sstream>
#include <vector>

#include "ElecSweep.h"
#include "ekContact.h"
#include "ekSpectrumAM15.h"
#include "simulatorFixture.h"

namespace {

constexpr double FOUR_PI = 12.566370614359172;

class LightTest : public SimulatorFixture {
protected:
    double scale() const { return sim.getNorm().photonFlux; }

    // An index table with the same n and k at every wavelength, so the
    // absorption coefficient is exactly 4 pi k / lambda.
    std::wstring constantIndexFile(const char* name, double k)
    {
        std::ostringstream text;
        text << std::fixed << std::setprecision(4) << "# wavelength\tn\tk\n";
        for (double wl : {0.2, 0.4, 0.6, 0.8, 1.0, 2.0}) {
            text << wl << "\t3.5000\t" << k << "\n";
        }
        return writeFile(name, text.str());
    }

    ekLayer* absorber(double thickness, double k, const char* file, int points = 200)
    {
        ekLayer* layer = addLayer(L"GaAs", thickness, 0x10, 1e16, points);
        EXPECT_TRUE(layer->updateIndexFile(constantIndexFile(file, k).c_str(), true));
        EXPECT_TRUE(layer->loadIndexFile());
        return layer;
    }

    // Generation integrated over the control boxes.
    double generationIntegral() const
    {
        double sum = 0.0;
        for (int i = 0; i < sim.getPoints(); ++i) {
            sum += sim.getMesh().mat.Gop[i] * sim.getMesh().controlWidth(i);
        }
        return sum;
    }

    // A mesh file over [0, thickness] whose steps alternate between h and
    // 10 h.
    int meshTenfold(double thickness, double h)
    {
        std::ostringstream text;
        text.precision(17);
        double z = 0.0;
        int rows = 0;
        for (bool wide = false; z + 11 * h < thickness; wide = !wide) {
            text << z << "\n";
            ++rows;
            z += wide ? 10 * h : h;
        }
        text << z << "\n" << thickness << "\n";
        rows += 2;
        sim.setMeshFilename(writeFile("mesh.txt", text.str()).c_str());
        device.updateThickness();
        const int count = sim.meshInit(thickness);
        EXPECT_EQ(count, rows);
        return count;
    }
};

TEST_F(LightTest, MonochromaticRangesAndTheLightOffThreshold)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    struct Case {
        double wavelength, flux;
        bool accepted;
        uint8_t kind;  // light type afterwards
    };
    const Case cases[] = {
        {0.5, 999.0, true, 0},  // below 1000 photons the light is off
        {0.5, 1000.0, true, 0x10}, {0.5, 1e17, true, 0x10}, {0.09, 1e17, false, 0},
        {10.5, 1e17, false, 0},    {0.5, 2e28, false, 0},   {0.5, -1.0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wavelength);
        SCOPED_TRACE(c.flux);
        sigma.reset();
        EXPECT_EQ(sim.setLightMono(&device, c.wavelength, c.flux, 0x10), c.accepted);
        EXPECT_EQ(sim.getLightType(), c.kind);
        if (!c.accepted) {
            EXPECT_EQ(lastMessage(),
                      L"[ERROR]   light spectrum not set: invalid [wavelength flux] data\n");
            EXPECT_FALSE(sigma.isOK());
        } else if (c.kind != 0) {
            EXPECT_NEAR(sim.getLightTotal(2) * scale(), c.flux, 1e-9 * c.flux);
            EXPECT_NEAR(sim.getLightTotal(3), c.flux * 1.239842 / 0.5 * 1.602176e-19,
                        1e-12 * c.flux);
            EXPECT_DOUBLE_EQ(sim.getReferenceWavelength(), 0.5);
        } else {
            EXPECT_EQ(sim.getLightTotal(0), 0.0);
            EXPECT_EQ(sim.getLightTotal(2), 0.0);
        }
    }
    EXPECT_FALSE(sim.setLightMono(nullptr, 0.5, 1e17, 0x10));
}

TEST_F(LightTest, AnodeAbsorptionOfAMonochromaticLineAndItsWarnings)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    ekContact* anode = device.getAnode();
    anode->updateThickness(0.02);
    ASSERT_TRUE(anode->updateIndexnk(2.0, 0.5));
    ASSERT_TRUE(sim.setLightMono(&device, 0.6, 1e17, 0x10));
    const double T = std::exp(-FOUR_PI * 0.5 / 0.6 * 0.02);
    EXPECT_NEAR(sim.getLightTotal(0) / sim.getLightTotal(2), T, 1e-12);

    // An anode that lets almost nothing through warns, but is no error.
    anode->updateThickness(5.0);
    const std::string warning =
        "[WARNING] monochromatic light flux decreases to almost zero (due to absorption in the "
        "anode)\n";
    for (bool quiet : {false, true}) {
        sigma.nowarn = quiet;
        ::testing::internal::CaptureStdout();
        ASSERT_TRUE(sim.setLightMono(&device, 0.6, 1e17, 0x10));
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(sigma.isOK());
        EXPECT_EQ(printed.find(warning) != std::string::npos, !quiet) << printed;
    }
    sigma.nowarn = false;

    // A contact thinner than 1e-5 um transmits everything.
    anode->updateThickness(5e-6);
    ASSERT_TRUE(sim.setLightMono(&device, 0.6, 1e17, 0x10));
    EXPECT_EQ(sim.getLightTotal(0), sim.getLightTotal(2));
}

TEST_F(LightTest, WavelengthGridOfAQuantumEfficiencySweep)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    ASSERT_TRUE(sim.setLightEQE(&device, 0.3, 1.2, 0.01, 1e17));
    const ElecSweep* light = sim.getSweepLight();
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->getPoints(), 91);
    EXPECT_EQ(sim.getLightType(), 0x11);
    EXPECT_NEAR(light->getData(0, 90), 1.2, 1e-12);
    for (int i = 0; i < 91; i += 30) {
        EXPECT_NEAR(light->getData(0, i), 0.3 + 0.01 * i, 1e-12);
        EXPECT_NEAR(light->getData(1, i) * scale(), 1e17, 1e5);
        EXPECT_EQ(light->getData(3, i), light->getData(1, i));
        EXPECT_EQ(light->getData(4, i), 0.0);
        EXPECT_EQ(light->getMask(i), ElecSweep::MASK_SET);
    }
    EXPECT_NEAR(sim.getLightTotal(2) * scale(), 91e17, 1e7);

    struct Refusal {
        double start, end, step, flux;
        const wchar_t* message;
    };
    const Refusal refusals[] = {
        {0.1, 10.0, 0.001, 1e17,
         L"[ERROR]   invalid wavelength number of points (valid range: [1 ; 5000])\n"},
        {0.3, 1.2, 2e-7, 1e17,
         L"[ERROR]   invalid wavelength range (valid range: [0.1 ; 10] um ; min step: 1e-6 um)\n"},
        {0.3, 1.2, 1.0, 1e17,
         L"[ERROR]   invalid wavelength range (valid range: [0.1 ; 10] um ; min step: 1e-6 um)\n"},
        {0.05, 1.2, 0.01, 1e17,
         L"[ERROR]   invalid wavelength range (valid range: [0.1 ; 10] um ; min step: 1e-6 um)\n"},
        {0.3, 1.2, 0.01, 1e29,
         L"[ERROR]   light spectrum not set: invalid flux (valid range: [0 ; 1e28] 1/cm2/s)\n"},
    };
    for (const Refusal& r : refusals) {
        sigma.reset();
        EXPECT_FALSE(sim.setLightEQE(&device, r.start, r.end, r.step, r.flux));
        EXPECT_EQ(lastMessage(), r.message);
    }
}

TEST_F(LightTest, SpectrumFileRowsBecomeBins)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    const std::wstring file = writeFile("spectrum.txt", "0.5\t1e16\n0.6\t1e16\n0.7\t1e16\n");
    ASSERT_TRUE(sim.setLightCustom(&device, file.c_str(), 0x80));
    const ElecSweep* light = sim.getSweepLight();
    ASSERT_NE(light, nullptr);
    ASSERT_EQ(light->getPoints(), 3);
    const double bins[] = {5e14, 1e15, 5e14};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(light->getData(1, i) * scale(), bins[i], 1e-9 * bins[i]) << i;
    }
    EXPECT_EQ(sim.getLightType(), 0x80);

    // One row has no neighbour to size its bin: it is one line of that flux.
    ASSERT_TRUE(sim.setLightCustom(&device, writeFile("line.txt", "0.55\t3e16\n").c_str(), 0x11));
    ASSERT_EQ(sim.getSweepLight()->getPoints(), 1);
    EXPECT_NEAR(sim.getSweepLight()->getData(1, 0) * scale(), 3e16, 1e3);

    const char* bad[] = {"0.5\t1e16\n0.5\t1e16\n", "0.6\t1e16\n0.5\t1e16\n",
                         "0.5\t1e16\n11\t1e16\n", "0.5\t-1\n0.6\t1e16\n"};
    for (const char* text : bad) {
        sigma.reset();
        EXPECT_FALSE(sim.setLightCustom(&device, writeFile("bad.txt", text).c_str(), 0x80)) << text;
        EXPECT_EQ(lastMessage(),
                  L"[ERROR]   invalid custom light spectrum: the increasing ordered wavelength "
                  L"should be between 0.1 and 10 um, and flux between 0 and 1e28 1/cm2/s\n")
            << text;
    }
    // An unreadable file fails with a message, never silently.
    sigma.reset();
    EXPECT_FALSE(sim.setLightCustom(&device, path("missing.txt").c_str(), 0x80));
    EXPECT_FALSE(sigma.isOK());
}

TEST_F(LightTest, SpectrumThroughAnAbsorbingAnode)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    ekContact* anode = device.getAnode();
    anode->updateThickness(0.01);
    ASSERT_TRUE(anode->updateIndexnk(1.5, 0.4));
    const double pairs[] = {0.4, 1e16, 0.8, 3e16};
    sigma.setOutputType(0x10);
    ASSERT_TRUE(sim.setLightData(&device, 2, pairs, 0x80));
    const ElecSweep* light = sim.getSweepLight();
    double in = 0.0, out = 0.0;
    for (int i = 0; i < 2; ++i) {
        const double wl = pairs[2 * i];
        const double T = std::exp(-FOUR_PI * 0.4 / wl * 0.01);
        EXPECT_NEAR(light->getData(3, i) / light->getData(1, i), T, 1e-12);
        in += pairs[2 * i + 1] * 1.239842 / wl;
        out += pairs[2 * i + 1] * T * 1.239842 / wl;
    }
    EXPECT_NEAR(sim.getLightTotal(3), in * 1.602176e-19, 1e-12 * in * 1.602176e-19);
    // The last line reports the power the anode takes, in percent.
    const std::wstring message = lastMessage();
    ASSERT_EQ(message.rfind(L"[LIGHT]   External light absorption in the anode A = ", 0), 0u);
    const double A = std::wcstod(message.c_str() + 53, nullptr);
    EXPECT_NEAR(A, (in - out) * 100 / in, 1e-4 * A);
}

TEST_F(LightTest, SpectrumDataOutsideTheRecordIsRefused)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    // More bins than the record holds would be cut to a default size.
    std::vector<double> many;
    for (int i = 0; i < 5001; ++i) {
        many.push_back(0.3 + 1e-4 * i);
        many.push_back(1e14);
    }
    EXPECT_FALSE(sim.setLightData(&device, 5001, many.data(), 0x80));
    EXPECT_EQ(lastMessage(),
              L"[ERROR]   invalid wavelength number of points (valid range: [1 ; 5000])\n");
    sigma.reset();
    EXPECT_TRUE(sim.setLightData(&device, 5000, many.data(), 0x80));
    EXPECT_EQ(sim.getSweepLight()->getPoints(), 5000);
    // A wavelength of 0 would divide by zero in the photon energy.
    const double zero[] = {0.0, 1e16, 0.5, 1e16};
    EXPECT_FALSE(sim.setLightData(&device, 2, zero, 0x80));
    EXPECT_FALSE(sigma.isOK());
}

TEST_F(LightTest, AM15SpectrumTotals)
{
    addLayer(L"Si", 1.0, 0x20, 1e16);
    ASSERT_TRUE(sim.setLightAM15(&device));
    EXPECT_EQ(sim.getLightType(), 0x40);
    EXPECT_EQ(sim.getSweepLight()->getPoints(), EK_SPECTRUM_AM15_ROWS);
    EXPECT_NEAR(sim.getLightTotal(2) * scale(), EK_SPECTRUM_AM15_PHOTONS,
                1e-4 * EK_SPECTRUM_AM15_PHOTONS);
    EXPECT_GT(sim.getLightTotal(3), 0.095);
    EXPECT_LT(sim.getLightTotal(3), 0.101);
}

TEST_F(LightTest, GenerationIntegralIsTheAbsorbedFluxOnUniformAndUnevenMeshes)
{
    // k = 0.2 at 0.6 um: alpha = 4.19 /um, so a coarse step of the uneven
    // mesh (0.025 um) absorbs a tenth of the light reaching it.
    const double k = 0.2, wavelength = 0.6, d = 1.0;
    const double alpha = FOUR_PI * k / wavelength;  // 1/um
    const double absorbedFraction = 1.0 - std::exp(-alpha * d);
    for (bool uneven : {false, true}) {
        SCOPED_TRACE(uneven);
        device.removeAllLayers();
        absorber(d, k, "index.nk");
        ASSERT_TRUE(sim.setLightMono(&device, wavelength, 1e17, 0x10));
        if (uneven) {
            const int rows = meshTenfold(d, 0.0025);
            sim.setDevice(&device, rows);
        } else {
            sim.setMeshFilename(L"");
            build(nuParam::MESH_LAYER, 1000);
        }
        ASSERT_TRUE(sigma.isOK()) << lastMessage();
        const double F0 = sim.getLightTotal(0);
        double absorbed = -1.0;
        sim.updateGoptMono(0, wavelength, F0, &absorbed);
        EXPECT_NEAR(absorbed, F0 * absorbedFraction, 1e-9 * F0);
        EXPECT_NEAR(generationIntegral(), F0 * absorbedFraction, 1e-9 * F0);
        // The flux at every point follows Beer-Lambert's law.
        const ekMaterialArrays& m = sim.getMesh().mat;
        const double L = sim.getNorm().length;
        for (int i = 0; i < sim.getPoints(); i += 7) {
            const double z = sim.getMesh().sol.z[i] * L;
            EXPECT_NEAR(m.photonFlux[i], F0 * std::exp(-alpha * z), 1e-9 * F0) << i;
        }
        // A second pass starts again from the full flux.
        sim.updateGoptMono(0, wavelength, F0, &absorbed);
        EXPECT_NEAR(generationIntegral(), F0 * absorbedFraction, 1e-9 * F0);
    }
}

TEST_F(LightTest, GenerationAcrossAnInterfaceAndThroughTheCathode)
{
    absorber(0.3, 0.1, "a.nk", 60);
    absorber(0.7, 0.4, "b.nk", 140);
    ekContact* cathode = device.getCathode();
    cathode->updateThickness(0.05);
    ASSERT_TRUE(sim.setLightMono(&device, 0.5, 1e17, 0x10));
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK()) << lastMessage();
    const double a1 = FOUR_PI * 0.1 / 0.5, a2 = FOUR_PI * 0.4 / 0.5;
    const double F0 = sim.getLightTotal(0);
    const double leaving = F0 * std::exp(-a1 * 0.3 - a2 * 0.7);
    double absorbed = 0.0;
    sim.updateGoptMono(0, 0.5, F0, &absorbed);
    EXPECT_NEAR(generationIntegral(), F0 - leaving, 1e-9 * F0);
    // The layer after the interface absorbs by its own coefficient.
    const int iface = sim.getMesh().getInterfaceIndex(0);
    const ekMaterialArrays& m = sim.getMesh().mat;
    EXPECT_NEAR(m.Gop[iface + 5] / m.photonFlux[iface + 5], a2 * sim.getNorm().length, 1e-3 * a2);
    EXPECT_NEAR(m.Gop[iface - 5] / m.photonFlux[iface - 5], a1 * sim.getNorm().length, 1e-3 * a1);
    // Without a tabulated cathode index nothing more is absorbed...
    EXPECT_NEAR(absorbed, F0 - leaving, 1e-9 * F0);
    // ...with one, the cathode takes its share of what leaves the device.
    ASSERT_TRUE(cathode->assignSpectrum(1));
    ASSERT_TRUE(cathode->setIndexFromSpectrum(0, 0.5, 0.2));
    sim.updateGoptMono(0, 0.5, F0, &absorbed);
    const double throughCathode = leaving * std::exp(-FOUR_PI * 0.2 / 0.5 * 0.05);
    EXPECT_NEAR(absorbed, F0 - throughCathode, 1e-9 * F0);
}

TEST_F(LightTest, SpectrumIsNotAttenuatedByAnInitialisation)
{
    addLayer(L"Si", 2.0, 0x20, 1e16, 200);
    ASSERT_TRUE(sim.setLightAM15(&device));
    std::vector<double> before(EK_SPECTRUM_AM15_ROWS);
    for (int r = 0; r < EK_SPECTRUM_AM15_ROWS; ++r) {
        before[r] = sim.getSweepLight()->getData(3, r);
    }
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const std::vector<double> first(sim.getMesh().mat.Gop, sim.getMesh().mat.Gop + sim.getPoints());
    ASSERT_GT(first[0], 0.0);
    // A second initialisation on the same mesh gives the same generation.
    build(nuParam::MESH_LAYER, 1000);
    for (int i = 0; i < sim.getPoints(); i += 11) {
        EXPECT_DOUBLE_EQ(sim.getMesh().mat.Gop[i], first[i]) << i;
    }
    for (int r = 0; r < EK_SPECTRUM_AM15_ROWS; r += 97) {
        EXPECT_EQ(sim.getSweepLight()->getData(3, r), before[r]) << r;
    }
    // updateGoptMono belongs to monochromatic and sweep light only.
    sim.updateGoptMono(0, 0.5, 1.0, nullptr);
    EXPECT_DOUBLE_EQ(sim.getMesh().mat.Gop[0], first[0]);
}

}  // namespace
