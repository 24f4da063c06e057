#include "ekSolverOptions.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "kovbase.h"

namespace {

struct SolverName {
    const char* name;
    ekLinearMethod method;
};

// Every name the option builder can write, plus "idrs". Only three have an
// Eigen iterative counterpart; "none" (the direct choice) and the Krylov
// methods Eigen lacks are solved exactly by the banded LU.
const SolverName SOLVERS[] = {
    {"none", ekLinearMethod::BandLU},      {"bicgstab", ekLinearMethod::BiCGSTAB},
    {"bicgstabl", ekLinearMethod::BandLU}, {"bicgsafe", ekLinearMethod::BandLU},
    {"gmres", ekLinearMethod::GMRES},      {"fgmres", ekLinearMethod::BandLU},
    {"minres", ekLinearMethod::BandLU},    {"tfqmr", ekLinearMethod::BandLU},
    {"bicrstab", ekLinearMethod::BandLU},  {"idrs", ekLinearMethod::IDRS},
};

struct PreconditionerName {
    const char* name;
    ekPreconditioner kind;
};

const PreconditionerName PRECONDITIONERS[] = {
    {"none", ekPreconditioner::None},
    {"ilu", ekPreconditioner::IncompleteLU},
    {"jacobi", ekPreconditioner::Jacobi},
    {"ssor", ekPreconditioner::IncompleteLU},
};

bool readInt(const std::string& text, int low, int high, int* value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

// Both bounds exclusive.
bool readDouble(const std::string& text, double low, double high, double* value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double v = kov_strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || !(v > low) || !(v < high)) {
        return false;
    }
    *value = v;
    return true;
}

bool fail(std::string* error, const std::string& message, ekSolverOptions* options)
{
    if (error) {
        *error = message;
    }
    *options = ekSolverOptions();
    return false;
}

}  // namespace

ekLinearMethod ek_linearMethodOf(const char* solverName)
{
    const std::string name = kov_toLowerAscii(solverName != nullptr ? solverName : "");
    for (const SolverName& entry : SOLVERS) {
        if (name == entry.name) {
            return entry.method;
        }
    }
    return ekLinearMethod::BandLU;
}

bool ek_parseSolverOptions(const char* text, ekSolverOptions* options, std::string* error)
{
    if (!options) {
        return false;
    }
    *options = ekSolverOptions();
    if (error) {
        error->clear();
    }
    if (!text) {
        return true;
    }

    std::istringstream words{std::string(text)};
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) {
        tokens.push_back(word);
    }

    for (size_t k = 0; k < tokens.size(); k += 2) {
        const std::string key = kov_toLowerAscii(tokens[k]);
        if (key.size() < 2 || key[0] != '-') {
            return fail(error, "linear solver option expected instead of \"" + tokens[k] + "\"",
                        options);
        }
        if (k + 1 >= tokens.size()) {
            return fail(error, "linear solver option \"" + tokens[k] + "\" has no value", options);
        }
        const std::string value = tokens[k + 1];
        const std::string name = kov_toLowerAscii(value);
        bool ok = true;
        if (key == "-maxiter") {
            ok = readInt(value, 1, INT_MAX, &options->maxIter);
        } else if (key == "-tol") {
            ok = readDouble(value, 0.0, 1.0 + 1e-15, &options->tol);
        } else if (key == "-i") {
            ok = false;
            for (const SolverName& s : SOLVERS) {
                if (name == s.name) {
                    options->solverName = s.name;
                    options->method = s.method;
                    ok = true;
                }
            }
        } else if (key == "-p") {
            ok = false;
            for (const PreconditionerName& p : PRECONDITIONERS) {
                if (name == p.name) {
                    options->preconditionerName = p.name;
                    options->preconditioner = p.kind;
                    ok = true;
                }
            }
        } else if (key == "-ilu_fill") {
            ok = readInt(value, 0, 1000, &options->iluFill);
        } else if (key == "-ssor_w") {
            ok = readDouble(value, 0.0, 2.0, &options->ssorOmega);
        } else if (key == "-ell") {
            ok = readInt(value, 1, 100, &options->ell);
        } else {
            return fail(error, "unknown linear solver option \"" + tokens[k] + "\"", options);
        }
        if (!ok) {
            return fail(
                error,
                "invalid value \"" + value + "\" of the linear solver option \"" + tokens[k] + "\"",
                options);
        }
    }
    return true;
}
