// The layer stack of a device: insert, add, move and remove, with the
// contacts and interfaces checked after each change; interfaces, the
// heterostructure and grading decisions.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "caseName.h"
#include "deviceTestSupport.h"
#include "ekContact.h"
#include "ekInterface.h"
#include "ekLevel.h"

namespace {

using DeviceLayersTest = DeviceTest;

TEST_F(DeviceLayersTest, AddedLayersKeepOrderMaterialDopantAndThickness)
{
    ekLayer* si = device->addLayer(L"Si", L"Base", 0x20);
    ekLayer* gaas = device->addLayer(L"GaAs", L"Window", 0x10);
    ASSERT_NE(si, nullptr);
    ASSERT_NE(gaas, nullptr);
    EXPECT_EQ(device->getLayerCount(), 2);
    EXPECT_EQ(device->getFirstLayer(), si);
    EXPECT_EQ(device->getLastLayer(), gaas);
    EXPECT_STREQ(si->getMaterial(), L"Si");
    EXPECT_STREQ(gaas->getMaterial(), L"GaAs");
    EXPECT_EQ(si->getType(), 0x20);
    EXPECT_EQ(gaas->getType(), 0x10);
    EXPECT_DOUBLE_EQ(device->getThickness(), si->getThickness() + gaas->getThickness());
    EXPECT_EQ(si->getLuaEngine(), device->getLuaEngine());
    EXPECT_EQ(si->getT(), device->getT());
}

TEST_F(DeviceLayersTest, InsertAtIndexShiftsTheLayersAbove)
{
    addLayers({L"A", L"C"});
    ASSERT_NE(device->insertLayer(1, L"Si", L"B", 0x10), nullptr);
    ASSERT_NE(device->insertLayer(0, L"Si", L"Z", 0x10), nullptr);
    EXPECT_EQ(stackNames(), L"Z A B C");
}

TEST_F(DeviceLayersTest, InsertBeyondTheStackReturnsNullWithoutMessage)
{
    addLayers({L"A", L"B"});
    EXPECT_EQ(device->insertLayer(3, L"Si", L"X", 0x10), nullptr);
    EXPECT_EQ(device->insertLayer(-1, L"Si", L"X", 0x10), nullptr);
    EXPECT_EQ(sigma.err, 0);
    EXPECT_EQ(stackNames(), L"A B");
}

TEST_F(DeviceLayersTest, TenthLayerIsRefusedAndTheNineStay)
{
    addLayers({L"L1", L"L2", L"L3", L"L4", L"L5", L"L6", L"L7", L"L8", L"L9"});
    EXPECT_EQ(device->addLayer(L"Si", L"L10", 0x10), nullptr);
    EXPECT_NE(sigma.err, 0);
    EXPECT_EQ(lastLine(), L"[ERROR]   Maximum layers number reached in the semiconductor device\n");
    EXPECT_EQ(device->getLayerCount(), 9);
    EXPECT_EQ(stackNames(), L"L1 L2 L3 L4 L5 L6 L7 L8 L9");
}

TEST_F(DeviceLayersTest, NoLayerIsMadeWhileTheErrorFlagIsSet)
{
    sigma.err = 1;
    EXPECT_EQ(device->addLayer(L"Si", L"A", 0x10), nullptr);
    EXPECT_EQ(device->getLayerCount(), 0);
}

TEST_F(DeviceLayersTest, LayerByNameIgnoresLetterCase)
{
    addLayers({L"Absorber", L"Window"});
    EXPECT_EQ(device->getLayer(L"WINDOW"), device->getLayer(1));
    EXPECT_EQ(device->getLayer(L"absorber"), device->getLayer(0));
    EXPECT_EQ(device->getLayer(L"Emitter"), nullptr);
    EXPECT_EQ(device->getLayer(2), nullptr);
    EXPECT_EQ(device->getLayer(-1), nullptr);
}

TEST_F(DeviceLayersTest, AddCopyOfLayerLeavesSourceToCaller)
{
    ekLayer source(&sigma, L"GaAs", L"Template");
    ASSERT_TRUE(source.updateMain(L"Template", 0x20, 2.5, 0.0, 0.0));
    ekLayer* added = device->addLayer(&source);
    ASSERT_NE(added, nullptr);
    EXPECT_NE(added, &source);
    EXPECT_STREQ(added->getName(), L"Template");
    EXPECT_STREQ(added->getMaterial(), L"GaAs");
    EXPECT_EQ(added->getThickness(), 2.5);
    EXPECT_EQ(added->getType(), 0x20);
    // The device counts the copied thickness, not the fresh layer's.
    EXPECT_DOUBLE_EQ(device->getThickness(), 2.5);
    EXPECT_EQ(device->addLayer(static_cast<const ekLayer*>(nullptr)), nullptr);
}

struct MoveCase {
    int from, to;
    const wchar_t* stack;
};

std::ostream& operator<<(std::ostream& out, const MoveCase& c)
{
    return out << "from " << c.from << " to " << c.to;
}

class DeviceMoveTest : public DeviceTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(DeviceMoveTest, MovedLayerLandsAtTargetAndOthersShift)
{
    const MoveCase c = GetParam();
    addLayers({L"A", L"B", L"C", L"D", L"E"});
    ekLayer* layer = device->getLayer(c.from);
    int from = c.from;
    EXPECT_EQ(device->moveLayer(&from, c.to), layer);
    EXPECT_EQ(from, c.to);
    EXPECT_EQ(stackNames(), c.stack);
}

INSTANTIATE_TEST_SUITE_P(Moves, DeviceMoveTest,
                         ::testing::Values(MoveCase{3, 1, L"A D B C E"},
                                           MoveCase{0, 4, L"B C D E A"},
                                           MoveCase{4, 0, L"E A B C D"},
                                           MoveCase{1, 2, L"A C B D E"}),
                         NamedByPrint());

TEST_F(DeviceLayersTest, InvalidMoveChangesNothing)
{
    addLayers({L"A", L"B", L"C"});
    int from = 1;
    EXPECT_EQ(device->moveLayer(&from, 1), nullptr);
    EXPECT_EQ(device->moveLayer(&from, 3), nullptr);
    EXPECT_EQ(device->moveLayer(nullptr, 0), nullptr);
    from = -1;
    EXPECT_EQ(device->moveLayer(&from, 0), nullptr);
    EXPECT_EQ(from, -1);
    EXPECT_EQ(stackNames(), L"A B C");
}

TEST_F(DeviceLayersTest, MoveInOneLayerStackReturnsThatLayer)
{
    addLayers({L"Only"});
    int from = 0;
    EXPECT_EQ(device->moveLayer(&from, 5), device->getLayer(0));
    EXPECT_EQ(device->moveLayer(nullptr, 0), device->getLayer(0));
}

TEST_F(DeviceLayersTest, RemoveByIndexAndNameKeepsOrderAndThickness)
{
    addLayers({L"A", L"B", L"C", L"D"});
    device->getLayer(1)->updateMain(L"B", 0x10, 3.0, 0.0, 0.0);
    device->updateThickness();
    const double before = device->getThickness();

    EXPECT_TRUE(device->removeLayer(1));
    EXPECT_EQ(stackNames(), L"A C D");
    EXPECT_DOUBLE_EQ(device->getThickness(), before - 3.0);
    EXPECT_TRUE(device->removeLayer(L"d"));
    EXPECT_EQ(stackNames(), L"A C");
    EXPECT_EQ(device->getLayer(2), nullptr);

    EXPECT_FALSE(device->removeLayer(2));
    EXPECT_FALSE(device->removeLayer(L"Missing"));
    EXPECT_FALSE(device->removeLayer(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(stackNames(), L"A C");
}

// Contacts and interfaces must never keep a pointer to a freed layer.
TEST_F(DeviceLayersTest, RemovedLayerIsForgottenByContactsAndInterfaces)
{
    addLayers({L"A", L"B", L"C"});
    ekLayer* a = device->getLayer(0);
    ekLayer* b = device->getLayer(1);
    ekLayer* c = device->getLayer(2);
    ASSERT_TRUE(device->updateAnode(L"Front", 0.0, 1e7, 1e7, 0x10, false, a, 0));
    ASSERT_TRUE(device->updateCathode(L"Back", 0.0, 1e7, 1e7, 0x10, false, c, 0));
    ASSERT_TRUE(device->createInterfaces());
    ASSERT_TRUE(device->updateInterface(0, 0.1, 0.1, 1, a, b, 100));
    ASSERT_TRUE(device->updateInterface(1, 0.2, 0.2, 1, b, c, 200));

    ASSERT_TRUE(device->removeLayer(1));
    EXPECT_EQ(device->getAnode()->getLayerAfter(), a);
    EXPECT_EQ(device->getCathode()->getLayerAfter(), c);
    EXPECT_EQ(device->getInterfaceCount(), 1);
    ekInterface* first = device->getInterface(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getLayerBefore(), a);
    EXPECT_EQ(first->getLayerAfter(), nullptr);
    EXPECT_EQ(device->getInterface(1), nullptr);

    ASSERT_TRUE(device->removeLayer(0));
    EXPECT_EQ(device->getAnode()->getLayerAfter(), nullptr);
    EXPECT_EQ(device->getCathode()->getLayerAfter(), c);
    EXPECT_EQ(device->getInterfaceCount(), 0);
    EXPECT_EQ(device->getInterface(0), nullptr);
}

TEST_F(DeviceLayersTest, RemoveAllLayersClearsStackInterfacesAndContactLayers)
{
    addLayers({L"A", L"B"});
    ASSERT_TRUE(device->updateAnode(L"Front", 0.0, 1e7, 1e7, 0x10, false, device->getLayer(0), 0));
    ASSERT_TRUE(device->updateCathode(L"Back", 0.0, 1e7, 1e7, 0x10, false, device->getLayer(1), 0));
    ASSERT_TRUE(device->createInterfaces());
    device->removeAllLayers();
    EXPECT_EQ(device->getLayerCount(), 0);
    EXPECT_EQ(device->getThickness(), 0.0);
    EXPECT_EQ(device->getFirstLayer(), nullptr);
    EXPECT_EQ(device->getInterfaceCount(), 0);
    EXPECT_EQ(device->getAnode()->getLayerAfter(), nullptr);
    EXPECT_EQ(device->getCathode()->getLayerAfter(), nullptr);
    // The stack is usable again.
    addLayers({L"New"});
    EXPECT_EQ(stackNames(), L"New");
}

TEST_F(DeviceLayersTest, InterfacesOnlyBetweenLayerPairs)
{
    addLayers({L"A"});
    EXPECT_FALSE(device->createInterfaces());
    EXPECT_EQ(device->getInterfaceCount(), 0);
    EXPECT_FALSE(device->updateInterface(0, 0.1, 0.1, 1, nullptr, nullptr, 0));

    addLayers({L"B", L"C", L"D"});
    ASSERT_TRUE(device->createInterfaces());
    EXPECT_EQ(device->getInterfaceCount(), 3);
    for (int i = 0; i < 3; ++i) {
        ekInterface* interface = device->getInterface(i);
        ASSERT_NE(interface, nullptr);
        EXPECT_STREQ(interface->getName(), L"InterfaceX");
        EXPECT_EQ(interface->getType(), 0);
        EXPECT_EQ(interface->getDEC(), 0.0);
        EXPECT_EQ(interface->getSigma(), &sigma);
    }
    EXPECT_EQ(device->getInterface(3), nullptr);
    EXPECT_FALSE(device->updateInterface(3, 0.1, 0.1, 1, nullptr, nullptr, 0));
    EXPECT_FALSE(device->updateInterface(-1, 0.1, 0.1, 1, nullptr, nullptr, 0));

    ekLayer* b = device->getLayer(1);
    ekLayer* c = device->getLayer(2);
    EXPECT_TRUE(device->updateInterface(1, 0.3, 0.05, 4, b, c, 250));
    ekInterface* middle = device->getInterface(1);
    EXPECT_EQ(middle->getDEC(), 0.3);
    EXPECT_EQ(middle->getDEV(), 0.05);
    EXPECT_EQ(middle->getType(), 4);
    EXPECT_EQ(middle->getLayerBefore(), b);
    EXPECT_EQ(middle->getPos(), 250);
    EXPECT_FALSE(device->updateInterface(1, 6.0, 0.05, 4, b, c, 250));
    EXPECT_EQ(lastLine(), L"[ERROR]   invalid interface parameters\n");
    EXPECT_EQ(middle->getDEC(), 0.3);
    sigma.reset();

    // Rebuilding starts from fresh interfaces.
    ASSERT_TRUE(device->createInterfaces());
    EXPECT_EQ(device->getInterface(1)->getDEC(), 0.0);
}

struct HeteroCase {
    std::vector<double> gaps;
    bool hetero;
};

std::ostream& operator<<(std::ostream& out, const HeteroCase& c)
{
    out << "gaps";
    for (double gap : c.gaps) {
        out << ' ' << gap;
    }
    return out;
}

class DeviceHeteroTest : public DeviceTest, public ::testing::WithParamInterface<HeteroCase> {};

TEST_P(DeviceHeteroTest, BandgapStepAboveOneMilliElectronVoltMakesHeterostructure)
{
    const HeteroCase c = GetParam();
    for (double gap : c.gaps) {
        ekLayer* layer = device->addLayer(L"Si", L"L", 0x10);
        ASSERT_NE(layer, nullptr);
        LayerGap::set(layer, gap);
    }
    EXPECT_EQ(device->updateHeterostructure(), c.hetero);
    EXPECT_EQ(device->isHeterostructure(), c.hetero);
}

INSTANTIATE_TEST_SUITE_P(
    Gaps, DeviceHeteroTest,
    ::testing::Values(HeteroCase{{1.12, 1.12005, 1.12}, false}, HeteroCase{{1.12, 1.424}, true},
                      HeteroCase{{0.0, 1.12, 1.12}, false}, HeteroCase{{0.0, 1.12, 1.5}, true},
                      HeteroCase{{1.12}, false}, HeteroCase{{1.12, 1.1205}, false},
                      HeteroCase{{1.12, 1.1225}, true}),
    NamedByPrint());

TEST_F(DeviceLayersTest, HeterostructureAndGradedFlagsAreNeverCleared)
{
    EXPECT_FALSE(device->updateGraded());
    addLayers({L"A", L"B"});
    LayerGap::set(device->getLayer(1), 1.6);
    ASSERT_TRUE(device->updateHeterostructure());
    // A fresh layer's models count as graded until a run decides otherwise.
    ASSERT_TRUE(device->updateGraded());
    device->removeAllLayers();
    EXPECT_TRUE(device->updateHeterostructure());
    EXPECT_TRUE(device->updateGraded());
}

TEST_F(DeviceLayersTest, UniformDopingNeedsOneTypeThroughTheStack)
{
    EXPECT_TRUE(device->isUniformlyDoped());
    ASSERT_NE(device->addLayer(L"Si", L"A", 0x10), nullptr);
    ASSERT_NE(device->addLayer(L"Si", L"B", 0x10), nullptr);
    EXPECT_TRUE(device->isUniformlyDoped());
    ASSERT_NE(device->addLayer(L"Si", L"C", 0x20), nullptr);
    EXPECT_FALSE(device->isUniformlyDoped());
    sigma.err = 1;
    device->removeLayer(2);
    EXPECT_FALSE(device->isUniformlyDoped());
}

}  // namespace
