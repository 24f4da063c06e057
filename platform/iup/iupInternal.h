// The element record behind every Ihandle and the helpers the element
// kinds share. Not part of the programs' interface (that is iup.h, and
// iupQt.h for code that needs the Qt objects).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "iup.h"

// What a callback call gives when the element has no such callback.
constexpr int IUP_NOCALLBACK = INT_MIN;

struct StoredAttribute {
    std::string text;               // a copied value
    const void* pointer = nullptr;  // a kept pointer (IupSetAttribute of program data)
    bool isPointer = false;
};

struct Ihandle_ {
    explicit Ihandle_(const char* kind);
    virtual ~Ihandle_();
    Ihandle_(const Ihandle_&) = delete;
    Ihandle_& operator=(const Ihandle_&) = delete;

    // A known attribute is applied and true returned; an unknown one is
    // only stored by the caller. value NULL restores the default.
    virtual bool setAttribute(const std::string& name, const char* value);
    // A known attribute read live from the control.
    virtual bool getAttribute(const std::string& name, std::string& out);
    virtual bool acceptsChildren() const { return false; }
    virtual void childAdded(Ihandle* child, int position) {}
    virtual void childRemoved(Ihandle* child) {}
    virtual void beforeShow() {}
    virtual void destroyControl();

    // The child's main direction inside this container (vbox: vertical).
    virtual Qt::Orientation direction() const { return Qt::Vertical; }

    QWidget* control() const { return widget.data(); }
    void setControl(QWidget* w);
    // Replaces the control by another (a list changing to a drop-down).
    void replaceControl(QWidget* w);

    // Calls callback name with the arguments after the element; IUP_NOCALLBACK
    // when there is none; IUP_CLOSE ends the main loop.
    template <typename... Args>
    int call(const char* name, Args... args)
    {
        if (destroyed) {
            return IUP_NOCALLBACK;
        }
        auto it = callbacks.find(name);
        if (it == callbacks.end() || it->second == nullptr) {
            return IUP_NOCALLBACK;
        }
        auto function =
            reinterpret_cast<int (*)(Ihandle*, Args...)>(reinterpret_cast<void (*)()>(it->second));
        const int result = function(this, args...);
        if (result == IUP_CLOSE) {
            IupExitLoop();
        }
        return result;
    }
    bool hasCallback(const char* name) const
    {
        return callbacks.count(name) != 0 && callbacks.at(name) != nullptr;
    }

    const char* stored(const char* name) const;  // a stored text attribute, NULL when missing
    bool storedYes(const char* name, bool otherwise = false) const;

    // Geometry shared by every control: SIZE (characters), RASTERSIZE
    // (pixels) and EXPAND.
    void applyGeometry();
    bool expandsHorizontally() const;
    bool expandsVertically() const;

    std::string kind;
    std::map<std::string, StoredAttribute> attributes;
    std::map<std::string, Icallback> callbacks;
    std::vector<Ihandle*> children;
    Ihandle* parent = nullptr;
    std::vector<std::string> names;               // handle names registered for it
    std::map<std::string, std::string> readBack;  // texts returned by IupGetAttribute
    bool destroyed = false;
    bool mapped = false;

protected:
    QPointer<QWidget> widget;
};

// ---- shared helpers -----------------------------------------------------
Ihandle* iupFindHandle(QObject* object);  // the element a widget belongs to
void iupRegisterKind(Ihandle* ih);        // remembered until IupClose
QString iupQ(const char* text);
std::string iupS(const QString& text);
bool iupIsYes(const char* value);
// "WxH" (either part may be missing) into w and h; false when unreadable.
bool iupParseSize(const char* value, int* w, int* h);
bool iupParseColor(const char* value, int* r, int* g, int* b);
std::string iupColorText(int r, int g, int b);
// Character cell size of the element's font (IUP SIZE units are a quarter
// of the width and an eighth of the height).
void iupCharSize(QWidget* widget, int* w, int* h);
// Title text: IUP marks mnemonics with '&' as Qt does.
QString iupTitle(const char* title);
Ihandle* iupNamedOrHandle(const char* value);
void iupDialogHidden();  // ends the main loop when no dialog is left visible
bool iupHeadless();      // the offscreen windowing system (tests)
int iupKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
// Routes a key through the element chain; true when it was consumed.
bool iupRouteKey(Ihandle* ih, int code);
void iupInstallEventFilter();
// The status text of BUTTON_CB and MOTION_CB ("S C1  D A  ").
std::string iupMouseStatus(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                           bool doubleClick);
// Popups through the scripted-answer seam; defined in iupSeam.cpp.
int iupSeamFileDialog(Ihandle* ih);
int iupSeamMenu(Ihandle* menu, int x, int y);
bool iupSeamLaunch(const char* what);
// Menus (iupMenu.cpp): the bar of a dialog's MENU and a popped-up menu.
class QMenuBar;
class QMenu;
void iupMenuFillBar(Ihandle* menu, QMenuBar* bar);
QMenu* iupMenuWidget(Ihandle* menu);
// Runs the items' ACTION of a chosen menu item (the seam and clicks use it).
void iupMenuItemChosen(Ihandle* item);
// A modal dialog in a scripted run: each answer names a button to click
// ("" closes the dialog), until the dialog is hidden.
bool iupSeamScripted();
int iupSeamDialog(Ihandle* dialog);
