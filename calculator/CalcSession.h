// Session files (".kovracalc"): the parser's history as plain text, one
// expression a line, with no line end after the last one; opening one
// replays its lines through the parser.
#pragma once

#include <string>
#include <vector>

#include "kovbase.h"
#include "kovParser.h"

constexpr const char* CALC_SESSION_EXTENSION = ".kovracalc";

// The file name a save uses: the chosen name, with ".kovracalc" appended
// unless it already ends with it. Empty for an empty name.
std::string CalcSession_fileName(const char* chosen);

// Writes history entries 0..count-1; 1 on success, 0 when the file cannot
// be written (nothing is written then; the reason, when asked for, in
// *reason) or there is no history.
int CalcSession_save(const char* fileName, const kov_Parser* parser, std::string* reason = nullptr);

// Reads the lines to replay: at most 32, blank lines skipped (a blank line
// would otherwise end the replay). 0 when the file cannot be opened, is no
// regular file, or holds a line longer than the console takes (255 bytes)
// or a NUL byte; no line is given then, and *reason, when asked for, says
// why.
int CalcSession_read(const char* fileName, std::vector<std::string>* lines,
                     std::string* reason = nullptr);
