// Device_save: the device editor's writer of ".kovra" device files, in the
// form its reader and the engine's read back to the same device.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "device.h"
#include "deviceFile.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "libkovra.h"

namespace {

constexpr const char* FIRST_LINE = "# Kovra <SL>";

// A string record's use follows its value: a model is written while it
// names a Lua script, a file while it names an index table, a switch while
// it is on.
void decideTextUse(ParamRecord* r)
{
    if (std::strstr(r->key, ".Model") != nullptr) {
        r->revision = std::strstr(r->value.text, ".lua") != nullptr ? 2 : 0;
    } else if (std::strstr(r->key, ".File") != nullptr) {
        r->revision = std::strstr(r->value.text, ".nk") != nullptr ? 2 : 0;
    } else if (std::strstr(r->key, ".Database") != nullptr ||
               std::strstr(r->key, ".Enable") != nullptr) {
        r->revision = strcasecmp(r->value.text, "Yes") == 0 ? 2 : 0;
    }
}

// Writes "    key=value" with its comment behind it. A comment that would
// make the line longer than the readers take goes on a comment line of its
// own just above, which the reader gives back to the same key: a comment is
// never cut or dropped.
void writeLine(FILE* stream, const char* key, const char* value, bool quoted, const char* comment)
{
    const char* q = quoted ? "\"" : "";
    std::string line = std::string("    ") + key + "=" + q + value + q;
    if (comment != nullptr && comment[0] != '\0') {
        const std::string behind = line + "    # " + comment;
        if (DeviceFile_characters(behind.c_str()) <= DEVICE_LINE_MAX) {
            std::fprintf(stream, "%s\n", behind.c_str());
            return;
        }
        std::string above = std::string("    # ") + comment;
        if (DeviceFile_characters(above.c_str()) > DEVICE_LINE_MAX) {
            above = std::string("#") + comment;
        }
        std::fprintf(stream, "%s\n", above.c_str());
    }
    std::fprintf(stream, "%s\n", line.c_str());
}

// Where the comment lines of the section being written are kept.
struct NotesPlace {
    Notes* notes;
    const char* place;
};

void writeRecord(FILE* stream, ParamRecord* r, const NotesPlace& at)
{
    // An alias record hands its values to its target, which is written in
    // its place under the key the engine reads.
    if (r == nullptr || r->alias != nullptr) {
        return;
    }
    if (r->type == PARAM_TEXT) {
        decideTextUse(r);
    }
    if (r->revision <= 0 || r->type == PARAM_EMPTY) {
        return;
    }
    Notes_writeBefore(stream, at.notes, at.place, r->key, "    ");
    // A value that follows a variable or an expression is written as the
    // user wrote it, so that it goes on following it.
    if (const char* followed = Param_followedText(r)) {
        writeLine(stream, r->key, followed, false, r->comment);
        return;
    }
    char value[PARAM_VALUE_SIZE];
    switch (r->type) {
    case PARAM_TEXT: writeLine(stream, r->key, r->value.text, true, r->comment); break;
    case PARAM_REAL:
        Real_format(r->value.real, value, sizeof value);
        writeLine(stream, r->key, value, false, r->comment);
        break;
    case PARAM_INTEGER:
        std::snprintf(value, sizeof value, "%d", r->value.integer);
        writeLine(stream, r->key, value, false, r->comment);
        break;
    default: break;
    }
}

void writeSection(FILE* stream, const char* name, ParamRecord* const* records, int count,
                  const KeptLines* kept, Notes* notes, const char* place)
{
    Notes_writeBefore(stream, notes, place, "", "");
    std::fprintf(stream, "[%s]\n", name);
    Params_write(stream, records, count, kept, notes, place);
}

// "$name=value" with the comment that stood beside it.
void writeVariable(FILE* stream, Notes* notes, const char* name, const char* value)
{
    Notes_writeBefore(stream, notes, "$", name, "");
    const std::string line = std::string("$") + name + "=" + value;
    const char* comment = Notes_text(notes, "$=", name);
    if (comment == nullptr) {
        std::fprintf(stream, "%s\n", line.c_str());
        return;
    }
    const std::string behind = line + "    # " + comment;
    if (DeviceFile_characters(behind.c_str()) <= DEVICE_LINE_MAX) {
        std::fprintf(stream, "%s\n", behind.c_str());
    } else {
        std::fprintf(stream, "#%s\n%s\n", comment, line.c_str());
    }
}

}  // namespace

int Params_write(FILE* stream, ParamRecord* const* records, int count, const KeptLines* kept,
                 Notes* notes, const char* place)
{
    if (stream == nullptr || records == nullptr || count < 1 || count > 128) {
        return 0;
    }
    const NotesPlace at{notes, place != nullptr ? place : ""};
    for (int i = 0; i < count; ++i) {
        writeRecord(stream, records[i], at);
    }
    if (kept != nullptr) {
        for (int i = 0; i < kept->count; ++i) {
            Notes_writeBefore(stream, at.notes, at.place, kept->lines[i].key, "    ");
            writeLine(stream, kept->lines[i].key, kept->lines[i].value, false,
                      kept->lines[i].comment);
        }
    }
    Notes_writeRest(stream, at.notes, at.place, "    ");
    std::fprintf(stream, "\n");
    return 1;
}

namespace {

// The whole device file, written to stream.
void writeDevice(Device* device, FILE* stream)
{
    const char* header = device->header != nullptr ? device->header : "";
    if (std::strlen(header) >= 13 && std::strncmp(header, FIRST_LINE, 12) == 0) {
        std::fputs(header, stream);
    } else {
        char standard[256] = {};
        getKovraFileHeader(standard, sizeof standard);
        std::fputs(standard, stream);
        std::fputs(header, stream);
    }
    Notes* notes = device->notes;
    Notes_rewind(notes);
    const int variables = Device_variableCount(device);
    if (variables > 0) {
        std::fprintf(stream, "\n");
        // A variable built from others follows them, so that the file reads
        // back whatever order they were defined in.
        for (int i : Device_variableOrder(device)) {
            const char* name = Device_variableName(device, i);
            const char* value = Device_variableValue(device, i);
            if (name != nullptr && value != nullptr) {
                writeVariable(stream, notes, name[0] == '$' ? name + 1 : name, value);
            }
        }
        Notes_writeRest(stream, notes, "$", "");
        std::fprintf(stream, "\n");
    }
    writeSection(stream, "Device", device->records, device->recordCount, device->kept[SEC_DEVICE],
                 notes, "Device");
    for (int i = 0; i < device->layerCount; ++i) {
        Layer* layer = device->layers[i];
        Doc_hooks().applyTrapModel(layer);
        char name[16];
        std::snprintf(name, sizeof name, "Layer%d", i + 1);
        Notes_rewind(layer->notes);
        writeSection(stream, name, layer->records, layer->count, &layer->kept, layer->notes,
                     "Layer");
    }
    writeSection(stream, "Anode", device->anode->records, device->anode->count,
                 device->kept[SEC_ANODE], notes, "Anode");
    writeSection(stream, "Cathode", device->cathode->records, device->cathode->count,
                 device->kept[SEC_CATHODE], notes, "Cathode");
    writeSection(stream, "Voltage", device->voltage->records, device->voltage->count,
                 device->kept[SEC_VOLTAGE], notes, "Voltage");
    writeSection(stream, "Light", device->light->records, device->light->count,
                 device->kept[SEC_LIGHT], notes, "Light");
    writeSection(stream, "Numeric", device->numeric->records, device->numeric->count,
                 device->kept[SEC_NUMERIC], notes, "Numeric");
    writeSection(stream, "Command", device->command->records, device->command->count,
                 device->kept[SEC_COMMAND], notes, "Command");
    // The end of the file, and the notes of variables no longer defined.
    Notes_writeBefore(stream, notes, "", "", "");
    Notes_writeRest(stream, notes, "$", "");
}

}  // namespace

bool Device_text(Document* document, std::string* text)
{
    Device* device = document != nullptr ? document->device : nullptr;
    if (device == nullptr || text == nullptr) {
        return false;
    }
    // The editor starts its plot tool itself after a run.
    Params_setByKey(CommandKeys, device->command->records, nullptr, "Command.Plot", "No", nullptr,
                    0, nullptr, 0);
    Device_markSourceRecords(device);
    char* buffer = nullptr;
    size_t length = 0;
    FILE* stream = open_memstream(&buffer, &length);
    if (stream == nullptr) {
        return false;
    }
    writeDevice(device, stream);
    const bool ok = std::ferror(stream) == 0;
    const bool closed = std::fclose(stream) == 0;
    if (ok && closed && buffer != nullptr) {
        text->assign(buffer, length);
    }
    std::free(buffer);
    return ok && closed;
}

int Device_save(Document* document, const char* path)
{
    if (document == nullptr) {
        return 0;
    }
    document->saveError[0] = '\0';
    if (document->device == nullptr || path == nullptr) {
        return 0;
    }
    // The file is written whole in memory first and then replaces the old
    // one in one step: a kill or a full disk never leaves a cut file.
    std::string text;
    if (!Device_text(document, &text)) {
        kov_copyA(document->saveError, sizeof document->saveError, KOV_NO_MEMORY);
        return 0;
    }
    if (kov_replaceFileA(path, text.data(), text.size(), document->saveError,
                         sizeof document->saveError) == 0) {
        return 0;
    }
    // What was dropped from the file read is gone from now on: a later
    // save has nothing more to lose.
    document->readEndLine = 0;
    document->readEndReason[0] = '\0';
    document->skippedLines = 0;
    document->firstSkippedLine = 0;
    document->firstSkippedText[0] = '\0';
    return 1;
}
