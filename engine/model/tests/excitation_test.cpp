#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ekExcitation.h"
#include "nuSigma.h"

namespace {

class ExcitationTest : public ::testing::Test {
protected:
    nuSigma sigma;
    ekExcitation excitation{&sigma};
};

TEST_F(ExcitationTest, DefaultsAfterConstruction)
{
    EXPECT_DOUBLE_EQ(excitation.Vstart, 0.0);
    EXPECT_DOUBLE_EQ(excitation.Vend, 0.5);
    EXPECT_DOUBLE_EQ(excitation.Vstep, 0.01);
    EXPECT_DOUBLE_EQ(excitation.Jinf, -1000.0);
    EXPECT_DOUBLE_EQ(excitation.Jsup, 1000.0);
    EXPECT_EQ(excitation.biasType, 0x10);
    EXPECT_DOUBLE_EQ(excitation.Wstart, 0.3);
    EXPECT_DOUBLE_EQ(excitation.Wend, 1.2);
    EXPECT_DOUBLE_EQ(excitation.Wstep, 0.01);
    for (double f : excitation.flux) {
        EXPECT_DOUBLE_EQ(f, 1e17);
    }
    EXPECT_EQ(excitation.lightType, 0);
    EXPECT_FALSE(excitation.qeSweep);
    EXPECT_STREQ(excitation.getLightFilename(), L"");
    EXPECT_STREQ(excitation.getBiasFilename(), L"");
    EXPECT_TRUE(excitation.isBiasOn());
    EXPECT_FALSE(excitation.isLightOn());
}

struct BiasCase {
    const char* what;
    double Vstart, Vend, Vstep, Jinf, Jsup;
    uint8_t type;
    bool accepted;
};

TEST_F(ExcitationTest, SetVRangesAtTheirBounds)
{
    const double nan = std::nan("");
    const BiasCase cases[] = {
        {"plain sweep", -0.2, 0.8, 0.02, -50, 50, 0x10, true},
        {"Vstart at -100", -100, 0, 0.1, -1, 1, 0x10, true},
        {"Vstart below -100", -100.001, 0, 0.1, -1, 1, 0x10, false},
        {"Vend at 100", 0, 100, 0.1, -1, 1, 0x10, true},
        {"Vend above 100", 0, 100.001, 0.1, -1, 1, 0x10, false},
        {"Vend below Vstart", 0.5, 0.4, 0.01, -1, 1, 0x10, false},
        {"Vend equal Vstart", 0.5, 0.5, 0.0, -1, 1, 0x10, true},
        {"step equal range", 0, 0.5, 0.5, -1, 1, 0x10, true},
        {"step above range", 0, 0.5, 0.6, -1, 1, 0x10, false},
        // End - Start rounds below the step it equals: -0.4 - -0.5 is
        // 0.09999999999999998, 100 - 99.9 is 0.09999999999999432.
        {"step equal a range that rounds below it", -0.5, -0.4, 0.1, -1, 1, 0x10, true},
        {"step equal a range far from 0", 99.9, 100, 0.1, -1, 1, 0x10, true},
        {"step a hair above the range", -0.5, -0.4, 0.1000001, -1, 1, 0x10, false},
        {"negative step", 0, 0.5, -0.1, -1, 1, 0x10, true},
        {"Jinf at -1e6", 0, 0.5, 0.1, -1e6, 1, 0x10, true},
        {"Jinf below -1e6", 0, 0.5, 0.1, -1.000001e6, 1, 0x10, false},
        {"Jsup at 1e6", 0, 0.5, 0.1, -1, 1e6, 0x10, true},
        {"Jsup above 1e6", 0, 0.5, 0.1, -1, 1.000001e6, 0x10, false},
        {"Jinf equal Jsup", 0, 0.5, 0.1, 5, 5, 0x10, false},
        {"Jinf above Jsup", 0, 0.5, 0.1, 6, 5, 0x10, false},
        {"type off", 0, 0.5, 0.1, -1, 1, 0x00, true},
        {"type file", 0, 0.5, 0.1, -1, 1, 0x20, true},
        {"type 0x30", 0, 0.5, 0.1, -1, 1, 0x30, false},
        {"type 0x11", 0, 0.5, 0.1, -1, 1, 0x11, false},
        {"NaN start", nan, 0.5, 0.1, -1, 1, 0x10, false},
        {"NaN Jsup", 0, 0.5, 0.1, -1, nan, 0x10, false},
    };
    for (const BiasCase& c : cases) {
        excitation.reset();
        excitation.setV(c.Vstart, c.Vend, c.Vstep, c.Jinf, c.Jsup, c.type, nullptr);
        double v[5] = {};
        uint8_t type = 0xFF;
        excitation.getV(&v[0], &v[1], &v[2], &v[3], &v[4], &type, nullptr);
        if (c.accepted) {
            EXPECT_EQ(type, c.type) << c.what;
            EXPECT_DOUBLE_EQ(v[0], c.Vstart) << c.what;
            EXPECT_DOUBLE_EQ(v[1], c.Vend) << c.what;
            EXPECT_DOUBLE_EQ(v[2], c.Vstep) << c.what;
            EXPECT_DOUBLE_EQ(v[3], c.Jinf) << c.what;
            EXPECT_DOUBLE_EQ(v[4], c.Jsup) << c.what;
        } else {
            // Refused: bias switched off, the earlier (default) values kept.
            EXPECT_EQ(type, 0) << c.what;
            EXPECT_FALSE(excitation.isBiasOn()) << c.what;
            EXPECT_DOUBLE_EQ(v[0], 0.0) << c.what;
            EXPECT_DOUBLE_EQ(v[1], 0.5) << c.what;
            EXPECT_DOUBLE_EQ(v[2], 0.01) << c.what;
            EXPECT_DOUBLE_EQ(v[3], -1000.0) << c.what;
            EXPECT_DOUBLE_EQ(v[4], 1000.0) << c.what;
        }
        EXPECT_TRUE(sigma.isOK()) << c.what << ": the setter writes no message";
    }
}

TEST_F(ExcitationTest, SetVStoresBiasFileAndGetVNeedsAllPointers)
{
    excitation.setV(-1, 1, 0.1, -10, 10, 0x20, L"bias/iv.txt");
    wchar_t name[ekExcitation::FILENAME_SIZE] = L"old";
    double v[5] = {7, 7, 7, 7, 7};
    uint8_t type = 0;
    excitation.getV(&v[0], &v[1], &v[2], &v[3], nullptr, &type, name);
    EXPECT_DOUBLE_EQ(v[0], 7.0);  // one pointer missing: nothing returned
    EXPECT_STREQ(name, L"old");
    excitation.getV(&v[0], &v[1], &v[2], &v[3], &v[4], &type, name);
    EXPECT_DOUBLE_EQ(v[0], -1.0);
    EXPECT_EQ(type, 0x20);
    EXPECT_STREQ(name, L"bias/iv.txt");

    // An overlong name is cut to 1023 characters.
    const std::wstring longName(1500, L'b');
    excitation.setV(0, 1, 0.1, -1, 1, 0x20, longName.c_str());
    EXPECT_EQ(std::wstring(excitation.getBiasFilename()), longName.substr(0, 1023));
}

TEST_F(ExcitationTest, BiasFilenameSwitchesToFileType)
{
    excitation.setBiasFilename(L"iv.dat");
    EXPECT_EQ(excitation.biasType, 0x20);
    EXPECT_STREQ(excitation.getBiasFilename(), L"iv.dat");
    excitation.biasType = 0x10;
    excitation.setBiasFilename(L"");
    EXPECT_STREQ(excitation.getBiasFilename(), L"");
    EXPECT_EQ(excitation.biasType, 0x10);  // clearing keeps the type
    excitation.setBiasFilename(L"x");
    excitation.setBiasFilename(nullptr);
    EXPECT_STREQ(excitation.getBiasFilename(), L"");
}

struct LightCase {
    const char* what;
    double Wstart, Wend, Wstep, flux;
    bool accepted;
};

TEST_F(ExcitationTest, SetWRangesAtTheirBounds)
{
    const LightCase cases[] = {
        {"plain sweep", 0.4, 0.9, 0.05, 1e16, true},
        {"Wstart at 0.1", 0.1, 1, 0.1, 1e16, true},
        {"Wstart below 0.1", 0.0999, 1, 0.1, 1e16, false},
        {"Wstart 0.05", 0.05, 1, 0.1, 1e16, false},
        {"Wend at 10", 1, 10, 0.1, 1e16, true},
        {"Wend above 10", 1, 10.001, 0.1, 1e16, false},
        {"Wstart above 10", 10.5, 10.5, 0, 1e16, false},
        {"Wstart above Wend", 1.0, 0.9, 0.01, 1e16, false},
        {"one wavelength", 0.6, 0.6, 0.0, 1e16, true},
        {"step equal range", 0.5, 1.0, 0.5, 1e16, true},
        {"step above range", 0.5, 1.0, 0.50001, 1e16, false},
        {"step equal a range that rounds below it", 0.2, 0.3, 0.1, 1e16, true},
        {"flux 0", 0.5, 1, 0.1, 0, true},
        {"flux negative", 0.5, 1, 0.1, -1, false},
        {"flux at 1e28", 0.5, 1, 0.1, 1e28, true},
        {"flux above 1e28", 0.5, 1, 0.1, 1.0001e28, false},
        {"NaN flux", 0.5, 1, 0.1, std::nan(""), false},
    };
    for (const LightCase& c : cases) {
        excitation.reset();
        excitation.lightType = 0x40;
        excitation.qeSweep = true;
        excitation.setW(c.Wstart, c.Wend, c.Wstep, c.flux, 0x11, true);
        double w[4] = {};
        uint8_t type = 0xFF;
        bool qe = false;
        excitation.getW(&w[0], &w[1], &w[2], &w[3], &type, &qe);
        if (c.accepted) {
            EXPECT_EQ(type, 0x11) << c.what;
            EXPECT_TRUE(qe) << c.what;
            EXPECT_DOUBLE_EQ(w[0], c.Wstart) << c.what;
            EXPECT_DOUBLE_EQ(w[1], c.Wend) << c.what;
            EXPECT_DOUBLE_EQ(w[2], c.Wstep) << c.what;
            EXPECT_DOUBLE_EQ(w[3], c.flux) << c.what;
            for (double f : excitation.flux) {
                EXPECT_DOUBLE_EQ(f, c.flux) << c.what;
            }
        } else {
            EXPECT_EQ(type, 0) << c.what;
            EXPECT_FALSE(qe) << c.what;
            EXPECT_DOUBLE_EQ(w[0], 0.3) << c.what;
            EXPECT_DOUBLE_EQ(w[1], 1.2) << c.what;
            EXPECT_DOUBLE_EQ(w[3], 1e17) << c.what;
        }
    }
}

TEST_F(ExcitationTest, GetWReturnsThirdFluxAndOptionalQeFlag)
{
    excitation.flux[0] = 1;
    excitation.flux[1] = 2;
    excitation.flux[2] = 3;
    double w[4] = {};
    uint8_t type = 0xFF;
    excitation.getW(&w[0], &w[1], &w[2], &w[3], &type, nullptr);
    EXPECT_DOUBLE_EQ(w[3], 3.0);
    EXPECT_EQ(type, 0);

    w[0] = 9;
    excitation.getW(&w[0], &w[1], &w[2], nullptr, &type, nullptr);
    EXPECT_DOUBLE_EQ(w[0], 9.0);  // a required pointer missing: nothing returned
}

struct SpectrumCase {
    const wchar_t* name;
    bool custom;
};

TEST_F(ExcitationTest, LightFileNamesACustomSpectrum)
{
    const SpectrumCase cases[] = {
        {L"sun.dat", true},  {L"a.txt", true},     {L"x.dat", true},
        {L".txt", false},    {L"sun.TXT", false},  {L"sun.Dat", false},
        {L"sun.csv", false}, {L"sun.txt ", false}, {L"dir/am0.txt", true},
    };
    for (const SpectrumCase& c : cases) {
        excitation.reset();
        excitation.lightType = 0x40;
        const bool result = excitation.setW(c.name);
        EXPECT_EQ(result, c.custom) << c.name;
        EXPECT_EQ(excitation.isCustomSpectrum(), c.custom);
        EXPECT_EQ(excitation.lightType, c.custom ? 0x80 : 0x40) << c.name;
        wchar_t buffer[ekExcitation::FILENAME_SIZE];
        excitation.getW(buffer);
        EXPECT_STREQ(buffer, c.name);
    }
}

TEST_F(ExcitationTest, ClearingLightFileSwitchesOffOnlyACustomSpectrum)
{
    ASSERT_TRUE(excitation.setW(L"sun.dat"));
    EXPECT_FALSE(excitation.setW(L""));
    EXPECT_EQ(excitation.lightType, 0);
    EXPECT_STREQ(excitation.getLightFilename(), L"");

    excitation.setW(L"refraction.nk");
    excitation.lightType = 0x40;
    EXPECT_FALSE(excitation.setW(nullptr));
    EXPECT_EQ(excitation.lightType, 0x40);
    EXPECT_STREQ(excitation.getLightFilename(), L"");
}

TEST_F(ExcitationTest, LightFilenameKeepsTypeAndIsCut)
{
    excitation.lightType = 0x40;
    excitation.setLightFilename(L"sun.dat");
    EXPECT_EQ(excitation.lightType, 0x40);
    EXPECT_TRUE(excitation.isCustomSpectrum());

    // 1020 characters and ".txt" is 1024: cut to 1023, no longer ".txt".
    const std::wstring longName = std::wstring(1020, L's') + L".txt";
    excitation.setLightFilename(longName.c_str());
    EXPECT_EQ(std::wstring(excitation.getLightFilename()).size(), 1023u);
    EXPECT_FALSE(excitation.isCustomSpectrum());
    const std::wstring fits = std::wstring(1019, L's') + L".txt";  // 1023
    excitation.setLightFilename(fits.c_str());
    EXPECT_TRUE(excitation.isCustomSpectrum());
}

TEST_F(ExcitationTest, OnFlagsFollowTypeBits)
{
    const std::pair<uint8_t, bool> light[] = {{0x00, false}, {0x10, true}, {0x11, true},
                                              {0x40, true},  {0x80, true}, {0x20, false},
                                              {0x01, false}};
    for (const auto& [type, on] : light) {
        excitation.lightType = type;
        EXPECT_EQ(excitation.isLightOn(), on) << int(type);
    }
    const std::pair<uint8_t, bool> bias[] = {
        {0x00, false}, {0x10, true}, {0x20, true}, {0x40, false}, {0x0F, false}};
    for (const auto& [type, on] : bias) {
        excitation.biasType = type;
        EXPECT_EQ(excitation.isBiasOn(), on) << int(type);
    }
}

}  // namespace
