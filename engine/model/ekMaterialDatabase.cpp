// Reading rows of the material database. Every look-up opens the file
// read-only and closes it again: a run looks up a handful of materials, and
// the editor may replace the file between two runs.
#include "ekMaterialDatabase.h"

#include <sqlite3.h>
#include <strings.h>

#include "ekLayer.h"
#include "focore.h"
#include "kovbase.h"

namespace {

// The name column is the only one found by name; all others by position.
const char* const SELECT_ROW = "SELECT * FROM TABLE_MATERIAL WHERE Name = ?1 LIMIT 1";

// The longest name (UTF-8 bytes) a look-up accepts; a longer one would have
// to be cut and could then match another material's row.
const size_t NAME_BYTES_MAX = 31;

// Column positions of the values the engine takes from a row.
enum Column {
    COL_URBACH_RESTRICTION = 4,
    COL_THICKNESS = 6,
    COL_BANDGAP = 7,
    COL_BANDGAP_TYPE = 8,
    COL_AFFINITY = 9,
    COL_ESO = 11,
    COL_ME = 13,
    COL_MHH = 15,
    COL_MLH = 17,
    COL_MSH = 19,
    COL_NC = 22,
    COL_NV = 23,
    COL_PERMITTIVITY = 24,
    COL_INDEX_N = 25,
    COL_INDEX_K = 26,
    COL_INDEX_DATA = 27,
    COL_BETA = 28,
    COL_CN = 29,
    COL_CP = 30,
    COL_TAUN = 32,
    COL_TAUP = 33,
    COL_MOBILITY_N = 35,
    COL_MOBILITY_P = 36,
    COL_URBACH_EA = 40,
    COL_URBACH_ED = 41,
    COL_URBACH_GA = 42,
    COL_URBACH_GD = 43,
    COL_URBACH_TAUN_A = 44,
    COL_URBACH_TAUP_A = 45,
    COL_URBACH_TAUN_D = 46,
    COL_URBACH_TAUP_D = 47,
    COL_LATTICE_A = 62,
    COL_LATTICE_B = 63,
    COL_LATTICE_C = 64,
    COL_E31 = 67,
    COL_E33 = 68,
    COL_C11 = 69,
    COL_C12 = 70,
    COL_C13 = 71,
    COL_C33 = 72,
    COL_PSP = 74,
    COL_THERMC = 76,
    COL_HEAT = 78
};
static_assert(COL_HEAT + 1 == EK_MATERIAL_COLUMN_COUNT);

const int INDEX_DATA_BYTES_MIN = 1024;
const int INDEX_DATA_BYTES_MAX = 32767;

// Connection and statement closed on every way out.
struct Query {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    ~Query()
    {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
};

void readRow(sqlite3_stmt* stmt, ekMaterialRow* row)
{
    auto real = [stmt](int column) { return sqlite3_column_double(stmt, column); };
    ekMaterialParameters& p = row->values;
    p = ekMaterialParameters{};

    // The column says whether the tails are restricted: "none" means they
    // are not, so the tail model is on.
    const unsigned char* restriction = sqlite3_column_text(stmt, COL_URBACH_RESTRICTION);
    p.urbach = restriction && strcasecmp(reinterpret_cast<const char*>(restriction), "none") == 0;

    p.thickness = real(COL_THICKNESS);
    p.Eg = real(COL_BANDGAP);
    p.direct = static_cast<long long>(real(COL_BANDGAP_TYPE)) == 1;
    p.Chi = real(COL_AFFINITY);
    p.Eso = real(COL_ESO);
    p.Me = real(COL_ME);
    p.Mhh = real(COL_MHH);
    p.Mlh = real(COL_MLH);
    p.Msh = real(COL_MSH);
    p.NC = real(COL_NC);
    p.NV = real(COL_NV);
    p.Eps = real(COL_PERMITTIVITY);
    p.indexN = real(COL_INDEX_N);
    p.indexK = real(COL_INDEX_K);
    p.Beta = real(COL_BETA);
    p.Cn = real(COL_CN);
    p.Cp = real(COL_CP);
    p.Taun = real(COL_TAUN);
    p.Taup = real(COL_TAUP);
    p.Mobn = real(COL_MOBILITY_N);
    p.Mobp = real(COL_MOBILITY_P);
    p.urbachEA = real(COL_URBACH_EA);
    p.urbachED = real(COL_URBACH_ED);
    p.urbachGA = real(COL_URBACH_GA);
    p.urbachGD = real(COL_URBACH_GD);
    p.urbachTaunA = real(COL_URBACH_TAUN_A);
    p.urbachTaupA = real(COL_URBACH_TAUP_A);
    p.urbachTaunD = real(COL_URBACH_TAUN_D);
    p.urbachTaupD = real(COL_URBACH_TAUP_D);
    p.latticeA = real(COL_LATTICE_A);
    p.latticeB = real(COL_LATTICE_B);
    p.latticeC = real(COL_LATTICE_C);
    p.e31 = real(COL_E31);
    p.e33 = real(COL_E33);
    p.c11 = real(COL_C11);
    p.c12 = real(COL_C12);
    p.c13 = real(COL_C13);
    p.c33 = real(COL_C33);
    p.Psp = real(COL_PSP);
    p.Thermc = real(COL_THERMC);
    p.Heat = real(COL_HEAT);

    row->indexData.clear();
    const void* blob = sqlite3_column_blob(stmt, COL_INDEX_DATA);
    const int bytes = sqlite3_column_bytes(stmt, COL_INDEX_DATA);
    if (blob && bytes >= INDEX_DATA_BYTES_MIN && bytes <= INDEX_DATA_BYTES_MAX) {
        row->indexData.assign(static_cast<const char*>(blob), static_cast<size_t>(bytes));
    }
}

}  // namespace

bool ek_materialDatabasePath(std::string* path)
{
    char folder[FO_PATH_SIZE] = {};
    if (!path || !fo_getAppDirA(nullptr, folder) || !folder[0]) {
        return false;
    }
    *path = folder;
    *path += EK_MATERIAL_DATABASE_FILE;
    return true;
}

ekMaterialLookup ek_readMaterialRow(const wchar_t* name, ekMaterialRow* row)
{
    if (!row) {
        return ekMaterialLookup::NoRow;
    }
    std::string path;
    if (!ek_materialDatabasePath(&path) || !kov_fileExistsA(path.c_str())) {
        return ekMaterialLookup::NoDatabase;
    }
    const std::string narrow = kov_toUtf8(name ? name : L"");
    if (narrow.empty() || narrow.size() > NAME_BYTES_MAX) {
        return ekMaterialLookup::NoRow;
    }
    if (sqlite3_initialize() != SQLITE_OK) {
        return ekMaterialLookup::NoDatabase;
    }

    Query query;
    if (sqlite3_open_v2(path.c_str(), &query.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        return ekMaterialLookup::NoDatabase;
    }
    // A file that is no database, or a database without the table, fails
    // here: the same as a missing row for the caller.
    if (sqlite3_prepare_v2(query.db, SELECT_ROW, -1, &query.stmt, nullptr) != SQLITE_OK ||
        sqlite3_bind_text(query.stmt, 1, narrow.c_str(), static_cast<int>(narrow.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK ||
        sqlite3_step(query.stmt) != SQLITE_ROW) {
        return ekMaterialLookup::NoRow;
    }
    if (sqlite3_column_count(query.stmt) < EK_MATERIAL_COLUMN_COUNT) {
        return ekMaterialLookup::TooFewColumns;
    }
    readRow(query.stmt, row);
    return ekMaterialLookup::Found;
}

std::wstring ek_materialDatabaseProblem()
{
    std::string path;
    if (!ek_materialDatabasePath(&path)) {
        return L"the program folder, where the material database lives, is unknown";
    }
    const std::wstring named = L"the material database " + kov_toWide(path);
    if (!kov_fileExistsA(path.c_str())) {
        return named + L" is missing";
    }
    Query query;
    if (sqlite3_initialize() != SQLITE_OK ||
        sqlite3_open_v2(path.c_str(), &query.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        return named + L" cannot be opened";
    }
    if (sqlite3_prepare_v2(query.db, "SELECT * FROM TABLE_MATERIAL LIMIT 0", -1, &query.stmt,
                           nullptr) != SQLITE_OK) {
        return named + L" is not a material database (" + kov_toWide(sqlite3_errmsg(query.db)) +
               L")";
    }
    if (sqlite3_column_count(query.stmt) < EK_MATERIAL_COLUMN_COUNT) {
        return named + L" has too few columns (" +
               std::to_wstring(sqlite3_column_count(query.stmt)) + L" of " +
               std::to_wstring(EK_MATERIAL_COLUMN_COUNT) + L")";
    }
    return {};
}

bool ek_isDatabaseMaterial(const wchar_t* name)
{
    ekMaterialRow row;
    return ek_readMaterialRow(name, &row) == ekMaterialLookup::Found;
}

bool ek_isKnownMaterial(const wchar_t* name)
{
    return ekLayer::isStandardMaterial(ek_resolveMaterialAlias(name)) ||
           ek_isDatabaseMaterial(name);
}

const wchar_t* ek_materialValuesProblem(const ekMaterialParameters& p)
{
    if (!kov_inRange(p.thickness, 1e-4, 1e4)) {
        return L"invalid layer thickness";
    }
    if (!kov_inRange(p.Eg, 0.001, 20) || !kov_inRange(p.Chi, 0.001, 20) ||
        !kov_inRange(p.NC, 1e6, 1e24) || !kov_inRange(p.NV, 1e6, 1e24)) {
        return L"invalid layer energy parameters";
    }
    if (!kov_inRange(p.Eps, 1, 100)) {
        return L"invalid layer permittivity";
    }
    if (!kov_inRange(p.Eso, 0, 10) || !kov_inRange(p.Me, 0.001, 10) ||
        !kov_inRange(p.Mhh, 0.001, 10) || !kov_inRange(p.Mlh, 0.001, 10) ||
        !kov_inRange(p.Msh, 0.001, 10)) {
        return L"invalid layer effective mass parameters";
    }
    if (!kov_inRange(p.urbachEA, 0, 5) || !kov_inRange(p.urbachED, 0, 5) ||
        !kov_inRange(p.urbachEA * 0.5 * p.urbachGA, 0, 1e24) ||
        !kov_inRange(p.urbachED * 0.5 * p.urbachGD, 0, 1e24) ||
        !kov_inRange(p.urbachTaunA, 1e-15, 1000) || !kov_inRange(p.urbachTaupA, 1e-15, 1000) ||
        !kov_inRange(p.urbachTaunD, 1e-15, 1000) || !kov_inRange(p.urbachTaupD, 1e-15, 1000)) {
        return L"invalid Urbach parameters";
    }
    // The constant index has open bounds: n = 0 would stop all light.
    if (!(p.indexN > 0 && p.indexN < 100) || !(p.indexK >= 0 && p.indexK < 100)) {
        return L"invalid optical index";
    }
    if (!kov_inRange(p.Thermc, 0, 100) || !kov_inRange(p.Heat, 0, 100)) {
        return L"invalid layer optical parameters";
    }
    if (!kov_inRange(p.Mobn, 0.001, 1e5) || !kov_inRange(p.Mobp, 0.001, 1e5)) {
        return L"invalid layer mobility parameters";
    }
    if (!kov_inRange(p.Beta, 1e-22, 1e-6) || !kov_inRange(p.Cn, 1e-48, 1e-9) ||
        !kov_inRange(p.Cp, 1e-48, 1e-9) || !kov_inRange(p.Taun, 1e-15, 1000) ||
        !kov_inRange(p.Taup, 1e-15, 1000)) {
        return L"invalid recombination parameters";
    }
    if (!kov_inRange(p.latticeA, 0.1, 1) || !kov_inRange(p.latticeB, 0.1, 1) ||
        !kov_inRange(p.latticeC, 0.1, 1)) {
        return L"invalid lattice parameter";
    }
    if (!kov_inRange(p.e31, -10, 10) || !kov_inRange(p.e33, -10, 10)) {
        return L"invalid piezoelectric parameters";
    }
    if (!kov_inRange(p.c11, 0, 1e4) || !kov_inRange(p.c12, 0, 1e4) || !kov_inRange(p.c13, 0, 1e4) ||
        !kov_inRange(p.c33, 0, 1e4)) {
        return L"invalid elastic parameters";
    }
    if (!kov_inRange(p.Psp, -10, 10)) {
        return L"invalid spontaneous polarization";
    }
    return nullptr;
}
