// Reading of the linear-solver option text ("-maxiter 100 -tol 1e-06 -i
// bicgstab -p ilu -ilu_fill 0") that ekSimulator::makeSolverOptions builds,
// and the choice of the solver that serves each name.
#pragma once

#include <string>

// The solver that actually runs. Krylov names with an Eigen counterpart run
// it; every other name of the option table is served by the banded LU,
// which is exact and O(n) on the engine's band systems.
enum class ekLinearMethod {
    BandLU,
    BiCGSTAB,
    GMRES,
    IDRS,
};

enum class ekPreconditioner {
    None,
    IncompleteLU,  // "ilu", and "ssor", which has no Eigen counterpart
    Jacobi,
};

struct ekSolverOptions {
    int maxIter = 1000;
    double tol = 1e-12;
    std::string solverName = "none";  // name as written after "-i"
    std::string preconditionerName = "none";
    ekLinearMethod method = ekLinearMethod::BandLU;
    ekPreconditioner preconditioner = ekPreconditioner::None;
    int iluFill = 0;
    double ssorOmega = 1.0;
    int ell = 2;
};

// The method that serves a solver name of the option table ("tfqmr": the
// banded LU); an unknown name is served by the banded LU too.
ekLinearMethod ek_linearMethodOf(const char* solverName);

// Parses the option text into options (starting from the defaults above).
// A null or empty text gives the defaults. False, with a message in error
// (may be null), for an unknown option or name, a missing or malformed
// value, or a value out of range; options then holds the defaults.
bool ek_parseSolverOptions(const char* text, ekSolverOptions* options, std::string* error);
