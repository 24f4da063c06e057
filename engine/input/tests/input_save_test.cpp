// The writer: the header, the variables, which keys each section carries,
// and its refusals. That what it writes loads back into the same device is
// the round-trip test's matter.
#include <regex>

#include "deviceCompare.h"

using namespace inputtest;

namespace {

// Keys of a section as the last save left them in the store.
std::vector<std::string> keysOf(const DeviceRun& run, const wchar_t* section)
{
    std::vector<std::string> keys;
    const foSection* found = run.input.getSection(section);
    for (int i = 0; found != nullptr && i < found->getRecordCount(); ++i) {
        keys.push_back(kov_toUtf8(found->getRecord(i)->getKey()));
    }
    return keys;
}

std::string savedValue(const DeviceRun& run, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[foRecord::VALUE_SIZE] = {};
    if (!run.input.getValue(section, key, value, nullptr)) {
        return "(absent)";
    }
    return kov_toUtf8(value);
}

bool hasKey(const DeviceRun& run, const wchar_t* section, const char* key)
{
    const std::vector<std::string> keys = keysOf(run, section);
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// A device made in memory, as a caller other than the reader builds it.
void buildDevice(DeviceRun& run)
{
    ekLayer* layer = run.device->addLayer(L"GaAs", L"Layer1", ekLevel::TYPE_ACCEPTOR);
    ASSERT_NE(layer, nullptr);
    layer->updateMain(0.7, 0.0, 0.0, 0.0, 0.0);
    layer->updateMass(0.36, 0.49, 0.16, 0.24, 0.044);
    layer->updateTherm(1.3, 0.7);
    layer->updateMobility(1e6, 4000, 400);
    layer->updateLattice(0, 0.4, 4.0, 4.0, 0, 0, 0, 0, 100, 400, 0);
    layer->updateDopant(ekLevel::TYPE_ACCEPTOR, 3e17, 1e19, 0.02, 0.0, 1e-8, 2e-8, 2.0);
    layer->addTrap(L"D1", ekLevel::TYPE_DONOR, 2e14, 1e19, 0.3, 0.0, 1e-9, 1e-9, 1.0, true);
    ekLayer* intrinsic = run.device->addLayer(L"Si", L"Layer2", ekLevel::TYPE_NONE);
    ASSERT_NE(intrinsic, nullptr);
    intrinsic->updateMain(5, 0.0, 0.0, 0.0, 0.0);
    intrinsic->updateMass(0.36, 0.49, 0.16, 0.24, 0.044);
    intrinsic->updateTherm(1.3, 0.7);
    intrinsic->updateMobility(1e6, 1000, 500);
    intrinsic->updateLattice(0, 0.4, 4.0, 4.0, 0, 0, 0, 0, 100, 400, 0);
    intrinsic->updateDopant(ekLevel::TYPE_NONE, 0.0, 1e19, 0.0, 0.0, 1e-7, 1e-7, 1.0);
    run.device->updateThickness();
    run.device->updateMain(L"Built", nullptr);
    run.device->getAnode()->update(L"Cx", 0.0, 1e5, 1e5, 0x10, nullptr, layer, 0);
    run.device->getAnode()->setTunnel(true);
    run.device->updateAnodeIndex(L"Cx", 0.0, 1.0, 0.0);
    run.device->getCathode()->update(L"Cx", 0.0, 1e7, 1e7, 0x10, nullptr, intrinsic, 0);
    run.device->updateCathodeIndex(L"Cx", 0.0, 1.0, 0.0);
    run.excitation->setV(0, 1, 0.05, -1000, 1000, ekExcitation::BIAS_SWEEP, nullptr);
    run.excitation->setW(0.3, 3.0, 0.01, 1e15, ekExcitation::LIGHT_AM15, false);
    run.param.solver = 0x51;
    run.sigma.setOutputType(0x01);
}

}  // namespace

TEST(SaveHeader, ADeviceWithoutItsOwnHeaderGetsTheStandardOne)
{
    TempFolder scratch;
    DeviceRun run;
    buildDevice(run);
    ASSERT_TRUE(run.save(scratch.file("built.kovra"))) << run.message();
    const std::string text = readText(scratch.file("built.kovra"));
    const std::regex header("# Kovra <SL>\n# The above first line is mandatory\n#\n"
                            "# Kovra <Version 3\\.0 Build 2412Linux\n#\n"
                            "# Saved: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} \n"
                            "\\[Device\\]\n[^]*");
    EXPECT_TRUE(std::regex_match(text, header)) << text;
}

TEST(SaveHeader, ALoadedHeaderIsKeptAndVariablesFollowIt)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(corpusPath("valid/variables.kovra"))) << run.message();
    ASSERT_TRUE(run.save(scratch.file("copy.kovra"))) << run.message();
    const std::string text = readText(scratch.file("copy.kovra"));
    EXPECT_EQ(text.rfind("# Kovra <SL>\n# Variables, expressions, comments and directives.\n"
                         "#; a header line may also start with a semicolon\n\n"
                         "$emitter=0.2\n$base=2\n$doping=2e+16\n$label=\"n-type # base\"\n"
                         "$gap=1.12\n\n[Device]\n",
                         0),
              0u)
        << text;
}

TEST(SaveLayers, ABuiltInMaterialWritesOnlyWhatDiffersFromIt)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(corpusPath("valid/minimal.kovra"))) << run.message();
    ASSERT_TRUE(run.save(scratch.file("copy.kovra"))) << run.message();
    // Dopant values are written whole; the constant index equals the
    // material's and is left out.
    EXPECT_EQ(keysOf(run, L"Layer1"),
              std::vector<std::string>({"Material", "Thickness", "Dopant.Type", "Dopant.N",
                                        "Dopant.Nr", "Dopant.E", "Dopant.F", "Dopant.Taun",
                                        "Dopant.Taup", "Mesh.Points"}));
}

TEST(SaveLayers, ChangedValuesScaledLatticeAndEveryTrapAreWritten)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(corpusPath("valid/traps.kovra"))) << run.message();
    ASSERT_TRUE(run.save(scratch.file("copy.kovra"))) << run.message();
    EXPECT_EQ(savedValue(run, L"Layer2", L"Dopant.Type"), "I");
    EXPECT_FALSE(hasKey(run, L"Layer2", "Dopant.N"));
    EXPECT_EQ(savedValue(run, L"Layer2", L"Trap1.Type"), "Donor");
    EXPECT_EQ(savedValue(run, L"Layer2", L"Trap2.Type"), "Acceptor");
    EXPECT_EQ(savedValue(run, L"Layer2", L"Trap2.F"), "2");
    EXPECT_FALSE(hasKey(run, L"Layer2", "Trap3.N"));
    EXPECT_EQ(savedValue(run, L"Layer3", L"Lattice.e31"), "-0.5");
    EXPECT_EQ(savedValue(run, L"Layer3", L"Lattice.Psp"), "-0.3");
    EXPECT_EQ(savedValue(run, L"Layer3", L"Lattice.c13"), "110");
    EXPECT_FALSE(hasKey(run, L"Layer3", "Lattice.e33"));
    EXPECT_FALSE(hasKey(run, L"Layer3", "Bandgap"));
}

TEST(SaveLayers, AnAlloyWritesItsCompositionAndModelsFollowTheMeshPoints)
{
    TempFolder scratch;
    DeviceRun alloy;
    ASSERT_TRUE(alloy.load(corpusPath("valid/alloy.kovra"))) << alloy.message();
    ASSERT_TRUE(alloy.save(scratch.file("alloy.kovra"))) << alloy.message();
    EXPECT_EQ(savedValue(alloy, L"Layer1", L"Composition.x"), "0.3");
    EXPECT_EQ(savedValue(alloy, L"Layer1", L"Bandgap.Bowing"), "0.37");
    EXPECT_FALSE(hasKey(alloy, L"Layer2", "Composition.x"));
    // What the composition gives is left out: the reader would only warn
    // that it does not use it.
    for (const char* derived : {"Bandgap", "Affinity", "NC", "NV", "Permittivity", "Mobility.N",
                                "Taun", "Index.n", "Lattice.a"}) {
        EXPECT_FALSE(hasKey(alloy, L"Layer1", derived)) << derived;
    }
    const std::string log = scratch.file("reload.log");
    DeviceRun again(0, log);
    ASSERT_TRUE(again.load(scratch.file("alloy.kovra"))) << again.message();
    EXPECT_EQ(readText(log).find("[WARNING]"), std::string::npos) << readText(log);
    EXPECT_DOUBLE_EQ(again.layer(0)->getBandgap(), alloy.layer(0)->getBandgap());
    EXPECT_DOUBLE_EQ(again.layer(0)->getAffinity(), alloy.layer(0)->getAffinity());

    DeviceRun models;
    ASSERT_TRUE(models.load(corpusPath("valid/models.kovra"))) << models.message();
    ASSERT_TRUE(models.save(scratch.file("models.kovra"))) << models.message();
    const std::vector<std::string> keys = keysOf(models, L"Layer1");
    const auto mesh = std::find(keys.begin(), keys.end(), "Mesh.Points");
    ASSERT_NE(mesh, keys.end());
    EXPECT_EQ(std::vector<std::string>(mesh + 1, keys.end()),
              std::vector<std::string>({"Mobility.Model", "Lattice.Model", "Index.Model",
                                        "Bandgap.Model", "Permittivity.Model", "Dopant.Model",
                                        "Trap.Model", "Trap.Count", "Recombination.Model"}));
    EXPECT_EQ(savedValue(models, L"Layer1", L"Trap.Count"), "3");
    EXPECT_FALSE(hasKey(models, L"Layer1", "Dopant.Type"));
    EXPECT_FALSE(hasKey(models, L"Layer1", "Trap1.N"));
}

// Velocities act on Schottky contacts: an ohmic contact keeps them only
// when they were given, so that a saved file warns exactly when its source
// did.
TEST(SaveContacts, VelocitiesOfAnOhmicContactAreWrittenOnlyWhenGiven)
{
    TempFolder scratch;
    DeviceRun run;
    buildDevice(run);  // anode ohmic with 1e5, cathode ohmic with the default
    ASSERT_TRUE(run.save(scratch.file("built.kovra"))) << run.message();
    EXPECT_EQ(savedValue(run, L"Anode", L"Anode.Rn"), "1e+05");
    EXPECT_FALSE(hasKey(run, L"Cathode", "Cathode.Rn"));
    EXPECT_FALSE(hasKey(run, L"Cathode", "Cathode.Rp"));
    run.device->getCathode()->update(L"Cx", 0.8, 1e7, 1e7, 0x11, nullptr, run.layer(1), 0);
    ASSERT_TRUE(run.save(scratch.file("schottky.kovra"))) << run.message();
    EXPECT_EQ(savedValue(run, L"Cathode", L"Cathode.Rn"), "1e+07");
    EXPECT_EQ(savedValue(run, L"Cathode", L"Cathode.Rp"), "1e+07");
}

TEST(SaveContacts, TunnellingIsWrittenAsAWordTheReaderTakes)
{
    TempFolder scratch;
    DeviceRun run;
    buildDevice(run);
    ASSERT_TRUE(run.save(scratch.file("built.kovra"))) << run.message();
    EXPECT_EQ(savedValue(run, L"Anode", L"Anode.Tunnel"), "Yes");
    EXPECT_FALSE(hasKey(run, L"Cathode", "Cathode.Tunnel"));
    DeviceRun again;
    ASSERT_TRUE(again.load(scratch.file("built.kovra"))) << again.message();
    EXPECT_TRUE(again.device->getAnode()->isTunnel());
}

TEST(SaveNumeric, VerboseFollowsTheVerboseNibbleOnly)
{
    struct Case {
        uint8_t outputType;
        const char* written;
    };
    for (const Case& c :
         {Case{0x00, "No"}, Case{0x01, "(absent)"}, Case{0x11, "Yes"}, Case{0x10, "Yes"}}) {
        TempFolder scratch;
        DeviceRun run;
        buildDevice(run);
        run.sigma.setOutputType(c.outputType);
        ASSERT_TRUE(run.save(scratch.file("built.kovra"))) << run.message();
        EXPECT_EQ(savedValue(run, L"Numeric", L"Numeric.Verbose"), c.written) << int(c.outputType);
    }
}

TEST(SaveNumeric, EmptyNamesAreLeftOutAndTheSolverIsKept)
{
    TempFolder scratch;
    DeviceRun run;
    buildDevice(run);
    run.param.points = 700;
    ASSERT_TRUE(run.save(scratch.file("built.kovra"))) << run.message();
    EXPECT_FALSE(hasKey(run, L"Numeric", "Numeric.Guess"));
    EXPECT_EQ(savedValue(run, L"Numeric", L"Numeric.InnermostSolver"), "gmres");
    EXPECT_EQ(savedValue(run, L"Numeric", L"Numeric.Points"), "700");
    EXPECT_EQ(savedValue(run, L"Numeric", L"Numeric.Mesh"), "Layer");

    // An exact mesh count cannot be written as a point count.
    run.param.mesh = nuParam::MESH_EXACT;
    ASSERT_TRUE(run.save(scratch.file("exact.kovra"))) << run.message();
    EXPECT_FALSE(hasKey(run, L"Numeric", "Numeric.Points"));
}

TEST(SaveDevices, ADeviceBuiltInMemoryLoadsBackFromItsFile)
{
    TempFolder scratch;
    DeviceRun built;
    buildDevice(built);
    ASSERT_TRUE(built.save(scratch.file("built.kovra"))) << built.message();
    DeviceRun loaded;
    ASSERT_TRUE(loaded.load(scratch.file("built.kovra"))) << loaded.message();
    // The reader brings the header in; everything else is as built.
    loaded.device->initHeader();
    built.device->initHeader();
    expectSameRun(built, loaded);
}

TEST(SaveRefusals, MissingObjectsNoLayersAndAnUnwritablePath)
{
    TempFolder scratch;
    DeviceRun run;
    const std::wstring path = kov_toWide(scratch.file("x.kovra"));
    EXPECT_FALSE(run.input.save(path.c_str(), nullptr, run.device.get(), run.excitation.get(),
                                nullptr, &run.param));
    EXPECT_FALSE(run.input.save(path.c_str(), nullptr, nullptr, run.excitation.get(), &run.sigma,
                                &run.param));
    EXPECT_EQ(run.message(), "[ERROR]   invalid device\n");
    run.sigma.reset();
    EXPECT_FALSE(run.save(scratch.file("x.kovra")));
    EXPECT_EQ(run.message(), "[ERROR]   invalid device (no layers)\n");
    EXPECT_FALSE(std::filesystem::exists(scratch.file("x.kovra")));

    run.sigma.reset();
    ASSERT_TRUE(run.load(corpusPath("valid/minimal.kovra"))) << run.message();
    EXPECT_FALSE(run.save(scratch.file("no/such/folder/x.kovra")));
    EXPECT_EQ(run.message(), "[ERROR]   device not saved: cannot create file\n");
}
