// kovracomp: the simulator driver. Runs one device file through the engine
// (ekcore), echoes the engine's lines as they come and lists the result
// files of the run.
//
//   kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]
//
// Exit status: 0 when the run succeeded, 1 when it failed, 2 on a bad
// command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "ekcore.h"
#include "kovbase.h"

namespace {

void printUsage()
{
    std::fputs("usage: kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]\n"
               "  -run FILE  simulate the device file FILE (.kovra)\n"
               "  -comm      write report lines to the exchange file simulcomm.txt\n"
               "  -nowarn    suppress the warnings that may be suppressed\n"
               "  -verbose   print the engine's information lines\n"
               "  -debug     print debug lines and write the diagnostic files\n",
               stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    // The driver usually runs behind a pipe: every line must leave at once.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const char* file = nullptr;
    bool comm = false, nowarn = false, verbose = false, debug = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-run") == 0 && i + 1 < argc && file == nullptr) {
            file = argv[++i];
        } else if (std::strcmp(argv[i], "-comm") == 0) {
            comm = true;
        } else if (std::strcmp(argv[i], "-nowarn") == 0) {
            nowarn = true;
        } else if (std::strcmp(argv[i], "-verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "-debug") == 0) {
            debug = true;
        } else {
            printUsage();
            return 2;
        }
    }
    if (file == nullptr || file[0] == '\0') {
        printUsage();
        return 2;
    }

    static wchar_t names[5][EK_FILENAME_SIZE];
    bool plot = false;
    // Command-line text is UTF-8; the engine takes wide text.
    const std::wstring input = kov_toWide(file);
    const bool ok = ek_simulate(input.c_str(), debug, comm, verbose, &plot, nowarn, names[0],
                                names[1], names[2], names[3], names[4], nullptr);
    for (const wchar_t* name : names) {
        if (name[0] != 0) {
            std::printf("[RESULT]  %s\n", kov_toUtf8(name).c_str());
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
