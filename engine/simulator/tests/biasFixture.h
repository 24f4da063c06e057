// Devices for the Newton, bias-sweep and photovoltaic tests: silicon
// resistors, junctions and diodes built in code on the simulator fixture,
// and the closed forms they are checked against.
#pragma once

#include <cmath>
#include <vector>

#include "ElecSweep.h"
#include "ekContact.h"
#include "simulatorFixture.h"

class BiasFixture : public SimulatorFixture {
protected:
    static constexpr double Q = 1.602176e-19;     // C
    static constexpr double EPS0 = 8.854187e-14;  // F/cm

    double Vt() const { return sim.getNorm().Vt; }
    double Jscale() const { return sim.getNorm().current; }

    // A silicon p-n (anode p, cathode n) junction; thicknesses in um.
    void buildJunction(double Na, double Nd, double tp, double tn, int pointsP, int pointsN)
    {
        addLayer(L"Si", tp, 0x20, Na, pointsP);
        addLayer(L"Si", tn, 0x10, Nd, pointsN);
        build(nuParam::MESH_LAYER, pointsP + pointsN);
    }

    // The column values of the bias sweep (0 bias, 1 J, 2 Q+, 3 Q-), of the
    // points the sweep stored.
    struct SweepRows {
        std::vector<double> V, J, Qp, Qm;
    };
    SweepRows storedRows() const
    {
        SweepRows rows;
        const ElecSweep* sweep = sim.getSweepBias();
        for (int i = 0; i < sweep->getPoints(); ++i) {
            if (sweep->getMask(i) & ElecSweep::MASK_COMPUTED) {
                rows.V.push_back(sweep->getData(0, i) * Vt());
                rows.J.push_back(sweep->getData(1, i) * Jscale());
                rows.Qp.push_back(sweep->getData(2, i) * sim.getNorm().sheetCharge);
                rows.Qm.push_back(sweep->getData(3, i) * sim.getNorm().sheetCharge);
            }
        }
        return rows;
    }

    // Sweeps from v0 to v1 (V) by step with the given method; returns the
    // result of sweepBias.
    int sweep(double v0, double v1, double step, uint8_t method)
    {
        param.method = method;
        EXPECT_TRUE(sim.setBiasData(&device, v0, v1, step, -1e6, 1e6, 0x10, nullptr));
        return sim.sweepBias(0.0, 0.0, nullptr, nullptr);
    }
};
