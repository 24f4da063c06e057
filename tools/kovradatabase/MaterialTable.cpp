#include "MaterialTable.h"

#include <sqlite3.h>

#include <charconv>
#include <map>

#include "kovText.h"

namespace {

// Units of the columns that carry one; the others are names, notes, ratios
// or relative values.
const std::map<std::string, std::string>& units()
{
    static const std::map<std::string, std::string> table = {
        {"Thickness", "um"},     {"Bandgap", "eV"},       {"Affinity", "eV"},
        {"Eso", "eV"},           {"NC", "1/cm3"},         {"NV", "1/cm3"},
        {"Beta", "cm3/s"},       {"Cn", "cm6/s"},         {"Cp", "cm6/s"},
        {"DopantN", "1/cm3"},    {"Taun", "s"},           {"Taup", "s"},
        {"MobilityN", "cm2/Vs"}, {"MobilityP", "cm2/Vs"}, {"UrbachEA", "eV"},
        {"UrbachED", "eV"},      {"UrbachTaunA", "s"},    {"UrbachTaupA", "s"},
        {"UrbachTaunD", "s"},    {"UrbachTaupD", "s"},    {"Trap1N", "1/cm3"},
        {"Trap1Nr", "1/cm3"},    {"Trap1E", "eV"},        {"Trap1W", "eV"},
        {"Trap1Taun", "s"},      {"Trap1Taup", "s"},      {"Trap2N", "1/cm3"},
        {"Trap2Nr", "1/cm3"},    {"Trap2E", "eV"},        {"Trap2W", "eV"},
        {"Trap2Taun", "s"},      {"Trap2Taup", "s"},      {"LatticeA", "nm"},
        {"LatticeB", "nm"},      {"LatticeC", "nm"},
    };
    return table;
}

std::string header(const std::string& column)
{
    auto unit = units().find(column);
    return unit == units().end() ? column : column + " (" + unit->second + ")";
}

std::string cellText(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return "";
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT: {
        // to_chars writes a '.' whatever the locale says.
        char text[32];
        auto written =
            std::to_chars(text, text + sizeof text, sqlite3_column_double(statement, column),
                          std::chars_format::general, 6);
        return std::string(text, written.ptr);
    }
    case SQLITE_BLOB:
        return "table, " + std::to_string(sqlite3_column_bytes(statement, column)) + " bytes";
    default: {
        const unsigned char* text = sqlite3_column_text(statement, column);
        return text ? reinterpret_cast<const char*>(text) : "";
    }
    }
}

}  // namespace

MaterialTable MaterialTable_load(const std::string& databasePath)
{
    MaterialTable table;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        table.error = "Cannot open the material database " + databasePath + ": " +
                      (db ? sqlite3_errmsg(db) : KOV_NO_MEMORY);
        sqlite3_close(db);
        return table;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT * FROM TABLE_MATERIAL ORDER BY Id", -1, &statement,
                           nullptr) != SQLITE_OK) {
        table.error = "Cannot read the materials of " + databasePath + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return table;
    }
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c) {
        table.headers.push_back(header(sqlite3_column_name(statement, c)));
    }
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < columns; ++c) {
            row.push_back(cellText(statement, c));
        }
        table.rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) {
        table.error = "Cannot read the materials of " + databasePath + ": " + sqlite3_errmsg(db);
        table.rows.clear();
        table.headers.clear();
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return table;
}

std::string MaterialTable_defaultPath(const std::string& binDir)
{
    return binDir + "etc/semiconductor.kovradb";
}
