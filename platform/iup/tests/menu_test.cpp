// Menu items: the highlight callback of an item runs after the event that
// highlighted it, never inside it. The first item of a menu opened from the
// keyboard is highlighted while the menu is still being shown, and a
// callback that changed the window then (a status text) left the menu
// painted without the marks of the items below it.
#include <QAction>
#include <QElapsedTimer>
#include <QMenu>

#include "iupInternal.h"
#include "iupTestApp.h"

namespace {

int highlightCalls = 0;

int onHighlight(Ihandle*)
{
    ++highlightCalls;
    return IUP_DEFAULT;
}

TEST(MenuHighlight, TheCallbackRunsAfterTheHighlightingEvent)
{
    highlightCalls = 0;
    Ihandle* first = IupItem("Output Directory...", nullptr);
    Ihandle* second = IupItem("Save All Output", nullptr);
    IupSetAttribute(second, "VALUE", "ON");
    IupSetCallback(first, "HIGHLIGHT_CB", onHighlight);
    Ihandle* menu = IupMenu(first, second, nullptr);
    QMenu* widget = iupMenuWidget(menu);
    ASSERT_NE(widget, nullptr);
    ASSERT_EQ(widget->actions().size(), 2);

    widget->actions()[0]->hover();
    EXPECT_EQ(highlightCalls, 0) << "not inside the event that highlighted the item";
    QElapsedTimer clock;
    clock.start();
    while (highlightCalls == 0 && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(highlightCalls, 1) << "but once the events are taken";
    EXPECT_EQ(std::string(IupGetAttribute(second, "VALUE")), "ON");

    // An item destroyed before its queued highlight is reached is left alone.
    widget->actions()[0]->hover();
    IupDestroy(menu);
    QCoreApplication::processEvents();
    EXPECT_EQ(highlightCalls, 1);
}

}  // namespace
