// Layout elements: vertical and horizontal boxes, the grid box and fillers.
#include <QBoxLayout>
#include <QGridLayout>

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
    explicit Box(bool vertical) : Ihandle_(vertical ? "vbox" : "hbox"), vertical(vertical)
    {
        auto* w = new QWidget();
        layout = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return true; }
    Qt::Orientation direction() const override { return vertical ? Qt::Vertical : Qt::Horizontal; }

    void childAdded(Ihandle* child, int position) override
    {
        if (child != nullptr && child->control() != nullptr) {
            child->control()->setParent(control());
            layout->insertWidget(position, child->control());
            child->control()->show();
        }
        align();
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr) {
            layout->removeWidget(child->control());
            child->control()->hide();
            child->control()->setParent(nullptr);
        }
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (setSpacing(this, layout, name, value)) {
            return true;
        }
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
        std::string text = a ? a : (vertical ? "ALEFT" : "ATOP");
        if (const char* colon = std::strchr(text.c_str(), ':')) {
            text = vertical ? text.substr(0, colon - text.c_str()) : std::string(colon + 1);
        }
        Qt::Alignment across;
        if (vertical) {
            across = text == "ACENTER" ? Qt::AlignHCenter
                                       : (text == "ARIGHT" ? Qt::AlignRight : Qt::AlignLeft);
        } else {
            across = text == "ACENTER" ? Qt::AlignVCenter
                                       : (text == "ABOTTOM" ? Qt::AlignBottom : Qt::AlignTop);
        }
        for (Ihandle* child : children) {
            if (child->control() == nullptr) {
                continue;
            }
            const bool fills = vertical ? child->expandsHorizontally() : child->expandsVertically();
            layout->setAlignment(child->control(),
                                 fills || (child->acceptsChildren() && !child->stored("EXPAND"))
                                     ? Qt::Alignment()
                                     : across);
        }
    }
    // NORMALIZESIZE: the children take the size of the largest one.
    void normalize()
    {
        const char* n = stored("NORMALIZESIZE");
        if (n == nullptr) {
            return;
        }
        const bool h = strcasecmp(n, "HORIZONTAL") == 0 || strcasecmp(n, "BOTH") == 0;
        const bool v = strcasecmp(n, "VERTICAL") == 0 || strcasecmp(n, "BOTH") == 0;
        int width = 0, height = 0;
        for (Ihandle* child : children) {
            if (QWidget* w = child->control()) {
                width = std::max(width, w->sizeHint().width());
                height = std::max(height, w->sizeHint().height());
            }
        }
        for (Ihandle* child : children) {
            if (QWidget* w = child->control()) {
                if (h) {
                    w->setMinimumWidth(width);
                }
                if (v && child->kind != "fill") {
                    w->setMinimumHeight(height);
                }
            }
        }
    }
    bool vertical;
    QBoxLayout* layout;
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
        layout = new QGridLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        setControl(w);
        applyGeometry();
    }
    bool acceptsChildren() const override { return true; }
    void childAdded(Ihandle* child, int) override
    {
        if (child != nullptr && child->control() != nullptr) {
            child->control()->setParent(control());
        }
        place();
    }
    void childRemoved(Ihandle* child) override
    {
        if (child->control() != nullptr) {
            layout->removeWidget(child->control());
            child->control()->setParent(nullptr);
        }
        place();
    }
    bool setAttribute(const std::string& name, const char* value) override
    {
        if (name == "MARGIN" || name == "CMARGIN") {
            return setSpacing(this, layout, name, value);
        }
        if (name == "GAPLIN") {
            layout->setVerticalSpacing(value ? std::atoi(value) : 0);
            return true;
        }
        if (name == "GAPCOL") {
            layout->setHorizontalSpacing(value ? std::atoi(value) : 0);
            return true;
        }
        if (name == "NUMDIV" || name == "ORIENTATION" || name == "HOMOGENEOUSLIN" ||
            name == "HOMOGENEOUSCOL" || name == "ALIGNMENT" || name == "ALIGNMENTLIN" ||
            name == "ALIGNMENTCOL") {
            attributes[name] = StoredAttribute{value ? value : "", nullptr, false};
            place();
            return true;
        }
        return Ihandle_::setAttribute(name, value);
    }

private:
    void place()
    {
        for (Ihandle* child : children) {
            if (child->control() != nullptr) {
                layout->removeWidget(child->control());
            }
        }
        int divisions = stored("NUMDIV") ? std::atoi(stored("NUMDIV")) : 1;
        divisions = std::max(divisions, 1);
        const bool byRows =
            !stored("ORIENTATION") || strcasecmp(stored("ORIENTATION"), "HORIZONTAL") == 0;
        int index = 0;
        for (Ihandle* child : children) {
            if (child->control() == nullptr) {
                continue;
            }
            const int row = byRows ? index / divisions : index % divisions;
            const int column = byRows ? index % divisions : index / divisions;
            layout->addWidget(child->control(), row, column);
            child->control()->show();
            ++index;
        }
        if (storedYes("HOMOGENEOUSCOL")) {
            for (int c = 0; c < layout->columnCount(); ++c) {
                layout->setColumnStretch(c, 1);
            }
        }
        if (storedYes("HOMOGENEOUSLIN")) {
            for (int r = 0; r < layout->rowCount(); ++r) {
                layout->setRowStretch(r, 1);
            }
        }
    }
    QGridLayout* layout;
};

Ihandle* appendAll(Ihandle* box, Ihandle* first, va_list args)
{
    for (Ihandle* child = first; child != nullptr; child = va_arg(args, Ihandle*)) {
        IupAppend(box, child);
    }
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

Ihandle* IupGridBox(Ihandle* child, ...)
{
    va_list args;
    va_start(args, child);
    Ihandle* box = appendAll(new GridBox(), child, args);
    va_end(args);
    return box;
}

Ihandle* IupFill() { return new Fill(); }
