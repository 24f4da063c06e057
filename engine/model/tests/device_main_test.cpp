// Device-wide values: creation, name and note, the script folder of the
// Lua engine, temperature, polarization scale, contacts through the device
// and the header text.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <filesystem>
#include <string>

#include "LuaEngineCore.h"
#include "deviceTestSupport.h"
#include "tempFolder.h"
#include "ekContact.h"
#include "ekInterface.h"
#include "ekLevel.h"
#include "kovbase.h"

namespace {

using DeviceMainTest = DeviceTest;

// The folders the device's model scripts may require modules from.
std::string packagePath(LuaEngineCore* engine)
{
    std::string path;
    for (const std::string& folder : engine->moduleFolders()) {
        path += folder + "?.lua;";
    }
    return path;
}

TEST_F(DeviceMainTest, NewDeviceHasDefaultsAndItsOwnParts)
{
    EXPECT_TRUE(device->isValid());
    EXPECT_STREQ(device->getName(), L"DeviceX");
    EXPECT_STREQ(device->getNote(), L"");
    EXPECT_EQ(device->getStatus(), 0);
    EXPECT_EQ(device->getT(), 300.0);
    EXPECT_EQ(device->getPolarizationScale(), 0.0);
    EXPECT_EQ(device->getLayerCount(), 0);
    EXPECT_EQ(device->getHeader(), nullptr);
    EXPECT_EQ(device->getHeaderLength(), 0u);
    ASSERT_NE(device->getAnode(), nullptr);
    ASSERT_NE(device->getCathode(), nullptr);
    EXPECT_NE(device->getAnode(), device->getCathode());
    EXPECT_STREQ(device->getAnode()->getName(), L"ContactX");
    ASSERT_NE(device->getLuaEngine(), nullptr);
    EXPECT_NE(device->getLuaEngine()->getState(), nullptr);
    EXPECT_EQ(device->getAnode()->getLuaEngine(), device->getLuaEngine());
    EXPECT_NE(device->getParser(), nullptr);
    EXPECT_FALSE(device->isHeterostructure());
    EXPECT_FALSE(device->isGraded());
}

TEST_F(DeviceMainTest, NameAndNoteAreCutAndDefaultNameNeverReplaces)
{
    device->updateMain(L"Tandem", L"two junctions");
    EXPECT_STREQ(device->getName(), L"Tandem");
    EXPECT_STREQ(device->getNote(), L"two junctions");
    device->updateMain(L"devicex", nullptr);
    EXPECT_STREQ(device->getName(), L"Tandem");
    EXPECT_STREQ(device->getNote(), L"two junctions");

    const std::wstring longName(50, L'n');
    const std::wstring longNote(300, L'o');
    device->updateMain(longName.c_str(), longNote.c_str());
    EXPECT_EQ(std::wstring(device->getName()), std::wstring(31, L'n'));
    EXPECT_EQ(std::wstring(device->getNote()), std::wstring(255, L'o'));
    wchar_t name[ElecDevice::NAME_SIZE];
    device->getName(name);
    EXPECT_EQ(std::wstring(name), std::wstring(31, L'n'));
}

TEST_F(DeviceMainTest, NamedConstructorPutsScriptFolderFirstInLuaPath)
{
    const TempFolder scratch("kovra_device_");
    const std::filesystem::path folder = scratch.folder();
    ASSERT_FALSE(folder.empty());
    ElecDevice named(&sigma, &param, L"SolarCell", L"note", folder.wstring().c_str());
    EXPECT_STREQ(named.getName(), L"SolarCell");
    EXPECT_STREQ(named.getNote(), L"note");
    const std::string expected = folder.string() + "/?.lua";
    EXPECT_EQ(packagePath(named.getLuaEngine()).rfind(expected, 0), 0u)
        << packagePath(named.getLuaEngine());

    // A folder that does not exist adds nothing.
    ElecDevice missing(&sigma, &param, L"Other", nullptr, L"/no/such/kovra/folder");
    EXPECT_EQ(packagePath(missing.getLuaEngine()).find("/no/such/kovra/folder"), std::string::npos);
}

TEST_F(DeviceMainTest, TemperatureReachesEveryLayerAndBadValueChangesNothing)
{
    addLayers({L"A", L"B"});
    EXPECT_TRUE(device->updateTemperature(350.0));
    EXPECT_EQ(device->getT(), 350.0);
    EXPECT_EQ(device->getLayer(0)->getT(), 350.0);
    EXPECT_EQ(device->getLayer(1)->getT(), 350.0);
    // A layer added later starts at the device temperature.
    addLayers({L"C"});
    EXPECT_EQ(device->getLayer(2)->getT(), 350.0);

    EXPECT_FALSE(device->updateTemperature(0.5));
    EXPECT_EQ(lastLine(), L"[ERROR]   invalid temperature\n");
    EXPECT_EQ(device->getT(), 350.0);
    EXPECT_EQ(device->getLayer(0)->getT(), 350.0);

    sigma.reset();
    EXPECT_TRUE(device->updateTemperature(2000.0));
    EXPECT_TRUE(device->updateTemperature(1.0));
    EXPECT_FALSE(device->updateTemperature(2000.5));
    EXPECT_EQ(device->getT(), 1.0);
}

TEST_F(DeviceMainTest, PolarizationScaleLimitsAreInclusive)
{
    EXPECT_TRUE(device->setPolarizationScale(10.0));
    EXPECT_TRUE(device->setPolarizationScale(-10.0));
    EXPECT_EQ(sigma.err, 0);
    EXPECT_FALSE(device->setPolarizationScale(10.0001));
    EXPECT_EQ(lastLine(), L"[ERROR]   invalid polarization scale (valid range: [-10 ; 10]\n");
    EXPECT_EQ(device->getPolarizationScale(), -10.0);
}

TEST_F(DeviceMainTest, ContactUpdateGivesLayerAndTunnelling)
{
    addLayers({L"A", L"B"});
    ekLayer* first = device->getLayer(0);
    EXPECT_TRUE(device->updateAnode(L"Front", 0.6, 1e5, 1e6, 0x11, true, first, 0));
    ekContact* anode = device->getAnode();
    EXPECT_STREQ(anode->getName(), L"Front");
    EXPECT_TRUE(anode->isSchottky());
    EXPECT_TRUE(anode->isTunnel());
    EXPECT_EQ(anode->getLayerAfter(), first);
    EXPECT_EQ(anode->getLayerBefore(), nullptr);

    // A refused update leaves the whole contact alone, tunnelling included.
    EXPECT_FALSE(device->updateCathode(L"Back", 7.0, 1e5, 1e5, 0x11, true, first, 0));
    EXPECT_FALSE(device->getCathode()->isTunnel());
    EXPECT_STREQ(device->getCathode()->getName(), L"ContactX");
}

TEST_F(DeviceMainTest, ContactIndexThroughDevice)
{
    EXPECT_TRUE(device->updateAnodeIndex(L"ITO", 0.08, 1.9, 0.01));
    ekContact* anode = device->getAnode();
    EXPECT_STREQ(anode->getMaterial(), L"ITO");
    EXPECT_EQ(anode->getThickness(), 0.08);
    EXPECT_EQ(anode->getIndexn(), 1.9);
    EXPECT_EQ(anode->getIndexk(), 0.01);

    // A metal overrides the given index; an impossible thickness is kept.
    EXPECT_TRUE(device->updateCathodeIndex(L"ag", 20000.0, 2.0, 0.5));
    ekContact* cathode = device->getCathode();
    EXPECT_EQ(cathode->getIndexn(), 0.042204);
    EXPECT_EQ(cathode->getIndexk(), 3.4332);
    EXPECT_EQ(cathode->getThickness(), 0.0);

    EXPECT_TRUE(device->updateAnodeIndexFile(L"ito.nk"));
    EXPECT_STREQ(anode->getIndexFile(), L"ito.nk");
    EXPECT_TRUE(device->updateCathodeIndexModel(L"silver.lua"));
    EXPECT_TRUE(cathode->isIndexScript());
}

TEST_F(DeviceMainTest, HeaderLinesGetHashAndNewline)
{
    EXPECT_TRUE(device->addtoHeader(L"Title \t\n"));
    EXPECT_EQ(device->getHeaderLength(), 7u);
    EXPECT_STREQ(device->getHeader(), L"#Title\n");
    EXPECT_TRUE(device->addtoHeader(L"# note"));
    EXPECT_STREQ(device->getHeader(), L"#Title\n# note\n");
    EXPECT_EQ(device->getHeaderLength(), 14u);

    for (const wchar_t* refused : {L"\n", L"", L" \t \r\n"}) {
        EXPECT_FALSE(device->addtoHeader(refused));
    }
    EXPECT_FALSE(device->addtoHeader(nullptr));
    EXPECT_STREQ(device->getHeader(), L"#Title\n# note\n");

    EXPECT_TRUE(device->initHeader());
    EXPECT_EQ(device->getHeaderLength(), 0u);
    EXPECT_STREQ(device->getHeader(), L"");
}

TEST_F(DeviceMainTest, HeaderLengthArgumentNeverReadsPastTheLine)
{
    const size_t shorter = 3;
    EXPECT_TRUE(device->addtoHeader(L"abcdef", &shorter));
    EXPECT_STREQ(device->getHeader(), L"#abc\n");
    const size_t longer = 5000;
    EXPECT_TRUE(device->addtoHeader(L"xy", &longer));
    EXPECT_STREQ(device->getHeader(), L"#abc\n#xy\n");
}

TEST_F(DeviceMainTest, FullHeaderRefusesLinesAndStaysTerminated)
{
    const std::wstring line(99, L'h');  // 101 characters with '#' and newline
    size_t accepted = 0;
    while (device->addtoHeader(line.c_str())) {
        ++accepted;
    }
    const size_t length = device->getHeaderLength();
    EXPECT_EQ(length, accepted * 101);
    EXPECT_LE(length, ElecDevice::HEADER_SIZE + 2);
    EXPECT_GT(length + 101, ElecDevice::HEADER_SIZE - 99);
    EXPECT_EQ(std::wstring(device->getHeader()).size(), length);
    // At the very limit the line's '#' and newline still fit.
    const std::wstring tail(ElecDevice::HEADER_SIZE - length, L't');
    EXPECT_TRUE(device->addtoHeader(tail.c_str()));
    EXPECT_EQ(device->getHeaderLength(), ElecDevice::HEADER_SIZE + 2);
    EXPECT_EQ(std::wstring(device->getHeader()).size(), ElecDevice::HEADER_SIZE + 2);
    EXPECT_FALSE(device->addtoHeader(L"x"));
}

TEST_F(DeviceMainTest, DeviceOperationsWaitForAClearErrorFlag)
{
    sigma.err = 1;
    device->updateMain(L"Blocked", nullptr);
    EXPECT_STREQ(device->getName(), L"DeviceX");
    EXPECT_FALSE(device->updateTemperature(320.0));
    EXPECT_EQ(device->getT(), 300.0);
    EXPECT_FALSE(device->setPolarizationScale(1.0));
    EXPECT_FALSE(device->addtoHeader(L"line"));
    EXPECT_FALSE(device->updateAnode(L"Front", 0.0, 1e5, 1e5, 0x10, true, nullptr, 0));
    EXPECT_FALSE(device->getAnode()->isTunnel());
}

TEST_F(DeviceMainTest, NewStatusChannelReachesEveryPart)
{
    addLayers({L"A", L"B"});
    ASSERT_TRUE(device->createInterfaces());
    nuSigma other;
    device->setSigma(&other);
    EXPECT_EQ(device->getSigma(), &other);
    EXPECT_EQ(device->getAnode()->getSigma(), &other);
    EXPECT_EQ(device->getCathode()->getSigma(), &other);
    EXPECT_EQ(device->getLayer(1)->getSigma(), &other);
    EXPECT_EQ(device->getLayer(1)->getDopant()->getSigma(), &other);
    EXPECT_EQ(device->getInterface(0)->getSigma(), &other);
    device->setSigma(&sigma);  // the device outlives `other`
}

// A given engine stays its caller's: the device neither frees it nor loses
// its own.
TEST_F(DeviceMainTest, GivenLuaEngineReachesLayersAndContactsWithoutChangingOwner)
{
    addLayers({L"A", L"B"});
    LuaEngineCore* own = device->getLuaEngine();
    LuaEngineCore external;
    ASSERT_TRUE(external.init());
    device->setLuaEngine(&external);
    EXPECT_EQ(device->getLuaEngine(), &external);
    EXPECT_EQ(device->getLayer(1)->getLuaEngine(), &external);
    EXPECT_EQ(device->getAnode()->getLuaEngine(), &external);
    EXPECT_EQ(device->getCathode()->getLuaEngine(), &external);
    device->setLuaEngine(nullptr);
    EXPECT_EQ(device->getLuaEngine(), own);
    EXPECT_EQ(device->getLayer(0)->getLuaEngine(), own);
    device->setLuaEngine(&external);
    device.reset();  // must leave `external` to its own destructor
    EXPECT_TRUE(external.run("x = 1"));
}

}  // namespace
