// focore: sectioned configuration files, column data files and the
// program's folders. Text is wide inside, UTF-8 on disk; names ending in A
// take 8-bit UTF-8 text.
//
// Configuration text, as readFrom() reads it and writeTo() writes it:
//
//   [Section]
//       key=value                     unquoted value
//       key="text value"    # note    quoted value with a trailing comment
//   # a comment line                  ('#' or ';' first on the line)
//
// Size rules (every text is stored with its terminator, so the buffers a
// caller hands in hold one more character than the text):
//   - section names and keys: at most 63 characters (NAME_SIZE 64);
//   - values: at most 1023 characters (VALUE_SIZE 1024);
//   - comments: at most 255 characters (COMMENT_SIZE 256), longer ones cut.
// A section name, key or value longer than its limit is refused (false or
// null), never cut, so no stored value differs from what was given.
// Section names and keys are looked up without regard to case.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class nuSigma;

class foRecord {
public:
    static constexpr size_t NAME_SIZE = 64;
    static constexpr size_t VALUE_SIZE = 1024;
    static constexpr size_t COMMENT_SIZE = 256;

    const wchar_t* getKey() const { return key.c_str(); }
    const wchar_t* getValue() const { return value.c_str(); }
    const wchar_t* getComment() const { return comment.c_str(); }  // "" when none
    // True for a text value: written back between double quotes.
    bool isQuoted() const { return quoted; }

private:
    friend class foSection;
    std::wstring key;
    std::wstring value;
    std::wstring comment;
    bool quoted = false;
};

class foSection {
public:
    foSection(const wchar_t* name, int recordCount);

    const wchar_t* getName() const { return name.c_str(); }
    int getRecordCount() const { return static_cast<int>(records.size()); }
    // Records in the order they were first set; null outside 0..count-1.
    foRecord* getRecord(int index);
    const foRecord* getRecord(int index) const;
    // Record of a key (case ignored); null when absent.
    foRecord* findRecord(const wchar_t* key);
    const foRecord* findRecord(const wchar_t* key) const;

    // Copies the value (and comment) of a key into the caller's buffers,
    // either of which may be null; valueSize/commentSize are their sizes in
    // characters. False when the key is absent or a text does not fit.
    bool getValue(const wchar_t* key, wchar_t* value, wchar_t* comment,
                  size_t valueSize = foRecord::VALUE_SIZE,
                  size_t commentSize = foRecord::COMMENT_SIZE) const;

    // Stores a value under a key; a key already present (case ignored) gets
    // the new value, comment and flag in its place. A value enclosed in
    // double quotes loses them and is marked quoted; otherwise quoted is the
    // caller's flag. comment may be null. False for a null or empty key, a
    // null value, or a key/value over the size rules.
    bool setValue(const wchar_t* key, const wchar_t* value, const wchar_t* comment, bool quoted);

private:
    std::wstring name;
    std::vector<foRecord> records;
};

// A configuration of named sections. ekInput derives from it (no virtuals).
class foConfig {
public:
    // capacity: the number of sections the owner means to hold. addSection
    // does not enforce it, so an owner can see the store go past it
    // (getSectionCount() > getCapacity()) and report that its own way.
    explicit foConfig(int capacity = 16);
    ~foConfig();
    foConfig(const foConfig&) = delete;
    foConfig& operator=(const foConfig&) = delete;

    // ---- line helpers (static: they touch no store) --------------------
    // Removes blanks (space, tab, CR, LF) around text in place; returns the
    // new length (0 for null).
    static int trim(wchar_t* text);
    // Splits off a trailing comment: the first '#' or ';' outside double
    // quotes that follows some text ends the line there (the marker is
    // overwritten by the terminator) and *comment points at the text after
    // the marker (untrimmed, inside the caller's line). A line that begins
    // with '#' or ';' (after blanks) is a comment line and is left whole.
    // Returns the length of what is left; *comment is null when nothing was
    // split off. comment may be null.
    static int remComment(wchar_t* line, wchar_t** comment);
    // Splits "key = value" at the first '=' into trimmed key and value.
    // False when the line has no '=' or the key is empty (an empty value is
    // a key line). key and value receive at most keySize/valueSize
    // characters with the terminator; 0 means the buffer holds the whole
    // line. A part that does not fit gives false.
    static bool getKeyValue(const wchar_t* line, wchar_t* key, wchar_t* value, size_t keySize = 0,
                            size_t valueSize = 0);
    // Rewrites a key as written in a section into the section's own
    // spelling. A section whose keys are bare (keysBare: the device file's
    // [Device] and [LayerN]) drops a leading "<section>." from a key; any
    // other section spells its keys with its name in front ("Anode.Phi")
    // and gets "<section>." put before a key that does not begin with the
    // name. Only keys that begin with an ASCII letter are touched; a key
    // whose rewritten form would not fit keySize (terminator included)
    // stays as written. Prefixes match in exact case.
    static void normalizeKey(const wchar_t* section, bool keysBare, wchar_t* key, size_t keySize);
    static void normalizeKeyA(const char* section, bool keysBare, char* key, size_t keySize);
    // The same three on 8-bit UTF-8 text (the device editor's reader and
    // its value entry), from one implementation with the wide ones.
    static int trimA(char* text);
    static int remCommentA(char* line, char** comment);
    static bool getKeyValueA(const char* line, char* key, char* value, size_t keySize = 0,
                             size_t valueSize = 0);

    // ---- store ---------------------------------------------------------
    void removeAll();
    // Appends a section; recordCount is a hint of its size. A name already
    // in the store still opens (and counts) a new section, but name lookups
    // find the first one, so the records of a repeated header join the
    // first section of that name. Null for a null, empty or over-long name.
    foSection* addSection(const wchar_t* name, int recordCount = 0);
    int getSectionCount() const { return static_cast<int>(sections.size()); }
    int getCapacity() const { return capacity; }
    foSection* getSection(int index);
    const foSection* getSection(int index) const;
    foSection* getSection(const wchar_t* name);  // case ignored; first match
    const foSection* getSection(const wchar_t* name) const;

    // As the foSection twins, on the section named (case ignored); false
    // when that section does not exist.
    bool getValue(const wchar_t* section, const wchar_t* key, wchar_t* value, wchar_t* comment,
                  size_t valueSize = foRecord::VALUE_SIZE,
                  size_t commentSize = foRecord::COMMENT_SIZE) const;
    bool setValue(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                  const wchar_t* comment, bool quoted);

    // ---- files ---------------------------------------------------------
    // Writes every section in store order: "[name]", then one line per
    // record, "    key=value" or "    key=\"value\"", followed by
    // "    # comment" when the record has a comment, and a blank line after
    // each section. UTF-8. False on a write error.
    bool writeTo(FILE* stream) const;
    bool writeFile(const wchar_t* path) const;
    // Reads the text writeTo() writes into an emptied store (UTF-8, BOM and
    // CR LF accepted; lines up to 4095 characters). Blank and comment lines
    // are skipped; a comment line just before a key line (no blank line
    // between) becomes that key's comment unless the key line has its own;
    // surrounding blanks of names, keys and unquoted values go. False on
    // the first line that is no section header or key line, a key outside
    // any section, or a text over the size rules; errorLine (may be null)
    // then receives its 1-based number (0 when the file cannot be opened).
    bool readFrom(FILE* stream, int* errorLine = nullptr);
    bool readFile(const wchar_t* path, int* errorLine = nullptr);

private:
    int capacity;
    std::vector<foSection*> sections;
};

// ---- column data files ----------------------------------------------------
// Reads a text file of numbers in columns into columns[0..columnCount-1],
// each an array of at least rowLimit doubles, filled in file order (row i of
// the file into columns[c][i]). Fields are split at separator; a tab or a
// space as separator accepts any run of tabs and spaces. Blank lines and
// lines beginning with '#' (after blanks) are skipped; fields after the
// first columnCount are ignored. Numbers are read locale-independently.
// Returns the row count (1..rowLimit) on success, and on failure:
//   -1           file not opened, bad arguments, a row with fewer than
//                columnCount numbers, or a field that is no number;
//    0           no data row;
//   rowLimit + 1 more rows than rowLimit (the first rowLimit are stored).
// Every failure is reported as a level-1 line on sigma (when not null).
// reserved: pass 0.
int fo_importAscii(const wchar_t* file, double** columns, int columnCount, int rowLimit,
                   wchar_t separator, int reserved, nuSigma* sigma);

// ---- folders ---------------------------------------------------------------
constexpr size_t FO_PATH_SIZE = 1024;

// Creates the output folder of an input file (UTF-8 path, '/' or '\'
// separators; a path without a folder is taken relative to the current
// folder): "<input folder>/<input stem>_out/", or with dated
// "<input folder>/<input stem>_YYYYMMDD_HHMMSS/" (local time). An existing
// folder is reused. Out buffers (each may be null) hold FO_PATH_SIZE
// characters: folderOut the folder with a trailing '/', secondOut the
// folder's own name without separators, logPathOut the folder followed by
// logName (empty when logName is null or empty).
// False when the path is invalid (folderOut empty) or the folder cannot be
// created or written (folderOut holds the folder tried).
bool fo_createOutputDir(const char* inputPath, const wchar_t* logName, wchar_t* folderOut,
                        wchar_t* secondOut, wchar_t* logPathOut, bool dated);

// Application folders, UTF-8, each in a buffer of FO_PATH_SIZE bytes (either
// may be null): first the program folder (KOVRA_APPDIR in the environment
// overrides it), second its "etc/" subfolder (the data: material database,
// spectra). Both end with '/'. False when the program folder is unknown or
// too long.
bool fo_getAppDirA(char* first, char* second);
