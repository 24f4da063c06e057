#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ekHelpers.h"
#include "ekLevel.h"
#include "nucore.h"

namespace {

struct Values {
    double N = 1e17, Nr = 1e20, E = 0.3, W = 0.05, Taun = 1e-8, Taup = 2e-8, F = 2;
};

void expectValues(const ekLevel& level, const Values& v, const char* what)
{
    EXPECT_DOUBLE_EQ(level.getN(), v.N) << what;
    EXPECT_DOUBLE_EQ(level.getNr(), v.Nr) << what;
    EXPECT_DOUBLE_EQ(level.getE(), v.E) << what;
    EXPECT_DOUBLE_EQ(level.getW(), v.W) << what;
    EXPECT_DOUBLE_EQ(level.getTn(), v.Taun) << what;
    EXPECT_DOUBLE_EQ(level.getTp(), v.Taup) << what;
    EXPECT_DOUBLE_EQ(level.getF(), v.F) << what;
}

std::wstring formatted(double value)
{
    wchar_t text[64];
    nu_reformatAuto(value, text, 64, nullptr, nullptr, 6);
    return text;
}

TEST(EkLevel, DefaultsThenNameAndType)
{
    nuSigma sigma;
    ekLevel level(&sigma, L"Trap", 0x20);
    EXPECT_STREQ(level.getName(), L"Trap");
    EXPECT_EQ(level.getType(), 0x20);
    EXPECT_DOUBLE_EQ(level.getN(), 1e16);
    EXPECT_DOUBLE_EQ(level.getNr(), 1e19);
    EXPECT_DOUBLE_EQ(level.getE(), 0.0);
    EXPECT_DOUBLE_EQ(level.getW(), 0.0);
    EXPECT_DOUBLE_EQ(level.getTn(), 1e-7);
    EXPECT_DOUBLE_EQ(level.getTp(), 1e-7);
    EXPECT_DOUBLE_EQ(level.getF(), 1.0);
    EXPECT_EQ(level.getSigma(), &sigma);

    ekLevel unnamed(&sigma, L"levelx", 0x10);
    EXPECT_STREQ(unnamed.getName(), L"LevelX");
}

struct RangeCase {
    const char* what;
    Values values;
    bool accepted;
};

Values with(double Values::*field, double value)
{
    Values v;
    v.*field = value;
    return v;
}

TEST(EkLevel, RangesAtTheirBounds)
{
    const RangeCase cases[] = {
        {"N 0", with(&Values::N, 0), true},
        {"N 1e22", with(&Values::N, 1e22), true},
        {"N negative", with(&Values::N, -1), false},
        {"N above 1e22", with(&Values::N, 1.0001e22), false},
        {"Nr 1e6", with(&Values::Nr, 1e6), true},
        {"Nr 1e5", with(&Values::Nr, 1e5), false},
        {"Nr 1e22", with(&Values::Nr, 1e22), true},
        {"Nr above 1e22", with(&Values::Nr, 1.0001e22), false},
        {"E 0", with(&Values::E, 0), true},
        {"E 10", with(&Values::E, 10), true},
        {"E negative", with(&Values::E, -1e-9), false},
        {"E above 10", with(&Values::E, 10.0001), false},
        {"W 5", with(&Values::W, 5), true},
        {"W above 5", with(&Values::W, 5.0001), false},
        {"W negative", with(&Values::W, -0.1), false},
        {"Taun 1e-15", with(&Values::Taun, 1e-15), true},
        {"Taun below 1e-15", with(&Values::Taun, 0.99e-15), false},
        {"Taun 1000", with(&Values::Taun, 1000), true},
        {"Taun above 1000", with(&Values::Taun, 1000.1), false},
        {"Taup 1e-15", with(&Values::Taup, 1e-15), true},
        {"Taup below 1e-15", with(&Values::Taup, 0.99e-15), false},
        {"Taup above 1000", with(&Values::Taup, 1000.1), false},
        {"F 1", with(&Values::F, 1), true},
        {"F 16", with(&Values::F, 16), true},
        {"F 0.5", with(&Values::F, 0.5), false},
        {"F 16.5", with(&Values::F, 16.5), false},
        {"N NaN", with(&Values::N, std::nan("")), false},
        {"F NaN", with(&Values::F, std::nan("")), false},
    };
    for (const RangeCase& c : cases) {
        nuSigma sigma;
        ekLevel level(&sigma, L"Old", 0x10);
        const Values& v = c.values;
        level.update(L"New", 0x20, v.N, v.Nr, v.E, v.W, v.Taun, v.Taup, v.F);
        if (c.accepted) {
            EXPECT_TRUE(sigma.isOK()) << c.what;
            EXPECT_STREQ(level.getName(), L"New") << c.what;
            EXPECT_EQ(level.getType(), 0x20) << c.what;
            expectValues(level, v, c.what);
        } else {
            EXPECT_FALSE(sigma.isOK()) << c.what;
            // Nothing changes, the name included.
            EXPECT_STREQ(level.getName(), L"Old") << c.what;
            EXPECT_EQ(level.getType(), 0x10) << c.what;
            EXPECT_DOUBLE_EQ(level.getN(), 1e16) << c.what;
            EXPECT_DOUBLE_EQ(level.getNr(), 1e19) << c.what;
            EXPECT_DOUBLE_EQ(level.getE(), 0.0) << c.what;
            EXPECT_DOUBLE_EQ(level.getF(), 1.0) << c.what;
        }
    }
}

TEST(EkLevel, RefusalNamesSixValuesWithoutWidth)
{
    nuSigma sigma;
    ekLevel level(&sigma, L"Donor", 0x10);
    level.update(2.5e16, 1e5, 0.125, 0.75, 3e-9, 4e-9);
    ASSERT_FALSE(sigma.isOK());
    const std::wstring expected =
        L"[ERROR]   invalid level parameters (N, Nr, E, Taun, Taup, F): " + formatted(2.5e16) +
        L" " + formatted(1e5) + L" " + formatted(0.125) + L" " + formatted(3e-9) + L" " +
        formatted(4e-9) + L" " + formatted(1.0) + L"\n";
    EXPECT_EQ(std::wstring(sigma.message), expected);
    EXPECT_EQ(std::wstring(sigma.message).find(formatted(0.75)), std::wstring::npos);
}

TEST(EkLevel, DegeneracyIsRoundedHalfAwayFromZero)
{
    const std::pair<double, double> cases[] = {
        {2.5, 3}, {1.49, 1}, {1.5, 2}, {15.5, 16}, {3.0, 3},
    };
    for (const auto& [given, stored] : cases) {
        nuSigma sigma;
        ekLevel level(&sigma, L"L", 0x10);
        level.update(1e16, 1e19, 0, 0, 1e-7, 1e-7, given);
        ASSERT_TRUE(sigma.isOK()) << given;
        EXPECT_DOUBLE_EQ(level.getF(), stored) << given;
    }
}

TEST(EkLevel, DefaultNameNeverOverwritesAName)
{
    const wchar_t* spellings[] = {L"LevelX", L"levelx", L"LEVELX", L"lEvElX"};
    for (const wchar_t* name : spellings) {
        nuSigma sigma;
        ekLevel level(&sigma, L"Deep", 0x10);
        level.update(name, 0x20, 5e15, 1e19, 0.5, 0.1, 1e-6, 1e-6, 1);
        ASSERT_TRUE(sigma.isOK());
        EXPECT_STREQ(level.getName(), L"Deep") << name;
        EXPECT_EQ(level.getType(), 0x20);
        EXPECT_DOUBLE_EQ(level.getN(), 5e15);
    }
}

TEST(EkLevel, ShortUpdateFormsKeepWhatTheyDoNotGive)
{
    nuSigma sigma;
    ekLevel level(&sigma, L"A", 0x10, 1e16, 1e19, 0.1, 0.0, 1e-7, 1e-7, 4);

    level.update(3e15, static_cast<uint8_t>(0x20));
    EXPECT_STREQ(level.getName(), L"A");
    EXPECT_EQ(level.getType(), 0x20);
    EXPECT_DOUBLE_EQ(level.getN(), 3e15);
    EXPECT_DOUBLE_EQ(level.getE(), 0.1);

    level.update(1e14, 1e18, 0.2, 0.01, 1e-9, 2e-9);
    EXPECT_EQ(level.getType(), 0x20);
    EXPECT_DOUBLE_EQ(level.getF(), 4.0);
    EXPECT_DOUBLE_EQ(level.getTp(), 2e-9);

    level.update(1e14, 1e18, 0.2, 0.01, 1e-9, 2e-9, 8.0);
    EXPECT_DOUBLE_EQ(level.getF(), 8.0);
    EXPECT_STREQ(level.getName(), L"A");

    level.update(L"B", static_cast<uint8_t>(0x00));
    EXPECT_STREQ(level.getName(), L"B");
    EXPECT_EQ(level.getType(), 0x00);
    EXPECT_DOUBLE_EQ(level.getNr(), 1e18);
    EXPECT_TRUE(sigma.isOK());
}

TEST(EkLevel, NoUpdateWithoutChannelOrWhileErrorPending)
{
    nuSigma sigma;
    ekLevel level(&sigma, L"A", 0x10);
    sigma.err = 1;
    level.update(L"B", 0x20, 1, 1e19, 0, 0, 1e-7, 1e-7, 1);
    EXPECT_STREQ(level.getName(), L"A");
    EXPECT_DOUBLE_EQ(level.getN(), 1e16);
    ek_resetSigma(&sigma);

    level.update(nullptr, 0x20, 1, 1e19, 0, 0, 1e-7, 1e-7, 1);
    EXPECT_DOUBLE_EQ(level.getN(), 1e16);

    level.setSigma(nullptr);
    level.update(L"B", 0x20, 1, 1e19, 0, 0, 1e-7, 1e-7, 1);
    EXPECT_STREQ(level.getName(), L"A");
}

TEST(EkLevel, NameIsCutTo31Characters)
{
    nuSigma sigma;
    const std::wstring longName(40, L'n');
    ekLevel level(&sigma, longName.c_str(), 0x10);
    EXPECT_EQ(std::wstring(level.getName()), longName.substr(0, 31));
    wchar_t buffer[ekLevel::NAME_SIZE];
    level.getName(buffer);
    EXPECT_EQ(std::wstring(buffer), longName.substr(0, 31));
    level.update(level.getName(), 0x20);  // its own buffer: kept as it is
    EXPECT_EQ(std::wstring(level.getName()), longName.substr(0, 31));
}

TEST(EkLevel, CopyTakesEverythingWithoutChecks)
{
    nuSigma a, b;
    ekLevel source(&a, L"Src", 0x20, 2e16, 2e19, 0.4, 0.02, 3e-7, 4e-7, 2);
    ekLevel target(&b, L"Dst", 0x10);
    target.copy(&source);
    EXPECT_EQ(target.getSigma(), &a);
    EXPECT_STREQ(target.getName(), L"Src");
    EXPECT_EQ(target.getType(), 0x20);
    expectValues(target, Values{2e16, 2e19, 0.4, 0.02, 3e-7, 4e-7, 2}, "copy");
    target.copy(nullptr);
    EXPECT_STREQ(target.getName(), L"Src");
}

}  // namespace
