#include "DeviceCanvas.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "App.h"
#include "CanvasGeometry.h"
#include "CanvasState.h"
#include "FileNames.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "kovbase.h"
#include "libkovra.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

constexpr const char* CANVAS = KOV_DeviceCanvas;
constexpr const char* SELECTION_COLOUR = "200 50 100";
constexpr const char* PLAIN_FILL = "240 245 250";
constexpr const char* PLAIN_OUTLINE = "140 150 190";
constexpr const char* TEXT_COLOUR = "0 0 0";
constexpr int LUA_FILL[3] = {220, 200, 220};

Document* document() { return App_getDocument(); }
Device* device()
{
    Document* d = document();
    return d ? d->device : nullptr;
}
int& state(CanvasStateIndex i) { return document()->canvasState[i]; }

std::string rgb(const int c[3])
{
    char text[32];
    std::snprintf(text, sizeof text, "%d %d %d", c[0], c[1], c[2]);
    return text;
}

// 0xBBGGRR as normalizeColor takes it.
std::string shifted(const int c[3], int amount)
{
    long colour = normalizeColor(c[0] | (c[1] << 8) | (c[2] << 16), amount, amount, amount);
    int out[3] = {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF)};
    return rgb(out);
}

double realValue(ParamRecord* record)
{
    return record && record->type == PARAM_REAL ? record->value.real : 0.0;
}

double contactThickness(Contact* contact)
{
    if (contact == nullptr) {
        return 0.0;
    }
    for (std::string key : {std::string(contact->name) + ".Thickness", std::string("Thickness")}) {
        if (ParamRecord* record = Contact_findParam(contact, key.c_str())) {
            return realValue(record);
        }
    }
    return 0.0;
}

std::string layerText(Layer* layer, const char* key)
{
    char text[PARAM_VALUE_SIZE] = {};
    Layer_getValueText(layer, key, text);
    return text;
}

bool modelledByLua(Layer* layer, const char* key)
{
    return FileNames_namesLua(layerText(layer, key));
}

void rememberRect(int rect[4], const CanvasRect& r)
{
    rect[0] = r.x0;
    rect[1] = r.y0;
    rect[2] = r.x1;
    rect[3] = r.y1;
}

CanvasRect rectOf(const int rect[4]) { return {rect[0], rect[1], rect[2], rect[3]}; }

// The stack as it was last drawn.
CanvasLayout lastLayout()
{
    CanvasLayout layout;
    Device* d = device();
    if (d == nullptr) {
        return layout;
    }
    layout.anode = rectOf(d->anode->canvasRect);
    layout.cathode = rectOf(d->cathode->canvasRect);
    for (int i = 0; i < d->layerCount; ++i) {
        layout.layers.push_back(rectOf(d->layers[i]->canvasRect));
    }
    return layout;
}

void fillRect(Ihandle* canvas, const std::string& colour, int x0, int y0, int x1, int y1)
{
    IupSetStrAttribute(canvas, "DRAWCOLOR", colour.c_str());
    IupSetAttribute(canvas, "DRAWSTYLE", "FILL");
    IupDrawRectangle(canvas, x0, y0, x1, y1);
}

void outline(Ihandle* canvas, const std::string& colour, int x0, int y0, int x1, int y1,
             bool selected)
{
    IupSetStrAttribute(canvas, "DRAWCOLOR", colour.c_str());
    IupSetAttribute(canvas, "DRAWSTYLE", "STROKE");
    IupDrawRectangle(canvas, x0, y0, x1, y1);
    if (selected) {
        IupDrawRectangle(canvas, x0 + 1, y0 + 1, x1 - 1, y1 - 1);
    }
}

void textSize(Ihandle* canvas, const std::string& text, int& w, int& h)
{
    w = h = 0;
    IupDrawGetTextSize(canvas, text.c_str(), static_cast<int>(text.size()), &w, &h);
}

void centredText(Ihandle* canvas, const std::string& text, int width, int y)
{
    int w = 0, h = 0;
    textSize(canvas, text, w, h);
    IupSetAttribute(canvas, "DRAWCOLOR", TEXT_COLOUR);
    IupDrawText(canvas, text.c_str(), static_cast<int>(text.size()), std::max(0, (width - w) / 2),
                y, -1, -1);
}

void drawContact(Ihandle* canvas, Contact* contact, const CanvasRect& r, bool selected)
{
    fillRect(canvas, rgb(contact->color), r.x0, r.y0, r.x1 - 1, r.y1 - 1);
    outline(canvas, selected ? SELECTION_COLOUR : shifted(contact->color, -64), r.x0, r.y0,
            r.x1 - 1, r.y1 - 1, selected);
    rememberRect(contact->canvasRect, r);
}

void drawLayerLabels(Ihandle* canvas, Document* doc, Layer* layer, int index0, const CanvasRect& r,
                     int textHeight)
{
    const int width = r.x1 - r.x0;
    char item[512] = {};
    WindowMain_formatLayerItem(index0, item);
    std::string name = std::string(item).substr(0, 31);
    std::string doping;
    int type = Layer_getDopantType(layer);
    if (type == DOPANT_DONOR || type == DOPANT_ACCEPTOR) {
        char value[64];
        Real_format(realValue(Layer_findParam(layer, "Dopant.N")), value, sizeof value);
        doping = std::string(type == DOPANT_DONOR ? "ND = " : "NA = ") + value + "  [1/cm3]";
    } else {
        doping = type == DOPANT_INTRINSIC ? "Intrinsic" : "Unknown";
    }
    char thicknessText[64];
    Real_format(realValue(Layer_findParam(layer, "Thickness")), thicknessText,
                sizeof thicknessText);
    std::string thickness = std::string("t = ") + thicknessText + "  [um]";
    int points = Device_getLayerMeshPoints(doc, layer);
    std::string mesh =
        points < 0 ? "Mesh = File" : "Mesh = " + std::to_string(points) + "  [points]";

    CanvasTextSize nameSize, lineSize;
    textSize(canvas, name, nameSize.width, nameSize.height);
    textSize(canvas, doping, lineSize.width, lineSize.height);
    CanvasLabelPlan plan = CanvasGeometry_labelPlan(r, nameSize, static_cast<int>(name.size()),
                                                    lineSize, textHeight, points != 0);
    IupSetAttribute(canvas, "DRAWTEXTELLIPSIS", "Yes");
    if (plan.name) {
        centredText(canvas, name, width, plan.nameY);
    }
    const std::string* lines[3] = {&doping, &thickness, &mesh};
    for (int i = 0; i < plan.lines; ++i) {
        centredText(canvas, *lines[i], width, plan.lineY[i]);
    }
}

// Selects and shows a layer; the fields of the layer shown before are
// stored first unless the caller did that already.
void showLayerAt(int number, bool storeFields = true)
{
    if (storeFields) {
        WindowMain_applyFields(0, 0);
    }
    if (Ihandle* list = IupGetHandle(KOV_WindowMain_LayerList)) {
        IupSetInt(list, "VALUE", number);
    }
    WindowMain_setSelection(number, -1);
    WindowMain_showLayer();
}

void setCursor(Ihandle* canvas, const char* cursor) { IupSetAttribute(canvas, "CURSOR", cursor); }

void popupContactMenu(int contact)
{
    IupSetInt(nullptr, KOV_WindowContact_Selected, contact);
    Ihandle* item = IupItem("Parameters...", nullptr);
    IupSetCallback(item, "ACTION",
                   [](Ihandle*) { return WindowMain_openDialog(KOV_WindowContact); });
    if (!WindowMain_hasDialog(KOV_WindowContact)) {
        IupSetAttribute(item, "ACTIVE", "NO");
    }
    Ihandle* menu = IupMenu(item, nullptr);
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    IupDestroy(menu);
}

void popupLayerMenu()
{
    Ihandle* menu = WindowMain_createLayerMenu();
    if (menu == nullptr) {
        return;
    }
    WindowMain_onLayerMenuOpen(menu);
    IupSetAttribute(menu, "PARENTDIALOG", KOV_WindowMain);
    IupPopup(menu, IUP_MOUSEPOS, IUP_MOUSEPOS);
    IupDestroy(menu);
}

void endDrag(Ihandle* canvas, bool redraw)
{
    for (CanvasStateIndex i : {CS_MARKER_SHOWN, CS_MARKER_X0, CS_MARKER_Y0, CS_MARKER_X1,
                               CS_MARKER_Y1, CS_PRESS_X, CS_PRESS_Y, CS_LAST_X, CS_LAST_Y}) {
        state(i) = 0;
    }
    state(CS_MOVING_LAYER) = -1;
    state(CS_BORDER_LAYER) = -1;
    setCursor(canvas, "ARROW");
    if (redraw) {
        DeviceCanvas_redraw();
    }
}

CanvasRect marker()
{
    return {state(CS_MARKER_X0), state(CS_MARKER_Y0), state(CS_MARKER_X1), state(CS_MARKER_Y1)};
}

void setMarker(const CanvasRect& r)
{
    state(CS_MARKER_X0) = r.x0;
    state(CS_MARKER_Y0) = r.y0;
    state(CS_MARKER_X1) = r.x1;
    state(CS_MARKER_Y1) = r.y1;
}

void finishMove(Ihandle* canvas, int y)
{
    const int moving = state(CS_MOVING_LAYER);
    if (std::abs(y - state(CS_PRESS_Y)) < 13) {
        endDrag(canvas, true);
        return;
    }
    CanvasLayout layout = lastLayout();
    CanvasRect m = marker();
    int target = -1;
    for (size_t i = 0; i < layout.layers.size(); ++i) {
        const CanvasRect& r = layout.layers[i];
        if (m.y1 - 1 >= r.y0 && m.y1 - 1 < r.y1) {
            target = static_cast<int>(i) + 1;
        }
    }
    endDrag(canvas, false);
    if (target < 1 || target == moving) {
        DeviceCanvas_redraw();
        return;
    }
    WindowMain_applyFields(0, 0);
    WindowMain_setSelection(moving, -1);
    // One step at a time, so each move is the layer commands' own.
    int step = target > moving ? 1 : -1;
    for (int at = moving; at != target; at += step) {
        WindowMain_setSelection(at, -1);
        WindowMain_moveLayer(step);
    }
    showLayerAt(target, false);
}

void finishBorder(Ihandle* canvas, int y)
{
    Device* d = device();
    const int number = state(CS_BORDER_LAYER);
    CanvasLayout layout = lastLayout();
    CanvasRect m = marker();
    endDrag(canvas, false);
    if (number < 1 || number > d->layerCount) {
        DeviceCanvas_redraw();
        return;
    }
    Layer* layer = d->layers[number - 1];
    ParamRecord* record = Layer_findParam(layer, "Thickness");
    const int h = layout.layers[number - 1].height();
    double t = CanvasGeometry_draggedThickness(m.height(), h, realValue(record), m.height() - h);
    if (record == nullptr || t <= 0.0) {
        DeviceCanvas_redraw();
        return;
    }
    // The fields first: they still show the old thickness.
    WindowMain_applyFields(0, 0);
    char text[64];
    Real_format(t, text, sizeof text);
    int revision = record->revision;
    Param_setValueText(record, text, nullptr, 0);
    if (record->revision != revision) {
        Document_setModified(document(), 1);
    }
    for (int i = 0; i < d->layerCount; ++i) {
        Layer_updateColors(d->layers[i]);
    }
    showLayerAt(number, false);
}

}  // namespace

Ihandle* DeviceCanvas_create()
{
    Ihandle* canvas = IupCanvas(nullptr);
    IupSetHandle(CANVAS, canvas);
    IupSetAttributes(
        canvas, "EXPAND=VERTICAL, RASTERSIZE=250x, BORDER=NO, DROPFILESTARGET=YES, CANFOCUS=YES");
    IupSetCallback(canvas, "ACTION", DeviceCanvas_draw);
    IupSetCallback(canvas, "BUTTON_CB", DeviceCanvas_onButton);
    IupSetCallback(canvas, "MOTION_CB", DeviceCanvas_onMotion);
    IupSetCallback(canvas, "DROPFILES_CB", DeviceCanvas_onDropFiles);
    IupSetCallback(canvas, "KEYPRESS_CB", DeviceCanvas_onKeyPress);
    return canvas;
}

void DeviceCanvas_redraw()
{
    if (Ihandle* canvas = IupGetHandle(CANVAS)) {
        IupRedraw(canvas, 0);
    }
}

int DeviceCanvas_draw(Ihandle* canvas, float, float)
{
    Settings* settings = App_getSettings();
    Document* doc = document();
    Device* d = device();
    if (settings == nullptr || canvas == nullptr || d == nullptr || d->anode == nullptr ||
        d->cathode == nullptr || IupGetHandle(KOV_WindowMain_LayerList) == nullptr) {
        return IUP_DEFAULT;
    }
    IupDrawBegin(canvas);
    const char* background = IupGetGlobal("DLGBGCOLOR");
    IupSetStrAttribute(canvas, "DRAWCOLOR", background ? background : "240 240 240");
    IupDrawParentBackground(canvas);
    int width = 0, height = 0;
    IupDrawGetSize(canvas, &width, &height);

    std::vector<double> thicknesses;
    for (int i = 0; i < d->layerCount; ++i) {
        thicknesses.push_back(realValue(Layer_findParam(d->layers[i], "Thickness")));
    }
    CanvasLayout layout = CanvasGeometry_layout(width, height, contactThickness(d->anode),
                                                contactThickness(d->cathode), thicknesses);
    const int selectedLayer = doc->canvasState[CS_SELECTED_LAYER];
    const int selectedContact = doc->canvasState[CS_SELECTED_CONTACT];
    drawContact(canvas, d->anode, layout.anode, selectedContact == 1);

    int textWidth = 0, textHeight = 0;
    textSize(canvas, "QWy", textWidth, textHeight);
    textHeight += 4;
    const int mode = settings->DeviceColorize;
    for (int i = 0; i < d->layerCount; ++i) {
        Layer* layer = d->layers[i];
        const CanvasRect& r = layout.layers[i];
        std::string fill = PLAIN_FILL;
        const int* colour = nullptr;
        if (mode == COLORIZE_DOPING) {
            colour = modelledByLua(layer, "Dopant.Model") ? LUA_FILL : layer->dopingColor;
        } else if (mode == COLORIZE_BANDGAP) {
            colour = modelledByLua(layer, "Bandgap.Model") ? LUA_FILL : layer->bandgapColor;
        } else if (mode == COLORIZE_MESH) {
            colour = layer->meshColor;
        }
        if (colour != nullptr) {
            fill = rgb(colour);
        }
        fillRect(canvas, fill, r.x0, r.y0, r.x1 - 1, r.y1 - 1);
        const bool selected = selectedLayer == i + 1 && selectedContact < 1;
        std::string edge = selected ? SELECTION_COLOUR
                           : colour ? shifted(colour, -64)
                                    : PLAIN_OUTLINE;
        outline(canvas, edge, r.x0, r.y0, r.x1 - 1, r.y1 - 1, selected);
        rememberRect(layer->canvasRect, r);
        drawLayerLabels(canvas, doc, layer, i, r, textHeight);
    }
    drawContact(canvas, d->cathode, layout.cathode, selectedContact == 2);
    if (doc->canvasState[CS_MARKER_SHOWN]) {
        CanvasRect m = marker();
        IupSetAttribute(canvas, "DRAWCOLOR", SELECTION_COLOUR);
        IupSetAttribute(canvas, "DRAWSTYLE", "STROKE_DASH");
        IupDrawRectangle(canvas, m.x0 + 1, m.y0 + 1, m.x1 - 2, m.y1 - 2);
    }
    IupDrawEnd(canvas);
    return IUP_DEFAULT;
}

int DeviceCanvas_onButton(Ihandle* canvas, int button, int pressed, int x, int y, char* status)
{
    Device* d = device();
    if (d == nullptr || Dialog_isShown()) {
        return IUP_DEFAULT;
    }
    const bool dragging = state(CS_MOVING_LAYER) > 0 || state(CS_BORDER_LAYER) > 0;
    state(CS_MARKER_SHOWN) = 0;
    state(CS_MOTION_TIME) = 0;
    CanvasLayout layout = lastLayout();
    CanvasHit hit = CanvasGeometry_hitTest(layout, x, y);
    const bool doubleClick = status != nullptr && std::strlen(status) > 5 && status[5] == 'D';

    if (pressed) {
        IupSetFocus(canvas);
        if (hit.kind == CanvasHitKind::ANODE || hit.kind == CanvasHitKind::CATHODE) {
            int contact = hit.kind == CanvasHitKind::ANODE ? 1 : 2;
            if (WindowMain_selectedContact() != contact) {
                WindowMain_setSelection(WindowMain_selectedLayerNumber(), contact);
                DeviceCanvas_redraw();
            }
        } else {
            const int selected = WindowMain_selectedLayerNumber();
            // A press on the selected layer's border starts a resize even
            // though it lies outside the layer's hit area.
            const bool onBorder = button == IUP_BUTTON1 && WindowMain_selectedContact() < 1 &&
                                  CanvasGeometry_isOnBorder(layout, selected, x, y);
            WindowMain_setSelection(selected, -1);
            if (hit.kind == CanvasHitKind::LAYER && !onBorder) {
                showLayerAt(hit.layer);
            }
            if (button == IUP_BUTTON1 && d->layerCount > 1) {
                const int current = WindowMain_selectedLayerNumber();
                const bool startBorder = CanvasGeometry_isOnBorder(layout, current, x, y);
                const bool startMove =
                    !startBorder && hit.kind == CanvasHitKind::LAYER && hit.layer == current;
                if (startBorder || startMove) {
                    state(startBorder ? CS_BORDER_LAYER : CS_MOVING_LAYER) = current;
                    setMarker(layout.layers[current - 1]);
                    state(CS_MARKER_SHOWN) = 1;
                    state(CS_PRESS_X) = state(CS_LAST_X) = x;
                    state(CS_PRESS_Y) = state(CS_LAST_Y) = y;
                    setCursor(canvas, startBorder ? "RESIZE_NS" : "ARROW");
                }
            }
        }
        if (doubleClick) {
            endDrag(canvas, false);
            if (hit.kind == CanvasHitKind::LAYER) {
                WindowMain_openDialog(KOV_WindowParam);
            } else if (hit.kind != CanvasHitKind::NONE) {
                IupSetInt(nullptr, KOV_WindowContact_Selected,
                          hit.kind == CanvasHitKind::ANODE ? 1 : 2);
                WindowMain_openDialog(KOV_WindowContact);
            }
        }
        return IUP_DEFAULT;
    }

    if (button == IUP_BUTTON3) {
        if (hit.kind == CanvasHitKind::ANODE || hit.kind == CanvasHitKind::CATHODE) {
            popupContactMenu(hit.kind == CanvasHitKind::ANODE ? 1 : 2);
        } else if (hit.kind == CanvasHitKind::LAYER) {
            popupLayerMenu();
        }
        return IUP_DEFAULT;
    }
    if (button == IUP_BUTTON1 && dragging) {
        if (state(CS_MOVING_LAYER) > 0) {
            finishMove(canvas, y);
        } else {
            finishBorder(canvas, y);
        }
        return IUP_DEFAULT;
    }
    endDrag(canvas, true);
    return IUP_DEFAULT;
}

int DeviceCanvas_onMotion(Ihandle* canvas, int x, int y, char*)
{
    if (device() == nullptr || Dialog_isShown()) {
        return IUP_DEFAULT;
    }
    const int now = static_cast<int>(static_cast<long long>(kov_clockMs()) & 0x3FFFFFFF);
    if (state(CS_MOTION_TIME) < 12) {
        state(CS_MOTION_TIME) = now;
    } else if (now - state(CS_MOTION_TIME) < 19) {
        return IUP_DEFAULT;
    }
    state(CS_MOTION_TIME) = now;
    CanvasLayout layout = lastLayout();
    const int moving = state(CS_MOVING_LAYER);
    const int border = state(CS_BORDER_LAYER);
    if (moving < 1 && border < 1) {
        const bool onBorder =
            WindowMain_selectedContact() < 1 &&
            CanvasGeometry_isOnBorder(layout, WindowMain_selectedLayerNumber(), x, y);
        setCursor(canvas, onBorder ? "RESIZE_NS" : "ARROW");
        return IUP_DEFAULT;
    }
    const int dy = y - state(CS_LAST_Y);
    CanvasDrag drag = moving > 0                                         ? CanvasDrag::MOVE
                      : border == static_cast<int>(layout.layers.size()) ? CanvasDrag::LAST_BORDER
                                                                         : CanvasDrag::BORDER;
    setMarker(CanvasGeometry_dragMarker(marker(), drag, dy));
    state(CS_MARKER_SHOWN) = 1;
    state(CS_LAST_X) = x;
    state(CS_LAST_Y) = y;
    DeviceCanvas_redraw();
    return IUP_DEFAULT;
}

int DeviceCanvas_onDropFiles(Ihandle*, const char* fileName, int, int, int)
{
    if (fileName != nullptr) {
        std::string file = fileName;  // the open may change what the pointer shows
        Document_open(file.c_str(), 1, 1);
    }
    return IUP_IGNORE;
}

int DeviceCanvas_onKeyPress(Ihandle* canvas, int key, int pressed)
{
    if (!pressed || IupGetFocus() != canvas || document() == nullptr || Dialog_isShown()) {
        return IUP_CONTINUE;
    }
    switch (key) {
    case K_UP:
    case K_PGUP: WindowMain_stepSelection(0, -1); break;
    case K_DOWN:
    case K_PGDN: WindowMain_stepSelection(0, +1); break;
    case K_cUP: WindowMain_moveLayer(-1); break;
    case K_cDOWN: WindowMain_moveLayer(+1); break;
    case K_DEL: WindowMain_deleteLayer(); break;
    case K_INS: WindowMain_insertLayer(); break;
    default:
        if (iup_XkeyBase(key) == K_CR) {
            if (int contact = WindowMain_selectedContact(); contact > 0) {
                IupSetInt(nullptr, KOV_WindowContact_Selected, contact);
                WindowMain_openDialog(KOV_WindowContact);
            } else if (WindowMain_selectedLayerNumber() >= 1) {
                WindowMain_openDialog(KOV_WindowParam);
            }
        }
        break;
    }
    DeviceCanvas_redraw();
    return IUP_CONTINUE;
}
