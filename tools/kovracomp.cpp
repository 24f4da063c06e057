// kovracomp: the simulator driver. Runs one device file through the engine
// (ekcore), echoes the engine's lines as they come and lists the result
// files of the run.
//
//   kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]
//   kovracomp --help | -h | --version
//
// Exit status: 0 when the run succeeded (and for --help and --version), 1
// when it failed, 2 on a bad command line.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "ekcore.h"
#include "kovbase.h"
#include "kovraVersion.h"
#include "nuSigma.h"

namespace {

constexpr const char* USAGE =
    "usage: kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]\n"
    "       kovracomp --help | -h | --version\n"
    "  -run FILE  simulate the device file FILE (.kovra)\n"
    "  -comm      write report lines to the exchange file simulcomm.txt\n"
    "  -nowarn    suppress the warnings that may be suppressed\n"
    "  -verbose   print the engine's information lines\n"
    "  -debug     print debug lines and write the diagnostic files\n"
    "  -h, --help print this help and exit\n"
    "  --version  print the version and exit\n"
    "Ctrl+C (SIGINT) or SIGTERM stops the run the way a \"Stop\" request does;\n"
    "a second one ends the program at once.\n";

struct Options {
    const char* file = nullptr;
    bool comm = false;
    bool nowarn = false;
    bool verbose = false;
    bool debug = false;
};

// A signal asks the engine for its orderly stop; the handler is then reset,
// so a second signal ends a run that does not react.
void onStopSignal(int) { nu_requestStop(); }

void installStopHandlers()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// 0: run; 1: done (help or version printed); 2: bad command line.
int parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(USAGE, stdout);
            return 1;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("kovracomp %s\n", KOVRA_VERSION_TEXT);
            return 1;
        }
        if (std::strcmp(arg, "-run") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kovracomp: -run needs a device file\n");
                return 2;
            }
            if (options.file != nullptr) {
                std::fprintf(stderr, "kovracomp: -run given twice\n");
                return 2;
            }
            options.file = argv[++i];
        } else if (std::strcmp(arg, "-comm") == 0) {
            options.comm = true;
        } else if (std::strcmp(arg, "-nowarn") == 0) {
            options.nowarn = true;
        } else if (std::strcmp(arg, "-verbose") == 0) {
            options.verbose = true;
        } else if (std::strcmp(arg, "-debug") == 0) {
            options.debug = true;
        } else {
            std::fprintf(stderr, "kovracomp: unknown option '%s'\n", arg);
            return 2;
        }
    }
    if (options.file == nullptr || options.file[0] == '\0') {
        std::fprintf(stderr, "kovracomp: no device file given (-run FILE)\n");
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // The driver usually runs behind a pipe: every line must leave at once.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    Options options;
    const int parsed = parse(argc, argv, options);
    if (parsed == 1) {
        return 0;
    }
    if (parsed == 2) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    installStopHandlers();

    static wchar_t names[5][EK_FILENAME_SIZE];
    bool plot = false;
    // Command-line text is UTF-8; the engine takes wide text.
    const std::wstring input = kov_toWide(options.file);
    const bool ok =
        ek_simulate(input.c_str(), options.debug, options.comm, options.verbose, &plot,
                    options.nowarn, names[0], names[1], names[2], names[3], names[4], nullptr);
    std::string folder;
    for (const wchar_t* name : names) {
        if (name[0] != 0) {
            const std::string path = kov_toUtf8(name);
            std::printf("[RESULT]  %s\n", path.c_str());
            folder = path.substr(0, path.find_last_of('/') + 1);
        }
    }
    // The figures files are not among the engine's named results; a run
    // that saved curves cleared the old ones first, so those present now
    // are this run's.
    if (!folder.empty()) {
        for (const char* figures : {"simulout_photovoltaic.txt", "simulout_photocurrent.txt"}) {
            const std::string path = folder + figures;
            if (::access(path.c_str(), F_OK) == 0) {
                std::printf("[RESULT]  %s\n", path.c_str());
            }
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
