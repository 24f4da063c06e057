// The command-line modes of KovraCalc.
#include "CalcCommandLine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kovbase.h"
#include "kovParser.h"
#include "kovraVersion.h"

namespace {

constexpr int RUN_LINES = 32;  // lines of a file evaluated at most

// One evaluation: the line with its blanks removed, and the answer block
// printed after it ("\n   answer\n", or "\n" when the parser wrote nothing).
struct Evaluation {
    std::string line;
    std::string block;
    int result = 0;
};

Evaluation evaluate(const std::string& text, kov_Parser* parser)
{
    Evaluation e;
    std::string work = text;
    kov_ParserRemSpace(work.data(), 0);
    e.line = work.c_str();
    char answer[KOV_PARSER_LINE];
    e.result = kov_ParserRun(e.line.c_str(), answer, parser);
    e.block = answer[0] != '\0' ? std::string("\n   ") + answer + "\n" : "\n";
    return e;
}

// Reads one whole line (without its end); false at the end of the file. A
// long line is read whole, so that the parser refuses it rather than
// evaluating a piece of it.
bool readLine(FILE* file, std::string* line)
{
    line->clear();
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') {
            break;
        }
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') {
        line->pop_back();
    }
    return any;
}

bool isBlankLine(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return kov_isBlank(c); });
}

// The lines a file run evaluates: at most RUN_LINES, blank ones skipped.
// False when the file cannot be opened or read.
bool readRunLines(const char* fileName, std::vector<std::string>* lines)
{
    FILE* in = kov_FileOpen(fileName, "r");
    if (in == nullptr) {
        return false;
    }
    std::string line;
    while (lines->size() < static_cast<size_t>(RUN_LINES) && readLine(in, &line)) {
        if (!isBlankLine(line)) {
            lines->push_back(line);  // a blank line ends nothing
        }
    }
    const bool read = std::ferror(in) == 0;
    kov_FileClose(&in);
    return read;
}

// The output file of "-out": every write is checked, and the close too,
// since a full disk often shows only when the buffer is flushed.
class OutputFile {
public:
    explicit OutputFile(const char* name) : fileName(name), file(kov_FileOpen(name, "w")) {}
    ~OutputFile() { kov_FileClose(&file); }
    bool opened() const { return file != nullptr; }
    void write(const std::string& text)
    {
        if (file != nullptr && std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
            failed = true;
        }
    }
    // True when every byte reached the file.
    bool close()
    {
        if (file == nullptr) {
            return !failed;
        }
        if (std::fflush(file) != 0 || std::ferror(file) != 0) {
            failed = true;
        }
        if (std::fclose(file) != 0) {
            failed = true;
        }
        file = nullptr;
        return !failed;
    }
    const char* name() const { return fileName; }

private:
    const char* fileName;
    FILE* file;
    bool failed = false;
};

}  // namespace

CalcMode CalcCommandLine_mode(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        return CalcMode::VERSION;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        return CalcMode::HELP;
    }
    if (argc == 3 && std::strcmp(argv[1], "-test") == 0) {
        return CalcMode::TEST;
    }
    if ((argc == 3 || argc == 5) && std::strcmp(argv[1], "-run") == 0) {
        const size_t length = std::strlen(argv[2]);
        return length >= 1 && length <= static_cast<size_t>(KOV_PARSER_MAXLINE) ? CalcMode::RUN
                                                                                : CalcMode::WINDOW;
    }
    return CalcMode::WINDOW;
}

int CalcCommandLine_version()
{
    kov_printf("KovraCalc %s\n", KOVRA_VERSION_TEXT);
    return 0;
}

int CalcCommandLine_help()
{
    kov_printf(
        "Usage: KovraCalc [-run EXPRESSION|FILE [-out OUTPUT] | -test FILE | --version | --help]\n"
        "  (no arguments)    opens the calculator window\n"
        "  -run EXPRESSION   evaluates the expression and prints it with its answer\n"
        "  -run FILE         evaluates the lines of the file (at most 32, blank lines\n"
        "                    skipped, stopping at the first that fails)\n"
        "  -out OUTPUT       also writes what -run prints into OUTPUT (never the input file)\n"
        "  -test FILE        runs the expression parser's self-test FILE\n"
        "  --version         prints the version\n"
        "  --help            prints this help\n"
        "The exit status is 0 when the last evaluation succeeded (or the self-test passed), else "
        "1.\n");
    return 0;
}

int CalcCommandLine_test(const char* fileName)
{
    const size_t length = fileName != nullptr ? std::strlen(fileName) : 0;
    if (length < 4 || length > 1023) {
        return 1;
    }
    return kov_ParserTest(fileName) == 1 ? 0 : 1;
}

int CalcCommandLine_run(int argc, char** argv)
{
    const char* input = argv[2];
    const char* outputName = argc == 5 && std::strcmp(argv[3], "-out") == 0 ? argv[4] : nullptr;
    // The input is read whole before the output is opened: opening it
    // empties the file, and the two may be one.
    const bool fromFile = kov_fileExistsA(input) == 1;
    std::vector<std::string> lines;
    if (fromFile && !readRunLines(input, &lines)) {
        kov_printf("\n! Cannot open file '%s'\n", input);
        return 1;
    }
    if (fromFile && outputName != nullptr && kov_sameFileA(input, outputName) == 1) {
        kov_printf("\n! Cannot write the results into the input file '%s'\n", outputName);
        return 1;
    }
    kov_Parser* parser = kov_ParserCreate();
    if (parser == nullptr) {
        kov_printf("\n! Cannot perform calculations: %s\n", KOV_NO_MEMORY);
        return 1;
    }
    std::unique_ptr<OutputFile> out;
    if (outputName != nullptr) {
        out = std::make_unique<OutputFile>(outputName);
        if (!out->opened()) {
            kov_ParserDelete(&parser);
            kov_printf("\n! Cannot create file '%s'\n", outputName);
            return 1;
        }
    }
    int last = 0;
    if (fromFile) {
        for (const std::string& line : lines) {
            const Evaluation e = evaluate(line, parser);
            last = e.result;
            const std::string block = ">> " + e.line + e.block;
            kov_printf("%s", block.c_str());
            if (out) {
                out->write(block);
            }
            if (e.result == 0) {
                break;
            }
        }
    } else {
        const Evaluation e = evaluate(input, parser);
        last = e.result;
        const std::string block = ">> " + e.line + e.block;
        kov_printf("\n%s", block.c_str());
        if (out) {
            out->write(block);
        }
    }
    kov_ParserDelete(&parser);
    if (out && !out->close()) {
        kov_printf("\n! Cannot write file '%s'\n", out->name());
        return 1;
    }
    return last == 1 ? 0 : 1;
}
