// Document: the editor's one open document: the device being edited, the
// file it came from, its modified flag and file times, and what a run and
// the plot tool need. New documents come from a device file, a built-in
// template or a built-in example.
#pragma once

#include <cstddef>
#include <string>

struct Device;
struct Runner;

constexpr size_t DOC_PATH_SIZE = 1024;

struct ResultBlock {
    int flags;  // 0x01 equilibrium, 0x02 non-equilibrium, 0x10 J-V, 0x20 C-V, 0x40 QE
    int meshPoints;
    int voltagePoints;
    int wavelengthPoints;
};

struct Document {
    int number;
    Device* device;
    Device* loadingDevice;  // the device Device_load is filling, else null
    Runner* runner;
    char driverPath[DOC_PATH_SIZE];
    char runOption[DOC_PATH_SIZE];
    char runDocumentPath[DOC_PATH_SIZE];
    char commOption[32];
    char filename[DOC_PATH_SIZE];
    int modified;
    long long fileTime;  // modification time at the last load or save, 0: none
    char plotToolPath[DOC_PATH_SIZE];
    char plotOption[DOC_PATH_SIZE];
    char plotListPath[DOC_PATH_SIZE];
    ResultBlock results;
    int plotAfterRun;
    char resultPaths[7][DOC_PATH_SIZE];
    int plotProcessId;
    char consoleFile[DOC_PATH_SIZE];
    int canvasState[14];
    // Why the last Device_save wrote nothing ("the file is read-only", "No
    // space left on device"); empty after a save that succeeded.
    char saveError[256];
    // A read that stopped before the end of its file: the file line it
    // stopped at (0: the file was read whole), and why, so that a save
    // that would drop the rest asks first.
    int readEndLine;
    char readEndReason[128];
    // Lines of the file read that the editor skipped (an unknown key or
    // section, a line without key and value, ...): a save writes the file
    // without them, so it asks first. The count and the first of them.
    int skippedLines;
    int firstSkippedLine;
    char firstSkippedText[128];
};

// A template or example row: texts applied through the records' setters.
struct DocLayerSlot {
    const char* material;  // null: empty slot
    int type;              // 0x20 p, 0x10 n, 0 intrinsic
    const char* dopantN;
    const char* lifetime;
    const char* thickness;
    const char* meshPoints;
};

struct DocRow {
    int id;  // -1 ends a table
    const char* name;
    DocLayerSlot layers[4];
    const char* voltageStart;
    const char* voltageEnd;
    const char* voltageStep;
    const char* voltageJinf;
    const char* voltageJsup;
    const char* lightStart;
    const char* lightEnd;
    const char* lightStep;
    const char* anodePhi;
    const char* cathodePhi;
    const char* voltageSource;
    const char* lightSource;
    const char* numericMesh;
    const char* numericPoints;
};

extern const DocRow TemplateTable[];
extern const DocRow ExampleTable[];

// Replaces the current document. rows: TemplateTable (also for null) or
// ExampleTable; the built-in templates give every layer the default
// material. Null on failure.
Document* Document_create(const char* path, const DocRow* rows, int id);
void Document_free(Document* document);
void Document_refreshViews(Document* document);
int Document_setDevice(Document* document, Device* device);
void Document_clearResults(Document* document);
void Document_setModified(Document* document, int modified);
int Document_isModified(const Document* document);
int Document_isChangedOnDisk(Document* document);
int Document_fileExists(Document* document);
char* Document_getFilename(Document* document);
void Document_setFilename(Document* document, const char* path);
void Document_keepFileTime(Document* document);
void Document_stopRun(Document* document);
// The device values are entered into: the one being loaded, else the
// document's own; null without a document.
Device* Document_valueDevice(Document* document);

// ---- device file ---------------------------------------------------------
// Reads a device file into a new device and installs it: 1 on success; every
// refusal prints one message to the output console.
int Device_load(Document* document, const char* path);
// Writes the document's device: 1 when the whole file was written; 0 with
// the old file untouched and the reason in the document's saveError.
int Device_save(Document* document, const char* path);
// The text Device_save writes; false without a device.
bool Device_text(Document* document, std::string* text);
// The file line at which reading the document's file stopped with lines
// after it, which saving to path would not write (they are lost once the
// file is written over); 0 when the file was read whole or saved since.
// The caller asks before saving.
int Document_saveDropsLines(Document* document, const char* path);
// The number of lines of the file read that the editor skipped and a save
// would not write (0 when none, or once saved); the first of them in
// *line and *text when given. The caller asks before saving.
int Document_saveDropsSkipped(Document* document, int* line, std::string* text);
// Hands the voltage or light source file named by the device to the
// application record ("Light.Source": the light's, else the voltage's).
int Device_getSourceFile(Document* document, const char* key);
// The reverse: the application record's voltage or light file becomes the
// source of "Voltage.Source" or "Light.Source" (any case; other keys 0).
// 1 when a data file is now the source, 0 when the stored value names none,
// else the value entry's own refusal.
int Device_setSourceFile(Document* document, const char* key);
