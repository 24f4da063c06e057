// KovraCalc's ways of running, chosen by the command line: the parser's
// self-test ("-test FILE"), batch evaluation ("-run EXPR|FILE [-out FILE]")
// and the window. The two batch modes print to standard output and never
// open a window.
#pragma once

#include <string>

enum class CalcMode { TEST, RUN, VERSION, HELP, WINDOW, INCOMPLETE };

// The mode a command line asks for: "-test FILE" (exactly), "-run X" or
// "-run X A B" with X of 1..255 characters, "--version" or "--help" alone;
// "-run X -out" without its file name is INCOMPLETE (said, not taken for a
// window); anything else opens the window.
CalcMode CalcCommandLine_mode(int argc, char** argv);

// "--version": "KovraCalc <version> (build <build>)"; "--help": the
// command lines. Both print to standard output and return 0.
int CalcCommandLine_version();
int CalcCommandLine_help();

// "-run X -out" without OUT: says so and returns 1.
int CalcCommandLine_incomplete();

// Whether the window can open here: false, with the reason, when there is
// no display to show it on (started from a text console or over ssh
// without X), where the windowing layer would otherwise abort the program.
bool CalcCommandLine_displayAvailable(std::string* reason);

// "-test FILE": 0 when the self-test of FILE passed, else 1 (also for a
// file name shorter than 4 or longer than 1023 characters).
int CalcCommandLine_test(const char* fileName);

// "-run EXPR|FILE [-out OUT]": evaluates the expression, or each line of
// the file (at most 32 lines, blank ones skipped, stopping after the first
// that fails), printing ">> line" and the answer indented by three blanks;
// with "-out OUT" the same blocks go to OUT. The file is read whole before
// OUT is opened, and an OUT that is the input file (also through a link) is
// refused, so the user's lines are never emptied. 0 when the last
// evaluation succeeded and every block reached OUT, else 1 with a message.
int CalcCommandLine_run(int argc, char** argv);
