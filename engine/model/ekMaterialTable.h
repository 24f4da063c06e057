// The built-in material table: the 30 standard materials the engine knows
// without a material database, their aliases and the six alloys. The names
// themselves are exported as ekLayer::MATERIAL (ekLayer.h).
#pragma once

#include <cstddef>
#include <cstdint>

// One complete parameter set of a layer material. Both the built-in table
// and a material-database row are turned into this record, so that a
// single routine applies either of them to a layer.
struct ekMaterialParameters {
    double thickness;          // um (the region's)
    bool direct;               // direct bandgap
    double Eg, Chi, Eso;       // eV
    double Me, Mhh, Mlh, Msh;  // relative effective masses
    double NC, NV;             // 1/cm3
    double Eps;                // relative permittivity
    double indexN, indexK;     // constant optical index
    double Mobn, Mobp;         // cm2/Vs
    double Beta;               // cm3/s
    double Cn, Cp;             // cm6/s
    double Taun, Taup;         // SRH lifetimes, s
    double Thermc, Heat;
    bool urbach;                // Urbach tail model enabled
    double urbachEA, urbachED;  // eV
    double urbachGA, urbachGD;
    double urbachTaunA, urbachTaupA, urbachTaunD, urbachTaupD;
    uint8_t latticeType;                  // ekLayer::LATTICE_*: wurtzite for the nitrides
    double latticeA, latticeB, latticeC;  // nm
    double e31, e33;                      // piezoelectric constants
    double c11, c12, c13, c33;            // elastic constants
    double Psp;                           // spontaneous polarisation
};

// A built-in material as init applies it.
struct ekBuiltinMaterial {
    const wchar_t* name;         // canonical spelling, as in ekLayer::MATERIAL
    const wchar_t* endMemberAC;  // alloys: first end member, else null
    const wchar_t* endMemberBC;  // alloys: second end member (whose values it takes), else null
    const wchar_t* dataRef;      // handbook the values come from
    ekMaterialParameters values;
};

// Reference texts written into a layer's dataRef.
extern const wchar_t* const EK_MATERIAL_REFERENCE_A;
extern const wchar_t* const EK_MATERIAL_REFERENCE_B;

// Case-insensitive look-up of a built-in name (no aliases). On success the
// complete parameter set, end members included, is written to out.
bool ek_findBuiltinMaterial(const wchar_t* name, ekBuiltinMaterial* out);

// "Silicon", "Germanium" and "Diamond" (any case) give "Si", "Ge" and "C";
// any other name is returned unchanged.
const wchar_t* ek_resolveMaterialAlias(const wchar_t* name);
