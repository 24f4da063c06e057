// The settings' list of recently used device files: most recent first,
// without gaps, each entry a path of at most 1023 bytes.
#pragma once

#include <functional>

constexpr int RECENT_FILES_COUNT = 12;
constexpr int RECENT_FILE_PATH_SIZE = 1024;

using RecentFileList = char[RECENT_FILES_COUNT][RECENT_FILE_PATH_SIZE];
using RecentFileExists = std::function<bool(const char* path)>;

// Puts an existing file at the front. A path already in the list moves to
// the front; otherwise the entries up to the first empty or vanished one
// (or all twelve) move down one place, dropping that one. A file that does
// not exist changes nothing.
void RecentFiles_add(RecentFileList& list, const char* path, const RecentFileExists& exists);

// Keeps the entries that name existing files, in their order, at the front
// and clears the rest; returns how many stayed.
int RecentFiles_prune(RecentFileList& list, const RecentFileExists& exists);
