// The text rules of the output console, apart from the view that shows it:
// which style a message takes by its tag, how a message is tidied before it
// is appended (control characters at both ends, at most three leading line
// breaks, a length cap that never splits a UTF-8 character), and where the
// console cuts its oldest lines when it grows too long (always at a line
// start).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Scintilla style numbers of the console.
enum OutputStyle {
    OutputStylePlain = 122,
    OutputStyleInfo = 123,
    OutputStyleWarning = 124,
    OutputStyleError = 125,
    OutputStyleExtra = 126,
};

// The console keeps below this many bytes; an append that finds it there
// first drops the older half.
constexpr size_t OUTPUT_SIZE_CAP = 0x100000;
// A message longer than this many bytes is cut.
constexpr size_t OUTPUT_MESSAGE_CAP = 383;

// The style of a message by its tag, after its leading CR and LF: "[ERROR]"
// error, "[WARNING]" warning, the input and result tags information, anything
// else plain. A tab or blank before the tag makes it plain.
int OutputText_styleOf(std::string_view message);

// What one append adds to the console. lineBreaks counts the leading line
// breaks written as "\r\n" (at most 3); body is the message without leading
// and trailing control characters, cut to OUTPUT_MESSAGE_CAP bytes at a
// UTF-8 character boundary.
struct OutputAppend {
    int lineBreaks = 0;
    std::string body;
    bool empty() const { return lineBreaks == 0 && body.empty(); }
    std::string text() const;  // the bytes to append
};

// Tidies a message. consoleEndsEmptyLine: the console has more than one line
// and its last line is empty, so one leading line break less is needed.
OutputAppend OutputText_prepare(std::string_view message, bool consoleEndsEmptyLine);

// The number of bytes to drop from the front of a console holding text so
// that what stays starts at a line start: everything up to and including the
// end of the line that holds the middle byte. 0 while the console is below
// the cap.
size_t OutputText_cutLength(std::string_view console);

// The longest prefix of text no longer than maxBytes that does not end
// inside a UTF-8 sequence.
size_t OutputText_utf8Prefix(std::string_view text, size_t maxBytes);
