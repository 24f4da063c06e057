// The expression parser of the GUI programs: the calculator's lines
// (expressions, assignments, commands) and the editor's value expressions
// over device variables. The grammar is the suite's one (kovGrammar.h).
#pragma once

#include <cstddef>

constexpr int KOV_PARSER_HISTORY = 32;  // lines kept
constexpr int KOV_PARSER_LINE = 256;    // bytes of a line, an answer, a value text
constexpr int KOV_PARSER_MAXLINE = KOV_PARSER_LINE - 1;

struct kov_ParserImpl;

struct kov_Parser {
    // 1 while an evaluation runs: the console never starts another then.
    int busy;
    // Successfully evaluated lines, oldest first; count of them (0..32) and
    // the entry that history browsing showed last.
    char history[KOV_PARSER_HISTORY][KOV_PARSER_LINE];
    int count;
    int current;
    kov_ParserImpl* impl;
};

kov_Parser* kov_ParserCreate();
void kov_ParserDelete(kov_Parser** parser);

// Evaluates one line (blanks already removed by kov_ParserRemSpace): an
// expression (a run of signs before an operand counts as one, "--5" is 5),
// an assignment "name=expression", or a command (format:,
// unit:, iter:, tol:, unset:, and the words author, copyright, name,
// release, version). 1 with the answer in result (KOV_PARSER_LINE bytes),
// else 0 with the error in words there. A line of more than 255 characters
// is refused, never evaluated cut short.
int kov_ParserRun(const char* text, char* result, kov_Parser* parser);

// Removes blanks and line ends in place, except one blank between two
// operands ("2 3"), which kov_ParserRun then refuses instead of reading 23.
// Returns the new length. flags is reserved (pass 0).
size_t kov_ParserRemSpace(char* text, int flags);

// Evaluates an expression over the variables without changing anything
// (no assignment, no command, no history): 1 with the number written back
// into text (KOV_PARSER_LINE bytes) as the shortest text that reads back to
// the same value, 0 when text is no such expression (text unchanged).
int kov_ParserParseValue(kov_Parser* parser, char* text);
// Why the last kov_ParserParseValue refused its text, in words ("division
// by zero", "unknown variable: x"); empty after an accepted one.
const char* kov_ParserLastError(const kov_Parser* parser);

// Variables. Names are letters, digits and '_' (a letter or '_' first, at
// most 31 characters), compared without regard to letter case, and may be
// written with a leading '$'. A value text is an expression; it is kept as
// given and its value is taken when it is set.
const char* kov_ParserGetVariable(kov_Parser* parser, const char* name, int flags);
int kov_ParserSetVariable(kov_Parser* parser, const char* name, const char* value);
int kov_ParserDeleteVariable(kov_Parser* parser, const char* name, int flags);
int kov_ParserVariableCount(const kov_Parser* parser);
const char* kov_ParserVariableName(const kov_Parser* parser, int index);   // NULL out of range
const char* kov_ParserVariableValue(const kov_Parser* parser, int index);  // NULL out of range

// Records a successfully evaluated line as typed; the oldest line goes when
// all 32 are taken. current then points at the new line.
void kov_ParserHistory(kov_Parser* parser, const char* line);
// Forgets the variables, the history and the settings (format, unit,
// iteration limit, tolerance).
void kov_ParserReset(kov_Parser* parser);
// A short text (under 64 bytes) of the parser's settings for a title bar:
// answer format and angle unit.
const char* kov_ParserGetInfo(kov_Parser* parser);

// Runs a self-test file: one case a line, "expression ==> answer", where
// the answer is compared as text, "~number" compares values to 1e-12
// relative, and "!" expects a refusal ("! words" that exact error text).
// Lines run in order through one parser, so assignments and commands carry
// over; blank lines and lines starting with '#' are skipped. Prints every
// failing case and a summary with kov_printf; 1 when every case passed.
int kov_ParserTest(const char* fileName);
