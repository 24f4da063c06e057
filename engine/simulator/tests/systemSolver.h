// Test-side drivers of ekSimulator::solveSystem (a whole Newton solve, or
// Gummel's three equations in turn) and an independent Scharfetter-Gummel
// edge current to check the solutions against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ekBandMatrix.h"
#include "ekPointPhysics.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"

// The linear-system arrays of solveSystem, for one method.
class SystemSolver {
public:
    SystemSolver(SimulatorDevice& d, uint8_t method) : device(d)
    {
        d.param.method = method;
        allocated =
            d.sim->allocSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    }
    ~SystemSolver()
    {
        device.sim->freeSystem(&previous, &start, &update, &rhs, &jacobian, &lower, &diag, &upper);
    }
    SystemSolver(const SystemSolver&) = delete;
    SystemSolver& operator=(const SystemSolver&) = delete;

    // The coupled system from the start in V, Fn, Fp; true when converged.
    bool newton(std::vector<double>& V, std::vector<double>& Fn, std::vector<double>& Fp)
    {
        const int N = static_cast<int>(V.size());
        std::vector<double> x(3 * N), residual(3 * N);
        for (int i = 0; i < N; ++i) {
            x[3 * i] = V[i];
            x[3 * i + 1] = Fn[i];
            x[3 * i + 2] = Fp[i];
        }
        device.param.lastError = 1.0;
        device.sim->solveSystem(ekSimulator::SYSTEM_NEWTON, x.data(), residual.data(), nullptr,
                                nullptr, 3 * N, device.param.maxiter, &previous, &start, &update,
                                &rhs, &jacobian, &lower, &diag, &upper);
        for (int i = 0; i < N; ++i) {
            V[i] = x[3 * i];
            Fn[i] = x[3 * i + 1];
            Fp[i] = x[3 * i + 2];
        }
        return allocated && device.sigma.isOK() && device.param.lastError < device.param.reltol;
    }

    // The three equations in turn, one iteration each, until the summed
    // largest updates fall below the tolerance; true when converged within
    // maxLoops rounds.
    bool gummel(std::vector<double>& V, std::vector<double>& Fn, std::vector<double>& Fp,
                int maxLoops = 2000)
    {
        const int N = static_cast<int>(V.size());
        std::vector<double> residual(N);
        auto step = [&](int kind, std::vector<double>& x, std::vector<double>& a,
                        std::vector<double>& b) {
            device.sim->solveSystem(kind, x.data(), residual.data(), a.data(), b.data(), N, 1,
                                    &previous, &start, &update, &rhs, &jacobian, &lower, &diag,
                                    &upper);
            return device.param.lastError;
        };
        for (int loop = 0; allocated && loop < maxLoops; ++loop) {
            double error = step(ekSimulator::SYSTEM_POISSON, V, Fn, Fp);
            error += step(ekSimulator::SYSTEM_ELECTRON, Fn, V, Fp);
            error += step(ekSimulator::SYSTEM_HOLE, Fp, V, Fn);
            if (!device.sigma.isOK()) {
                return false;
            }
            if (error < device.param.reltol) {
                return true;
            }
        }
        return false;
    }

private:
    SimulatorDevice& device;
    bool allocated = false;
    double *previous = nullptr, *start = nullptr, *update = nullptr, *rhs = nullptr;
    double *lower = nullptr, *diag = nullptr, *upper = nullptr;
    ekBandMatrix* jacobian = nullptr;
};

// Total (electron and hole) normalised current through the edge j..j+1 by
// the Scharfetter-Gummel fluxes, and the magnitude of its largest term.
inline double edgeCurrent(const ekSimulator& sim, const std::vector<double>& V,
                          const std::vector<double>& Fn, const std::vector<double>& Fp, int j,
                          double* scale)
{
    const ekMaterialArrays& m = sim.getMesh().mat;
    const ekSolutionArrays& s = sim.getMesh().sol;
    const int k = j + 1;
    const double h = s.z[k] - s.z[j];
    const double dn = (V[k] + m.offN[k]) - (V[j] + m.offN[j]);
    const double dp = (V[k] - m.offP[k]) - (V[j] - m.offP[j]);
    const double mun = sim.interpolateParameter(m.Mobn[j], m.Mobn[k], 0x20) / h;
    const double mup = sim.interpolateParameter(m.Mobp[j], m.Mobp[k], 0x20) / h;
    const ekMeshFields& f = sim.getMesh();
    const double nj = ek_electronDensity(f, V[j], Fn[j], j),
                 nk = ek_electronDensity(f, V[k], Fn[k], k);
    const double pj = ek_holeDensity(f, V[j], Fp[j], j), pk = ek_holeDensity(f, V[k], Fp[k], k);
    const double terms[4] = {mun * nk * ekSimulator::bernoulli(dn, nullptr),
                             mun * nj * ekSimulator::bernoulli(-dn, nullptr),
                             mup * pj * ekSimulator::bernoulli(dp, nullptr),
                             mup * pk * ekSimulator::bernoulli(-dp, nullptr)};
    *scale = std::max({terms[0], terms[1], terms[2], terms[3]});
    return (terms[0] - terms[1]) + (terms[2] - terms[3]);
}
