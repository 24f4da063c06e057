// Look-ups in the material database. The file is opened read-only for
// each look-up, and the name is bound to the prepared query, so a name
// with quotes or SQL in it is only ever a name.
#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "docHooks.h"
#include "kovbase.h"
#include "materials.h"

namespace {

constexpr const char* DB_RELATIVE = "etc/semiconductor.kovradb";

// An open read-only connection and one prepared statement, closed together.
class Query {
public:
    explicit Query(const char* sql)
    {
        char path[1024];
        MaterialDb_path(path, sizeof path);
        if (path[0] == '\0' || kov_fileExistsA(path) == 0) {
            return;
        }
        if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            return;
        }
        if (sqlite3_prepare_v2(db, sql, -1, &prepared, nullptr) != SQLITE_OK) {
            prepared = nullptr;
        }
    }
    ~Query()
    {
        sqlite3_finalize(prepared);
        sqlite3_close(db);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    sqlite3_stmt* statement() const { return prepared; }

private:
    sqlite3* db = nullptr;
    sqlite3_stmt* prepared = nullptr;
};

double column(sqlite3_stmt* statement, int index)
{
    return sqlite3_column_double(statement, index);
}

void readTrapGroup(sqlite3_stmt* s, int first, TrapGroup* group)
{
    group->n = column(s, first);
    group->nr = column(s, first + 1);
    group->e = column(s, first + 2);
    group->f = column(s, first + 3);
    group->taun = column(s, first + 5);
    group->taup = column(s, first + 6);
}

void readRow(sqlite3_stmt* s, MaterialRecord* r)
{
    r->thickness = column(s, 6);
    r->bandgap = column(s, 7);
    r->bandgapType = static_cast<int>(column(s, 8));
    r->affinity = column(s, 9);
    r->eso = column(s, 11);
    r->me = column(s, 13);
    r->mhh = column(s, 15);
    r->mlh = column(s, 17);
    r->msh = column(s, 19);
    r->nc = column(s, 22);
    r->nv = column(s, 23);
    r->permittivity = column(s, 24);
    r->indexN = column(s, 25);
    r->indexK = column(s, 26);
    r->beta = column(s, 28);
    r->cn = column(s, 29);
    r->cp = column(s, 30);
    r->dopantN = column(s, 31);
    r->taun = column(s, 32);
    r->taup = column(s, 33);
    r->mobilityN = column(s, 35);
    r->mobilityP = column(s, 36);
    r->urbachEA = column(s, 40);
    r->urbachED = column(s, 41);
    r->urbachGA = column(s, 42);
    r->urbachGD = column(s, 43);
    r->urbachTaunA = column(s, 44);
    r->urbachTaupA = column(s, 45);
    r->urbachTaunD = column(s, 46);
    r->urbachTaupD = column(s, 47);
    readTrapGroup(s, 48, &r->trapFirst);
    readTrapGroup(s, 55, &r->trapSecond);
    r->latticeA = column(s, 62);
    r->e31 = column(s, 67);
    r->e33 = column(s, 68);
    r->c13 = column(s, 71);
    r->c33 = column(s, 72);
    r->psp = column(s, 74);
}

// Rows already read, by name, for one version of one database file: every
// layer a file opens looks its material up, and the file does not change
// under a running editor often. A changed path, size or time empties it.
struct RowCache {
    std::string path;
    long long modified = -1;
    long long size = -1;
    std::map<std::string, std::pair<bool, MaterialRecord>> rows;

    // False when the file is missing (nothing cached then).
    bool follow(const char* file)
    {
        kov_FileTimes times{};
        if (kov_getFileTimes(file, 0, &times, 0) != 1) {
            rows.clear();
            path.clear();
            return false;
        }
        const long long bytes = kov_getFileSizeW(kov_toWide(file).c_str());
        if (path != file || times.modified != modified || bytes != size) {
            rows.clear();
            path = file;
            modified = times.modified;
            size = bytes;
        }
        return true;
    }
};

RowCache cache;

}  // namespace

namespace {

int lookupRow(const char* name, MaterialRecord* record)
{
    Query query("SELECT * FROM TABLE_MATERIAL WHERE Name = ?1 LIMIT 1");
    sqlite3_stmt* statement = query.statement();
    if (statement == nullptr) {
        return 0;
    }
    if (sqlite3_bind_text(statement, 1, name, -1, SQLITE_TRANSIENT) != SQLITE_OK) {
        return 0;
    }
    if (sqlite3_step(statement) != SQLITE_ROW) {
        return 0;
    }
    readRow(statement, record);
    kov_copyA(record->name, sizeof record->name, name);
    return 1;
}

}  // namespace

int MaterialDb_hasIndexData(const char* name)
{
    // The bounds within which the simulator reads a row's index table; a
    // table of another size is ignored there, so it is not offered here.
    constexpr int INDEX_DATA_MIN_BYTES = 1024;
    constexpr int INDEX_DATA_MAX_BYTES = 32767;
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    Query query("SELECT length(IndexData) FROM TABLE_MATERIAL WHERE Name = ?1 LIMIT 1");
    sqlite3_stmt* statement = query.statement();
    if (statement == nullptr ||
        sqlite3_bind_text(statement, 1, name, -1, SQLITE_TRANSIENT) != SQLITE_OK ||
        sqlite3_step(statement) != SQLITE_ROW || sqlite3_column_type(statement, 0) == SQLITE_NULL) {
        return 0;
    }
    const int bytes = sqlite3_column_int(statement, 0);
    return bytes >= INDEX_DATA_MIN_BYTES && bytes <= INDEX_DATA_MAX_BYTES ? 1 : 0;
}

void MaterialDb_path(char* out, size_t size)
{
    out[0] = '\0';
    char folder[1024] = "";
    const char* given = Doc_hooks().appDir();
    if (given != nullptr) {
        kov_copyA(folder, sizeof folder, given);
    } else if (kov_getAppDirA(folder, sizeof folder) == 0) {
        return;
    }
    if (folder[0] == '\0') {
        return;
    }
    std::snprintf(out, size, "%s%s", folder, DB_RELATIVE);
}

void MaterialRecord_setSilicon(MaterialRecord* r)
{
    std::memset(r, 0, sizeof *r);
    kov_copyA(r->name, sizeof r->name, "Si");
    r->thickness = 1;
    r->bandgap = 1.12;
    r->bandgapType = 2;
    r->affinity = 4.17;
    r->eso = 0.044;
    r->me = 0.36;
    r->mhh = 0.49;
    r->mlh = 0.16;
    r->msh = 0.24;
    r->nc = 2.8e19;
    r->nv = 1.04e19;
    r->permittivity = 11.8;
    r->indexN = 3.42;
    r->indexK = 0.05;
    r->beta = 1.1e-14;
    r->cn = 8.3e-32;
    r->cp = 1.8e-31;
    r->dopantN = 1e16;
    r->taun = 1e-7;
    r->taup = 1e-7;
    r->dopantType = 'D';
    r->mobilityN = 1000;
    r->mobilityP = 500;
    r->urbachEA = r->urbachED = 0.01;
    r->urbachGA = r->urbachGD = 1e20;
    r->urbachTaunA = r->urbachTaupA = r->urbachTaunD = r->urbachTaupD = 1e-8;
    r->trapFirst = TrapGroup{1e15, 1e19, 0.2, 1, 1e-8, 1e-8};
    r->trapSecond = r->trapFirst;
    r->latticeA = 0.4;
    r->e31 = r->e33 = 0;
    r->c13 = 100;
    r->c33 = 400;
    r->psp = 0;
}

int MaterialDb_lookup(const char* name, MaterialRecord* record)
{
    if (name == nullptr || name[0] == '\0' || record == nullptr) {
        return 0;
    }
    MaterialRecord_setSilicon(record);
    char path[1024];
    MaterialDb_path(path, sizeof path);
    if (path[0] == '\0' || !cache.follow(path)) {
        return 0;
    }
    const auto known = cache.rows.find(name);
    if (known != cache.rows.end()) {
        if (known->second.first) {
            *record = known->second.second;
        }
        return known->second.first ? 1 : 0;
    }
    const int found = lookupRow(name, record);
    cache.rows[name] = {found == 1, *record};
    return found;
}

int Material_listNames(void (*add)(const char* name, void* context), void* context)
{
    int count = 0;
    {
        Query query("SELECT Name FROM TABLE_MATERIAL LIMIT 255");
        sqlite3_stmt* statement = query.statement();
        while (statement != nullptr && count < 255 && sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            char name[32];
            kov_copyA(name, sizeof name, text != nullptr ? text : "");
            add(name, context);
            ++count;
        }
    }
    if (count > 0) {
        return count;
    }
    for (int i = 0; BuiltinMaterials[i] != nullptr; ++i) {
        add(BuiltinMaterials[i], context);
    }
    return BUILTIN_MATERIAL_COUNT;
}
