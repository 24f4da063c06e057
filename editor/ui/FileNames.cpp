#include "FileNames.h"

#include <strings.h>

namespace {

size_t lastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

}  // namespace

std::string FileNames_folder(const std::string& path)
{
    size_t cut = lastSeparator(path);
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string FileNames_fileName(const std::string& path)
{
    size_t cut = lastSeparator(path);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FileNames_stem(const std::string& path)
{
    std::string name = FileNames_fileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool FileNames_hasKovraExtension(const std::string& path)
{
    std::string name = FileNames_fileName(path);
    static const std::string ending = ".kovra";
    return name.size() > ending.size() &&
           strcasecmp(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0;
}

bool FileNames_endsWithAny(const std::string& path, std::initializer_list<const char*> endings)
{
    for (const char* ending : endings) {
        std::string e(ending);
        if (path.size() >= e.size() && path.compare(path.size() - e.size(), e.size(), e) == 0) {
            return true;
        }
    }
    return false;
}

bool FileNames_namesLua(const std::string& path) { return FileNames_endsWithAny(path, {".lua"}); }

bool FileNames_namesVoltageFile(const std::string& path)
{
    return FileNames_endsWithAny(path, {".txt", ".dat", ".voltage"});
}

bool FileNames_namesLightFile(const std::string& path)
{
    return FileNames_endsWithAny(path, {".txt", ".dat", ".light"});
}

std::string FileNames_saveName(const std::string& chosen)
{
    std::string name = FileNames_fileName(chosen);
    size_t dot = name.find('.');
    bool dotBeforeLast = dot != std::string::npos && dot + 1 < name.size();
    if (!dotBeforeLast || name.size() <= 4) {
        return chosen + ".kovra";
    }
    return chosen;
}

std::string FileNames_folderBesideDocument(const std::string& folder,
                                           const std::string& documentFile)
{
    const std::string base = FileNames_folder(documentFile);
    if (folder.empty() || base.empty() || folder[0] == '/' || folder[0] == '\\') {
        return folder;
    }
    if (folder == "." || folder == "./" || folder == ".\\") {
        return base;
    }
    const bool dotted =
        folder.size() > 2 && folder[0] == '.' && (folder[1] == '/' || folder[1] == '\\');
    return base + (dotted ? folder.substr(2) : folder);
}

std::string FileNames_outputFolderText(const std::string& outDir, bool outDirExists,
                                       const std::string& documentFile, bool documentExists)
{
    std::string text = "Output Directory: ";
    if (!outDir.empty() && outDirExists) {
        return text + outDir;
    }
    std::string folder = FileNames_folder(documentFile);
    if (documentExists && !folder.empty()) {
        return text + folder + FileNames_stem(documentFile) + "_out";
    }
    return text + "automatically set";
}

std::string FileNames_toolCommand(const std::string& binDir, const std::string& program,
                                  size_t size)
{
    if (binDir.empty() || program.empty()) {
        return {};
    }
    std::string command = "\"" + binDir + program + "\"";
    return command.size() + 1 > size ? std::string() : command;
}
