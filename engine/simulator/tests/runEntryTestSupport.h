// Device files for the run-entry tests and a run of ek_runSimulation with
// its console output captured and five sentinel-filled name buffers.
#pragma once

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "ekRunEntry.h"
#include "ekcore.h"
#include "kovbase.h"
#include "nucore.h"
#include "resultTestSupport.h"

// A silicon p-n junction: p-type 1e17 at the anode, n-type 1e16 at the
// cathode, 0.5 um and 1 um, pPoints + nPoints mesh points. extra is
// appended (further sections or keys of [Numeric], which comes last but
// one, and [Command]).
inline std::string junctionFile(const std::string& outDir, int pPoints = 100, int nPoints = 100,
                                const std::string& numeric = "", const std::string& extra = "")
{
    return "# Kovra <SL>\n"
           "# A silicon p-n junction for the run-entry tests\n"
           "[Device]\n"
           "    Name=\"Junction\"\n"
           "[Layer1]\n"
           "    Material=\"Si\"\n"
           "    Thickness=0.5\n"
           "    Dopant.Type=\"P\"\n"
           "    Dopant.N=1e17\n"
           "    Mesh.Points=" +
           std::to_string(pPoints) +
           "\n"
           "[Layer2]\n"
           "    Material=\"Si\"\n"
           "    Thickness=1\n"
           "    Dopant.Type=\"N\"\n"
           "    Dopant.N=1e16\n"
           "    Mesh.Points=" +
           std::to_string(nPoints) + "\n" + extra +
           "[Numeric]\n"
           "    Numeric.Method=\"Newton\"\n" +
           numeric +
           (outDir.empty() ? std::string() : "[Command]\n    Command.OutDir=\"" + outDir + "\"\n");
}

// Result-name buffers that show whether the run touched them.
struct NameBuffers {
    static constexpr const wchar_t* SENTINEL = L"untouched";
    wchar_t ee[EK_FILENAME_SIZE], en[EK_FILENAME_SIZE], cv[EK_FILENAME_SIZE], jv[EK_FILENAME_SIZE],
        qw[EK_FILENAME_SIZE];
    NameBuffers()
    {
        for (wchar_t* b : {ee, en, cv, jv, qw}) {
            std::wcscpy(b, SENTINEL);
        }
    }
    bool untouched(const wchar_t* b) const { return std::wcscmp(b, SENTINEL) == 0; }
    bool allUntouched() const
    {
        return untouched(ee) && untouched(en) && untouched(cv) && untouched(jv) && untouched(qw);
    }
};

struct RunResult {
    bool ok = false;
    bool plot = false;
    std::string console;
};

inline RunResult runDevice(const std::wstring& file, NameBuffers& names, bool verbose = false,
                           bool comm = false, std::function<void(nuParam&)> adjust = nullptr)
{
    ekRunRequest request;
    request.inputFile = file.c_str();
    request.verbose = verbose;
    request.comm = comm;
    RunResult result;
    request.plot = &result.plot;
    request.filenameEE = names.ee;
    request.filenameEN = names.en;
    request.filenameCV = names.cv;
    request.filenameJV = names.jv;
    request.filenameQW = names.qw;
    request.adjustSettings = std::move(adjust);
    ::testing::internal::CaptureStdout();
    result.ok = ek_runSimulation(request);
    result.console = ::testing::internal::GetCapturedStdout();
    return result;
}
