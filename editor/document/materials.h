// Materials: the built-in list of 35 names (30 with compiled-in values) and
// the read-only SQLite material database "etc/semiconductor.kovradb" below
// the program folder, the same file the engine reads.
#pragma once

#include <cstddef>

constexpr int BUILTIN_MATERIAL_COUNT = 35;
// BUILTIN_MATERIAL_COUNT names in list order, then null.
extern const char* const BuiltinMaterials[];

// Compiled-in values of a material (reference: which of the two literature
// texts the layer receives).
struct BuiltinValues {
    const char* name;
    int bandgapType;
    double bandgap, affinity, permittivity, nc, nv, indexN, indexK;
    double mobilityN, mobilityP;  // negative: the material keeps the layer's
    double beta, cn, cp;
    int reference;
};
// The row of a material with compiled-in values (alloys: none), or null.
const BuiltinValues* Material_builtinValues(const char* name);
const char* Material_referenceText(int reference);

struct TrapGroup {
    double n, nr, e, f, taun, taup;
};

struct MaterialRecord {
    char name[256];
    double thickness, bandgap;
    int bandgapType;
    double affinity, eso, me, mhh, mlh, msh, nc, nv, permittivity, indexN, indexK;
    double beta, cn, cp, dopantN, taun, taup;
    char dopantType;
    double mobilityN, mobilityP;
    double urbachEA, urbachED, urbachGA, urbachGD;
    double urbachTaunA, urbachTaupA, urbachTaunD, urbachTaupD;
    TrapGroup trapFirst, trapSecond;
    double latticeA, e31, e33, c13, c33, psp;
};

// 1 when the name is one of the 35 built-in names (exact case).
int Material_isKnown(const char* name);
// The silicon preset of a MaterialRecord.
void MaterialRecord_setSilicon(MaterialRecord* record);
// 1 when the database has a row for the name (the record then holds it);
// 0 otherwise, the record holding the silicon preset (untouched when an
// argument is missing). The name is bound to the query, never pasted in.
int MaterialDb_lookup(const char* name, MaterialRecord* record);
// The names the Material dialog offers after the current material: the
// database's first 255 names (each cut to 31 characters), else the
// built-in list. Calls add(name, context) per name; returns the count.
int Material_listNames(void (*add)(const char* name, void* context), void* context);
// 1 when the database holds a table of refractive index data for the name
// of a size the simulator takes (the same bounds as the engine's), so that
// a layer of that material may take its index from the database.
int MaterialDb_hasIndexData(const char* name);
// Path of the database file ("" when the program folder is unknown).
void MaterialDb_path(char* out, size_t size);
