// The command-line modes of KovraCalc.
#include "CalcCommandLine.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "kovbase.h"

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
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

bool blank(const std::string& line)
{
    return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

CalcMode CalcCommandLine_mode(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "-test") == 0) {
        return CalcMode::Test;
    }
    if ((argc == 3 || argc == 5) && std::strcmp(argv[1], "-run") == 0) {
        const size_t length = std::strlen(argv[2]);
        return length >= 1 && length <= static_cast<size_t>(KOV_PARSER_MAXLINE) ? CalcMode::Run : CalcMode::Window;
    }
    return CalcMode::Window;
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
    kov_Parser* parser = kov_ParserCreate();
    if (parser == nullptr) {
        kov_printf("\n! Cannot perform calculations: insufficient memory\n");
        return 1;
    }
    FILE* out = nullptr;
    if (argc == 5 && std::strcmp(argv[3], "-out") == 0) {
        out = kov_FileOpen(argv[4], "w");
        if (out == nullptr) {
            kov_ParserDelete(&parser);
            kov_printf("\n! Cannot create file '%s'\n", argv[4]);
            return 1;
        }
    }
    int last = 0;
    if (kov_fileExistsA(argv[2]) == 1) {
        FILE* in = kov_FileOpen(argv[2], "r");
        if (in == nullptr) {
            kov_FileClose(&out);
            kov_ParserDelete(&parser);
            kov_printf("\n! Cannot open file '%s'\n", argv[2]);
            return 1;
        }
        std::string line;
        int evaluated = 0;
        while (evaluated < RUN_LINES && readLine(in, &line)) {
            if (blank(line)) continue;  // a blank line ends nothing
            const Evaluation e = evaluate(line, parser);
            ++evaluated;
            last = e.result;
            kov_printf(">> %s%s", e.line.c_str(), e.block.c_str());
            if (out != nullptr) std::fprintf(out, ">> %s%s", e.line.c_str(), e.block.c_str());
            if (e.result == 0) break;
        }
        kov_FileClose(&in);
    } else {
        const Evaluation e = evaluate(argv[2], parser);
        last = e.result;
        kov_printf("\n>> %s%s", e.line.c_str(), e.block.c_str());
        if (out != nullptr) std::fprintf(out, ">> %s%s", e.line.c_str(), e.block.c_str());
    }
    kov_FileClose(&out);
    kov_ParserDelete(&parser);
    return last == 1 ? 0 : 1;
}
