// KovraCalc's ways of running, chosen by the command line: the parser's
// self-test ("-test FILE"), batch evaluation ("-run EXPR|FILE [-out FILE]")
// and the window. The two batch modes print to standard output and never
// open a window.
#pragma once

enum class CalcMode { Test, Run, Window };

// The mode a command line asks for: "-test FILE" (exactly), "-run X" or
// "-run X A B" with X of 1..255 characters; anything else opens the window.
CalcMode CalcCommandLine_mode(int argc, char** argv);

// "-test FILE": 0 when the self-test of FILE passed, else 1 (also for a
// file name shorter than 4 or longer than 1023 characters).
int CalcCommandLine_test(const char* fileName);

// "-run EXPR|FILE [-out OUT]": evaluates the expression, or each line of
// the file (at most 32 lines, blank ones skipped, stopping after the first
// that fails), printing ">> line" and the answer indented by three blanks;
// with "-out OUT" the same blocks go to OUT. 0 when the last evaluation
// succeeded, else 1.
int CalcCommandLine_run(int argc, char** argv);
