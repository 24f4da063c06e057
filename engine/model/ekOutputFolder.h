// The rule for the name of a run's output folder, shared by the device-file
// reader (which makes a missing folder) and the run (which locks and fills
// it): a folder the rule refuses is neither made nor given any file.
#pragma once

#include <string>

namespace ekOutputFolder {

// Characters of a folder name as written.
constexpr size_t LENGTH_MIN = 3, LENGTH_MAX = 990;

// Whether folder may hold a run's files: 3 to 990 characters, and not the
// root of the file system however written ("/", "//", "/./").
bool isValidName(const std::wstring& folder);

}  // namespace ekOutputFolder
