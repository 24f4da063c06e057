// Folders of a run: where the device file lies (its Lua modules and, with
// Command.OutDir ".", its results) and the output folder with its log.
#pragma once

#include <string>

class nuSigma;
class nuParam;

// The folder of the device file with its trailing separator ('/' or '\'),
// empty for a bare file name or a path of fewer than 2 or more than 1021
// characters.
std::wstring ek_inputFolder(const wchar_t* input);

// The output folder of the run from the settings' output folder: "." the
// device file's folder (or the current one), an existing folder as it is,
// anything else a folder made beside the device file. folder receives it
// with a trailing separator, log the log file inside it. False (with a
// level-1 line) when the folder cannot be made.
bool ek_outputFolder(const wchar_t* input, const std::wstring& inputFolder, nuParam* param,
                     nuSigma* sigma, std::wstring* folder, std::wstring* log);

// Locks the output folder for this run, so that a second run into the same
// folder is refused instead of mixing its files with this one's. Returns
// the lock's descriptor (held until ek_unlockOutputFolder), or -1 with a
// level-1 line naming the folder.
int ek_lockOutputFolder(const std::wstring& folder, nuSigma* sigma);
void ek_unlockOutputFolder(int& lock);
