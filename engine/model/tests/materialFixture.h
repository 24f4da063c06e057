// Test helpers for the material tests: a temporary program folder (through
// KOVRA_APPDIR) whose etc/ may hold a material database made by the test.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tempFolder.h"

namespace material_test {

inline std::string readFile(const std::string& path) { return readAll(path); }

// The script the build turns into the shipped database.
inline std::string shippedScript()
{
    return readFile(std::string(KOVRA_SOURCE_DIR) + "/etc/semiconductor.sql");
}

// Runs SQL on a database file (created when missing); the error text, empty
// on success.
inline std::string execSql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    std::string error;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "cannot open";
    } else {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            error = message ? message : "failed";
        }
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}

// One integer result of a query (-1 on failure).
inline long long queryInt(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        value = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

// While alive, the program folder is a fresh temporary folder with an empty
// etc/; the previous KOVRA_APPDIR comes back afterwards.
class AppDirScope {
public:
    AppDirScope()
    {
        if (const char* old = getenv("KOVRA_APPDIR")) {
            hadSavedAppDir = true;
            savedAppDir = old;
        }
        if (ok()) {
            std::filesystem::create_directories(root.file("etc"));
        }
        setenv("KOVRA_APPDIR", root.path().c_str(), 1);
    }
    // The folder itself goes with root, after KOVRA_APPDIR is put back.
    ~AppDirScope()
    {
        if (hadSavedAppDir) {
            setenv("KOVRA_APPDIR", savedAppDir.c_str(), 1);
        } else {
            unsetenv("KOVRA_APPDIR");
        }
    }
    AppDirScope(const AppDirScope&) = delete;
    AppDirScope& operator=(const AppDirScope&) = delete;

    bool ok() const { return !root.path().empty(); }
    std::string databasePath() const { return root.file("etc/semiconductor.kovradb"); }

    // The shipped rows, then the test's changes.
    std::string makeDatabase(const std::string& changes = "") const
    {
        std::string error = execSql(databasePath(), shippedScript());
        if (error.empty() && !changes.empty()) {
            error = execSql(databasePath(), changes);
        }
        return error;
    }

private:
    TempFolder root{"kovra-material-"};
    bool hadSavedAppDir = false;
    std::string savedAppDir;
};

}  // namespace material_test
