// Shared by the Lua engine and model tests: a scratch folder that disappears
// with the test, and the paths of the fixture and example scripts.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "tempFolder.h"

namespace luatest {

inline std::filesystem::path fixtureDir()
{
    return std::filesystem::path(KOVRA_SOURCE_DIR) / "engine/model/tests/lua";
}

inline std::filesystem::path exampleDir()
{
    return std::filesystem::path(KOVRA_SOURCE_DIR) / "examples/lua";
}

inline std::wstring widePath(const std::filesystem::path& p) { return p.wstring(); }

class ScratchDir {
public:
    explicit ScratchDir(const std::string& leaf = "")
        : folderPath(leaf.empty() ? root.folder() : root.folder() / leaf)
    {
        std::filesystem::create_directories(folderPath);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return folderPath; }

    std::filesystem::path write(const std::string& name, const std::string& text) const
    {
        const std::filesystem::path file = folderPath / name;
        std::ofstream out(file, std::ios::binary);
        out << text;
        return file;
    }

private:
    TempFolder root{"kovra_lua_"};
    std::filesystem::path folderPath;
};

}  // namespace luatest
