// Escape closes every dialog the way its close box does: a parameter dialog
// drops what was typed since the last Apply (the temperature dialog, whose
// close box stores, stores), and the About box closes by Escape or Enter.
// The main window itself is never closed by Escape.
#include <cstring>

#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

// The first text field in the element's tree, an active one when there is
// one (a light source may leave every field of its dialog inactive).
Ihandle* firstField(Ihandle* ih, bool activeOnly)
{
    if (ih == nullptr) {
        return nullptr;
    }
    const char* kind = IupGetClassName(ih);
    if (kind != nullptr && std::strcmp(kind, "text") == 0 &&
        (!activeOnly || IupGetInt(ih, "ACTIVE") == 1)) {
        return ih;
    }
    for (int i = 0; i < IupGetChildCount(ih); ++i) {
        if (Ihandle* found = firstField(IupGetChild(ih, i), activeOnly)) {
            return found;
        }
    }
    return nullptr;
}

Ihandle* firstField(Ihandle* ih)
{
    Ihandle* active = firstField(ih, true);
    return active != nullptr ? active : firstField(ih, false);
}

}  // namespace

class DialogEscapeTest : public MainWindowTest {};

TEST_F(DialogEscapeTest, EscapeInEveryParameterDialogActsAsItsCloseBox)
{
    start({example("silicon-pn.kovra")});
    struct Case {
        const char* dialog;
        const char* typed;  // a value the field accepts
        bool closeBoxStores;
    };
    const Case cases[] = {
        {KOV_WindowContact, "4.9", false},   {KOV_WindowDoping, "3e17", false},
        {KOV_WindowIndex, "3.9", false},     {KOV_WindowLattice, "0.6", false},
        {KOV_WindowLight, "0.55", false},    {KOV_WindowMaterial, "1.3", false},
        {KOV_WindowMobility, "1200", false}, {KOV_WindowNumeric, "1e-7", false},
        {KOV_WindowParam, "11.5", false},    {KOV_WindowTrap, "1e14", false},
        {KOV_WindowUrbach, "0.02", false},   {KOV_WindowVariable, "width", false},
        {KOV_WindowVoltage, "0.4", false},   {KOV_WindowTemperature, "310", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        ASSERT_FALSE(Document_isModified(doc()));
        WindowMain_openDialog(c.dialog);
        IupFlush();
        ASSERT_TRUE(dialogOpen(c.dialog));
        Ihandle* field = firstField(IupGetHandle(c.dialog));
        ASSERT_NE(field, nullptr);
        IupSetStrAttribute(field, "VALUE", c.typed);
        IupTestKey(field, K_ESC);
        IupFlush();
        EXPECT_FALSE(dialogOpen(c.dialog)) << "Escape closed it";
        EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0) << "and it is unregistered";
        EXPECT_EQ(Document_isModified(doc()) != 0, c.closeBoxStores)
            << "typed text dropped unless the box stores";
        if (Document_isModified(doc())) {
            WindowMain_onFileSave(nullptr);
            ASSERT_FALSE(Document_isModified(doc()));
        }
    }
    // The main window stays whatever has the focus.
    IupTestKey(h(KOV_WindowMain_Thickness), K_ESC);
    IupFlush();
    EXPECT_NE(IupGetHandle(KOV_WindowMain), nullptr);
}

TEST_F(DialogEscapeTest, TheAboutBoxClosesByEscapeAndByEnter)
{
    start();
    for (int code : {int(K_ESC), int(K_CR)}) {
        key(K_mF1);
        IupFlush();
        ASSERT_TRUE(dialogOpen(KOV_WindowAbout));
        EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 1);
        IupTestKey(h(KOV_WindowAbout_OK), code);
        IupFlush();
        EXPECT_FALSE(dialogOpen(KOV_WindowAbout)) << code;
        EXPECT_EQ(IupGetInt(nullptr, KOV_WindowInput_Shown), 0);
    }
    EXPECT_NE(IupGetHandle(KOV_WindowMain), nullptr);
}
