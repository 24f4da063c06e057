// The window of KovraCalc is built over the windowing layer; until it is
// part of this build the program says so instead of opening nothing.
#include "kovbase.h"

int CalcWindow_main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    kov_printf("KovraCalc: the calculator window is not part of this build; use -run or -test\n");
    return 1;
}
