// The device laid out on the mesh: point layout in every mesh mode, the
// material columns against their closed forms, equilibrium consistency of
// the local models on real points, interface blending, generation,
// polarisation, junction zones, and the Lua models along a layer.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "ElecSweep.h"
#include "ekContact.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "simulatorFixture.h"
#include "tableRows.h"

namespace {

class StructureTest : public SimulatorFixture {
protected:
    // Rows of "simulout_input.txt" (comment lines skipped).
    std::vector<std::vector<double>> inputRows()
    {
        return readTableRows(std::filesystem::path{path("simulout_input.txt")});
    }

    // A GaAs (p) / InP (n) heterostructure, 0.3 and 0.7 um.
    void buildHetero(uint8_t mode, int total)
    {
        addLayer(L"GaAs", 0.3, 0x20, 1e17, 120);
        addLayer(L"InP", 0.7, 0x10, 3e17, 80);
        build(mode, total);
    }

    double z(int i) const { return sim.getMesh().sol.z[i] * sim.getNorm().length; }

    // How often text stands in log.
    static int occurrences(const std::string& log, const std::string& text)
    {
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
            ++n;
        }
        return n;
    }
    static std::string narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

    // The line that warns of a level's energy E (eV) capped at half the
    // bandgap Eg (eV); source says where the energy came from, from where
    // the level is measured.
    static std::string cappedLine(int layer, double E, const std::string& source, double Eg,
                                  const std::string& from)
    {
        return "[WARNING] Layer" + std::to_string(layer) + ": the energy " +
               narrow(nu_numberText(E)) + " eV " + source + " changed to " +
               narrow(nu_numberText(Eg / 2.0)) + " eV (a level lies at most half the bandgap, " +
               narrow(nu_numberText(Eg)) + " eV, from " + from + ")\n";
    }

    // Generation of point i of a uniform absorber (alpha in 1/um, normalised
    // flux F0): what its control box absorbs, per box width (normalised).
    double boxGeneration(const ekSimulator& s, int i, double alpha, double F0) const
    {
        const double* zs = s.getMesh().sol.z;
        const double L = s.getNorm().length;
        const int last = s.getPoints() - 1;
        const double a = i > 0 ? 0.5 * (zs[i - 1] + zs[i]) * L : 0.0;
        const double b = i < last ? 0.5 * (zs[i] + zs[i + 1]) * L : zs[last] * L;
        return F0 * (std::exp(-alpha * a) - std::exp(-alpha * b)) / ((b - a) / L);
    }
};

TEST_F(StructureTest, HeterostructureLayoutInEveryMeshMode)
{
    struct Mode {
        uint8_t mode;
        int total;
        int points;
    };
    for (const Mode& m :
         {Mode{nuParam::MESH_LAYER, 1000, 200}, Mode{nuParam::MESH_UNIFORM, 333, 400}}) {
        SCOPED_TRACE(m.mode);
        ElecDevice fresh(&sigma, &param);
        buildHetero(m.mode, m.total);
        ASSERT_TRUE(sigma.isOK());
        ASSERT_EQ(sim.getPoints(), m.points);
        const int N = sim.getPoints();
        EXPECT_EQ(z(0), 0.0);
        EXPECT_NEAR(z(N - 1), 1.0, 1e-12);
        for (int i = 1; i < N; ++i) {
            ASSERT_GT(z(i), z(i - 1)) << i;
        }
        ASSERT_EQ(sim.getMesh().interfaceCount, 1);
        const int iface = sim.getMesh().getInterfaceIndex(0);
        EXPECT_NEAR(z(iface), 0.3, 1e-12);
        for (int i = 0; i < N; ++i) {
            EXPECT_EQ(sim.getMesh().mat.pointKind[i], i == iface ? 0x10 : 0) << i;
            EXPECT_EQ(sim.getMesh().getPointLayer(i), i < iface ? 0 : 1);
        }
        device.removeAllLayers();
    }
}

TEST_F(StructureTest, InputFileColumnsFollowEachLayersMaterial)
{
    buildHetero(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    ASSERT_TRUE(sim.saveInput());
    const auto rows = inputRows();
    ASSERT_EQ(static_cast<int>(rows.size()), sim.getPoints());
    const double kT = 0.02585202874;  // eV at 300 K
    const int iface = sim.getMesh().getInterfaceIndex(0);
    for (int i = 0; i < sim.getPoints(); ++i) {
        if (i == iface) {
            continue;
        }
        const ekLayer* L = device.getLayer(i < iface ? 0 : 1);
        const auto& r = rows[i];
        ASSERT_EQ(r.size(), 23u);
        EXPECT_NEAR(r[0], z(i), 1e-12);
        EXPECT_NEAR(r[1], L->getBandgap(), 1e-12);
        EXPECT_NEAR(r[2], L->getEps(), 1e-12);
        EXPECT_NEAR(r[3], L->getNC(), 1e-9 * L->getNC());
        EXPECT_NEAR(r[4], L->getNV(), 1e-9 * L->getNV());
        const double ni =
            std::sqrt(L->getNC() * L->getNV()) * std::exp(-L->getBandgap() / (2 * kT));
        EXPECT_NEAR(r[5], ni, 1e-9 * ni) << i;
        EXPECT_NEAR(r[6], L->getMobn(), 1e-9 * L->getMobn());
        const double N = L->getDopant()->getN();
        // Donor columns at donor points, acceptor columns at acceptor points.
        if (i < iface) {
            EXPECT_NEAR(r[17], N, 1e-9 * N);
            EXPECT_EQ(r[13], 0.0);
        } else {
            EXPECT_NEAR(r[13], N, 1e-9 * N);
            EXPECT_EQ(r[17], 0.0);
        }
    }
    // The interface point's band values are those of one material, blended.
    const auto& r = rows[iface];
    EXPECT_NEAR(r[5], std::sqrt(r[3] * r[4]) * std::exp(-r[1] / (2 * kT)), 1e-9 * r[5]);
}

TEST_F(StructureTest, InputFileWarnsOfHoleMobilityAboveElectronMobilityAtAnInterface)
{
    ekLayer* a = addLayer(L"Si", 0.5, 0x20, 1e16, 60);
    addLayer(L"Si", 0.5, 0x10, 1e16, 60);
    a->updateMobility(3e5, 100.0, 400.0);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const std::string warning = "[WARNING] electron/hole mobility values seems to be inconsistent";
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(sim.saveInput());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find(warning), std::string::npos);
    EXPECT_TRUE(sigma.isOK());  // a warning, cleared again
    sigma.nowarn = true;
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(sim.saveInput());
    EXPECT_EQ(::testing::internal::GetCapturedStdout().find(warning), std::string::npos);
}

TEST_F(StructureTest, InputFileRefusesATooThinDevice)
{
    addLayer(L"Si", 0.005, 0x20, 1e16, 60);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_FALSE(sim.saveInput());
    EXPECT_EQ(lastMessage(), L"[ERROR]   invalid device size\n");
    sigma.reset();
    sim.setOutputDir(L"/nonexistent-folder/");
    addLayer(L"Si", 1.0, 0x20, 1e16, 60);
    build(nuParam::MESH_LAYER, 1000);
    EXPECT_FALSE(sim.saveInput());
    EXPECT_EQ(lastMessage(), L"[ERROR]   input data not saved: cannot open file "
                             L"\"/nonexistent-folder/simulout_input.txt\"\n");
}

TEST_F(StructureTest, VerboseAndDebugOutput)
{
    addLayer(L"Si", 1.0, 0x20, 1e16, 60);
    sigma.setOutputType(0x10);
    sigma.debug = true;
    ::testing::internal::CaptureStdout();
    build(nuParam::MESH_LAYER, 1000);
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sigma.isOK());
    EXPECT_NE(out.find("[INFO]    initializing structure... ="), std::string::npos);
    const size_t done = out.find("[INFO]    structure initialized in ");
    ASSERT_NE(done, std::string::npos);
    EXPECT_LE(out.find('\n', done) - done, 72u);
    // Debug output dumps the material parameters and the array size.
    EXPECT_TRUE(std::filesystem::exists(path("simulout_input.txt")));
    EXPECT_NE(out.find("[DEBUG]   allocated mesh memory: "), std::string::npos);
}

TEST_F(StructureTest, SolutionItemValidity)
{
    addLayer(L"Si", 1.0, 0x20, 1e16, 60);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    struct Case {
        double z, V, EC, EV, Fn, Fp, n, p;
        bool valid;
    };
    const Case cases[] = {
        {0.5, 0, 0, 0, 0, 0, 1e10, 1e10, true},   {1.0, 20, -20, 20, -20, 20, 0, 1e24, true},
        {1.0 + 1e-6, 0, 0, 0, 0, 0, 0, 0, false}, {-1e-9, 0, 0, 0, 0, 0, 0, 0, false},
        {0.5, 20.5, 0, 0, 0, 0, 0, 0, false},     {0.5, 0, 0, -21, 0, 0, 0, 0, false},
        {0.5, 0, 0, 0, 0, 25, 0, 0, false},       {0.5, 0, 0, 0, 0, 0, -1, 0, false},
        {0.5, 0, 0, 0, 0, 0, 0, 2e24, false},     {0.5, std::nan(""), 0, 0, 0, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sim.isItemValid(c.z, c.V, c.EC, c.EV, c.Fn, c.Fp, c.n, c.p), c.valid)
            << c.z << " " << c.V << " " << c.EV << " " << c.Fp << " " << c.n << " " << c.p;
    }
    // A fresh solution (all zero) is valid at every point.
    EXPECT_TRUE(sim.isItemValid(0));
    EXPECT_TRUE(sim.isItemValid(sim.getPoints() - 1));
    EXPECT_FALSE(sim.isItemValid(sim.getPoints()));
}

TEST_F(StructureTest, EquilibriumIsChargeNeutralAndRecombinationFree)
{
    ekLayer* p = addLayer(L"GaAs", 0.5, 0x20, 2e17, 100);
    ekLayer* n = addLayer(L"InP", 0.5, 0x10, 5e16, 100);
    p->addTrap(L"T1", 0x20, 3e15, 1e19, 0.2, 0.0, 1e-8, 1e-9, 2.0, false);
    n->addTrap(L"T2", 0x10, 1e16, 1e19, 0.3, 0.0, 1e-9, 1e-8, 1.0, false);
    n->addTrap(L"T3", 0x20, 2e15, 1e19, 0.1, 0.0, 1e-9, 1e-9, 1.0, false);
    // Tails of 4e15 1/cm3 in all, small against the dopant as the traps are.
    p->updateUrbach(0.03, 0.04, 1e17, 1e17, 1e-9, 1e-9, 1e-9, 1e-9, true);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const ekMaterialArrays& m = sim.getMesh().mat;
    const int N = sim.getPoints();
    const int iface = sim.getMesh().getInterfaceIndex(0);
    for (int i = 0; i < N; ++i) {
        const int layer = sim.getMesh().getPointLayer(i);
        // Inside each layer, far from the junction, the layer's equilibrium
        // potential is charge neutral.
        if (std::abs(i - iface) > 40 && i > 0 && i < N - 1) {
            const double V = sim.getMesh().getLayerVeq(layer);
            const double ne = ek_electronDensity(sim.getMesh(), V, 0.0, i);
            const double pe = ek_holeDensity(sim.getMesh(), V, 0.0, i);
            ekTrappedCharge q;
            sim.trappedCharge(ne, pe, i, &q);
            const double rho = pe - ne + q.Nd - q.Na + q.Qd - q.Qa;
            // Only the dopant enters the neutrality of initVeq; traps and
            // tails are small against it here.
            EXPECT_LT(std::fabs(rho), 0.2 * m.dopantN[i]) << i;
            const double net = (m.dopantKind[i] == 0x10 ? 1 : -1) * (q.Nd - q.Na);
            EXPECT_NEAR(std::fabs(pe - ne), net, 1e-6 * net) << i;
        }
        // No net recombination at equilibrium, whatever the potential: each
        // rate is rounding noise against its value at a small split of the
        // quasi-Fermi levels (np = e ni^2).
        for (double V : {-20.0, 0.0, 20.0}) {
            const ekPointValue srh = sim.recombinationSRH(V, 0.0, 0.0, i);
            const ekPointValue aug = sim.recombinationAuger(V, 0.0, 0.0, i);
            const ekPointValue rad = sim.recombinationRadiative(V, 0.0, 0.0, i);
            EXPECT_LE(std::fabs(srh.value),
                      1e-10 * std::fabs(sim.recombinationSRH(V, -0.5, 0.5, i).value))
                << i;
            EXPECT_LE(std::fabs(aug.value),
                      1e-10 * std::fabs(sim.recombinationAuger(V, -0.5, 0.5, i).value))
                << i;
            EXPECT_LE(std::fabs(rad.value),
                      1e-10 * std::fabs(sim.recombinationRadiative(V, -0.5, 0.5, i).value))
                << i;
            EXPECT_GT(sim.recombinationSRH(V, -0.5, 0.5, i).value, 0.0) << i;
        }
    }
}

TEST_F(StructureTest, SteadyStateChargeMatchesEquilibriumChargeAtEquilibrium)
{
    ekLayer* p = addLayer(L"GaAs", 0.5, 0x20, 2e17, 60);
    ekLayer* n = addLayer(L"InP", 0.5, 0x10, 5e16, 60);
    p->addTrap(L"T1", 0x20, 3e15, 1e19, 0.2, 0.0, 1e-8, 1e-9, 2.0, false);
    n->addTrap(L"T2", 0x10, 1e16, 1e19, 0.3, 0.0, 1e-9, 1e-8, 3.0, false);
    n->updateUrbach(0.03, 0.04, 1e20, 1e20, 1e-9, 1e-9, 1e-9, 1e-9, true);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    ekSimulator& s = sim;
    for (int i : {5, 30, 59, 60, 61, 90, 119}) {
        for (double V : {-15.0, -3.0, 0.0, 4.0, 18.0}) {
            const double ne = ek_electronDensity(s.getMesh(), V, 0.0, i);
            const double pe = ek_holeDensity(s.getMesh(), V, 0.0, i);
            ekTrappedCharge eq, ss;
            s.setLightState(0, 0.5, 0.0, 0.0);
            s.trappedCharge(ne, pe, i, &eq);  // dark, no bias: equilibrium form
            s.setLightState(0x10, 0.5, 1.0, 1.0);
            s.trappedCharge(ne, pe, i, &ss);  // light on: steady-state form
            const double tol = 1e-9 * (eq.Na + eq.Nd + eq.Qa + eq.Qd) + 1e-300;
            EXPECT_NEAR(ss.Na, eq.Na, tol) << i << " " << V;
            EXPECT_NEAR(ss.Nd, eq.Nd, tol) << i << " " << V;
            EXPECT_NEAR(ss.Qa, eq.Qa, tol) << i << " " << V;
            EXPECT_NEAR(ss.Qd, eq.Qd, tol) << i << " " << V;
            // Along the equilibrium line both give the same slope in V.
            EXPECT_NEAR(ss.dV, eq.dV, 1e-8 * (std::fabs(eq.dV) + tol)) << i << " " << V;
        }
    }
}

TEST_F(StructureTest, PointModelsMatchCentralDifferences)
{
    ekLayer* p = addLayer(L"GaAs", 0.5, 0x20, 2e17, 60);
    ekLayer* n = addLayer(L"InP", 0.5, 0x10, 5e16, 60);
    p->addTrap(L"T1", 0x20, 3e15, 1e19, 0.2, 0.0, 1e-8, 1e-9, 2.0, false);
    n->addTrap(L"T2", 0x10, 1e16, 1e19, 0.3, 0.0, 1e-9, 1e-8, 1.0, false);
    p->updateUrbach(0.03, 0.04, 1e20, 1e20, 1e-9, 1e-9, 1e-9, 1e-9, true);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    sim.setLightState(0x10, 0.5, 1.0, 1.0);
    struct Point {
        int i;
        double V, Fn, Fp;
    };
    const double h = 1e-4;
    for (const Point& pt :
         {Point{10, -5.0, -3.0, 4.0}, Point{60, 2.0, 1.0, -1.5}, Point{100, 10.0, -2.0, 8.0}}) {
        auto srh = [&](double V, double Fn, double Fp) {
            return sim.recombinationSRH(V, Fn, Fp, pt.i);
        };
        auto charge = [&](double V, double Fn, double Fp) {
            ekTrappedCharge q;
            sim.trappedCharge(ek_electronDensity(sim.getMesh(), V, Fn, pt.i),
                              ek_holeDensity(sim.getMesh(), V, Fp, pt.i), pt.i, &q);
            return q;
        };
        auto total = [](const ekTrappedCharge& q) { return q.Na - q.Nd + q.Qa - q.Qd; };
        const ekPointValue r = srh(pt.V, pt.Fn, pt.Fp);
        const ekTrappedCharge q = charge(pt.V, pt.Fn, pt.Fp);
        const double dR[3] = {r.dV, r.dFn, r.dFp};
        const double dQ[3] = {q.dV, q.dFn, q.dFp};
        for (int v = 0; v < 3; ++v) {
            const double e[3] = {v == 0 ? h : 0, v == 1 ? h : 0, v == 2 ? h : 0};
            const double numR = (srh(pt.V + e[0], pt.Fn + e[1], pt.Fp + e[2]).value -
                                 srh(pt.V - e[0], pt.Fn - e[1], pt.Fp - e[2]).value) /
                                (2 * h);
            const double numQ = (total(charge(pt.V + e[0], pt.Fn + e[1], pt.Fp + e[2])) -
                                 total(charge(pt.V - e[0], pt.Fn - e[1], pt.Fp - e[2]))) /
                                (2 * h);
            EXPECT_NEAR(dR[v], numR, 1e-6 * std::fabs(numR) + 1e-12 * std::fabs(r.value))
                << pt.i << " " << v;
            EXPECT_NEAR(dQ[v], numQ,
                        1e-6 * std::fabs(numQ) + 1e-11 * std::fabs(q.Na + q.Nd + q.Qa + q.Qd))
                << pt.i << " " << v;
        }
    }
}

TEST_F(StructureTest, InterfacePointBlendsTheTwoLayers)
{
    ekLayer* a = addLayer(L"Si", 0.5, 0x10, 1e16, 60);
    ekLayer* b = addLayer(L"Si", 0.5, 0x10, 4e16, 60);
    a->updatePermittivity(4.0);
    b->updatePermittivity(12.0);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const ekMaterialArrays& m = sim.getMesh().mat;
    const int i = sim.getMesh().getInterfaceIndex(0);
    EXPECT_DOUBLE_EQ(m.Eps[i], 6.0);
    EXPECT_DOUBLE_EQ(m.Eps[i - 1], 4.0);
    EXPECT_DOUBLE_EQ(m.Eps[i + 1], 12.0);
    // Donors on both sides: the densities blend harmonically.
    EXPECT_NEAR(m.dopantN[i], 2 * 10.0 * 40.0 / 50.0, 1e-12);
}

TEST_F(StructureTest, OppositeDopantsKeepThisLayersLevelAtTheInterface)
{
    addLayer(L"Si", 0.5, 0x20, 1e16, 60);
    addLayer(L"Si", 0.5, 0x10, 4e16, 60);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const ekMaterialArrays& m = sim.getMesh().mat;
    const int i = sim.getMesh().getInterfaceIndex(0);
    EXPECT_EQ(m.dopantKind[i], 0x10);
    EXPECT_DOUBLE_EQ(m.dopantN[i], 40.0 / (1.0 + 4e16 / 1e19) * (1.0 + 4e16 / 1e19));
    EXPECT_DOUBLE_EQ(m.dopantN[i], m.dopantN[i + 1]);
    EXPECT_DOUBLE_EQ(m.dopantE[i], m.dopantE[i + 1]);
}

TEST_F(StructureTest, DopantEnergyIsCappedAtHalfTheGapThenLowered)
{
    ekLayer* L = addLayer(L"Si", 1.0, 0x10, 1e18, 60);
    L->updateDopant(0x10, 1e18, 1e19, 2.0);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const double expected = (L->getBandgap() / 2.0) / (1.0 + 1e18 / 1e19);
    EXPECT_NEAR(sim.getMesh().mat.dopantE[10] * sim.getNorm().Vt, expected, 1e-12);
    EXPECT_NEAR(sim.getMesh().mat.dopantTaun[10] * 0.1,
                L->getDopant()->getTn() / (1.0 + 1e18 / 1e19), 1e-20);
}

TEST_F(StructureTest, TrapModelEnergyBeyondHalfTheGapIsCappedWithOneWarningPerLayerAndTrap)
{
    // A graded trap model, so every point asks it again: trap index 0 at
    // 0.9 eV from midgap lies beyond half the gap of Si (1.12 eV) and of
    // GaAs (1.42 eV); index 1 at 0.3 eV lies inside both.
    const std::wstring script =
        writeFile("trap.lua", "function kov_trap(index, z, t)\n"
                              "  local E = 0.3\n"
                              "  if index == 0 then E = 0.9 end\n"
                              "  return 1e15, 0, 1e19, 1e-8, 1e-8, E, 1, true\n"
                              "end\n");
    std::vector<ekLayer*> layers = {addLayer(L"Si", 1.0, 0x20, 1e16, 60),
                                    addLayer(L"GaAs", 1.0, 0x10, 1e16, 60)};
    for (ekLayer* L : layers) {
        for (const wchar_t* name : {L"T1", L"T2"}) {
            ASSERT_NE(L->addTrap(name, 0x20, 1e15, 1e19, 0.1, 0.0, 1e-8, 1e-8, 1.0, false),
                      nullptr);
        }
        ASSERT_TRUE(L->updateTrapScript(script.c_str(), true));
    }
    ::testing::internal::CaptureStdout();
    build(nuParam::MESH_LAYER, 1000);
    // A second set-up of the same run (as a finer mesh makes) says nothing
    // again.
    build(nuParam::MESH_LAYER, 1000);
    const std::string log = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sigma.isOK()) << log;

    auto count = [&log](const std::string& text) { return occurrences(log, text); };
    EXPECT_EQ(count("[WARNING]"), 2) << log;
    const double Vt = sim.getNorm().Vt;
    const ekTrapArrays& level = sim.getMesh().trap[0];
    const ekTrapArrays& inside = sim.getMesh().trap[1];
    const double factor = 1.0 / (1.0 + 1e15 / 1e19);
    for (int l = 0; l < 2; ++l) {
        const double Eg = layers[l]->getBandgap();
        SCOPED_TRACE(Eg);
        ASSERT_GT(0.9, Eg / 2.0);
        EXPECT_EQ(count(cappedLine(l + 1, 0.9, "that Trap.Model gives trap index 0", Eg, "midgap")),
                  1)
            << log;
        // A point inside the layer holds the capped level and the other
        // trap's own, each lowered with the density.
        const int i = 30 + 60 * l;
        EXPECT_NEAR(level.E[i] * Vt, Eg / 2.0 * factor, 1e-9);
        EXPECT_NEAR(inside.E[i] * Vt, 0.3 * factor, 1e-9);
    }
}

TEST_F(StructureTest, DopantModelEnergyBeyondHalfTheGapIsCappedWithOneWarningPerLayer)
{
    // A graded doping model, so every point asks it again: a donor 0.9 eV
    // below its band edge lies beyond half the gap of Si (1.12 eV) and of
    // GaAs (1.42 eV).
    const std::wstring script =
        writeFile("doping.lua",
                  "function kov_doping(z, t) return 0, 1e16, 1e19, 1e-7, 1e-7, 0.9, 1, 1 end\n");
    std::vector<ekLayer*> layers = {addLayer(L"Si", 1.0, 0x10, 1e16, 60),
                                    addLayer(L"GaAs", 1.0, 0x10, 1e16, 60)};
    for (ekLayer* L : layers) {
        ASSERT_TRUE(L->updateDopingScript(script.c_str(), true));
    }
    ::testing::internal::CaptureStdout();
    build(nuParam::MESH_LAYER, 1000);
    // A second set-up of the same run (as a finer mesh makes) says nothing
    // again.
    build(nuParam::MESH_LAYER, 1000);
    const std::string log = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sigma.isOK()) << log;

    EXPECT_EQ(occurrences(log, "[WARNING]"), 2) << log;
    const double Vt = sim.getNorm().Vt;
    const double factor = 1.0 / (1.0 + 1e16 / 1e19);
    for (int l = 0; l < 2; ++l) {
        const double Eg = layers[l]->getBandgap();
        SCOPED_TRACE(Eg);
        ASSERT_GT(0.9, Eg / 2.0);
        EXPECT_EQ(occurrences(log, cappedLine(l + 1, 0.9, "that Dopant.Model gives the dopant", Eg,
                                              "its band edge")),
                  1)
            << log;
        // A point inside the layer holds the capped level, lowered with
        // the density.
        EXPECT_NEAR(sim.getMesh().mat.dopantE[30 + 60 * l] * Vt, Eg / 2.0 * factor, 1e-9);
    }
}

TEST_F(StructureTest, DeviceFileEnergyBeyondTheGapOfABandgapModelIsWarnedOnceByTheRun)
{
    // A bandgap model gives GaAs a gap of 1 eV: its dopant 0.55 eV from
    // the band edge and its first trap 0.6 eV from midgap lie beyond half
    // of it (though inside half the material's 1.42 eV, all a reader could
    // check), its second trap at 0.3 eV inside. The Si layer without a
    // model holds a trap beyond half its gap too; the reader has said that
    // already, so the run does not.
    const std::wstring bandgap =
        writeFile("bandgap.lua", "function kov_bandgap(z, thickness, T, N)\n"
                                 "  return 1.0, 4.07, 4.7e17, 9e18, 0\n"
                                 "end\n");
    ekLayer* modelled = addLayer(L"GaAs", 1.0, 0x10, 1e16, 60);
    ekLayer* plain = addLayer(L"Si", 1.0, 0x10, 1e16, 60);
    ASSERT_TRUE(modelled->updateBandgapScript(bandgap.c_str(), true));
    ASSERT_TRUE(modelled->updateDopant(0x10, 1e16, 1e19, 0.55));
    ASSERT_NE(modelled->addTrap(L"D1", 0x20, 1e15, 1e19, 0.6, 0.0, 1e-8, 1e-8, 1.0, false),
              nullptr);
    ASSERT_NE(modelled->addTrap(L"D2", 0x20, 1e15, 1e19, 0.3, 0.0, 1e-8, 1e-8, 1.0, false),
              nullptr);
    ASSERT_NE(plain->addTrap(L"D1", 0x20, 1e15, 1e19, 0.6, 0.0, 1e-8, 1e-8, 1.0, false), nullptr);
    ::testing::internal::CaptureStdout();
    build(nuParam::MESH_LAYER, 1000);
    build(nuParam::MESH_LAYER, 1000);
    const std::string log = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sigma.isOK()) << log;

    const double Vt = sim.getNorm().Vt;
    const int i = 30;  // inside the modelled layer
    const double Eg = sim.getMesh().mat.Eg[i] * Vt;
    ASSERT_NEAR(Eg, 1.0, 1e-12);
    EXPECT_EQ(occurrences(log, "[WARNING]"), 2) << log;
    EXPECT_EQ(occurrences(
                  log, cappedLine(1, 0.55, "that Dopant.E gives the dopant", Eg, "its band edge")),
              1)
        << log;
    EXPECT_EQ(occurrences(log, cappedLine(1, 0.6,
                                          "that Trap.E gives the layer's trap 1 (in the order "
                                          "of the file)",
                                          Eg, "midgap")),
              1)
        << log;
    // The values used: half the model's gap, lowered with the density.
    EXPECT_NEAR(sim.getMesh().mat.dopantE[i] * Vt, 0.5 / (1.0 + 1e16 / 1e19), 1e-9);
    const double trapFactor = 1.0 / (1.0 + 1e15 / 1e19);
    EXPECT_NEAR(sim.getMesh().trap[0].E[i] * Vt, 0.5 * trapFactor, 1e-9);
    EXPECT_NEAR(sim.getMesh().trap[1].E[i] * Vt, 0.3 * trapFactor, 1e-9);
    EXPECT_NEAR(sim.getMesh().trap[0].E[90] * Vt, plain->getBandgap() / 2.0 * trapFactor, 1e-9);
}

TEST_F(StructureTest, DeviceWithoutLayersIsRefused)
{
    build(nuParam::MESH_EXACT, 100);
    EXPECT_EQ(lastMessage(), L"[ERROR]   invalid device parameters (grid and number of layers)\n");
    EXPECT_EQ(sim.getMesh().mat.Eg, nullptr);
    EXPECT_EQ(sim.getMesh().sol.z, nullptr);
}

TEST_F(StructureTest, ModelScriptFileMustHoldTenBytesOrMore)
{
    ekLayer* L = addLayer(L"Si", 1.0, 0x10, 1e16, 60);
    // Nine bytes: not a script.
    ASSERT_TRUE(L->updateDopingScript(writeFile("nine.lua", "-- 9 byte").c_str(), true));
    build(nuParam::MESH_LAYER, 1000);
    const std::wstring message = lastMessage();
    EXPECT_EQ(message.rfind(L"[ERROR]   doping model file not found: ", 0), 0u) << message;
    EXPECT_NE(message.find(L"nine.lua in [Layer"), std::wstring::npos) << message;
    EXPECT_EQ(sim.getMesh().mat.Eg, nullptr);

    sigma.reset();
    const char* script =
        "function kov_doping(z, t) return 0, 2e16, 1e19, 1e-7, 1e-7, 0, 1, 0 end\n";
    ASSERT_TRUE(L->updateDopingScript(writeFile("doping.lua", script).c_str(), true));
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK()) << std::string(lastMessage().begin(), lastMessage().end());
    EXPECT_NEAR(sim.getMesh().mat.dopantN[30] * 1e15, 2e16 / (1 + 2e16 / 1e19) * (1 + 2e16 / 1e19),
                1.0);
}

TEST_F(StructureTest, GradedBandgapScriptGradesTheGap)
{
    addLayer(L"Si", 0.4, 0x20, 1e16, 50);
    ekLayer* graded = addLayer(L"GaAs", 1.0, 0x10, 1e17, 100);
    const std::wstring script =
        std::filesystem::path(KOVRA_SOURCE_DIR "/engine/simulator/tests/lua/graded_bandgap.lua")
            .wstring();
    ASSERT_TRUE(graded->updateBandgapScript(script.c_str(), true));
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK()) << std::string(lastMessage().begin(), lastMessage().end());
    EXPECT_TRUE(graded->isBandgapScriptGraded());
    ASSERT_TRUE(sim.saveInput());
    const auto rows = inputRows();
    const double Vt = sim.getNorm().Vt;
    const ekMaterialArrays& m = sim.getMesh().mat;
    for (int i = 51; i < sim.getPoints(); ++i) {
        const double zin = rows[i][0] - 0.4;
        // graded_bandgap.lua: Eg = 1.42 + 0.3 z / thickness.
        EXPECT_NEAR(rows[i][1], 1.42 + 0.3 * zin, 1e-9) << i;
        // The absorption edge moves with the local gap.
        EXPECT_NEAR(m.absorptionEdge[i] - m.Eg[i], m.absorptionEdge[51] - m.Eg[51], 1e-9 / Vt);
    }
    EXPECT_NEAR(rows[0][1], device.getLayer(0)->getBandgap(), 1e-12);
}

TEST_F(StructureTest, GenerationFollowsBeerLambert)
{
    ekLayer* L = addLayer(L"GaAs", 2.0, 0x10, 1e17, 2000);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    // GaAs, direct gap, constant index: k = k0 sqrt(x) 2 Eg/E, x = (E - Eg)/Eg.
    const double lambda = 0.6;
    const double E = 1.239842 / lambda;
    const double Eg = L->getBandgap();
    const double k = L->getIndexk() * std::sqrt((E - Eg) / Eg) * 2.0 * Eg / E;
    const double alpha = 4.0 * M_PI * k / lambda;  // 1/um
    const double F0 = 3.0;                         // normalised flux
    const double out = sim.generationProfile(lambda, -1, F0);
    const ekMaterialArrays& m = sim.getMesh().mat;
    for (int i = 0; i < sim.getPoints(); i += 97) {
        const double expected = boxGeneration(sim, i, alpha, F0);
        EXPECT_NEAR(m.Gop[i], expected, 1e-9 * expected) << i;
        EXPECT_NEAR(m.photonFlux[i], F0 * std::exp(-alpha * z(i)), 1e-9 * F0);
        // Close to the point value alpha F(z) on a fine mesh.
        EXPECT_NEAR(m.Gop[i], alpha * sim.getNorm().length * m.photonFlux[i], 1e-3 * expected);
    }
    EXPECT_NEAR(out, F0 * std::exp(-alpha * 2.0), 1e-9 * F0);
    // The generation summed over the control boxes is the absorbed flux.
    double sum = 0.0;
    for (int i = 0; i < sim.getPoints(); ++i) {
        sum += m.Gop[i] * sim.getMesh().controlWidth(i);
    }
    EXPECT_NEAR(sum, F0 - out, 1e-12 * F0);
}

TEST_F(StructureTest, GenerationIsConservedAcrossANonUniformMesh)
{
    addLayer(L"GaAs", 0.2, 0x20, 1e17, 500);
    addLayer(L"InP", 1.8, 0x10, 1e17, 500);
    build(nuParam::MESH_UNIFORM, 2000);
    ASSERT_TRUE(sigma.isOK());
    const double F0 = 1.0;
    const double out = sim.generationProfile(0.55, -1, F0);
    double sum = 0.0;
    for (int i = 0; i < sim.getPoints(); ++i) {
        sum += sim.getMesh().mat.Gop[i] * sim.getMesh().controlWidth(i);
    }
    EXPECT_GT(F0 - out, 0.5);
    EXPECT_NEAR(sum, F0 - out, 1e-12);
}

TEST_F(StructureTest, MonochromaticLightFillsTheGenerationAtInit)
{
    addLayer(L"GaAs", 1.0, 0x10, 1e17, 200);
    sim.setLightState(0x10, 0.6, 2.0, 2.0);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_GT(sim.getMesh().mat.Gop[0], 0.0);
    EXPECT_NEAR(sim.getMesh().mat.photonFlux[0], 2.0, 1e-12);
    // A quantum-efficiency sweep sets the generation per wavelength itself.
    sim.setLightState(0x11, 0.6, 2.0, 2.0);
    build(nuParam::MESH_LAYER, 1000);
    EXPECT_EQ(sim.getMesh().mat.Gop[0], 0.0);
}

// The light spectrum is installed by the light sources; here it is set by hand.
class SpectrumSimulator : public ekSimulator {
public:
    using ekSimulator::ekSimulator;
    void installSpectrum(nuSigma* sigma, const std::vector<double>& wavelengths,
                         const std::vector<double>& fluxes)
    {
        const int rows = static_cast<int>(wavelengths.size());
        SweepLight = new ElecSweep(sigma, 0x20, 6, rows, wavelengths.front(), wavelengths.back(),
                                   0.0, 0.0, 1.0, 0.0, nullptr, nullptr, nullptr, false);
        double total = 0.0;
        for (int r = 0; r < rows; ++r) {
            SweepLight->setData(0, r, wavelengths[r]);
            SweepLight->setData(1, r, fluxes[r]);
            SweepLight->setData(2, r, fluxes[r]);
            SweepLight->setData(3, r, fluxes[r]);
            total += fluxes[r];
        }
        setLightState(0x40, 0.53, total, total);
    }
};

TEST_F(StructureTest, SpectrumGenerationAddsTheWavelengthsAndKeepsTheSpectrum)
{
    SpectrumSimulator spectrum(&sigma, &param);
    ekLayer* L = addLayer(L"GaAs", 1.0, 0x10, 1e17, 400);
    // A tabulated index: k = 0.1 at every wavelength, so alpha = 4 pi 0.1 / lambda.
    std::string table = "# wavelength n k\n";
    for (double wl : {0.3, 0.5, 0.7, 0.9, 1.1, 1.3}) {
        char line[64];
        std::snprintf(line, sizeof line, "%.6f\t%.6f\t%.6f\n", wl, 3.5, 0.1);
        table += line;
    }
    ASSERT_TRUE(L->updateIndexFile(writeFile("gaas.nk", table).c_str(), true));
    const std::vector<double> wl = {0.4, 0.6, 0.8};
    const std::vector<double> flux = {1.0, 2.0, 0.5};
    spectrum.installSpectrum(&sigma, wl, flux);
    param.mesh = nuParam::MESH_LAYER;
    device.updateThickness();
    for (int pass = 0; pass < 2; ++pass) {  // a second set-up sees the same light
        spectrum.setDevice(&device, 1000);
        ASSERT_TRUE(sigma.isOK()) << std::string(lastMessage().begin(), lastMessage().end());
        const ekMaterialArrays& m = spectrum.getMesh().mat;
        for (int i = 0; i < spectrum.getPoints(); i += 37) {
            double expected = 0.0;
            for (size_t r = 0; r < wl.size(); ++r) {
                expected += boxGeneration(spectrum, i, 4 * M_PI * 0.1 / wl[r], flux[r]);
            }
            EXPECT_NEAR(m.Gop[i], expected, 1e-9 * expected) << pass << " " << i;
        }
        for (size_t r = 0; r < wl.size(); ++r) {
            EXPECT_DOUBLE_EQ(spectrum.getSweepLight()->getData(3, static_cast<int>(r)), flux[r]);
        }
    }
    EXPECT_TRUE(L->isIndexSpectrumAcquired());
}

TEST_F(StructureTest, PolarisationChargeSitsAtTheInterface)
{
    ekLayer* a = addLayer(L"GaN", 0.5, 0x10, 1e16, 100);
    ekLayer* b = addLayer(L"AlN", 0.5, 0x10, 1e16, 100);
    ASSERT_TRUE(device.setPolarizationScale(1.0));
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    auto Pi = [](const ekLayer* l, double aBelow, double aAbove) {
        const double s = ((aBelow + aAbove) / 2 - l->getLatticeA()) / l->getLatticeA();
        const double e =
            l->getLatticeE31() - l->getLatticeE33() * l->getLatticeC13() / l->getLatticeC33();
        return l->getPsp() + 2 * s * e;
    };
    const double aA = a->getLatticeA(), aB = b->getLatticeA();
    const double sheet = (Pi(b, aA, aB) - Pi(a, aA, aB)) / sim.getNorm().sheetCharge;
    ASSERT_GT(std::fabs(sheet), 1.0);
    const ekMaterialArrays& m = sim.getMesh().mat;
    const int iface = sim.getMesh().getInterfaceIndex(0);
    double total = 0.0;
    for (int i = 1; i < sim.getPoints() - 1; ++i) {
        total += m.polTotal[i] * sim.getMesh().controlWidth(i);
        if (i != iface) {
            EXPECT_EQ(m.polTotal[i], 0.0) << i;
        }
    }
    EXPECT_NEAR(total, sheet, 1e-12 * std::fabs(sheet));
    EXPECT_NEAR(m.polSpont[iface] + m.polPiezo[iface], sheet, 1e-12 * std::fabs(sheet));
    EXPECT_TRUE(sim.isPairedIndex(iface));
    EXPECT_FALSE(sim.isPairedIndex(0));
}

TEST_F(StructureTest, GradedLatticeScriptGivesAUniformBoundCharge)
{
    ekLayer* L = addLayer(L"GaN", 2.0, 0x10, 1e16, 200);
    const std::wstring script =
        std::filesystem::path(KOVRA_SOURCE_DIR "/engine/simulator/tests/lua/graded_lattice.lua")
            .wstring();
    ASSERT_TRUE(L->updateLatticeScript(script.c_str(), true));
    ASSERT_TRUE(device.setPolarizationScale(2.0));
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK()) << std::string(lastMessage().begin(), lastMessage().end());
    // graded_lattice.lua: dPsp/dz = 1e-6 per layer thickness, no strain.
    const ekNormalisation& s = sim.getNorm();
    const double expected = 2.0 * (1e-6 / 2.0) * s.length / s.sheetCharge;
    const ekMaterialArrays& m = sim.getMesh().mat;
    for (int i = 2; i < sim.getPoints() - 2; ++i) {
        EXPECT_NEAR(m.polTotal[i], expected, 1e-9 * expected) << i;
        EXPECT_NEAR(m.polPiezo[i], 0.0, 1e-12 * expected) << i;
    }
}

TEST_F(StructureTest, JunctionZoneIsTheAbruptJunctionDepletion)
{
    addLayer(L"Si", 1.0, 0x20, 1e17, 200);
    addLayer(L"Si", 1.0, 0x10, 1e17, 200);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    ASSERT_EQ(sim.getMesh().junctionCount, 2);
    const double L = sim.getNorm().length;
    const double Vbi =
        (sim.getMesh().getLayerVeq(1) - sim.getMesh().getLayerVeq(0)) * sim.getNorm().Vt;
    // W = sqrt(2 eps Vbi (1/Na + 1/Nd) / q) with the ionised densities.
    const double N = 1e23;  // 1/m3, nearly fully ionised at 1e17 cm-3 with E = 0
    const double eps = 8.854187e-12 * device.getLayer(0)->getEps();
    const double W = std::sqrt(2 * eps * Vbi * (2.0 / N) / 1.602176e-19) * 1e6;  // um
    EXPECT_NEAR(1.0 - sim.getMesh().getJunctionBound(0) * L, 1.2 * W / 2, 0.02 * W);
    EXPECT_NEAR(sim.getMesh().getJunctionBound(1) * L - 1.0, 1.2 * W / 2, 0.02 * W);
    EXPECT_NEAR(Vbi, 2 * 0.02585202874 * std::log(1e17 / 1.0e10), 0.1);
}

TEST_F(StructureTest, OneLayerHasOneJunctionBoundAtItsMiddle)
{
    addLayer(L"Si", 2.0, 0x20, 1e17, 100);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    EXPECT_EQ(sim.getMesh().interfaceCount, 0);
    ASSERT_EQ(sim.getMesh().junctionCount, 1);
    EXPECT_NEAR(sim.getMesh().getJunctionBound(0) * sim.getNorm().length, 1.0, 1e-12);
}

TEST_F(StructureTest, ContactsTakeTheirNormalisedValues)
{
    addLayer(L"Si", 1.0, 0x20, 1e17, 100);
    device.updateAnode(L"ContactX", 0.6, 1e5, 2e5, 0x11, false, device.getLayer(0), 0);
    build(nuParam::MESH_LAYER, 1000);
    ASSERT_TRUE(sigma.isOK());
    const ekContactState& a = sim.getMesh().anodeState;
    const ekNormalisation& s = sim.getNorm();
    EXPECT_FALSE(a.ohmic);
    EXPECT_NEAR(a.phi, 0.6 / s.Vt, 1e-12);
    EXPECT_NEAR(a.Sn, 1e5 / s.velocity, 1e-12);
    EXPECT_NEAR(a.Sp, 2e5 / s.velocity, 1e-12);
    const ekMaterialArrays& m = sim.getMesh().mat;
    // n at the node with V = ref equals NC.
    EXPECT_NEAR(ek_electronDensity(sim.getMesh(), a.ref, 0.0, 0), m.NC[0], 1e-9 * m.NC[0]);
    EXPECT_TRUE(sim.getMesh().cathodeState.ohmic);
}

}  // namespace
