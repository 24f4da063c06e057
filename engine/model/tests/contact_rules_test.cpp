// Contact rules: barrier and recombination checks, the ohmic threshold, the
// position limit, metals with their optical index, and copies.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "caseName.h"
#include "ekContact.h"
#include "ekLayer.h"
#include "nuSigma.h"

namespace {

class ContactTest : public ::testing::Test {
protected:
    nuSigma sigma;
    ekContact contact{&sigma};
};

TEST_F(ContactTest, StartsAsOhmicContactWithoutLayers)
{
    EXPECT_STREQ(contact.getName(), L"ContactX");
    EXPECT_EQ(contact.getGroup(), 0x10);
    EXPECT_TRUE(contact.isOhmic());
    EXPECT_FALSE(contact.isBarrier());
    EXPECT_EQ(contact.getPhi(), 0.0);
    EXPECT_EQ(contact.getRn(), 1e7);
    EXPECT_EQ(contact.getRp(), 1e7);
    EXPECT_EQ(contact.getBoundary(), ekContact::BOUNDARY_NEUMANN);
    EXPECT_FALSE(contact.isBoundarySet());
    EXPECT_STREQ(contact.getMaterial(), L"Mx");
    EXPECT_EQ(contact.getIndexn(), 1.0);
    EXPECT_EQ(contact.getIndexk(), 0.0);
    EXPECT_EQ(contact.getLayerBefore(), nullptr);
    EXPECT_EQ(contact.getLayerAfter(), nullptr);
}

struct BarrierCase {
    double phi;
    uint8_t type;
    double storedPhi;
    uint8_t storedGroup;
};

std::ostream& operator<<(std::ostream& out, const BarrierCase& c)
{
    return out << "phi " << c.phi << " type " << int(c.type);
}

class ContactBarrierTest : public ContactTest, public ::testing::WithParamInterface<BarrierCase> {};

// A barrier below kT/q (100 K) blocks nothing: the contact becomes ohmic.
TEST_P(ContactBarrierTest, BarrierBelowThermalVoltageBecomesOhmic)
{
    const BarrierCase c = GetParam();
    contact.update(L"Front", c.phi, 1e5, 1e6, c.type, nullptr, nullptr, 7);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(contact.getPhi(), c.storedPhi);
    EXPECT_EQ(contact.getGroup(), c.storedGroup);
    EXPECT_EQ(contact.isSchottky(), (c.storedGroup & 1) != 0);
    EXPECT_EQ(contact.getRn(), 1e5);
    EXPECT_EQ(contact.getRp(), 1e6);
    EXPECT_EQ(contact.getPos(), 7);
}

INSTANTIATE_TEST_SUITE_P(Barriers, ContactBarrierTest,
                         ::testing::Values(BarrierCase{0.005, 0x11, 0.0, 0x10},
                                           BarrierCase{0.0086173, 0x11, 0.0, 0x10},
                                           BarrierCase{0.00861734291, 0x11, 0.00861734291, 0x11},
                                           BarrierCase{0.7, 0x11, 0.7, 0x11},
                                           BarrierCase{5.0, 0x11, 5.0, 0x11},
                                           BarrierCase{0.0, 0x10, 0.0, 0x10}),
                         NamedByPrint());

struct RangeCase {
    double phi, Rn, Rp;
    bool accepted;
};

std::ostream& operator<<(std::ostream& out, const RangeCase& c)
{
    return out << "phi " << c.phi << " Rn " << c.Rn << " Rp " << c.Rp;
}

class ContactRangeTest : public ContactTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(ContactRangeTest, RefusedValuesLeaveTheContactUnchanged)
{
    const RangeCase c = GetParam();
    contact.update(L"Back", c.phi, c.Rn, c.Rp, 0x11, nullptr, nullptr, 3);
    if (c.accepted) {
        EXPECT_EQ(sigma.err, 0);
        EXPECT_STREQ(contact.getName(), L"Back");
        EXPECT_EQ(contact.getRn(), c.Rn);
        EXPECT_EQ(contact.getRp(), c.Rp);
    } else {
        EXPECT_NE(sigma.err, 0);
        EXPECT_STREQ(sigma.message, L"[ERROR]   invalid contact parameters\n");
        EXPECT_STREQ(contact.getName(), L"ContactX");
        EXPECT_EQ(contact.getRn(), 1e7);
        EXPECT_EQ(contact.getPos(), 0);
        EXPECT_EQ(contact.getGroup(), 0x10);
    }
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Ranges, ContactRangeTest,
    ::testing::Values(RangeCase{0.5, 1e-4, 1e8, true}, RangeCase{0.5, 0.0, 1e5, false},
                      RangeCase{0.5, 1e5, 1.0001e8, false}, RangeCase{-0.01, 1e5, 1e5, false},
                      RangeCase{5.001, 1e5, 1e5, false}, RangeCase{NaN, 1e5, 1e5, false},
                      RangeCase{0.5, NaN, 1e5, false}),
    NamedByPrint());

TEST_F(ContactTest, PositionOutsideTheMeshIsIgnoredWithoutMessage)
{
    for (int position : {20000, -1, 1 << 30}) {
        contact.update(L"Far", 0.5, 1e5, 1e5, 0x11, nullptr, nullptr, position);
        EXPECT_EQ(sigma.err, 0);
        EXPECT_STREQ(contact.getName(), L"ContactX");
        EXPECT_EQ(contact.getPhi(), 0.0);
    }
    contact.update(L"Far", 0.5, 1e5, 1e5, 0x11, nullptr, nullptr, 19999);
    EXPECT_EQ(contact.getPos(), 19999);
}

TEST_F(ContactTest, DefaultNameNeverReplacesAName)
{
    contact.update(L"Front", 0.0, 1e5, 1e5, 0x10, nullptr, nullptr, 0);
    contact.update(L"contactx", 0.0, 1e5, 1e5, 0x10, nullptr, nullptr, 0);
    EXPECT_STREQ(contact.getName(), L"Front");

    const std::wstring longName(40, L'c');
    contact.update(longName.c_str(), 0.0, 1e5, 1e5, 0x10, nullptr, nullptr, 0);
    EXPECT_EQ(std::wstring(contact.getName()), std::wstring(31, L'c'));
}

TEST_F(ContactTest, NothingChangesWhileTheErrorFlagIsSet)
{
    sigma.err = 1;
    contact.update(L"Front", 0.5, 1e5, 1e5, 0x11, nullptr, nullptr, 0);
    EXPECT_STREQ(contact.getName(), L"ContactX");
    double n = 0.0, k = 0.0;
    EXPECT_FALSE(contact.getIndex(0.0, 1.0, 1.1, 0.5, &n, &k, false));
}

struct MetalCase {
    const wchar_t* name;
    int index;
    double n, k;
};

std::ostream& operator<<(std::ostream& out, const MetalCase& c)
{
    out << "metal ";
    for (const wchar_t* letter = c.name; *letter != 0; ++letter) {
        out << static_cast<char>(*letter);
    }
    return out << " index " << c.index;
}

class ContactMetalTest : public ContactTest, public ::testing::WithParamInterface<MetalCase> {};

TEST_P(ContactMetalTest, MetalBringsItsIndexInAnyLetterCase)
{
    const MetalCase c = GetParam();
    int index = -1;
    ASSERT_TRUE(ekContact::isStandardMaterial(c.name, &index));
    EXPECT_EQ(index, c.index);
    contact.updateMaterial(c.name);
    EXPECT_EQ(contact.getIndexn(), c.n);
    EXPECT_EQ(contact.getIndexk(), c.k);
    double n = 0.0, k = 0.0;
    EXPECT_TRUE(contact.getIndex(0.0, 1.0, 1.12, 0.6, &n, &k, false));
    EXPECT_EQ(n, c.n);
    EXPECT_EQ(k, c.k);
}

INSTANTIATE_TEST_SUITE_P(
    Metals, ContactMetalTest,
    ::testing::Values(MetalCase{L"Al", 0, 0.72079, 5.6418}, MetalCase{L"ag", 1, 0.042204, 3.4332},
                      MetalCase{L"au", 2, 0.43804, 2.295}, MetalCase{L"CU", 3, 0.95753, 2.6036},
                      MetalCase{L"Ni", 4, 1.1317, 1.7954}, MetalCase{L"pT", 5, 1.34, 1.03},
                      MetalCase{L"Ti", 6, 1.25, 0.962}),
    NamedByPrint());

TEST_F(ContactTest, UnknownMaterialKeepsTheIndex)
{
    ASSERT_TRUE(contact.updateIndexnk(2.5, 0.3));
    contact.updateMaterial(L"ITO");
    EXPECT_STREQ(contact.getMaterial(), L"ITO");
    EXPECT_EQ(contact.getIndexn(), 2.5);
    EXPECT_EQ(contact.getIndexk(), 0.3);
    EXPECT_FALSE(ekContact::isStandardMaterial(L"ITO", nullptr));
    EXPECT_FALSE(ekContact::isStandardMaterial(nullptr, nullptr));
    EXPECT_FALSE(ekContact::isStandardMaterial(L"Aluminium", nullptr));
}

// The region marks alloys in the group byte, where a contact keeps its kind.
TEST_F(ContactTest, AlloyMaterialKeepsSchottkyKind)
{
    contact.update(L"Front", 0.8, 1e5, 1e5, 0x11, nullptr, nullptr, 0);
    contact.updateMaterial(L"AlGaAs");
    EXPECT_TRUE(contact.isSchottky());
    EXPECT_EQ(contact.getGroup(), 0x11);
    EXPECT_STREQ(contact.getMaterialAC(), L"AlAs");
}

TEST_F(ContactTest, GetOpticFillsOnlyGivenOutputs)
{
    contact.updateMaterial(L"Au");
    contact.updateThickness(0.05);
    wchar_t material[ekRegion::MATERIAL_SIZE] = L"?";
    double thickness = -1.0, n = -1.0;
    contact.getOptic(material, &thickness, &n, nullptr);
    EXPECT_STREQ(material, L"Au");
    EXPECT_EQ(thickness, 0.05);
    EXPECT_EQ(n, 0.43804);
}

TEST_F(ContactTest, CopyOfPlatinumContactTakesTheMetalIndex)
{
    ekContact source(&sigma);
    source.update(L"Back", 0.9, 2e5, 3e5, 0x11, nullptr, nullptr, 12);
    source.updateMaterial(L"Pt");
    ASSERT_TRUE(source.updateIndexnk(4.0, 2.0));  // stored after the metal's
    contact.copy(&source);
    EXPECT_EQ(contact.getIndexn(), 1.34);
    EXPECT_EQ(contact.getIndexk(), 1.03);
    EXPECT_STREQ(contact.getName(), L"Back");
    EXPECT_EQ(contact.getPhi(), 0.9);
    EXPECT_EQ(contact.getRn(), 2e5);
    EXPECT_EQ(contact.getRp(), 3e5);
    EXPECT_EQ(contact.getPos(), 12);
    EXPECT_TRUE(contact.isSchottky());
}

// A device written from a copy must read back as the original: tunnelling,
// boundary condition and the index source travel with the copy.
TEST_F(ContactTest, CopyKeepsTunnellingBoundaryAndIndexFile)
{
    ekContact source(&sigma);
    source.setTunnel(true);
    source.setBoundary(ekContact::BOUNDARY_DIRICHLET);
    source.setBoundarySet(true);
    ASSERT_TRUE(source.updateIndexFile(L"front.nk", true));
    contact.copy(&source);
    EXPECT_TRUE(contact.isTunnel());
    EXPECT_EQ(contact.getBoundary(), ekContact::BOUNDARY_DIRICHLET);
    EXPECT_TRUE(contact.isBoundarySet());
    ASSERT_NE(contact.getIndexFile(), nullptr);
    EXPECT_STREQ(contact.getIndexFile(), L"front.nk");
    EXPECT_EQ(contact.getIndexModel(), source.getIndexModel());
}

}  // namespace
