#include <gtest/gtest.h>

#include <cmath>

#include "ekSpectrumAM15.h"

namespace {

double wavelength(int row) { return ekSpectrumAM15[2 * row]; }
double flux(int row) { return ekSpectrumAM15[2 * row + 1]; }

}  // namespace

TEST(SpectrumAM15, RowsLieOnTheTwoNanometreGrid)
{
    ASSERT_EQ(EK_SPECTRUM_AM15_ROWS, 1859);
    ASSERT_EQ(sizeof(ekSpectrumAM15) / sizeof(double), 2u * 1859u);
    EXPECT_DOUBLE_EQ(wavelength(0), 0.284);
    EXPECT_DOUBLE_EQ(wavelength(EK_SPECTRUM_AM15_ROWS - 1), 4.0);
    for (int i = 0; i < EK_SPECTRUM_AM15_ROWS; ++i) {
        ASSERT_NEAR(wavelength(i), 0.284 + 0.002 * i, 1e-12) << i;
        if (i > 0) {
            ASSERT_GT(wavelength(i), wavelength(i - 1)) << i;
        }
        ASSERT_TRUE(std::isfinite(flux(i)) && flux(i) >= 0.0) << i;
    }
}

TEST(SpectrumAM15, PhotonTotalIsTheEnginesAM15Flux)
{
    double total = 0.0;
    for (int i = 0; i < EK_SPECTRUM_AM15_ROWS; ++i) {
        total += flux(i);
    }
    EXPECT_NEAR(total / 4.25799e17, 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(EK_SPECTRUM_AM15_PHOTONS, 4.25799e17);
}

TEST(SpectrumAM15, PowerIsTheAM15Power)
{
    // Photon energy as the engine computes it: 1.239842 / lambda eV.
    double power = 0.0;
    for (int i = 0; i < EK_SPECTRUM_AM15_ROWS; ++i) {
        power += flux(i) * 1.239842 / wavelength(i) * 1.602176e-19;
    }
    EXPECT_NEAR(power / 0.0992709, 1.0, 5e-3);
}

TEST(SpectrumAM15, ShapeOfTheSolarSpectrum)
{
    // The atmosphere cuts the ultraviolet below 0.3 um, the spectrum peaks in
    // the visible, and the water band at 1.38 um is nearly dark.
    int peak = 0;
    for (int i = 1; i < EK_SPECTRUM_AM15_ROWS; ++i) {
        if (flux(i) > flux(peak)) {
            peak = i;
        }
    }
    EXPECT_GT(wavelength(peak), 0.45);
    EXPECT_LT(wavelength(peak), 0.9);
    EXPECT_LT(flux(0), 1e-12 * flux(peak));
    const int waterBand = (1380 - 284) / 2;
    EXPECT_NEAR(wavelength(waterBand), 1.38, 1e-12);
    EXPECT_LT(flux(waterBand), 0.05 * flux(peak));
    // The last row is a full bin like its neighbour, not half of one.
    EXPECT_NEAR(flux(EK_SPECTRUM_AM15_ROWS - 1) / flux(EK_SPECTRUM_AM15_ROWS - 2), 1.0, 0.05);
}
