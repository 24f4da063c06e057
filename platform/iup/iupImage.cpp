// Image elements: icons named by handle in IMAGE and ICON attributes.
#include "iupInternal.h"
#include "iupQt.h"

namespace {

class Image : public Ihandle_ {
public:
    explicit Image(const QIcon& icon) : Ihandle_("image"), icon(icon) {}
    bool getAttribute(const std::string& name, std::string& out) override
    {
        if (name == "WIDTH" || name == "HEIGHT") {
            const QList<QSize> sizes = icon.availableSizes();
            const QSize s = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
            out = std::to_string(name == "WIDTH" ? s.width() : s.height());
            return true;
        }
        return false;
    }
    QIcon icon;
};

}  // namespace

Ihandle* iupImageCreate(const QIcon& icon) { return new Image(icon); }

QIcon iupImageIcon(const char* name)
{
    Ihandle* ih = iupNamedOrHandle(name);
    if (ih == nullptr || ih->kind != "image") {
        return QIcon();
    }
    return static_cast<Image*>(ih)->icon;
}

QWidget* iupWidget(Ihandle* ih) { return ih == nullptr ? nullptr : ih->control(); }
