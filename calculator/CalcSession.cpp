// Session files of the calculator.
#include "CalcSession.h"

#include <cstdio>
#include <cstring>

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

int CalcSession_save(const char* fileName, const kov_Parser* parser)
{
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
    FILE* file = kov_FileOpen(fileName, "w");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? 1 : 0;
}

int CalcSession_read(const char* fileName, std::vector<std::string>* lines)
{
    lines->clear();
    FILE* file = fileName != nullptr ? kov_FileOpen(fileName, "r") : nullptr;
    if (file == nullptr) {
        return 0;
    }
    std::string line;
    int c = 0;
    auto keep = [&]() {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") != std::string::npos) {
            lines->push_back(line);
        }
        line.clear();
    };
    while (lines->size() < static_cast<size_t>(KOV_PARSER_HISTORY) &&
           (c = std::fgetc(file)) != EOF) {
        if (c == '\n') {
            keep();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    if (lines->size() < static_cast<size_t>(KOV_PARSER_HISTORY)) {
        keep();
    }
    kov_FileClose(&file);
    return 1;
}
