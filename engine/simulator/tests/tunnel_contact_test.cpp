// Whole solves of a device with a tunnelling Schottky contact on heavily
// doped silicon, where the band bending at the contact is steep enough for
// a sizable share of the electrons to tunnel through the barrier. At 0 V
// the device is at rest: Newton and Gummel, started away from equilibrium,
// return to it and carry no current through any cross-section (detailed
// balance: the contact tunnels only the excess over the equilibrium
// density). Under forward bias the two methods give the same current, and
// tunnelling raises it: field emission is a path in parallel with
// thermionic emission, at the anode and, mirrored, at the cathode alike.
// The contact rows themselves show the same: behind a barrier the surface
// velocity S becomes S (1 + E) at either contact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "ElecSweep.h"
#include "ekBandMatrix.h"
#include "ekLocalModels.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"
#include "systemSolver.h"

namespace {

struct TunnelCase {
    const char* name;
    int side;        // the tunnelling Schottky contact: 0 anode, 1 cathode
    double forward;  // a forward bias of that contact (V)
};

void PrintTo(const TunnelCase& c, std::ostream* os) { *os << c.name; }

// The thin, finely meshed layer resolves the depletion region (a few nm at
// 3e19 cm-3) next to the Schottky contact. The layer mesh puts the point
// between two layers into the second one and the far end into the last, so
// the two stacks are mirror images of each other point for point (the two
// layers are the same silicon) with one point moved between the layers.
std::vector<LayerSpec> stack(int side)
{
    const double contact = 0.02, bulk = 0.2;  // um
    return side == 0 ? std::vector<LayerSpec>{{L"Si", 0x10, 3e19, contact, 80},
                                              {L"Si", 0x10, 3e19, bulk, 60}}
                     : std::vector<LayerSpec>{{L"Si", 0x10, 3e19, bulk, 59},
                                              {L"Si", 0x10, 3e19, contact, 81}};
}

// S (cm/s) small enough for the contact to limit the current.
ContactSpec schottkyContact(bool tunnel, double S = 1e3)
{
    ContactSpec c;
    c.type = ekContact::TYPE_SCHOTTKY;
    c.phi = 0.2;  // eV
    c.S = S;
    c.tunnel = tunnel;
    return c;
}

// Builds the device with the Schottky contact on side (0 anode, 1 cathode)
// and the other one ohmic, and solves its equilibrium.
::testing::AssertionResult buildAtRest(SimulatorDevice& d, int side, bool tunnel, double S = 1e3)
{
    const ContactSpec schottky = schottkyContact(tunnel, S);
    const ContactSpec ohmic;
    if (!d.build(stack(side), side == 0 ? schottky : ohmic, side == 0 ? ohmic : schottky)) {
        return ::testing::AssertionFailure() << "build refused";
    }
    d.solveEquilibrium();
    if (!d.converged()) {
        return ::testing::AssertionFailure() << "no equilibrium";
    }
    const ekContactState& st =
        side == 0 ? d.sim->getMesh().anodeState : d.sim->getMesh().cathodeState;
    if (st.ohmic || st.tunnel != tunnel) {
        return ::testing::AssertionFailure() << "the contact is not a (tunnelling) Schottky one";
    }
    return ::testing::AssertionSuccess();
}

// Current (A/cm2) of the device at bias v (V) by a one-point bias sweep
// with the given method (ramped from near 0 V).
double sweptCurrent(SimulatorDevice& d, double v, uint8_t method)
{
    d.param.method = method;
    d.sim->resetPrev();
    EXPECT_TRUE(d.sim->setBiasData(d.device.get(), v, v, 0.01, -1e6, 1e6, 0x10, nullptr));
    EXPECT_GT(d.sim->sweepBias(0.0, 0.0, nullptr, nullptr), 0) << d.sigma.message;
    const ElecSweep* sweep = d.sim->getSweepBias();
    const double Vt = d.sim->getNorm().Vt;
    for (int i = 0; i < sweep->getPoints(); ++i) {
        if ((sweep->getMask(i) & ElecSweep::MASK_COMPUTED) &&
            std::fabs(sweep->getData(0, i) * Vt - v) < 1e-9) {
            return sweep->getData(1, i) * d.sim->getNorm().current;
        }
    }
    ADD_FAILURE() << "no point at " << v << " V";
    return NAN;
}

class TunnelContact : public ::testing::TestWithParam<TunnelCase> {};

// At rest the band bends steeply at the contact: the barrier passes a
// sizable share of the electrons, so a term on the density itself (rather
// than its excess) would drive a current there.
TEST_P(TunnelContact, EquilibriumBandBendingTunnelsASizableShare)
{
    const TunnelCase c = GetParam();
    SimulatorDevice d;
    ASSERT_TRUE(buildAtRest(d, c.side, true)) << d.sigma.message;
    const ekSimulator& sim = *d.sim;
    const ekSolutionArrays& s = sim.getMesh().sol;
    const int N = sim.getPoints();
    const int k = c.side == 0 ? 0 : N - 1;
    const int kn = c.side == 0 ? 1 : N - 2;
    const ekContactState& st = c.side == 0 ? sim.getMesh().anodeState : sim.getMesh().cathodeState;
    const double a = std::fabs(s.V[kn] - s.V[k]);
    const double me = d.device->getLayer(c.side == 0 ? 0 : 1)->getMe();
    const double K = ek_tunnelExponent(sim.getNorm().length, std::fabs(s.z[kn] - s.z[k]), me,
                                       d.device->getT(), st.phi);
    const double E = std::exp(-K / a);
    EXPECT_GT(E, 0.03) << "a = " << a << ", K = " << K;
    EXPECT_LT(E, 0.1) << "a = " << a << ", K = " << K;
    // The contact node lies below its neighbour: a depleting barrier, which
    // the electrons can tunnel through.
    EXPECT_GT(s.V[kn], s.V[k]);
    // The term, called as both contact rows call it (contact node first),
    // at the equilibrium density: none; at twice that density: +E S nEq,
    // the sign of the thermionic flux S (n - nEq) it adds to.
    const double nEq = s.nEq[k];
    EXPECT_NEAR(ek_electronDensity(sim.getMesh(), s.V[k], 0.0, k), nEq, 1e-12 * nEq);
    double dVk = 0, dVkn = 0, dF = 0;
    EXPECT_EQ(sim.tunnelCurrent(s.V[k], s.V[kn], nEq, me, st.phi, std::fabs(s.z[kn] - s.z[k]),
                                d.device->getT(), c.side, &dVk, &dVkn, &dF),
              0.0);
    const double t =
        sim.tunnelCurrent(s.V[k], s.V[kn], 2.0 * nEq, me, st.phi, std::fabs(s.z[kn] - s.z[k]),
                          d.device->getT(), c.side, nullptr, nullptr, nullptr);
    EXPECT_NEAR(t, E * st.Sn * nEq, 1e-9 * E * st.Sn * nEq);
}

// Started away from it, both methods return to the equilibrium at 0 V and
// carry no current through any cross-section.
TEST_P(TunnelContact, AtZeroBiasBothMethodsReturnToRestWithoutCurrent)
{
    const TunnelCase c = GetParam();
    for (uint8_t method : {nuParam::METHOD_NEWTON, nuParam::METHOD_GUMMEL}) {
        const char* label = method == nuParam::METHOD_NEWTON ? "Newton" : "Gummel";
        SimulatorDevice d;
        ASSERT_TRUE(buildAtRest(d, c.side, true)) << d.sigma.message;
        ekSimulator& sim = *d.sim;
        const ekSolutionArrays& s = sim.getMesh().sol;
        const int N = sim.getPoints();
        const std::vector<double> Veq(s.V, s.V + N);
        sim.setAppliedVoltage(0.0);
        std::vector<double> V(N), Fn(N), Fp(N);
        for (int i = 0; i < N; ++i) {
            const double u = s.z[i] / s.z[N - 1];
            V[i] = Veq[i] + 0.3 * std::sin(3.0 * u);
            Fn[i] = 0.2 * std::sin(2.0 * u + 0.4);
            Fp[i] = -0.2 * std::sin(5.0 * u + 0.3);
        }
        SystemSolver solver(d, method);
        ASSERT_TRUE(method == nuParam::METHOD_NEWTON ? solver.newton(V, Fn, Fp)
                                                     : solver.gummel(V, Fn, Fp))
            << label << ": " << d.sigma.message;
        for (int i = 0; i < N; ++i) {
            EXPECT_NEAR(V[i], Veq[i], 1e-6) << label << " point " << i;
            EXPECT_NEAR(Fn[i], 0.0, 1e-6) << label << " point " << i;
            EXPECT_NEAR(Fp[i], 0.0, 1e-6) << label << " point " << i;
        }
        // The contact node holds its equilibrium density.
        const int k = c.side == 0 ? 0 : N - 1;
        EXPECT_NEAR(ek_electronDensity(sim.getMesh(), V[k], Fn[k], k) / s.nEq[k], 1.0, 1e-6)
            << label;
        // The scale of the contact current: S nEq. A term on the density
        // itself would drive about E S nEq (E over 0.03 here); what is left
        // is the rounding of the large cancelling fluxes of the depletion
        // region, some 1e-5 S nEq.
        const ekContactState& st =
            c.side == 0 ? sim.getMesh().anodeState : sim.getMesh().cathodeState;
        const double contactScale = st.Sn * s.nEq[k];
        for (int j = 0; j + 1 < N; ++j) {
            double scale = 0.0;
            const double J = edgeCurrent(sim, V, Fn, Fp, j, &scale);
            EXPECT_LE(std::fabs(J), 1e-3 * contactScale) << label << " edge " << j;
        }
    }
}

// Forward currents (A/cm2) of the device of case c with the tunnelling
// contact, by both methods, and of the same device without tunnelling.
struct ForwardCurrents {
    double newton = NAN, gummel = NAN, without = NAN;
    // Relative change of the current magnitude that tunnelling brings.
    double gain() const { return std::fabs(newton) / std::fabs(without) - 1.0; }
};

ForwardCurrents forwardCurrents(const TunnelCase& c)
{
    ForwardCurrents out;
    SimulatorDevice d;
    EXPECT_TRUE(buildAtRest(d, c.side, true)) << d.sigma.message;
    out.newton = sweptCurrent(d, c.forward, nuParam::METHOD_NEWTON);
    out.gummel = sweptCurrent(d, c.forward, nuParam::METHOD_GUMMEL);
    SimulatorDevice plain;
    EXPECT_TRUE(buildAtRest(plain, c.side, false)) << plain.sigma.message;
    out.without = sweptCurrent(plain, c.forward, nuParam::METHOD_NEWTON);
    return out;
}

// Under forward bias the sweeps of both methods agree, the current flows
// in the forward direction, and tunnelling raises its magnitude: field
// emission is a path in parallel with thermionic emission, so the contact
// passes more current, never less, at either end of the device.
TEST_P(TunnelContact, ForwardBiasTunnellingRaisesTheCurrent)
{
    const TunnelCase c = GetParam();
    const ForwardCurrents j = forwardCurrents(c);
    ASSERT_TRUE(std::isfinite(j.newton) && std::isfinite(j.without));
    EXPECT_GT(j.newton * c.forward, 0.0) << j.newton;
    EXPECT_GT(j.without * c.forward, 0.0) << j.without;
    EXPECT_NEAR(j.gummel, j.newton, 1e-6 * std::fabs(j.newton));
    // Forward bias flattens the bands and weakens the transmission (about
    // 4% at rest), but it still raises the current by some 2%.
    EXPECT_GT(j.gain(), 0.005) << "with " << j.newton << " without " << j.without;
    EXPECT_LT(j.gain(), 0.1) << "with " << j.newton << " without " << j.without;
}

// The electron row of a Schottky contact with the Gummel assembly (row k)
// and the Newton one (row 3k + 1) at the state V, Fn, Fp.
struct ContactRows {
    double gummel, newton;
};

ContactRows electronContactRows(ekSimulator& sim, int k, std::vector<double> V,
                                std::vector<double> Fn, std::vector<double> Fp)
{
    const int N = static_cast<int>(V.size());
    std::vector<double> F(N), rhs(N), lower(N), diag(N), upper(N);
    double norm = 0.0;
    sim.transportElectron(Fn.data(), F.data(), rhs.data(), lower.data(), diag.data(), upper.data(),
                          nullptr, V.data(), Fp.data(), N, &norm);
    std::vector<double> x(3 * N), G(3 * N), rhsN(3 * N);
    for (int i = 0; i < N; ++i) {
        x[3 * i] = V[i];
        x[3 * i + 1] = Fn[i];
        x[3 * i + 2] = Fp[i];
    }
    ekBandMatrix J(3 * N, EK_NEWTON_KL, EK_NEWTON_KU);
    sim.transportNewton(x.data(), G.data(), rhsN.data(), nullptr, nullptr, nullptr, &J, nullptr,
                        nullptr, 3 * N, &norm);
    return {F[k], G[3 * k + 1]};
}

struct RowCase {
    const char* name;
    int side;      // 0 anode, 1 cathode
    bool barrier;  // contact node below its neighbour (else above)
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class TunnelContactRow : public ::testing::TestWithParam<RowCase> {};

// The contact row balances the edge flux against the surface flux
// S (n - nEq). Field emission is a second path in parallel with
// thermionic emission, on the same excess: behind a barrier it raises the
// velocity to S (1 + E), at the anode and the cathode alike; an
// accumulated contact node (the mirrored orientation) gets S (1 - E). Three
// devices isolate the shares: with tunnelling at S, and without it at S and
// at 2 S, so that (F_tunnel - F_S) / (F_2S - F_S) = +-E, in the Gummel and
// the Newton rows alike.
TEST_P(TunnelContactRow, TunnellingAddsToTheThermionicFlux)
{
    const RowCase c = GetParam();
    SimulatorDevice tunnel, plain, doubled;
    ASSERT_TRUE(buildAtRest(tunnel, c.side, true)) << tunnel.sigma.message;
    ASSERT_TRUE(buildAtRest(plain, c.side, false)) << plain.sigma.message;
    ASSERT_TRUE(buildAtRest(doubled, c.side, false, 2e3)) << doubled.sigma.message;
    ekSimulator& sim = *tunnel.sim;
    const ekSolutionArrays& s = sim.getMesh().sol;
    const int N = sim.getPoints();
    ASSERT_EQ(plain.sim->getPoints(), N);
    ASSERT_EQ(doubled.sim->getPoints(), N);
    const int k = c.side == 0 ? 0 : N - 1;
    const int kn = c.side == 0 ? 1 : N - 2;
    // The velocity does not move the equilibrium the rows measure from.
    EXPECT_NEAR(plain.sim->getMesh().sol.nEq[k], s.nEq[k], 1e-12 * s.nEq[k]);
    EXPECT_NEAR(doubled.sim->getMesh().sol.nEq[k], s.nEq[k], 1e-12 * s.nEq[k]);
    const ekContactState& st = c.side == 0 ? sim.getMesh().anodeState : sim.getMesh().cathodeState;
    const double me = tunnel.device->getLayer(c.side == 0 ? 0 : 1)->getMe();
    const double h = std::fabs(s.z[kn] - s.z[k]);
    const double K = ek_tunnelExponent(sim.getNorm().length, h, me, tunnel.device->getT(), st.phi);
    ASSERT_GT(K, 0.0);

    // The equilibrium potential with the contact node K away from its
    // neighbour (transmission 1/e), below it for a barrier; a flat Fn
    // (no edge flux to round) lifts the node's density above nEq.
    std::vector<double> V(s.V, s.V + N), Fn(N, -0.4), Fp(N, 0.0);
    V[k] = V[kn] + (c.barrier ? -K : K);
    const double E = std::exp(-1.0);
    const double n = ek_electronDensity(sim.getMesh(), V[k], Fn[k], k);
    EXPECT_GT(std::fabs(std::log(n / s.nEq[k])), 0.1) << n << " " << s.nEq[k];
    for (SimulatorDevice* d : {&tunnel, &plain, &doubled}) {
        d->sim->setAppliedVoltage(0.0);
    }

    const ContactRows withT = electronContactRows(sim, k, V, Fn, Fp);
    const ContactRows atS = electronContactRows(*plain.sim, k, V, Fn, Fp);
    const ContactRows at2S = electronContactRows(*doubled.sim, k, V, Fn, Fp);
    // The two methods assemble the same row, up to the rounding of the edge
    // flux (two large terms that cancel on the flat Fn), and the same
    // tunnelling share.
    double fluxScale = 0.0;
    edgeCurrent(sim, V, Fn, Fp, c.side == 0 ? 0 : N - 2, &fluxScale);
    EXPECT_NEAR(withT.newton, withT.gummel, 1e-14 * fluxScale);
    EXPECT_NEAR(atS.newton, atS.gummel, 1e-14 * fluxScale);
    EXPECT_NEAR(withT.newton - atS.newton, withT.gummel - atS.gummel,
                1e-12 * std::fabs(withT.gummel - atS.gummel));
    const double expected = c.barrier ? E : -E;
    for (auto [label, tun, one, two] :
         {std::tuple{"Gummel", withT.gummel, atS.gummel, at2S.gummel},
          std::tuple{"Newton", withT.newton, atS.newton, at2S.newton}}) {
        const double thermionic = two - one;
        ASSERT_GT(std::fabs(thermionic), 0.0) << label;
        EXPECT_NEAR((tun - one) / thermionic, expected, 1e-9) << label;
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, TunnelContactRow,
                         ::testing::Values(RowCase{"AnodeBarrier", 0, true},
                                           RowCase{"CathodeBarrier", 1, true},
                                           RowCase{"AnodeAccumulation", 0, false},
                                           RowCase{"CathodeAccumulation", 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Sides, TunnelContact,
                         ::testing::Values(TunnelCase{"Anode", 0, 0.05},
                                           TunnelCase{"Cathode", 1, -0.05}),
                         [](const auto& info) { return std::string(info.param.name); });

// The device with the tunnelling contact at the cathode is the mirror
// image of the one with it at the anode, biased the other way: both carry
// the same current, and tunnelling changes it by the same share.
TEST(TunnelContactMirror, AnodeAndCathodeGainAlike)
{
    const ForwardCurrents anode = forwardCurrents({"Anode", 0, 0.05});
    const ForwardCurrents cathode = forwardCurrents({"Cathode", 1, -0.05});
    ASSERT_TRUE(std::isfinite(anode.newton) && std::isfinite(cathode.newton));
    // Opposite directions, the same magnitudes (the sweeps converge to
    // some 1e-8 of the current).
    EXPECT_NEAR(cathode.newton, -anode.newton, 1e-6 * std::fabs(anode.newton));
    EXPECT_NEAR(cathode.without, -anode.without, 1e-6 * std::fabs(anode.without));
    // The same rise, with or without the lopsided sign: a tunnelling anode
    // that lowered the current would stand some 0.04 away.
    EXPECT_GT(anode.gain(), 0.005);
    EXPECT_NEAR(cathode.gain(), anode.gain(), 1e-6);
}

}  // namespace
