// kovbase: the common services of the suite (memory, files, folders, text,
// console). Names ending in W take wide text, names ending in A 8-bit UTF-8.
// Paths on disk are UTF-8; inside the engine they travel as wchar_t.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "kovText.h"

// ---- memory -------------------------------------------------------------
// Blocks come from kov_MemoryAlloc and go back through kov_MemoryFree, which
// takes the address of the pointer and clears it. A zero-byte request still
// gives a block: null always means out of memory.
void* kov_MemoryAlloc(size_t bytes);
void* kov_MemoryRealloc(void* block, size_t bytes);
void kov_MemoryFree(void** block);
// The pool of a program: created first at start with the program's name,
// destroyed last at every exit. Blocks are counted between the two so that
// a program can tell what it failed to give back.
int kov_MemoryCreate(const char* programName);
void kov_MemoryDestroy();
long long kov_MemoryLiveBlocks();

template <typename T>
inline void kov_MemoryFreeT(T** block)
{
    void* p = *block;
    kov_MemoryFree(&p);
    *block = nullptr;
}

// ---- text conversion ----------------------------------------------------
// The one UTF-8 <-> wchar_t conversion of the suite. Invalid UTF-8 bytes
// become U+FFFD; wide characters outside Unicode are written as U+FFFD.
std::wstring kov_toWide(const char* utf8);
std::wstring kov_toWide(const std::string& utf8);
std::string kov_toUtf8(const wchar_t* wide);
std::string kov_toUtf8(const std::wstring& wide);

// Bounded copies: at most size-1 characters, always terminated; return the
// length written. A null source gives an empty text.
size_t kov_copyW(wchar_t* dst, size_t size, const wchar_t* src);
size_t kov_copyA(char* dst, size_t size, const char* src);
// Converting copies into fixed buffers (cut at the buffer's size, never
// inside a UTF-8 sequence).
size_t kov_wideToUtf8(char* dst, size_t size, const wchar_t* src);
size_t kov_utf8ToWide(wchar_t* dst, size_t size, const char* src);

// Locale-independent number reading: C syntax ("1.5e-3", "-2", "inf"),
// whatever LC_NUMERIC says. end receives the first unread character.
double kov_strtod(const char* text, char** end);
double kov_wcstod(const wchar_t* text, wchar_t** end);

// The prefix's length when text begins with prefix, else 0; flags 1 ignores
// letter case (0: exact).
size_t kov_startwith(const char* text, const char* prefix, int flags);
// Nonzero when text ends with suffix; flags as kov_startwith.
int kov_endwith(const char* text, const char* suffix, int flags);
// Removes blanks, tabs and line ends at both ends in place; the new length.
size_t kov_trim(char* text);
// The form of every real the GUI programs show or write: digits significant
// digits as "%g" gives them, always with a '.', written into buffer (width
// characters and the terminator). Returns the length written; 0 (buffer
// empty) when the number does not fit, since a cut number reads back as
// another value.
int kov_reformatAuto(double value, char* buffer, int width, int digits);

// ---- files --------------------------------------------------------------
// Modes as fopen ("r", "rb", "w", "a+"); the path is converted to UTF-8 and
// a '\' separator written elsewhere is read as '/'.
FILE* kov_FileOpenW(const wchar_t* path, const char* mode);
FILE* kov_FileOpenA(const char* path, const char* mode);
inline FILE* kov_FileOpen(const char* path, const char* mode) { return kov_FileOpenA(path, mode); }
void kov_FileClose(FILE** stream);

// Reads one line of a UTF-8 stream into wide text (line end and a leading
// byte-order mark stripped). False at end of file. A line longer than
// size-1 characters is cut and the rest of it skipped; *cut tells.
bool kov_FileReadLineW(FILE* stream, wchar_t* line, size_t size, bool* cut = nullptr);
// The same for 8-bit UTF-8 text: the bytes as they stand in the file; a
// line longer than size-1 bytes is cut and the rest of it skipped.
bool kov_FileReadLineA(FILE* stream, char* line, size_t size, bool* cut = nullptr);
// Writes wide text as UTF-8.
bool kov_FileWriteW(FILE* stream, const wchar_t* text);

int kov_fileExistsW(const wchar_t* path);  // 1 when a regular file exists, else 0
int kov_fileExistsA(const char* path);
// 1 when both paths name one existing file (the same device and inode, so
// also through a link), else 0.
int kov_sameFileA(const char* a, const char* b);
int kov_dirExistsW(const wchar_t* path);  // 1 when a folder exists, else 0
int kov_dirExistsA(const char* path);
// What stands at a path that is no regular file, as a phrase for a message
// ("a folder", "a FIFO", "a device", "a socket"); null when nothing is there
// or when it is a regular file. Readers and writers ask it before they open
// a path: a FIFO would block them until another program opens its other end.
const wchar_t* kov_otherFileKindW(const wchar_t* path);
const char* kov_otherFileKindA(const char* path);
// The same phrase for a file mode as stat() or fstat() gives it (st_mode),
// for a file already opened; null for a regular file.
const char* kov_otherFileKindOfMode(unsigned mode);

// Current folder with a trailing separator; nonzero on success.
int kov_getCurrentDir(char* buffer, size_t size = 1024);
// The running program's folder with a trailing separator (KOVRA_APPDIR in
// the environment overrides it, for tests); nonzero on success.
int kov_getAppDirA(char* buffer, size_t size = 1024);
int kov_getAppDirW(wchar_t* buffer, size_t size = 1024);

// Makes an existing folder (or file) / an existing file readable and writable
// by its owner (folders also searchable); nonzero on success.
int kov_dirReadWrite(const char* path);
int kov_fileReadWriteW(const wchar_t* path);

long long kov_getFileSizeW(const wchar_t* path);  // -1 when missing

// Times of a file, in nanoseconds since the epoch.
struct kov_FileTimes {
    long long modified;
    long long accessed;
    long long changed;  // of the file's status (rename, permissions)
};
// 1 with times filled when the file exists; the two reserved arguments are
// not used (pass 0).
int kov_getFileTimes(const char* path, int reserved1, kov_FileTimes* times, int reserved2);
// Above 0 when a was modified later than b, below 0 when earlier, else 0.
int kov_compareFileTimes(const kov_FileTimes* a, const kov_FileTimes* b);
// The file-name part of a path (after the last '/' or '\'), pointing into
// path; NULL when the path has none (empty, or ending in a separator).
const char* kov_getShortFilename(const char* path);
// Nonzero on success; a failed copy leaves no half-written target, and a
// file copied onto itself is left as it is (success).
int kov_copyFileW(const wchar_t* source, const wchar_t* target);
// Appends the bytes of the regular file source to an open stream; nonzero
// when every byte was read and handed to the stream (the caller closes it
// and so learns whether they reached the disk).
int kov_copyIntoW(const wchar_t* source, FILE* out);
int kov_removeFileW(const wchar_t* path);  // nonzero when removed

// Replaces the whole content of path by length bytes of text, so that the
// file is either the old one or the whole new one whatever happens (a
// kill, a full disk): the text goes to a temporary file in the same folder,
// is flushed to the disk and renamed over the old file. The file keeps its
// permissions (and its owner where allowed); a linked file stays a link. A
// file that is not regular or is read-only (no write permission in its
// mode, or none for this program) is refused. 1 when written; 0 when not,
// with the old file untouched, no temporary left behind and the reason in
// words in reason (reasonSize bytes, may be null).
int kov_replaceFileA(const char* path, const char* text, size_t length, char* reason = nullptr,
                     size_t reasonSize = 0);
// Removes the temporaries an earlier replacement of path left when its
// program was killed at that moment (older than a minute); the number
// removed. kov_replaceFileA calls it first.
int kov_removeStaleTemporariesA(const char* path);

// Normalises separators: every '\' becomes '/'.
void kov_normalizeSeparatorsW(wchar_t* path);
void kov_normalizeSeparatorsA(char* path);

// ---- console ------------------------------------------------------------
// printf-style wide formatting written to standard output as UTF-8, flushed.
// Formats under a fixed "C.UTF-8" locale: numbers always take a '.', "%s"
// arguments are UTF-8, wide texts go with "%ls". Returns the characters
// written, -1 on a bad format or argument.
int kov_wprintf(const wchar_t* format, ...);
// Writes wide text to standard output as UTF-8 and flushes.
void kov_putsW(const wchar_t* text);
// printf to standard output, flushed, under the same fixed locale ("%g"
// writes a '.'). Returns the bytes written, -1 on a bad format.
int kov_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Milliseconds of a monotonic clock.
double kov_clockMs();

// ---- pointer sets -------------------------------------------------------
// A set of distinct non-null pointers, for telling a live object from a
// stale or forged handle: find answers the entered pointer equal to a value,
// and null for any value never entered (or removed since).
struct kov_hash_table;
// bucketHint sizes the table for that many entries (it grows beyond them).
kov_hash_table* kov_hash_table_create(size_t bucketHint);
// 1 when entered, 0 for a null table or pointer or one already entered.
int kov_hash_table_add_pointer(kov_hash_table* table, void* pointer);
void* kov_hash_table_find_pointer(const kov_hash_table* table, const void* value);
// Removes the pointer without destroying what it points to; flags is
// reserved (pass 0). 1 when it was entered, else 0.
int kov_hash_table_remove_pointer(kov_hash_table* table, const void* pointer, int flags);
size_t kov_hash_table_count(const kov_hash_table* table);
// Calls destructor (when not null) once for every entry, then frees the
// table. The destructor must not use the table.
void kov_hash_table_destroy(kov_hash_table* table, void (*destructor)(void*));
