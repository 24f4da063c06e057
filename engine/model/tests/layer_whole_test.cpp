// Whole-layer operations: the stored-value check and the copy.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "layerTestSupport.h"

namespace {

constexpr const wchar_t* URBACH_OFF =
    L"[INFO]    Urbach model disabled: energy/concentration too low\n";

class LayerWhole : public ::testing::Test {
protected:
    nuSigma sigma;
};

TEST_F(LayerWhole, CheckParametersNamesTheFirstBadGroup)
{
    struct {
        const char* label;
        std::function<void(ProbeLayer&)> spoil;
        const wchar_t* message;
    } cases[] = {
        {"Eg", [](ProbeLayer& l) { l.Eg = 0.0; }, L"[ERROR]   invalid layer energy parameters\n"},
        {"NV", [](ProbeLayer& l) { l.NV = 1e25; }, L"[ERROR]   invalid layer energy parameters\n"},
        {"Eps", [](ProbeLayer& l) { l.Eps = 0.5; }, L"[ERROR]   invalid layer permittivity\n"},
        {"Me", [](ProbeLayer& l) { l.Me = 20.0; },
         L"[ERROR]   invalid layer effective mass parameters\n"},
        {"Eso", [](ProbeLayer& l) { l.Eso = -1.0; },
         L"[ERROR]   invalid layer effective mass parameters\n"},
        {"UrbachTaupD", [](ProbeLayer& l) { l.UrbachTaupD = 1e-16; },
         L"[ERROR]   invalid Urbach parameters\n"},
        {"Thermc", [](ProbeLayer& l) { l.Thermc = -1.0; },
         L"[ERROR]   invalid layer optical parameters\n"},
        {"Ebr", [](ProbeLayer& l) { l.Ebr = 0.1; },
         L"[ERROR]   invalid layer mobility parameters\n"},
        {"Beta", [](ProbeLayer& l) { l.Beta = 1.0; },
         L"[ERROR]   invalid recombination parameters\n"},
        {"LatticeB", [](ProbeLayer& l) { l.LatticeB = 4.0; },
         L"[ERROR]   invalid lattice parameter (valid range: [0.1 ; 1] nm)\n"},
        {"LatticeE33", [](ProbeLayer& l) { l.LatticeE33 = 20.0; },
         L"[ERROR]   invalid piezoelectric parameters e31/e33 (max: 1e5 C/m2)\n"},
        {"LatticeC13", [](ProbeLayer& l) { l.LatticeC13 = -5.0; },
         L"[ERROR]   invalid elastic parameters c13/c33 (max: 1e5 C/m2)\n"},
        {"Psp", [](ProbeLayer& l) { l.Psp = 11.0; },
         L"[ERROR]   invalid spontaneous polarization (max: 1e5 C/m2)\n"},
        {"Eps before Thermc",
         [](ProbeLayer& l) {
             l.Thermc = -1.0;
             l.Eps = 0.5;
         },
         L"[ERROR]   invalid layer permittivity\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ProbeLayer layer(&sigma);
        ASSERT_TRUE(layer.checkParameters()) << "the built-in Si values pass";
        c.spoil(layer);
        EXPECT_FALSE(layer.checkParameters());
        EXPECT_FALSE(sigma.isOK());
        EXPECT_EQ(lastLine(sigma), c.message);
        sigma.reset();
    }
}

TEST_F(LayerWhole, CheckParametersStopsAtTooLowUrbachTailWithInfoOnly)
{
    ProbeLayer layer(&sigma);
    layer.UrbachEA = 0.0005;
    layer.urbach = false;  // the test holds whatever the flag
    layer.Thermc = -1.0;   // a later group that must not be reached
    EXPECT_FALSE(layer.checkParameters());
    EXPECT_TRUE(sigma.isOK());
    EXPECT_EQ(lastLine(sigma), URBACH_OFF);
    EXPECT_FALSE(layer.isUrbach());

    layer.UrbachEA = 0.03;
    layer.urbach = true;
    layer.UrbachGD = 1e6;  // ED*GD/2 below 1e6
    EXPECT_FALSE(layer.checkParameters());
    EXPECT_FALSE(layer.isUrbach());
    EXPECT_TRUE(sigma.isOK());
}

TEST_F(LayerWhole, CheckParametersLiftsTinyPolarisationConstants)
{
    ProbeLayer layer(&sigma);
    layer.LatticeE31 = 1e-14;
    layer.LatticeE33 = -1e-14;
    layer.Psp = -3e-13;
    ASSERT_TRUE(layer.checkParameters());
    EXPECT_EQ(layer.getLatticeE31(), 1e-12);
    EXPECT_EQ(layer.getLatticeE33(), 1e-12);
    EXPECT_EQ(layer.getPsp(), 1e-12);
}

// Every value a copy must carry, read the same way from both layers.
std::vector<std::pair<const char*, std::function<double(const ekLayer&)>>> layerValues()
{
    return {
        {"thickness", [](const ekLayer& l) { return l.getThickness(); }},
        {"x", [](const ekLayer& l) { return l.getCompositionX(); }},
        {"y", [](const ekLayer& l) { return l.getCompositionY(); }},
        {"bandgap bowing", [](const ekLayer& l) { return l.getBandgapBowing(); }},
        {"affinity bowing", [](const ekLayer& l) { return l.getAffinityBowing(); }},
        {"Eg", [](const ekLayer& l) { return l.getBandgap(); }},
        {"Chi", [](const ekLayer& l) { return l.getAffinity(); }},
        {"NC", [](const ekLayer& l) { return l.getNC(); }},
        {"NV", [](const ekLayer& l) { return l.getNV(); }},
        {"T", [](const ekLayer& l) { return l.getT(); }},
        {"Eps", [](const ekLayer& l) { return l.getEps(); }},
        {"Me", [](const ekLayer& l) { return l.getMe(); }},
        {"Mhh", [](const ekLayer& l) { return l.getMhh(); }},
        {"Mlh", [](const ekLayer& l) { return l.getMlh(); }},
        {"Msh", [](const ekLayer& l) { return l.getMsh(); }},
        {"Eso", [](const ekLayer& l) { return l.getEso(); }},
        {"Urbach", [](const ekLayer& l) { return double(l.isUrbach()); }},
        {"UrbachEA", [](const ekLayer& l) { return l.getUrbachEA(); }},
        {"UrbachGD", [](const ekLayer& l) { return l.getUrbachGD(); }},
        {"UrbachTaupD", [](const ekLayer& l) { return l.getUrbachTaupD(); }},
        {"n", [](const ekLayer& l) { return l.getIndexn(); }},
        {"k", [](const ekLayer& l) { return l.getIndexk(); }},
        {"Beta", [](const ekLayer& l) { return l.getBeta(); }},
        {"Cn", [](const ekLayer& l) { return l.getCn(); }},
        {"Cp", [](const ekLayer& l) { return l.getCp(); }},
        {"Taun", [](const ekLayer& l) { return l.getTaun(); }},
        {"Taup", [](const ekLayer& l) { return l.getTaup(); }},
        {"Thermc", [](const ekLayer& l) { return l.getThermc(); }},
        {"Heat", [](const ekLayer& l) { return l.getHeat(); }},
        {"Ebr", [](const ekLayer& l) { return l.getEbr(); }},
        {"Mobn", [](const ekLayer& l) { return l.getMobn(); }},
        {"Mobp", [](const ekLayer& l) { return l.getMobp(); }},
        {"lattice type", [](const ekLayer& l) { return double(l.getLatticeType()); }},
        {"a", [](const ekLayer& l) { return l.getLatticeA(); }},
        {"b", [](const ekLayer& l) { return l.getLatticeB(); }},
        {"c", [](const ekLayer& l) { return l.getLatticeC(); }},
        {"e31", [](const ekLayer& l) { return l.getLatticeE31(); }},
        {"e33", [](const ekLayer& l) { return l.getLatticeE33(); }},
        {"c11", [](const ekLayer& l) { return l.getLatticeC11(); }},
        {"c12", [](const ekLayer& l) { return l.getLatticeC12(); }},
        {"c13", [](const ekLayer& l) { return l.getLatticeC13(); }},
        {"c33", [](const ekLayer& l) { return l.getLatticeC33(); }},
        {"Psp", [](const ekLayer& l) { return l.getPsp(); }},
        {"tunnel", [](const ekLayer& l) { return double(l.isTunnel()); }},
        {"direct", [](const ekLayer& l) { return double(l.isDirect()); }},
        {"mesh points", [](const ekLayer& l) { return double(l.getMeshPoints()); }},
        {"index model", [](const ekLayer& l) { return double(l.getIndexModel()); }},
        {"dopant type", [](const ekLayer& l) { return double(l.getType()); }},
        {"dopant N", [](const ekLayer& l) { return l.getDopant()->getN(); }},
        {"dopant E", [](const ekLayer& l) { return l.getDopant()->getE(); }},
        {"dopant F", [](const ekLayer& l) { return l.getDopant()->getF(); }},
        {"trap count", [](const ekLayer& l) { return double(l.getTrapCount()); }},
    };
}

const std::string INDEX_TABLE =
    "0.3\t3.9\t0.4\n0.5\t3.6\t0.1\n0.7\t3.5\t0.01\n0.9\t3.4\t0\n1.1\t3.4\t0\n";

// A layer unlike a fresh one in every group.
std::unique_ptr<ProbeLayer> makeSource(nuSigma* sigma, const TempFile& indexFile)
{
    auto l = std::make_unique<ProbeLayer>(sigma, L"InGaAs", L"Absorber");
    EXPECT_TRUE(l->updateMain(L"Absorber", 0x20, 1.7, 0.53, 0.1));
    EXPECT_TRUE(l->updateMain(1.7, 0.53, 0.1, 0.48, -0.2));
    EXPECT_TRUE(l->updateEnergy(0.75, 4.5, 2.1e17, 7.7e18));
    EXPECT_TRUE(l->updateTemperature(320.0));
    EXPECT_TRUE(l->updatePermittivity(13.9));
    EXPECT_TRUE(l->updateMass(0.041, 0.46, 0.051, 0.14, 0.33));
    EXPECT_TRUE(l->updateUrbach(0.02, 0.04, 2e20, 3e20, 1e-9, 2e-9, 3e-9, 4e-9, true));
    EXPECT_TRUE(l->updateRecomb(1e-10, 1e-29, 2e-29, 2e-8, 3e-8));
    EXPECT_TRUE(l->updateTherm(0.05, 0.3));
    EXPECT_TRUE(l->updateMobility(2e5, 12000.0, 300.0));
    EXPECT_TRUE(
        l->updateLattice(0x20, 0.5869, 0.59, 0.6, -0.2, 0.4, 100.0, 50.0, 45.0, 110.0, -0.01));
    l->setTunnel(true);
    EXPECT_TRUE(l->updateDopant(0x20, 3e17, 1e18, 0.05, 0.0, 1e-8, 2e-8, 4.0));
    EXPECT_NE(l->addTrap(L"E1", 0x10, 1e14, 1e19, 0.2, 0.01, 1e-8, 1e-8, 1.0, false), nullptr);
    EXPECT_NE(l->addTrap(L"E2", 0x20, 2e14, 1e18, 0.3, 0.02, 2e-8, 2e-8, 2.0, false), nullptr);
    EXPECT_NE(l->addTrap(L"H1", 0x20, 3e14, 1e17, 0.1, 0.0, 3e-8, 3e-8, 4.0, false), nullptr);
    const std::wstring scripts[] = {L"mobility.lua", L"bandgap.lua", L"eps.lua",
                                    L"doping.lua",   L"trap.lua",    L"recombination.lua",
                                    L"lattice.lua"};
    for (int kind = 0; kind < ekLayer::MODEL_COUNT; ++kind) {
        kov_copyW(l->script[kind], ekRegion::PATH_SIZE, scripts[kind].c_str());
        l->scriptActive[kind] = true;
    }
    l->setIndexScript(L"index.lua");
    EXPECT_TRUE(l->updateIndexnk(3.6, 0.08));
    EXPECT_TRUE(l->updateIndexFile(indexFile.path().c_str(), true));
    EXPECT_TRUE(l->loadIndexFile());
    l->updateMesh(250);
    return l;
}

TEST_F(LayerWhole, CopyMakesAnEqualIndependentLayer)
{
    TempFile indexFile("ingaas.nk", INDEX_TABLE);
    auto source = makeSource(&sigma, indexFile);
    ASSERT_TRUE(sigma.isOK()) << kov_toUtf8(lastLine(sigma));

    ekLayer copy(&sigma);
    copy.copy(source.get());
    ASSERT_TRUE(sigma.isOK()) << kov_toUtf8(lastLine(sigma));

    for (const auto& [label, value] : layerValues()) {
        EXPECT_EQ(value(copy), value(*source)) << label;
    }
    EXPECT_STREQ(copy.getName(), L"Absorber");
    EXPECT_STREQ(copy.getMaterial(), L"InGaAs");
    EXPECT_STREQ(copy.getMaterialAC(), L"InAs");
    EXPECT_STREQ(copy.getMaterialBC(), L"GaAs");
    EXPECT_TRUE(copy.isAlloy());
    for (int kind = 0; kind < ekLayer::MODEL_COUNT; ++kind) {
        const auto k = static_cast<ekLayer::ModelKind>(kind);
        EXPECT_STREQ(copy.getScript(k), source->getScript(k)) << kind;
        EXPECT_TRUE(copy.isScript(k)) << kind;
    }
    EXPECT_STREQ(copy.getIndexScript(), L"index.lua");
    EXPECT_STREQ(copy.getIndexFile(), source->getIndexFile());
    for (int i = 0; i < source->getTrapCount(); ++i) {
        const ekLevel* a = source->getTrap(i);
        const ekLevel* b = copy.getTrap(i);
        ASSERT_NE(b, nullptr);
        EXPECT_NE(a, b) << "a copy owns its own traps";
        EXPECT_STREQ(b->getName(), a->getName());
        EXPECT_EQ(b->getType(), a->getType());
        EXPECT_EQ(b->getN(), a->getN());
        EXPECT_EQ(b->getNr(), a->getNr());
        EXPECT_EQ(b->getE(), a->getE());
        EXPECT_EQ(b->getW(), a->getW());
        EXPECT_EQ(b->getTp(), a->getTp());
        EXPECT_EQ(b->getF(), a->getF());
    }
    EXPECT_NE(copy.getDopant(), source->getDopant());

    // The copy reads its index table without its source.
    source.reset();
    double n = 0, k = 0;
    ASSERT_TRUE(copy.getIndex(0.0, 1.7, 0.75, 0.6, &n, &k, false));
    EXPECT_NEAR(n, 3.55, 1e-12);
    EXPECT_NEAR(k, 0.055, 1e-12);
    EXPECT_EQ(copy.getTrap(2)->getN(), 3e14);
}

TEST_F(LayerWhole, CopyReplacesTheTargetsTraps)
{
    TempFile indexFile("ingaas.nk", INDEX_TABLE);
    auto source = makeSource(&sigma, indexFile);
    source->removeTrap(0, 0);
    ekLayer copy(&sigma);
    for (int i = 0; i < 5; ++i) {
        copy.addTrap(L"Old", 0x10, 1e12 * (i + 1), 1e19, 0.1, 0.0, 1e-8, 1e-8, 1.0, false);
    }
    copy.copy(source.get());
    ASSERT_EQ(copy.getTrapCount(), 2);
    EXPECT_STREQ(copy.getTrap(0)->getName(), L"E2");
    EXPECT_STREQ(copy.getTrap(1)->getName(), L"H1");
    EXPECT_EQ(copy.getTrap(2), nullptr);
}

TEST_F(LayerWhole, CopyRefusesASourceValueOutOfRange)
{
    ProbeLayer source(&sigma);
    source.Eps = 150.0;  // no setter would accept it
    ekLayer copy(&sigma);
    const double epsBefore = copy.getEps();
    copy.copy(&source);
    EXPECT_FALSE(sigma.isOK());
    EXPECT_EQ(lastLine(sigma), L"[ERROR]   invalid layer permittivity\n");
    EXPECT_EQ(copy.getEps(), epsBefore);
}

TEST_F(LayerWhole, LayerDefaultsAfterCreation)
{
    ekLayer layer(&sigma);
    EXPECT_STREQ(layer.getName(), L"LayerX");
    EXPECT_STREQ(layer.getMaterial(), L"Si");
    EXPECT_EQ(layer.getT(), 300.0);
    EXPECT_EQ(layer.getMeshPoints(), 100);
    EXPECT_FALSE(layer.isTunnel());
    EXPECT_EQ(layer.getTrapCount(), 0);
    EXPECT_EQ(layer.getIndexModel(), ekRegion::INDEX_CONSTANT);
    for (int kind = 0; kind < ekLayer::MODEL_COUNT; ++kind) {
        const auto k = static_cast<ekLayer::ModelKind>(kind);
        EXPECT_EQ(layer.getScript(k), nullptr);
        EXPECT_FALSE(layer.isScript(k));
        EXPECT_TRUE(layer.isScriptGraded(k));
    }
    EXPECT_EQ(layer.getScript(ekLayer::MODEL_COUNT), nullptr);
}

}  // namespace
