// KovraCalc: the scientific calculator of the suite. Started from a
// terminal with "-test" or "-run" it prints there and exits with a status;
// otherwise it opens its window.
#include <cstdio>

#include "CalcCommandLine.h"
#include "kovbase.h"

int CalcWindow_main(int argc, char** argv);

int main(int argc, char** argv)
{
    kov_MemoryCreate("KovraCalc");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    int status = 1;
    switch (CalcCommandLine_mode(argc, argv)) {
    case CalcMode::Test:
        status = CalcCommandLine_test(argv[2]);
        break;
    case CalcMode::Run:
        status = CalcCommandLine_run(argc, argv);
        break;
    case CalcMode::Version:
        status = CalcCommandLine_version();
        break;
    case CalcMode::Help:
        status = CalcCommandLine_help();
        break;
    case CalcMode::Window:
        status = CalcWindow_main(argc, argv);
        break;
    }
    kov_MemoryDestroy();
    return status;
}
