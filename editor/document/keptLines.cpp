#include "keptLines.h"

#include <cstring>
#include <strings.h>

#include "kovbase.h"

int KeptLines_set(KeptLines* kept, const char* key, const char* value, const char* comment)
{
    int slot = 0;
    while (slot < kept->count && std::strcmp(kept->lines[slot].key, key) != 0) {
        ++slot;
    }
    if (slot == KEPT_LINES_MAX) {
        return 0;
    }
    if (slot == kept->count) {
        ++kept->count;
    }
    KeptLine& line = kept->lines[slot];
    kov_copyA(line.key, sizeof line.key, key);
    kov_copyA(line.value, sizeof line.value, value);
    kov_copyA(line.comment, sizeof line.comment, comment != nullptr ? comment : "");
    return 1;
}

const char* KeptKeys_find(const char* const* table, const char* key)
{
    for (int i = 0; table[i] != nullptr; ++i) {
        if (strcasecmp(table[i], key) == 0) {
            return table[i];
        }
    }
    return nullptr;
}
