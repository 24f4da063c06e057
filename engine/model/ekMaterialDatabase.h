// The material database "semiconductor.kovradb": an SQLite file in the
// program folder's etc/, table TABLE_MATERIAL, one row per material looked
// up by its Name column and read by column position. It is opened
// read-only for every look-up and never written.
#pragma once

#include <string>

#include "ekMaterialTable.h"

constexpr const char* EK_MATERIAL_DATABASE_FILE = "semiconductor.kovradb";

// Columns of TABLE_MATERIAL up to the last one the engine reads (0-based).
constexpr int EK_MATERIAL_COLUMN_COUNT = 79;

// Refusal of a layer material that neither the built-in table nor the
// database knows (printf-style, one %ls for the name).
constexpr const wchar_t* EK_MSG_UNKNOWN_MATERIAL = L"unknown material: %ls";

// Full path of the database file (it may not exist); false when the
// program folder is unknown.
bool ek_materialDatabasePath(std::string* path);

enum class ekMaterialLookup {
    NoDatabase,     // no file, or it cannot be opened
    NoRow,          // no such row, no such table, or an unusable name
    TooFewColumns,  // the row lacks columns the engine reads
    Found
};

struct ekMaterialRow {
    // latticeType stays 0: the database does not carry it.
    ekMaterialParameters values{};
    // Optical index table of the IndexData column (empty when absent or
    // outside the accepted size window of 1024..32767 bytes).
    std::string indexData;
};

// Reads the row whose Name equals name. The name is passed to SQLite as a
// bound parameter, so quotes or SQL text in it are only ever a name.
ekMaterialLookup ek_readMaterialRow(const wchar_t* name, ekMaterialRow* row);

// Why the database cannot serve look-ups, naming its file ("the material
// database /x/etc/semiconductor.kovradb is missing"), or empty when it can:
// an unknown material is then really unknown, not hidden by a broken file.
std::wstring ek_materialDatabaseProblem();

// True when the database holds a row for name.
bool ek_isDatabaseMaterial(const wchar_t* name);

// True when a layer can be made of name: a built-in material (aliases
// included) or a row of the database. A device-file reader refuses any
// other name with EK_MSG_UNKNOWN_MATERIAL instead of building a layer.
bool ek_isKnownMaterial(const wchar_t* name);

// Range check of a parameter set from outside the program (the bounds of
// the layer's validating setters), silent: null when every value is
// usable, else a short reason ("invalid layer energy parameters").
// Too low Urbach tails are not a range problem: ekLayer::checkParameters
// handles them.
const wchar_t* ek_materialValuesProblem(const ekMaterialParameters& values);
