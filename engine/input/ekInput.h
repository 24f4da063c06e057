// ekInput: the device-file ("*.kovra") reader and writer of the engine, over
// the sectioned configuration store it inherits. This header also publishes
// the file's vocabulary: the sixteen section kinds and their key tables.
#pragma once

#include <cstddef>
#include <cstdio>

#include "focore.h"

// One key of a section: the key as the writer spells it and its value type.
struct _ekRecord {
    const wchar_t* key;  // null ends a table
    int type;            // 1 real, 2 integer, 3 text
};

// One section kind; the nine layer sections share id 2 and one key table,
// so a section is identified by its position in ekInput::SECTION.
struct _ekSection {
    int id;
    const wchar_t* name;
    const _ekRecord* records;
};

class ekSimulator;
class ElecDevice;
class ekExcitation;
class nuSigma;
class nuParam;

class ekInput : public foConfig {
public:
    static constexpr int TYPE_REAL = 1;
    static constexpr int TYPE_INTEGER = 2;
    static constexpr int TYPE_TEXT = 3;

    // Section positions that the reader and writer name directly.
    static constexpr int SECTION_DEVICE = 0;
    static constexpr int SECTION_ANODE = 1;
    static constexpr int SECTION_LAYER1 = 2;
    static constexpr int SECTION_LAYER9 = 10;
    static constexpr int SECTION_CATHODE = 11;
    static constexpr int SECTION_VOLTAGE = 12;
    static constexpr int SECTION_LIGHT = 13;
    static constexpr int SECTION_NUMERIC = 14;
    static constexpr int SECTION_COMMAND = 15;

    // Work size of normalizeKey, terminator included.
    static constexpr size_t KEY_WORK_SIZE = 256;

    static constexpr int SECTIONCOUNT = 16;
    // SECTIONCOUNT entries, then the terminator {-1, null, null}.
    static const _ekSection SECTION[];
    static const _ekRecord RECORD_DEVICE[];
    static const _ekRecord RECORD_ANODE[];
    static const _ekRecord RECORD_LAYER[];
    static const _ekRecord RECORD_CATHODE[];
    static const _ekRecord RECORD_VOLTAGE[];
    static const _ekRecord RECORD_LIGHT[];
    static const _ekRecord RECORD_NUMERIC[];
    static const _ekRecord RECORD_COMMAND[];

    // capacity: the number of sections a file may open (SECTIONCOUNT for a run).
    explicit ekInput(int capacity = SECTIONCOUNT) : foConfig(capacity) {}

    // ---- vocabulary lookups (case ignored; they touch no store) ---------
    // Position of a section name in SECTION; -1 for null or unknown.
    static int sectionIndex(const wchar_t* name);
    // Keys in the table of the section at that position; 0 outside 0..15.
    static int sectionRecordCount(int section);
    // Position of a key in the table of the named section, the first of two
    // equal keys winning; *isText (when not null) tells whether the key
    // holds text. -1 for a null or unknown section or key, *isText untouched.
    static int keyIndex(const wchar_t* section, const wchar_t* key, bool* isText);
    // Rewrites a key as written in the file into the form of its section's
    // table: "Device." or "LayerN." dropped, "Anode." and the like added
    // where missing (prefixes match in exact case). keySize is the capacity
    // of the caller's buffer; a key whose rewritten form would not fit it or
    // the work size stays as written (and no table key will match it).
    static void normalizeKey(int section, wchar_t* key, size_t keySize = KEY_WORK_SIZE);

    // ---- device-file reader and writer ----------------------------------
    // Reads a device file into the device, the excitation, the simulator's
    // file names and normalisation, the status channel's switches and the
    // numeric settings. Every refusal is one level-1 line on sigma; line
    // (may be null) then receives the 0-based index of the offending line
    // (or of the header of the section at fault), and -1 once reading has
    // begun when no line can be named. True when every value was applied.
    bool load(const wchar_t* fileName, ekSimulator* simulator, ElecDevice* device,
              ekExcitation* excitation, nuSigma* sigma, nuParam* param, int* line);
    // Writes the device, excitation and settings as a device file that
    // load() reads back into the same device. simulator may be null (then
    // no mesh or initial-guess file is named). True when the whole file
    // was written.
    bool save(const wchar_t* fileName, ekSimulator* simulator, ElecDevice* device,
              ekExcitation* excitation, nuSigma* sigma, nuParam* param);
    // The same text into an open stream, which the caller closes (and so
    // chooses how the file reaches its place).
    bool save(FILE* stream, ekSimulator* simulator, ElecDevice* device, ekExcitation* excitation,
              nuSigma* sigma, nuParam* param);
};

// ---- value functions of the reader ---------------------------------------
// Length of suffix when text ends with it (exact case), else 0; 0 for null
// arguments, an empty suffix or a suffix longer than the text.
size_t ek_endsWithW(const wchar_t* text, const wchar_t* suffix);
// Reads a real number from the first 63 characters of text whatever the
// locale; text that is no number, and null, read as 0.
double ek_wtof(const wchar_t* text);
// The number a whole text spells (blanks around it allowed), whatever the
// locale: false for null, for text that is no number or holds more than
// one, and for infinities and NaN.
bool ek_wholeNumber(const wchar_t* text, double* value);
// Clears the console: a terminal is cleared in place; otherwise a hosting
// editor is asked to do it with the line "[COMM]LUA:cls()".
void ek_clearConsole();
