#include "notes.h"

#include "deviceFile.h"

#include <new>
#include <string>
#include <vector>

struct Notes {
    struct Line {
        std::string place;
        std::string key;
        std::string text;
        bool written;
    };
    std::vector<Line> lines;
};

int Notes_add(Notes** notes, const char* place, const char* key, const char* line)
{
    if (notes == nullptr || place == nullptr || key == nullptr || line == nullptr) {
        return 0;
    }
    if (*notes == nullptr) {
        *notes = new (std::nothrow) Notes;
    }
    if (*notes == nullptr) {
        return 0;
    }
    (*notes)->lines.push_back({place, key, line, false});
    return 1;
}

void Notes_free(Notes** notes)
{
    if (notes == nullptr) {
        return;
    }
    delete *notes;
    *notes = nullptr;
}

int Notes_count(const Notes* notes)
{
    return notes != nullptr ? static_cast<int>(notes->lines.size()) : 0;
}

const char* Notes_text(const Notes* notes, const char* place, const char* key)
{
    if (notes == nullptr || place == nullptr || key == nullptr) {
        return nullptr;
    }
    for (const Notes::Line& line : notes->lines) {
        if (line.place == place && line.key == key) {
            return line.text.c_str();
        }
    }
    return nullptr;
}

void Notes_rewind(Notes* notes)
{
    if (notes != nullptr) {
        for (Notes::Line& line : notes->lines) {
            line.written = false;
        }
    }
}

namespace {

void writeLines(FILE* stream, Notes* notes, const char* place, const char* key, const char* indent)
{
    if (stream == nullptr || notes == nullptr || place == nullptr) {
        return;
    }
    for (Notes::Line& line : notes->lines) {
        if (line.written || line.place != place || (key != nullptr && line.key != key)) {
            continue;
        }
        // The indent only where the line stays within what the readers take.
        std::string text = (indent != nullptr ? indent : "") + line.text;
        if (DeviceFile_characters(text.c_str()) > DEVICE_LINE_MAX) {
            text = line.text;
        }
        std::fprintf(stream, "%s\n", text.c_str());
        line.written = true;
    }
}

}  // namespace

void Notes_writeBefore(FILE* stream, Notes* notes, const char* place, const char* key,
                       const char* indent)
{
    if (key != nullptr) {
        writeLines(stream, notes, place, key, indent);
    }
}

void Notes_writeRest(FILE* stream, Notes* notes, const char* place, const char* indent)
{
    writeLines(stream, notes, place, nullptr, indent);
}
