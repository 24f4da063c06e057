// Menus: the menu bar of a dialog, popup menus, items, submenus and
// separators.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <cstdarg>
#include <cstring>

#include "iupInternal.h"
#include "iupQt.h"

namespace {

// Items and submenus are actions; the QMenu of a menu element holds them.
class MenuEntry : public Ihandle_ {
public:
    explicit MenuEntry(const char* kind) : Ihandle_(kind) {}
    QAction* action = nullptr;
};

class Menu : public Ihandle_ {
public:
    Menu() : Ihandle_("menu"), menu(new QMenu())
    {
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { opened(); });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] { call("MENUCLOSE_CB"); });
    }
    ~Menu() override { delete menu; }
    bool acceptsChildren() const override { return true; }
    void childAdded(Ihandle* child, int position) override;
    void childRemoved(Ihandle* child) override
    {
        if (auto* entry = dynamic_cast<MenuEntry*>(child); entry && entry->action) {
            menu->removeAction(entry->action);
        }
    }
    void opened()
    {
        // OPEN_CB belongs to the menu; a submenu's own OPEN_CB also runs.
        call("OPEN_CB");
        if (parent != nullptr && parent->kind == "submenu") {
            parent->call("OPEN_CB");
        }
    }
    void destroyControl() override { menu->hide(); }
    QMenu* menu;
};

class Item : public MenuEntry {
public:
    explicit Item(const char* title) : MenuEntry("item")
    {
        action = new QAction(iupTitle(title));
        QObject::connect(action, &QAction::triggered, action, [this] {
            // Qt switched the mark of a checkable item; IUP leaves that to
            // AUTOTOGGLE or the program.
            if (action->isCheckable()) {
                action->setChecked(!action->isChecked());
            }
            iupMenuItemChosen(this);
        });
        // Queued: the first item is highlighted while its menu is still
        // being shown, and what the callback changes elsewhere in the
        // window (a status text) must not run inside that showing.
        QObject::connect(
            action, &QAction::hovered, action, [this] { call("HIGHLIGHT_CB"); },
            Qt::QueuedConnection);
    }
    ~Item() override { delete action; }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            action->setText(iupTitle(value));
            return true;
        }
        if (name == "VALUE") {
            const bool on =
                value && (strcasecmp(value, "ON") == 0 || strcasecmp(value, "YES") == 0);
            action->setCheckable(on || action->isCheckable());
            action->setChecked(on);
            return true;
        }
        if (name == "ACTIVE") {
            action->setEnabled(value == nullptr || iupIsYes(value));
            return true;
        }
        if (name == "IMAGE") {
            action->setIcon(iupImageIcon(value));
            return true;
        }
        if (name == "TIP") {
            action->setToolTip(iupQ(value));
            return true;
        }
        if (name == "AUTOTOGGLE") {
            return false;
        }
        return false;
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TITLE") {
            out = iupS(action->text());
            return true;
        }
        if (name == "VALUE") {
            out = action->isChecked() ? "ON" : "OFF";
            return true;
        }
        if (name == "ACTIVE") {
            out = action->isEnabled() ? "YES" : "NO";
            return true;
        }
        return false;
    }
};

class Submenu : public MenuEntry {
public:
    explicit Submenu(const char* title) : MenuEntry("submenu")
    {
        action = new QAction(iupTitle(title));
    }
    ~Submenu() override { delete action; }
    bool acceptsChildren() const override { return children.empty(); }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->kind == "menu") {
            action->setMenu(static_cast<Menu*>(child)->menu);
        }
    }
    void childRemoved(Ihandle*) override { action->setMenu(nullptr); }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            action->setText(iupTitle(value));
            return true;
        }
        if (name == "ACTIVE") {
            action->setEnabled(value == nullptr || iupIsYes(value));
            return true;
        }
        if (name == "IMAGE") {
            action->setIcon(iupImageIcon(value));
            return true;
        }
        return false;
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TITLE") {
            out = iupS(action->text());
            return true;
        }
        return false;
    }
};

class Separator : public MenuEntry {
public:
    Separator() : MenuEntry("separator")
    {
        action = new QAction();
        action->setSeparator(true);
    }
    ~Separator() override { delete action; }
};

void Menu::childAdded(Ihandle* child, int position)
{
    auto* entry = dynamic_cast<MenuEntry*>(child);
    if (entry == nullptr || entry->action == nullptr) {
        return;
    }
    const QList<QAction*> actions = menu->actions();
    QAction* before = position >= 0 && position < actions.size() ? actions[position] : nullptr;
    menu->insertAction(before, entry->action);
}

}  // namespace

void iupMenuItemChosen(Ihandle* item)
{
    if (item == nullptr || item->destroyed) {
        return;
    }
    auto* entry = static_cast<Item*>(item);
    // AUTOTOGGLE items switch their mark before the action runs.
    if (item->kind == "item" && item->storedYes("AUTOTOGGLE")) {
        entry->action->setCheckable(true);
        entry->action->setChecked(!entry->action->isChecked());
    }
    item->call("ACTION");
}

void iupMenuFillBar(Ihandle* menu, QMenuBar* bar)
{
    if (menu == nullptr || menu->kind != "menu") {
        return;
    }
    for (QAction* action : static_cast<Menu*>(menu)->menu->actions()) {
        bar->addAction(action);
    }
}

QMenu* iupMenuWidget(Ihandle* menu)
{
    return menu != nullptr && menu->kind == "menu" ? static_cast<Menu*>(menu)->menu : nullptr;
}

Ihandle* IupMenu(Ihandle* child, ...)
{
    Ihandle* menu = new Menu();
    va_list args;
    va_start(args, child);
    for (Ihandle* c = child; c != nullptr; c = va_arg(args, Ihandle*)) {
        IupAppend(menu, c);
    }
    va_end(args);
    return menu;
}

Ihandle* IupItem(const char* title, const char* action)
{
    Ihandle* item = new Item(title);
    if (action != nullptr) {
        IupSetCallback(item, "ACTION", IupGetFunction(action));
    }
    return item;
}

Ihandle* IupSubmenu(const char* title, Ihandle* menu)
{
    Ihandle* submenu = new Submenu(title);
    if (menu != nullptr) {
        IupAppend(submenu, menu);
    }
    return submenu;
}

Ihandle* IupSeparator() { return new Separator(); }
