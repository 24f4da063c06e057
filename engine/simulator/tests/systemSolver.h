// Test-side drivers of ekSimulator::solveSystem (a whole Newton solve, or
// Gummel's three equations in turn) and an independent Scharfetter-Gummel
// edge current to check the solutions against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ekBandMatrix.h"
#include "ekSimulator.h"
#include "simulatorDevice.h"

// The linear-system arrays of solveSystem, for one method.
class SystemSolver {
public:
    SystemSolver(SimulatorDevice& d, uint8_t method) : d_(d)
    {
        d.param.method = method;
        ok_ = d.sim->allocSystem(&previous_, &start_, &update_, &rhs_, &jacobian_, &lower_,
                                 &diag_, &upper_);
    }
    ~SystemSolver()
    {
        d_.sim->freeSystem(&previous_, &start_, &update_, &rhs_, &jacobian_, &lower_, &diag_,
                           &upper_);
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
        d_.param.lastError = 1.0;
        d_.sim->solveSystem(ekSimulator::SYSTEM_NEWTON, x.data(), residual.data(), nullptr,
                            nullptr, 3 * N, d_.param.maxiter, &previous_, &start_, &update_,
                            &rhs_, &jacobian_, &lower_, &diag_, &upper_);
        for (int i = 0; i < N; ++i) {
            V[i] = x[3 * i];
            Fn[i] = x[3 * i + 1];
            Fp[i] = x[3 * i + 2];
        }
        return ok_ && d_.sigma.isOK() && d_.param.lastError < d_.param.reltol;
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
            d_.sim->solveSystem(kind, x.data(), residual.data(), a.data(), b.data(), N, 1,
                                &previous_, &start_, &update_, &rhs_, &jacobian_, &lower_,
                                &diag_, &upper_);
            return d_.param.lastError;
        };
        for (int loop = 0; ok_ && loop < maxLoops; ++loop) {
            double error = step(ekSimulator::SYSTEM_POISSON, V, Fn, Fp);
            error += step(ekSimulator::SYSTEM_ELECTRON, Fn, V, Fp);
            error += step(ekSimulator::SYSTEM_HOLE, Fp, V, Fn);
            if (!d_.sigma.isOK()) {
                return false;
            }
            if (error < d_.param.reltol) {
                return true;
            }
        }
        return false;
    }

private:
    SimulatorDevice& d_;
    bool ok_ = false;
    double *previous_ = nullptr, *start_ = nullptr, *update_ = nullptr, *rhs_ = nullptr;
    double *lower_ = nullptr, *diag_ = nullptr, *upper_ = nullptr;
    ekBandMatrix* jacobian_ = nullptr;
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
    const double nj = sim.electronDensity(V[j], Fn[j], j), nk = sim.electronDensity(V[k], Fn[k], k);
    const double pj = sim.holeDensity(V[j], Fp[j], j), pk = sim.holeDensity(V[k], Fp[k], k);
    const double terms[4] = {mun * nk * ekSimulator::bernoulli(dn, nullptr),
                             mun * nj * ekSimulator::bernoulli(-dn, nullptr),
                             mup * pj * ekSimulator::bernoulli(dp, nullptr),
                             mup * pk * ekSimulator::bernoulli(-dp, nullptr)};
    *scale = std::max({terms[0], terms[1], terms[2], terms[3]});
    return (terms[0] - terms[1]) + (terms[2] - terms[3]);
}
