#include "RecentFiles.h"

#include <cstring>

#include "kovbase.h"

namespace {

void copyPath(char* target, const char* source)
{
    kov_copyA(target, RECENT_FILE_PATH_SIZE, source);
}

// Entries 0..last-1 move one place down (onto 1..last), dropping entry last.
void shiftDown(RecentFileList& list, int last)
{
    for (int i = last; i > 0; --i) {
        std::memcpy(list[i], list[i - 1], RECENT_FILE_PATH_SIZE);
    }
}

}  // namespace

void RecentFiles_add(RecentFileList& list, const char* path, const RecentFileExists& exists)
{
    if (path == nullptr || *path == '\0' || !exists(path)) {
        return;
    }
    char entry[RECENT_FILE_PATH_SIZE];
    copyPath(entry, path);
    for (int i = 0; i < RECENT_FILES_COUNT; ++i) {
        if (std::strcmp(list[i], entry) == 0) {
            if (i > 0) {
                shiftDown(list, i);
                copyPath(list[0], entry);
            }
            return;
        }
    }
    int stop = RECENT_FILES_COUNT - 1;
    for (int i = 0; i < RECENT_FILES_COUNT; ++i) {
        if (list[i][0] == '\0' || !exists(list[i])) {
            stop = i;
            break;
        }
    }
    shiftDown(list, stop);
    copyPath(list[0], entry);
}

int RecentFiles_prune(RecentFileList& list, const RecentFileExists& exists)
{
    int kept = 0;
    for (int i = 0; i < RECENT_FILES_COUNT; ++i) {
        if (list[i][0] != '\0' && exists(list[i])) {
            if (kept != i) {
                std::memcpy(list[kept], list[i], RECENT_FILE_PATH_SIZE);
            }
            ++kept;
        }
    }
    for (int i = kept; i < RECENT_FILES_COUNT; ++i) {
        std::memset(list[i], 0, RECENT_FILE_PATH_SIZE);
    }
    return kept;
}
