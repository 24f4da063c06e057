// Doping dialog: the layer's dopant type, density, recombination density,
// lifetimes and an optional doping model. The type goes through the
// layer's own type routine, which also recolours the layer.

#include "Dialogs.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "layer.h"
#include "kovraHandles.h"

namespace {

const DialogField DopingFields[] = {
    {.word = "N", .key = "Dopant.N", .caption = "N (1/cm3)", .governed = true},
    {.word = "Nr", .key = "Dopant.Nr", .caption = "Nr (1/cm3)", .governed = true},
    {.word = "Taun", .key = "Dopant.Taun", .caption = "Taun (s)", .governed = true},
    {.word = "Taup", .key = "Dopant.Taup", .caption = "Taup (s)", .governed = true},
};

const DialogModel DopingModel = {
    .key = "Dopant.Model",
    .question = "Select doping model?",
    .caption = "Doping model",
    .filter = "Kovra doping model|*.lua||",
};

// List positions: 1 donor, 2 acceptor, 3 intrinsic.
int typeItem(int code) { return code == DOPANT_ACCEPTOR ? 2 : code == DOPANT_INTRINSIC ? 3 : 1; }

int typeCode(int item)
{
    return item == 2 ? DOPANT_ACCEPTOR : item == 3 ? DOPANT_INTRINSIC : DOPANT_DONOR;
}

Ihandle* buildTypeList(const DialogDescription* description)
{
    Ihandle* list = IupList(nullptr);
    IupSetAttributes(list, "ALIGNMENT=ACENTER, SIZE=80x, SHOWIMAGE=NO, DROPDOWN=YES, SORT=NO");
    IupSetAttribute(list, "1", "Donor");
    IupSetAttribute(list, "2", "Acceptor");
    IupSetAttribute(list, "3", "Intrinsic");
    IupSetAttribute(list, "VALUE", "1");
    IupSetAttribute(list, KOV_Caption, "Type");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "TypeList", name, sizeof name), list);
    IupSetCallback(list, "GETFOCUS_CB", Dialog_onFocus);
    return list;
}

// The type list always shows the layer's own type, with or without a
// model, so that a store never changes a type nobody chose.
void loadType(const DialogDescription* description)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* list = Dialog_control(description, "TypeList");
    if (layer == nullptr || list == nullptr) {
        return;
    }
    IupSetInt(list, "VALUE", typeItem(Layer_getDopantType(layer)));
    IupSetAttribute(list, KOV_Record,
                    reinterpret_cast<const char*>(Layer_findParam(layer, "Dopant.Type")));
}

void redrawCanvas()
{
    if (Ihandle* canvas = IupGetHandle(KOV_DeviceCanvas)) {
        IupUpdate(canvas);
    }
}

int storeType(const DialogDescription* description, int* changed)
{
    Layer* layer = Dialog_selectedLayer(description);
    Ihandle* list = Dialog_control(description, "TypeList");
    if (layer == nullptr || list == nullptr) {
        return 0;
    }
    Layer_updateColors(layer);
    const int code = typeCode(IupGetInt(list, "VALUE"));
    if (code != Layer_getDopantType(layer)) {
        if (Layer_setDopantType(layer, code) == DOPANT_UNKNOWN) {
            Dialog_showMessage(description, "Type: not accepted");
            return 0;
        }
        ++*changed;
    }
    redrawCanvas();
    // The layer lists' " (P)", " (N)", " (I)" marks follow the type.
    Doc_hooks().fillLayerList();
    Dialog_refillLayerList(description);
    // The Layer Parameters dialog shows the same density.
    Dialog_load(&ParamDialog);
    return 1;
}

}  // namespace

const DialogDescription DopingDialog = {
    .handle = KOV_WindowDoping,
    .title = "Doping",
    .layerList = true,
    .fields = DopingFields,
    .model = &DopingModel,
    .columns = 2,
    .captions = true,
    .buildExtra = buildTypeList,
    .loadExtra = loadType,
    .storeExtra = storeType,
};

void WindowDoping_show() { Dialog_show(&DopingDialog); }
