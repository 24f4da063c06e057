// Key lines of a device-file section that the engine reads but the
// editor's records do not hold: kept as written (key, value text, comment)
// and written back, so that opening and saving a file loses none of them.
#pragma once

#include <cstddef>

#include "deviceFile.h"

constexpr int KEPT_LINES_MAX = 16;
constexpr size_t KEPT_KEY_SIZE = 64;
constexpr size_t KEPT_VALUE_SIZE = 904;                  // a quoted text value and its quotes
constexpr size_t KEPT_COMMENT_SIZE = DEVICE_LINE_BYTES;  // the whole comment

struct KeptLine {
    char key[KEPT_KEY_SIZE];
    char value[KEPT_VALUE_SIZE];
    char comment[KEPT_COMMENT_SIZE];
};

struct KeptLines {
    int count;
    KeptLine lines[KEPT_LINES_MAX];
};

// Stores or replaces the line of a key; 0 when the list is full.
int KeptLines_set(KeptLines* kept, const char* key, const char* value, const char* comment);
// The key as a kept-keys table spells it, or null when it is not in it
// (compared without regard to case, as the engine compares keys).
const char* KeptKeys_find(const char* const* table, const char* key);
