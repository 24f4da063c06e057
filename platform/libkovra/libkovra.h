// libkovra: the helpers the GUI programs share that need no windowing
// system: settings files, the device-file header, text and colour helpers
// and the runner's process calls. The windowing helpers (message boxes,
// images, text-view preferences) are in kovragui.h.
#pragma once

#include <sys/types.h>

#include <cstddef>

#include "kovraVersion.h"

// The version the GUI programs show and write into device-file headers:
// the suite's one version.
#define KOVRA_GUI_VERSION KOVRA_VERSION
#define KOVRA_GUI_BUILD KOVRA_BUILD
#define KOVRA_GUI_PLATFORM "Linux"

// ---- settings files -------------------------------------------------------
// A settings file is a plain UTF-8 text file of sections:
//
//   [Common]
//   DefaultMaterial="Si"
//   WindowMainWidth=1024
//
// Lines starting with ';' or '#' are comments. A value written as quoted
// text keeps its blanks; a plain value is trimmed. Saving writes a temporary
// file beside the target and renames it over the old one, so a crash never
// leaves half a settings file.

// One key of a schema section: kind 1 for a quoted text value, 0 for a
// plain value (as Config_setValue takes it). A key list ends at a NULL name.
struct ConfigKey {
    const char* name;
    int kind;
};

// One schema section: an id chosen by the program (a section number or a
// style slot), the section's name and its key list. A schema ends at the
// first record whose name is NULL.
struct ConfigSection {
    int id;
    const char* name;
    const ConfigKey* keys;
};

struct Config;

Config* Config_create();
void Config_destroy(Config** config);

// Reads the file into the configuration (replacing what it held). Every
// section and key of the file is kept, also those the schema does not list
// (the schema may be NULL). Nonzero when the file was read; the caller then
// checks Config_sectionCount.
int Config_load(const ConfigSection* schema, Config* config, const char* fileName);
int Config_sectionCount(const Config* config);

// Copies the value of section/key into value (size bytes, cut on a UTF-8
// character boundary, always terminated); nonzero when the key is present.
// A size of 0 stands for the smallest buffer the programs pass, 256 bytes:
// pass sizeof(buffer) for anything larger.
int Config_getValue(const Config* config, const char* section, const char* key, char* value,
                    size_t size);

// Empties the configuration before a program writes its values afresh.
void Config_removeAll(Config* config);

// The number of section and key name lookups the configuration has made
// since it was created: reading, getting and setting take one or two per
// line or call, however many sections the file holds (tests and benchmarks
// watch it to keep reading linear).
size_t Config_nameLookups(const Config* config);

// The number of keys of the schema's section at sectionIndex (0-based), or
// the number the configuration holds under that section's name when that is
// larger; 0 for an index beyond the schema.
int Config_sectionRecordCount(const ConfigSection* schema, const Config* config, int sectionIndex);

// Adds an empty section (keyCount is a size hint). Nonzero on success; 0 for
// a missing configuration or a name that cannot stand between brackets on
// one line. Adding a section that exists already succeeds and keeps it.
int Config_addSection(Config* config, const char* name, int keyCount);

// Sets section/key to the first length bytes of text (0: the whole text),
// quoted (kind 1) or plain (kind 0). A section not added yet is added. Line
// breaks inside the value become blanks (a value lives on one line).
// Nonzero on success; 0 for a key that cannot be written as "key=".
int Config_setValue(Config* config, const char* section, const char* key, const char* text,
                    size_t length, int quoted);

// Writes the configuration to fileName; when that fails (no name, folder
// missing or not writable) to alternativeFileName, whose folder is created
// when missing. 1: written to fileName, 2: written to the alternative,
// 0: not written (the old files are untouched).
int Config_save(const Config* config, const char* fileName, const char* alternativeFileName);

// ---- device files -------------------------------------------------------
// The standard header of a device file the editor writes: the mandatory
// first line "# Kovra <SL>", the note that follows it, the version line
// ("# Kovra Version 3.0 Build 2412 Linux", as in the engine's result files)
// and the save time, each ending with '\n'. Returns the length written (cut to
// size-1 bytes; the header is about 110 bytes, so 256 always suffice).
size_t getKovraFileHeader(char* buffer, size_t size = 256);

// ---- text ---------------------------------------------------------------
// Copies at most n bytes of text into buffer (which holds n+1) as text the
// views can show: valid UTF-8 passes unchanged, every byte of an invalid or
// cut sequence becomes '?', and NUL bytes end the text. Terminates the
// buffer and returns the length written. (The original converted to the
// Windows code page; the views here are UTF-8.)
size_t normalizeStringToAnsi(const char* text, char* buffer, size_t n);

// ---- colours (0xBBGGRR) -------------------------------------------------
// Each channel shifted by its amount and held in 0..255.
long normalizeColor(long color, int red, int green, int blue);
// The colour moved toward a grey of the given level (0..255): the grey of
// its own lightness mixed halfway with the level, so text drawn in it reads
// as inactive on light and dark backgrounds alike.
long grayifyColor(long color, int level);

// ---- the runner's process calls -------------------------------------------
// Starts the command line (split into arguments, double quotes grouping
// words; never through a shell) in workingFolder. With *pipeMode 1 the
// child's standard output and error come through one pipe: *pipeHandle gets
// its read end (non-blocking, close-on-exec; the caller closes it), and
// *pipeMode stays 1; otherwise they stay the caller's and *pipeMode becomes 0.
// *processHandle and *processId get the process id (there is no separate
// handle to close here); tempPath (1024 bytes) is emptied: no temporary
// file is needed. The three reserved arguments and programName are unused.
// Returns 1 when started, -1 when not (handles -1).
int startProcess(const char* commandLine, int* pipeMode, int* processHandle, int* pipeHandle,
                 void* reserved1, void* reserved2, void* reserved3, const char* workingFolder,
                 const char* programName, char* tempPath, int* processId);
// 1 while the process runs; 0 once ended, with its exit status (128 + the
// signal when a signal ended it) in *exitStatus when given. Asking again
// after the end gives the same status.
int isProcessRunning(int processId, int* exitStatus);
// Stops the process and the processes it started (its process group):
// SIGTERM, SIGKILL after one second. A process that has already ended and
// been collected gets no signal. 1 when it is gone.
int killProcess(int processId);
