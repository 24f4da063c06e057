// Test systems for the linear solvers: random diagonally dominant bands, a
// Newton-like drift-diffusion Jacobian, and a dense reference solve.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include <Eigen/Dense>

#include "ekBandMatrix.h"

namespace bandtest {

inline ekBandMatrix randomDominantBand(int n, int kl, int ku, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    ekBandMatrix A(n, kl, ku);
    for (int i = 0; i < n; ++i) {
        double offDiagonal = 0.0;
        for (int j = std::max(0, i - kl); j <= std::min(n - 1, i + ku); ++j) {
            if (j == i) {
                continue;
            }
            A.at(i, j) = uniform(rng);
            offDiagonal += std::fabs(A.at(i, j));
        }
        A.at(i, i) =
            (uniform(rng) < 0.0 ? -1.0 : 1.0) * (offDiagonal + 0.5 + std::fabs(uniform(rng)));
    }
    return A;
}

inline std::vector<double> randomVector(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> v(static_cast<size_t>(n));
    for (double& x : v) {
        x = uniform(rng);
    }
    return v;
}

inline double bernoulli(double x)
{
    return std::fabs(x) < 1e-12 ? 1.0 - 0.5 * x : x / std::expm1(x);
}

// Jacobian with the coupling pattern of the engine's Newton system (V, Fn,
// Fp per node): Poisson rows reach V of both neighbours and the carriers of
// their own node; continuity rows reach V and their own quasi-Fermi
// potential of both neighbours (Scharfetter-Gummel weights of a pn-like
// potential step) and all three unknowns of their node. Contact rows are
// Dirichlet, except a Neumann anode (V_0 - V_1) when asked.
inline ekBandMatrix driftDiffusionJacobian(int nodes, bool neumannAnode)
{
    const int n = 3 * nodes;
    ekBandMatrix J(n, 5, 5);
    const double h = 1.0 / (nodes - 1);
    auto potential = [&](int k) { return 3.0 * std::tanh(10.0 * (k * h - 0.5)); };
    for (int r = 0; r < 3; ++r) {
        J.at(r, r) = 1.0;
        J.at(n - 3 + r, n - 3 + r) = 1.0;
    }
    if (neumannAnode) {
        J.at(0, 3) = -1.0;
    }
    for (int k = 1; k < nodes - 1; ++k) {
        const int v = 3 * k;
        const double dl = potential(k) - potential(k - 1);
        const double dr = potential(k + 1) - potential(k);
        const double n0 = std::exp(potential(k) / 3.0);
        const double p0 = 1.0 / n0;
        // Poisson
        J.at(v, v - 3) = 1.0 / (h * h);
        J.at(v, v + 3) = 1.0 / (h * h);
        J.at(v, v) = -2.0 / (h * h) - (n0 + p0);
        J.at(v, v + 1) = n0;
        J.at(v, v + 2) = -p0;
        // electrons
        const int e = v + 1;
        J.at(e, v - 3) = -bernoulli(-dl) / h;
        J.at(e, e - 3) = -n0 * bernoulli(-dl) / h;
        J.at(e, v) = (bernoulli(dl) + bernoulli(-dr)) / h + 0.1 * n0;
        J.at(e, e) = -n0 * (bernoulli(dl) + bernoulli(-dr)) / h - 0.2;
        J.at(e, e + 1) = 0.05;
        J.at(e, v + 3) = -bernoulli(dr) / h;
        J.at(e, e + 3) = n0 * bernoulli(dr) / h;
        // holes
        const int p = v + 2;
        J.at(p, v - 3) = bernoulli(dl) / h;
        J.at(p, p - 3) = p0 * bernoulli(dl) / h;
        J.at(p, v) = -(bernoulli(-dl) + bernoulli(dr)) / h;
        J.at(p, e) = 0.05;
        J.at(p, p) = -p0 * (bernoulli(-dl) + bernoulli(dr)) / h - 0.2;
        J.at(p, v + 3) = bernoulli(-dr) / h;
        J.at(p, p + 3) = p0 * bernoulli(-dr) / h;
    }
    return J;
}

inline std::vector<double> denseSolve(const ekBandMatrix& A, const std::vector<double>& b)
{
    const int n = A.size();
    Eigen::MatrixXd dense = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            dense(i, j) = A.get(i, j);
        }
    }
    const Eigen::VectorXd rhs = Eigen::Map<const Eigen::VectorXd>(b.data(), n);
    const Eigen::VectorXd x = dense.partialPivLu().solve(rhs);
    return std::vector<double>(x.data(), x.data() + n);
}

inline double relativeDifference(const std::vector<double>& x, const std::vector<double>& reference)
{
    double diff = 0.0, norm = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        diff += (x[i] - reference[i]) * (x[i] - reference[i]);
        norm += reference[i] * reference[i];
    }
    return std::sqrt(diff / norm);
}

}  // namespace bandtest
