// The dopant level and the up to five trap levels of a layer.
#include <string>
#include <vector>

#include "layerTestSupport.h"

namespace {

class LayerLevels : public ::testing::Test {
protected:
    nuSigma sigma;
    ekLayer layer{&sigma};  // Si: Eg 1.12 eV

    // Adds a trap whose values differ by its density.
    ekLevel* addTrapN(const wchar_t* name, double N, bool dedup = false)
    {
        return layer.addTrap(name, 0x20, N, 1e19, 0.3, 0.01, 1e-8, 2e-8, 2.0, dedup);
    }

    std::vector<std::wstring> trapNames() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < layer.getTrapCount(); ++i) {
            names.push_back(layer.getTrap(i)->getName());
        }
        return names;
    }
};

TEST_F(LayerLevels, NewLayerHasADonorAndNoTraps)
{
    ASSERT_NE(layer.getDopant(), nullptr);
    EXPECT_EQ(layer.getType(), 0x10);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), 1e16);
    EXPECT_EQ(layer.getTrapCount(), 0);
    EXPECT_EQ(layer.getTrap(0), nullptr);
}

TEST_F(LayerLevels, ResetTypeGivesTheThreeStandardDopants)
{
    struct {
        uint8_t type;
        const wchar_t* name;
        double N;
    } cases[] = {{0x00, L"Donor", 0.0}, {0x10, L"Donor", 1e16}, {0x20, L"Acceptor", 1e16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        layer.updateDopant(0x10, 5e17, 1e18, 0.1, 0.02, 1e-6, 1e-6, 4.0);
        layer.resetType(c.type, 3e-7, 4e-7);
        const ekLevel* d = layer.getDopant();
        EXPECT_STREQ(d->getName(), c.name);
        EXPECT_EQ(d->getType(), c.type);
        EXPECT_DOUBLE_EQ(d->getN(), c.N);
        EXPECT_DOUBLE_EQ(d->getNr(), 1e19);
        EXPECT_DOUBLE_EQ(d->getE(), 0.0);
        EXPECT_DOUBLE_EQ(d->getW(), 0.0);
        EXPECT_DOUBLE_EQ(d->getTn(), 3e-7);
        EXPECT_DOUBLE_EQ(d->getTp(), 4e-7);
        EXPECT_DOUBLE_EQ(d->getF(), 1.0);
    }
    layer.resetType(0x30, 1e-7, 1e-7);  // not a dopant type: ignored
    EXPECT_EQ(layer.getType(), 0x20);
}

TEST_F(LayerLevels, UpdateDopantFormsKeepWhatTheyDoNotGive)
{
    ASSERT_TRUE(layer.updateDopant(0x20, 2e17, 1e18, 0.2, 0.05, 1e-6, 2e-6, 4.0));
    const ekLevel* d = layer.getDopant();
    EXPECT_STREQ(d->getName(), L"Lx");

    ASSERT_TRUE(layer.updateDopant(0x10, 3e17, 2e18));
    EXPECT_EQ(d->getType(), 0x10);
    EXPECT_DOUBLE_EQ(d->getN(), 3e17);
    EXPECT_DOUBLE_EQ(d->getNr(), 2e18);
    EXPECT_DOUBLE_EQ(d->getE(), 0.2);
    EXPECT_DOUBLE_EQ(d->getW(), 0.05);
    EXPECT_DOUBLE_EQ(d->getTn(), 1e-6);
    EXPECT_DOUBLE_EQ(d->getF(), 4.0);

    ASSERT_TRUE(layer.updateDopant(0x10, 3e17, 2e18, 0.4));
    EXPECT_DOUBLE_EQ(d->getE(), 0.4);
    ASSERT_TRUE(layer.updateDopant(0x10, 3e17, 2e18, 0.4, 0.07));
    EXPECT_DOUBLE_EQ(d->getW(), 0.07);
    ASSERT_TRUE(layer.updateDopant(0x10, 3e17, 2e18, 0.4, 0.07, 5e-7, 6e-7));
    EXPECT_DOUBLE_EQ(d->getTp(), 6e-7);
    EXPECT_DOUBLE_EQ(d->getF(), 4.0);
}

TEST_F(LayerLevels, OnlyTheLongDopantFormsCapTheEnergyAtHalfTheGap)
{
    ASSERT_DOUBLE_EQ(layer.getBandgap(), 1.12);
    layer.updateDopant(0x10, 1e16, 1e19, 1.0);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getE(), 1.0);
    layer.updateDopant(0x10, 1e16, 1e19, 1.0, 0.0, 1e-7, 1e-7);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getE(), 0.56);
    layer.updateDopant(0x10, 1e16, 1e19, 1.0, 0.0, 1e-7, 1e-7, 1.0);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getE(), 0.56);
}

TEST_F(LayerLevels, RefusedDopantValuesLeaveTheDopantAsItWas)
{
    ASSERT_TRUE(layer.updateDopant(0x20, 2e17, 1e18, 0.2, 0.0, 1e-6, 2e-6, 4.0));
    EXPECT_FALSE(layer.updateDopant(0x10, 1e23, 1e18));  // above 1e22
    EXPECT_FALSE(sigma.isOK());
    EXPECT_EQ(layer.getType(), 0x20);
    EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), 2e17);
}

TEST_F(LayerLevels, UpdateDopantFromALevelCopiesItOnTheLayersChannel)
{
    nuSigma other;
    ekLevel level(&other, L"Boron", 0x20, 4e17, 1e19, 0.045, 0.0, 1e-6, 1e-6, 4.0);
    ASSERT_TRUE(layer.updateDopant(&level));
    EXPECT_STREQ(layer.getDopant()->getName(), L"Boron");
    EXPECT_DOUBLE_EQ(layer.getDopant()->getN(), 4e17);
    EXPECT_EQ(layer.getDopant()->getSigma(), &sigma);
    EXPECT_FALSE(layer.updateDopant(static_cast<const ekLevel*>(nullptr)));
}

TEST_F(LayerLevels, AtMostFiveTraps)
{
    for (int i = 0; i < ekLayer::TRAPS_MAX; ++i) {
        const std::wstring name = L"T" + std::to_wstring(i + 1);
        ASSERT_NE(addTrapN(name.c_str(), 1e14 * (i + 1)), nullptr);
    }
    EXPECT_EQ(layer.getTrapCount(), 5);
    EXPECT_EQ(addTrapN(L"T6", 9e14), nullptr);
    EXPECT_EQ(lastLine(sigma), L"[ERROR]   maximum number of traps reached in the layer\n");
    EXPECT_FALSE(sigma.isOK());
    EXPECT_EQ(layer.getTrapCount(), 5);
}

TEST_F(LayerLevels, DuplicateTrapIsReturnedInsteadOfAdded)
{
    ekLevel* first = addTrapN(L"D1", 1e15);
    ASSERT_NE(first, nullptr);
    // Same values under another name, type and F: still the same trap.
    ekLevel* again = layer.addTrap(L"Other", 0x10, 1e15, 1e19, 0.3, 0.01, 1e-8, 2e-8, 7.0, true);
    EXPECT_EQ(again, first);
    EXPECT_EQ(layer.getTrapCount(), 1);
    // Without de-duplication the same values make a second trap.
    EXPECT_NE(addTrapN(L"D2", 1e15, false), first);
    EXPECT_EQ(layer.getTrapCount(), 2);
    // A duplicate of a full layer is still found rather than refused.
    for (int i = 2; i < 5; ++i) {
        addTrapN(L"X", 1e13 * i);
    }
    EXPECT_EQ(addTrapN(L"Again", 1e15, true), first);
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(LayerLevels, TrapDifferingInAnyComparedValueIsNew)
{
    struct {
        const char* label;
        double N, Nr, E, W, taun, taup;
    } cases[] = {
        {"N", 2e15, 1e19, 0.3, 0.01, 1e-8, 2e-8},    {"Nr", 1e15, 2e19, 0.3, 0.01, 1e-8, 2e-8},
        {"E", 1e15, 1e19, 0.31, 0.01, 1e-8, 2e-8},   {"W", 1e15, 1e19, 0.3, 0.02, 1e-8, 2e-8},
        {"Taun", 1e15, 1e19, 0.3, 0.01, 3e-8, 2e-8}, {"Taup", 1e15, 1e19, 0.3, 0.01, 1e-8, 3e-8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        layer.removeAllTraps();
        ekLevel* first = addTrapN(L"D1", 1e15);
        ekLevel* second =
            layer.addTrap(L"D2", 0x20, c.N, c.Nr, c.E, c.W, c.taun, c.taup, 2.0, true);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(second, first);
        EXPECT_EQ(layer.getTrapCount(), 2);
    }
}

TEST_F(LayerLevels, AddTrapFromALevelDeduplicates)
{
    ekLevel level(&sigma, L"EL2", 0x10, 1e15, 1e19, 0.5, 0.0, 1e-8, 1e-8, 1.0);
    ekLevel* trap = layer.addTrap(&level);
    ASSERT_NE(trap, nullptr);
    EXPECT_NE(trap, &level);
    EXPECT_STREQ(trap->getName(), L"EL2");
    EXPECT_EQ(layer.addTrap(&level), trap);
    EXPECT_EQ(layer.getTrapCount(), 1);
    EXPECT_EQ(layer.addTrap(static_cast<const ekLevel*>(nullptr)), nullptr);
}

TEST_F(LayerLevels, TrapEnergyIsCappedAtHalfTheGap)
{
    ekLevel* trap = layer.addTrap(L"Deep", 0x20, 1e15, 1e19, 1.0, 0.0, 1e-8, 1e-8, 1.0, false);
    ASSERT_NE(trap, nullptr);
    EXPECT_DOUBLE_EQ(trap->getE(), 0.56);
    ASSERT_TRUE(layer.updateTrap(0, 0x10, 2e15, 1e19, 0.9, 0.0, 1e-8, 1e-8, 1.0));
    EXPECT_DOUBLE_EQ(trap->getE(), 0.56);
    EXPECT_EQ(trap->getType(), 0x20) << "updateTrap keeps the type";
    EXPECT_STREQ(trap->getName(), L"Deep");
}

TEST_F(LayerLevels, RefusedTrapIsNotCountedAndItsSlotReused)
{
    EXPECT_EQ(layer.addTrap(L"Bad", 0x20, 1e15, 1e5, 0.3, 0.0, 1e-8, 1e-8, 1.0, false), nullptr);
    EXPECT_FALSE(sigma.isOK());
    EXPECT_EQ(layer.getTrapCount(), 0);
    sigma.reset();
    EXPECT_EQ(layer.addTrap(L"Neg", 0x20, -1.0, 1e19, 0.3, 0.0, 1e-8, 1e-8, 1.0, false), nullptr);
    EXPECT_TRUE(sigma.isOK());
    ASSERT_NE(addTrapN(L"Good", 1e15), nullptr);
    EXPECT_EQ(layer.getTrapCount(), 1);
}

TEST_F(LayerLevels, RemovingTrapsKeepsTheRestInOrder)
{
    for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) {
        addTrapN(name, 1e14 * (layer.getTrapCount() + 1));
    }
    layer.removeTrap(1, 0);
    EXPECT_EQ(trapNames(), (std::vector<std::wstring>{L"A", L"C", L"D"}));
    layer.removeTrap(L"d", 0);  // any letter case
    EXPECT_EQ(trapNames(), (std::vector<std::wstring>{L"A", L"C"}));
    layer.removeTrap(L"Unknown", 0);
    layer.removeTrap(7, 0);
    layer.removeTrap(-1, 0);
    EXPECT_EQ(trapNames(), (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(layer.getTrap(2), nullptr);

    ASSERT_NE(addTrapN(L"E", 7e14), nullptr);
    EXPECT_EQ(trapNames(), (std::vector<std::wstring>{L"A", L"C", L"E"}));
    layer.removeAllTraps();
    EXPECT_EQ(layer.getTrapCount(), 0);
    EXPECT_EQ(layer.getTrap(0), nullptr);
}

TEST_F(LayerLevels, TrapsAreFoundByNameOrIndexAndUpdated)
{
    addTrapN(L"Shallow", 1e14);
    addTrapN(L"Deep", 2e14);
    EXPECT_EQ(layer.getTrap(L"deep"), layer.getTrap(1));
    EXPECT_EQ(layer.getTrap(L"DEEP", 0x10), layer.getTrap(1, 0x20));
    EXPECT_EQ(layer.getTrap(L"None"), nullptr);

    ASSERT_TRUE(layer.updateTrap(L"Deep", 0, 5e14, 1e18, 0.4, 0.02, 3e-8, 4e-8, 2.0));
    EXPECT_DOUBLE_EQ(layer.getTrap(1)->getN(), 5e14);
    EXPECT_DOUBLE_EQ(layer.getTrap(1)->getTp(), 4e-8);
    EXPECT_FALSE(layer.updateTrap(L"None", 0, 5e14, 1e18, 0.4, 0.02, 3e-8, 4e-8, 2.0));
    EXPECT_FALSE(layer.updateTrap(2, 0, 5e14, 1e18, 0.4, 0.02, 3e-8, 4e-8, 2.0));

    ekLevel level(&sigma, L"Copied", 0x10, 9e14, 1e19, 0.1, 0.0, 1e-9, 1e-9, 1.0);
    ASSERT_TRUE(layer.updateTrap(L"Shallow", 0, &level));
    EXPECT_STREQ(layer.getTrap(0)->getName(), L"Copied");
    EXPECT_DOUBLE_EQ(layer.getTrap(0)->getN(), 9e14);
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(LayerLevels, SigmaIsSharedWithDopantAndTraps)
{
    addTrapN(L"T", 1e14);
    nuSigma other;
    layer.setSigma(&other);
    EXPECT_EQ(layer.getSigma(), &other);
    EXPECT_EQ(layer.getDopant()->getSigma(), &other);
    EXPECT_EQ(layer.getTrap(0)->getSigma(), &other);
    layer.setSigma(&sigma);
}

}  // namespace
