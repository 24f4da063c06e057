// The output console's context menu, and opening a file whose name appears
// in the log in the text editor.
#include <unistd.h>

#include <cstring>
#include <string>

#include "App.h"
#include "guiCommon.h"
#include "document.h"
#include "iupScintillaMessages.h"
#include "kovbase.h"
#include "kovragui.h"
#include "FileNames.h"
#include "Output.h"
#include "kovraHandles.h"

namespace {

const char* const openableEndings[] = {
    ".kovra", ".lua", ".bat", ".sh",  ".h",       ".hpp",   ".c",    ".cpp",     ".cc",   ".py",
    ".tex",   ".bib", ".cls", ".sty", ".svg",     ".xml",   ".sln",  ".vcxproj", ".html", ".xhtml",
    ".rss",   ".php", ".txt", ".dat", ".voltage", ".light", ".mesh", ".guess",   ".xbm"};

bool isOpenable(const std::string& name)
{
    for (const char* ending : openableEndings) {
        if (FileNames_endsWithAny(name, {ending})) {
            return true;
        }
    }
    return false;
}

// The name as it stands in the log, resolved to an existing file: a name
// with a folder part as it is, a bare name in the current folder, else in
// the document's folder. Empty when no such file exists.
std::string resolve(const std::string& name, const Document* document)
{
    const bool hasFolder = name.find_first_of("/\\") != std::string::npos;
    if (kov_fileExistsA(name.c_str()) == 1) {
        if (hasFolder) {
            return name;
        }
        char current[1024];
        if (kov_getCurrentDir(current, sizeof current) != 0) {
            return std::string(current) + name;
        }
        return name;
    }
    if (!hasFolder && document != nullptr) {
        std::string inFolder = FileNames_folder(document->filename) + name;
        if (!FileNames_folder(document->filename).empty() &&
            kov_fileExistsA(inFolder.c_str()) == 1) {
            return inFolder;
        }
    }
    return {};
}

}  // namespace

int Output_findFileAtCaret(Ihandle* menu, Ihandle* view, char* out)
{
    if (out == nullptr) {
        return 0;
    }
    out[0] = '\0';
    Document* document = App_getDocument();
    if (view == nullptr) {
        return 0;
    }
    const char* wordChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-:\\/.";
    Editor_send(view, SCI_SETWORDCHARS, 0, reinterpret_cast<sptr_t>(wordChars));
    long start = Editor_send(view, SCI_GETSELECTIONSTART, 0, 0);
    long end = Editor_send(view, SCI_GETSELECTIONEND, 0, 0);
    int found = 0;
    if (end > start) {
        bool oneLine = Editor_send(view, SCI_LINEFROMPOSITION, start, 0) ==
                       Editor_send(view, SCI_LINEFROMPOSITION, end, 0);
        if (!oneLine || end - start < 2 || end - start > 250) {
            start = end = 0;
        }
    } else {
        long caret = Editor_send(view, SCI_GETCURRENTPOS, 0, 0);
        start = Editor_send(view, SCI_WORDSTARTPOSITION, caret, 1);
        end = Editor_send(view, SCI_WORDENDPOSITION, caret, 1);
    }
    auto charAt = [&](long p) { return static_cast<char>(Editor_send(view, SCI_GETCHARAT, p, 0)); };
    auto isIn = [](const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
    if (end > start && isIn("\"'(<{", charAt(start))) {
        ++start;
    }
    if (end > start && isIn("\"')>}", charAt(end - 1))) {
        --end;
    }
    if (end - start >= 2 && end - start <= 255) {
        std::string name;
        for (long p = start; p < end; ++p) {
            name += charAt(p);
        }
        std::string path = isOpenable(name) ? resolve(name, document) : std::string();
        if (!path.empty() && path.size() <= 1023 &&
            (document == nullptr || path != document->filename)) {
            std::string title = "Open '" + FileNames_fileName(path) + "'";
            Ihandle* item = IupItem(title.c_str(), nullptr);
            IupSetCallback(item, "ACTION", Output_openInEditor);
            IupAppend(menu, item);
            IupAppend(menu, IupSeparator());
            Editor_send(view, SCI_SETSELECTIONSTART, start, 0);
            Editor_send(view, SCI_SETSELECTIONEND, end, 0);
            Editor_send(view, SCI_SCROLLCARET, 0, 0);
            kov_copyA(out, 1024, path.c_str());
            found = 12;
        }
    }
    Editor_send(view, SCI_SETWORDCHARS, 0,
                reinterpret_cast<sptr_t>(
                    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"));
    return found;
}

int Output_openInEditor(Ihandle* item)
{
    Document* document = App_getDocument();
    if (document == nullptr || document->consoleFile[0] == '\0') {
        return IUP_DEFAULT;
    }
    char editor[1024];
    if (App_getEditorPath(editor) != nullptr) {
        std::string argument = "\"";
        argument += std::string(document->consoleFile).substr(0, 256) + "\"";
        IupExecute(editor, argument.c_str());
        document->consoleFile[0] = '\0';
    } else {
        kovraShowMessage("Cannot open file: KovraEdit not found", "KovraDevice", 2, KOV_WindowMain);
    }
    return IUP_DEFAULT;
}

void Output_contextMenu()
{
    Ihandle* view = IupGetHandle(KOV_Output);
    Document* document = App_getDocument();
    if (view == nullptr || document == nullptr || Output_getLength() <= 0) {
        return;
    }
    Ihandle* menu = IupMenu(nullptr);
    int found = Output_findFileAtCaret(menu, view, document->consoleFile);
    auto add = [&](const char* title, Icallback action) {
        Ihandle* item = IupItem(title, nullptr);
        IupSetCallback(item, "ACTION", action);
        IupSetAttribute(item, KOV_Output, reinterpret_cast<char*>(view));
        IupAppend(menu, item);
    };
    if (!Editor_send(view, SCI_GETSELECTIONEMPTY, 0, 0)) {
        add("&Copy\tCtrl+C", Output_onCopy);
    }
    add("Select &All\tCtrl+A", Output_onSelectAll);
    IupAppend(menu, IupSeparator());
    add("&Clear", Output_onClear);
    IupAppend(menu, IupSeparator());
    add("Zoom In\tCtrl++", Output_onZoomIn);
    add("Zoom Out\tCtrl+-", Output_onZoomOut);
    add("Normal Viewing\tCtrl+0", Output_onZoomReset);
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    int x = IUP_MOUSEPOS, y = IUP_MOUSEPOS;
    int screenX = 0, screenY = 0;
    if (found && Iup_getScreenPosition(view, &screenX, &screenY)) {
        long caret = Editor_send(view, SCI_GETCURRENTPOS, 0, 0);
        long caretY = Editor_send(view, SCI_POINTYFROMPOSITION, 0, caret);
        y = static_cast<int>(caretY + screenY + Editor_send(view, SCI_TEXTHEIGHT, 0, 0));
    }
    IupPopup(menu, x, y);
    IupDestroy(menu);
}
