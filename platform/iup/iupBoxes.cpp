// Layout elements: vertical and horizontal boxes, the grid box, fillers,
// frames, tabs and radio groups.
#include <QBoxLayout>
#include <QButtonGroup>
#include <QAbstractButton>
#include <QGridLayout>
#include <QGroupBox>
#include <QTabWidget>

#include <cstdarg>
#include <cstring>

#include "iupInternal.h"

namespace {

// Margins and gaps of a container's layout from MARGIN/CMARGIN and GAP/CGAP.
bool setSpacing(Ihandle* ih, QLayout* layout, const std::string& name, const char* value)
{
    if (name == "MARGIN" || name == "CMARGIN" || name == "NMARGIN" || name == "NCMARGIN") {
        int w = 0, h = 0;
        iupParseSize(value, &w, &h);
        if (name == "CMARGIN" || name == "NCMARGIN") {
            int cw, ch;
            iupCharSize(ih->control(), &cw, &ch);
            w = w * cw / 4, h = h * ch / 8;
        }
        w = std::max(w, 0), h = std::max(h, 0);
        layout->setContentsMargins(w, h, w, h);
        return true;
    }
    if (name == "GAP" || name == "CGAP" || name == "NGAP" || name == "NCGAP") {
        int gap = value ? std::atoi(value) : 0;
        if (name == "CGAP" || name == "NCGAP") {
            int cw, ch;
            iupCharSize(ih->control(), &cw, &ch);
            gap = gap * ch / 8;
        }
        layout->setSpacing(std::max(gap, 0));
        return true;
    }
    return false;
}

class Box : public Ihandle_ {
public:
    explicit Box(bool vertical) : Ihandle_(vertical ? "vbox" : "hbox"), vertical_(vertical)
    {
        auto* w = new QWidget();
        layout_ = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, w);
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSpacing(0);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return true; }
    Qt::Orientation direction() const override { return vertical_ ? Qt::Vertical : Qt::Horizontal; }

    void childAdded(Ihandle* child, int position) override
    {
        if (child != nullptr && child->control() != nullptr) {
            child->control()->setParent(control());
            layout_->insertWidget(position, child->control());
            child->control()->show();
        }
        align();
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr) {
            layout_->removeWidget(child->control());
            child->control()->hide();
            child->control()->setParent(nullptr);
        }
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (setSpacing(this, layout_, name, value))
            return true;
        if (name == "ALIGNMENT") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            align();
            return true;
        }
        if (name == "NORMALIZESIZE" || name == "HOMOGENEOUS") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            normalize();
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    void beforeShow() override { normalize(); }

private:
    // Children that do not fill the box across get the box's alignment.
    void align()
    {
        const char* a = stored("ALIGNMENT");
        std::string text = a ? a : (vertical_ ? "ALEFT" : "ATOP");
        if (const char* colon = std::strchr(text.c_str(), ':'))
            text = vertical_ ? text.substr(0, colon - text.c_str()) : std::string(colon + 1);
        Qt::Alignment across;
        if (vertical_)
            across = text == "ACENTER" ? Qt::AlignHCenter : (text == "ARIGHT" ? Qt::AlignRight : Qt::AlignLeft);
        else
            across = text == "ACENTER" ? Qt::AlignVCenter : (text == "ABOTTOM" ? Qt::AlignBottom : Qt::AlignTop);
        for (Ihandle* child : children) {
            if (child->control() == nullptr)
                continue;
            const bool fills = vertical_ ? child->expandsHorizontally() : child->expandsVertically();
            layout_->setAlignment(child->control(), fills || (child->acceptsChildren() && !child->stored("EXPAND"))
                                                        ? Qt::Alignment() : across);
        }
    }
    // NORMALIZESIZE: the children take the size of the largest one.
    void normalize()
    {
        const char* n = stored("NORMALIZESIZE");
        if (n == nullptr)
            return;
        const bool h = strcasecmp(n, "HORIZONTAL") == 0 || strcasecmp(n, "BOTH") == 0;
        const bool v = strcasecmp(n, "VERTICAL") == 0 || strcasecmp(n, "BOTH") == 0;
        int width = 0, height = 0;
        for (Ihandle* child : children)
            if (QWidget* w = child->control()) {
                width = std::max(width, w->sizeHint().width());
                height = std::max(height, w->sizeHint().height());
            }
        for (Ihandle* child : children)
            if (QWidget* w = child->control()) {
                if (h)
                    w->setMinimumWidth(width);
                if (v && child->kind != "fill")
                    w->setMinimumHeight(height);
            }
    }
    bool vertical_;
    QBoxLayout* layout_;
};

class Fill : public Ihandle_ {
public:
    Fill() : Ihandle_("fill")
    {
        auto* w = new QWidget();
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        setControl(w);
        applyGeometry();
    }
};

class GridBox : public Ihandle_ {
public:
    GridBox() : Ihandle_("gridbox")
    {
        auto* w = new QWidget();
        layout_ = new QGridLayout(w);
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSpacing(0);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return true; }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->control() != nullptr)
            child->control()->setParent(control());
        place();
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr) {
            layout_->removeWidget(child->control());
            child->control()->setParent(nullptr);
        }
        place();
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "MARGIN" || name == "CMARGIN")
            return setSpacing(this, layout_, name, value);
        if (name == "GAPLIN") {
            layout_->setVerticalSpacing(value ? std::atoi(value) : 0);
            return true;
        }
        if (name == "GAPCOL") {
            layout_->setHorizontalSpacing(value ? std::atoi(value) : 0);
            return true;
        }
        if (name == "NUMDIV" || name == "ORIENTATION" || name == "HOMOGENEOUSLIN" || name == "HOMOGENEOUSCOL" ||
            name == "ALIGNMENT" || name == "ALIGNMENTLIN" || name == "ALIGNMENTCOL") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            place();
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }

private:
    void place()
    {
        for (Ihandle* child : children)
            if (child->control() != nullptr)
                layout_->removeWidget(child->control());
        int divisions = stored("NUMDIV") ? std::atoi(stored("NUMDIV")) : 1;
        divisions = std::max(divisions, 1);
        const bool byRows = !stored("ORIENTATION") || strcasecmp(stored("ORIENTATION"), "HORIZONTAL") == 0;
        int index = 0;
        for (Ihandle* child : children) {
            if (child->control() == nullptr)
                continue;
            const int row = byRows ? index / divisions : index % divisions;
            const int column = byRows ? index % divisions : index / divisions;
            layout_->addWidget(child->control(), row, column);
            child->control()->show();
            ++index;
        }
        if (storedYes("HOMOGENEOUSCOL"))
            for (int c = 0; c < layout_->columnCount(); ++c)
                layout_->setColumnStretch(c, 1);
        if (storedYes("HOMOGENEOUSLIN"))
            for (int r = 0; r < layout_->rowCount(); ++r)
                layout_->setRowStretch(r, 1);
    }
    QGridLayout* layout_;
};

class Frame : public Ihandle_ {
public:
    Frame() : Ihandle_("frame")
    {
        auto* w = new QGroupBox();
        layout_ = new QVBoxLayout(w);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return children.empty(); }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->control() != nullptr) {
            layout_->addWidget(child->control());
            child->control()->show();
        }
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr)
            layout_->removeWidget(child->control());
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "TITLE") {
            static_cast<QGroupBox*>(control())->setTitle(iupTitle(value));
            return true;
        }
        if (setSpacing(this, layout_, name, value))
            return true;
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "TITLE") {
            out = iupS(static_cast<QGroupBox*>(control())->title());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

private:
    QVBoxLayout* layout_;
};

class Tabs : public Ihandle_ {
public:
    Tabs() : Ihandle_("tabs")
    {
        auto* w = new QTabWidget();
        QObject::connect(w, &QTabWidget::currentChanged, w, [this](int index) {
            if (quiet_)
                return;
            call("TABCHANGEPOS_CB", index, previous_);
            previous_ = index;
        });
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return true; }
    QTabWidget* tabs() const { return static_cast<QTabWidget*>(control()); }
    void childAdded(Ihandle* child, int position) override
    {
        if (child == nullptr || child->control() == nullptr)
            return;
        quiet_ = true;
        const char* title = child->stored("TABTITLE");
        tabs()->insertTab(position, child->control(), iupTitle(title ? title : ""));
        quiet_ = false;
        previous_ = tabs()->currentIndex();
    }
    void childRemoved(Ihandle* child) override
    {
        const int index = tabs()->indexOf(child->control());
        if (index >= 0)
            tabs()->removeTab(index);
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name.rfind("TABTITLE", 0) == 0 && name.size() > 8) {
            tabs()->setTabText(std::atoi(name.c_str() + 8), iupTitle(value));
            return true;
        }
        if (name == "VALUEPOS") {
            quiet_ = true;
            tabs()->setCurrentIndex(value ? std::atoi(value) : 0);
            previous_ = tabs()->currentIndex();
            quiet_ = false;
            return true;
        }
        if (name == "VALUE") {
            Ihandle* child = iupNamedOrHandle(value);
            if (child != nullptr && child->control() != nullptr) {
                quiet_ = true;
                tabs()->setCurrentWidget(child->control());
                previous_ = tabs()->currentIndex();
                quiet_ = false;
            }
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "VALUEPOS") {
            out = std::to_string(tabs()->currentIndex());
            return true;
        }
        if (name == "COUNT") {
            out = std::to_string(tabs()->count());
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

private:
    bool quiet_ = false;
    int previous_ = -1;
};

// A radio group makes the toggles inside it exclusive.
class Radio : public Ihandle_ {
public:
    Radio() : Ihandle_("radio")
    {
        auto* w = new QWidget();
        layout_ = new QVBoxLayout(w);
        layout_->setContentsMargins(0, 0, 0, 0);
        group_ = new QButtonGroup(w);
        group_->setExclusive(true);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return children.empty(); }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->control() != nullptr) {
            layout_->addWidget(child->control());
            child->control()->show();
        }
        collect();
    }
    void beforeShow() override { collect(); }
    void collect()
    {
        for (QAbstractButton* b : group_->buttons())
            group_->removeButton(b);
        std::vector<Ihandle*> pending(children.begin(), children.end());
        while (!pending.empty()) {
            Ihandle* e = pending.back();
            pending.pop_back();
            if (e->kind == "toggle")
                if (auto* b = qobject_cast<QAbstractButton*>(e->control()))
                    group_->addButton(b);
            pending.insert(pending.end(), e->children.begin(), e->children.end());
        }
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "VALUE") {
            collect();
            if (Ihandle* t = iupNamedOrHandle(value))
                IupSetAttribute(t, "VALUE", "ON");
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "VALUE") {
            collect();
            QAbstractButton* b = group_->checkedButton();
            Ihandle* t = b ? iupFindHandle(b) : nullptr;
            out = t && !t->names.empty() ? t->names.back() : "";
            return true;
        }
        return Ihandle_::getAttribute(name, out);
    }

private:
    QVBoxLayout* layout_;
    QButtonGroup* group_;
};

Ihandle* appendAll(Ihandle* box, Ihandle* first, va_list args)
{
    for (Ihandle* child = first; child != nullptr; child = va_arg(args, Ihandle*))
        IupAppend(box, child);
    return box;
}

Ihandle* appendAll(Ihandle* box, Ihandle** children)
{
    for (int i = 0; children != nullptr && children[i] != nullptr; ++i)
        IupAppend(box, children[i]);
    return box;
}

}  // namespace

Ihandle* IupVbox(Ihandle* child, ...)
{
    va_list args;
    va_start(args, child);
    Ihandle* box = appendAll(new Box(true), child, args);
    va_end(args);
    return box;
}

Ihandle* IupHbox(Ihandle* child, ...)
{
    va_list args;
    va_start(args, child);
    Ihandle* box = appendAll(new Box(false), child, args);
    va_end(args);
    return box;
}

Ihandle* IupVboxv(Ihandle** children)
{
    return appendAll(new Box(true), children);
}

Ihandle* IupHboxv(Ihandle** children)
{
    return appendAll(new Box(false), children);
}

Ihandle* IupGridBox(Ihandle* child, ...)
{
    va_list args;
    va_start(args, child);
    Ihandle* box = appendAll(new GridBox(), child, args);
    va_end(args);
    return box;
}

Ihandle* IupGridBoxv(Ihandle** children)
{
    return appendAll(new GridBox(), children);
}

Ihandle* IupFrame(Ihandle* child)
{
    Ihandle* frame = new Frame();
    if (child != nullptr)
        IupAppend(frame, child);
    return frame;
}

Ihandle* IupTabs(Ihandle* child, ...)
{
    va_list args;
    va_start(args, child);
    Ihandle* tabs = appendAll(new Tabs(), child, args);
    va_end(args);
    return tabs;
}

Ihandle* IupTabsv(Ihandle** children)
{
    return appendAll(new Tabs(), children);
}

Ihandle* IupRadio(Ihandle* child)
{
    Ihandle* radio = new Radio();
    if (child != nullptr)
        IupAppend(radio, child);
    return radio;
}

Ihandle* IupFill()
{
    return new Fill();
}
