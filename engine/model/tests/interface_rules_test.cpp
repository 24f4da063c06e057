// Interface rules: offset checks, negligible offsets, position limit, names
// and copies.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "caseName.h"
#include "ekInterface.h"
#include "nuSigma.h"

namespace {

class InterfaceTest : public ::testing::Test {
protected:
    nuSigma sigma;
    ekInterface interface {
        &sigma
    };
    // Stand-ins: the interface only keeps these pointers.
    ekLayer* before = reinterpret_cast<ekLayer*>(0x1000);
    ekLayer* after = reinterpret_cast<ekLayer*>(0x2000);
};

TEST_F(InterfaceTest, StartsEmpty)
{
    EXPECT_STREQ(interface.getName(), L"InterfaceX");
    EXPECT_EQ(interface.getType(), 0);
    EXPECT_EQ(interface.getDEC(), 0.0);
    EXPECT_EQ(interface.getDEV(), 0.0);
    EXPECT_EQ(interface.getLayerBefore(), nullptr);
    EXPECT_FALSE(interface.isTunnel());
    EXPECT_TRUE(interface.assignResources());
}

struct OffsetCase {
    double DEC, DEV;
    double storedDEC, storedDEV;
    uint8_t storedType;
};

std::ostream& operator<<(std::ostream& out, const OffsetCase& c)
{
    return out << "DEC " << c.DEC << " DEV " << c.DEV;
}

class InterfaceOffsetTest : public InterfaceTest,
                            public ::testing::WithParamInterface<OffsetCase> {};

TEST_P(InterfaceOffsetTest, NegligibleOffsetsBecomePlainInterface)
{
    const OffsetCase c = GetParam();
    interface.update(L"Junction", c.DEC, c.DEV, 0x30, before, after, 140);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(interface.getDEC(), c.storedDEC);
    EXPECT_EQ(interface.getDEV(), c.storedDEV);
    EXPECT_EQ(interface.getType(), c.storedType);
    EXPECT_EQ(interface.getLayerBefore(), before);
    EXPECT_EQ(interface.getLayerAfter(), after);
    EXPECT_EQ(interface.getPos(), 140);
    EXPECT_STREQ(interface.getName(), L"Junction");
}

INSTANTIATE_TEST_SUITE_P(Offsets, InterfaceOffsetTest,
                         ::testing::Values(OffsetCase{0.001, 0.2, 0.001, 0.2, 0x30},
                                           OffsetCase{0.001, 0.005, 0.0, 0.0, 0},
                                           OffsetCase{0.3, 0.0, 0.3, 0.0, 0x30},
                                           OffsetCase{5.0, 5.0, 5.0, 5.0, 0x30},
                                           OffsetCase{0.0, 0.0, 0.0, 0.0, 0}),
                         NamedByPrint());

TEST_F(InterfaceTest, OffsetOutsideRangeIsRefused)
{
    for (double bad : {-0.1, 5.01}) {
        sigma.reset();
        interface.update(L"Junction", bad, 0.1, 1, before, after, 5);
        EXPECT_NE(sigma.err, 0);
        EXPECT_STREQ(sigma.message, L"[ERROR]   invalid interface parameters\n");
        sigma.reset();
        interface.update(L"Junction", 0.1, bad, 1, before, after, 5);
        EXPECT_NE(sigma.err, 0);
        EXPECT_STREQ(interface.getName(), L"InterfaceX");
        EXPECT_EQ(interface.getLayerBefore(), nullptr);
        EXPECT_EQ(interface.getPos(), 0);
    }
}

TEST_F(InterfaceTest, PositionOutsideTheMeshOrErrorFlagChangesNothing)
{
    interface.update(L"Junction", 0.2, 0.2, 1, before, after, 20000);
    interface.update(L"Junction", 0.2, 0.2, 1, before, after, -5);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(interface.getDEC(), 0.0);

    sigma.err = 1;
    interface.update(L"Junction", 0.2, 0.2, 1, before, after, 10);
    EXPECT_EQ(interface.getDEC(), 0.0);
    EXPECT_FALSE(interface.assignResources());
}

TEST_F(InterfaceTest, DefaultNameNeverReplacesAName)
{
    interface.update(L"Junction", 0.2, 0.2, 1, before, after, 10);
    interface.update(L"INTERFACEX", 0.3, 0.2, 1, before, after, 10);
    EXPECT_STREQ(interface.getName(), L"Junction");
    EXPECT_EQ(interface.getDEC(), 0.3);
    wchar_t name[ekInterface::NAME_SIZE];
    interface.getName(name);
    EXPECT_STREQ(name, L"Junction");
}

TEST_F(InterfaceTest, CopyTakesEveryValue)
{
    ekInterface source(&sigma);
    source.update(L"Hetero", 0.25, 0.15, 2, before, after, 77);
    source.setTunnel(true);
    interface.copy(&source);
    EXPECT_STREQ(interface.getName(), L"Hetero");
    EXPECT_EQ(interface.getDEC(), 0.25);
    EXPECT_EQ(interface.getDEV(), 0.15);
    EXPECT_EQ(interface.getType(), 2);
    EXPECT_EQ(interface.getLayerBefore(), before);
    EXPECT_EQ(interface.getLayerAfter(), after);
    EXPECT_EQ(interface.getPos(), 77);
    EXPECT_EQ(interface.getSigma(), &sigma);
    EXPECT_TRUE(interface.isTunnel());
}

}  // namespace
