// Session files of the calculator.
#include "CalcSession.h"

#include <cstdio>
#include <cstring>

#include "CalcFiles.h"

std::string CalcSession_fileName(const char* chosen)
{
    if (chosen == nullptr || chosen[0] == '\0') {
        return "";
    }
    std::string name = chosen;
    if (kov_endwith(chosen, CALC_SESSION_EXTENSION, 0) == 0) {
        name += CALC_SESSION_EXTENSION;
    }
    return name;
}

int CalcSession_save(const char* fileName, const kov_Parser* parser, std::string* reason)
{
    std::string why;
    if (fileName == nullptr || parser == nullptr || parser->count < 1) {
        return 0;
    }
    std::string text;
    for (int i = 0; i < parser->count && i < KOV_PARSER_HISTORY; ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += parser->history[i];
    }
    FILE* file = CalcFile_open(fileName, "w", &why);
    if (file != nullptr) {
        const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        const bool closed = std::fclose(file) == 0;
        if (written && closed) {
            return 1;
        }
        why = "the disk did not take it";
    }
    if (reason != nullptr) {
        *reason = why;
    }
    return 0;
}

int CalcSession_read(const char* fileName, std::vector<std::string>* lines, std::string* reason)
{
    std::string why;
    if (fileName != nullptr &&
        CalcFile_readLines(fileName, KOV_PARSER_HISTORY, KOV_PARSER_MAXLINE, lines, &why)) {
        return 1;
    }
    lines->clear();
    if (reason != nullptr) {
        *reason = why;
    }
    return 0;
}
