// Limits the device-file reader and writer share.
#pragma once

#include <cstddef>
#include <cstdio>

struct ParamRecord;
struct KeptLines;

// The longest line the engine's reader takes (characters, line end not
// counted). The editor reads whole lines up to it and never writes longer.
constexpr size_t DEVICE_LINE_MAX = 1021;
// Bytes of a line buffer: every character may take four UTF-8 bytes, and
// one more byte tells a longer line apart.
constexpr size_t DEVICE_LINE_BYTES = DEVICE_LINE_MAX * 4 + 2;

// Writes one record list (and the kept lines of its section, may be null),
// then one empty line. 0 when the file or list is missing or the count is
// outside 1..128.
int Params_write(FILE* stream, ParamRecord* const* records, int count, const KeptLines* kept = nullptr);
