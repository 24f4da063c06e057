// Where the result files of a run go: what setPath records and what the
// writers keep of the output folder from one file to the next.
#pragma once

#include <cstddef>

struct ekOutputNames {
    static constexpr size_t PATH_SIZE = 1024;  // 1023 characters and the terminator
    wchar_t inputFile[PATH_SIZE] = {};
    wchar_t folder[PATH_SIZE] = {};  // ends with a separator
    wchar_t logFile[PATH_SIZE] = {};
    // Zero-padded number of the distribution files of the run.
    wchar_t distFormat[32] = L"%04d";
    bool cleared = false;  // the earlier run's results are gone
};
