// ParamRecord: one editable value of a device (one key=value line of a
// device file, one field of a dialog), and Param_setValueText, the single
// way a value enters a record: comments split off, '$' variable references
// resolved, expressions evaluated by the device's parser, ranges checked,
// revisions counted and refusals reported in fixed words.
#pragma once

#include <cstddef>
#include <string>

#include "deviceFile.h"
#include "kovKeyLimits.h"

// Field sizes (terminator included).
constexpr size_t PARAM_KEY_SIZE = 32;
constexpr size_t PARAM_UNIT_SIZE = 16;
// A comment keeps its whole text, as long as a line of the device file can
// carry, so that opening and saving a file loses none.
constexpr size_t PARAM_COMMENT_MAX = DEVICE_LINE_BYTES - 1;
constexpr size_t PARAM_VARREF_SIZE = 64;
// A message keeps at most 255 bytes.
constexpr size_t PARAM_MESSAGE_SIZE = 256;
// A text value (a name, a model script, a file path) keeps its full length
// up to 900 characters, so that its file line - indent, key, quotes, value
// and comment - always fits the line the engine's reader accepts.
constexpr size_t PARAM_TEXT_MAX = 900;
constexpr size_t PARAM_VALUE_SIZE = PARAM_TEXT_MAX + 1;
// Work size of an entered text (value, comment and blanks): a whole line.
constexpr size_t PARAM_WORK_SIZE = DEVICE_LINE_BYTES;

// Record types.
constexpr int PARAM_EMPTY = 0;
constexpr int PARAM_INTEGER = 1;
constexpr int PARAM_REAL = 2;
constexpr int PARAM_TEXT = 3;

// flags
constexpr int PARAM_FROM_VARIABLE = 1;  // value taken from variableRef
constexpr int PARAM_ACCEPTS_VARS = 16;  // references and expressions allowed
constexpr int PARAM_CLAMPS = 32;        // a value outside the range takes the nearest limit
// status
constexpr int PARAM_REFUSED = 16;  // the last entry was refused
constexpr int PARAM_CLAMPED = 32;  // the last entry took the nearest limit

// A text a record keeps (a text value, a comment, a message): sized for
// what it holds, so that a record of a number carries no text room, and a
// long comment or path is kept whole. It reads as a C text; it is set by
// assignment (a null text empties it) or with a byte limit.
class ParamText {
public:
    ParamText() = default;
    ParamText(const char* text) { *this = text; }
    operator const char*() const { return bytes.c_str(); }
    const char* c_str() const { return bytes.c_str(); }
    bool empty() const { return bytes.empty(); }
    size_t size() const { return bytes.size(); }
    ParamText& operator=(const char* text)
    {
        bytes.assign(text != nullptr ? text : "");
        return *this;
    }
    // At most max bytes of text, never cutting a UTF-8 character.
    void assign(const char* text, size_t max);
    void clear() { bytes.clear(); }
    // Bytes kept outside the record (none while the text fits inside).
    size_t heapBytes() const;
    bool operator==(const ParamText& other) const { return bytes == other.bytes; }
    friend std::string operator+(const std::string& a, const ParamText& b) { return a + b.bytes; }
    friend std::string operator+(const ParamText& a, const std::string& b) { return a.bytes + b; }

private:
    std::string bytes;
};

// The value of a record: a double (real), an int (integer) or a text.
struct ParamValue {
    double real;
    int integer;
    ParamText text;
};

// A bound limit or step: a double for reals, an int for integers.
union ParamBound {
    double real;
    int integer;
};

struct ParamRecord {
    char key[PARAM_KEY_SIZE];
    int type;
    int index;
    ParamValue value;
    ParamBound minimum;
    ParamBound maximum;
    ParamBound step;
    char unit[PARAM_UNIT_SIZE];
    ParamText comment;
    char variableRef[PARAM_VARREF_SIZE];
    // The text a number was entered as when it is an expression ("$tau / 2",
    // "273.15 + 27"): written back as the user wrote it and evaluated again
    // when a variable it uses changes. Empty for a plain number or a bare
    // reference.
    ParamText expression;
    int flags;
    void* control;  // the input control it is shown in, or null
    int revision;   // 0: not written to the device file
    ParamText message;
    unsigned char status;
    ParamRecord* alias;  // receives every plain value entered here
};

// Source of Param_initFromTemplate.
struct ParamTemplate {
    ParamValue value;
    ParamBound minimum;
    ParamBound maximum;
    ParamBound step;
    char variableRef[PARAM_VARREF_SIZE];
};

// Rows of a dialog's control table; a null handle name ends it.
struct ControlRow {
    const char* handleName;
    const char* key;
};

// A new zero-filled record, or null when memory runs out.
ParamRecord* Param_alloc();
void Param_free(ParamRecord** record);
// The bytes a record takes: the record and the texts it keeps outside it.
size_t Param_bytes(const ParamRecord* record);

// Fills a record's identity, value, range and step (revision untouched).
void Param_setReal(ParamRecord* record, const char* key, int index, double value, double minimum,
                   double maximum, double step, const char* unit);
void Param_setInteger(ParamRecord* record, const char* key, int index, int value, int minimum,
                      int maximum, int step, const char* unit);
void Param_setText(ParamRecord* record, const char* key, int index, const char* value);
// Fills a number record whose type, range, unit and out-of-range rule come
// from the key table the engine reads the file with (kovKeyLimits.h). A
// key missing there gets an empty range, which refuses every value.
void Param_setLimited(ParamRecord* record, const char* key, int index, double value, double step,
                      const KovKeyLimit* limit);

// 1 accepted; 0 refused or nothing to do. comment: the line's comment given
// apart, or null to find it inside the text. console 1 prints every error
// line to the output console as well.
int Param_setValueText(ParamRecord* record, const char* text, const char* comment, int console);

int Param_initFromTemplate(ParamRecord* record, const char* prefix, const char* key, int type,
                           int index, const ParamTemplate* templ, int usePrefix);
void Param_copy(const ParamRecord* source, ParamRecord* target);
int Param_checkValueText(const ParamRecord* record, const char* text);
int Param_isValueEqualText(const ParamRecord* record, const char* text);
int Param_equals(const ParamRecord* a, const ParamRecord* b);
int Real_equal(double a, double b);
int Text_isVariableRef(const char* text);
// The last mark in a text outside double quotes, or null when none.
char* Text_lastMarkOutsideQuotes(char* text, char mark);

// Counts one revision: above 1024 the counter becomes 12, so a record that
// was written once never returns to 0 by counting.
void Param_countRevision(ParamRecord* record);

// The text a record's value follows - its variable reference, else its
// expression - or null when the value stands for itself. This is what the
// writer writes, the fields show and a changed variable re-applies.
const char* Param_followedText(const ParamRecord* record);
// The record's value text: the text it follows (a reference or an
// expression), else the text, the integer, or the real in the shortest form
// that reads back to the same double. out holds PARAM_VALUE_SIZE bytes.
void Param_valueText(const ParamRecord* record, char* out, size_t size);
// The text that reads back to exactly this double, as a person writes it:
// "%g" with as many significant digits as that takes, at least six
// ("0.0007", "1e-07", "1e+16", "0.30000000000000004", "300.15").
void Real_format(double value, char* out, size_t size);

// Key search with the process-wide find cursor / value-text cursor: each
// record is compared once, starting after the last hit, so a walk over a
// table in record order costs one comparison per look-up.
ParamRecord* Params_find(ParamRecord* const* records, int count, const char* key);
int Params_getValueText(ParamRecord* const* records, int count, const char* key, char* out);
// The value-text cursor's search alone.
ParamRecord* Params_findForText(ParamRecord* const* records, int count, const char* key);
