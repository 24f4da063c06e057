// Dialogs: top-level windows with a child, a menu bar, close and show
// callbacks, and modal popups.
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cstring>

#include "iupInternal.h"
#include "iupQt.h"

namespace {

class Dialog;

class DialogWidget : public QDialog {
public:
    explicit DialogWidget(Dialog* dialog) : owner(dialog) {}
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool closing = false;

private:
    Dialog* owner;
};

class Dialog : public Ihandle_ {
public:
    Dialog() : Ihandle_("dialog")
    {
        auto* w = new DialogWidget(this);
        w->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
        layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setControl(w);
    }
    DialogWidget* dialog() const { return static_cast<DialogWidget*>(control()); }
    bool acceptsChildren() const override { return children.empty(); }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->control() != nullptr) {
            layout->addWidget(child->control());
            child->control()->show();
        }
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr) {
            layout->removeWidget(child->control());
        }
    }
    void setFlag(Qt::WindowType flag, bool on)
    {
        const bool visible = dialog()->isVisible();
        dialog()->setWindowFlag(flag, on);
        if (visible) {
            dialog()->show();
        }
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        DialogWidget* d = dialog();
        if (name == "TITLE") {
            d->setWindowTitle(iupQ(value));
            return true;
        }
        if (name == "RASTERSIZE" || name == "SIZE") {
            if (value == nullptr) {  // back to the natural size
                d->resize(d->sizeHint());
                return true;
            }
            int w = -1, h = -1;
            iupParseSize(value, &w, &h);
            if (name == "SIZE") {
                int cw, ch;
                iupCharSize(d, &cw, &ch);
                w = w > 0 ? w * cw / 4 : w;
                h = h > 0 ? h * ch / 8 : h;
            }
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            const QSize hint = d->sizeHint();
            d->resize(w > 0 ? w : hint.width(), h > 0 ? h : hint.height());
            return true;
        }
        if (name == "RESIZE") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            d->setSizeGripEnabled(false);
            return true;
        }
        if (name == "MAXBOX") {
            setFlag(Qt::WindowMaximizeButtonHint, value == nullptr || iupIsYes(value));
            return true;
        }
        if (name == "MINBOX") {
            setFlag(Qt::WindowMinimizeButtonHint, value == nullptr || iupIsYes(value));
            return true;
        }
        if (name == "TOPMOST") {
            setFlag(Qt::WindowStaysOnTopHint, iupIsYes(value));
            return true;
        }
        if (name == "ICON") {
            d->setWindowIcon(iupImageIcon(value));
            return true;
        }
        if (name == "MENU") {
            Ihandle* menu = iupNamedOrHandle(value);
            delete menuBar;
            menuBar = nullptr;
            if (menu != nullptr) {
                menuBar = new QMenuBar(d);
                iupMenuFillBar(menu, menuBar);
                layout->setMenuBar(menuBar);
            }
            return true;
        }
        if (name == "PARENTDIALOG") {
            Ihandle* parentDialog = iupNamedOrHandle(value);
            QWidget* p = parentDialog != nullptr ? parentDialog->control() : nullptr;
            if (p != d) {
                const Qt::WindowFlags flags = d->windowFlags();
                d->setParent(p, flags);
            }
            return true;
        }
        if (name == "PLACEMENT") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            if (d->isVisible()) {
                place();
            }
            return true;
        }
        if (name == "MARGIN" || name == "GAP" || name == "ALIGNMENT" || name == "EXPAND" ||
            name == "SHRINK" || name == "LAYOUTDRAG" || name == "DEFAULTENTER" ||
            name == "DEFAULTESC" || name == "STARTFOCUS" || name == "MENUBOX" || name == "BORDER" ||
            name == "DROPFILESTARGET" || name == "SHOWNOFOCUS") {
            return false;  // stored, read when needed
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        DialogWidget* d = dialog();
        if (name == "TITLE") {
            out = iupS(d->windowTitle());
            return true;
        }
        if (name == "MAXIMIZED" || name == "MINIMIZED") {
            const bool on = name == "MAXIMIZED" ? d->isMaximized() : d->isMinimized();
            out = on ? "YES" : "NO";
            return true;
        }
        if (name == "SCREENPOSITION") {
            const QPoint p = d->pos();
            out = std::to_string(p.x()) + "," + std::to_string(p.y());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }
    void place()
    {
        const char* p = stored("PLACEMENT");
        if (p && strcasecmp(p, "MAXIMIZED") == 0) {
            dialog()->showMaximized();
        } else if (p && strcasecmp(p, "MINIMIZED") == 0) {
            dialog()->showMinimized();
        } else if (p && strcasecmp(p, "FULL") == 0) {
            dialog()->showFullScreen();
        }
    }
    void prepare()
    {
        std::vector<Ihandle*> pending{this};
        while (!pending.empty()) {
            Ihandle* e = pending.back();
            pending.pop_back();
            e->beforeShow();
            e->mapped = true;
            pending.insert(pending.end(), e->children.begin(), e->children.end());
        }
        if (!sized) {
            sized = true;
            if (stored("RASTERSIZE") == nullptr && stored("SIZE") == nullptr) {
                dialog()->adjustSize();
            }
        }
        if (stored("RESIZE") && !storedYes("RESIZE")) {
            dialog()->setFixedSize(dialog()->size().expandedTo(dialog()->sizeHint()));
        }
    }
    void showAt(int x, int y)
    {
        prepare();
        DialogWidget* d = dialog();
        const bool first = !d->isVisible();
        d->show();
        if (first) {
            QWidget* anchor = d->parentWidget();
            QRect area = anchor ? anchor->frameGeometry()
                                : (QGuiApplication::primaryScreen()
                                       ? QGuiApplication::primaryScreen()->availableGeometry()
                                       : QRect(0, 0, 1024, 768));
            QPoint at = d->pos();
            const QSize s = d->frameGeometry().size();
            auto position = [&](int v, bool horizontal) {
                const int start = horizontal ? area.x() : area.y();
                const int span = horizontal ? area.width() - s.width() : area.height() - s.height();
                if (v == IUP_CENTER || v == IUP_CENTERPARENT || v == IUP_MOUSEPOS) {
                    return start + span / 2;
                }
                if (v == IUP_LEFT) {
                    return start;
                }
                if (v == IUP_RIGHT) {
                    return start + span;
                }
                if (v == IUP_CURRENT) {
                    return horizontal ? at.x() : at.y();
                }
                return v;
            };
            d->move(position(x, true), position(y, false));
            place();
        }
        d->raise();
        d->activateWindow();
    }

    QVBoxLayout* layout;
    QMenuBar* menuBar = nullptr;
    bool sized = false;
};

void DialogWidget::closeEvent(QCloseEvent* event)
{
    // The close box asks CLOSE_CB: IUP_IGNORE keeps the window.
    const int result = owner->destroyed ? IUP_DEFAULT : owner->call("CLOSE_CB");
    if (result == IUP_IGNORE || owner->destroyed) {
        event->ignore();
        return;
    }
    event->accept();
}

void DialogWidget::reject()
{
    // Escape presses the DEFAULTESC button. Without one, a dialog opened over
    // another (PARENTDIALOG) takes it as its close box, as desktop dialogs
    // do: CLOSE_CB decides what happens. A program's main window (no parent
    // dialog) is never closed by a stray Escape.
    if (Ihandle* button = iupNamedOrHandle(owner->stored("DEFAULTESC"))) {
        if (auto* b = qobject_cast<QAbstractButton*>(button->control())) {
            b->click();
        }
        return;
    }
    if (parentWidget() != nullptr && !owner->destroyed) {
        close();
    }
}

void DialogWidget::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    owner->call("SHOW_CB", IUP_SHOW);
}

void DialogWidget::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!owner->destroyed) {
        owner->call("SHOW_CB", IUP_HIDE);
    }
    iupDialogHidden();
}

void DialogWidget::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    owner->call("RESIZE_CB", width(), height());
}

void DialogWidget::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (isMaximized()) {
            owner->call("SHOW_CB", IUP_MAXIMIZE);
        } else if (isMinimized()) {
            owner->call("SHOW_CB", IUP_MINIMIZE);
        } else {
            owner->call("SHOW_CB", IUP_RESTORE);
        }
    }
}

}  // namespace

Ihandle* IupDialog(Ihandle* child)
{
    Ihandle* d = new Dialog();
    if (child != nullptr) {
        IupAppend(d, child);
    }
    return d;
}

int IupShow(Ihandle* ih) { return IupShowXY(ih, IUP_CURRENT, IUP_CURRENT); }

int IupShowXY(Ihandle* ih, int x, int y)
{
    if (ih == nullptr || ih->destroyed) {
        return IUP_ERROR;
    }
    if (ih->kind != "dialog") {
        if (ih->control() != nullptr) {
            ih->control()->show();
        }
        return IUP_NOERROR;
    }
    auto* d = static_cast<Dialog*>(ih);
    d->showAt(x == IUP_CURRENT && !d->dialog()->isVisible() ? IUP_CENTER : x,
              y == IUP_CURRENT && !d->dialog()->isVisible() ? IUP_CENTER : y);
    return IUP_NOERROR;
}

int IupHide(Ihandle* ih)
{
    if (ih == nullptr || ih->destroyed || ih->control() == nullptr) {
        return IUP_ERROR;
    }
    ih->control()->hide();
    return IUP_NOERROR;
}

int IupPopup(Ihandle* ih, int x, int y)
{
    if (ih == nullptr || ih->destroyed) {
        return IUP_ERROR;
    }
    if (ih->kind == "filedlg") {
        return iupSeamFileDialog(ih);
    }
    if (ih->kind == "menu") {
        return iupSeamMenu(ih, x, y);
    }
    if (ih->kind != "dialog") {
        return IUP_ERROR;
    }
    // In a scripted run the script clicks the dialog's buttons.
    if (iupSeamScripted()) {
        return iupSeamDialog(ih);
    }
    // Modal until the dialog is hidden (or destroyed).
    auto* d = static_cast<Dialog*>(ih);
    QPointer<DialogWidget> w = d->dialog();
    w->setWindowModality(Qt::ApplicationModal);
    d->showAt(x, y);
    QEventLoop loop;
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    struct Watch : QObject {
        QEventLoop* loop;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide) {
                loop->quit();
            }
            return false;
        }
    } watch;
    watch.loop = &loop;
    w->installEventFilter(&watch);
    if (w->isVisible() && !ih->destroyed) {
        loop.exec();
    }
    if (w) {
        w->removeEventFilter(&watch);
        w->setWindowModality(Qt::NonModal);
    }
    return IUP_NOERROR;
}
