// Whole runs through ek_simulate on device files written into a scratch
// folder, with helpers to read the result files back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ekcore.h"
#include "tempFolder.h"
#include "tableRows.h"

class RunFixture : public ::testing::Test {
protected:
    // A folder of its own for each test, named after it and removed with it.
    TempFolder scratchFolder{TempFolder::prefixForTest("kovra_run_")};
    std::filesystem::path scratch = scratchFolder.folder();

    void SetUp() override { ASSERT_FALSE(scratch.empty()); }

    std::string at(const std::string& name) const { return (scratch / name).string(); }

    std::string write(const std::string& name, const std::string& text) const
    {
        const std::filesystem::path file = scratch / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << text;
        return file.string();
    }

    static std::string read(const std::string& file)
    {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Runs print warnings into the log only when a test asks for them.
    bool warnings = false;

    // Runs a device file quietly; names receives the five result names.
    bool run(const std::string& device, std::wstring* names = nullptr,
             const std::string& summary = "")
    {
        static wchar_t buffers[5][EK_FILENAME_SIZE];
        for (auto& b : buffers) {
            b[0] = 0;
        }
        const std::wstring file(device.begin(), device.end());
        const std::wstring summaryFile(summary.begin(), summary.end());
        ::testing::internal::CaptureStdout();
        const bool ok = ek_simulate(file.c_str(), false, false, false, nullptr, !warnings,
                                    buffers[0], buffers[1], buffers[2], buffers[3], buffers[4],
                                    summary.empty() ? nullptr : summaryFile.c_str());
        log = ::testing::internal::GetCapturedStdout();
        if (names != nullptr) {
            for (int i = 0; i < 5; ++i) {
                names[i] = buffers[i];
            }
        }
        return ok;
    }

    // Data rows of a tab-separated result file (comment lines skipped).
    static std::vector<std::vector<double>> rows(const std::string& file)
    {
        return readTableRows(file);
    }

    // The file without its "# Saved:" line.
    static std::string withoutSavedLine(const std::string& file)
    {
        std::istringstream in(read(file));
        std::string line, text;
        while (std::getline(in, line)) {
            if (line.rfind("# Saved:", 0) != 0) {
                text += line + "\n";
            }
        }
        return text;
    }

    std::string log;  // console output of the last run
};
