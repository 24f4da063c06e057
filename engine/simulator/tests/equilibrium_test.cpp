// The equilibrium solution against the closed forms of a junction at rest:
// built-in potential, mass action, no current, a flat Fermi level, and the
// metal's Fermi level at a Schottky contact.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "caseName.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"

namespace {

// Scharfetter-Gummel fluxes at rest must vanish: each edge's two terms
// cancel. Returns the largest |J| relative to the size of its terms.
double largestRelativeFlux(const ekSimulator& sim, bool electrons)
{
    const ekMaterialArrays& m = sim.getMesh().mat;
    const ekSolutionArrays& s = sim.getMesh().sol;
    double worst = 0.0;
    for (int j = 0; j + 1 < sim.getPoints(); ++j) {
        const int k = j + 1;
        const double d = electrons ? (s.V[k] + m.offN[k]) - (s.V[j] + m.offN[j])
                                   : (s.V[k] - m.offP[k]) - (s.V[j] - m.offP[j]);
        const double a = electrons ? s.n[k] * ekSimulator::bernoulli(d, nullptr)
                                   : s.p[j] * ekSimulator::bernoulli(d, nullptr);
        const double b = electrons ? s.n[j] * ekSimulator::bernoulli(-d, nullptr)
                                   : s.p[k] * ekSimulator::bernoulli(-d, nullptr);
        worst = std::max(worst, std::fabs(a - b) / std::max(std::fabs(a), std::fabs(b)));
    }
    return worst;
}

// Near the junction the steps resolve the Debye length of the heavier
// doping (an n layer of fine steps next to the junction where the p side is
// heavy), so the discrete junction is as sharp as the real one.
struct JunctionCase {
    double Na;
    double Nd;
    std::vector<LayerSpec> layers;
};

void PrintTo(const JunctionCase& c, std::ostream* os)
{
    *os << "Na " << c.Na << " Nd " << c.Nd << ", " << c.layers.size() << " layers";
}

class JunctionAtRest : public ::testing::TestWithParam<JunctionCase> {};

TEST_P(JunctionAtRest, BuiltInPotentialMassActionAndNoCurrent)
{
    const JunctionCase c = GetParam();
    SimulatorDevice d;
    ASSERT_TRUE(d.build(c.layers)) << d.sigma.message;
    const int iters = d.solveEquilibrium();
    ASSERT_GE(iters, 0);
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    ASSERT_TRUE(d.sim->isConvergenceAchieved());

    const ekSimulator& sim = *d.sim;
    const ekMaterialArrays& m = sim.getMesh().mat;
    const ekSolutionArrays& s = sim.getMesh().sol;
    const int N = sim.getPoints();

    // Built-in potential from the ionised densities of the two bulks.
    const double Na = s.Nax[0];
    const double Nd = s.Ndx[N - 1];
    EXPECT_GT(Na, 0.3 * c.Na / 1e15);
    EXPECT_GT(Nd, 0.3 * c.Nd / 1e15);
    const double ni = m.ni[0];
    const double expected = std::log(Na * Nd / (ni * ni));
    const double span = s.V[N - 1] - s.V[0];
    EXPECT_NEAR(span, expected, 0.01 * expected);

    // First integral of Poisson's equation over the n side (eps V'' = n -
    // p - Nd, normalised): eps E^2 / 2 = Nd (Vn - V) - (nn - n) - (pn - p)
    // with the bulk values nn, pn, Vn. It holds at every point, Debye tails
    // of both carriers included, so it checks the charge and the field.
    const double Vn = s.V[N - 1];
    const double nn = s.n[N - 1];
    const double pn = s.p[N - 1];
    double largest = 0.0;
    std::vector<std::pair<double, double>> fields;  // numeric, closed form (squared)
    for (int j = N / 2; j + 1 < N; ++j) {
        if (m.dopantKind[j] != 0x10 || m.dopantKind[j - 1] != 0x10) {
            continue;
        }
        const double E = (s.V[j + 1] - s.V[j]) / (s.z[j + 1] - s.z[j]);
        const double V = 0.5 * (s.V[j] + s.V[j + 1]);
        const double n = nn * std::exp(V - Vn);
        const double p = pn * std::exp(Vn - V);
        const double closed = 2.0 / m.Eps[j] * (Nd * (Vn - V) - (nn - n) - (pn - p));
        fields.emplace_back(E * E, closed);
        largest = std::max(largest, closed);
    }
    ASSERT_GT(largest, 1.0);
    for (const auto& [numeric, closed] : fields) {
        EXPECT_NEAR(numeric, closed, 0.005 * largest);
    }

    for (int i = 0; i < N; ++i) {
        EXPECT_NEAR(s.n[i] * s.p[i] / (m.ni[i] * m.ni[i]), 1.0, 1e-6) << "point " << i;
        EXPECT_EQ(s.Fn[i], 0.0);
        EXPECT_EQ(s.Fp[i], 0.0);
    }
    EXPECT_LT(largestRelativeFlux(sim, true), 1e-9);
    EXPECT_LT(largestRelativeFlux(sim, false), 1e-9);
    // The contacts remember the converged boundary potentials.
    EXPECT_DOUBLE_EQ(sim.getMesh().anodeState.Veq, s.V[0]);
    EXPECT_DOUBLE_EQ(sim.getMesh().cathodeState.Veq, s.V[N - 1]);
}

INSTANTIATE_TEST_SUITE_P(Silicon, JunctionAtRest,
                         ::testing::Values(JunctionCase{1e16, 1e16, siliconJunction(1e16, 1e16)},
                                           JunctionCase{1e18,
                                                        1e16,
                                                        {{L"Si", 0x20, 1e18, 0.2, 200},
                                                         {L"Si", 0x10, 1e16, 0.1, 100},
                                                         {L"Si", 0x10, 1e16, 2.0, 200}}}),
                         NamedByPrint());

TEST(EquilibriumHeterojunction, FermiLevelStaysFlat)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build({{L"GaAs", 0x20, 1e17, 1.0, 200}, {L"AlAs", 0x10, 1e17, 1.0, 200}}))
        << d.sigma.message;
    ASSERT_TRUE(d.device->isHeterostructure());
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;

    const ekSimulator& sim = *d.sim;
    const ekMaterialArrays& m = sim.getMesh().mat;
    const ekSolutionArrays& s = sim.getMesh().sol;
    for (int i = 0; i < sim.getPoints(); ++i) {
        EXPECT_EQ(s.Fn[i], 0.0);
        EXPECT_EQ(s.Fp[i], 0.0);
        // With the Fermi level at 0 the band edges give the densities.
        EXPECT_NEAR(s.n[i] / (m.NC[i] * std::exp(-s.EC[i])), 1.0, 1e-9) << "point " << i;
        EXPECT_NEAR(s.p[i] / (m.NV[i] * std::exp(s.EV[i])), 1.0, 1e-9) << "point " << i;
        EXPECT_NEAR(s.EC[i] - s.EV[i], m.Eg[i], 1e-9);
    }
    EXPECT_LT(largestRelativeFlux(sim, true), 1e-9);
    EXPECT_LT(largestRelativeFlux(sim, false), 1e-9);
}

// The starting profile lies within a few thermal voltages of the solution
// everywhere, junctions and band offsets included, so the solve needs only
// the steps the nonlinearity asks for. A straight line across an
// asymmetric junction misses by ten, a flat start across a heterojunction
// by the whole built-in potential; each step of the damped solve gains
// less than one.
struct StartCase {
    const char* name;
    std::vector<LayerSpec> layers;
};

class StartingProfile : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartingProfile, LiesNearTheSolution)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(GetParam().layers)) << d.sigma.message;
    const int N = d.sim->getPoints();
    std::vector<double> V(N), Fn(N), Fp(N), V0(N), Fn0(N), Fp0(N);
    d.sim->poissonInit(V.data(), Fn.data(), Fp.data(), V0.data(), Fn0.data(), Fp0.data(), 0.0);
    ASSERT_TRUE(d.sigma.isOK());
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const double* solved = d.sim->getMesh().sol.V;
    double largest = 0.0, span = 0.0;
    for (int i = 0; i < N; ++i) {
        largest = std::max(largest, std::fabs(V[i] - solved[i]));
        span = std::max(span, std::fabs(solved[i] - solved[0]));
    }
    EXPECT_GT(span, 20.0);  // a junction of many thermal voltages
    EXPECT_LT(largest, 4.0);
}

INSTANTIATE_TEST_SUITE_P(
    Junctions, StartingProfile,
    ::testing::Values(
        StartCase{"asymmetric", {{L"Si", 0x20, 1e17, 1.0, 300}, {L"Si", 0x10, 1e16, 2.0, 500}}},
        StartCase{"heavy_n", {{L"Si", 0x20, 1e15, 3.0, 300}, {L"Si", 0x10, 1e18, 0.5, 300}}},
        StartCase{"hetero", {{L"GaAs", 0x20, 1e17, 1.0, 200}, {L"AlAs", 0x10, 1e17, 1.0, 200}}}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

// The potential at a Schottky contact is set by the barrier from the
// conduction band whether the node is n- or p-type: n = NC exp(-phi).
struct SchottkyCase {
    uint8_t anodeType;
    double phi;
};

void PrintTo(const SchottkyCase& c, std::ostream* os)
{
    *os << (c.anodeType == 0x10 ? "n-type" : "p-type") << " anode, barrier " << c.phi << " eV";
}

class SchottkyContact : public ::testing::TestWithParam<SchottkyCase> {};

TEST_P(SchottkyContact, ContactPotentialFollowsTheBarrier)
{
    const SchottkyCase c = GetParam();
    const uint8_t cathodeType = c.anodeType == 0x10 ? 0x20 : 0x10;
    SimulatorDevice d;
    ContactSpec anode;
    anode.type = ekContact::TYPE_SCHOTTKY;
    anode.phi = c.phi;
    ASSERT_TRUE(d.build(
        {{L"Si", c.anodeType, 1e16, 2.0, 200}, {L"Si", cathodeType, 1e16, 2.0, 200}}, anode))
        << d.sigma.message;
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;

    const ekSimulator& sim = *d.sim;
    const ekContactState& a = sim.getMesh().anodeState;
    ASSERT_FALSE(a.ohmic);
    const double Vt = sim.getNorm().Vt;
    EXPECT_NEAR(sim.schottkyBoundaryPotential(0), a.ref - c.phi / Vt, 1e-12);
    EXPECT_NEAR(sim.getMesh().sol.V[0], a.ref - c.phi / Vt, 1e-9);
    const double NC = sim.getMesh().mat.NC[0];
    EXPECT_NEAR(sim.getMesh().sol.n[0] / (NC * std::exp(-c.phi / Vt)), 1.0, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(DonorAndAcceptor, SchottkyContact,
                         ::testing::Values(SchottkyCase{0x10, 0.6}, SchottkyCase{0x20, 0.6},
                                           SchottkyCase{0x20, 0.3}),
                         NamedByPrint());

// Reaches the simulator's contact state without pretending the object is
// of another class.
struct ContactAccess : ekSimulator {
    static ekContactState& anode(ekSimulator* sim)
    {
        return (sim->*(&ContactAccess::mesh)).anodeState;
    }
};

struct SolverAccess : ekSimulator {
    static void clearEquilibrium(ekSimulator* sim) { sim->*(&SolverAccess::equilibriumSolved) = 0; }
};

TEST(SchottkyContactOhmic, BarrierBelowThresholdTurnsOhmicForGood)
{
    // p-type node: a barrier at the bandgap leaves the holes none.
    SimulatorDevice d;
    ContactSpec anode;
    anode.type = ekContact::TYPE_SCHOTTKY;
    anode.phi = 1.2;
    ASSERT_TRUE(d.build(siliconJunction(1e16, 1e16, 100, 1.0), anode));
    ASSERT_FALSE(d.sim->getMesh().anodeState.ohmic);
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    EXPECT_TRUE(d.sim->getMesh().anodeState.ohmic);

    // n-type node: a barrier of 0.005 Vt turns ohmic, 0.5 Vt does not.
    SimulatorDevice n;
    ASSERT_TRUE(n.build({{L"Si", 0x10, 1e16, 1.0, 100}, {L"Si", 0x10, 1e16, 1.0, 100}}));
    ekContactState& state = ContactAccess::anode(n.sim.get());
    state.ohmic = false;
    state.phi = 0.5;
    EXPECT_FALSE(n.sim->updateContactOhmic(0));
    state.phi = 0.005;
    EXPECT_TRUE(n.sim->updateContactOhmic(0));
    state.phi = 0.5;
    EXPECT_TRUE(n.sim->updateContactOhmic(0));  // stays ohmic for the run
}

TEST(EquilibriumSave, WritesTheEquilibriumDistribution)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e16, 1e16, 100, 1.0)));
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const std::filesystem::path file(d.sim->getFilenameEE());
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.parent_path(), d.folder);
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "# Kovra <EE>");
    int rows = 0;
    while (std::getline(in, line)) {
        rows += !line.empty() && line[0] != '#';
    }
    EXPECT_EQ(rows, d.sim->getPoints());
    EXPECT_EQ(d.sim->getMeanCurrent(), 0.0);
}

TEST(EquilibriumSave, FailedSolveKeepsTheEarlierEquilibrium)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 100, 1.0)));
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    const ekSolutionArrays& s = d.sim->getMesh().sol;
    const int N = d.sim->getPoints();
    const std::vector<double> Veq(s.Veq, s.Veq + N);
    const std::filesystem::path file(d.sim->getFilenameEE());
    std::filesystem::remove(file);

    // A point converged since, but not an equilibrium: the next solve
    // starts from the layer profile, where one iteration per pass cannot
    // converge.
    SolverAccess::clearEquilibrium(d.sim.get());
    d.param.maxiter = 1;
    d.sigma.reset();
    d.solveEquilibrium();
    EXPECT_FALSE(d.converged());
    EXPECT_EQ(d.sim->getConvergedCount(), 1);
    EXPECT_EQ(std::vector<double>(s.Veq, s.Veq + N), Veq);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(EquilibriumMesh, CoarseMeshGrowsBeforeTheWorkArraysAreSized)
{
    // A uniform mesh of 50 points cannot resolve a 50 nm layer: the solve
    // grows it first and then works on arrays of the grown size.
    SimulatorDevice d;
    ASSERT_TRUE(d.build({{L"Si", 0x20, 1e16, 2.0, 25}, {L"Si", 0x10, 1e16, 0.05, 25}}));
    d.param.mesh = nuParam::MESH_UNIFORM;
    d.sim->setDevice(d.device.get(), 50);
    ASSERT_TRUE(d.sim->isCoarseMesh());
    d.param.method = nuParam::METHOD_GUMMEL;
    EXPECT_GE(d.sim->solvePoisson(), 0);
    EXPECT_FALSE(d.sim->isCoarseMesh());
    EXPECT_GT(d.sim->getPoints(), 50);
    EXPECT_TRUE(d.converged()) << d.sigma.message;
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

TEST(EquilibriumReport, VerboseAndDebugLines)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e16, 1e16, 100, 1.0)));
    d.keepLog(nuSigma::OUTPUT_VERBOSE);
    d.solveEquilibrium();
    ASSERT_TRUE(d.converged()) << d.sigma.message;
    std::string log = d.log();
    EXPECT_TRUE(contains(log, "[INFO]    starting simulation at equilibrium...\n"));
    EXPECT_TRUE(contains(log, "[INFO]    simulation at equilibrium done: duration: "));
    EXPECT_FALSE(contains(log, "[DEBUG]"));

    SimulatorDevice g;
    ASSERT_TRUE(g.build(siliconJunction(1e16, 1e16, 100, 1.0)));
    g.keepLog(0);
    g.sigma.debug = true;
    g.solveEquilibrium();
    ASSERT_TRUE(g.converged()) << g.sigma.message;
    log = g.log();
    EXPECT_TRUE(contains(log, "[DEBUG]   Poisson solver successfully converged: boundary: Neumann"
                              "   system solver: banded LU   iters: "));
    EXPECT_TRUE(
        contains(log, "[INFO]    simulation at equilibrium done: system solver: banded LU"));
    EXPECT_TRUE(contains(log, " sec.   damp: 1   relerr: "));
    EXPECT_TRUE(contains(log, "[DEBUG]   linear solver options: -maxiter 100 -tol 1e-06 -i tfqmr "
                              "-p ilu -ilu_fill 0\n"));
    // Debug mode also writes the start, the mesh and the profiles.
    for (const char* name : {"simulout_mesh.txt", "simulout_initialguess.txt",
                             "simulout_potentialeqm.txt", "simulout_charge.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(g.folder / name)) << name;
    }
}

TEST(EquilibriumReport, NoConvergenceIsAnError)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 100, 1.0)));
    d.keepLog(0);
    d.param.maxiter = 1;
    EXPECT_GE(d.solveEquilibrium(), 0);
    EXPECT_EQ(d.sigma.err, 1);
    EXPECT_TRUE(contains(d.log(),
                         "[ERROR]   Poisson convergence not achieved at equilibrium (0 V): "
                         "the smallest relative error it reached was "));
    EXPECT_FALSE(d.sim->isConvergenceAchieved());
    EXPECT_EQ(d.sim->getFilenameEE()[0], L'\0');
    // The relaxation served this solve only.
    EXPECT_EQ(d.param.reltol, 1e-6);
    EXPECT_EQ(d.param.damp, 1.0);
}

TEST(EquilibriumReport, StopRequestEndsTheSolve)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 100, 1.0)));
    d.keepLog(0);
    const std::filesystem::path comm = d.folder / "simulcomm.txt";
    std::ofstream(comm) << "Stop\n";
    comm.wstring().copy(d.sigma.commFilename, nuSigma::PATH_SIZE - 1);
    d.solveEquilibrium();
    EXPECT_TRUE(d.sim->isStopped());
    EXPECT_TRUE(contains(d.log(), "[INFO]    simulation at equilibrium stopped by the user\n"));
    EXPECT_FALSE(d.sim->isConvergenceAchieved());
    EXPECT_EQ(d.sim->getFilenameEE()[0], L'\0');
}

// Charge-neutral potential of a layer: densities in 1/cm3 in, normalised
// (N0 = 1e15) densities and potential (Vt) out.
TEST(LayerNeutralPotential, ClosedFormsAndEdgeCases)
{
    nuSigma sigma;
    nuParam param;
    ekSimulator sim(&sigma, &param);
    const double Vt = sim.getNorm().Vt;
    const double ni = 1e-5, NC = 2.8e4, NV = 1.04e4;  // normalised
    struct Case {
        const char* what;
        double N;
        double E;  // eV
        uint8_t kind;
        double potential;  // expected, Vt
    };
    // Shallow levels under bands of huge density are fully ionised:
    // potential ln(N/ni).
    const Case cases[] = {
        {"donor", 1e16, 1e-9, 0x10, std::log(10.0 / ni)},
        {"acceptor", 1e16, 1e-9, 0x20, -std::log(10.0 / ni)},
        {"undoped counts as a donor of 1e10", 1e7, 1e-9, 0x00,
         std::log(1e-5 / ni * 1.618033988749895)},
        {"1e6 exactly is no doping", 1e6, 1e-9, 0x10, 0.0},
    };
    for (const Case& c : cases) {
        double ionA = -1, ionD = -1, fracA = -1, fracD = -1, majority = -1, potential = -1;
        EXPECT_TRUE(sim.initVeq(nullptr, c.N, 1e22, c.E, c.kind, 0.1, ni, 1e12, 1e12, 1.0, 1.0,
                                &ionA, &ionD, &fracA, &fracD, &majority, &potential));
        EXPECT_NEAR(potential, c.potential, 1e-6 * (1.0 + std::fabs(c.potential))) << c.what;
    }
    // A deep donor is ionised in part: the fraction x solves
    // x (1 + F N x exp(E/Vt)/NC) = 1.
    double ionA, ionD, fracA, fracD, majority, potential;
    sim.initVeq(nullptr, 1e18, 1e22, 0.05, 0x10, 0.1, ni, NC, NV, 2.0, 2.0, &ionA, &ionD, &fracA,
                &fracD, &majority, &potential);
    const double g = 2.0 * std::exp(0.05 / Vt) / NC;
    EXPECT_EQ(fracA, 0.0);
    EXPECT_LT(fracD, 0.9);
    EXPECT_NEAR(fracD * (1.0 + g * 1000.0 * fracD), 1.0, 1e-12);
    EXPECT_NEAR(ionD, g, 1e-12 * g);
    EXPECT_NEAR(majority, fracD * 1000.0, 1e-9);
    EXPECT_NEAR(potential, std::log(majority / ni), 1e-9);
}

TEST(EquilibriumRefusals, BiasOrBrokenDeviceIsRefused)
{
    SimulatorDevice d;
    ASSERT_TRUE(d.build(siliconJunction(1e16, 1e16, 100, 1.0)));
    d.sim->setAppliedVoltage(1.0);
    EXPECT_EQ(d.sim->solvePoisson(), -1);
    EXPECT_NE(std::wstring(d.sigma.message).find(L"only the equilibrium case"), std::wstring::npos);

    // setEquilibrium clears the bias itself.
    d.sigma.reset();
    EXPECT_GE(d.solveEquilibrium(), 0);
    EXPECT_TRUE(d.converged()) << d.sigma.message;
}

TEST(EquilibriumSolvers, DirectAndIterativeSolversAgree)
{
    std::vector<double> potentials[2];
    const uint8_t codes[2] = {0x10, 0x81};
    for (int k = 0; k < 2; ++k) {
        SimulatorDevice d;
        ASSERT_TRUE(d.build(siliconJunction(1e17, 1e16, 150, 1.0)));
        d.param.solver = codes[k];
        d.solveEquilibrium();
        ASSERT_TRUE(d.converged()) << d.sigma.message;
        const ekSolutionArrays& s = d.sim->getMesh().sol;
        potentials[k].assign(s.V, s.V + d.sim->getPoints());
    }
    ASSERT_EQ(potentials[0].size(), potentials[1].size());
    for (size_t i = 0; i < potentials[0].size(); ++i) {
        EXPECT_NEAR(potentials[0][i], potentials[1][i], 1e-5);
    }
}

}  // namespace
