// Message boxes, questions, the information areas, the screen size and the
// update notice.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "iupQt.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

std::string lastInfo;

QWidget* parentOf(const char* parentName)
{
    Ihandle* parent = parentName ? IupGetHandle(parentName) : nullptr;
    return parent != nullptr ? iupWidget(parent) : QApplication::activeWindow();
}

}  // namespace

void kovraShowMessage(const char* text, const char* title, int kind, const char* parentName)
{
    const char* icon = kind == 1 ? "ERROR" : (kind == 3 ? "WARNING" : "INFORMATION");
    iupSeamAsk("MESSAGE", title, text, {"OK"}, parentOf(parentName), icon);
}

int kovraAskQuestion(const char* question, const char* title, int kind, const char* parentName)
{
    const bool cancel = kind == 5;
    std::vector<std::string> buttons = {"Yes", "No"};
    if (cancel) {
        buttons.push_back("Cancel");
    }
    // Kind 4 asks before something that cannot be undone (discarding
    // changes, overwriting a file, deleting a layer): a stray Enter must
    // not say yes to it, so No is its default. Escape never says yes.
    const int enterButton = kind == 4 ? 2 : 1;
    const int escapeButton = cancel ? 3 : 2;
    const int answer = iupSeamAsk("QUESTION", title, question, buttons, parentOf(parentName),
                                  "QUESTION", enterButton, escapeButton);
    if (answer == 1) {
        return 3;
    }
    if (answer == 2) {
        return 4;
    }
    return cancel ? 5 : 4;
}

void kovraShowInfo(const char* text, int, int kind)
{
    // The status line is one line: a message's own line breaks (the console
    // lines it repeats end in one) would make the bar grow and the window's
    // layout jump.
    lastInfo = text != nullptr ? text : "";
    while (!lastInfo.empty() && std::isspace(static_cast<unsigned char>(lastInfo.back()))) {
        lastInfo.pop_back();
    }
    for (char& c : lastInfo) {
        if (c == '\n' || c == '\r' || c == '\t') {
            c = ' ';
        }
    }
    Ihandle* pane = IupGetHandle(KOV_Statusbar_Pane0);
    if (pane == nullptr) {
        return;
    }
    if (kind == 9 && lastInfo.empty()) {
        IupSetStrAttribute(pane, "TITLE", "");
        IupSetStrAttribute(pane, "FGCOLOR", IupGetGlobal("DLGFGCOLOR"));
        return;
    }
    IupSetStrAttribute(pane, "FGCOLOR", kind == 1 ? "200 30 30" : IupGetGlobal("DLGFGCOLOR"));
    IupSetStrAttribute(pane, "TITLE", lastInfo.c_str());
}

const char* kovraLastInfo() { return lastInfo.c_str(); }

void kovraShowActionbarInfo(const char* text, const char* color)
{
    Ihandle* label = IupGetHandle(KOV_Actionbar_Info);
    if (label == nullptr) {
        return;
    }
    if (color != nullptr) {
        IupSetStrAttribute(label, "FGCOLOR", color);
    }
    IupSetStrAttribute(label, "TITLE", text != nullptr ? text : "");
}

int getScreenSize(int* width, int* height)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 0;
    }
    const QRect area = screen->availableGeometry();
    if (width) {
        *width = area.width();
    }
    if (height) {
        *height = area.height();
    }
    return 1;
}

int WindowMain_checkUpdate(Ihandle*, const char* programName)
{
    const std::string name = programName && *programName ? programName : "Kovra";
    const std::string text =
        name + " version " KOVRA_VERSION " (build " KOVRA_BUILD KOVRA_RELEASE
               ", " KOVRA_GUI_PLATFORM
               ").\n\nUpdates come with the installed package: update it with the system's "
               "package manager.";
    kovraShowMessage(text.c_str(), name.c_str(), 2, KOV_WindowMain);
    return IUP_DEFAULT;
}
