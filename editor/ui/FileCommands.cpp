// The File menu: open and save a device file, new documents from the
// default input or a template, reload, the default input file, recent
// files and opening the file in the text editor. Every way of replacing the
// document asks first when it is modified, and a "No" changes nothing.
#include <cerrno>
#include <cstdio>
#include <strings.h>
#include <cstring>
#include <string>

#include "App.h"
#include "Dialogs.h"
#include "EditorLaunch.h"
#include "FileNames.h"
#include "Output.h"
#include "RecentFiles.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "kovbase.h"
#include "kovragui.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

constexpr long long MAX_FILE_SIZE = 0x800000;
constexpr const char* KOVRA_FILE_FILTER = "Kovra simulator files|*.kovra||";

bool runLive(Document* document) { return WindowMain_isRunLive(document); }

// The guard in front of every command that replaces or reopens the document:
// refused while a simulation runs, asked when the document is modified.
bool guard(const char* refusal)
{
    kovraShowInfo("", 0, 9);
    Document* document = App_getDocument();
    if (document == nullptr) {
        return true;
    }
    if (runLive(document)) {
        kovraShowInfo(refusal, 0, 1);
        return false;
    }
    if (Document_isModified(document)) {
        return kovraAskQuestion("Device modified. Proceed anyway?", "KovraDevice", 4,
                                KOV_WindowMain) == 3;
    }
    return true;
}

std::string existingFolderOf(const char* path)
{
    if (path != nullptr && path[0] != '\0' && kov_fileExistsA(path) == 1) {
        return FileNames_folder(path);
    }
    return {};
}

// Shows a file chooser; empty when cancelled.
std::string chooseFile(const char* type, const char* title, const std::string& folder)
{
    Ihandle* chooser = IupFileDlg();
    IupSetAttribute(chooser, "PARENTDIALOG", KOV_WindowMain);
    IupSetAttribute(chooser, "DIALOGTYPE", type);
    IupSetAttribute(chooser, "TITLE", title);
    IupSetAttribute(chooser, "EXTFILTER", KOVRA_FILE_FILTER);
    if (!folder.empty()) {
        IupSetStrAttribute(chooser, "DIRECTORY", folder.c_str());
    }
    IupPopup(chooser, IUP_CENTERPARENT, IUP_CENTERPARENT);
    std::string chosen;
    if (IupGetInt(chooser, "STATUS") != -1 && IupGetAttribute(chooser, "VALUE") != nullptr) {
        chosen = IupGetAttribute(chooser, "VALUE");
    }
    IupDestroy(chooser);
    return chosen;
}

std::string recentFolder()
{
    Settings* settings = App_getSettings();
    return settings ? existingFolderOf(settings->FileRecent[0]) : std::string();
}

struct FileOpening {
    FileOpening() { IupSetInt(nullptr, KOV_WindowMainFileOpening, 1); }
    ~FileOpening() { IupSetInt(nullptr, KOV_WindowMainFileOpening, 0); }
};

void showInfof(const char* format, const char* value)
{
    std::string text(std::strlen(format) + std::strlen(value) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
    kovraShowInfo(text.c_str(), 0, 0);
}

// Save, Save As and the save before a run or a model file differ only in
// how the target is chosen.
enum class SaveTarget { GivenPath, DocumentFile, AskAlways };

int save(Document* document, const char* path, SaveTarget how)
{
    if (document == nullptr) {
        kovraShowMessage("Cannot save file: empty document", "KovraDevice", 2, KOV_WindowMain);
        return 0;
    }
    Device_setCommandParam(document->device, "Command.Plot", "No", nullptr, nullptr, 0);
    if (!WindowMain_applyFields(1, 1)) {
        // Nothing is written while a field holds a value refused: the user
        // is told which one and why.
        const std::string field = WindowMain_refusedField();
        const std::string text =
            "Not saved: " +
            (field.empty() ? std::string("a field holds a refused value") : "the field " + field);
        kovraShowInfo(text.c_str(), 0, 1);
        Output_printColored(("[ERROR]   " + text + "\n").c_str());
        return 0;
    }
    if (Document_isChangedOnDisk(document) &&
        kovraAskQuestion("Document modified outside KovraDevice. Save it anyway?", "KovraDevice", 4,
                         KOV_WindowMain) != 3) {
        return 0;
    }
    std::string target;
    if (how == SaveTarget::GivenPath && path != nullptr && kov_fileExistsA(path) == 1) {
        target = path;
    } else if (how == SaveTarget::DocumentFile && Document_fileExists(document)) {
        target = document->filename;
    } else if (how == SaveTarget::GivenPath && Document_fileExists(document)) {
        target = document->filename;
    }
    if (target.empty()) {
        target = chooseFile("SAVE", "Save file", recentFolder());
        if (target.empty()) {
            return 0;
        }
        target = FileNames_saveName(target);
    }
    // A file read only in part loses its rest when written back: asked.
    if (const int line = Document_saveDropsLines(document, target.c_str())) {
        std::string question = "'";
        question +=
            FileNames_fileName(target) + "' was read only up to line " + std::to_string(line) +
            " (" + document->readEndReason +
            "). Saving writes what was read, and the rest of the file is lost. Save anyway?";
        if (kovraAskQuestion(question.c_str(), "KovraDevice", 4, KOV_WindowMain) != 3) {
            return 0;
        }
    }
    // Lines the editor skipped when reading are not written: asked.
    int skippedLine = 0;
    std::string skippedText;
    if (const int skipped = Document_saveDropsSkipped(document, &skippedLine, &skippedText)) {
        const std::string question =
            "Saving writes '" + FileNames_fileName(target) + "' without " +
            (skipped == 1 ? std::string("the line") : std::to_string(skipped) + " lines") + " of " +
            (document->filename[0] != '\0' ? "'" + FileNames_fileName(document->filename) + "'"
                                           : std::string("the file read")) +
            " that the editor does not know (" + (skipped == 1 ? "" : "the first: ") + "line " +
            std::to_string(skippedLine) + ", " + skippedText +
            "; see the output). They are lost. Save anyway?";
        if (kovraAskQuestion(question.c_str(), "KovraDevice", 4, KOV_WindowMain) != 3) {
            return 0;
        }
    }
    showInfof("Saving '%s'...", FileNames_fileName(target).c_str());
    if (Device_save(document, target.c_str()) != 1) {
        std::string text =
            "Cannot save file '" + target + "': " +
            (document->saveError[0] != '\0' ? std::string(document->saveError)
                                            : std::string("the file could not be written"));
        kovraShowInfo(text.c_str(), 0, 1);
        kovraShowMessage(text.c_str(), "KovraDevice", 2, KOV_WindowMain);
        return 0;
    }
    Document_setFilename(document, target.c_str());
    Settings_addRecentFile(document->filename);
    Document_keepFileTime(document);
    showInfof("'%s' saved", document->filename);
    Document_setModified(document, 0);
    return 1;
}

}  // namespace

int Document_canClose(const char* refusal, const char* question, const char* title)
{
    Document* document = App_getDocument();
    if (document == nullptr) {
        return 1;
    }
    if (runLive(document)) {
        kovraShowInfo(refusal, 0, 1);
        return 0;
    }
    if (!Document_isModified(document)) {
        return 1;
    }
    return kovraAskQuestion(question, title, 4, KOV_WindowMain) == 3 ? 1 : 0;
}

int Document_open(const char* path, int ask, int userFile)
{
    kovraShowInfo("", 0, 9);
    if (ask == 1 && !guard("Cannot open document while simulation is running...")) {
        return 0;
    }
    FileOpening opening;
    Document* document = App_getDocument();
    if (document == nullptr) {
        return 0;
    }
    std::string file;
    if (path != nullptr) {
        file = path;
    } else {
        std::string folder = existingFolderOf(document->filename);
        file = chooseFile("OPEN", "Open file", folder.empty() ? recentFolder() : folder);
        if (file.empty()) {
            return 0;
        }
    }
    if (kov_fileExistsA(file.c_str()) != 1) {
        std::string text = "Cannot load file '" + file + "': no such file";
        kovraShowInfo(text.c_str(), 0, 1);
        return 0;
    }
    long long size = kov_getFileSizeW(kov_toWide(file).c_str());
    if (size < 0) {
        std::string text = "Cannot load file '" + file + "': size unreadable";
        kovraShowInfo(text.c_str(), 0, 1);
        return 0;
    }
    if (size > MAX_FILE_SIZE) {
        kovraShowMessage("Cannot load file: invalid size (max: 8 MB)", "KovraDevice", 2,
                         KOV_WindowMain);
        return 0;
    }
    if (FILE* probe = std::fopen(file.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        std::string text = "Cannot load file '" + file + "': " + std::strerror(errno);
        kovraShowInfo(text.c_str(), 0, 1);
        return 0;
    }
    if (userFile == 0) {
        document->filename[0] = '\0';
    }
    if (Device_load(document, file.c_str()) != 1) {
        WindowMain_updateSaveButton(document);
        WindowMain_updateTitle();
        std::string text = "Cannot load file '" + FileNames_fileName(file) + "': see the output";
        kovraShowInfo(text.c_str(), 0, 1);
        return 0;
    }
    if (userFile == 1) {
        Document_keepFileTime(document);
        Document_refreshViews(document);
        Settings_addRecentFile(document->filename);
        showInfof("'%s' loaded", document->filename);
    } else {
        Document_refreshViews(document);
        showInfof("Default input '%s' loaded", file.c_str());
    }
    // Open dialogs were bound to the device the file replaced: they show
    // the new one before anything can be stored through them.
    Dialogs_rebindAll();
    // The log keeps which file each run's messages belong to.
    std::string line = "[INPUT]   device file loaded: " + file + "\n";
    Output_printColored(line.c_str());
    Document_setModified(document, 0);
    WindowMain_updateSaveButton(document);
    WindowMain_updateTitle();
    return 1;
}

int Document_save(Document* document, const char* path)
{
    return save(document, path, SaveTarget::GivenPath);
}

int WindowMain_onFileNew(Ihandle*)
{
    if (!guard("Cannot create document while simulation is running...")) {
        return IUP_DEFAULT;
    }
    Settings* settings = App_getSettings();
    if (settings != nullptr && kov_fileExistsA(settings->DefaultInput) == 1) {
        if (Document_open(settings->DefaultInput, 0, 0) == 1) {
            return IUP_DEFAULT;
        }
    }
    FileOpening opening;
    Document_create(nullptr, TemplateTable, 0);
    return IUP_DEFAULT;
}

int WindowMain_onFileNewTemplate(Ihandle* item)
{
    const char* attribute = item ? IupGetAttribute(item, KOV_TemplateId) : nullptr;
    int id = -1;
    if (attribute == nullptr || std::sscanf(attribute, "%d", &id) != 1 || id < 0 || id > 3) {
        return IUP_DEFAULT;
    }
    if (!guard("Cannot create document while simulation is running...")) {
        return IUP_DEFAULT;
    }
    FileOpening opening;
    Document_create(nullptr, TemplateTable, id);
    return IUP_DEFAULT;
}

int WindowMain_onFileOpen(Ihandle*)
{
    Document_open(nullptr, 1, 1);
    return IUP_DEFAULT;
}

int WindowMain_onFileSave(Ihandle*)
{
    if (Document* document = App_getDocument()) {
        save(document, nullptr, SaveTarget::DocumentFile);
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileSaveAs(Ihandle*)
{
    if (Document* document = App_getDocument()) {
        save(document, nullptr, SaveTarget::AskAlways);
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileReload(Ihandle*)
{
    if (!guard("Cannot reload document while simulation is running...")) {
        return IUP_DEFAULT;
    }
    Document* document = App_getDocument();
    if (document == nullptr || !Document_fileExists(document)) {
        return IUP_DEFAULT;
    }
    if (Document_isChangedOnDisk(document) &&
        kovraAskQuestion("Document modified outside KovraDevice. Reload it anyway?", "KovraDevice",
                         4, KOV_WindowMain) != 3) {
        return IUP_DEFAULT;
    }
    std::string file = document->filename;
    Document_open(file.c_str(), 0, 1);
    return IUP_DEFAULT;
}

int WindowMain_onFileSetDefault(Ihandle*)
{
    kovraShowInfo("", 0, 9);
    Document* document = App_getDocument();
    Settings* settings = App_getSettings();
    if (document != nullptr && settings != nullptr && Document_fileExists(document)) {
        kov_copyA(settings->DefaultInput, sizeof settings->DefaultInput, document->filename);
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileDefaultHighlight(Ihandle* item)
{
    Settings* settings = App_getSettings();
    const char* active = item ? IupGetAttribute(item, "ACTIVE") : nullptr;
    if (settings != nullptr && active != nullptr && strcasecmp(active, "YES") == 0) {
        showInfof("Default Input: %s", settings->DefaultInput);
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileResetDefault(Ihandle*)
{
    kovraShowInfo("", 0, 9);
    if (Settings* settings = App_getSettings()) {
        settings->DefaultInput[0] = '\0';
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileRecent(Ihandle* item)
{
    const char* attribute = item ? IupGetAttribute(item, KOV_RecentFilename) : nullptr;
    if (attribute == nullptr) {
        return IUP_DEFAULT;
    }
    std::string path = attribute;
    if (path == "__File_Last_Open_Enable__") {
        Settings* settings = App_getSettings();
        if (settings != nullptr && IupGetAttribute(item, "VALUE") != nullptr) {
            settings->FileLastOpenEnable = settings->FileLastOpenEnable == 1 ? 0 : 1;
            IupSetAttribute(item, "VALUE", settings->FileLastOpenEnable ? "ON" : "OFF");
        }
        return IUP_DEFAULT;
    }
    Document_open(path.c_str(), 1, 1);
    return IUP_DEFAULT;
}

int WindowMain_onFileOpenInEditor(Ihandle*)
{
    if (!guard("Cannot open document with KovraEdit while simulation is running...")) {
        return IUP_DEFAULT;
    }
    Document* document = App_getDocument();
    if (document == nullptr || !Document_fileExists(document)) {
        return IUP_DEFAULT;
    }
    if (Document_isChangedOnDisk(document) &&
        kovraAskQuestion("Document modified outside KovraDevice: open it with KovraEdit anyway?",
                         "KovraDevice", 4, KOV_WindowMain) != 3) {
        return IUP_DEFAULT;
    }
    char editor[1024];
    if (App_getEditorPath(editor) == nullptr) {
        kovraShowMessage("Cannot open file: KovraEdit not found", "KovraDevice", 2, KOV_WindowMain);
        return IUP_DEFAULT;
    }
    // Watched: without a text editor to start, kovraedit ends at once with
    // a failure, which the status line reports.
    EditorLaunch_open(editor, document->filename);
    return IUP_DEFAULT;
}

int WindowMain_onRecentMenuOpen(Ihandle*)
{
    Settings* settings = App_getSettings();
    if (settings == nullptr) {
        return IUP_DEFAULT;
    }
    if (Ihandle* toggle = IupGetHandle(KOV_FileRecent00)) {
        IupSetAttribute(toggle, "VALUE", settings->FileLastOpenEnable == 1 ? "ON" : "OFF");
    }
    for (int i = 1; i <= SETTINGS_RECENT; ++i) {
        char handle[32];
        std::snprintf(handle, sizeof handle, KOV_FileRecent_FORMAT, i);
        Ihandle* item = IupGetHandle(handle);
        if (item == nullptr) {
            continue;
        }
        const char* path = settings->FileRecent[i - 1];
        if (path[0] != '\0' && kov_fileExistsA(path) == 1) {
            IupSetStrAttribute(item, KOV_RecentFilename, path);
            IupSetStrAttribute(item, "TITLE", FileNames_fileName(path).c_str());
            IupSetAttribute(item, "ACTIVE", "YES");
        } else {
            IupSetAttribute(item, KOV_RecentFilename, nullptr);
            IupSetAttribute(item, "TITLE", "Recent Device");
            IupSetAttribute(item, "ACTIVE", "NO");
        }
    }
    return IUP_DEFAULT;
}

int WindowMain_onFileMenuOpen(Ihandle*)
{
    Document* document = App_getDocument();
    Settings* settings = App_getSettings();
    auto active = [](const char* name, bool on) {
        if (Ihandle* ih = IupGetHandle(name)) {
            IupSetAttribute(ih, "ACTIVE", on ? "YES" : "NO");
        }
    };
    bool exists = document != nullptr && Document_fileExists(document);
    active(KOV_FileSave, document != nullptr && Document_isModified(document));
    active(KOV_FileReload, exists);
    active(KOV_FileDefault, exists);
    active(KOV_FileReopen, exists);
    active(KOV_FileDefaultReset,
           settings != nullptr && kov_fileExistsA(settings->DefaultInput) == 1);
    return IUP_DEFAULT;
}

void Settings_addRecentFile(const char* path)
{
    if (Settings* settings = App_getSettings()) {
        RecentFiles_add(settings->FileRecent, path,
                        [](const char* p) { return kov_fileExistsA(p) == 1; });
    }
}
