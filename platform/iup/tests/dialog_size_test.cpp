// A dialog opens at the size the program stored (RASTERSIZE in pixels, SIZE
// in character units), whatever it holds and whenever the menu bar and
// children were added, and reads the same size back: a window closed at
// 700x500 must reopen at 700x500.
#include <QWidget>

#include <string>

#include "caseName.h"
#include "iupQt.h"
#include "iupTestApp.h"

namespace {

// The calculator's shape: an expanding text control beside a keypad, a menu
// bar, a minimum size, and children added after the size was set.
Ihandle* makeWindow(const char* minsize)
{
    Ihandle* console = IupScintilla();
    IupSetAttributes(console, "EXPAND=YES, BORDER=NO, VISIBLECOLUMNS=80, RASTERSIZE=100x100");
    Ihandle* keypad = IupVbox(IupButton("7", nullptr), IupButton("Calculate", nullptr), nullptr);
    IupSetAttributes(keypad, "MARGIN=10x10, GAP=10");
    Ihandle* box = IupHbox(console, keypad, nullptr);
    IupSetAttributes(box, "EXPAND=YES, MARGIN=0x0, GAP=0");
    Ihandle* vbox = IupVbox(box, nullptr);
    IupSetAttributes(vbox, "EXPAND=YES, MARGIN=0x2, GAP=0");
    Ihandle* dialog = IupDialog(vbox);
    IupSetHandle("T_SizeDialog", dialog);
    if (minsize != nullptr) {
        IupSetStrAttribute(dialog, "MINSIZE", minsize);
    }
    return dialog;
}

Ihandle* makeMenu()
{
    return IupMenu(IupSubmenu("&File", IupMenu(IupItem("E&xit", nullptr), nullptr)), nullptr);
}

enum class When { BEFORE_MAP, AFTER_MAP, AFTER_SHOW };

struct SizeCase {
    const char* what;
    const char* rastersize;
    When when;
    bool menu;         // a menu bar set after the size
    bool lateChild;    // a child bar inserted above after mapping (the action bar)
    int showX, showY;  // IupShowXY position
    const char* expected;
};

class DialogSizeTest : public ::testing::TestWithParam<SizeCase> {
protected:
    void TearDown() override
    {
        IupDestroy(IupGetHandle("T_SizeDialog"));
        IupFlush();
    }
};

TEST_P(DialogSizeTest, OpensAtTheStoredSizeAndReadsItBack)
{
    const SizeCase& c = GetParam();
    Ihandle* dialog = makeWindow("362x302");
    if (c.when == When::BEFORE_MAP) {
        IupSetStrAttribute(dialog, "RASTERSIZE", c.rastersize);
    }
    IupSetAttributes(dialog, "TITLE=Sized, RESIZE=YES, MAXBOX=YES");
    if (c.menu) {
        IupSetAttributeHandle(dialog, "MENU", makeMenu());
    }
    ASSERT_NE(IupMap(dialog), IUP_ERROR);
    if (c.lateChild) {
        Ihandle* bar = IupHbox(IupButton("Cut", nullptr), IupButton("Copy", nullptr), nullptr);
        IupSetAttributes(bar, "MARGIN=2x2, GAP=5");
        Ihandle* vbox = IupGetChild(dialog, 0);
        IupInsert(vbox, nullptr, bar);
        IupMap(bar);
        IupRefresh(vbox);
    }
    if (c.when == When::AFTER_MAP) {
        IupSetStrAttribute(dialog, "RASTERSIZE", c.rastersize);
    }
    IupShowXY(dialog, c.showX, c.showY);
    if (c.when == When::AFTER_SHOW) {
        IupSetStrAttribute(dialog, "RASTERSIZE", c.rastersize);
    }
    IupFlush();
    IupFlush();
    const QWidget* w = iupWidget(dialog);
    const std::string seen = std::to_string(w->width()) + "x" + std::to_string(w->height());
    EXPECT_EQ(seen, c.expected) << c.what;
    EXPECT_STREQ(IupGetAttribute(dialog, "RASTERSIZE"), c.expected) << c.what;
}

const SizeCase SIZE_CASES[] = {
    {"set before mapping, shown centred", "700x500", When::BEFORE_MAP, true, true, IUP_CENTER,
     IUP_CENTER, "700x500"},
    {"set before mapping, shown where it is", "700x500", When::BEFORE_MAP, true, true, IUP_CURRENT,
     IUP_CURRENT, "700x500"},
    {"set after mapping", "640x480", When::AFTER_MAP, true, true, IUP_CENTER, IUP_CENTER,
     "640x480"},
    {"set after showing", "820x610", When::AFTER_SHOW, true, false, IUP_CENTER, IUP_CENTER,
     "820x610"},
    {"without a menu bar", "500x400", When::BEFORE_MAP, false, false, 10, 20, "500x400"},
    {"the minimum size itself", "362x302", When::BEFORE_MAP, true, true, IUP_CENTER, IUP_CENTER,
     "362x302"},
    {"below the minimum size", "200x100", When::BEFORE_MAP, true, false, IUP_CENTER, IUP_CENTER,
     "362x302"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DialogSizeTest, ::testing::ValuesIn(SIZE_CASES),
                         [](const auto& info) { return caseName(info.param.what); });

TEST(DialogSizeUnits, SizeIsInCharacterUnitsOfTheDialogFont)
{
    Ihandle* dialog = makeWindow(nullptr);
    IupSetAttribute(dialog, "SIZE", "400x200");
    IupShow(dialog);
    IupFlush();
    int cw = 0, ch = 0;
    ASSERT_EQ(IupGetIntInt(dialog, "CHARSIZE", &cw, &ch), 2);
    const QWidget* w = iupWidget(dialog);
    EXPECT_EQ(w->width(), 400 * cw / 4);
    EXPECT_EQ(w->height(), 200 * ch / 8);
    IupDestroy(dialog);
    IupFlush();
}

TEST(DialogSizeUnits, WithoutAStoredSizeTheDialogTakesItsNaturalSize)
{
    Ihandle* dialog = makeWindow(nullptr);
    IupShow(dialog);
    IupFlush();
    const QWidget* w = iupWidget(dialog);
    EXPECT_GE(w->width(), w->minimumSizeHint().width());
    EXPECT_GE(w->height(), w->minimumSizeHint().height());
    EXPECT_LT(w->width(), 2000);
    IupDestroy(dialog);
    IupFlush();
}

TEST(DialogSizeUnits, ASecondShowKeepsTheSizeTheUserGaveIt)
{
    Ihandle* dialog = makeWindow("362x302");
    IupSetAttribute(dialog, "RASTERSIZE", "600x400");
    IupShow(dialog);
    IupFlush();
    iupWidget(dialog)->resize(900, 700);  // the user drags the frame
    IupFlush();
    IupHide(dialog);
    IupShow(dialog);
    IupFlush();
    EXPECT_STREQ(IupGetAttribute(dialog, "RASTERSIZE"), "900x700");
    IupDestroy(dialog);
    IupFlush();
}

}  // namespace
