// The command-line modes of KovraCalc.
#include "CalcCommandLine.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CalcFiles.h"
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

// The output file of "-out": every write is checked, and the close too,
// since a full disk often shows only when the buffer is flushed.
class OutputFile {
public:
    explicit OutputFile(const char* name)
        : fileName(name), file(CalcFile_open(name, "w", &openFailure))
    {
    }
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
    // Why the file could not be opened.
    const std::string& refusal() const { return openFailure; }

private:
    const char* fileName;
    std::string openFailure;
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
    if (argc == 4 && std::strcmp(argv[1], "-run") == 0 && std::strcmp(argv[3], "-out") == 0) {
        return CalcMode::INCOMPLETE;
    }
    return CalcMode::WINDOW;
}

int CalcCommandLine_incomplete()
{
    kov_printf("\n! -out needs the name of the file to write: -run EXPRESSION|FILE -out OUTPUT\n");
    return 1;
}

bool CalcCommandLine_displayAvailable(std::string* reason)
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    // A platform chosen by hand (offscreen, vnc, ...) needs no display.
    if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) {
        return true;
    }
    if (!set("DISPLAY")) {
        *reason = "no display (DISPLAY is not set)";
        return false;
    }
    // A local X display ":N" listens on its socket; one that is gone would
    // abort the windowing layer as surely as none at all.
    const std::string display = std::getenv("DISPLAY");
    if (display[0] == ':') {
        const std::string number = display.substr(1, display.find('.') - 1);
        const std::string socket = "/tmp/.X11-unix/X" + number;
        struct stat info {};
        if (::stat(socket.c_str(), &info) != 0) {
            *reason = "no X server answers on display " + display;
            return false;
        }
    }
    return true;
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
    const std::string refusal = CalcFile_refusal(fileName);
    if (!refusal.empty()) {
        kov_printf("Cannot open the self-test file '%s': %s\n", fileName, refusal.c_str());
        return 1;
    }
    return kov_ParserTest(fileName) == 1 ? 0 : 1;
}

int CalcCommandLine_run(int argc, char** argv)
{
    const char* input = argv[2];
    const char* outputName = argc == 5 && std::strcmp(argv[3], "-out") == 0 ? argv[4] : nullptr;
    // The input is read before the output is opened: opening it empties
    // the file, and the two may be one. A FIFO, a device or a socket is
    // refused, not taken for an expression or waited on; a folder's name
    // is an expression as any other word.
    const std::string kind = CalcFile_refusal(input);
    const bool fromFile =
        kov_fileExistsA(input) == 1 || (!kind.empty() && kov_dirExistsA(input) != 1);
    std::vector<std::string> lines;
    std::string unread;  // why the file could not be read to its end
    if (fromFile && !CalcFile_readLines(input, RUN_LINES, KOV_PARSER_MAXLINE, &lines, &unread) &&
        lines.empty()) {
        kov_printf("\n! Cannot open file '%s': %s\n", input, unread.c_str());
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
            kov_printf("\n! Cannot create file '%s': %s\n", outputName, out->refusal().c_str());
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
        if (last == 1 && !unread.empty()) {
            // The lines before the one refused were evaluated; the rest of
            // the file is not. Said here, as every failure is: the output
            // file holds answer blocks only.
            kov_printf("\n! Cannot read file '%s' further: %s\n", input, unread.c_str());
            last = 0;
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
