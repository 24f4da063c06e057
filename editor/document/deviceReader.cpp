// Device_load: the device editor's reader of ".kovra" device files.
//
// Lines, comments and key spellings are handled by the same routines as
// the engine's reader (kovbase's line reading, focore's trimming, comment
// and key/value splitting and key normalisation), so both read a line the
// same way: whole lines up to the engine's limit, comment marks only
// outside double quotes. What the reader does with a line (its messages,
// its sections and records) is the editor's own.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <strings.h>
#include <vector>

#include "device.h"
#include "deviceFile.h"
#include "docHooks.h"
#include "document.h"
#include "focore.h"
#include "kovbase.h"
#include "settings.h"

namespace {

constexpr const char* FIRST_LINE = "# Kovra <SL>";
constexpr int LAST_LINE = 16384;
constexpr size_t HEADER_LIMIT = DEVICE_HEADER_SIZE;
// Warnings of one kind shown one by one; the rest are counted and summed
// up in one line at the end, so that a file of thousands of foreign lines
// still opens at once.
constexpr int WARNINGS_SHOWN = 5;

// What the reader skips, in the words of its warnings.
enum Skip {
    SKIP_DIRECTIVE,
    SKIP_MALFORMED_HEADER,
    SKIP_UNKNOWN_SECTION,
    SKIP_REPEATED_SECTION,
    SKIP_OUTSIDE_SECTION,
    SKIP_NO_KEY,
    SKIP_LABEL,
    SKIP_KEPT_FULL,
    SKIP_UNKNOWN_KEY,
    SKIP_REFUSED_VALUE,
    SKIP_KEPT_AS_WRITTEN,
    SKIP_KINDS
};

struct SkipWords {
    const char* line;    // one warning: the line number and the text follow
    const char* plural;  // the summary: "... and N more <plural>"
};

constexpr SkipWords SKIP_WORDS[SKIP_KINDS] = {
    {"directive skipped: %s", "directives skipped"},
    {"malformed section header skipped: %s", "malformed section headers skipped"},
    {"unknown section skipped: %s", "unknown sections skipped"},
    {"repeated section skipped: %s", "repeated sections skipped"},
    {"line outside a known section skipped: %s", "lines outside a known section skipped"},
    {"line without key and value skipped: %s", "lines without key and value skipped"},
    {"label not accepted skipped: %s", "labels not accepted"},
    {"key beyond the kept lines skipped: %s", "keys beyond the kept lines skipped"},
    {"unknown key skipped: %s", "unknown keys skipped"},
    {"refused value of skipped: %s", "refused values skipped"},
    {"value kept as written: %s", "values kept as written"},
};

// 19990 as "19,990": counts in messages read at a glance.
std::string grouped(long long n)
{
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), 1, ',');
    }
    if (n < 0) {
        digits.insert(digits.begin(), '-');
    }
    return digits;
}

// A key table's entries by key, as spelt and in lower case, made once per
// table: a file's key finds its record in one look-up, not by walking the
// hundred keys of a layer.
struct KeyIndex {
    std::unordered_map<std::string, const KeyEntry*> exact;
    std::unordered_map<std::string, const KeyEntry*> folded;
};

const KeyEntry* findKey(const KeyEntry* table, const std::string& key)
{
    static std::unordered_map<const KeyEntry*, KeyIndex> indices;
    auto [at, made] = indices.try_emplace(table);
    KeyIndex& index = at->second;
    if (made) {
        for (int i = 0; table[i].key != nullptr; ++i) {
            index.exact.emplace(table[i].key, &table[i]);
            index.folded.emplace(kov_toLowerAscii(table[i].key), &table[i]);
        }
    }
    const auto exact = index.exact.find(key);
    if (exact != index.exact.end()) {
        return exact->second;
    }
    const auto other = index.folded.find(kov_toLowerAscii(key));
    return other != index.folded.end() ? other->second : nullptr;
}

// The lines of a file read whole into memory: no system call per line. A
// byte-order mark at the start is dropped; LF or CR LF ends a line.
class Lines {
public:
    explicit Lines(std::string text) : text(std::move(text))
    {
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            cursor = 3;
        }
    }
    // The next line, without its line end; false at the end of the text.
    bool next(std::string_view* line)
    {
        if (cursor >= text.size()) {
            return false;
        }
        const size_t end = text.find('\n', cursor);
        const size_t stop = end == std::string::npos ? text.size() : end;
        size_t length = stop - cursor;
        if (length > 0 && text[cursor + length - 1] == '\r') {
            --length;
        }
        *line = std::string_view(text).substr(cursor, length);
        cursor = end == std::string::npos ? text.size() : end + 1;
        return true;
    }
    // The number of lines not read yet.
    int remaining() const
    {
        if (cursor >= text.size()) {
            return 0;
        }
        int n = 0;
        for (size_t i = cursor; i < text.size(); ++i) {
            n += text[i] == '\n' ? 1 : 0;
        }
        return n + (text.back() != '\n' ? 1 : 0);
    }

private:
    std::string text;
    size_t cursor = 0;
};

// The whole file; false when it cannot be read.
bool readWhole(FILE* stream, std::string* text)
{
    char chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        text->append(chunk, n);
    }
    return std::ferror(stream) == 0;
}

void printf(bool colored, const char* format, ...)
{
    char message[1400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (colored) {
        Doc_printColored(message);
    } else {
        Doc_print(message);
    }
}

// One key line of a layer section, applied when the section ends so that
// the layer's material is applied before the values given beside it.
struct LayerLine {
    int line;
    std::string key;
    std::string value;
    std::string comment;
    std::vector<std::string> notes;  // comment lines above it
    bool fromAbove;                  // the last of them is its comment
};

// A file read is saved back as it was given: the records start unwritten
// and each key line marks its record, so that a default of the editor the
// file left out (Numeric.Method, Numeric.Tol, ...) is not added on saving;
// the engine's own default for it would differ.
void clearRevisions(ParamRecord* const* records, int count)
{
    for (int i = 0; i < count; ++i) {
        if (records[i] != nullptr) {
            records[i]->revision = 0;
        }
    }
}

void markGiven(ParamRecord* record)
{
    if (record != nullptr && record->revision <= 0) {
        record->revision = 1;
    }
}

class Reader {
public:
    Reader(Document* document, Device* device) : document(document), device(device) {}

    // 1 accepted, 0 refused (the message printed).
    int read(Lines& lines);
    bool deviceSeen() const { return deviceSectionSeen; }
    // The file line where reading stopped before the end (0: none) and why.
    int endLine() const { return stopLine; }
    // The lines skipped that a save would not write, and the first of them.
    int droppedLines() const { return dropped; }
    int firstDroppedLine() const { return firstDropped; }
    const std::string& firstDroppedText() const { return firstDroppedWords; }
    const std::string& endReason() const { return stopReason; }

private:
    // What the reading does after a line.
    enum class Flow { GO, STOP, REFUSE };

    bool readBody(Lines& lines);
    void endEarly(const Lines& lines, int line, const std::string& reason);
    void summarizeWarnings();
    Flow handleLine(char* line);
    Flow handleVariable(char* line);
    void handleSection(const char* line);
    bool handleKey(char* line);
    bool flushLayer();
    bool applyKey(int line, std::string key, std::string value, const std::string& comment,
                  const std::vector<std::string>& notes, bool fromAbove);
    void keepNotes(const std::vector<std::string>& lines, const char* key, bool lastTaken);
    void keepBlock(Notes** notes, const char* place, const char* key);
    bool checkValue(int line, const char* key, const char* value, bool numeric);
    void warnSkipped(int line, Skip kind, const char* text);
    void appendHeader(const char* text);
    // The number of a body line as an editor shows it: the first line of
    // the file is line 1, and the counter starts at the second.
    int shown(int line) const { return line + 2; }

    Document* document;
    Device* device;
    int counter = 0;
    bool headerOpen = true;
    int currentSection = -1;
    Layer* currentLayer = nullptr;
    bool seen[SEC_COUNT] = {};
    bool deviceSectionSeen = false;
    std::string pending;
    int pendingLine = -10;
    std::vector<LayerLine> layerLines;
    // Comment lines since the last line of another kind.
    std::vector<std::string> commentBlock;
    // The line being read, and the key and value split from it: buffers
    // kept from line to line.
    std::vector<char> lineBuffer = std::vector<char>(DEVICE_LINE_BYTES, '\0');
    std::vector<char> keyBuffer = std::vector<char>(DEVICE_LINE_BYTES, '\0');
    std::vector<char> valueBuffer = std::vector<char>(DEVICE_LINE_BYTES, '\0');
    int skipCount[SKIP_KINDS] = {};
    int lastSkipped[SKIP_KINDS] = {};
    int stopLine = 0;
    std::string stopReason;
    int dropped = 0;
    int firstDropped = 0;
    std::string firstDroppedWords;
};

// The comment lines of the block go before key in place; the block is
// then empty.
void Reader::keepBlock(Notes** notes, const char* place, const char* key)
{
    for (const std::string& line : commentBlock) {
        Notes_add(notes, place, key, line.c_str());
    }
    commentBlock.clear();
}

// Comment lines that stood above a key line go before that key, in the
// current section, but the last one when it became the key's comment.
void Reader::keepNotes(const std::vector<std::string>& lines, const char* key, bool lastTaken)
{
    const bool isLayer = currentSection >= SEC_LAYER1 && currentSection <= SEC_LAYER9;
    const size_t kept = lastTaken && !lines.empty() ? lines.size() - 1 : lines.size();
    for (size_t i = 0; i < kept; ++i) {
        const std::string& line = lines[i];
        if (isLayer) {
            Notes_add(&currentLayer->notes, "Layer", key, line.c_str());
        } else {
            Notes_add(&device->notes, SectionKeys[currentSection].key, key, line.c_str());
        }
    }
}

void Reader::appendHeader(const char* text)
{
    const size_t used = std::strlen(device->header);
    const size_t length = std::strlen(text);
    if (used + length + 1 >= HEADER_LIMIT) {
        headerOpen = false;
        return;
    }
    std::memcpy(device->header + used, text, length);
    device->header[used + length] = '\n';
    device->header[used + length + 1] = '\0';
}

void Reader::warnSkipped(int line, Skip kind, const char* text)
{
    char what[DEVICE_LINE_BYTES + 64];
    std::snprintf(what, sizeof what, SKIP_WORDS[kind].line, text);
    // Every skipped line but one kept as written is missing from a save.
    // (A layer's lines are applied when its section ends, so the first
    // line may be reported after a later one.)
    if (kind != SKIP_KEPT_AS_WRITTEN && (++dropped == 1 || shown(line) < firstDropped)) {
        firstDropped = shown(line);
        firstDroppedWords = what;
    }
    lastSkipped[kind] = shown(line);
    if (++skipCount[kind] > WARNINGS_SHOWN) {
        return;
    }
    printf(false, "[WARNING] at line %d: %s\n", shown(line), what);
}

void Reader::summarizeWarnings()
{
    for (int kind = 0; kind < SKIP_KINDS; ++kind) {
        const int more = skipCount[kind] - WARNINGS_SHOWN;
        if (more > 0) {
            printf(false, "[WARNING] ... and %s more %s (the last at line %d)\n",
                   grouped(more).c_str(), SKIP_WORDS[kind].plural, lastSkipped[kind]);
        }
    }
}

// Reading stops before the end of the file: said with its line and reason,
// and kept, so that a save that would drop the rest asks first.
void Reader::endEarly(const Lines& lines, int line, const std::string& reason)
{
    const int rest = lines.remaining();
    if (rest == 0) {
        return;  // nothing followed: the file was read whole
    }
    stopLine = shown(line);
    stopReason = reason;
    printf(false, "[WARNING] at line %d: reading ended: %s; the %s line%s after it %s not read\n",
           stopLine, reason.c_str(), grouped(rest).c_str(), rest == 1 ? "" : "s",
           rest == 1 ? "is" : "are");
}

int Reader::read(Lines& lines)
{
    std::string_view first;
    if (!lines.next(&first)) {
        printf(true, "[ERROR]   device not loaded: cannot read file\n");
        return 0;
    }
    const bool fits = first.size() < lineBuffer.size();
    if (fits) {
        std::memcpy(lineBuffer.data(), first.data(), first.size());
        lineBuffer[first.size()] = '\0';
    }
    const int length = fits ? foConfig::trimA(lineBuffer.data()) : 0;
    if (!fits || length < 3 || std::strcmp(lineBuffer.data(), FIRST_LINE) != 0) {
        printf(true, "[ERROR]   device not loaded: invalid header\n");
        return 0;
    }
    appendHeader(lineBuffer.data());
    Device_removeAllLayers(device);
    clearRevisions(device->records, device->recordCount);
    clearRevisions(device->anode->records, device->anode->count);
    clearRevisions(device->cathode->records, device->cathode->count);
    for (ParamSection* section :
         {device->voltage, device->light, device->numeric, device->command}) {
        clearRevisions(section->records, section->count);
    }
    const bool read = readBody(lines) && flushLayer();
    summarizeWarnings();
    if (!read) {
        return 0;
    }
    keepBlock(&device->notes, "", "");
    return 1;
}

bool Reader::readBody(Lines& lines)
{
    std::string_view text;
    while (counter <= LAST_LINE && lines.next(&text)) {
        // A line is read whole or refused, never cut: a cut value would be
        // stored wrong, and the engine refuses such a line as well.
        if (text.find('\0') != std::string_view::npos) {
            printf(
                false,
                "[ERROR]   invalid character at line %d: a NUL byte (the file is no text file)\n",
                shown(counter));
            return false;
        }
        const bool fits = text.size() < lineBuffer.size();
        if (fits) {
            std::memcpy(lineBuffer.data(), text.data(), text.size());
            lineBuffer[text.size()] = '\0';
        }
        if (!fits || DeviceFile_characters(lineBuffer.data()) > DEVICE_LINE_MAX) {
            printf(false, "[ERROR]   line too long at line %d (more than %d characters)\n",
                   shown(counter), static_cast<int>(DEVICE_LINE_MAX));
            return false;
        }
        const Flow flow = handleLine(lineBuffer.data());
        if (flow == Flow::REFUSE) {
            return false;
        }
        if (flow == Flow::STOP) {
            endEarly(lines, counter, "a variable line without a name: " + std::string(text));
            return true;
        }
        ++counter;
    }
    if (counter > LAST_LINE && lines.remaining() > 0) {
        endEarly(lines, LAST_LINE,
                 "a device file is read up to its line " + std::to_string(shown(LAST_LINE)));
    }
    return true;
}

Reader::Flow Reader::handleLine(char* line)
{
    const int length = foConfig::trimA(line);
    if (length < 3) {
        if (length > 0 && (line[0] == '#' || line[0] == ';')) {
            if (headerOpen) {
                appendHeader(line);
            } else {
                commentBlock.push_back(line);  // a short comment line is kept too
            }
        }
        return Flow::GO;
    }
    if (line[0] != '#' && line[0] != ';') {
        headerOpen = false;
    }
    switch (line[0]) {
    case '&':
    case ':':
    case '?':
    case '@': warnSkipped(counter, SKIP_DIRECTIVE, line); return Flow::GO;
    case '$': return handleVariable(line);
    case '#':
    case ';':
        if (headerOpen) {
            appendHeader(line);
        } else {
            pending = line;
            pendingLine = counter;
            commentBlock.push_back(line);
        }
        return Flow::GO;
    case '[':
        if (!flushLayer()) {
            return Flow::REFUSE;
        }
        handleSection(line);
        return Flow::GO;
    default: return handleKey(line) ? Flow::GO : Flow::REFUSE;
    }
}

Reader::Flow Reader::handleVariable(char* line)
{
    char* text = line + 1;
    while (kov_isBlank(*text)) {
        ++text;
    }
    // A comment after the value ("$t = 0.3   # emitter, um") is no part of
    // it; it is kept beside the variable.
    char* rest = nullptr;
    foConfig::remCommentA(text, &rest);
    std::string comment = rest != nullptr ? rest : "";
    char* split = std::strchr(text, '=');
    if (split == nullptr) {
        split = std::strchr(text, ':');
    }
    if (split == nullptr || split == text) {
        return Flow::STOP;  // ends the reading as if the file ended here
    }
    *split = '\0';
    char* value = split + 1;
    for (char mark : {'@', '&', '?', ':'}) {
        if (char* at = std::strchr(value, mark)) {
            *at = '\0';
            break;
        }
    }
    foConfig::trimA(text);
    foConfig::trimA(value);
    bool ok = text[0] != '\0' && value[0] != '\0' && Device_hasParser(device);
    if (ok && (strcasecmp(text, "pi") == 0 || strcasecmp(text, "$pi") == 0)) {
        printf(false, "[ERROR]   reserved variable name at line %d\n", shown(counter));
        ok = false;
    }
    if (ok) {
        ok = Device_defineVariable(device, text, value, shown(counter) - 1) != 0;
    }
    if (!ok) {
        printf(false, "[ERROR]   invalid variable definition at line %d {%s = %s}\n",
               shown(counter), text, value);
        return Flow::REFUSE;
    }
    const char* name = text[0] == '$' ? text + 1 : text;
    keepBlock(&device->notes, "$", name);
    std::vector<char> note(comment.begin(), comment.end());
    note.push_back('\0');
    if (foConfig::trimA(note.data()) > 0) {
        Notes_add(&device->notes, "$=", name, note.data());
    }
    return Flow::GO;
}

void Reader::handleSection(const char* line)
{
    const size_t length = std::strlen(line);
    if (line[length - 1] != ']') {
        currentSection = -1;
        currentLayer = nullptr;
        warnSkipped(counter, SKIP_MALFORMED_HEADER, line);
        return;
    }
    std::string name(line + 1, length - 2);
    if (strcasecmp(name.c_str(), "Layer") == 0) {
        name += "1";
        printf(false,
               "[WARNING] at line %d: defing a non-numbered layer is not advised, even for "
               "one-layer device\n",
               shown(counter));
    }
    currentSection = -1;
    currentLayer = nullptr;
    const int number = Section_find(name.c_str());
    if (number < 0) {
        warnSkipped(counter, SKIP_UNKNOWN_SECTION, line);
        return;
    }
    if (seen[number]) {
        warnSkipped(counter, SKIP_REPEATED_SECTION, line);
        return;
    }
    seen[number] = true;
    currentSection = number;
    if (number == SEC_DEVICE) {
        deviceSectionSeen = true;
    }
    if (number < SEC_LAYER1 || number > SEC_LAYER9) {
        keepBlock(&device->notes, SectionKeys[number].key, "");
        return;
    }
    // Every layer section starts from the default material, as the engine
    // reads it: a key the section does not give takes the material's value,
    // never the value of the layer before it.
    if (device->layerCount >= DEVICE_LAYERS_MAX) {
        currentSection = -1;
        return;
    }
    Layer* layer = Layer_create();
    if (layer == nullptr) {
        currentSection = -1;
        return;
    }
    const Settings* settings = Doc_settings();
    Layer_setMaterial(layer, settings != nullptr ? settings->DefaultMaterial : "Si", layer->label,
                      DOPANT_ACCEPTOR);
    device->layers[device->layerCount++] = layer;
    Device_renameLayers(device);
    Layer_updateColors(layer);
    Layer_setParam(layer, "Mesh.Points", "100", nullptr, nullptr, 0);
    clearRevisions(layer->records, layer->count);
    currentLayer = layer;
    keepBlock(&layer->notes, "Layer", "");
}

bool Reader::handleKey(char* line)
{
    if (currentSection < 0 ||
        (currentSection >= SEC_LAYER1 && currentSection <= SEC_LAYER9 && currentLayer == nullptr)) {
        warnSkipped(counter, SKIP_OUTSIDE_SECTION, line);
        return true;
    }
    char* rest = nullptr;
    foConfig::remCommentA(line, &rest);
    std::string comment;
    if (rest != nullptr) {
        comment = rest;
    } else {
        // '@' also starts a comment, outside quotes.
        if (char* at = Text_lastMarkOutsideQuotes(line, '@')) {
            *at = '\0';
            comment = at + 1;
        }
    }
    std::vector<char>& key = keyBuffer;
    std::vector<char>& value = valueBuffer;
    key[0] = value[0] = '\0';
    bool split = foConfig::getKeyValueA(line, key.data(), value.data(), key.size(), value.size());
    if (!split) {
        if (char* colon = std::strchr(line, ':')) {
            *colon = '=';
            split =
                foConfig::getKeyValueA(line, key.data(), value.data(), key.size(), value.size());
        }
    }
    std::vector<char> trimmedComment(comment.begin(), comment.end());
    trimmedComment.push_back('\0');
    foConfig::trimA(trimmedComment.data());
    comment = trimmedComment.data();
    if (comment.size() <= 1) {
        comment.clear();
    }
    bool fromAbove = false;
    if (comment.empty() && pendingLine == counter - 1 && pending.size() > 1) {
        std::vector<char> p(pending.begin(), pending.end());
        p.push_back('\0');
        char* start = p.data() + 1;  // past the line's own mark only
        foConfig::trimA(start);
        if (std::strlen(start) > 1) {
            comment = start;
            fromAbove = true;
        }
    }
    if (!split || key[0] == '\0') {
        warnSkipped(counter, SKIP_NO_KEY, line);
        return true;
    }
    if (value[0] == '\0') {
        printf(false, "[ERROR]   value missing at line %d: {%s = }\n", shown(counter), key.data());
        return false;
    }
    pending.clear();
    // The comment lines above stay above it.
    std::vector<std::string> notes;
    notes.swap(commentBlock);
    if (currentLayer != nullptr) {
        layerLines.push_back({counter, key.data(), value.data(), comment, notes, fromAbove});
        return true;
    }
    return applyKey(counter, key.data(), value.data(), comment, notes, fromAbove);
}

// The Material line of a layer first, with the dopant type the section
// gives, then every other line in file order.
bool Reader::flushLayer()
{
    if (currentLayer == nullptr || layerLines.empty()) {
        layerLines.clear();
        return true;
    }
    std::vector<LayerLine> lines;
    lines.swap(layerLines);
    int type = DOPANT_DONOR;
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Dopant.Type") == 0) {
            std::string word = l.value;
            if (word.size() >= 2 && word.front() == '"' && word.back() == '"') {
                word = word.substr(1, word.size() - 2);
            }
            const int code = Dopant_decode(word.c_str());
            type = code == DOPANT_ACCEPTOR    ? DOPANT_ACCEPTOR
                   : code == DOPANT_INTRINSIC ? DOPANT_INTRINSIC
                                              : DOPANT_DONOR;
        }
    }
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Material") != 0) {
            continue;
        }
        std::string name = l.value;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
        }
        if (!name.empty() && name[0] == '$') {
            const char* text = Device_variableText(device, name.c_str());
            if (text != nullptr) {
                name = text;
            }
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
                name = name.substr(1, name.size() - 2);
            }
        }
        // Choosing a material always applies its values, "Si" included.
        Layer_setMaterial(currentLayer, name.c_str(), currentLayer->label, type);
        clearRevisions(currentLayer->records, currentLayer->count);
        markGiven(currentLayer->records[LR_MATERIAL]);
    }
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Material") == 0) {
            ParamRecord* material = currentLayer->records[LR_MATERIAL];
            if (!l.comment.empty()) {
                material->comment = l.comment.c_str();
            }
            keepNotes(l.notes, material->key, l.fromAbove);
            continue;
        }
        if (!applyKey(l.line, l.key, l.value, l.comment, l.notes, l.fromAbove)) {
            return false;
        }
    }
    Layer_updateColors(currentLayer);
    return true;
}

bool Reader::checkValue(int line, const char* key, const char* value, bool numeric)
{
    if (!numeric && value[0] != '$') {
        return true;  // a word or a quoted text is taken as written
    }
    if (std::strchr(value, '"') != nullptr && value[0] != '$') {
        return true;
    }
    if (value[0] == '$' && Device_variableText(device, value) != nullptr) {
        return true;
    }
    // A plain number needs no parser.
    char* end = nullptr;
    errno = 0;
    const double number = kov_strtod(value, &end);
    if (numeric && errno == 0 && end != value && *end == '\0' && std::isfinite(number)) {
        return true;
    }
    char probe[PARAM_WORK_SIZE];
    kov_copyA(probe, sizeof probe, value);
    if (numeric && Device_evaluate(device, probe) != 0) {
        return true;
    }
    // Say what is wrong with the value: a name not defined, a number
    // beyond a double, or what the expression parser found.
    std::string why = numeric ? Device_evaluationError(device) : "unknown variable";
    errno = 0;
    kov_strtod(value, &end);
    if (errno == ERANGE && end != value && *end == '\0') {
        why = "value out of range (beyond the largest or smallest number a double holds)";
    }
    if ((value[0] == '$' && Text_isVariableRef(value)) || why.rfind("unknown variable", 0) == 0) {
        printf(false, "[ERROR]   variable not defined at line %d: {%s = %s}\n", shown(line), key,
               value);
        return false;
    }
    if (why.empty()) {
        why = "not a number or expression";
    }
    printf(false, "[ERROR]   invalid value at line %d: {%s = %s}: %s\n", shown(line), key, value,
           why.c_str());
    return false;
}

bool Reader::applyKey(int line, std::string key, std::string value, const std::string& comment,
                      const std::vector<std::string>& notes, bool fromAbove)
{
    const bool isLayer = currentSection >= SEC_LAYER1 && currentSection <= SEC_LAYER9;
    const char* sectionName =
        isLayer ? device->layers[device->layerCount - 1]->name : SectionKeys[currentSection].key;
    // Layer keys may carry the section's own name ("Layer2.Thickness") in
    // the file; the name comes from the header as written.
    std::vector<char> work(key.begin(), key.end());
    work.resize(key.size() + PARAM_KEY_SIZE + 2, '\0');
    char header[24];
    if (isLayer) {
        std::snprintf(header, sizeof header, "Layer%d", currentSection - 1);
    }
    foConfig::normalizeKeyA(isLayer ? header : sectionName, currentSection == SEC_DEVICE || isLayer,
                            work.data(), work.size());
    key = work.data();

    // Conversions of words the records hold in another form.
    auto unquoted = [](const std::string& v) {
        return v.size() >= 2 && v.front() == '"' && v.back() == '"' ? v.substr(1, v.size() - 2) : v;
    };
    if (isLayer && strcasecmp(key.c_str(), "BandgapType") == 0) {
        const std::string word = unquoted(value);
        const char* code = strcasecmp(word.c_str(), "Direct") == 0     ? "1"
                           : strcasecmp(word.c_str(), "Indirect") == 0 ? "2"
                                                                       : nullptr;
        value = code != nullptr ? std::string(code) : word;
    }
    if (currentSection == SEC_LIGHT && key == "Light.Source" &&
        strcasecmp(unquoted(value).c_str(), "EQE") == 0) {
        value = "Sweep";
    }
    // The editor starts its plot tool itself after a run, so the record
    // holds "No"; the file keeps its "Yes" until the user saves it (opening
    // never writes the file).
    if (currentSection == SEC_COMMAND && key == "Command.Plot" &&
        strcasecmp(unquoted(value).c_str(), "Yes") == 0) {
        value = "No";
    }

    // The layer's label is a record of its own, shown and edited in the
    // layer lists and dialogs, though no key-table entry leads to it.
    if (isLayer && strcasecmp(key.c_str(), "Label") == 0) {
        ParamRecord* label = currentLayer->records[LR_LABEL];
        keepNotes(notes, label->key, fromAbove);
        const int revision = label->revision;
        if (Param_setValueText(label, value.c_str(), ("#" + comment).c_str(), 1) == 0) {
            warnSkipped(line, SKIP_LABEL, key.c_str());
        } else if (label->revision <= 0 || label->revision == revision) {
            label->revision = 1;
        }
        return true;
    }
    const char* const* keptKeys = Section_keptKeys(currentSection);
    const char* kept = keptKeys != nullptr ? KeptKeys_find(keptKeys, key.c_str()) : nullptr;
    if (kept != nullptr) {
        keepNotes(notes, kept, fromAbove);
        const int ok =
            isLayer ? KeptLines_set(&currentLayer->kept, kept, value.c_str(), comment.c_str())
                    : Device_keepLine(device, currentSection, kept, value.c_str(), comment.c_str());
        if (ok == 0) {
            warnSkipped(line, SKIP_KEPT_FULL, key.c_str());
        }
        return true;
    }

    // Keys are matched as the tables spell them; another letter case (which
    // the engine accepts) finds the same record.
    const KeyEntry* table = Section_keyTable(currentSection);
    const KeyEntry* entry = findKey(table, key);
    // Comment lines above a key the writer will not write stay in the
    // section: they are written at its end. A skipped line takes none.
    keepNotes(notes, entry != nullptr ? entry->key : key.c_str(), entry != nullptr && fromAbove);
    if (entry == nullptr) {
        warnSkipped(line, SKIP_UNKNOWN_KEY, key.c_str());
        return true;
    }
    ParamRecord* const* records = nullptr;
    switch (currentSection) {
    case SEC_DEVICE: records = device->records; break;
    case SEC_ANODE: records = device->anode->records; break;
    case SEC_CATHODE: records = device->cathode->records; break;
    case SEC_VOLTAGE: records = device->voltage->records; break;
    case SEC_LIGHT: records = device->light->records; break;
    case SEC_NUMERIC: records = device->numeric->records; break;
    case SEC_COMMAND: records = device->command->records; break;
    default: records = currentLayer->records; break;
    }
    const ParamRecord* record = records[entry->number];
    const bool numeric = record->type == PARAM_REAL || record->type == PARAM_INTEGER;
    if (!checkValue(line, key.c_str(), value.c_str(), numeric)) {
        return false;
    }
    // The setter takes a comment with its mark, so a comment that itself
    // begins with '#' or ';' keeps it.
    const std::string marked = "#" + comment;
    const char* note = comment.empty() ? nullptr : marked.c_str();
    int accepted = 0;
    switch (currentSection) {
    case SEC_ANODE:
        accepted = Device_setAnodeItem(device, entry->key, value.c_str(), note, nullptr, 1);
        break;
    case SEC_CATHODE:
        accepted = Device_setCathodeItem(device, entry->key, value.c_str(), note, nullptr, 1);
        break;
    default:
        accepted = Params_setEntry(entry, const_cast<ParamRecord**>(records), nullptr,
                                   value.c_str(), note, 0, nullptr, 1);
        break;
    }
    if (accepted == 0) {
        // The engine may take what the editor's range refuses (a file the
        // engine wrote holds Anode.Thickness=0): the line is kept as
        // written, so that saving gives the engine the same value.
        const std::string shownKey = entry->key;
        const int kept =
            isLayer ? KeptLines_set(&currentLayer->kept, entry->key, value.c_str(), comment.c_str())
                    : Device_keepLine(device, currentSection, entry->key, value.c_str(),
                                      comment.c_str());
        if (kept != 0) {
            warnSkipped(line, SKIP_KEPT_AS_WRITTEN, (shownKey + "=" + value).c_str());
        } else {
            warnSkipped(line, SKIP_REFUSED_VALUE, entry->key);
        }
    } else {
        ParamRecord* given = records[entry->number]->alias != nullptr
                                 ? records[entry->number]->alias
                                 : records[entry->number];
        markGiven(given);
        // A value out of range that the record clamps, as the engine does:
        // the setter named the range, this names the line.
        if ((records[entry->number]->status & PARAM_CLAMPED) != 0) {
            char used[PARAM_VALUE_SIZE];
            Param_valueText(given, used, sizeof used);
            printf(false, "[WARNING] at line %d: %s=%s read as %s\n", shown(line), entry->key,
                   value.c_str(), used);
        }
    }
    return true;
}

// A [Numeric] key or a source the file leaves out shows what the run will
// use in its place; the record stays unwritten, so saving adds nothing the
// file did not say.
void useRunDefaults(Device* device)
{
    ParamSection* numeric = device->numeric;
    auto missing = [&](const char* key) {
        ParamRecord* record = Params_find(numeric->records, numeric->count, key);
        return record != nullptr && record->revision <= 0 ? record : nullptr;
    };
    auto setText = [](ParamRecord* record, const char* text) {
        if (record != nullptr) {
            record->value.text = text;
        }
    };
    // A source the file leaves out is what the engine makes of the values
    // beside it: a sweep when start, end and step are all given, light of
    // one wavelength when its wavelength and flux are, else none.
    auto given = [](ParamSection* section, std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            const ParamRecord* record = Params_find(section->records, section->count, key);
            if (record == nullptr || record->revision <= 0) {
                return false;
            }
        }
        return true;
    };
    auto missingSource = [](ParamSection* section, const char* key) {
        ParamRecord* record = Params_find(section->records, section->count, key);
        return record != nullptr && record->revision <= 0 ? record : nullptr;
    };
    setText(missingSource(device->voltage, "Voltage.Source"),
            given(device->voltage, {"Voltage.Start", "Voltage.End", "Voltage.Step"}) ? "Sweep"
                                                                                     : "None");
    setText(missingSource(device->light, "Light.Source"),
            given(device->light, {"Light.Start", "Light.Flux"}) ? "Mono" : "None");
    setText(missing("Numeric.Mesh"), KOV_RUN_DEFAULT_MESH);
    setText(missing("Numeric.Method"), KOV_RUN_DEFAULT_METHOD);
    setText(missing("Numeric.InnermostSolver"), KOV_RUN_DEFAULT_SOLVER);
    if (ParamRecord* tol = missing("Numeric.Tol")) {
        tol->value.real = KOV_RUN_DEFAULT_TOL;
    }
    if (ParamRecord* damp = missing("Numeric.Damp")) {
        damp->value.real = KOV_RUN_DEFAULT_DAMP;
    }
    if (ParamRecord* points = missing("Numeric.Points")) {
        // Per layer the run has the layers' points together; a uniform mesh
        // without a count has the fewest a device may have.
        const ParamRecord* mesh = Params_find(numeric->records, numeric->count, "Numeric.Mesh");
        int total = points->minimum.integer;
        if (mesh != nullptr && strcasecmp(mesh->value.text, "Layer") == 0) {
            total = 0;
            for (int i = 0; i < device->layerCount; ++i) {
                total += device->layers[i]->records[LR_MESH_POINTS]->value.integer;
            }
        }
        points->value.integer = std::clamp(total, points->minimum.integer, points->maximum.integer);
    }
}

}  // namespace

int Device_load(Document* document, const char* path)
{
    if (document == nullptr) {
        return 0;
    }
    Device* device = Device_create("Solar Cell");
    if (device == nullptr) {
        printf(true, "[ERROR]   cannot open device: %s\n", KOV_NO_MEMORY);
        return 0;
    }
    Device_free(&document->loadingDevice);
    document->loadingDevice = device;
    auto refuse = [&]() {
        Device_free(&document->loadingDevice);
        return 0;
    };
    const size_t length = path != nullptr ? std::strlen(path) : 0;
    if (length < 1 || length >= DOC_PATH_SIZE) {
        printf(true, "[ERROR]   device not loaded: invalid filename\n");
        return refuse();
    }
    device->header[0] = '\0';
    FILE* stream = kov_fileExistsA(path) != 0 ? kov_FileOpenA(path, "r") : nullptr;
    if (stream == nullptr) {
        printf(true, "[ERROR]   device not loaded: cannot open file\n");
        return refuse();
    }
    std::string text;
    const bool whole = readWhole(stream, &text);
    kov_FileClose(&stream);
    if (!whole) {
        printf(true, "[ERROR]   device not loaded: cannot read file\n");
        return refuse();
    }
    Lines lines(std::move(text));
    Reader reader(document, device);
    if (reader.read(lines) == 0) {
        return refuse();
    }
    if (device->layerCount <= 0 || !reader.deviceSeen()) {
        printf(true,
               "[ERROR]   invalid file content: the device section and at least one layer section "
               "should be defined\n");
        return refuse();
    }
    useRunDefaults(device);
    for (int i = 0; i < device->layerCount; ++i) {
        Layer_updateColors(device->layers[i]);
    }
    if (Document_setDevice(document, device) == 0) {
        printf(true, "[ERROR]   device not loaded: invalid format\n");
        return refuse();
    }
    Document_setFilename(document, path);
    Document_keepFileTime(document);
    document->readEndLine = reader.endLine();
    kov_copyA(document->readEndReason, sizeof document->readEndReason, reader.endReason().c_str());
    document->skippedLines = reader.droppedLines();
    document->firstSkippedLine = reader.firstDroppedLine();
    kov_copyA(document->firstSkippedText, sizeof document->firstSkippedText,
              reader.firstDroppedText().c_str());
    Device_getSourceFile(document, "Voltage.Source");
    Device_getSourceFile(document, "Light.Source");
    document->loadingDevice = nullptr;
    return 1;
}
