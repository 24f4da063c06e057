// Keys and focus: Qt key events become IUP key codes and run the key
// callbacks from the focused element up to its dialog; focus changes run
// GETFOCUS_CB and KILLFOCUS_CB.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QKeyEvent>
#include <QMenu>

#include <cstdio>
#include <cstring>
#include <iterator>

#include "iupInternal.h"

namespace {

struct NamedKey {
    int qt;
    int iup;
    const char* name;
};

const NamedKey NAMED_KEYS[] = {
    {Qt::Key_Escape, K_ESC, "ESC"},    {Qt::Key_Home, K_HOME, "HOME"},
    {Qt::Key_Left, K_LEFT, "LEFT"},    {Qt::Key_Up, K_UP, "UP"},
    {Qt::Key_Right, K_RIGHT, "RIGHT"}, {Qt::Key_Down, K_DOWN, "DOWN"},
    {Qt::Key_PageUp, K_PGUP, "PGUP"},  {Qt::Key_PageDown, K_PGDN, "PGDN"},
    {Qt::Key_End, K_END, "END"},       {Qt::Key_Insert, K_INS, "INS"},
    {Qt::Key_Delete, K_DEL, "DEL"},    {Qt::Key_Pause, K_PAUSE, "PAUSE"},
    {Qt::Key_F1, K_F1, "F1"},          {Qt::Key_F2, K_F2, "F2"},
    {Qt::Key_F3, K_F3, "F3"},          {Qt::Key_F4, K_F4, "F4"},
    {Qt::Key_F5, K_F5, "F5"},          {Qt::Key_F6, K_F6, "F6"},
    {Qt::Key_F7, K_F7, "F7"},          {Qt::Key_F8, K_F8, "F8"},
    {Qt::Key_F9, K_F9, "F9"},          {Qt::Key_F10, K_F10, "F10"},
    {Qt::Key_F11, K_F11, "F11"},       {Qt::Key_F12, K_F12, "F12"},
    {Qt::Key_Backspace, K_BS, "BS"},   {Qt::Key_Tab, K_TAB, "TAB"},
    {Qt::Key_Return, K_CR, "CR"},      {Qt::Key_Enter, K_CR, "CR"},
    {Qt::Key_Space, K_SP, "SP"},
};

// Names of printable keys in callback names ("K_cPlus", "K_c0", "K_cN").
const char* printableName(int c)
{
    static char text[2];
    switch (c) {
    case '+': return "Plus";
    case '-': return "Minus";
    case '*': return "Asterisk";
    case '/': return "Slash";
    case '=': return "Equal";
    case '.': return "Period";
    case ',': return "Comma";
    default:
        text[0] = static_cast<char>(c);
        text[1] = '\0';
        return text;
    }
}

class EventFilter : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override;
};

EventFilter* filter = nullptr;

}  // namespace

int iupKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    int code = 0;
    for (const NamedKey& k : NAMED_KEYS) {
        if (k.qt == qtKey) {
            code = k.iup;
        }
    }
    bool shiftShown = false;
    if (code == 0) {
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
            // Letters: the character typed; with Ctrl or Alt the upper case
            // letter, as IUP's K_cN.
            if (modifiers & (Qt::ControlModifier | Qt::AltModifier)) {
                code = qtKey;
            } else {
                code = (modifiers & Qt::ShiftModifier) ? qtKey : qtKey - Qt::Key_A + 'a';
            }
            shiftShown = true;
        } else if (qtKey >= 0x20 && qtKey < 0x7F) {
            code = qtKey;
            shiftShown = true;  // the character already tells the shift
        } else if (!text.isEmpty() && text[0].unicode() >= 0x20) {
            code = text[0].unicode();
            shiftShown = true;
        } else {
            return 0;
        }
    }
    if ((modifiers & Qt::ShiftModifier) && !shiftShown) {
        code = iup_XkeyShift(code);
    }
    if (modifiers & Qt::ControlModifier) {
        code = iup_XkeyCtrl(code);
    }
    if (modifiers & Qt::AltModifier) {
        code = iup_XkeyAlt(code);
    }
    if (modifiers & Qt::MetaModifier) {
        code = iup_XkeySys(code);
    }
    return code;
}

const char* iupKeyCodeToName(int code)
{
    static char name[32];
    const int base = iup_XkeyBase(code);
    const char* baseName = nullptr;
    for (const NamedKey& k : NAMED_KEYS) {
        if (k.iup == base) {
            baseName = k.name;
        }
    }
    if (baseName == nullptr) {
        if (base < 0x20 || base >= 0x7F) {
            return nullptr;
        }
        baseName = printableName(base);
    }
    const char* prefix = iup_isCtrlXkey(code)    ? "c"
                         : iup_isAltXkey(code)   ? "m"
                         : iup_isShiftXkey(code) ? "s"
                         : iup_isSysXkey(code)   ? "y"
                                                 : "";
    std::snprintf(name, sizeof name, "K_%s%s", prefix, baseName);
    return name;
}

bool iupRouteKey(Ihandle* ih, int code)
{
    if (code == 0) {
        return false;
    }
    const std::string named = iupKeyCodeToName(code) ? iupKeyCodeToName(code) : "";
    for (Ihandle* e = ih; e != nullptr; e = e->parent) {
        if (e->destroyed) {
            return true;
        }
        int result = e->call("K_ANY", code);
        if (result == IUP_NOCALLBACK || result == IUP_CONTINUE) {
            if (!named.empty()) {
                const int own = e->call(named.c_str());
                if (own != IUP_NOCALLBACK) {
                    result = own;
                }
            }
        }
        if (result == IUP_IGNORE || result == IUP_CLOSE) {
            return true;
        }
        if (result == IUP_DEFAULT) {
            return false;
        }
    }
    return false;
}

namespace {

// Enter in a dialog presses its DEFAULTENTER button when no control took it.
bool defaultEnter(Ihandle* ih)
{
    Ihandle* dialog = IupGetDialog(ih);
    if (dialog == nullptr) {
        return false;
    }
    Ihandle* button = iupNamedOrHandle(dialog->stored("DEFAULTENTER"));
    if (button == nullptr || button->control() == nullptr || !button->control()->isEnabled()) {
        return false;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(button->control())) {
        b->click();
        return true;
    }
    return false;
}

// A key event is routed once, on the first widget that sees it (the focused
// one, or the window when nothing has the focus). Qt hands a key that widget
// does not use on to its parents, and the same event must not run the
// bindings again there. The focus cannot tell: a binding may have moved it
// meanwhile (a modal file chooser that has just closed leaves no focused
// widget until the window is active again). Nor can the last event seen: a
// binding that lets the window run (a file chooser, a run's console) sees
// other keys meanwhile, the release of its own key among them. So the
// recently routed events are kept, each recognised by its address together
// with its type, key, modifiers and time stamp, which a new key press at a
// reused address does not share.
struct Delivery {
    const QEvent* event = nullptr;
    QEvent::Type type = QEvent::None;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    quint64 timestamp = 0;
    QPointer<QObject> receiver;

    bool is(const QEvent* other) const
    {
        const auto* k = static_cast<const QKeyEvent*>(other);
        return other == event && other->type() == type && k->key() == key &&
               k->modifiers() == modifiers && k->timestamp() == timestamp;
    }
};

bool firstReceiver(QObject* object, QEvent* event)
{
    // Deeper than any nesting of bindings that let the window run.
    static Delivery recent[32];
    static size_t next = 0;
    for (const Delivery& d : recent) {
        if (!d.is(event)) {
            continue;
        }
        QObject* receiver = d.receiver.data();
        // Passed on to a parent of its first receiver, or that receiver is
        // gone (only its parents can see the event now).
        if (receiver == nullptr ||
            static_cast<QWidget*>(object)->isAncestorOf(static_cast<QWidget*>(receiver))) {
            return false;
        }
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    Delivery& d = recent[next++ % std::size(recent)];
    d.event = event;
    d.type = event->type();
    d.key = key->key();
    d.modifiers = key->modifiers();
    d.timestamp = key->timestamp();
    d.receiver = object;
    return true;
}

bool EventFilter::eventFilter(QObject* object, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn && type != QEvent::FocusOut &&
        type != QEvent::KeyRelease) {
        return false;
    }
    if (!object->isWidgetType()) {
        return false;
    }
    Ihandle* ih = iupFindHandle(object);
    if (ih == nullptr) {
        return false;
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        // Only the element's own widget (or its focus proxy) reports focus.
        auto* w = static_cast<QWidget*>(object);
        if (w != ih->control() && w != ih->control()->focusProxy() &&
            w->parentWidget() != ih->control()) {
            return false;
        }
        ih->call(type == QEvent::FocusIn ? "GETFOCUS_CB" : "KILLFOCUS_CB");
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    // The event reaches every widget from the focused one up; route it once.
    // Qt hands an unused key on to the parents; it was routed already.
    if (!firstReceiver(object, event)) {
        return false;
    }
    const int code = iupKeyCode(key->key(), key->modifiers(), key->text());
    if (type == QEvent::KeyRelease) {
        if (ih->kind == "canvas") {
            ih->call("KEYPRESS_CB", code, 0);
        }
        return false;
    }
    if (ih->kind == "canvas" && ih->call("KEYPRESS_CB", code, 1) == IUP_IGNORE) {
        return true;
    }
    if (iupRouteKey(ih, code)) {
        return true;
    }
    if ((code == K_CR) && ih->kind != "scintilla" && defaultEnter(ih)) {
        return true;
    }
    return false;
}

}  // namespace

void iupInstallEventFilter()
{
    // IupClose ends the application object and IupOpen may make a new one,
    // so the filter is installed on whichever is current.
    if (filter == nullptr) {
        filter = new EventFilter();
    }
    QApplication::instance()->installEventFilter(filter);
}

void IupTestKey(Ihandle* ih, int code)
{
    if (ih == nullptr || ih->control() == nullptr) {
        return;
    }
    QWidget* target = ih->control();
    if (QWidget* proxy = target->focusProxy()) {
        target = proxy;
    }
    IupSetFocus(ih);
    // Build the Qt event that typing this key would give.
    const int base = iup_XkeyBase(code);
    Qt::KeyboardModifiers modifiers;
    if (iup_isCtrlXkey(code)) {
        modifiers |= Qt::ControlModifier;
    }
    if (iup_isAltXkey(code)) {
        modifiers |= Qt::AltModifier;
    }
    if (iup_isShiftXkey(code)) {
        modifiers |= Qt::ShiftModifier;
    }
    if (iup_isSysXkey(code)) {
        modifiers |= Qt::MetaModifier;
    }
    int qtKey = 0;
    QString text;
    for (const NamedKey& k : NAMED_KEYS) {
        if (k.iup == base && qtKey == 0) {
            qtKey = k.qt;
        }
    }
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Tab || qtKey == Qt::Key_Backspace ||
        qtKey == Qt::Key_Space) {
        text = QString(QChar(base));
    }
    if (qtKey == 0 && base >= 0x20 && base < 0x7F) {
        if (base >= 'a' && base <= 'z') {
            qtKey = Qt::Key_A + (base - 'a');
        } else if (base >= 'A' && base <= 'Z') {
            qtKey = base;
            if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
                modifiers |= Qt::ShiftModifier;
            }
        } else {
            qtKey = base;
        }
        if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
            text = QString(QChar(base));
        }
    }
    if (qtKey == 0) {
        return;
    }
    // Each typed key has a time of its own, as the window system's have.
    static quint64 typedAt = 1;
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
    press.setTimestamp(typedAt++);
    QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
    release.setTimestamp(typedAt++);
    // Sent to the widget itself, as the window system would: the
    // application's filter sees it first, and a key the widget leaves unused
    // travels on to its parents.
    QWidget* focus = QApplication::focusWidget();
    QWidget* receiver = focus != nullptr && iupFindHandle(focus) == ih ? focus : target;
    QApplication::sendEvent(receiver, &press);
    QApplication::sendEvent(receiver, &release);
}

void IupTestClick(Ihandle* ih)
{
    if (ih == nullptr || ih->destroyed) {
        return;
    }
    if (ih->kind == "item") {
        iupMenuItemChosen(ih);
        return;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(ih->control())) {
        b->click();
    }
}
