// KovraCalc: the scientific calculator of the suite. Started from a
// terminal with "-test" or "-run" it prints there and exits with a status;
// otherwise it opens its window.
#include <cstdio>
#include <string>

#include "CalcCommandLine.h"
#include "WindowMain.h"
#include "kovbase.h"

int main(int argc, char** argv)
{
    kov_MemoryCreate("KovraCalc");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    int status = 1;
    switch (CalcCommandLine_mode(argc, argv)) {
    case CalcMode::TEST: status = CalcCommandLine_test(argv[2]); break;
    case CalcMode::RUN: status = CalcCommandLine_run(argc, argv); break;
    case CalcMode::VERSION: status = CalcCommandLine_version(); break;
    case CalcMode::HELP: status = CalcCommandLine_help(); break;
    case CalcMode::INCOMPLETE: status = CalcCommandLine_incomplete(); break;
    case CalcMode::WINDOW: {
        std::string reason;
        if (!CalcCommandLine_displayAvailable(&reason)) {
            kov_printf("\n! Cannot open the KovraCalc window: %s\n", reason.c_str());
            break;
        }
        status = WindowMain_run(argc, argv);
        break;
    }
    }
    kov_MemoryDestroy();
    return status;
}
