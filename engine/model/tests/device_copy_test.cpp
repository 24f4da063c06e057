// Device copy: deep, independent of its source, and still whole once the
// source is gone (run under AddressSanitizer to catch any pointer left into
// the source).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "deviceTestSupport.h"
#include "ekContact.h"
#include "ekInterface.h"
#include "ekLevel.h"
#include "kovbase.h"

namespace {

class DeviceCopyTest : public DeviceTest {
protected:
    // A source with every kind of content the copy must carry.
    void SetUp() override
    {
        device->updateMain(L"Tandem", L"top and bottom cell");
        ASSERT_TRUE(device->updateTemperature(320.0));
        ASSERT_TRUE(device->setPolarizationScale(0.5));

        ekLayer* window = device->addLayer(L"GaAs", L"Window", 0x10);
        ekLayer* base = device->addLayer(L"Si", L"Base", 0x20);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(base, nullptr);
        ASSERT_TRUE(window->updateMain(L"Window", 0x10, 0.2, 0.0, 0.0));
        ASSERT_TRUE(base->updateMain(L"Base", 0x20, 150.0, 0.0, 0.0));
        ASSERT_NE(base->addTrap(L"Deep", 0x10, 1e13, 1e19, 0.3, 0.0, 1e-6, 1e-6, 1.0, false),
                  nullptr);
        device->updateThickness();
        device->updateHeterostructure();

        ASSERT_TRUE(device->updateAnode(L"Front", 0.0, 1e6, 1e6, 0x10, true, window, 0));
        ASSERT_TRUE(device->updateAnodeIndex(L"Au", 0.01, 1.0, 0.0));
        device->getAnode()->setBoundary(ekContact::BOUNDARY_DIRICHLET);
        device->getAnode()->setBoundarySet(true);
        ASSERT_TRUE(device->updateCathode(L"Back", 0.7, 1e5, 1e5, 0x11, false, base, 0));
        ASSERT_TRUE(device->createInterfaces());

        wchar_t value[ElecDevice::VARIABLE_VALUE_SIZE] = L"0.2";
        ASSERT_TRUE(device->setVariable(L"tw", value, 0));
        wchar_t doubled[ElecDevice::VARIABLE_VALUE_SIZE] = L"$tw*2";
        ASSERT_TRUE(device->setVariable(L"tw2", doubled, 1));
        wchar_t text[ElecDevice::VARIABLE_VALUE_SIZE] = L"\"am15.txt\"";
        ASSERT_TRUE(device->setVariable(L"spectrum", text, 2));

        ASSERT_TRUE(device->addtoHeader(L"Two-layer test cell"));
        ASSERT_TRUE(device->addtoHeader(L"# second line"));
        ASSERT_EQ(sigma.err, 0);
    }

    std::unique_ptr<ElecDevice> makeCopy()
    {
        auto target = std::make_unique<ElecDevice>(&sigma, &param);
        EXPECT_TRUE(target->copy(device.get()));
        return target;
    }

    // The state the SetUp source has, checked on any device.
    void expectSourceState(const ElecDevice& d)
    {
        EXPECT_STREQ(d.getName(), L"Tandem");
        EXPECT_STREQ(d.getNote(), L"top and bottom cell");
        EXPECT_EQ(d.getT(), 320.0);
        EXPECT_EQ(d.getPolarizationScale(), 0.5);
        EXPECT_TRUE(d.isHeterostructure());
        ASSERT_EQ(d.getLayerCount(), 2);
        EXPECT_STREQ(d.getLayer(0)->getName(), L"Window");
        EXPECT_STREQ(d.getLayer(0)->getMaterial(), L"GaAs");
        EXPECT_EQ(d.getLayer(0)->getThickness(), 0.2);
        EXPECT_STREQ(d.getLayer(1)->getName(), L"Base");
        EXPECT_EQ(d.getLayer(1)->getType(), 0x20);
        EXPECT_EQ(d.getLayer(1)->getT(), 320.0);
        ASSERT_EQ(d.getLayer(1)->getTrapCount(), 1);
        EXPECT_STREQ(d.getLayer(1)->getTrap(0)->getName(), L"Deep");
        EXPECT_EQ(d.getLayer(1)->getTrap(0)->getN(), 1e13);
        EXPECT_DOUBLE_EQ(d.getThickness(), 150.2);

        const ekContact* anode = d.getAnode();
        EXPECT_STREQ(anode->getName(), L"Front");
        EXPECT_STREQ(anode->getMaterial(), L"Au");
        EXPECT_EQ(anode->getIndexn(), 0.43804);
        EXPECT_TRUE(anode->isTunnel());
        EXPECT_EQ(anode->getBoundary(), ekContact::BOUNDARY_DIRICHLET);
        EXPECT_TRUE(anode->isBoundarySet());
        EXPECT_EQ(anode->getLayerAfter(), d.getLayer(0));
        const ekContact* cathode = d.getCathode();
        EXPECT_TRUE(cathode->isSchottky());
        EXPECT_EQ(cathode->getPhi(), 0.7);
        EXPECT_EQ(cathode->getLayerAfter(), d.getLayer(1));

        ASSERT_EQ(d.getVariableCount(), 3);
        EXPECT_STREQ(d.getVariableName(1), L"tw2");
        EXPECT_STREQ(d.getVariableValue(1), L"0.4");
        EXPECT_STREQ(d.getVariableValue(2), L"\"am15.txt\"");
        ASSERT_NE(d.getHeader(), nullptr);
        EXPECT_STREQ(d.getHeader(), L"#Two-layer test cell\n# second line\n");
    }
};

TEST_F(DeviceCopyTest, CopyCarriesEverythingAndPointsOnlyIntoItself)
{
    auto copy = makeCopy();
    expectSourceState(*copy);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(copy->getLayer(i), device->getLayer(i));
    }
    EXPECT_NE(copy->getAnode(), device->getAnode());
    EXPECT_EQ(copy->getAnode()->getSigma(), &sigma);
    EXPECT_EQ(copy->getAnode()->getLuaEngine(), copy->getLuaEngine());
    EXPECT_EQ(copy->getLayer(0)->getLuaEngine(), copy->getLuaEngine());
    EXPECT_NE(copy->getLuaEngine(), device->getLuaEngine());
}

TEST_F(DeviceCopyTest, CopyStaysWholeAfterTheSourceIsDestroyed)
{
    auto copy = makeCopy();
    device.reset();
    expectSourceState(*copy);
    // Every part of the copy can still be changed and freed.
    EXPECT_TRUE(copy->updateTemperature(280.0));
    EXPECT_TRUE(copy->removeLayer(0));
    EXPECT_EQ(copy->getAnode()->getLayerAfter(), nullptr);
    EXPECT_EQ(copy->getCathode()->getLayerAfter(), copy->getLayer(0));
    wchar_t value[ElecDevice::VARIABLE_VALUE_SIZE] = L"$tw2 + 1";
    EXPECT_TRUE(copy->parseValue(value));
    EXPECT_STREQ(value, L"1.4");
    EXPECT_TRUE(copy->addtoHeader(L"after the source"));
}

TEST_F(DeviceCopyTest, ChangingTheCopyLeavesTheSourceAlone)
{
    auto copy = makeCopy();
    copy->updateMain(L"Changed", L"changed");
    ASSERT_TRUE(copy->getLayer(1)->updateMain(L"Base", 0x20, 99.0, 0.0, 0.0));
    copy->getLayer(1)->removeAllTraps();
    copy->removeLayer(0);
    copy->getAnode()->setTunnel(false);
    wchar_t value[ElecDevice::VARIABLE_VALUE_SIZE] = L"9";
    ASSERT_TRUE(copy->setVariable(L"tw", value, 0));
    ASSERT_TRUE(copy->deleteVariable(L"spectrum"));
    ASSERT_TRUE(copy->addtoHeader(L"copy only"));
    expectSourceState(*device);
}

// Copying into a used device replaces its content rather than adding to it.
TEST_F(DeviceCopyTest, CopyIntoUsedDeviceReplacesItsContent)
{
    ElecDevice target(&sigma, &param);
    ASSERT_NE(target.addLayer(L"Si", L"Old1", 0x10), nullptr);
    ASSERT_NE(target.addLayer(L"Si", L"Old2", 0x10), nullptr);
    ASSERT_NE(target.addLayer(L"Si", L"Old3", 0x10), nullptr);
    ASSERT_TRUE(target.createInterfaces());
    wchar_t value[ElecDevice::VARIABLE_VALUE_SIZE] = L"5";
    ASSERT_TRUE(target.setVariable(L"stale", value, 0));
    ASSERT_TRUE(target.addtoHeader(L"old header"));

    ASSERT_TRUE(target.copy(device.get()));
    expectSourceState(target);
    EXPECT_EQ(target.getInterfaceCount(), 0);
    wchar_t out[ElecDevice::VARIABLE_VALUE_SIZE];
    EXPECT_FALSE(target.getVariable(L"stale", out));
}

TEST_F(DeviceCopyTest, CopyOfItselfOrNothingChangesNothing)
{
    EXPECT_TRUE(device->copy(device.get()));
    expectSourceState(*device);
    EXPECT_FALSE(device->copy(nullptr));
    expectSourceState(*device);
}

TEST_F(DeviceCopyTest, NoCopyWhileTheErrorFlagIsSet)
{
    ElecDevice target(&sigma, &param);
    sigma.err = 1;
    EXPECT_FALSE(target.copy(device.get()));
    EXPECT_STREQ(target.getName(), L"DeviceX");
    EXPECT_EQ(target.getLayerCount(), 0);
    EXPECT_EQ(target.getAnode()->getLayerAfter(), nullptr);
}

}  // namespace
