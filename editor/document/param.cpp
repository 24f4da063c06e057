// Value entry into a ParamRecord (Param_setValueText) and the small
// operations on records.
#include "param.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "focore.h"
#include "kovbase.h"

namespace {

void copyText(char* out, size_t size, const char* text) { kov_copyA(out, size, text); }

bool differsNoCase(const char* a, const char* b) { return strcasecmp(a, b) != 0; }

bool isFocused(const ParamRecord* record)
{
    return record->control != nullptr && Doc_hooks().hasFocus(record->control) != 0;
}

// Every refusal: the message kept in the record, shown when its field has
// the focus, printed when asked, and the refused bit set. Always 0.
int refuse(ParamRecord* record, int console, const char* format, const char* a,
           const char* b = nullptr, const char* c = nullptr)
{
    char message[PARAM_WORK_SIZE + 128];
    std::snprintf(message, sizeof message, format, a, b, c);
    record->message.assign(message, PARAM_MESSAGE_SIZE - 1);
    if (isFocused(record)) {
        Doc_hooks().showInfo(message, 1);
    }
    if (console == 1) {
        Doc_print(message);
    }
    record->status |= PARAM_REFUSED;
    return 0;
}

// The range of a number record in the words both readers of the device
// file use ("from 0.0001 to 1e+08 cm/s").
std::string rangeOf(const ParamRecord* record)
{
    if (record->type == PARAM_INTEGER) {
        return kov_rangeText(record->minimum.integer, record->maximum.integer, record->unit);
    }
    return kov_rangeText(record->minimum.real, record->maximum.real, record->unit);
}

// A number outside the record's range: refused in two lines, the second
// naming the key, the text and the range accepted. Always 0.
int refuseOutOfRange(ParamRecord* record, int console, const char* entered)
{
    if (record->type == PARAM_REAL) {
        refuse(record, console, "[ERROR]   invalid value: %s\n", entered);
    }
    const std::string range = rangeOf(record);
    return refuse(record, console, "[ERROR]   invalid value for %s: %s (accepted: %s)\n",
                  record->key, entered, range.c_str());
}

// A number outside the range of a record that clamps: the nearest limit is
// taken, and the warning names the range. Shown like a refusal, but the
// value is stored.
void warnClamped(ParamRecord* record, int console, const char* entered, double used)
{
    char message[PARAM_WORK_SIZE + 128];
    std::snprintf(message, sizeof message, "[WARNING] %s = %s changed to %s (accepted: %s)\n",
                  record->key, entered, kov_limitNumberText(used).c_str(), rangeOf(record).c_str());
    record->message.assign(message, PARAM_MESSAGE_SIZE - 1);
    if (isFocused(record)) {
        Doc_hooks().showInfo(message, 0);
    }
    if (console == 1) {
        Doc_print(message);
    }
    record->status |= PARAM_CLAMPED;
}

// A whole text that is one number in C syntax, read locale-free.
bool readWholeReal(const char* text, double* out)
{
    if (*text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = kov_strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(value)) {
        return false;
    }
    *out = value;
    return true;
}

bool readWholeInteger(const char* text, int* out)
{
    if (*text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno == 0 && end != text && *end == '\0' && value >= INT32_MIN && value <= INT32_MAX) {
        *out = static_cast<int>(value);
        return true;
    }
    // A parser may answer an integral result in real notation ("1.5e2").
    double real = 0.0;
    if (readWholeReal(text, &real) && real == std::floor(real) && real >= INT32_MIN &&
        real <= INT32_MAX) {
        *out = static_cast<int>(real);
        return true;
    }
    return false;
}

// The value of a text without its surrounding double quotes.
void unquote(const char* text, char* out, size_t size)
{
    const size_t length = std::strlen(text);
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        const size_t inner = length - 2;
        const size_t kept = inner < size - 1 ? inner : size - 1;
        std::memcpy(out, text + 1, kept);
        out[kept] = '\0';
        return;
    }
    copyText(out, size, text);
}

}  // namespace

char* Text_lastMarkOutsideQuotes(char* text, char mark)
{
    char* found = nullptr;
    bool quoted = false;
    for (char* c = text; *c != '\0'; ++c) {
        if (*c == '"') {
            quoted = !quoted;
        } else if (*c == mark && !quoted) {
            found = c;
        }
    }
    return found;
}

namespace {

// Splits the entered text into value and comment. The comment marks '#'
// and ';' (and '@' after them) count only outside double quotes, so a
// quoted name or path may hold them.
void splitComment(char* work, char* comment)
{
    comment[0] = '\0';
    char* mark = nullptr;
    char* rest = nullptr;
    foConfig::remCommentA(work, &rest);
    if (rest != nullptr) {
        mark = rest - 1;
    } else if ((mark = Text_lastMarkOutsideQuotes(work, '@')) != nullptr) {
        *mark = '\0';
        rest = mark + 1;
    }
    if (rest == nullptr) {
        return;
    }
    copyText(comment, PARAM_WORK_SIZE, rest);
    foConfig::trimA(comment);
    foConfig::trimA(work);
}

ParamRecord* commitTarget(ParamRecord* record)
{
    if (record->alias == nullptr) {
        return record;
    }
    record->revision = 0;
    return record->alias;
}

bool sameValue(const ParamRecord* record, const ParamValue& old)
{
    switch (record->type) {
    case PARAM_REAL: return Real_equal(record->value.real, old.real) != 0;
    case PARAM_INTEGER: return record->value.integer == old.integer;
    case PARAM_TEXT: return std::strcmp(record->value.text, old.text) == 0;
    default: return true;
    }
}

// Step 9: the value goes to the alias target when there is one, with the
// expression it was entered as (null: a plain value, which drops one); a
// changed value or expression counts a revision there.
int commit(ParamRecord* record, const ParamValue& value, const char* expression = nullptr)
{
    ParamRecord* target = commitTarget(record);
    const ParamValue old = target->value;
    if (target != record) {
        target->value = value;
    } else {
        record->value = value;
    }
    const char* written = expression != nullptr ? expression : "";
    const bool newExpression = std::strcmp(target->expression, written) != 0;
    target->expression = written;
    if (!sameValue(target, old) || newExpression) {
        Param_countRevision(target);
    }
    record->message.clear();
    return 1;
}

// A '$' reference on a record: the variable's value is taken when it
// converts and lies within range; the reference is kept either way. A
// value out of range is refused, or clamped by a record that clamps, as the
// engine treats the same reference.
int takeVariable(ParamRecord* record, Device* device, const char* work, const char* variableValue,
                 int console)
{
    // A variable holds the text it was given, which may be an expression
    // ("100 * $emitter"); its number is what the parser makes of it.
    char number[PARAM_WORK_SIZE];
    kov_copyA(number, sizeof number, variableValue);
    if (record->type != PARAM_TEXT) {
        double probe = 0.0;
        if (!readWholeReal(number, &probe)) {
            kov_copyA(number, sizeof number, work);
            if (Device_evaluate(device, number) != 1) {
                number[0] = '\0';
            }
        }
    }
    bool clamped = false;
    double used = 0.0;
    if (record->type == PARAM_REAL) {
        double value = 0.0;
        if (readWholeReal(number, &value)) {
            if (value < record->minimum.real || value > record->maximum.real) {
                if ((record->flags & PARAM_CLAMPS) == 0) {
                    return refuseOutOfRange(record, console,
                                            (std::string(work) + " = " + number).c_str());
                }
                value = std::clamp(value, record->minimum.real, record->maximum.real);
                clamped = true;
            }
            record->value.real = used = value;
        }
    } else if (record->type == PARAM_INTEGER) {
        int value = 0;
        if (readWholeInteger(number, &value)) {
            if (value < record->minimum.integer || value > record->maximum.integer) {
                if ((record->flags & PARAM_CLAMPS) == 0) {
                    return refuseOutOfRange(record, console,
                                            (std::string(work) + " = " + number).c_str());
                }
                value = std::clamp(value, record->minimum.integer, record->maximum.integer);
                clamped = true;
            }
            record->value.integer = value;
            used = value;
        }
    } else {
        char text[PARAM_VALUE_SIZE];
        unquote(variableValue, text, sizeof text);
        if (std::strcmp(text, record->value.text) != 0) {
            record->value.text.assign(text, PARAM_TEXT_MAX);
            Param_countRevision(record);
        }
    }
    if (differsNoCase(record->variableRef, work)) {
        Param_countRevision(record);
    }
    copyText(record->variableRef, PARAM_VARREF_SIZE, work);
    record->expression.clear();
    record->flags |= PARAM_FROM_VARIABLE;
    char line[PARAM_WORK_SIZE + 64];
    std::snprintf(line, sizeof line, "[INFO]    variable defined: %s = %s", work, variableValue);
    char message[PARAM_MESSAGE_SIZE];
    copyText(message, sizeof message, line);
    if (differsNoCase(message, record->message)) {
        record->message.assign(message, PARAM_MESSAGE_SIZE - 1);
        if (isFocused(record)) {
            Doc_hooks().showInfo(message, 0);
        }
    }
    if (clamped) {
        warnClamped(record, console, (std::string(work) + " = " + number).c_str(), used);
    }
    return 1;
}

int enterText(ParamRecord* record, const char* work, int console)
{
    ParamValue value = record->value;
    const size_t length = std::strlen(work);
    if (work[0] == '"') {
        // An empty quoted text ("") is an empty value, as the writer writes it.
        if (length < 2 || work[length - 1] != '"') {
            return refuse(record, console, "[ERROR]   invalid string: %s\n", work);
        }
        if (length - 2 > PARAM_TEXT_MAX) {
            return refuse(record, console, "[ERROR]   text too long for %s\n", record->key);
        }
        char unquoted[PARAM_VALUE_SIZE];
        unquote(work, unquoted, sizeof unquoted);
        value.text = unquoted;
    } else {
        if (std::strchr(work, '"') != nullptr) {
            return refuse(record, console, "[ERROR]   invalid string: %s\n", work);
        }
        if (length > PARAM_TEXT_MAX) {
            return refuse(record, console, "[ERROR]   text too long for %s\n", record->key);
        }
        value.text.assign(work, PARAM_TEXT_MAX);
    }
    return commit(record, value);
}

int enterReal(ParamRecord* record, Device* device, char* work, int console)
{
    if (strcasecmp(work, "Model") == 0) {
        record->message.clear();
        return 1;  // the value comes from a model script; nothing changes
    }
    char entered[PARAM_WORK_SIZE];
    copyText(entered, sizeof entered, work);
    double value = 0.0;
    // A plain number is taken exactly as written; only expressions go
    // through the parser, whose answer text may carry fewer digits.
    const bool plain = readWholeReal(work, &value);
    if (!plain) {
        const int r = Device_evaluate(device, work);
        if (r == 0) {
            return refuse(record, console, "[ERROR]   invalid expression for %s: %s\n", record->key,
                          entered);
        }
        if (r != 1) {
            return r;
        }
        if (!readWholeReal(work, &value)) {
            return refuseOutOfRange(record, console, entered);
        }
    }
    bool clamped = false;
    if (value < record->minimum.real || value > record->maximum.real) {
        if ((record->flags & PARAM_CLAMPS) == 0) {
            return refuseOutOfRange(record, console, entered);
        }
        value = std::clamp(value, record->minimum.real, record->maximum.real);
        clamped = true;
    }
    if (record->control != nullptr) {
        // An expression stays in its field as typed; a number is shown as
        // it is kept.
        if (plain) {
            char shown[64];
            Real_format(value, shown, sizeof shown);
            Doc_hooks().showValue(record->control, shown);
        }
        record->control = nullptr;
    }
    ParamValue stored = record->value;
    stored.real = value;
    const int result = commit(record, stored, plain ? nullptr : entered);
    if (clamped) {
        warnClamped(record, console, entered, value);
    }
    return result;
}

int enterInteger(ParamRecord* record, Device* device, char* work, int console)
{
    char entered[PARAM_WORK_SIZE];
    copyText(entered, sizeof entered, work);
    int value = 0;
    const bool plain = readWholeInteger(work, &value);
    if (!plain) {
        const int r = Device_evaluate(device, work);
        if (r == 0) {
            return refuse(record, console, "[ERROR]   invalid expression for %s\n", record->key);
        }
        if (r != 1) {
            return r;
        }
        if (!readWholeInteger(work, &value)) {
            return refuseOutOfRange(record, console, entered);
        }
    }
    bool clamped = false;
    if (value < record->minimum.integer || value > record->maximum.integer) {
        if ((record->flags & PARAM_CLAMPS) == 0) {
            return refuseOutOfRange(record, console, entered);
        }
        value = std::clamp(value, record->minimum.integer, record->maximum.integer);
        clamped = true;
    }
    ParamValue stored = record->value;
    stored.integer = value;
    const int result = commit(record, stored, plain ? nullptr : entered);
    if (clamped) {
        warnClamped(record, console, entered, value);
    }
    return result;
}

}  // namespace

ParamRecord* Param_alloc()
{
    void* block = kov_MemoryAlloc(sizeof(ParamRecord));
    return block != nullptr ? new (block) ParamRecord{} : nullptr;
}

void Param_free(ParamRecord** record)
{
    if (record == nullptr || *record == nullptr) {
        return;
    }
    (*record)->~ParamRecord();
    kov_MemoryFreeT(record);
}

size_t Param_bytes(const ParamRecord* record)
{
    if (record == nullptr) {
        return 0;
    }
    return sizeof(ParamRecord) + record->value.text.heapBytes() + record->comment.heapBytes() +
           record->message.heapBytes() + record->expression.heapBytes();
}

void ParamText::assign(const char* text, size_t max)
{
    if (text == nullptr) {
        bytes.clear();
        return;
    }
    size_t n = strnlen(text, max + 1);
    if (n > max) {
        n = max;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            --n;
        }
    }
    bytes.assign(text, n);
}

size_t ParamText::heapBytes() const
{
    // A short text lives inside the string itself.
    return bytes.capacity() > std::string().capacity() ? bytes.capacity() + 1 : 0;
}

void Param_setReal(ParamRecord* record, const char* key, int index, double value, double minimum,
                   double maximum, double step, const char* unit)
{
    copyText(record->key, PARAM_KEY_SIZE, key);
    record->type = PARAM_REAL;
    record->index = index;
    record->value.real = value;
    record->minimum.real = minimum;
    record->maximum.real = maximum;
    record->step.real = step;
    copyText(record->unit, PARAM_UNIT_SIZE, unit);
    record->variableRef[0] = '\0';
    record->expression.clear();
    record->flags = PARAM_ACCEPTS_VARS;
}

void Param_setInteger(ParamRecord* record, const char* key, int index, int value, int minimum,
                      int maximum, int step, const char* unit)
{
    copyText(record->key, PARAM_KEY_SIZE, key);
    record->type = PARAM_INTEGER;
    record->index = index;
    record->value.integer = value;
    record->minimum.integer = minimum;
    record->maximum.integer = maximum;
    record->step.integer = step;
    copyText(record->unit, PARAM_UNIT_SIZE, unit);
    record->variableRef[0] = '\0';
    record->expression.clear();
    record->flags = PARAM_ACCEPTS_VARS;
}

void Param_setLimited(ParamRecord* record, const char* key, int index, double value, double step,
                      const KovKeyLimit* limit)
{
    static constexpr KovKeyLimit NONE = {KovKeySection::DEVICE, "", false, 1.0, 0.0, "",
                                         KovOutside::REFUSE};
    const KovKeyLimit& used = limit != nullptr ? *limit : NONE;
    if (used.integer) {
        Param_setInteger(record, key, index, static_cast<int>(value),
                         static_cast<int>(used.minimum), static_cast<int>(used.maximum),
                         static_cast<int>(step), used.unit);
    } else {
        Param_setReal(record, key, index, value, used.minimum, used.maximum, step, used.unit);
    }
    if (used.outside == KovOutside::CLAMP) {
        record->flags |= PARAM_CLAMPS;
    }
}

void Param_setText(ParamRecord* record, const char* key, int index, const char* value)
{
    copyText(record->key, PARAM_KEY_SIZE, key);
    record->type = PARAM_TEXT;
    record->index = index;
    record->value.text.assign(value, PARAM_TEXT_MAX);
    record->minimum.real = record->maximum.real = record->step.real = 0.0;
    record->variableRef[0] = '\0';
    record->expression.clear();
    record->flags = 0;
}

void Param_countRevision(ParamRecord* record)
{
    record->revision += 1;
    if (record->revision > 1024) {
        record->revision = 12;
    }
}

int Param_setValueText(ParamRecord* record, const char* text, const char* comment, int console)
{
    if (record == nullptr) {
        return 0;
    }
    Device* device = Document_valueDevice(Doc_document());
    if (device == nullptr || !Device_hasParser(device)) {
        return 0;
    }

    if (text == nullptr || text[0] == '\0') {
        if (record->type != PARAM_TEXT) {
            return 0;
        }
        if (record->value.text[0] != '\0') {
            Param_countRevision(record);
        }
        record->value.text.clear();
        return 1;
    }

    char work[PARAM_WORK_SIZE];
    copyText(work, sizeof work, text);
    if (foConfig::trimA(work) == 0) {
        return 0;
    }

    char found[PARAM_WORK_SIZE] = "";
    if (std::strcmp(work, "$@") != 0) {
        if (comment != nullptr) {
            const char* given = comment;
            if (*given == '#' || *given == ';' || *given == '@') {
                ++given;
            }
            copyText(found, sizeof found, given);
            foConfig::trimA(found);
        } else {
            splitComment(work, found);
            if (work[0] == '\0') {
                return 0;
            }
        }
        // Longer than a line of the device file can carry: only a typed
        // comment can be, never one read from a file.
        DeviceFile_cutCharacters(found, DEVICE_COMMENT_MAX);
        if (found[0] != '\0' && differsNoCase(found, record->comment)) {
            record->comment.assign(found, PARAM_COMMENT_MAX);
            Param_countRevision(record);
        }
    }

    record->status = 0;
    const bool numeric = record->type == PARAM_REAL || record->type == PARAM_INTEGER;
    if (work[0] == '$') {
        if (std::strcmp(work, "$@") == 0) {
            if ((record->flags & PARAM_ACCEPTS_VARS) == 0 && record->variableRef[0] == '\0') {
                return 0;
            }
            record->variableRef[0] = '\0';
            record->expression.clear();
            record->flags &= ~PARAM_FROM_VARIABLE;
            record->message.clear();
            return 1;
        }
        // Text records take a whole reference too (a device name from a
        // variable), so that such a line survives an open-and-save.
        if (!numeric && record->type != PARAM_TEXT) {
            return 0;
        }
        if (Text_isVariableRef(work)) {
            const char* value = Device_variableText(device, work);
            if (value != nullptr) {
                return takeVariable(record, device, work, value, console);
            }
            char probe[PARAM_WORK_SIZE];
            copyText(probe, sizeof probe, work);
            if (!numeric || Device_evaluate(device, probe) == 0) {
                return refuse(record, console, "[ERROR]   variable not defined: %s\n", work);
            }
        } else {
            char probe[PARAM_WORK_SIZE];
            copyText(probe, sizeof probe, work);
            if (!numeric || Device_evaluate(device, probe) == 0) {
                return refuse(record, console, "[ERROR]   invalid variable name: %s\n", work);
            }
        }
    }

    record->variableRef[0] = '\0';
    record->flags &= ~PARAM_FROM_VARIABLE;
    switch (record->type) {
    case PARAM_TEXT: return enterText(record, work, console);
    case PARAM_REAL: return enterReal(record, device, work, console);
    case PARAM_INTEGER: return enterInteger(record, device, work, console);
    default: return 0;
    }
}

int Param_initFromTemplate(ParamRecord* record, const char* prefix, const char* key, int type,
                           int index, const ParamTemplate* templ, int usePrefix)
{
    if (record == nullptr || key == nullptr || templ == nullptr) {
        return 0;
    }
    if (usePrefix == 1 && prefix != nullptr) {
        std::snprintf(record->key, PARAM_KEY_SIZE, "%s.%s", prefix, key);
    } else {
        copyText(record->key, PARAM_KEY_SIZE, key);
    }
    record->type = type;
    record->index = index;
    record->value = templ->value;
    record->minimum = templ->minimum;
    record->maximum = templ->maximum;
    record->step = templ->step;
    copyText(record->variableRef, PARAM_VARREF_SIZE, templ->variableRef);
    record->flags = (type == PARAM_INTEGER || type == PARAM_REAL) ? PARAM_ACCEPTS_VARS : 0;
    return 1;
}

void Param_copy(const ParamRecord* source, ParamRecord* target)
{
    if (source == nullptr || target == nullptr || source == target) {
        return;
    }
    std::memcpy(target->key, source->key, PARAM_KEY_SIZE);
    target->type = source->type;
    target->index = source->index;
    target->value = source->value;
    target->minimum = source->minimum;
    target->maximum = source->maximum;
    target->step = source->step;
    std::memcpy(target->unit, source->unit, PARAM_UNIT_SIZE);
    target->revision = source->revision;
}

int Param_checkValueText(const ParamRecord* record, const char* text)
{
    if (record == nullptr || text == nullptr) {
        return 0;
    }
    if (record->type == PARAM_TEXT) {
        return std::strlen(text) <= PARAM_TEXT_MAX ? 1 : 0;
    }
    if (record->type == PARAM_REAL) {
        double value = 0.0;
        return readWholeReal(text, &value) && value >= record->minimum.real &&
               value <= record->maximum.real;
    }
    if (record->type == PARAM_INTEGER) {
        int value = 0;
        return readWholeInteger(text, &value) && value >= record->minimum.integer &&
               value <= record->maximum.integer;
    }
    return 0;
}

int Param_isValueEqualText(const ParamRecord* record, const char* text)
{
    if (record == nullptr || text == nullptr) {
        return 0;
    }
    if (record->type == PARAM_TEXT) {
        return std::strncmp(record->value.text, text, PARAM_TEXT_MAX) == 0;
    }
    if (!Param_checkValueText(record, text)) {
        return 0;
    }
    if (record->type == PARAM_REAL) {
        double value = 0.0;
        readWholeReal(text, &value);
        return Real_equal(value, record->value.real);
    }
    int value = 0;
    readWholeInteger(text, &value);
    return value == record->value.integer;
}

int Param_equals(const ParamRecord* a, const ParamRecord* b)
{
    if (a == b) {
        return 1;
    }
    if (a == nullptr || b == nullptr || a->type != b->type) {
        return 0;
    }
    switch (a->type) {
    case PARAM_TEXT: return std::strcmp(a->value.text, b->value.text) == 0;
    case PARAM_REAL: return Real_equal(a->value.real, b->value.real);
    case PARAM_INTEGER: return a->value.integer == b->value.integer;
    default: return 0;
    }
}

int Real_equal(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) {
        return 0;
    }
    if (a == b) {
        return 1;
    }
    return std::fabs(a - b) <= (std::fabs(a) + std::fabs(b)) * std::ldexp(1.0, -52) ? 1 : 0;
}

int Text_isVariableRef(const char* text)
{
    if (text == nullptr || text[0] != '$' || !std::isalpha(static_cast<unsigned char>(text[1]))) {
        return 0;
    }
    for (const char* c = text + 2; *c != '\0'; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c))) {
            return 0;
        }
    }
    return 1;
}

void Real_format(double value, char* out, size_t size)
{
    if (size == 0) {
        return;
    }
    // The digits the shortest exact text needs, at least six, laid out as
    // a person writes a number ("%g"): 0.0007, 300.15, 1e-07, 1e+16, never
    // "7e-04" for the sake of one character.
    char shortest[64];
    const auto result = std::to_chars(shortest, shortest + sizeof shortest - 1, value,
                                      std::chars_format::scientific);
    int digits = 0;
    for (const char* c = shortest; c < result.ptr && *c != 'e'; ++c) {
        digits += std::isdigit(static_cast<unsigned char>(*c)) ? 1 : 0;
    }
    char buffer[64];
    if (result.ec != std::errc() ||
        kov_reformatAuto(value, buffer, 63, digits > 6 ? digits : 6) == 0) {
        const auto plain = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
        *plain.ptr = '\0';
    }
    copyText(out, size, buffer);
}

const char* Param_followedText(const ParamRecord* record)
{
    if (record == nullptr || (record->flags & (PARAM_ACCEPTS_VARS | PARAM_FROM_VARIABLE)) == 0) {
        return nullptr;
    }
    if (Text_isVariableRef(record->variableRef)) {
        return record->variableRef;
    }
    if ((record->type == PARAM_REAL || record->type == PARAM_INTEGER) &&
        !record->expression.empty()) {
        return record->expression;
    }
    return nullptr;
}

void Param_valueText(const ParamRecord* record, char* out, size_t size)
{
    if (size == 0) {
        return;
    }
    out[0] = '\0';
    if (record == nullptr) {
        return;
    }
    if (const char* followed = Param_followedText(record)) {
        copyText(out, size, followed);
        return;
    }
    switch (record->type) {
    case PARAM_TEXT: copyText(out, size, record->value.text); break;
    case PARAM_REAL: Real_format(record->value.real, out, size); break;
    case PARAM_INTEGER: std::snprintf(out, size, "%d", record->value.integer); break;
    default: break;
    }
}

namespace {

int findCursor = -1;
int valueTextCursor = -1;

ParamRecord* cursorSearch(ParamRecord* const* records, int count, const char* key, int* cursor)
{
    if (records == nullptr || key == nullptr || count <= 0) {
        return nullptr;
    }
    if (*cursor >= count) {
        *cursor = -1;
    }
    for (int step = 1; step <= count; ++step) {
        const int i = (*cursor + step) % count;
        if (records[i] != nullptr && std::strcmp(records[i]->key, key) == 0) {
            *cursor = i;
            return records[i];
        }
    }
    return nullptr;
}

}  // namespace

ParamRecord* Params_find(ParamRecord* const* records, int count, const char* key)
{
    return cursorSearch(records, count, key, &findCursor);
}

ParamRecord* Params_findForText(ParamRecord* const* records, int count, const char* key)
{
    return cursorSearch(records, count, key, &valueTextCursor);
}

int Params_getValueText(ParamRecord* const* records, int count, const char* key, char* out)
{
    const ParamRecord* record = Params_findForText(records, count, key);
    if (record == nullptr || out == nullptr) {
        return 0;
    }
    Param_valueText(record, out, PARAM_VALUE_SIZE);
    return 1;
}
