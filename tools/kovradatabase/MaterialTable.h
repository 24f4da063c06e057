// The material database as a table for people to read: one row per material,
// one column per stored value, each header with its unit where the value has
// one. Read-only: the file is opened so that nothing can be written.
#pragma once

#include <string>
#include <vector>

struct MaterialTable {
    std::vector<std::string> headers;            // "Bandgap (eV)", ...
    std::vector<std::vector<std::string>> rows;  // display texts, one row per material
    std::string error;                           // why the file could not be read
};

// Reads TABLE_MATERIAL of the database file. On failure the table is empty
// and error says why.
MaterialTable MaterialTable_load(const std::string& databasePath);

// Where the database lies for a program in binDir (with its trailing '/').
std::string MaterialTable_defaultPath(const std::string& binDir);
