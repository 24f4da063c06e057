// The stored values reaching the model: layer parameters with their
// defaults, alloys, dopant and traps, contacts, bias and light, numeric
// settings and the output folder.
#include <algorithm>
#include <cstdlib>

#include "ekContact.h"
#include "ekLevel.h"
#include "inputTestSupport.h"

using namespace inputtest;

namespace {

const std::string DOPED = "    Dopant.Type=\"N\"\n    Dopant.N=1e16\n";

// Loads "# Kovra <SL>" and body; the run keeps the result.
bool loadBody(DeviceRun& run, const TempFolder& scratch, const std::string& body)
{
    const std::string path = scratch.file("device.kovra");
    writeText(path, "# Kovra <SL>\n" + body);
    const bool loaded = run.load(path);
    EXPECT_TRUE(loaded) << run.message();
    return loaded;
}

std::string oneLayer(const std::string& keys) { return "[Layer1]\n    Thickness=1\n" + keys; }

// A model script beside the device file: the reader checks it is there,
// the run would call it.
void script(const TempFolder& scratch, const std::string& name)
{
    std::filesystem::create_directories(std::filesystem::path(scratch.file(name)).parent_path());
    writeText(scratch.file(name), "-- a model script the reader finds\n");
}

// A sweep for the light to be simulated along.
const std::string SWEEP =
    "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.5\n    Voltage.Step=0.05\n";

}  // namespace

TEST(LoadDevice, NameTemperatureAndScaleReachDeviceAndNormalisation)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         "[Device]\n    Name=\"Cell\"\n    Temperature=350\n"
                         "    Polarization.Scale=-2.5\n" +
                             oneLayer(DOPED)));
    EXPECT_EQ(kov_toUtf8(run.device->getName()), "Cell");
    EXPECT_DOUBLE_EQ(run.device->getT(), 350.0);
    EXPECT_DOUBLE_EQ(run.layer(0)->getT(), 350.0);
    EXPECT_DOUBLE_EQ(run.device->getPolarizationScale(), -2.5);
    EXPECT_DOUBLE_EQ(run.simulator->getNorm().T, 350.0);
    EXPECT_NEAR(run.simulator->getNorm().Vt, 0.02585202874 * 350.0 / 300.0, 1e-15);
}

// Absent keys take the material's own values; a layer never inherits from
// the layer before it.
TEST(LoadLayer, AbsentKeysTakeTheMaterialsValues)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         "[Layer1]\n    Material=\"InP\"\n    Thickness=1\n"
                         "    Bandgap=1.5\n    Mobility.N=2500\n" +
                             DOPED + "[Layer2]\n    Material=\"InP\"\n    Thickness=2\n" + DOPED));
    const ekLayer reference(&run.sigma, L"InP", L"LayerX");
    const ekLayer* first = run.layer(0);
    const ekLayer* second = run.layer(1);
    EXPECT_DOUBLE_EQ(first->getBandgap(), 1.5);
    EXPECT_DOUBLE_EQ(first->getMobn(), 2500.0);
    EXPECT_DOUBLE_EQ(second->getBandgap(), reference.getBandgap());
    EXPECT_DOUBLE_EQ(second->getMobn(), reference.getMobn());
    EXPECT_DOUBLE_EQ(second->getAffinity(), reference.getAffinity());
    EXPECT_DOUBLE_EQ(second->getEps(), reference.getEps());
    EXPECT_DOUBLE_EQ(second->getTaun(), reference.getTaun());
    EXPECT_DOUBLE_EQ(second->getIndexn(), reference.getIndexn());
    // Values the file never sets for a plain material.
    EXPECT_DOUBLE_EQ(second->getMe(), 0.36);
    EXPECT_DOUBLE_EQ(second->getMhh(), 0.49);
    EXPECT_DOUBLE_EQ(second->getEso(), 0.044);
    EXPECT_DOUBLE_EQ(second->getEbr(), 1e6);
    EXPECT_DOUBLE_EQ(second->getThermc(), 1.3);
    EXPECT_DOUBLE_EQ(second->getHeat(), 0.7);
    EXPECT_DOUBLE_EQ(second->getLatticeB(), 4.0);
    EXPECT_DOUBLE_EQ(second->getLatticeC11(), 0.0);
    EXPECT_EQ(kov_toUtf8(second->getName()), "Layer2");
    EXPECT_DOUBLE_EQ(run.device->getThickness(), 3.0);
}

TEST(LoadLayer, WithoutMaterialTheLayerIsSilicon)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED)));
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getMaterial()), "Si");
}

// Eg = x Eg(AC) + (1-x) Eg(BC) - x(1-x) b; the file's own values for the
// interpolated parameters do not count.
TEST(LoadLayer, AnAlloyInterpolatesBetweenItsEndMembers)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         "[Layer1]\n    Material=\"AlGaAs\"\n    Thickness=1\n"
                         "    Composition.x=0.3\n    Bandgap.Bowing=0.37\n"
                         "    Bandgap=9\n    Mobility.N=1\n" +
                             DOPED));
    const ekLayer alas(&run.sigma, L"AlAs", L"LayerAC");
    const ekLayer gaas(&run.sigma, L"GaAs", L"LayerBC");
    const ekLayer* layer = run.layer(0);
    const double x = 0.3;
    auto mix = [&](double a, double b) { return x * a + (1 - x) * b; };
    EXPECT_DOUBLE_EQ(layer->getBandgap(),
                     mix(alas.getBandgap(), gaas.getBandgap()) - x * (1 - x) * 0.37);
    EXPECT_DOUBLE_EQ(layer->getAffinity(), mix(alas.getAffinity(), gaas.getAffinity()));
    EXPECT_DOUBLE_EQ(layer->getNC(), mix(alas.getNC(), gaas.getNC()));
    EXPECT_DOUBLE_EQ(layer->getEps(), mix(alas.getEps(), gaas.getEps()));
    EXPECT_DOUBLE_EQ(layer->getMe(), mix(alas.getMe(), gaas.getMe()));
    EXPECT_DOUBLE_EQ(layer->getMobn(), mix(alas.getMobn(), gaas.getMobn()));
    EXPECT_DOUBLE_EQ(layer->getBeta(), mix(alas.getBeta(), gaas.getBeta()));
    EXPECT_DOUBLE_EQ(layer->getIndexk(), mix(alas.getIndexk(), gaas.getIndexk()));
    EXPECT_DOUBLE_EQ(layer->getCompositionX(), 0.3);
    EXPECT_DOUBLE_EQ(layer->getBandgapBowing(), 0.37);
    EXPECT_TRUE(layer->isAlloy());
}

TEST(LoadLayer, PiezoelectricAndPolarisationValuesAreScaledFromTheFile)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer("    Lattice.e31=0.5\n    Lattice.e33=-2\n"
                                  "    Lattice.Psp=0.25\n    Lattice.a=0.5\n" +
                                  DOPED)));
    EXPECT_DOUBLE_EQ(run.layer(0)->getLatticeE31(), 5e-5);
    EXPECT_DOUBLE_EQ(run.layer(0)->getLatticeE33(), -2e-4);
    EXPECT_DOUBLE_EQ(run.layer(0)->getPsp(), 2.5e-5);
    EXPECT_DOUBLE_EQ(run.layer(0)->getLatticeA(), 0.5);
}

TEST(LoadLayer, MeshPointsOutsideTheirRangeTakeTheNearestLimit)
{
    struct Case {
        const char* value;
        int points;
    };
    for (const Case& c :
         {Case{"3", 5}, Case{"9000", 5000}, Case{"50000", 5000}, Case{"5", 5}, Case{"250", 250}}) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(run, scratch,
                             oneLayer("    Mesh.Points=" + std::string(c.value) + "\n" + DOPED)));
        EXPECT_EQ(run.layer(0)->getMeshPoints(), c.points) << c.value;
    }
}

TEST(LoadLayer, UrbachWordsSwitchTheTailModel)
{
    struct Case {
        const char* word;
        bool on;
    };
    for (const Case& c : {Case{"Yes", true}, Case{"y", true}, Case{"Def", true},
                          Case{"DEFAULT", true}, Case{"No", false}, Case{"None", false}}) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(
            run, scratch, oneLayer("    Urbach.Enable=\"" + std::string(c.word) + "\"\n" + DOPED)));
        EXPECT_EQ(run.layer(0)->isUrbach(), c.on) << c.word;
    }
}

TEST(LoadDopant, TypesAndTheirDefaults)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         "[Layer1]\n    Thickness=1\n    Dopant.Type=\"Intrinsic\"\n"
                         "    Dopant.N=1e18\n"
                         "[Layer2]\n    Thickness=1\n    Dopant.Type=\"a\"\n    Dopant.N=3e17\n"
                         "    Dopant.E=1\n    Dopant.F=4\n    Dopant.Taun=2e-9\n"
                         "[Layer3]\n    Thickness=1\n    Dopant.N=5e15\n"));
    const ekLevel* intrinsic = run.layer(0)->getDopant();
    EXPECT_EQ(intrinsic->getType(), ekLevel::TYPE_NONE);
    EXPECT_DOUBLE_EQ(intrinsic->getN(), 0.0);
    const ekLevel* acceptor = run.layer(1)->getDopant();
    EXPECT_EQ(acceptor->getType(), ekLevel::TYPE_ACCEPTOR);
    EXPECT_DOUBLE_EQ(acceptor->getN(), 3e17);
    EXPECT_DOUBLE_EQ(acceptor->getNr(), 1e19);
    // The level energy is capped at half the bandgap.
    EXPECT_DOUBLE_EQ(acceptor->getE(), run.layer(1)->getBandgap() / 2);
    EXPECT_DOUBLE_EQ(acceptor->getF(), 4.0);
    EXPECT_DOUBLE_EQ(acceptor->getTn(), 2e-9);
    EXPECT_DOUBLE_EQ(acceptor->getTp(), 1e-7);
    const ekLevel* donor = run.layer(2)->getDopant();
    EXPECT_EQ(donor->getType(), ekLevel::TYPE_DONOR);
    EXPECT_DOUBLE_EQ(donor->getN(), 5e15);
    EXPECT_DOUBLE_EQ(donor->getF(), 1.0);
}

TEST(LoadDopant, ADopingModelReplacesTheDopantKeys)
{
    TempFolder scratch;
    script(scratch, "emitter.lua");
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer("    Dopant.Model=\"emitter.lua\"\n"
                                  "    Dopant.Type=\"nonsense\"\n")));
    EXPECT_EQ(run.layer(0)->getDopant()->getType(), ekLevel::TYPE_DONOR);
    EXPECT_DOUBLE_EQ(run.layer(0)->getDopant()->getN(), 1e16);
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getDopingScript()), scratch.file("emitter.lua"));
}

// Trap1 without F gets F 1; a complete Trap2 below 1e6 is dropped; the next
// accepted trap is the second of the D series.
TEST(LoadTraps, CompleteTrapsAreAcceptedInOrder)
{
    TempFolder scratch;
    DeviceRun run;
    std::string traps;
    const char* rows[][7] = {{"1", "Donor", "1e15", "1e19", "0.3", "1e-9", "2e-9"},
                             {"2", "A", "1e5", "1e19", "0.2", "1e-9", "1e-9"},
                             {"3", "acceptor", "2e16", "1e18", "0.4", "3e-9", "4e-9"}};
    for (const auto& row : rows) {
        const std::string t = std::string("    Trap") + row[0] + ".";
        traps += t + "Type=\"" + row[1] + "\"\n" + t + "N=" + row[2] + "\n" + t + "Nr=" + row[3] +
                 "\n" + t + "E=" + row[4] + "\n" + t + "Taun=" + row[5] + "\n" + t +
                 "Taup=" + row[6] + "\n";
    }
    ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED + traps + "    Trap3.F=2\n")));
    const ekLayer* layer = run.layer(0);
    ASSERT_EQ(layer->getTrapCount(), 2);
    EXPECT_EQ(kov_toUtf8(layer->getTrap(0)->getName()), "D1");
    EXPECT_EQ(layer->getTrap(0)->getType(), ekLevel::TYPE_DONOR);
    EXPECT_DOUBLE_EQ(layer->getTrap(0)->getN(), 1e15);
    EXPECT_DOUBLE_EQ(layer->getTrap(0)->getF(), 1.0);
    EXPECT_DOUBLE_EQ(layer->getTrap(0)->getTp(), 2e-9);
    EXPECT_EQ(kov_toUtf8(layer->getTrap(1)->getName()), "D2");
    EXPECT_EQ(layer->getTrap(1)->getType(), ekLevel::TYPE_ACCEPTOR);
    EXPECT_DOUBLE_EQ(layer->getTrap(1)->getE(), 0.4);
    EXPECT_DOUBLE_EQ(layer->getTrap(1)->getF(), 2.0);
}

TEST(LoadTraps, ATrapModelGetsOnePlaceholderPerCountedTrap)
{
    TempFolder scratch;
    script(scratch, "traps.lua");
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED + "    Trap.Model=\"traps.lua\"\n"
                                          "    Trap.Count=3\n")));
    const ekLayer* layer = run.layer(0);
    ASSERT_EQ(layer->getTrapCount(), 3);
    const char* const names[] = {"D1", "D2", "D3"};
    for (int j = 0; j < 3; ++j) {
        const ekLevel* trap = layer->getTrap(j);
        EXPECT_EQ(kov_toUtf8(trap->getName()), names[j]);
        EXPECT_EQ(trap->getType(), ekLevel::TYPE_ACCEPTOR);
        EXPECT_DOUBLE_EQ(trap->getN(), 1e15 + j * 1e14);
        EXPECT_DOUBLE_EQ(trap->getF(), 4.0);
        EXPECT_DOUBLE_EQ(trap->getW(), 0.01);
    }
    EXPECT_TRUE(layer->isTrapScript());
}

TEST(LoadScripts, AModelIsTakenWhenItsNameHoldsLua)
{
    TempFolder scratch;
    script(scratch, "models/mu.lua");
    script(scratch, "n.lua");
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED + "    Mobility.Model=\"models/mu.lua\"\n"
                                          "    Bandgap.Model=\"none\"\n"
                                          "    Index.Model=\"n.lua\"\n")));
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getMobilityScript()), scratch.file("models/mu.lua"));
    EXPECT_FALSE(run.layer(0)->isBandgapScript());
    EXPECT_EQ(run.layer(0)->getIndexModel(), ekRegion::INDEX_LUA);
}

// A bare index-file name is looked for among the program's data.
TEST(LoadIndex, ABareFileNameIsFoundInTheProgramData)
{
    TempFolder scratch;
    std::filesystem::create_directories(scratch.file("etc/refractiveindex"));
    std::string table;
    for (int i = 0; i < 10; ++i) {
        table += std::to_string(0.4 + 0.1 * i) + "\t3.5\t0.1\n";
    }
    writeText(scratch.file("etc/refractiveindex/layer.nk"), table);
    const char* before = std::getenv("KOVRA_APPDIR");
    const std::string saved = before != nullptr ? before : "";
    setenv("KOVRA_APPDIR", (scratch.folder().string() + "/").c_str(), 1);
    DeviceRun run;
    const bool loaded = loadBody(run, scratch, oneLayer(DOPED + "    Index.File=\"layer.nk\"\n"));
    if (before != nullptr) {
        setenv("KOVRA_APPDIR", saved.c_str(), 1);
    } else {
        unsetenv("KOVRA_APPDIR");
    }
    ASSERT_TRUE(loaded);
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getIndexFile()),
              scratch.folder().string() + "/etc/refractiveindex/layer.nk");
    EXPECT_EQ(run.layer(0)->getIndexModel(), ekRegion::INDEX_FILE);
    double first = 0, last = 0;
    int count = 0;
    ASSERT_TRUE(run.layer(0)->getDataIndex(&first, &last, &count));
    EXPECT_EQ(count, 10);
}

// A file written on Windows names its files with backslashes.
TEST(LoadIndex, AFileNameWithBackslashesIsRead)
{
    TempFolder scratch;
    std::filesystem::create_directories(scratch.file("data"));
    std::string table;
    for (int i = 0; i < 6; ++i) {
        table += std::to_string(0.5 + 0.1 * i) + "\t2.5\t0.2\n";
    }
    writeText(scratch.file("data/cds.nk"), table);
    std::string windows = scratch.file("data\\cds.nk");
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED + "    Index.File=\"" + windows + "\"\n")));
    EXPECT_EQ(run.layer(0)->getIndexModel(), ekRegion::INDEX_FILE);
    int count = 0;
    ASSERT_TRUE(run.layer(0)->getDataIndex(nullptr, nullptr, &count));
    EXPECT_EQ(count, 6);
}

TEST(LoadContacts, KindFollowsTypeAndBarrier)
{
    struct Case {
        const char* keys;
        bool anodeSchottky;
        bool cathodeSchottky;
    };
    const Case cases[] = {
        {"[Anode]\n    Anode.Phi=0.5\n[Cathode]\n    Cathode.Phi=0.5\n", true, true},
        {"[Anode]\n    Anode.Type=\"Ohmic\"\n    Anode.Phi=0.5\n"
         "[Cathode]\n    Cathode.Type=\"Ohmic\"\n    Cathode.Phi=0.5\n",
         false, true},
        {"[Anode]\n    Anode.Type=\"Schottky\"\n    Anode.Phi=0.005\n", false, false},
        {"[Anode]\n    Anode.Phi=0\n", false, false},
    };
    for (const Case& c : cases) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED) + c.keys)) << c.keys;
        EXPECT_EQ(run.device->getAnode()->isSchottky(), c.anodeSchottky) << c.keys;
        EXPECT_EQ(run.device->getCathode()->isSchottky(), c.cathodeSchottky) << c.keys;
    }
}

TEST(LoadContacts, ValuesMetalTunnelAndNeighbours)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED) + "[Layer2]\n    Thickness=2\n" + DOPED +
                             "[Anode]\n    Anode.Rn=1e3\n    Anode.Rp=2e3\n"
                             "    Anode.Material=\"au\"\n    Anode.Tunnel=\"Yes\"\n"
                             "    Anode.Thickness=0.02\n"
                             "[Cathode]\n    Cathode.Index.n=1.8\n"
                             "    Cathode.Index.k=0.2\n    Cathode.Tunnel=\"0\"\n"));
    const ekContact* anode = run.device->getAnode();
    const ekContact* cathode = run.device->getCathode();
    EXPECT_DOUBLE_EQ(anode->getRn(), 1e3);
    EXPECT_DOUBLE_EQ(anode->getRp(), 2e3);
    EXPECT_DOUBLE_EQ(anode->getIndexn(), 0.43804);
    EXPECT_DOUBLE_EQ(anode->getIndexk(), 2.295);
    EXPECT_DOUBLE_EQ(anode->getThickness(), 0.02);
    EXPECT_TRUE(anode->isTunnel());
    EXPECT_EQ(anode->getLayerAfter(), run.layer(0));
    EXPECT_DOUBLE_EQ(cathode->getRn(), 1e7);
    EXPECT_DOUBLE_EQ(cathode->getIndexn(), 1.8);
    EXPECT_EQ(kov_toUtf8(cathode->getMaterial()), "Cx");
    EXPECT_FALSE(cathode->isTunnel());
    EXPECT_EQ(cathode->getLayerAfter(), run.layer(1));
}

TEST(LoadContacts, ABoundaryConditionIsSetWithItsWarning)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0, log);
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED) + "[Anode]\n    Anode.Boundary=\"Dirichlet\"\n"
                                           "[Cathode]\n    Cathode.Boundary=\"neumann\"\n"));
    EXPECT_EQ(run.device->getAnode()->getBoundary(), ekContact::BOUNDARY_DIRICHLET);
    EXPECT_TRUE(run.device->getAnode()->isBoundarySet());
    EXPECT_EQ(run.device->getCathode()->getBoundary(), ekContact::BOUNDARY_NEUMANN);
    EXPECT_TRUE(run.device->getCathode()->isBoundarySet());
    const std::string text = readText(log);
    EXPECT_NE(text.find("[WARNING] setting the anode boundary condition to Dirichlet is suitable "
                        "for nonzero electric field at the contact (at equilibrium)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[WARNING] setting the cathode boundary condition to Neumann is suitable "
                        "for zero electric field at the contact (at equilibrium)\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(run.sigma.err, 0);
}

TEST(LoadVoltage, SourceAndSweepGiveTheBiasType)
{
    struct Case {
        const char* keys;
        uint8_t type;
    };
    const Case cases[] = {
        {"", 0},
        {"    Voltage.Start=0\n    Voltage.End=0.8\n    Voltage.Step=0.05\n", 0x10},
        {"    Voltage.Source=\"Sweep\"\n    Voltage.Start=0\n    Voltage.End=0.8\n"
         "    Voltage.Step=0.05\n",
         0x10},
        {"    Voltage.Source=\"None\"\n    Voltage.Start=0\n    Voltage.End=0.8\n"
         "    Voltage.Step=0.05\n",
         0},
        {"    Voltage.Start=0\n    Voltage.End=0.5\n", 0},
        // A step equal to the range, whose difference rounds below it.
        {"    Voltage.Start=-0.5\n    Voltage.End=-0.4\n    Voltage.Step=0.1\n", 0x10},
        {"    Voltage.Start=-1.1\n    Voltage.End=-1.0\n    Voltage.Step=0.1\n", 0x10},
    };
    for (const Case& c : cases) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED) + "[Voltage]\n" + c.keys)) << c.keys;
        EXPECT_EQ(run.excitation->biasType, c.type) << c.keys;
    }
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED) + "[Voltage]\n    Voltage.Start=-0.2\n"
                                           "    Voltage.End=0.7\n    Voltage.Step=0.1\n"
                                           "    Voltage.Jinf=-5\n    Voltage.Jsup=7\n"));
    EXPECT_DOUBLE_EQ(run.excitation->Vstart, -0.2);
    EXPECT_DOUBLE_EQ(run.excitation->Vend, 0.7);
    EXPECT_DOUBLE_EQ(run.excitation->Vstep, 0.1);
    EXPECT_DOUBLE_EQ(run.excitation->Jinf, -5);
    EXPECT_DOUBLE_EQ(run.excitation->Jsup, 7);
}

TEST(LoadLight, SourcesGiveTheLightTypeAndRange)
{
    struct Case {
        const char* keys;
        uint8_t type;
        bool qe;
        double start, end, step, flux;
    };
    const Case cases[] = {
        {"", 0, false, 0.3, 3.0, 0.01, 1e15},
        {"    Light.Source=\"AM1.5\"\n", 0x40, false, 0.3, 3.0, 0.01, 1e15},
        {"    Light.Wavelength=0.6\n    Light.Flux=1e16\n", 0x10, false, 0.6, 0.7, 0.01, 1e16},
        // Refused values switch the light off and leave the excitation's own.
        {"    Light.Source=\"Mono\"\n    Light.Wavelength=0.05\n    Light.Flux=1e16\n", 0, false,
         0.3, 1.2, 0.01, 1e17},
        // A quantum-efficiency sweep takes its flux into 1e15 to 1e22.
        {"    Light.Source=\"Sweep\"\n    Light.Start=0.4\n    Light.End=0.8\n"
         "    Light.Step=0.02\n    Light.Flux=1e14\n",
         0x11, true, 0.4, 0.8, 0.02, 1e15},
        {"    Light.Source=\"None\"\n    Light.Wavelength=0.5\n    Light.Flux=1e16\n", 0, false,
         0.5, 0.6, 0.01, 1e16},
    };
    for (const Case& c : cases) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED) + SWEEP + "[Light]\n" + c.keys))
            << c.keys;
        const ekExcitation& e = *run.excitation;
        EXPECT_EQ(e.lightType, c.type) << c.keys;
        EXPECT_EQ(e.qeSweep, c.qe) << c.keys;
        EXPECT_NEAR(e.Wstart, c.start, 1e-12) << c.keys;
        EXPECT_NEAR(e.Wend, c.end, 1e-12) << c.keys;
        EXPECT_NEAR(e.Wstep, c.step, 1e-12) << c.keys;
        EXPECT_DOUBLE_EQ(e.flux[0], c.flux) << c.keys;
        EXPECT_DOUBLE_EQ(e.flux[2], c.flux) << c.keys;
    }
}

TEST(LoadNumeric, SolverNamesAndDefaults)
{
    struct Case {
        const char* keys;
        uint8_t solver;
    };
    for (const Case& c : {Case{"", 0x81}, Case{"    Numeric.InnermostSolver=\"gmres\"\n", 0x51},
                          Case{"    Numeric.InnermostSolver=\"BiCGStabL\"\n", 0x31},
                          Case{"    Numeric.InnermostSolver=\"bicrstab\"\n", 0x91}}) {
        TempFolder scratch;
        DeviceRun run;
        ASSERT_TRUE(loadBody(run, scratch, oneLayer(DOPED) + "[Numeric]\n" + c.keys)) << c.keys;
        EXPECT_EQ(run.param.solver, c.solver) << c.keys;
    }
}

TEST(LoadNumeric, PointsAreClampedAndWordsSetTheSettings)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(loadBody(run, scratch,
                         oneLayer(DOPED) + "[Numeric]\n    Numeric.Points=10\n"
                                           "    Numeric.Mesh=\"Uniform\"\n"
                                           "    Numeric.Method=\"Gummel\"\n"
                                           "    Numeric.Tol=1e-5\n    Numeric.Damp=20\n"
                                           "    Numeric.SaveFull=\"Y\"\n"
                                           "    Numeric.Verbose=\"yes\"\n"));
    EXPECT_EQ(run.param.points, 50);
    EXPECT_EQ(run.param.mesh, nuParam::MESH_UNIFORM);
    EXPECT_EQ(run.param.method, nuParam::METHOD_GUMMEL);
    EXPECT_DOUBLE_EQ(run.param.reltol, 1e-5);
    EXPECT_DOUBLE_EQ(run.param.damp, 20);
    EXPECT_TRUE(run.sigma.saveFull);
    EXPECT_EQ(run.sigma.outputType, 0x11);
    EXPECT_STREQ(run.simulator->getInitialGuessFilename(), L"");

    DeviceRun high;
    ASSERT_TRUE(loadBody(high, scratch,
                         oneLayer(DOPED) + "[Numeric]\n    Numeric.Points=30000\n"
                                           "    Numeric.Mesh=\"Layer\"\n"
                                           "    Numeric.Verbose=\"N\"\n"));
    EXPECT_EQ(high.param.points, 20000);
    EXPECT_EQ(high.param.mesh, nuParam::MESH_LAYER);
    EXPECT_EQ(high.sigma.outputType, 0);
}

// The save-full warning follows the verbose setting of the file.
TEST(LoadNumeric, SaveFullWarnsOnlyWhenVerbose)
{
    for (const char* verbose : {"Yes", "No"}) {
        TempFolder scratch;
        const std::string log = scratch.file("log.txt");
        DeviceRun run(0, log);
        ASSERT_TRUE(loadBody(run, scratch,
                             oneLayer(DOPED) + "[Numeric]\n    Numeric.Verbose=\"" + verbose +
                                 "\"\n    Numeric.SaveFull=\"Yes\"\n"));
        const bool warned =
            readText(log).find("[WARNING] setting Numeric.SaveFull to 'Yes'") != std::string::npos;
        EXPECT_EQ(warned, std::string(verbose) == "Yes");
        EXPECT_EQ(run.sigma.err, 0);
    }
}

TEST(LoadCommand, OutputFolderDateAndPlot)
{
    TempFolder scratch;
    std::filesystem::create_directory(scratch.file("results"));
    DeviceRun here;
    ASSERT_TRUE(loadBody(here, scratch,
                         oneLayer(DOPED) + "[Command]\n    Command.OutDir=\".\"\n"
                                           "    Command.OutDirDate=\"Yes\"\n"
                                           "    Command.Plot=\"Y\"\n"));
    EXPECT_EQ(kov_toUtf8(here.param.outDir), scratch.folder().string() + "/");
    EXPECT_TRUE(here.param.outDirDate);
    EXPECT_TRUE(here.param.plot);

    DeviceRun named;
    ASSERT_TRUE(loadBody(named, scratch,
                         oneLayer(DOPED) + "[Command]\n    Command.OutDir=\"" +
                             scratch.file("results") +
                             "\"\n"
                             "    Command.Plot=\"No\"\n"));
    EXPECT_EQ(kov_toUtf8(named.param.outDir), scratch.file("results"));
    EXPECT_FALSE(named.param.plot);

    // A missing folder is made where the file says, never replaced by
    // another; a relative one lies beside the device file.
    DeviceRun missing;
    ASSERT_TRUE(loadBody(
        missing, scratch,
        oneLayer(DOPED) + "[Command]\n    Command.OutDir=\"" + scratch.file("nowhere") + "\"\n"));
    EXPECT_EQ(kov_toUtf8(missing.param.outDir), scratch.file("nowhere"));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("nowhere")));

    DeviceRun relative;
    ASSERT_TRUE(loadBody(relative, scratch,
                         oneLayer(DOPED) + "[Command]\n    Command.OutDir=\"out/jv\"\n"));
    EXPECT_EQ(kov_toUtf8(relative.param.outDir), scratch.file("out/jv"));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("out/jv")));
}

// A folder no run may fill is refused with its line and never made: the
// root (which exists, so nothing would be made there in any case) and a
// name of more than 990 characters (which would be made).
TEST(LoadCommand, AnOutputFolderNoRunMayFillIsRefusedAndNeverMade)
{
    TempFolder scratch;
    // Relative to the device file's folder, the name ends past 990
    // characters, its line within the reader's line size.
    const size_t length = 995 - scratch.file("").size();
    const std::string tooLong = "deep/" + std::string(length - 5, 'd');
    for (const std::string& folder : {std::string("/"), std::string("//"), tooLong}) {
        SCOPED_TRACE(folder.substr(0, 8));
        DeviceRun run;
        const std::string path = scratch.file("device.kovra");
        writeText(path, "# Kovra <SL>\n" + oneLayer(DOPED) + "[Command]\n    Command.OutDir=\"" +
                            folder + "\"\n");
        EXPECT_FALSE(run.load(path));
        const std::string message =
            "[ERROR]   invalid output directory at line 7: Command.OutDir = \"" + folder +
            "\" (the root folder and names of more than 990 characters are refused)\n";
        // The status line holds 1024 characters: the long name's is cut.
        EXPECT_EQ(run.message(), message.substr(0, run.message().size()));
        EXPECT_GE(run.message().size(), std::min<size_t>(message.size(), 1000));
        EXPECT_EQ(run.line, 6);
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.file("deep")));
}
