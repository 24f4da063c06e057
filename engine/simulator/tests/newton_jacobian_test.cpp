// The Newton Jacobian against central finite differences of the residual,
// contact rows included, for every kind of contact: the whole derivative
// must lie in the band and every entry must be exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "biasFixture.h"
#include "ekBandMatrix.h"
#include "ekPointPhysics.h"

namespace {

enum class Contacts { OhmicDirichlet, OhmicNeumann, Schottky, SchottkyTunnel };

struct JacobianCase {
    const char* name;
    Contacts contacts;
    double bias;             // Vt
    bool polarised = false;  // a GaN/AlN interface: its point takes its neighbours' recombination
};

class NewtonJacobian : public BiasFixture, public ::testing::WithParamInterface<JacobianCase> {
protected:
    void SetUp() override
    {
        BiasFixture::SetUp();
        const JacobianCase& c = GetParam();
        ekLayer* p = c.polarised ? addLayer(L"GaN", 0.5, 0x20, 1e17, 30)
                                 : addLayer(L"Si", 0.5, 0x20, 1e17, 30);
        addLayer(c.polarised ? L"AlN" : L"Si", 0.5, 0x10, 1e16, 30);
        if (c.polarised) {
            ASSERT_TRUE(device.setPolarizationScale(1.0));
        }
        // A trap makes the charge depend on all three unknowns.
        ASSERT_NE(p->addTrap(L"T1", 0x20, 1e16, 1e19, 0.1, 0.0, 1e-8, 1e-8, 1.0, false), nullptr);
        const bool schottky =
            c.contacts == Contacts::Schottky || c.contacts == Contacts::SchottkyTunnel;
        const bool tunnel = c.contacts == Contacts::SchottkyTunnel;
        const uint8_t type = schottky ? ekContact::TYPE_SCHOTTKY : ekContact::TYPE_OHMIC;
        const double phi = tunnel ? 0.1 : 0.6;
        // Fast electron surface velocities make the tunnelling term weigh in
        // its row as much as the drift-diffusion flux.
        const double Sn = tunnel ? 100.0 : 1.0;
        ASSERT_TRUE(
            device.updateAnode(L"A", phi, 1e5 * Sn, 2e5, type, tunnel, device.getLayer(0), 0));
        ASSERT_TRUE(
            device.updateCathode(L"C", phi, 3e5 * Sn, 4e5, type, tunnel, device.getLayer(1), 1));
        const uint8_t boundary = c.contacts == Contacts::OhmicNeumann
                                     ? ekContact::BOUNDARY_NEUMANN
                                     : ekContact::BOUNDARY_DIRICHLET;
        device.getAnode()->setBoundary(boundary);
        device.getCathode()->setBoundary(boundary);
        build(nuParam::MESH_LAYER, 60);
        ASSERT_EQ(sigma.err, 0) << lastMessage();
        ASSERT_EQ(sim.isPairedIndex(30), c.polarised);
        if (schottky) {
            // The Schottky rows (and the tunnelling term) act on the excess
            // over the equilibrium densities: give them real ones.
            param.method = nuParam::METHOD_GUMMEL;
            param.dampMode = 0x50;
            sim.setEquilibrium();
            ASSERT_TRUE(sigma.isOK()) << lastMessage();
            ASSERT_LT(param.lastError, param.reltol);
            ASSERT_GT(sim.getMesh().sol.nEq[0], 0.0);
            ASSERT_GT(sim.getMesh().sol.nEq[sim.getPoints() - 1], 0.0);
        }
        sim.setAppliedVoltage(c.bias);
    }

    // Electron density ratio n / nEq given to the contact nodes of a
    // tunnelling device: away from equilibrium, yet with nEq of the same
    // size as n, so the term (on n - nEq) and its density share (on n)
    // clearly differ.
    static constexpr double ANODE_RATIO = 0.4;
    static constexpr double CATHODE_RATIO = 2.5;

    // A state away from any solution, with strong band bending at both
    // contacts (which the tunnelling term needs to be felt).
    std::vector<double> state() const
    {
        const int N = sim.getPoints();
        const double Va = GetParam().bias;
        std::vector<double> x(3 * N);
        for (int k = 0; k < N; ++k) {
            const double t = static_cast<double>(k) / (N - 1);
            x[3 * k] = (1 - t) * (sim.getMesh().getLayerVeq(0) + Va) +
                       t * sim.getMesh().getLayerVeq(1) + 0.3 * std::sin(k);
            x[3 * k + 1] = Va * (1 - t) + 0.1 * std::cos(1.3 * k);
            x[3 * k + 2] = Va * (1 - t) - 0.1 * std::sin(0.7 * k);
        }
        x[0] = x[3] + 40.0;
        x[3 * (N - 1)] = x[3 * (N - 2)] + 40.0;
        // Split quasi-Fermi levels around the junction: recombination (and
        // in a wide gap it takes a lot) must weigh in the continuity rows.
        const double split = GetParam().polarised ? 60.0 : 15.0;
        for (int k = 25; k < 36; ++k) {
            x[3 * k + 1] -= split;
            x[3 * k + 2] += split;
        }
        if (GetParam().contacts == Contacts::SchottkyTunnel) {
            // The cathode node below its neighbour: a barrier there and an
            // accumulation at the anode, so the term is checked on both
            // sides of its orientation.
            x[3 * (N - 1)] = x[3 * (N - 2)] - 40.0;
            const double* nEq = sim.getMesh().sol.nEq;
            for (auto [k, ratio] : {std::pair{0, ANODE_RATIO}, std::pair{N - 1, CATHODE_RATIO}}) {
                // n = c exp(V - Fn + tn): shifting Fn scales n.
                const double n = ek_electronDensity(sim.getMesh(), x[3 * k], x[3 * k + 1], k);
                x[3 * k + 1] += std::log(n / (ratio * nEq[k]));
            }
        }
        return x;
    }

    std::vector<double> residual(std::vector<double> x, ekBandMatrix* J = nullptr)
    {
        const int n = static_cast<int>(x.size());
        ekBandMatrix scratch(n, EK_NEWTON_KL, EK_NEWTON_KU);
        ekBandMatrix* target = J != nullptr ? J : &scratch;
        target->clear();
        std::vector<double> F(n), rhs(n);
        double norm = 0.0;
        sim.transportNewton(x.data(), F.data(), rhs.data(), nullptr, nullptr, nullptr, target,
                            nullptr, nullptr, n, &norm);
        for (int r = 0; r < n; ++r) {
            EXPECT_EQ(rhs[r], -F[r]);
        }
        return F;
    }
};

TEST_P(NewtonJacobian, MatchesCentralDifferencesEverywhere)
{
    const std::vector<double> x = state();
    const int n = static_cast<int>(x.size());
    ekBandMatrix J(n, EK_NEWTON_KL, EK_NEWTON_KU);
    residual(x, &J);
    ASSERT_FALSE(J.hadOutOfBandWrite());
    ASSERT_TRUE(J.isFinite());

    std::vector<double> rowScale(n, 0.0);
    for (int r = 0; r < n; ++r) {
        for (int c = std::max(0, r - 5); c <= std::min(n - 1, r + 5); ++c) {
            rowScale[r] = std::max(rowScale[r], std::fabs(J.get(r, c)));
        }
    }
    const double h = 1e-5;
    int checked = 0;
    for (int c = 0; c < n; ++c) {
        std::vector<double> xp = x, xm = x;
        xp[c] += h;
        xm[c] -= h;
        const std::vector<double> Fp = residual(xp);
        const std::vector<double> Fm = residual(xm);
        for (int r = 0; r < n; ++r) {
            const double fd = (Fp[r] - Fm[r]) / (2 * h);
            const double tol = 1e-6 * rowScale[r] + 1e-9;
            ASSERT_NEAR(J.get(r, c), fd, tol)
                << "row " << r << " (point " << r / 3 << ", equation " << r % 3 << ") column " << c;
            ++checked;
        }
    }
    EXPECT_EQ(checked, n * n);
}

TEST_P(NewtonJacobian, ContactRowsCarryTheirBoundary)
{
    const std::vector<double> x = state();
    const int n = static_cast<int>(x.size());
    const int N = n / 3;
    ekBandMatrix J(n, EK_NEWTON_KL, EK_NEWTON_KU);
    const std::vector<double> F = residual(x, &J);
    const double Va = GetParam().bias;
    switch (GetParam().contacts) {
    case Contacts::OhmicDirichlet:
        EXPECT_DOUBLE_EQ(F[0], x[0] - (sim.getMesh().anodeState.Veq + Va));
        EXPECT_DOUBLE_EQ(F[1], x[1] - Va);
        EXPECT_DOUBLE_EQ(F[3 * N - 1], x[3 * N - 1]);
        break;
    case Contacts::OhmicNeumann:
        // The bias enters only through the quasi-Fermi potentials.
        EXPECT_DOUBLE_EQ(F[0], x[0] - x[3]);
        EXPECT_DOUBLE_EQ(F[3 * N - 3], x[3 * N - 3] - x[3 * N - 6]);
        EXPECT_DOUBLE_EQ(F[2], x[2] - Va);
        break;
    case Contacts::Schottky:
    case Contacts::SchottkyTunnel:
        EXPECT_DOUBLE_EQ(F[0], x[0] - sim.schottkyBoundaryPotential(0));
        EXPECT_DOUBLE_EQ(F[3 * N - 3], x[3 * N - 3] - sim.schottkyBoundaryPotential(1));
        // Off-diagonal entries of the flux rows are kept.
        EXPECT_NE(J.get(1, 3), 0.0);
        EXPECT_NE(J.get(3 * N - 2, 3 * N - 5), 0.0);
        break;
    }
}

// On the tunnelling device the state puts each contact node off its
// equilibrium density by a known ratio, and the term is strong enough that
// a density share misplaced in the Jacobian (or one taken as the term
// itself) would stand far above the tolerance of the difference check.
TEST_P(NewtonJacobian, TunnellingContactsAreAwayFromEquilibrium)
{
    if (GetParam().contacts != Contacts::SchottkyTunnel) {
        EXPECT_FALSE(sim.getMesh().anodeState.tunnel);
        EXPECT_FALSE(sim.getMesh().cathodeState.tunnel);
        return;
    }
    const std::vector<double> x = state();
    const int n = static_cast<int>(x.size());
    const int N = n / 3;
    ekBandMatrix J(n, EK_NEWTON_KL, EK_NEWTON_KU);
    residual(x, &J);
    const double* nEq = sim.getMesh().sol.nEq;
    struct Side {
        int side, k, kn;
        double ratio;
        const ekLayer* layer;
    };
    for (const Side& c : {Side{0, 0, 1, ANODE_RATIO, device.getFirstLayer()},
                          Side{1, N - 1, N - 2, CATHODE_RATIO, device.getLastLayer()}}) {
        const double nk = ek_electronDensity(sim.getMesh(), x[3 * c.k], x[3 * c.k + 1], c.k);
        EXPECT_NEAR(nk / nEq[c.k], c.ratio, 1e-9 * c.ratio) << "side " << c.side;
        // The term as both contact rows call it: contact node first. Its
        // share through the density is minus its Fn derivative.
        const ekContactState& st =
            c.side == 0 ? sim.getMesh().anodeState : sim.getMesh().cathodeState;
        ASSERT_TRUE(st.tunnel);
        ASSERT_FALSE(st.ohmic);
        double dVk = 0, dVkn = 0, dF = 0;
        const double t =
            sim.tunnelCurrent(x[3 * c.k], x[3 * c.kn], nk, c.layer->getMe(), st.phi,
                              std::fabs(sim.getMesh().sol.z[c.kn] - sim.getMesh().sol.z[c.k]),
                              device.getT(), c.side, &dVk, &dVkn, &dF);
        const double density = -dF;
        // Accumulation at the anode, a barrier at the cathode.
        EXPECT_EQ(x[3 * c.kn] > x[3 * c.k], c.side == 1) << "side " << c.side;
        EXPECT_NEAR(t / density, 1.0 - 1.0 / c.ratio, 1e-9) << "side " << c.side;
        const int re = 3 * c.k + 1;
        double rowScale = 0.0;
        for (int col = std::max(0, re - 5); col <= std::min(n - 1, re + 5); ++col) {
            rowScale = std::max(rowScale, std::fabs(J.get(re, col)));
        }
        // The difference check allows 1e-6 of the row's largest entry.
        EXPECT_GT(std::fabs(density - t), 1e-4 * rowScale) << "side " << c.side;
        EXPECT_GT(std::fabs(density), 1e-4 * rowScale) << "side " << c.side;
    }
}

// The assembly writes every entry of the band itself: a band full of
// leftovers (the factors of the last step, say) must come out exactly as a
// cleared one.
TEST_P(NewtonJacobian, WritesTheWholeBandOverWhateverItHeld)
{
    const std::vector<double> x = state();
    const int n = static_cast<int>(x.size());
    ekBandMatrix cleared(n, EK_NEWTON_KL, EK_NEWTON_KU);
    ekBandMatrix dirty(n, EK_NEWTON_KL, EK_NEWTON_KU);
    const std::vector<double> F = residual(x, &cleared);
    std::fill(dirty.data(), dirty.data() + dirty.ldab() * n, std::nan(""));
    std::vector<double> F2(n), rhs(n);
    double norm = 0.0;
    sim.transportNewton(const_cast<double*>(x.data()), F2.data(), rhs.data(), nullptr, nullptr,
                        nullptr, &dirty, nullptr, nullptr, n, &norm);
    EXPECT_EQ(F2, F);
    for (int r = 0; r < n; ++r) {
        for (int c = std::max(0, r - EK_NEWTON_KL); c <= std::min(n - 1, r + EK_NEWTON_KU); ++c) {
            ASSERT_EQ(dirty.get(r, c), cleared.get(r, c)) << "row " << r << " column " << c;
        }
    }
}

// One walk over a point's centres gives its charge and its SRH rate: the
// same as the two laws taken apart, in either occupation, at every point
// of the state (traps, both dopants, an interface pair).
TEST_P(NewtonJacobian, OneWalkOverTheCentresGivesChargeAndRateAsApart)
{
    const std::vector<double> x = state();
    const ekMeshFields& f = sim.getMesh();
    auto near = [](double a, double b) {
        return std::fabs(a - b) <= 1e-13 * (std::fabs(b) + 1e-300);
    };
    for (ekOccupation mode : {ekOccupation::EQUILIBRIUM, ekOccupation::STEADY_STATE}) {
        for (int k = 0; k < sim.getPoints(); ++k) {
            const double n = ek_electronDensity(f, x[3 * k], x[3 * k + 1], k);
            const double p = ek_holeDensity(f, x[3 * k], x[3 * k + 2], k);
            ekTrappedCharge together, apart;
            const ekPointValue srh = ek_levelsAndSrh(f, k, n, p, mode, &together);
            ek_trappedCharge(f, k, n, p, mode, &apart);
            const ekPointValue alone = ek_srhRecombination(f, k, n, p);
            const double a[] = {together.Na,   together.Nd, together.Qa,  together.Qd,
                                together.Qpol, together.dV, together.dFn, together.dFp,
                                srh.value,     srh.dV,      srh.dFn,      srh.dFp};
            const double b[] = {apart.Na,  apart.Nd,  apart.Qa,    apart.Qd, apart.Qpol, apart.dV,
                                apart.dFn, apart.dFp, alone.value, alone.dV, alone.dFn,  alone.dFp};
            for (int q = 0; q < 12; ++q) {
                ASSERT_TRUE(near(a[q], b[q]))
                    << "point " << k << " quantity " << q << ": " << a[q] << " against " << b[q];
            }
        }
    }
    // The state does reach the levels: the trap of the p layer holds charge.
    ekTrappedCharge q;
    ek_trappedCharge(f, 5, ek_electronDensity(f, x[15], x[16], 5),
                     ek_holeDensity(f, x[15], x[17], 5), ekOccupation::STEADY_STATE, &q);
    EXPECT_GT(q.Qa, 0.0);
}

// Storing a whole solution takes each point and each edge once; it must
// leave every per-point quantity as storing it point by point does
// (transportSavePoint, which takes both edges of its point itself).
void expectWholeEqualsPointByPoint(ekSimulator& sim, const std::vector<double>& x)
{
    const int N = sim.getPoints();
    const ekMeshFields& f = sim.getMesh();
    const double* columns[] = {f.sol.V,  f.sol.Fn,   f.sol.Fp,  f.sol.n,   f.sol.p,    f.sol.EC,
                               f.sol.En, f.sol.Ep,   f.sol.Q,   f.sol.Jn,  f.sol.Jp,   f.sol.RD,
                               f.sol.RA, f.sol.RSRH, f.sol.Nax, f.sol.Ndx, f.sol.Ntax, f.sol.Ntdx};
    sim.transportSaveNewton(const_cast<double*>(x.data()), 0);
    std::vector<std::vector<double>> whole;
    for (const double* c : columns) {
        whole.emplace_back(c, c + N);
    }
    ASSERT_NE(sim.getMeanCurrent(), 0.0);
    int state = -1;
    for (int k = 0; k < N; ++k) {
        const int l = 3 * (k > 0 ? k - 1 : k);
        const int r = 3 * (k < N - 1 ? k + 1 : k);
        const int c = 3 * k;
        sim.transportSavePoint(k, &state, k > 0 ? x[l] : 0.0, x[c], x[r], k > 0 ? x[l + 1] : 0.0,
                               x[c + 1], x[r + 1], k > 0 ? x[l + 2] : 0.0, x[c + 2], x[r + 2],
                               nullptr, nullptr);
    }
    for (size_t q = 0; q < whole.size(); ++q) {
        for (int k = 0; k < N; ++k) {
            ASSERT_EQ(columns[q][k], whole[q][k]) << "quantity " << q << " point " << k;
        }
    }
}

TEST_P(NewtonJacobian, StoringAWholeSolutionEqualsStoringItPointByPoint)
{
    if (GetParam().polarised) {
        GTEST_SKIP() << "its equilibrium does not converge on this coarse mesh; "
                        "StoringASolutionWithAnInterfacePair stores a paired point";
    }
    if (GetParam().contacts != Contacts::Schottky &&
        GetParam().contacts != Contacts::SchottkyTunnel) {
        // A converged point lets a solution be stored: the equilibrium.
        param.method = nuParam::METHOD_GUMMEL;
        param.dampMode = 0x50;
        sim.setEquilibrium();
        ASSERT_TRUE(sigma.isOK()) << lastMessage();
        ASSERT_LT(param.lastError, param.reltol);
        sim.setAppliedVoltage(GetParam().bias);
    }
    expectWholeEqualsPointByPoint(sim, state());
}

// The same across an interface pair (a polarised Si/Si junction: no charge
// at its interface, but its interface point takes its neighbours' rates and
// quasi-Fermi potentials when stored), in the steady-state occupation.
TEST_F(BiasFixture, StoringASolutionWithAnInterfacePair)
{
    ekLayer* p = addLayer(L"Si", 0.5, 0x20, 1e17, 30);
    addLayer(L"Si", 0.5, 0x10, 1e16, 30);
    ASSERT_TRUE(device.setPolarizationScale(1.0));
    ASSERT_NE(p->addTrap(L"T1", 0x20, 1e16, 1e19, 0.1, 0.0, 1e-8, 1e-8, 1.0, false), nullptr);
    build(nuParam::MESH_LAYER, 60);
    ASSERT_EQ(sigma.err, 0) << lastMessage();
    ASSERT_TRUE(sim.isPairedIndex(30));
    param.method = nuParam::METHOD_GUMMEL;
    param.dampMode = 0x50;
    sim.setEquilibrium();
    ASSERT_LT(param.lastError, param.reltol) << lastMessage();
    sim.setAppliedVoltage(8.0);
    const int N = sim.getPoints();
    std::vector<double> x(3 * N);
    for (int k = 0; k < N; ++k) {
        x[3 * k] = sim.getMesh().sol.Veq[k] + 0.2 * std::sin(k);
        x[3 * k + 1] = 8.0 * (1.0 - k / (N - 1.0)) + 0.1 * std::cos(1.3 * k);
        x[3 * k + 2] = 8.0 * (1.0 - k / (N - 1.0)) - 0.1 * std::sin(0.7 * k);
    }
    expectWholeEqualsPointByPoint(sim, x);
    EXPECT_NE(sim.getMesh().sol.RSRH[30], 0.0);
}

const JacobianCase CASES[] = {
    {"OhmicDirichletForward", Contacts::OhmicDirichlet, 3.0},
    {"OhmicDirichletReverse", Contacts::OhmicDirichlet, -5.0},
    {"OhmicNeumann", Contacts::OhmicNeumann, 2.0},
    {"Schottky", Contacts::Schottky, 4.0},
    {"SchottkyTunnel", Contacts::SchottkyTunnel, 4.0},
    {"PolarisedHeterointerface", Contacts::OhmicDirichlet, 3.0, true},
};

INSTANTIATE_TEST_SUITE_P(Contacts, NewtonJacobian, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// The tunnelling term must actually be felt in the electron rows of the
// contacts, else the Jacobian check above would prove nothing about it.
TEST_F(BiasFixture, TunnellingChangesTheContactElectronRows)
{
    addLayer(L"Si", 0.5, 0x20, 1e17, 30);
    addLayer(L"Si", 0.5, 0x10, 1e16, 30);
    ASSERT_TRUE(device.updateAnode(L"A", 0.1, 1e5, 1e5, ekContact::TYPE_SCHOTTKY, false,
                                   device.getLayer(0), 0));
    ASSERT_TRUE(device.updateCathode(L"C", 0.1, 1e5, 1e5, ekContact::TYPE_SCHOTTKY, false,
                                     device.getLayer(1), 1));
    build(nuParam::MESH_LAYER, 60);
    const int N = sim.getPoints();
    std::vector<double> x(3 * N, 0.0);
    for (int k = 0; k < N; ++k) {
        x[3 * k] = 10.0 * k / (N - 1);
    }
    x[0] = x[3] + 40.0;
    x[3 * (N - 1)] = x[3 * (N - 2)] + 40.0;
    auto rows = [&]() {
        ekBandMatrix J(3 * N, EK_NEWTON_KL, EK_NEWTON_KU);
        std::vector<double> F(3 * N), rhs(3 * N);
        sim.transportNewton(x.data(), F.data(), rhs.data(), nullptr, nullptr, nullptr, &J, nullptr,
                            nullptr, 3 * N, nullptr);
        return std::vector<double>{F[1], F[3 * N - 2]};
    };
    const std::vector<double> plain = rows();
    device.getAnode()->setTunnel(true);
    device.getCathode()->setTunnel(true);
    build(nuParam::MESH_LAYER, 60);
    const std::vector<double> tunnel = rows();
    EXPECT_GT(std::fabs(tunnel[0] - plain[0]), 1e-6 * std::fabs(plain[0]) + 1e-12);
    EXPECT_GT(std::fabs(tunnel[1] - plain[1]), 1e-6 * std::fabs(plain[1]) + 1e-12);
}

}  // namespace
