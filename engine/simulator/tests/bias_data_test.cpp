// The bias sweep record: uniform sweeps, bias files, no bias, the current
// limits and every refusal.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "biasFixture.h"

namespace {

class BiasData : public BiasFixture {
protected:
    void SetUp() override
    {
        BiasFixture::SetUp();
        addLayer(L"Si", 1.0, 0x10, 1e16);  // Eg 1.12 eV
    }

    bool uniform(double v0, double v1, double step, double Jinf = -1.0, double Jsup = 1.0)
    {
        return sim.setBiasData(&device, v0, v1, step, Jinf, Jsup, 0x10, nullptr);
    }

    bool fromFile(const std::string& text)
    {
        const std::wstring file = writeFile("bias.txt", text);
        return sim.setBiasData(&device, 0.0, 0.0, 0.0, -1.0, 1.0, 0x20, file.c_str());
    }

    double volts(int i) const { return sim.getSweepBias()->getData(0, i) * Vt(); }
};

TEST_F(BiasData, UniformSweepRunsFromStartToEndInVt)
{
    ASSERT_TRUE(uniform(-0.5, 0.5, 0.1));
    const ElecSweep* sweep = sim.getSweepBias();
    ASSERT_EQ(sweep->getPoints(), 11);
    EXPECT_EQ(sweep->getCount(), 4);
    for (int i = 0; i < 11; ++i) {
        EXPECT_NEAR(volts(i), -0.5 + 0.1 * i, 1e-12);
        EXPECT_EQ(sweep->getMask(i), ElecSweep::MASK_SET);
    }
    EXPECT_EQ(sweep->getData(0, 5), 0.0);  // exactly 0 V, not a rounding residue
    EXPECT_EQ(sim.getBiasPosL(), 4);
    EXPECT_EQ(sim.getBiasPosC(), 5);
    EXPECT_EQ(sim.getBiasPosR(), 6);
    EXPECT_EQ(sim.getBiasMode(), 0x10);
    EXPECT_EQ(sweep->getPointsValid(), 0);
}

TEST_F(BiasData, ReversedRangeIsSweptUpwards)
{
    ASSERT_TRUE(uniform(2.0, 0.0, 0.1));
    ASSERT_EQ(sim.getSweepBias()->getPoints(), 21);
    EXPECT_NEAR(volts(0), 0.0, 1e-12);
    EXPECT_NEAR(volts(20), 2.0, 1e-12);
}

TEST_F(BiasData, EqualEndsGiveOnePoint)
{
    ASSERT_TRUE(uniform(0.3, 0.3, 0.1));
    ASSERT_EQ(sim.getSweepBias()->getPoints(), 1);
    EXPECT_NEAR(volts(0), 0.3, 1e-12);
}

TEST_F(BiasData, TooManyPointsAreCutTo5000)
{
    ASSERT_TRUE(uniform(0.0, 10.0, 0.001));
    const ElecSweep* sweep = sim.getSweepBias();
    ASSERT_EQ(sweep->getPoints(), 5000);
    EXPECT_TRUE(messageHas(L"Bias number of points too high"));
    EXPECT_EQ(sigma.err, 0);
    EXPECT_NEAR(volts(4999), 10.0, 1e-12);
    EXPECT_NEAR(volts(1) - volts(0), 10.0 / 4999, 1e-12);
}

TEST_F(BiasData, NoBiasIsOnePointAtZero)
{
    ASSERT_TRUE(sim.setBiasData(&device, 1.0, 2.0, 0.1, -1.0, 1.0, 0, nullptr));
    ASSERT_EQ(sim.getSweepBias()->getPoints(), 1);
    EXPECT_EQ(sim.getSweepBias()->getData(0, 0), 0.0);
    EXPECT_EQ(sim.getBiasMode(), 0);
}

TEST_F(BiasData, LimitsAreClampedNormalisedAndOrdered)
{
    double low = 0, high = 0;
    ASSERT_TRUE(uniform(0.0, 1.0, 0.1, -1e9, 0.5));
    sim.getSweepBias()->getLimit(&low, &high, nullptr);
    EXPECT_DOUBLE_EQ(low * Jscale(), -1e6);
    EXPECT_DOUBLE_EQ(high * Jscale(), 0.5);
    // A window that is empty falls back to the widest low limit.
    ASSERT_TRUE(uniform(0.0, 1.0, 0.1, 2.0, 1.0));
    sim.getSweepBias()->getLimit(&low, &high, nullptr);
    EXPECT_DOUBLE_EQ(low * Jscale(), -1e6);
    EXPECT_DOUBLE_EQ(high * Jscale(), 1.0);
}

struct Refusal {
    const char* name;
    double v0, v1, step;
    const wchar_t* message;
};

class BiasDataRefusal : public BiasData, public ::testing::WithParamInterface<Refusal> {};

TEST_P(BiasDataRefusal, IsReported)
{
    const Refusal& r = GetParam();
    EXPECT_FALSE(uniform(r.v0, r.v1, r.step));
    EXPECT_EQ(sigma.err, 1);
    EXPECT_EQ(lastMessage(), r.message);
}

// The limits follow from the bandgap of silicon, 1.12 eV: voltages within
// 20 bandgaps (22.4 V), a step of at most a fifth of one (0.224 V) and at
// least a thousandth of the thermal voltage at 300 K (2.5852e-05 V).
const Refusal REFUSALS[] = {
    {"StartBeyondTwentyBandgaps", -23.0, 0.0, 0.1,
     L"[ERROR]   invalid voltage range (too large value relatively to the bandgap): from -23 to 0 "
     L"V (accepted: from -22.4 to 22.4 V, 20 times the bandgap of Layer1, 1.12 eV)\n"},
    {"EndBeyondTwentyBandgaps", 0.0, 22.5, 0.1,
     L"[ERROR]   invalid voltage range (too large value relatively to the bandgap): from 0 to 22.5 "
     L"V (accepted: from -22.4 to 22.4 V, 20 times the bandgap of Layer1, 1.12 eV)\n"},
    {"StepAboveAFifthOfTheBandgap", 0.0, 1.0, 0.23,
     L"[ERROR]   invalid voltage step 0.23 V (accepted: from 2.5852e-05 V, a thousandth of the "
     L"thermal voltage, to 0.224 V, a fifth of the bandgap of Layer1, 1.12 eV)\n"},
    {"StepBelowAThousandthOfVt", 0.0, 1.0, 2e-5,
     L"[ERROR]   invalid voltage step 2e-05 V (accepted: from 2.5852e-05 V, a thousandth of the "
     L"thermal voltage, to 0.224 V, a fifth of the bandgap of Layer1, 1.12 eV)\n"},
    {"NotANumber", NAN, 1.0, 0.1,
     L"[ERROR]   invalid voltage range (too large value relatively to the bandgap): from nan to 1 "
     L"V (accepted: from -22.4 to 22.4 V, 20 times the bandgap of Layer1, 1.12 eV)\n"},
};

INSTANTIATE_TEST_SUITE_P(Uniform, BiasDataRefusal, ::testing::ValuesIn(REFUSALS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BiasData, BiasFileGivesItsVoltagesAndZeroCrossing)
{
    ASSERT_TRUE(fromFile("-0.3\n-0.1\n0.2\n0.45\n"));
    const ElecSweep* sweep = sim.getSweepBias();
    ASSERT_EQ(sweep->getPoints(), 4);
    const double expected[] = {-0.3, -0.1, 0.2, 0.45};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(volts(i), expected[i], 1e-12);
    }
    EXPECT_EQ(sim.getBiasMode(), 0x20);
    // The crossing of the file's own (uneven) voltages.
    EXPECT_EQ(sim.getBiasPosL(), 1);
    EXPECT_EQ(sim.getBiasPosC(), -1);
    EXPECT_EQ(sim.getBiasPosR(), 2);
}

struct FileRefusal {
    const char* name;
    const char* text;
    const wchar_t* what;  // the fault named after the file
};

class BiasFileRefusal : public BiasData, public ::testing::WithParamInterface<FileRefusal> {};

// The message names the file, the voltage at fault with its place, and the
// rule every bias file follows.
TEST_P(BiasFileRefusal, NamesTheFileTheLineAndTheRule)
{
    EXPECT_FALSE(fromFile(GetParam().text));
    EXPECT_EQ(lastMessage(), L"[ERROR]   invalid bias file " + path("bias.txt") + L": " +
                                 GetParam().what +
                                 L" (a bias file holds one voltage per line, at least two, each "
                                 L"from -100 to 100 V and above the one before by 0.001 V or "
                                 L"more)\n");
    EXPECT_EQ(sim.getSweepBias(), nullptr);
}

const FileRefusal FILE_REFUSALS[] = {
    {"Decreasing", "3.0\n2.0\n", L"voltage 2, 2 V, is not above voltage 1, 3 V"},
    {"StepBelowOneMillivolt", "0.1\n0.1005\n0.2\n",
     L"voltage 2, 0.1005 V, is less than 0.001 V above voltage 1, 0.1 V"},
    {"BeyondHundredVolts", "0.0\n50\n150\n", L"voltage 3 is 150 V"},
    // One row gives no step to sweep by.
    {"SingleRow", "0.5\n", L"one voltage, no sweep"},
};

INSTANTIATE_TEST_SUITE_P(File, BiasFileRefusal, ::testing::ValuesIn(FILE_REFUSALS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BiasData, MissingOrEmptyBiasFileIsRefusedByTheReader)
{
    const std::wstring missing = path("none.txt");
    EXPECT_FALSE(sim.setBiasData(&device, 0, 0, 0, -1, 1, 0x20, missing.c_str()));
    EXPECT_EQ(sigma.err, 1);
    sigma.reset();
    EXPECT_FALSE(fromFile("# nothing\n"));
    EXPECT_EQ(sigma.err, 1);
}

TEST_F(BiasData, NothingHappensAfterAnError)
{
    sigma.update(L"[ERROR]   earlier\n", 1);
    EXPECT_FALSE(uniform(0.0, 1.0, 0.1));
    EXPECT_EQ(sim.getSweepBias(), nullptr);
    EXPECT_EQ(lastMessage(), L"[ERROR]   earlier\n");
}

}  // namespace
