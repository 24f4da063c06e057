// The one way the calculator opens its files (sessions, settings, the files
// of -run, -out and -test): only regular files, never waiting on a FIFO or
// a device, and lines read with a bound instead of whole.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// "" when fileName names a regular file or nothing yet; otherwise why the
// calculator will not use it ("it is a FIFO", "it is a folder", ...).
std::string CalcFile_refusal(const char* fileName);

// Opens fileName for reading (mode "r") or writing ("w") as fopen does,
// but refuses what is not a regular file without waiting for a writer or a
// reader at its other end. NULL with the reason in *reason on failure.
FILE* CalcFile_open(const char* fileName, const char* mode, std::string* reason);

// Reads up to maxLines lines that are not blank, each without its line end
// (LF or CR LF). Stops at the first line longer than maxLength bytes or
// holding a NUL byte and refuses the file, never holding more than
// maxLength + 2 bytes of a line. False with the reason (naming the line) in
// *reason when the file cannot be opened or read or holds such a line;
// *lines then holds the lines before that one.
bool CalcFile_readLines(const char* fileName, size_t maxLines, size_t maxLength,
                        std::vector<std::string>* lines, std::string* reason);
