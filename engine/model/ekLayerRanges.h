// The value ranges of a layer's parameter groups and the message of each
// group. One place for both, so the setters and the whole-layer check
// cannot drift apart.
#pragma once

#include <cmath>

#include "ekHelpers.h"
#include "kovText.h"

namespace ekLayerRanges {

// Piezoelectric and polarisation constants: a value too small to be told
// from rounding noise but not zero is kept at the smallest meaningful size.
inline double liftTiny(double v)
{
    if (!ek_isZero(v) && std::fabs(v) < 1e-12) {
        return 1e-12;
    }
    return v;
}

inline constexpr const wchar_t* MSG_THICKNESS = L"invalid layer thickness";
inline constexpr const wchar_t* MSG_COMPOSITION = L"invalid layer composition";
inline constexpr const wchar_t* MSG_BOWING = L"invalid bowing parameter";
inline constexpr const wchar_t* MSG_TEMPERATURE = L"invalid temperature";
inline constexpr const wchar_t* MSG_ENERGY = L"invalid layer energy parameters";
inline constexpr const wchar_t* MSG_PERMITTIVITY = L"invalid layer permittivity";
inline constexpr const wchar_t* MSG_BANDGAP = L"invalid layer bandgap parameters";
inline constexpr const wchar_t* MSG_MASS = L"invalid layer effective mass parameters";
inline constexpr const wchar_t* MSG_URBACH = L"invalid Urbach parameters";
inline constexpr const wchar_t* MSG_URBACH_OFF =
    L"[INFO]    Urbach model disabled: energy/concentration too low\n";
inline constexpr const wchar_t* MSG_THERM = L"invalid layer optical parameters";
inline constexpr const wchar_t* MSG_MOBILITY = L"invalid layer mobility parameters";
inline constexpr const wchar_t* MSG_RECOMB = L"invalid recombination parameters";
inline constexpr const wchar_t* MSG_LATTICE =
    L"invalid lattice parameter (valid range: [0.1 ; 1] nm)";
inline constexpr const wchar_t* MSG_PIEZO =
    L"invalid piezoelectric parameters e31/e33 (max: 1e5 C/m2)";
inline constexpr const wchar_t* MSG_ELASTIC = L"invalid elastic parameters c13/c33 (max: 1e5 C/m2)";
inline constexpr const wchar_t* MSG_SPONTANEOUS =
    L"invalid spontaneous polarization (max: 1e5 C/m2)";

inline bool energyValid(double eg, double chi, double nc, double nv)
{
    return kov_inRange(eg, 0.001, 20.0) && kov_inRange(chi, 0.001, 20.0) &&
           kov_inRange(nc, 1e6, 1e24) && kov_inRange(nv, 1e6, 1e24);
}

inline bool massValid(double me, double mhh, double mlh, double msh, double eso)
{
    return kov_inRange(me, 0.001, 10.0) && kov_inRange(mhh, 0.001, 10.0) &&
           kov_inRange(mlh, 0.001, 10.0) && kov_inRange(msh, 0.001, 10.0) &&
           kov_inRange(eso, 0.0, 10.0);
}

inline bool thermValid(double thermc, double heat)
{
    return kov_inRange(thermc, 0.0, 100.0) && kov_inRange(heat, 0.0, 100.0);
}

inline bool mobilityValid(double ebr, double mobn, double mobp)
{
    return kov_inRange(ebr, 1.0, 1e12) && kov_inRange(mobn, 0.001, 1e5) &&
           kov_inRange(mobp, 0.001, 1e5);
}

inline bool recombValid(double beta, double cn, double cp, double taun, double taup)
{
    return kov_inRange(beta, 1e-22, 1e-6) && kov_inRange(cn, 1e-48, 1e-9) &&
           kov_inRange(cp, 1e-48, 1e-9) && kov_inRange(taun, 1e-15, 1000.0) &&
           kov_inRange(taup, 1e-15, 1000.0);
}

inline bool piezoValid(double e31, double e33)
{
    return kov_inRange(e31, -10.0, 10.0) && kov_inRange(e33, -10.0, 10.0);
}

inline bool elasticValid(double c11, double c12, double c13, double c33)
{
    return kov_inRange(c11, 0.0, 1e4) && kov_inRange(c12, 0.0, 1e4) && kov_inRange(c13, 0.0, 1e4) &&
           kov_inRange(c33, 0.0, 1e4);
}

}  // namespace ekLayerRanges
