// The built-in material table. The values are handbook figures at 300 K;
// they are also the rows of the shipped material database
// (etc/semiconductor.sql), and a test keeps both in step.
#include "ekMaterialTable.h"

#include "ekLayer.h"

#include <cwchar>

const wchar_t* const EK_MATERIAL_REFERENCE_A =
    L"M. Levinshtein, S. Rumyantsev, M. Shur (eds.), Handbook Series on Semiconductor Parameters, "
    L"World Scientific, 1996";
const wchar_t* const EK_MATERIAL_REFERENCE_B =
    L"A. Luque, S. Hegedus (eds.), Handbook of Photovoltaic Science and Engineering, 2nd ed., "
    L"Wiley, 2011";

const wchar_t* const ekLayer::MATERIAL[ekLayer::MATERIAL_COUNT + 1] = {
    L"Si",    L"Ge",     L"SiGe",  L"a-Si",   L"GaAs",   L"InAs", L"AlAs", L"GaP",
    L"InP",   L"InGaAs", L"InGaP", L"AlGaAs", L"InSb",   L"GaSb", L"C",    L"AlN",
    L"GaN",   L"InN",    L"AlGaN", L"InGaN",  L"6H-SiC", L"CIGS", L"CZTS", L"CdS",
    L"In2S3", L"CdTe",   L"ZnO",   L"Cu2O",   L"CuO",    L"TiO2", nullptr};

namespace {

// The values that differ from one compound to the next. Everything else
// (thickness, lifetimes, Urbach tails, elastic constants) is common to all
// materials apart from the few exceptions listed further down.
struct CompoundRow {
    const wchar_t* name;
    bool direct;
    double Eg, Chi, Eso, Me, Mhh, Mlh, Msh, NC, NV, Eps, n, k;
    double Mobn, Mobp, Beta, Cn, Cp, Thermc, Heat, latticeA, latticeB, latticeC;
    char reference;  // 'A' or 'B'
};

constexpr bool Y = true;
constexpr bool N = false;

// clang-format off
const CompoundRow COMPOUNDS[] = {
//  name       dir  Eg     Chi   Eso    Me     Mhh   Mlh    Msh    NC       NV       Eps    n     k     Mobn   Mobp  Beta      Cn      Cp      Thermc Heat  a       b       c       ref
  {L"Si",      N,   1.12,  4.17, 0.044, 0.36,  0.49, 0.16,  0.24,  2.8e19,  1.04e19, 11.8,  3.42, 0.05, 1000,  500,  1.1e-14,  8.3e-32, 1.8e-31, 1.3,  0.7,  0.4,    0.4,    0.4,    'A'},
  {L"Ge",      N,   0.66,  4,    0.29,  0.22,  0.33, 0.043, 0.084, 1e19,    5e18,    16.2,  4,    0.2,  3600,  1900, 6.41e-14, 1e-30,   1e-30,   0.58, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"a-Si",    Y,   1.8,   3.9,  0.044, 0.34,  0.49, 0.16,  0.24,  2e20,    2e20,    11.8,  3.42, 0.5,  10,    1,    1e-10,    1e-30,   1e-30,   1.3,  0.7,  0.4,    0.4,    0.4,    'A'},
  {L"GaAs",    Y,   1.42,  4.07, 0.34,  0.063, 0.51, 0.082, 0.15,  4.7e17,  9e18,    12.9,  3.3,  0.2,  4000,  400,  7.2e-10,  5e-30,   1e-31,   0.55, 0.33, 0.4,    0.4,    0.4,    'A'},
  {L"InAs",    Y,   0.354, 4.9,  0.41,  0.023, 0.41, 0.026, 0.16,  8.7e16,  6.6e18,  15.15, 3.51, 0.2,  20000, 300,  1e-14,    1e-30,   1e-30,   0.27, 0.25, 0.4,    0.4,    0.4,    'A'},
  {L"AlAs",    Y,   2.16,  3.5,  0.4,   0.02,  0.76, 0.15,  0.2,   4.35e17, 6.16e18, 10.06, 3.9,  2,    1000,  100,  1e-10,    1e-30,   1e-30,   0.8,  0.25, 0.4,    0.4,    0.4,    'A'},
  {L"GaP",     Y,   2.26,  3.8,  0.3,   0.22,  0.79, 0.14,  0.16,  1.8e19,  1.9e19,  9.11,  3.02, 2,    250,   150,  1e-13,    1e-30,   1e-30,   0.1,  0.1,  0.545,  0.545,  0.545,  'A'},
  {L"InP",     Y,   1.344, 4.38, 0.11,  0.08,  0.6,  0.089, 0.17,  5.7e17,  1.1e19,  12.5,  3.1,  0.2,  2000,  100,  1e-14,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"InSb",    Y,   0.17,  4.59, 0.8,   0.014, 0.43, 0.43,  0.14,  4.2e16,  7.3e18,  16.8,  4,    0.2,  77000, 850,  5e-11,    5e-26,   5e-26,   0.68, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"GaSb",    Y,   0.726, 4.06, 0.8,   0.041, 0.4,  0.05,  0.14,  2.1e17,  1.8e19,  12.5,  3.1,  0.2,  3000,  1000, 1e-10,    5e-30,   5e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"C",       N,   5.5,   7.2,  0.11,  0.36,  2.12, 0.7,   1.06,  5e18,    1.8e19,  5.5,   2.4,  0.2,  500,   100,  1e-10,    1e-30,   1e-30,   2.85, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"AlN",     Y,   6.2,   2.26, 0.11,  0.4,   3.53, 3.53,  0.25,  6.3e18,  4.8e20,  9.14,  2.15, 0.2,  10,    1,    4e-11,    1e-24,   1e-24,   2.85, 0.31, 0.311,  0.311,  0.498,  'A'},
  {L"GaN",     Y,   3.4,   4.1,  0.02,  0.2,   1.4,  0.3,   0.6,   1.2e18,  4.1e19,  8.9,   2.3,  0.2,  400,   20,   1.1e-08,  1e-24,   1e-24,   1.3,  0.49, 0.3189, 0.3189, 0.5185, 'A'},
  {L"InN",     Y,   0.7,   5.26, 0.02,  0.11,  1.63, 0.27,  0.65,  9e17,    5.3e19,  15.3,  2.9,  0.2,  1000,  50,   2e-10,    1e-24,   1e-24,   1.3,  0.49, 0.354,  0.354,  0.57,   'A'},
  {L"6H-SiC",  Y,   3,     3.4,  0.11,  0.2,   0.6,  1,     1,     9e18,    2.5e19,  9.66,  2.59, 0.2,  400,   90,   1.5e-12,  5e-31,   2e-31,   0.68, 0.31, 0.4,    0.4,    0.4,    'A'},
  {L"CIGS",    Y,   1.15,  4.5,  0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  13.4,  2.59, 0.2,  100,   25,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"CZTS",    Y,   1.5,   4.5,  0.11,  0.2,   0.6,  1,     1,     2.1e18,  8.9e18,  6.5,   2.59, 0.2,  100,   25,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"CdS",     Y,   2.42,  4.2,  0.11,  0.25,  0.6,  1,     1,     1.8e19,  2.4e18,  9,     2.4,  0.2,  1000,  150,  1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"In2S3",   Y,   2.9,   4.3,  0.11,  0.25,  0.6,  1,     1,     2.2e18,  1.8e19,  13.5,  2.4,  0.2,  400,   200,  1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"CdTe",    Y,   1.47,  4.4,  0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  10.2,  2.7,  0.2,  1050,  100,  1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"ZnO",     Y,   3.3,   4.4,  0.11,  0.2,   0.6,  1,     1,     2.2e18,  1.8e19,  9,     2.4,  0.2,  100,   25,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.3,    0.3,    0.5,    'B'},
  {L"Cu2O",    Y,   2.17,  3.2,  0.11,  0.2,   0.6,  1,     1,     2e17,    1.1e19,  7.11,  2.4,  0.2,  200,   80,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"CuO",     Y,   1.51,  4.07, 0.11,  0.2,   0.6,  1,     1,     2.2e19,  5.5e20,  18.1,  2.4,  0.2,  100,   25,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
  {L"TiO2",    Y,   2.26,  4.2,  0.11,  0.2,   0.6,  1,     1,     2e17,    6e17,    10,    2.4,  0.2,  100,   25,   1e-12,    1e-30,   1e-30,   0.68, 0.31, 0.4,    0.4,    0.4,    'B'},
};

// Lattice type and piezoelectric, elastic and polarisation constants of the
// materials that do not take the common ones.
struct LatticeRow {
    const wchar_t* name;
    uint8_t type;
    double e31, e33, c11, c12, c13, c33, Psp;
};
constexpr uint8_t WURTZITE = ekLayer::LATTICE_WURTZITE;
constexpr uint8_t NONPOLAR = ekLayer::LATTICE_NONPOLAR;
const LatticeRow LATTICE_EXCEPTIONS[] = {
//  name     type      e31       e33      c11  c12  c13  c33  Psp
  {L"AlN",   WURTZITE, -5.8e-5,  1.55e-4, 410, 149, 99,  389, -8.1e-6},
  {L"GaN",   WURTZITE, -3.4e-5,  6.7e-5,  390, 145, 106, 398, -2.9e-6},
  {L"InN",   WURTZITE, -5.7e-5,  9.7e-5,  190, 104, 121, 182, -3.2e-6},
  {L"ZnO",   NONPOLAR, -3.4e-5,  6.7e-5,  0,   0,   100, 400, 0},
};
const LatticeRow LATTICE_COMMON = {nullptr, NONPOLAR, 0, 0, 0, 0, 100, 400, 0};

// Urbach tails: common values, and amorphous silicon, whose tails are
// broad enough to be switched on by default.
struct UrbachRow {
    const wchar_t* name;
    bool enabled;
    double EA, ED, GA, GD, TaunA, TaupA, TaunD, TaupD;
};
const UrbachRow URBACH_EXCEPTIONS[] = {
  {L"a-Si", true, 0.05, 0.06, 1e21, 1e21, 1e-8, 1e-8, 1e-8, 1e-8},
};
const UrbachRow URBACH_COMMON = {nullptr, false, 0.01, 0.01, 1e20, 1e20, 1e-8, 1e-8, 1e-8, 1e-8};

// An alloy starts from the values of its second end member; the device
// interpolates once the composition is known.
struct AlloyRow {
    const wchar_t* name;
    const wchar_t* ac;
    const wchar_t* bc;
};
const AlloyRow ALLOYS[] = {
  {L"SiGe",   L"Si",  L"Ge"},
  {L"InGaAs", L"InAs", L"GaAs"},
  {L"AlGaAs", L"AlAs", L"GaAs"},
  {L"InGaP",  L"InP", L"GaP"},
  {L"AlGaN",  L"AlN", L"GaN"},
  {L"InGaN",  L"InN", L"GaN"},
};
// clang-format on

const double COMMON_THICKNESS = 1.0;  // um
const double COMMON_LIFETIME = 1e-7;  // s

struct Alias {
    const wchar_t* alias;
    const wchar_t* name;
};
const Alias ALIASES[] = {{L"Silicon", L"Si"}, {L"Germanium", L"Ge"}, {L"Diamond", L"C"}};

bool sameName(const wchar_t* a, const wchar_t* b) { return a && b && wcscasecmp(a, b) == 0; }

const CompoundRow* findCompound(const wchar_t* name)
{
    for (const CompoundRow& row : COMPOUNDS) {
        if (sameName(row.name, name)) {
            return &row;
        }
    }
    return nullptr;
}

template <typename Row, size_t Count>
const Row& exceptionOr(const Row (&rows)[Count], const Row& common, const wchar_t* name)
{
    for (const Row& row : rows) {
        if (sameName(row.name, name)) {
            return row;
        }
    }
    return common;
}

ekMaterialParameters parametersOf(const CompoundRow& row)
{
    const LatticeRow& lattice = exceptionOr(LATTICE_EXCEPTIONS, LATTICE_COMMON, row.name);
    const UrbachRow& urbach = exceptionOr(URBACH_EXCEPTIONS, URBACH_COMMON, row.name);

    ekMaterialParameters p{};
    p.thickness = COMMON_THICKNESS;
    p.direct = row.direct;
    p.Eg = row.Eg;
    p.Chi = row.Chi;
    p.Eso = row.Eso;
    p.Me = row.Me;
    p.Mhh = row.Mhh;
    p.Mlh = row.Mlh;
    p.Msh = row.Msh;
    p.NC = row.NC;
    p.NV = row.NV;
    p.Eps = row.Eps;
    p.indexN = row.n;
    p.indexK = row.k;
    p.Mobn = row.Mobn;
    p.Mobp = row.Mobp;
    p.Beta = row.Beta;
    p.Cn = row.Cn;
    p.Cp = row.Cp;
    p.Taun = COMMON_LIFETIME;
    p.Taup = COMMON_LIFETIME;
    p.Thermc = row.Thermc;
    p.Heat = row.Heat;
    p.urbach = urbach.enabled;
    p.urbachEA = urbach.EA;
    p.urbachED = urbach.ED;
    p.urbachGA = urbach.GA;
    p.urbachGD = urbach.GD;
    p.urbachTaunA = urbach.TaunA;
    p.urbachTaupA = urbach.TaupA;
    p.urbachTaunD = urbach.TaunD;
    p.urbachTaupD = urbach.TaupD;
    p.latticeType = lattice.type;
    p.latticeA = row.latticeA;
    p.latticeB = row.latticeB;
    p.latticeC = row.latticeC;
    p.e31 = lattice.e31;
    p.e33 = lattice.e33;
    p.c11 = lattice.c11;
    p.c12 = lattice.c12;
    p.c13 = lattice.c13;
    p.c33 = lattice.c33;
    p.Psp = lattice.Psp;
    return p;
}

}  // namespace

bool ek_findBuiltinMaterial(const wchar_t* name, ekBuiltinMaterial* out)
{
    if (!name || !out) {
        return false;
    }
    const wchar_t* canonical = nullptr;
    const wchar_t* ac = nullptr;
    const wchar_t* bc = nullptr;
    const CompoundRow* row = nullptr;
    for (const AlloyRow& alloy : ALLOYS) {
        if (sameName(alloy.name, name)) {
            canonical = alloy.name;
            ac = alloy.ac;
            bc = alloy.bc;
            row = findCompound(alloy.bc);
            break;
        }
    }
    if (!row) {
        row = findCompound(name);
        if (!row) {
            return false;
        }
        canonical = row->name;
    }
    out->name = canonical;
    out->endMemberAC = ac;
    out->endMemberBC = bc;
    out->dataRef = row->reference == 'A' ? EK_MATERIAL_REFERENCE_A : EK_MATERIAL_REFERENCE_B;
    out->values = parametersOf(*row);
    return true;
}

bool ekLayer::isStandardMaterial(const wchar_t* name)
{
    for (int i = 0; i < MATERIAL_COUNT; ++i) {
        if (sameName(MATERIAL[i], name)) {
            return true;
        }
    }
    return false;
}

const wchar_t* ek_resolveMaterialAlias(const wchar_t* name)
{
    for (const Alias& alias : ALIASES) {
        if (sameName(alias.alias, name)) {
            return alias.name;
        }
    }
    return name;
}
