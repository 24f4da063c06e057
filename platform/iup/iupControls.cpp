// Controls: labels, buttons, toggles, text fields and lists.
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include <cstring>

#include "iupInternal.h"
#include "iupQt.h"

namespace {

Qt::Alignment textAlignment(const char* value, Qt::Alignment vertical = Qt::AlignVCenter)
{
    std::string text = value ? value : "ALEFT";
    std::string h = text, v;
    if (const size_t colon = text.find(':'); colon != std::string::npos) {
        h = text.substr(0, colon);
        v = text.substr(colon + 1);
    }
    Qt::Alignment a =
        h == "ACENTER" ? Qt::AlignHCenter : (h == "ARIGHT" ? Qt::AlignRight : Qt::AlignLeft);
    if (v == "ATOP") {
        a |= Qt::AlignTop;
    } else if (v == "ABOTTOM") {
        a |= Qt::AlignBottom;
    } else if (v == "ACENTER") {
        a |= Qt::AlignVCenter;
    } else {
        a |= vertical;
    }
    return a;
}

// PADDING "WxH" as a style margin around the text of buttons and labels.
void applyPadding(QWidget* w, const char* value)
{
    int x = 0, y = 0;
    iupParseSize(value, &x, &y);
    w->setContentsMargins(std::max(x, 0), std::max(y, 0), std::max(x, 0), std::max(y, 0));
}

QIcon imageIcon(const char* name) { return iupImageIcon(name); }

class Label : public Ihandle_ {
public:
    explicit Label(const char* title) : Ihandle_("label")
    {
        auto* w = new QLabel(iupTitle(title));
        w->setTextFormat(Qt::PlainText);
        setControl(w);
        applyGeometry();
    }
    QLabel* label() const { return static_cast<QLabel*>(control()); }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            label()->setText(iupTitle(value));
            return true;
        }
        if (name == "SEPARATOR") {
            const bool vertical = value && strcasecmp(value, "VERTICAL") == 0;
            label()->setText(QString());
            label()->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
            label()->setFrameShadow(QFrame::Sunken);
            if (vertical) {
                label()->setFixedWidth(6);
            } else {
                label()->setFixedHeight(6);
            }
            return true;
        }
        if (name == "ALIGNMENT") {
            label()->setAlignment(textAlignment(value));
            return true;
        }
        if (name == "IMAGE") {
            label()->setPixmap(imageIcon(value).pixmap(QSize(24, 24)));
            return true;
        }
        if (name == "WORDWRAP") {
            label()->setWordWrap(iupIsYes(value));
            return true;
        }
        if (name == "PADDING") {
            applyPadding(label(), value);
            return true;
        }
        if (name == "ELLIPSIS") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TITLE") {
            out = iupS(label()->text());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }
};

// Buttons: a push button, flat (FLAT=YES) for tool bars and the keypad.
class Button : public Ihandle_ {
public:
    explicit Button(const char* title) : Ihandle_("button")
    {
        auto* w = new QPushButton(iupTitle(title));
        w->setAutoDefault(false);  // Enter goes to DEFAULTENTER, not the focused button
        QObject::connect(w, &QPushButton::clicked, w, [this] { call("ACTION"); });
        setControl(w);
        applyGeometry();
    }
    QPushButton* button() const { return static_cast<QPushButton*>(control()); }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            button()->setText(iupTitle(value));
            return true;
        }
        if (name == "IMAGE") {
            button()->setIcon(imageIcon(value));
            button()->setIconSize(QSize(24, 24));
            return true;
        }
        if (name == "FLAT") {
            button()->setFlat(iupIsYes(value));
            return true;
        }
        if (name == "PADDING") {
            int x = 0, y = 0;
            iupParseSize(value, &x, &y);
            button()->setStyleSheet(QString("QPushButton { padding: %1px %2px; }")
                                        .arg(std::max(y, 0))
                                        .arg(std::max(x, 0)));
            return true;
        }
        if (name == "BORDER" || name == "ALIGNMENT" || name == "IMPRESS") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TITLE") {
            out = iupS(button()->text());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }
};

// A toggle: a check box, or a checkable tool button once it shows an image.
class Toggle : public Ihandle_ {
public:
    explicit Toggle(const char* title) : Ihandle_("toggle")
    {
        auto* w = new QCheckBox(iupTitle(title));
        connect(w);
        setControl(w);
        applyGeometry();
    }
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(control()); }
    void connect(QAbstractButton* b)
    {
        QObject::connect(b, &QAbstractButton::clicked, b, [this](bool checked) {
            call("ACTION", checked ? 1 : 0);
            call("VALUECHANGED_CB");
        });
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            button()->setText(iupTitle(value));
            return true;
        }
        if (name == "VALUE") {
            const bool on =
                value && (strcasecmp(value, "ON") == 0 || strcasecmp(value, "YES") == 0 ||
                          (strcasecmp(value, "TOGGLE") == 0 && !button()->isChecked()));
            button()->setChecked(on);
            return true;
        }
        if (name == "IMAGE") {
            if (qobject_cast<QToolButton*>(button()) == nullptr) {
                auto* tool = new QToolButton();
                tool->setCheckable(true);
                tool->setAutoRaise(true);
                tool->setChecked(button()->isChecked());
                connect(tool);
                replaceControl(tool);
            }
            button()->setIcon(imageIcon(value));
            button()->setIconSize(QSize(24, 24));
            return true;
        }
        if (name == "FLAT" || name == "ALIGNMENT" || name == "PADDING" || name == "RIGHTBUTTON") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "VALUE") {
            out = button()->isChecked() ? "ON" : "OFF";
            return true;
        }
        if (name == "TITLE") {
            out = iupS(button()->text());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }
};

// IUP masks ("/d+", "[+/-]?/d+") written as regular expressions.
QString maskExpression(const char* mask)
{
    QString m = iupQ(mask);
    m.replace("/d", "\\d").replace("/w", "\\w").replace("/l", "[a-zA-Z]").replace("/D", "\\D");
    return m;
}

// A one-line text field.
class Text : public Ihandle_ {
public:
    Text() : Ihandle_("text")
    {
        auto* w = new QLineEdit();
        QObject::connect(w, &QLineEdit::textEdited, w, [this, w](const QString& text) {
            const std::string now = iupS(text);
            const int result = call("ACTION", 0, now.c_str());
            if (result == IUP_IGNORE) {
                w->setText(iupQ(previous.c_str()));
                return;
            }
            previous = now;
            call("VALUECHANGED_CB");
        });
        setControl(w);
        applyGeometry();
    }
    QLineEdit* line() const { return static_cast<QLineEdit*>(control()); }

    bool setAttribute(const std::string& name, const char* value) override
    {
        QLineEdit* l = line();
        if (name == "VALUE") {
            l->setText(iupQ(value));
            previous = value ? value : "";
            return true;
        }
        if (name == "APPEND" || name == "INSERT") {
            if (name == "APPEND") {
                l->setText(l->text() + iupQ(value));
            } else {
                l->insert(iupQ(value));
            }
            previous = iupS(l->text());
            return true;
        }
        if (name == "NC") {
            l->setMaxLength(value && std::atoi(value) > 0 ? std::atoi(value) : 32767);
            return true;
        }
        if (name == "CUEBANNER") {
            l->setPlaceholderText(iupQ(value));
            return true;
        }
        if (name == "READONLY") {
            l->setReadOnly(iupIsYes(value));
            return true;
        }
        if (name == "MASK") {
            if (value == nullptr || *value == '\0') {
                l->setValidator(nullptr);
            } else {
                l->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(maskExpression(value)), l));
            }
            return true;
        }
        if (name == "ALIGNMENT") {
            l->setAlignment(textAlignment(value));
            return true;
        }
        if (name == "CARET" || name == "CARETPOS") {
            // CARET: "col" (1-based) or "lin,col"; CARETPOS: 0-based position.
            int lin = 1, col = 1;
            if (value != nullptr) {
                if (name == "CARETPOS") {
                    col = std::atoi(value) + 1;
                } else if (std::strchr(value, ',')) {
                    std::sscanf(value, "%d,%d", &lin, &col);
                } else {
                    col = std::atoi(value);
                }
            }
            l->setCursorPosition(
                std::max(0, std::min(col - 1, static_cast<int>(l->text().size()))));
            return true;
        }
        if (name == "SELECTION") {
            int a = 0, b = 0;
            if (value && strcasecmp(value, "ALL") == 0) {
                l->selectAll();
            } else if (value && std::sscanf(value, "%d:%d", &a, &b) == 2) {
                l->setSelection(a - 1, b - a);
            } else {
                l->deselect();
            }
            return true;
        }
        if (name == "SELECTEDTEXT") {
            l->insert(iupQ(value));
            return true;
        }
        if (name == "BORDER") {
            l->setFrame(value == nullptr || iupIsYes(value));
            return true;
        }
        if (name == "PADDING" || name == "VISIBLECOLUMNS" || name == "SPIN" || name == "FILTER") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        QLineEdit* l = line();
        if (name == "VALUE") {
            out = iupS(l->text());
            return true;
        }
        if (name == "COUNT") {
            out = std::to_string(l->text().size());
            return true;
        }
        if (name == "CARET") {
            out = std::to_string(l->cursorPosition() + 1);
            return true;
        }
        if (name == "CARETPOS") {
            out = std::to_string(l->cursorPosition());
            return true;
        }
        if (name == "SELECTEDTEXT") {
            out = iupS(l->selectedText());
            return true;
        }
        if (name == "READONLY") {
            out = l->isReadOnly() ? "YES" : "NO";
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

private:
    std::string previous;  // the value before the last edit, restored when ACTION refuses it
};

// A list, shown as a drop-down (DROPDOWN=YES) or an open list. The items
// live here and are mirrored into whichever control shows them.
class List : public Ihandle_ {
public:
    List() : Ihandle_("list") { build(false); }

    // Chooses an item as the user would (tests).
    void userSelect(int item)
    {
        const int old = previous;
        select(item - 1);
        previous = old;
        chosen(item - 1);
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "DROPDOWN") {
            if (iupIsYes(value) != dropdown) {
                build(iupIsYes(value));
            }
            return true;
        }
        if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
            // "1", "2", ...: item n; NULL ends the list there.
            const size_t n = static_cast<size_t>(std::atoi(name.c_str()));
            if (n < 1) {
                return true;
            }
            if (value == nullptr) {
                if (n - 1 < items.size()) {
                    items.resize(n - 1);
                }
            } else {
                if (items.size() < n) {
                    items.resize(n);
                }
                items[n - 1] = value;
            }
            mirror();
            return true;
        }
        if (name == "APPENDITEM") {
            items.push_back(value ? value : "");
            mirror();
            return true;
        }
        if (name.rfind("INSERTITEM", 0) == 0) {
            const size_t n = static_cast<size_t>(std::max(1, std::atoi(name.c_str() + 10)));
            items.insert(items.begin() + static_cast<long>(std::min(n - 1, items.size())),
                         value ? value : "");
            mirror();
            return true;
        }
        if (name == "REMOVEITEM") {
            if (value == nullptr || strcasecmp(value, "ALL") == 0) {
                items.clear();
            } else {
                const size_t n = static_cast<size_t>(std::atoi(value));
                if (n >= 1 && n <= items.size()) {
                    items.erase(items.begin() + static_cast<long>(n - 1));
                }
            }
            mirror();
            return true;
        }
        if (name == "VALUE" || name == "VALUESTRING") {
            int index = -1;
            if (name == "VALUE") {
                index = value ? std::atoi(value) - 1 : -1;
            } else {
                for (size_t i = 0; value && i < items.size(); ++i) {
                    if (items[i] == value) {
                        index = static_cast<int>(i);
                    }
                }
            }
            select(index);
            return true;
        }
        if (name == "VISIBLEITEMS") {
            if (auto* c = combo()) {
                c->setMaxVisibleItems(std::max(1, value ? std::atoi(value) : 5));
            }
            return true;
        }
        if (name == "SORT" || name == "SHOWIMAGE" || name == "EDITBOX" || name == "ALIGNMENT" ||
            name == "VISIBLECOLUMNS" || name == "VISIBLELINES") {
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "VALUE") {
            const int index = current();
            out = index >= 0 ? std::to_string(index + 1) : "0";
            return true;
        }
        if (name == "VALUESTRING") {
            const int index = current();
            out = index >= 0 ? items[static_cast<size_t>(index)] : "";
            return true;
        }
        if (name == "COUNT") {
            out = std::to_string(items.size());
            return true;
        }
        if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) {
            const size_t n = static_cast<size_t>(std::atoi(name.c_str()));
            if (n < 1 || n > items.size()) {
                return false;
            }
            out = items[n - 1];
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

private:
    QComboBox* combo() const { return qobject_cast<QComboBox*>(control()); }
    QListWidget* open() const { return qobject_cast<QListWidget*>(control()); }
    int current() const
    {
        return combo() ? combo()->currentIndex() : (open() ? open()->currentRow() : -1);
    }

    void build(bool asDropdown)
    {
        const int selected = control() ? current() : -1;
        dropdown = asDropdown;
        QWidget* w = nullptr;
        if (dropdown) {
            auto* c = new QComboBox();
            QObject::connect(c, qOverload<int>(&QComboBox::activated), c,
                             [this](int index) { chosen(index); });
            w = c;
        } else {
            auto* l = new QListWidget();
            QObject::connect(l, &QListWidget::currentRowChanged, l, [this](int index) {
                if (!quiet) {
                    chosen(index);
                }
            });
            QObject::connect(l, &QListWidget::itemDoubleClicked, l,
                             [this, l](QListWidgetItem* item) {
                                 const int row = l->row(item);
                                 const std::string text = iupS(item->text());
                                 call("DBLCLICK_CB", row + 1, text.c_str());
                             });
            w = l;
        }
        if (control() == nullptr) {
            setControl(w);
        } else {
            replaceControl(w);
        }
        mirror();
        select(selected);
        applyGeometry();
    }
    void mirror()
    {
        quiet = true;
        const int selected = current();
        QStringList texts;
        for (const std::string& item : items) {
            texts << iupQ(item.c_str());
        }
        if (auto* c = combo()) {
            c->clear();
            c->addItems(texts);
        } else if (auto* l = open()) {
            l->clear();
            l->addItems(texts);
        }
        quiet = false;
        select(selected < static_cast<int>(items.size()) ? selected : -1);
    }
    void select(int index)
    {
        quiet = true;
        if (index >= static_cast<int>(items.size())) {
            index = -1;
        }
        if (auto* c = combo()) {
            c->setCurrentIndex(index);
        } else if (auto* l = open()) {
            l->setCurrentRow(index);
        }
        previous = index;
        quiet = false;
    }
    // The user chose an item: ACTION (text, item, state) for the one left
    // (state 0) and the one chosen (state 1), then VALUECHANGED_CB.
    void chosen(int index)
    {
        if (index < 0 || index >= static_cast<int>(items.size())) {
            return;
        }
        const int old = previous;
        previous = index;
        if (old == index && dropdown) {
            call("VALUECHANGED_CB");
            return;
        }
        if (old >= 0 && old < static_cast<int>(items.size()) && old != index) {
            call("ACTION", items[static_cast<size_t>(old)].c_str(), old + 1, 0);
        }
        call("ACTION", items[static_cast<size_t>(index)].c_str(), index + 1, 1);
        call("VALUECHANGED_CB");
    }

    std::vector<std::string> items;
    bool dropdown = false;
    bool quiet = false;
    int previous = -1;
};

}  // namespace

Ihandle* IupLabel(const char* title) { return new Label(title); }

Ihandle* IupButton(const char* title, const char* action)
{
    Ihandle* ih = new Button(title);
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", IupGetFunction(action));
    }
    return ih;
}

Ihandle* IupToggle(const char* title, const char* action)
{
    Ihandle* ih = new Toggle(title);
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", IupGetFunction(action));
    }
    return ih;
}

Ihandle* IupText(const char* action)
{
    Ihandle* ih = new Text();
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", IupGetFunction(action));
    }
    return ih;
}

void IupTestSelect(Ihandle* list, int item)
{
    if (auto* l = dynamic_cast<List*>(list); l != nullptr && !l->destroyed) {
        l->userSelect(item);
    }
}

Ihandle* IupList(const char* action)
{
    Ihandle* ih = new List();
    if (action != nullptr) {
        IupSetCallback(ih, "ACTION", IupGetFunction(action));
    }
    return ih;
}
