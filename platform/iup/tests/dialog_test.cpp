// A small dialog with every element kind the programs use, driven by handle
// name: values set and read back, callbacks fired by clicks, keys and
// focus, and the dialog's own close and show callbacks.
#include <QApplication>
#include <QImage>
#include <QWidget>

#include <string>

#include "iupQt.h"
#include "iupTestApp.h"

namespace {

// The handle name of the element a callback ran for.
std::string nameOf(Ihandle* ih)
{
    for (const char* name : {"T_OK", "T_Toggle", "T_Cancel"}) {
        if (IupGetHandle(name) == ih) {
            return name;
        }
    }
    return "?";
}

struct Seen {
    std::string last;
    int count = 0;
    int state = -1;
    int key = 0;
};
Seen seen;

int onButton(Ihandle* ih)
{
    seen.last = nameOf(ih);
    ++seen.count;
    return IUP_DEFAULT;
}

int onToggle(Ihandle* ih, int state)
{
    seen.last = nameOf(ih);
    seen.state = state;
    return IUP_DEFAULT;
}

int onList(Ihandle* ih, char* text, int item, int state)
{
    if (state == 1) {
        seen.last = text;
        seen.state = item;
    }
    return IUP_DEFAULT;
}

int onCtrlN(Ihandle*)
{
    seen.last = "K_cN";
    return IUP_DEFAULT;
}

int onFieldKey(Ihandle*, int code)
{
    seen.key = code;
    return code == 'x' ? IUP_IGNORE : IUP_CONTINUE;
}

int onClose(Ihandle*)
{
    ++seen.count;
    return IUP_IGNORE;  // keeps the window open
}

int onFocus(Ihandle* ih)
{
    IupSetStrAttribute(IupGetHandle("T_Dialog"), "TITLE",
                       (std::string("Test - ") + IupGetAttribute(ih, "PARAMTIP")).c_str());
    return IUP_DEFAULT;
}

int draws = 0;

int onDraw(Ihandle* ih, float, float)
{
    ++draws;
    int w = 0, h = 0;
    IupDrawBegin(ih);
    IupDrawGetSize(ih, &w, &h);
    IupSetAttribute(ih, "DRAWCOLOR", "255 255 255");
    IupSetAttribute(ih, "DRAWSTYLE", "FILL");
    IupDrawRectangle(ih, 0, 0, w - 1, h - 1);
    IupSetAttribute(ih, "DRAWCOLOR", "200 50 100");
    IupDrawRectangle(ih, 0, 0, w / 2, h / 2);
    IupDrawEnd(ih);
    return IUP_DEFAULT;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        seen = Seen();
        IupScriptBegin();
        Ihandle* name = IupText(nullptr);
        IupSetHandle("T_Name", name);
        IupSetAttributes(name,
                         "SIZE=80x, NC=10, PARAMTIP=\"Device Name\", CUEBANNER=\"Device Name\"");
        IupSetCallback(name, "GETFOCUS_CB", onFocus);
        IupSetCallback(name, "K_ANY", onFieldKey);

        Ihandle* list = IupList(nullptr);
        IupSetHandle("T_List", list);
        IupSetAttributes(list, "ALIGNMENT=ACENTER, SIZE=80x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
        IupSetAttribute(list, "1", "Si");
        IupSetAttribute(list, "2", "GaAs");
        IupSetAttribute(list, "APPENDITEM", "CdTe");
        IupSetCallback(list, "ACTION", onList);

        Ihandle* toggle = IupToggle("Light", nullptr);
        IupSetHandle("T_Toggle", toggle);
        IupSetCallback(toggle, "ACTION", onToggle);

        Ihandle* ok = IupButton("OK", nullptr);
        IupSetHandle("T_OK", ok);
        IupSetCallback(ok, "ACTION", onButton);

        Ihandle* canvas = IupCanvas(nullptr);
        IupSetHandle("T_Canvas", canvas);
        IupSetAttribute(canvas, "RASTERSIZE", "60x40");
        IupSetCallback(canvas, "ACTION", onDraw);

        Ihandle* console = IupScintilla();
        IupSetHandle("T_Console", console);
        IupSetAttributes(console, "EXPAND=YES, BORDER=NO, VISIBLECOLUMNS=40, RASTERSIZE=100x100");

        Ihandle* grid = IupGridBox(IupButton("1", nullptr), IupButton("2", nullptr),
                                   IupButton("3", nullptr), nullptr);
        IupSetAttributes(grid, "ORIENTATION=HORIZONTAL, NUMDIV=2, GAPLIN=5, GAPCOL=5");
        IupSetHandle("T_Grid", grid);

        Ihandle* separator = IupLabel(nullptr);
        IupSetAttributes(separator, "SEPARATOR=HORIZONTAL, EXPAND=HORIZONTAL");

        Ihandle* body = IupVbox(IupHbox(IupLabel("Name"), name, IupFill(), nullptr),
                                IupHbox(list, toggle, nullptr), separator, canvas, console, grid,
                                IupHbox(IupFill(), ok, nullptr), nullptr);
        IupSetAttributes(body, "EXPAND=YES, ALIGNMENT=ACENTER, MARGIN=10x10, GAP=10");
        IupSetHandle("T_Body", body);

        Ihandle* dialog = IupDialog(body);
        IupSetHandle("T_Dialog", dialog);
        IupSetAttributes(dialog, "TITLE=Test, RESIZE=YES, MINSIZE=120x80, DEFAULTENTER=T_OK");
        IupSetCallback(dialog, "CLOSE_CB", onClose);
        IupSetCallback(dialog, "K_cN", onCtrlN);
        IupShow(dialog);
        IupFlush();
    }
    void TearDown() override
    {
        IupDestroy(IupGetHandle("T_Dialog"));
        EXPECT_EQ(IupScriptEnd(), 0);
        IupFlush();
    }
};

TEST_F(DialogTest, ControlsAreFoundByNameAndValuesReadBack)
{
    Ihandle* name = IupGetHandle("T_Name");
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(IupGetClassName(name), "text");
    EXPECT_EQ(IupGetDialog(name), IupGetHandle("T_Dialog"));
    IupSetAttribute(name, "VALUE", "Solar cell");
    EXPECT_STREQ(IupGetAttribute(name, "VALUE"), "Solar cell");
    IupSetInt(name, "VALUE", 42);
    EXPECT_EQ(IupGetInt(name, "VALUE"), 42);

    Ihandle* list = IupGetHandle("T_List");
    EXPECT_EQ(IupGetInt(list, "COUNT"), 3);
    EXPECT_STREQ(IupGetAttribute(list, "3"), "CdTe");
    IupSetAttribute(list, "VALUE", "2");
    EXPECT_EQ(IupGetInt(list, "VALUE"), 2);
    EXPECT_STREQ(IupGetAttribute(list, "VALUESTRING"), "GaAs");
    IupSetAttribute(list, "REMOVEITEM", "ALL");
    EXPECT_EQ(IupGetInt(list, "COUNT"), 0);
    EXPECT_EQ(IupGetInt(list, "VALUE"), 0);

    Ihandle* toggle = IupGetHandle("T_Toggle");
    IupSetAttribute(toggle, "VALUE", "ON");
    EXPECT_STREQ(IupGetAttribute(toggle, "VALUE"), "ON");
    IupSetAttribute(toggle, "ACTIVE", "NO");
    EXPECT_STREQ(IupGetAttribute(toggle, "ACTIVE"), "NO");
    EXPECT_EQ(seen.state, -1) << "setting a value is no user action";
}

TEST_F(DialogTest, ProgramDataIsKeptAsPointerAndGlobalsWork)
{
    int record = 7;
    Ihandle* name = IupGetHandle("T_Name");
    IupSetAttribute(name, "KOV_Record", reinterpret_cast<const char*>(&record));
    EXPECT_EQ(reinterpret_cast<int*>(IupGetAttribute(name, "KOV_Record")), &record);
    IupSetInt(nullptr, "KOV_WindowInput_Shown", 1);
    EXPECT_EQ(IupGetInt(nullptr, "KOV_WindowInput_Shown"), 1);
    IupSetStrGlobal("KOV_AppDir", "/opt/kovra/");
    EXPECT_STREQ(IupGetGlobal("KOV_AppDir"), "/opt/kovra/");
    int r = -1, g = -1, b = -1;
    ASSERT_EQ(sscanf(IupGetGlobal("DLGBGCOLOR"), "%d %d %d", &r, &g, &b), 3);
    EXPECT_GE(r, 0);
    IupSetAttribute(name, "KOV_Record", nullptr);
    EXPECT_EQ(IupGetAttribute(name, "KOV_Record"), nullptr);
}

TEST_F(DialogTest, ClicksRunTheCallbacks)
{
    IupTestClick(IupGetHandle("T_OK"));
    EXPECT_EQ(seen.last, "T_OK");
    EXPECT_EQ(seen.count, 1);
    IupTestClick(IupGetHandle("T_Toggle"));
    EXPECT_EQ(seen.last, "T_Toggle");
    EXPECT_EQ(seen.state, 1);
}

TEST_F(DialogTest, KeysRunTheFieldCallbackThenTheDialogBinding)
{
    Ihandle* name = IupGetHandle("T_Name");
    IupTestKey(name, 'a');
    EXPECT_EQ(seen.key, 'a');
    EXPECT_STREQ(IupGetAttribute(name, "VALUE"), "a") << "IUP_CONTINUE lets the field take the key";
    IupTestKey(name, 'x');
    EXPECT_STREQ(IupGetAttribute(name, "VALUE"), "a") << "IUP_IGNORE swallows it";
    IupTestKey(name, K_cN);
    EXPECT_EQ(seen.key, K_cN);
    EXPECT_EQ(seen.last, "K_cN") << "the key went on to the dialog's K_cN";
    // Enter presses the DEFAULTENTER button.
    IupTestKey(name, K_CR);
    EXPECT_EQ(seen.last, "T_OK");
}

TEST_F(DialogTest, FocusCallbackSeesTheFieldAttributes)
{
    IupSetFocus(IupGetHandle("T_OK"));
    IupFlush();
    IupSetFocus(IupGetHandle("T_Name"));
    IupFlush();
    EXPECT_EQ(IupGetFocus(), IupGetHandle("T_Name"));
    EXPECT_STREQ(IupGetAttribute(IupGetHandle("T_Dialog"), "TITLE"), "Test - Device Name");
}

TEST_F(DialogTest, TheCloseBoxAsksTheDialog)
{
    QWidget* w = iupWidget(IupGetHandle("T_Dialog"));
    ASSERT_TRUE(w->isVisible());
    w->close();
    IupFlush();
    EXPECT_EQ(seen.count, 1);
    EXPECT_TRUE(w->isVisible()) << "CLOSE_CB returned IUP_IGNORE";
}

// What a callback may do to the focus while its key is being delivered: a
// modal file chooser closing leaves no focused widget until the window is
// active again; a dialog built or destroyed hands the focus on.
enum class FocusAfter { UNCHANGED, CLEARED, ON_THE_DIALOG, ANOTHER_KEY_MEANWHILE };
FocusAfter focusAfter = FocusAfter::UNCHANGED;
int opens = 0;

int onCtrlO(Ihandle*)
{
    ++opens;
    if (QWidget* focus = QApplication::focusWidget()) {
        if (focusAfter == FocusAfter::CLEARED) {
            focus->clearFocus();
        } else if (focusAfter == FocusAfter::ON_THE_DIALOG) {
            focus->window()->setFocus();
        }
    }
    // A binding that lets the window run sees other keys meanwhile (its own
    // key's release among them).
    if (focusAfter == FocusAfter::ANOTHER_KEY_MEANWHILE) {
        IupTestKey(IupGetHandle("T_Name"), 'a');
    }
    return IUP_DEFAULT;  // handled; the control may still see the key
}

// A key runs its binding once, however the focus moved meanwhile: the key
// the field leaves unused travels on to the field's parents, and none of
// them may take it for a new key press.
TEST_F(DialogTest, AKeyRunsItsBindingOnceWhateverTheCallbackDoesToTheFocus)
{
    Ihandle* dialog = IupGetHandle("T_Dialog");
    IupSetCallback(dialog, "K_cO", onCtrlO);
    for (FocusAfter after : {FocusAfter::UNCHANGED, FocusAfter::CLEARED, FocusAfter::ON_THE_DIALOG,
                             FocusAfter::ANOTHER_KEY_MEANWHILE}) {
        focusAfter = after;
        opens = 0;
        IupTestKey(IupGetHandle("T_Name"), K_cO);
        IupFlush();
        EXPECT_EQ(opens, 1) << static_cast<int>(after);
        // And the next press is a key of its own again.
        IupTestKey(IupGetHandle("T_Name"), K_cO);
        IupFlush();
        EXPECT_EQ(opens, 2) << static_cast<int>(after);
    }
    IupSetCallback(dialog, "K_cO", nullptr);
}

// Escape in a dialog opened over another is its close box (CLOSE_CB
// decides); a DEFAULTESC button takes it instead; a window of its own (the
// programs' main window) ignores it.
TEST_F(DialogTest, EscapeIsTheCloseBoxOfADialogOverAnother)
{
    Ihandle* main = IupGetHandle("T_Dialog");
    QWidget* mainWidget = iupWidget(main);
    IupTestKey(IupGetHandle("T_Name"), K_ESC);
    IupFlush();
    EXPECT_EQ(seen.count, 0) << "a main window is not closed by Escape";
    EXPECT_TRUE(mainWidget->isVisible());

    Ihandle* field = IupText(nullptr);
    IupSetHandle("T_ChildField", field);
    Ihandle* child = IupDialog(IupVbox(field, nullptr));
    IupSetAttribute(child, "PARENTDIALOG", "T_Dialog");
    IupSetCallback(child, "CLOSE_CB", onClose);
    IupShow(child);
    IupFlush();
    IupSetAttribute(field, "VALUE", "typed");
    IupTestKey(field, K_ESC);
    IupFlush();
    EXPECT_EQ(seen.count, 1) << "Escape asked CLOSE_CB";
    EXPECT_TRUE(iupWidget(child)->isVisible()) << "CLOSE_CB returned IUP_IGNORE";

    IupSetCallback(child, "CLOSE_CB", nullptr);
    IupTestKey(field, K_ESC);
    IupFlush();
    EXPECT_FALSE(iupWidget(child)->isVisible()) << "without CLOSE_CB the dialog hides";

    // A DEFAULTESC button is pressed in place of the close box.
    Ihandle* cancel = IupButton("Cancel", nullptr);
    IupSetHandle("T_Cancel", cancel);
    IupSetCallback(cancel, "ACTION", onButton);
    IupAppend(IupGetChild(child, 0), cancel);
    IupSetAttribute(child, "DEFAULTESC", "T_Cancel");
    IupSetCallback(child, "CLOSE_CB", onClose);
    IupShow(child);
    IupFlush();
    IupTestKey(field, K_ESC);
    IupFlush();
    EXPECT_EQ(seen.last, "T_Cancel");
    EXPECT_EQ(seen.count, 2);
    IupDestroy(child);
}

TEST_F(DialogTest, SizeIsInCharacterUnits)
{
    Ihandle* name = IupGetHandle("T_Name");
    int cw = 0, ch = 0;
    ASSERT_EQ(IupGetIntInt(name, "CHARSIZE", &cw, &ch), 2);
    EXPECT_EQ(iupWidget(name)->width(), 80 * cw / 4);
}

TEST_F(DialogTest, CanvasDrawsThroughItsAction)
{
    Ihandle* canvas = IupGetHandle("T_Canvas");
    IupRedraw(canvas, 0);
    IupFlush();
    const QImage picture = iupCanvasImage(canvas);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), 60);
    EXPECT_EQ(picture.pixelColor(2, 2), QColor(200, 50, 100));
    EXPECT_EQ(picture.pixelColor(58, 38), QColor(255, 255, 255));
    int w = 0, h = 0;
    IupDrawGetTextSize(canvas, "QWy", 3, &w, &h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
}

// A repaint draws once: the drawing it runs does not ask for another, so an
// idle window with a canvas costs nothing.
TEST_F(DialogTest, ARepaintDrawsTheCanvasOnce)
{
    Ihandle* canvas = IupGetHandle("T_Canvas");
    IupFlush();
    draws = 0;
    IupRedraw(canvas, 0);
    for (int i = 0; i < 10; ++i) {
        IupFlush();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(draws, 1);
    // A drawing made outside a repaint is shown by one repaint of its own.
    draws = 0;
    onDraw(canvas, 0, 0);
    for (int i = 0; i < 10; ++i) {
        IupFlush();
    }
    EXPECT_LE(draws, 2);
}

TEST_F(DialogTest, DestroyedDialogsLoseTheirNames)
{
    Ihandle* popup = IupDialog(IupLabel("x"));
    IupSetHandle("T_Other", popup);
    IupSetHandle("T_OtherLabel", IupGetChild(popup, 0));
    IupShow(popup);
    IupDestroy(popup);
    EXPECT_EQ(IupGetHandle("T_Other"), nullptr);
    EXPECT_EQ(IupGetHandle("T_OtherLabel"), nullptr);
    IupFlush();
}

}  // namespace
