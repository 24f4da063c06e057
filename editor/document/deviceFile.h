// Limits the device-file reader and writer share.
#pragma once

#include <cstddef>
#include <cstdio>

struct ParamRecord;
struct KeptLines;
struct Notes;

// The longest line the engine's reader takes (characters, line end not
// counted). The editor reads whole lines up to it and never writes longer.
constexpr size_t DEVICE_LINE_MAX = 1021;
// The longest comment: a comment line holds its mark and the comment.
constexpr size_t DEVICE_COMMENT_MAX = DEVICE_LINE_MAX - 1;
// Bytes of a line buffer: every character may take four UTF-8 bytes, and
// one more byte tells a longer line apart.
constexpr size_t DEVICE_LINE_BYTES = DEVICE_LINE_MAX * 4 + 2;

// Characters of a UTF-8 text (continuation bytes not counted), as the
// engine counts the characters of a line.
size_t DeviceFile_characters(const char* text);
// Cuts a UTF-8 text after its first max characters (never inside one).
void DeviceFile_cutCharacters(char* text, size_t max);

// Writes one record list (and the kept lines of its section, may be null,
// and the comment lines kept in notes for place, may be null), then one
// empty line. 0 when the file or list is missing or the count is outside
// 1..128.
int Params_write(FILE* stream, ParamRecord* const* records, int count,
                 const KeptLines* kept = nullptr, Notes* notes = nullptr,
                 const char* place = nullptr);
