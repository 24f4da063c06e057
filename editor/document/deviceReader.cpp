// Device_load: the device editor's reader of ".kovra" device files.
//
// Lines, comments and key spellings are handled by the same routines as
// the engine's reader (kovbase's line reading, focore's trimming, comment
// and key/value splitting and key normalisation), so both read a line the
// same way: whole lines up to the engine's limit, comment marks only
// outside double quotes. What the reader does with a line (its messages,
// its sections and records) is the editor's own.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
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

void printf(bool colored, const char* format, ...)
{
    char message[1400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (colored)
        Doc_printColored(message);
    else
        Doc_print(message);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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
    for (int i = 0; i < count; ++i)
        if (records[i] != nullptr)
            records[i]->revision = 0;
}

void markGiven(ParamRecord* record)
{
    if (record != nullptr && record->revision <= 0)
        record->revision = 1;
}

class Reader {
public:
    Reader(Document* document, Device* device) : document_(document), device_(device) {}

    // 1 accepted, 0 refused (the message printed).
    int read(FILE* stream);
    bool resave() const { return resave_; }
    bool deviceSeen() const { return deviceSeen_; }

private:
    // What the reading does after a line.
    enum class Flow { Go, Stop, Refuse };

    bool readBody(FILE* stream);
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
    void warnSkipped(int line, const char* what, const char* text);
    void appendHeader(const char* text);
    int shown(int line) const { return line + 1; }

    Document* document_;
    Device* device_;
    int counter_ = 0;
    bool headerOpen_ = true;
    int section_ = -1;
    Layer* layer_ = nullptr;
    bool seen_[SEC_COUNT] = {};
    bool deviceSeen_ = false;
    std::string pending_;
    int pendingLine_ = -10;
    bool resave_ = false;
    std::vector<LayerLine> layerLines_;
    // Comment lines since the last line of another kind.
    std::vector<std::string> block_;
};

// The comment lines of the block go before key in place; the block is
// then empty.
void Reader::keepBlock(Notes** notes, const char* place, const char* key)
{
    for (const std::string& line : block_)
        Notes_add(notes, place, key, line.c_str());
    block_.clear();
}

// Comment lines that stood above a key line go before that key, in the
// current section, but the last one when it became the key's comment.
void Reader::keepNotes(const std::vector<std::string>& lines, const char* key, bool lastTaken)
{
    const bool isLayer = section_ >= SEC_LAYER1 && section_ <= SEC_LAYER9;
    const size_t kept = lastTaken && !lines.empty() ? lines.size() - 1 : lines.size();
    for (size_t i = 0; i < kept; ++i) {
        const std::string& line = lines[i];
        if (isLayer)
            Notes_add(&layer_->notes, "Layer", key, line.c_str());
        else
            Notes_add(&device_->notes, SectionKeys[section_].key, key, line.c_str());
    }
}

void Reader::appendHeader(const char* text)
{
    const size_t used = std::strlen(device_->header);
    const size_t length = std::strlen(text);
    if (used + length + 1 >= HEADER_LIMIT) {
        headerOpen_ = false;
        return;
    }
    std::memcpy(device_->header + used, text, length);
    device_->header[used + length] = '\n';
    device_->header[used + length + 1] = '\0';
}

void Reader::warnSkipped(int line, const char* what, const char* text)
{
    printf(false, "[WARNING] at line %d: %s skipped: %s\n", shown(line), what, text);
}

int Reader::read(FILE* stream)
{
    std::vector<char> line(DEVICE_LINE_BYTES, '\0');
    bool cut = false;
    if (!kov_FileReadLineA(stream, line.data(), line.size(), &cut)) {
        printf(true, "[ERROR]   device not loaded: cannot read file\n");
        return 0;
    }
    const int length = foConfig::trimA(line.data());
    if (cut || length < 3 || std::strcmp(line.data(), FIRST_LINE) != 0) {
        printf(true, "[ERROR]   device not loaded: invalid header\n");
        return 0;
    }
    appendHeader(line.data());
    Device_removeAllLayers(device_);
    clearRevisions(device_->records, device_->recordCount);
    clearRevisions(device_->anode->records, device_->anode->count);
    clearRevisions(device_->cathode->records, device_->cathode->count);
    for (ParamSection* section : {device_->voltage, device_->light, device_->numeric, device_->command})
        clearRevisions(section->records, section->count);
    if (!readBody(stream) || !flushLayer())
        return 0;
    keepBlock(&device_->notes, "", "");
    return 1;
}

bool Reader::readBody(FILE* stream)
{
    std::vector<char> line(DEVICE_LINE_BYTES, '\0');
    bool cut = false;
    while (counter_ <= LAST_LINE && kov_FileReadLineA(stream, line.data(), line.size(), &cut)) {
        // A line is read whole or refused, never cut: a cut value would be
        // stored wrong, and the engine refuses such a line as well.
        if (cut || DeviceFile_characters(line.data()) > DEVICE_LINE_MAX) {
            printf(false, "[ERROR]   line too long at line %d (more than %d characters)\n",
                   shown(counter_), static_cast<int>(DEVICE_LINE_MAX));
            return false;
        }
        const Flow flow = handleLine(line.data());
        ++counter_;
        if (flow == Flow::Refuse)
            return false;
        if (flow == Flow::Stop)
            break;
    }
    return true;
}

Reader::Flow Reader::handleLine(char* line)
{
    const int length = foConfig::trimA(line);
    if (length < 3) {
        if (length > 0 && (line[0] == '#' || line[0] == ';')) {
            if (headerOpen_)
                appendHeader(line);
            else
                block_.push_back(line);  // a short comment line is kept too
        }
        return Flow::Go;
    }
    if (line[0] != '#' && line[0] != ';')
        headerOpen_ = false;
    switch (line[0]) {
    case '&':
    case ':':
    case '?':
    case '@':
        warnSkipped(counter_, "directive", line);
        return Flow::Go;
    case '$':
        return handleVariable(line);
    case '#':
    case ';':
        if (headerOpen_) {
            appendHeader(line);
        } else {
            pending_ = line;
            pendingLine_ = counter_;
            block_.push_back(line);
        }
        return Flow::Go;
    case '[':
        if (!flushLayer())
            return Flow::Refuse;
        handleSection(line);
        return Flow::Go;
    default:
        return handleKey(line) ? Flow::Go : Flow::Refuse;
    }
}

Reader::Flow Reader::handleVariable(char* line)
{
    char* text = line + 1;
    while (isBlank(*text))
        ++text;
    // A comment after the value ("$t = 0.3   # emitter, um") is no part of
    // it; it is kept beside the variable.
    char* rest = nullptr;
    foConfig::remCommentA(text, &rest);
    std::string comment = rest != nullptr ? rest : "";
    char* split = std::strchr(text, '=');
    if (split == nullptr)
        split = std::strchr(text, ':');
    if (split == nullptr || split == text)
        return Flow::Stop;  // ends the reading as if the file ended here
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
    bool ok = text[0] != '\0' && value[0] != '\0' && Device_hasParser(device_);
    if (ok && (strcasecmp(text, "pi") == 0 || strcasecmp(text, "$pi") == 0)) {
        printf(false, "[ERROR]   reserved variable name at line %d\n", shown(counter_));
        ok = false;
    }
    if (ok)
        ok = Device_defineVariable(device_, text, value, counter_) != 0;
    if (!ok) {
        printf(false, "[ERROR]   invalid variable definition at line %d {%s = %s}\n", shown(counter_),
               text, value);
        return Flow::Refuse;
    }
    const char* name = text[0] == '$' ? text + 1 : text;
    keepBlock(&device_->notes, "$", name);
    std::vector<char> note(comment.begin(), comment.end());
    note.push_back('\0');
    if (foConfig::trimA(note.data()) > 0)
        Notes_add(&device_->notes, "$=", name, note.data());
    return Flow::Go;
}

void Reader::handleSection(const char* line)
{
    const size_t length = std::strlen(line);
    if (line[length - 1] != ']') {
        section_ = -1;
        layer_ = nullptr;
        warnSkipped(counter_, "malformed section header", line);
        return;
    }
    std::string name(line + 1, length - 2);
    if (strcasecmp(name.c_str(), "Layer") == 0) {
        name += "1";
        printf(false,
               "[WARNING] at line %d: defing a non-numbered layer is not advised, even for "
               "one-layer device\n",
               shown(counter_));
    }
    section_ = -1;
    layer_ = nullptr;
    const int number = Section_find(name.c_str());
    if (number < 0) {
        warnSkipped(counter_, "unknown section", line);
        return;
    }
    if (seen_[number]) {
        warnSkipped(counter_, "repeated section", line);
        return;
    }
    seen_[number] = true;
    section_ = number;
    if (number == SEC_DEVICE)
        deviceSeen_ = true;
    if (number < SEC_LAYER1 || number > SEC_LAYER9) {
        keepBlock(&device_->notes, SectionKeys[number].key, "");
        return;
    }
    // Every layer section starts from the default material, as the engine
    // reads it: a key the section does not give takes the material's value,
    // never the value of the layer before it.
    if (device_->layerCount >= DEVICE_LAYERS_MAX) {
        section_ = -1;
        return;
    }
    Layer* layer = Layer_create();
    if (layer == nullptr) {
        section_ = -1;
        return;
    }
    const Settings* settings = Doc_settings();
    Layer_setMaterial(layer, settings != nullptr ? settings->DefaultMaterial : "Si", layer->label,
                      DOPANT_ACCEPTOR);
    device_->layers[device_->layerCount++] = layer;
    Device_renameLayers(device_);
    Layer_updateColors(layer);
    Layer_setParam(layer, "Mesh.Points", "100", nullptr, nullptr, 0);
    clearRevisions(layer->records, layer->count);
    layer_ = layer;
    keepBlock(&layer->notes, "Layer", "");
}

bool Reader::handleKey(char* line)
{
    if (section_ < 0 || (section_ >= SEC_LAYER1 && section_ <= SEC_LAYER9 && layer_ == nullptr)) {
        warnSkipped(counter_, "line outside a known section", line);
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
    std::vector<char> key(DEVICE_LINE_BYTES, '\0');
    std::vector<char> value(DEVICE_LINE_BYTES, '\0');
    bool split = foConfig::getKeyValueA(line, key.data(), value.data(), key.size(), value.size());
    if (!split) {
        if (char* colon = std::strchr(line, ':')) {
            *colon = '=';
            split = foConfig::getKeyValueA(line, key.data(), value.data(), key.size(), value.size());
        }
    }
    std::vector<char> trimmedComment(comment.begin(), comment.end());
    trimmedComment.push_back('\0');
    foConfig::trimA(trimmedComment.data());
    comment = trimmedComment.data();
    if (comment.size() <= 1)
        comment.clear();
    bool fromAbove = false;
    if (comment.empty() && pendingLine_ == counter_ - 1 && pending_.size() > 1) {
        std::vector<char> p(pending_.begin(), pending_.end());
        p.push_back('\0');
        char* start = p.data() + 1;  // past the line's own mark only
        foConfig::trimA(start);
        if (std::strlen(start) > 1) {
            comment = start;
            fromAbove = true;
        }
    }
    if (!split || key[0] == '\0') {
        warnSkipped(counter_, "line without key and value", line);
        return true;
    }
    if (value[0] == '\0') {
        printf(false, "[ERROR]   variable not defined at line %d: {%s = %s}\n", shown(counter_),
               key.data(), value.data());
        return false;
    }
    pending_.clear();
    // The comment lines above stay above it.
    std::vector<std::string> notes;
    notes.swap(block_);
    if (layer_ != nullptr) {
        layerLines_.push_back({counter_, key.data(), value.data(), comment, notes, fromAbove});
        return true;
    }
    return applyKey(counter_, key.data(), value.data(), comment, notes, fromAbove);
}

// The Material line of a layer first, with the dopant type the section
// gives, then every other line in file order.
bool Reader::flushLayer()
{
    if (layer_ == nullptr || layerLines_.empty()) {
        layerLines_.clear();
        return true;
    }
    std::vector<LayerLine> lines;
    lines.swap(layerLines_);
    int type = DOPANT_DONOR;
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Dopant.Type") == 0) {
            std::string word = l.value;
            if (word.size() >= 2 && word.front() == '"' && word.back() == '"')
                word = word.substr(1, word.size() - 2);
            const int code = Dopant_decode(word.c_str());
            type = code == DOPANT_ACCEPTOR ? DOPANT_ACCEPTOR
                   : code == DOPANT_INTRINSIC ? DOPANT_INTRINSIC
                                              : DOPANT_DONOR;
        }
    }
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Material") != 0)
            continue;
        std::string name = l.value;
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        if (!name.empty() && name[0] == '$') {
            const char* text = Device_variableText(device_, name.c_str());
            if (text != nullptr)
                name = text;
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
                name = name.substr(1, name.size() - 2);
        }
        // Choosing a material always applies its values, "Si" included.
        Layer_setMaterial(layer_, name.c_str(), layer_->label, type);
        clearRevisions(layer_->records, layer_->count);
        markGiven(layer_->records[LR_MATERIAL]);
    }
    for (const LayerLine& l : lines) {
        if (strcasecmp(l.key.c_str(), "Material") == 0) {
            ParamRecord* material = layer_->records[LR_MATERIAL];
            if (!l.comment.empty())
                kov_copyA(material->comment, PARAM_COMMENT_SIZE, l.comment.c_str());
            keepNotes(l.notes, material->key, l.fromAbove);
            continue;
        }
        if (!applyKey(l.line, l.key, l.value, l.comment, l.notes, l.fromAbove))
            return false;
    }
    Layer_updateColors(layer_);
    return true;
}

bool Reader::checkValue(int line, const char* key, const char* value, bool numeric)
{
    if (!numeric && value[0] != '$')
        return true;  // a word or a quoted text is taken as written
    if (std::strchr(value, '"') != nullptr && value[0] != '$')
        return true;
    if (value[0] == '$' && Device_variableText(device_, value) != nullptr)
        return true;
    char probe[PARAM_WORK_SIZE];
    kov_copyA(probe, sizeof probe, value);
    if (numeric && Device_evaluate(device_, probe) != 0)
        return true;
    printf(false, "[ERROR]   variable not defined at line %d: {%s = %s}\n", shown(line), key, value);
    return false;
}

bool Reader::applyKey(int line, std::string key, std::string value, const std::string& comment,
                      const std::vector<std::string>& notes, bool fromAbove)
{
    const bool isLayer = section_ >= SEC_LAYER1 && section_ <= SEC_LAYER9;
    const char* sectionName = isLayer ? device_->layers[device_->layerCount - 1]->name
                                      : SectionKeys[section_].key;
    // Layer keys may carry the section's own name ("Layer2.Thickness") in
    // the file; the name comes from the header as written.
    std::vector<char> work(key.begin(), key.end());
    work.resize(key.size() + PARAM_KEY_SIZE + 2, '\0');
    char header[24];
    if (isLayer)
        std::snprintf(header, sizeof header, "Layer%d", section_ - 1);
    foConfig::normalizeKeyA(isLayer ? header : sectionName, section_ == SEC_DEVICE || isLayer,
                           work.data(), work.size());
    key = work.data();

    // Conversions of words the records hold in another form.
    auto unquoted = [](const std::string& v) {
        return v.size() >= 2 && v.front() == '"' && v.back() == '"' ? v.substr(1, v.size() - 2) : v;
    };
    if (isLayer && strcasecmp(key.c_str(), "BandgapType") == 0) {
        const std::string word = unquoted(value);
        if (strcasecmp(word.c_str(), "Direct") == 0)
            value = "1";
        else if (strcasecmp(word.c_str(), "Indirect") == 0)
            value = "2";
        else
            value = word;
    }
    if (section_ == SEC_LIGHT && key == "Light.Source" && strcasecmp(unquoted(value).c_str(), "EQE") == 0)
        value = "Sweep";
    if (section_ == SEC_COMMAND && key == "Command.Plot" &&
        strcasecmp(unquoted(value).c_str(), "Yes") == 0) {
        value = "No";
        resave_ = true;
    }

    // The layer's label is a record of its own, shown and edited in the
    // layer lists and dialogs, though no key-table entry leads to it.
    if (isLayer && strcasecmp(key.c_str(), "Label") == 0) {
        ParamRecord* label = layer_->records[LR_LABEL];
        keepNotes(notes, label->key, fromAbove);
        const int revision = label->revision;
        if (Param_setValueText(label, value.c_str(), ("#" + comment).c_str(), 1) == 0)
            warnSkipped(line, "label not accepted", key.c_str());
        else if (label->revision <= 0 || label->revision == revision)
            label->revision = 1;
        return true;
    }
    const char* const* keptKeys = Section_keptKeys(section_);
    const char* kept = keptKeys != nullptr ? KeptKeys_find(keptKeys, key.c_str()) : nullptr;
    if (kept != nullptr) {
        keepNotes(notes, kept, fromAbove);
        const int ok = isLayer ? KeptLines_set(&layer_->kept, kept, value.c_str(), comment.c_str())
                               : Device_keepLine(device_, section_, kept, value.c_str(), comment.c_str());
        if (ok == 0)
            warnSkipped(line, "key beyond the kept lines", key.c_str());
        return true;
    }

    // Keys are matched as the tables spell them; another letter case (which
    // the engine accepts) finds the same record.
    const KeyEntry* table = Section_keyTable(section_);
    const KeyEntry* entry = nullptr;
    for (int i = 0; table[i].key != nullptr && entry == nullptr; ++i)
        if (key == table[i].key)
            entry = &table[i];
    for (int i = 0; table[i].key != nullptr && entry == nullptr; ++i)
        if (strcasecmp(key.c_str(), table[i].key) == 0)
            entry = &table[i];
    // Comment lines above a key the writer will not write stay in the
    // section: they are written at its end. A skipped line takes none.
    keepNotes(notes, entry != nullptr ? entry->key : key.c_str(), entry != nullptr && fromAbove);
    if (entry == nullptr) {
        warnSkipped(line, "unknown key", key.c_str());
        return true;
    }
    ParamRecord* const* records = nullptr;
    switch (section_) {
    case SEC_DEVICE: records = device_->records; break;
    case SEC_ANODE: records = device_->anode->records; break;
    case SEC_CATHODE: records = device_->cathode->records; break;
    case SEC_VOLTAGE: records = device_->voltage->records; break;
    case SEC_LIGHT: records = device_->light->records; break;
    case SEC_NUMERIC: records = device_->numeric->records; break;
    case SEC_COMMAND: records = device_->command->records; break;
    default: records = layer_->records; break;
    }
    const ParamRecord* record = records[entry->number];
    const bool numeric = record->type == PARAM_REAL || record->type == PARAM_INTEGER;
    if (!checkValue(line, key.c_str(), value.c_str(), numeric))
        return false;
    // The setter takes a comment with its mark, so a comment that itself
    // begins with '#' or ';' keeps it.
    const std::string marked = "#" + comment;
    const char* note = comment.empty() ? nullptr : marked.c_str();
    int accepted = 0;
    switch (section_) {
    case SEC_ANODE:
        accepted = Device_setAnodeItem(device_, entry->key, value.c_str(), note, nullptr, 1);
        break;
    case SEC_CATHODE:
        accepted = Device_setCathodeItem(device_, entry->key, value.c_str(), note, nullptr, 1);
        break;
    default:
        accepted = Params_setByKey(table, const_cast<ParamRecord**>(records), nullptr, entry->key,
                                   value.c_str(), note, 0, nullptr, 1);
        break;
    }
    if (accepted == 0) {
        // The engine may take what the editor's range refuses (a file the
        // engine wrote holds Anode.Thickness=0): the line is kept as
        // written, so that saving gives the engine the same value.
        const std::string shownKey = entry->key;
        const int kept = isLayer ? KeptLines_set(&layer_->kept, entry->key, value.c_str(), comment.c_str())
                                 : Device_keepLine(device_, section_, entry->key, value.c_str(),
                                                   comment.c_str());
        if (kept != 0)
            printf(false, "[WARNING] at line %d: value kept as written: %s=%s\n", shown(line),
                   shownKey.c_str(), value.c_str());
        else
            warnSkipped(line, "refused value of", entry->key);
    } else {
        ParamRecord* given = records[entry->number]->alias != nullptr ? records[entry->number]->alias
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

// A [Numeric] key the file leaves out shows what the run will use in its
// place; the record stays unwritten, so saving adds nothing the file did not
// say.
void useRunDefaults(Device* device)
{
    ParamSection* numeric = device->numeric;
    auto missing = [&](const char* key) {
        ParamRecord* record = Params_find(numeric->records, numeric->count, key);
        return record != nullptr && record->revision <= 0 ? record : nullptr;
    };
    auto setText = [](ParamRecord* record, const char* text) {
        if (record != nullptr)
            kov_copyA(record->value.text, PARAM_VALUE_SIZE, text);
    };
    setText(missing("Numeric.Mesh"), KOV_RUN_DEFAULT_MESH);
    setText(missing("Numeric.Method"), KOV_RUN_DEFAULT_METHOD);
    setText(missing("Numeric.InnermostSolver"), KOV_RUN_DEFAULT_SOLVER);
    if (ParamRecord* tol = missing("Numeric.Tol"))
        tol->value.real = KOV_RUN_DEFAULT_TOL;
    if (ParamRecord* damp = missing("Numeric.Damp"))
        damp->value.real = KOV_RUN_DEFAULT_DAMP;
    if (ParamRecord* points = missing("Numeric.Points")) {
        // Per layer the run has the layers' points together; a uniform mesh
        // without a count has the fewest a device may have.
        const ParamRecord* mesh = Params_find(numeric->records, numeric->count, "Numeric.Mesh");
        int total = points->minimum.integer;
        if (mesh != nullptr && strcasecmp(mesh->value.text, "Layer") == 0) {
            total = 0;
            for (int i = 0; i < device->layerCount; ++i)
                total += device->layers[i]->records[LR_MESH_POINTS]->value.integer;
        }
        points->value.integer = std::clamp(total, points->minimum.integer, points->maximum.integer);
    }
}

}  // namespace

int Device_load(Document* document, const char* path)
{
    if (document == nullptr)
        return 0;
    Device* device = Device_create("Solar Cell");
    if (device == nullptr) {
        printf(true, "[ERROR]   cannot open device: insufficient memory\n");
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
    Reader reader(document, device);
    const int read = reader.read(stream);
    kov_FileClose(&stream);
    if (read == 0)
        return refuse();
    if (device->layerCount <= 0 || !reader.deviceSeen()) {
        printf(true,
               "[ERROR]   invalid file content: the device section and at least one layer section "
               "should be defined\n");
        return refuse();
    }
    useRunDefaults(device);
    for (int i = 0; i < device->layerCount; ++i)
        Layer_updateColors(device->layers[i]);
    if (Document_setDevice(document, device) == 0) {
        printf(true, "[ERROR]   device not loaded: invalid format\n");
        return refuse();
    }
    Document_setFilename(document, path);
    Document_keepFileTime(document);
    if (reader.resave())
        Device_save(document, path);
    Device_getSourceFile(document, "Voltage.Source");
    Device_getSourceFile(document, "Light.Source");
    document->loadingDevice = nullptr;
    return 1;
}
