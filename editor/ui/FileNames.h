// File-name rules of the editor's commands. Paths use '/'; a '\' that a file
// written elsewhere may carry is read as a separator too. Every rule looks at
// the file name's own part, never at dots or separators inside folder names.
#pragma once

#include <initializer_list>
#include <string>

// The folder part with its trailing separator; empty for a bare name.
std::string FileNames_folder(const std::string& path);
// The part after the last separator.
std::string FileNames_fileName(const std::string& path);
// The file name without its last extension ("cell.old.kovra" -> "cell.old").
std::string FileNames_stem(const std::string& path);
// True when the file name itself ends in ".kovra" (any case).
bool FileNames_hasKovraExtension(const std::string& path);
// True when the path ends in one of the endings given (exact case).
bool FileNames_endsWithAny(const std::string& path, std::initializer_list<const char*> endings);
// The kinds of file a record may name: a Lua model (".lua"), a voltage
// source (".txt", ".dat", ".voltage") or a light spectrum (".txt", ".dat",
// ".light").
bool FileNames_namesLua(const std::string& path);
bool FileNames_namesVoltageFile(const std::string& path);
bool FileNames_namesLightFile(const std::string& path);

// The name a Save dialog's choice is written to: ".kovra" is appended when
// the file name has no '.' before its last character or is at most four
// characters long.
std::string FileNames_saveName(const std::string& chosen);

// A folder named in the device file as the engine's driver, started in the
// device file's folder, finds it: an absolute folder as it is, "." the
// device file's folder, any other relative one below that folder. Without
// a device folder the name stays as it is.
std::string FileNames_folderBesideDocument(const std::string& folder,
                                           const std::string& documentFile);

// Where the engine writes the results of a device file: the Command.OutDir
// folder when it exists, else a folder named after the device file beside
// it (the same rule the engine follows), else "automatically set".
std::string FileNames_outputFolderText(const std::string& outDir, bool outDirExists,
                                       const std::string& documentFile, bool documentExists);

// The command line that starts a sibling program of the binaries folder: the
// whole path in double quotes. Empty when it would not fit in size bytes
// (with its terminator) or without a folder.
std::string FileNames_toolCommand(const std::string& binDir, const std::string& program,
                                  size_t size = 1024);
