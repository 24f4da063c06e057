// The device canvas in the real window: clicks select by the drawn
// rectangles, the selected layer's border drags to a rounded thickness, and
// a drag that is too short changes nothing.
#include <algorithm>
#include <cmath>
#include <unistd.h>

#include <QImage>

#include "DeviceCanvas.h"
#include "MainWindowFixture.h"
#include "iupQt.h"
#include "kovraHandles.h"

namespace {

struct Rect {
    int x0, y0, x1, y1;
};
Rect rect(const int r[4]) { return {r[0], r[1], r[2], r[3]}; }

// Pixels of text (drawn in black) within the rows y0..y1-1 of a picture.
int textPixels(const QImage& picture, int y0, int y1)
{
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(y1, picture.height()); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            count += std::max({c.red(), c.green(), c.blue()}) < 80 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class CanvasTest : public MainWindowTest {
protected:
    Ihandle* canvas() { return h(KOV_DeviceCanvas); }
    void draw() { DeviceCanvas_draw(canvas(), 0, 0); }
    void press(int x, int y, const char* status = "1         ")
    {
        DeviceCanvas_onButton(canvas(), IUP_BUTTON1, 1, x, y, const_cast<char*>(status));
    }
    void release(int x, int y)
    {
        DeviceCanvas_onButton(canvas(), IUP_BUTTON1, 0, x, y, const_cast<char*>("          "));
    }
    void motion(int x, int y)
    {
        usleep(25000);  // one motion is handled per 20 ms
        DeviceCanvas_onMotion(canvas(), x, y, const_cast<char*>("1         "));
    }
};

TEST_F(CanvasTest, ClicksSelectContactsAndLayersByTheirDrawnPlace)
{
    start({example("silicon-pn.kovra")});
    draw();
    Rect anode = rect(device()->anode->canvasRect);
    Rect base = rect(device()->layers[1]->canvasRect);
    ASSERT_GT(base.y1, base.y0);
    press(20, (anode.y0 + anode.y1) / 2);
    release(20, (anode.y0 + anode.y1) / 2);
    EXPECT_EQ(WindowMain_selectedContact(), 1);
    press(20, (base.y0 + base.y1) / 2);
    release(20, (base.y0 + base.y1) / 2);
    EXPECT_EQ(WindowMain_selectedContact(), -1);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 2);
    EXPECT_EQ(IupGetInt(h(KOV_WindowMain_LayerList), "VALUE"), 2);
    EXPECT_EQ(attr(KOV_WindowMain_Thickness, "VALUE"), "20");
    // The layers are stacked to scale: 0.5 um over 20 um.
    Rect emitter = rect(device()->layers[0]->canvasRect);
    EXPECT_LT(emitter.y1 - emitter.y0, (base.y1 - base.y0) / 10);
}

TEST_F(CanvasTest, DraggingTheSelectedLayersBorderSetsARoundedThickness)
{
    start({example("silicon-pn.kovra")});
    draw();
    // Select the base (last layer): its border is its top edge.
    Rect base = rect(device()->layers[1]->canvasRect);
    press(20, (base.y0 + base.y1) / 2);
    release(20, (base.y0 + base.y1) / 2);
    draw();
    base = rect(device()->layers[1]->canvasRect);
    const int h = base.y1 - base.y0;
    press(20, base.y0);
    motion(20, base.y0 + h / 4);
    release(20, base.y0 + h / 4);
    double t = layerReal(2, "Thickness");
    EXPECT_LT(t, 20.0);
    EXPECT_NEAR(t, 15.0, 1.0);
    // Rounded to a step of 0.5 (a tenth of the decade over two).
    EXPECT_DOUBLE_EQ(t * 2, std::round(t * 2));
    EXPECT_TRUE(Document_isModified(doc()));
}

TEST_F(CanvasTest, ATinyDragChangesNothing)
{
    start({example("silicon-pn.kovra")});
    draw();
    Rect base = rect(device()->layers[1]->canvasRect);
    press(20, (base.y0 + base.y1) / 2);
    release(20, (base.y0 + base.y1) / 2);
    draw();
    base = rect(device()->layers[1]->canvasRect);
    press(20, base.y0);
    release(20, base.y0);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), 20.0);
    EXPECT_FALSE(Document_isModified(doc()));
}

TEST_F(CanvasTest, KeysMoveTheSelectionAndEnterIsIgnoredWithoutADialog)
{
    start({example("silicon-pn.kovra")});
    IupSetFocus(canvas());
    DeviceCanvas_onKeyPress(canvas(), K_DOWN, 1);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 2);
    EXPECT_EQ(DeviceCanvas_onKeyPress(canvas(), K_F2, 1), IUP_CONTINUE);
}

TEST_F(CanvasTest, AThinLayerShowsNoTextWhileAThickOneIsLabelled)
{
    start({example("silicon-pn.kovra")});
    draw();
    const QImage picture = iupCanvasImage(canvas());
    Rect emitter = rect(device()->layers[0]->canvasRect);  // 0.5 um of 20.5
    Rect base = rect(device()->layers[1]->canvasRect);
    ASSERT_LT(emitter.y1 - emitter.y0, 30) << "the canvas is taller than this test expects";
    ASSERT_GT(base.y1 - base.y0, 200);
    // No part of a label is squeezed into the thin layer or spills over.
    EXPECT_EQ(textPixels(picture, emitter.y0, emitter.y1), 0);
    // The base has its name at its top and its values in its middle.
    EXPECT_GT(textPixels(picture, base.y0, base.y0 + 25), 0);
    const int middle = (base.y0 + base.y1) / 2;
    EXPECT_GT(textPixels(picture, middle - 30, middle + 30), 0);
    // Made twenty times thicker, the emitter has room for its name too.
    type(KOV_WindowMain_Thickness, "10");
    draw();
    emitter = rect(device()->layers[0]->canvasRect);
    EXPECT_GT(textPixels(iupCanvasImage(canvas()), emitter.y0, emitter.y0 + 25), 0);
}

TEST_F(CanvasTest, DraggingTheSelectedLayerOntoAnotherMovesItThere)
{
    start({example("gaas-cell.kovra")});
    draw();
    Rect base = rect(device()->layers[1]->canvasRect);
    const int x = 20, y = (base.y0 + base.y1) / 2;
    press(x, y);
    release(x, y);
    ASSERT_EQ(WindowMain_selectedLayerNumber(), 2);
    // A drag shorter than 13 pixels is a click.
    press(x, y);
    motion(x, y - 10);
    release(x, y - 10);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), 3.0);
    EXPECT_FALSE(Document_isModified(doc()));

    // Dragged until its lower edge lies in the top layer: the layers swap.
    draw();
    Rect top = rect(device()->layers[0]->canvasRect);
    base = rect(device()->layers[1]->canvasRect);
    const int dy = (top.y0 + top.y1) / 2 - base.y1;
    press(x, y);
    motion(x, y + dy);
    release(x, y + dy);
    EXPECT_DOUBLE_EQ(layerReal(1, "Thickness"), 3.0);
    EXPECT_DOUBLE_EQ(layerReal(2, "Thickness"), 0.5);
    EXPECT_EQ(WindowMain_selectedLayerNumber(), 1) << "the moved layer stays selected";
    EXPECT_EQ(attr(KOV_WindowMain_Thickness, "VALUE"), "3");
    EXPECT_TRUE(Document_isModified(doc()));
}
