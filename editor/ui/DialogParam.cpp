// Layer Parameters dialog: the layer's label, thickness, doping density and
// band and recombination parameters, with three model buttons (bandgap,
// permittivity, recombination) and a small swatch of the layer in the
// colour of the main window's colouring mode. It and the Doping dialog
// reload each other after a store, both showing the doping density.
#include <cstdio>
#include <iterator>
#include <string>

#include "Dialogs.h"
#include "FileNames.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "param.h"
#include "settings.h"
#include "kovraHandles.h"

namespace {

const DialogField ParamFields[] = {
    {.word = "Label", .key = "Label", .caption = "Label"},
    {.word = "Thickness", .key = "Thickness", .caption = "Thickness (um)"},
    {.word = "Bandgap", .key = "Bandgap", .caption = "Bandgap (eV)"},
    {.word = "Affinity", .key = "Affinity", .caption = "Affinity (eV)"},
    {.word = "NC", .key = "NC", .caption = "NC (1/cm3)"},
    {.word = "NV", .key = "NV", .caption = "NV (1/cm3)"},
    {.word = "Permittivity", .key = "Permittivity", .caption = "Permittivity"},
    {.word = "Beta", .key = "Beta", .caption = "Beta (cm3/s)"},
    {.word = "Cn", .key = "Cn", .caption = "Cn (cm6/s)"},
    {.word = "Cp", .key = "Cp", .caption = "Cp (cm6/s)"},
    {.word = "Taun", .key = "Taun", .caption = "Taun (s)"},
    {.word = "Taup", .key = "Taup", .caption = "Taup (s)"},
    {.word = "Doping", .key = "Dopant.N", .caption = "Doping (1/cm3)"},
};

// A model button and the fields its ".lua" model computes.
struct ParamModel {
    const char* word;
    const char* key;
    const char* question;
    const char* caption;
    const char* filter;
    const char* title;  // "Bandgap" gives "Bandgap..." and "Bandgap*..."
    const char* governs[5];
};

const ParamModel ParamModels[] = {
    {"BandgapModel",
     "Bandgap.Model",
     "Select bandgap model?",
     "Bandgap model",
     "Kovra bandgap model|*.lua||",
     "Bandgap",
     {"Bandgap", "NC", "NV", "Affinity"}},
    {"PermittivityModel",
     "Permittivity.Model",
     "Select permittivity model?",
     "Permittivity model",
     "Kovra permittivity model|*.lua||",
     "Permittivity",
     {"Permittivity"}},
    {"RecombinationModel",
     "Recombination.Model",
     "Select recombination model?",
     "Recombination model",
     "Kovra recombination model|*.lua||",
     "Recombination",
     {"Beta", "Cn", "Cp", "Taun", "Taup"}},
};

bool endsInLua(const std::string& text) { return FileNames_namesLua(text); }

void lockGoverned(const DialogDescription* description, const char* const* words, int count,
                  bool lua)
{
    for (int i = 0; i < count && words[i] != nullptr; ++i) {
        Ihandle* field = Dialog_control(description, words[i]);
        if (field == nullptr) {
            continue;
        }
        if (lua) {
            IupSetAttribute(field, "VALUE", "Model");
        }
        IupSetAttribute(field, "ACTIVE", lua ? "NO" : "YES");
    }
}

const ParamModel* modelOf(Ihandle* button)
{
    for (const ParamModel& model : ParamModels) {
        char name[96];
        if (IupGetHandle(Dialog_controlName(&ParamDialog, model.word, name, sizeof name)) ==
            button) {
            return &model;
        }
    }
    return nullptr;
}

// After the frame filled the fields: an intrinsic layer's doping field is
// empty (its cue says "Intrinsic" and a store leaves the density alone),
// and each ".lua" model locks the fields it computes.
void load(const DialogDescription* description)
{
    Layer* layer = Dialog_selectedLayer(description);
    if (layer == nullptr) {
        return;
    }
    Ihandle* doping = Dialog_control(description, "Doping");
    if (doping != nullptr && Layer_getDopantType(layer) == DOPANT_INTRINSIC) {
        IupSetAttribute(doping, "VALUE", "");
    }
    const char* dopingWords[] = {"Doping"};
    lockGoverned(description, dopingWords, 1,
                 endsInLua(Dialog_valueText(Layer_findParam(layer, "Dopant.Model"))));
    for (const ParamModel& model : ParamModels) {
        Ihandle* button = Dialog_control(description, model.word);
        ParamRecord* record = Layer_findParam(layer, model.key);
        if (button == nullptr || record == nullptr) {
            continue;
        }
        const std::string text = Dialog_valueText(record);
        const bool lua = endsInLua(text);
        IupSetAttribute(button, KOV_Record, reinterpret_cast<const char*>(record));
        IupSetStrAttribute(button, "TIP", text.c_str());
        IupSetStrAttribute(button, "TITLE",
                           (std::string(model.title) + (lua ? "*..." : "...")).c_str());
        lockGoverned(description, model.governs, static_cast<int>(std::size(model.governs)), lua);
    }
    if (Ihandle* label = Dialog_control(description, "Label")) {
        IupSetAttribute(label, "CARET", "64");
    }
    if (Ihandle* canvas = Dialog_control(description, "LayerCanvas")) {
        IupUpdate(canvas);
    }
}

// After every field was taken: the label may have renamed the layer and
// the values recoloured it, and the Doping dialog shows the same density.
int store(const DialogDescription* description, int* /*changed*/)
{
    if (Layer* layer = Dialog_selectedLayer(description)) {
        Layer_updateColors(layer);
    }
    Doc_hooks().fillLayerList();
    Dialog_refillLayerList(description);
    Dialog_redrawCanvas();
    Dialog_load(&DopingDialog);
    return 1;
}

int onModel(Ihandle* button)
{
    const DialogDescription* description = Dialog_descriptionOf(button);
    const ParamModel* model = modelOf(button);
    if (description == nullptr || model == nullptr ||
        Dialog_selectedLayer(description) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask(model->question);
    if (answer == 5) {
        return IUP_DEFAULT;
    }
    std::string file = "None";
    if (answer == 3) {
        file = Dialog_chooseFile(description, model->caption, model->filter);
        if (file.empty()) {
            return IUP_DEFAULT;  // a cancelled choice keeps the model
        }
    }
    // Found after the questions, which may have saved the document.
    Layer* layer = Dialog_selectedLayer(description);
    ParamRecord* record = layer != nullptr ? Layer_findParam(layer, model->key) : nullptr;
    if (record == nullptr) {
        return IUP_DEFAULT;
    }
    bool changed = false;
    const int taken = Dialog_setFileRecord(record, file, &changed);
    Dialog_load(description);
    if (!taken) {
        Dialog_showMessage(description,
                           (std::string(model->caption) + ": not accepted: " + file).c_str());
        return IUP_DEFAULT;
    }
    Dialog_refreshMain();
    if (changed) {
        Document_setModified(Doc_document(), 1);
    }
    return IUP_DEFAULT;
}

std::string rgbText(const int* colour)
{
    char text[40];
    std::snprintf(text, sizeof text, "%d %d %d", colour[0], colour[1], colour[2]);
    return text;
}

// The swatch: the layer's colour for the colouring mode, framed, with its
// doping kind written in the middle when it fits.
int onDrawCanvas(Ihandle* canvas, float, float)
{
    Settings* settings = Doc_settings();
    if (settings == nullptr) {
        return IUP_DEFAULT;
    }
    IupDrawBegin(canvas);
    int width = 0, height = 0;
    IupDrawGetSize(canvas, &width, &height);
    const char* background = IupGetGlobal("DLGBGCOLOR");
    IupSetStrAttribute(canvas, "DRAWCOLOR", background != nullptr ? background : "240 240 240");
    IupDrawParentBackground(canvas);
    Layer* layer = Dialog_selectedLayer(&ParamDialog);
    if (layer != nullptr) {
        std::string colour = "240 245 250";
        if (settings->DeviceColorize == COLORIZE_DOPING) {
            colour = rgbText(layer->dopingColor);
        } else if (settings->DeviceColorize == COLORIZE_BANDGAP) {
            colour = rgbText(layer->bandgapColor);
        } else if (settings->DeviceColorize == COLORIZE_MESH) {
            colour = rgbText(layer->meshColor);
        }
        IupSetStrAttribute(canvas, "DRAWCOLOR", colour.c_str());
        IupSetAttribute(canvas, "DRAWSTYLE", "FILL");
        IupDrawRectangle(canvas, 0, 0, width - 1, height - 1);
        IupSetAttribute(canvas, "DRAWCOLOR", "200 50 100");
        IupSetAttribute(canvas, "DRAWSTYLE", "STROKE");
        IupDrawRectangle(canvas, 0, 0, width - 1, height - 1);
        const int type = Layer_getDopantType(layer);
        const char* text = type == DOPANT_DONOR      ? "ND"
                           : type == DOPANT_ACCEPTOR ? "NA"
                                                     : "Intrinsic";
        const int length = static_cast<int>(std::char_traits<char>::length(text));
        int textWidth = 0, textHeight = 0;
        IupDrawGetTextSize(canvas, text, length, &textWidth, &textHeight);
        if (textWidth < width && textHeight < height) {
            IupSetAttribute(canvas, "DRAWCOLOR", "0 0 0");
            IupDrawText(canvas, text, length, (width - textWidth) / 2, (height - textHeight) / 2,
                        -1, -1);
        }
    }
    IupDrawEnd(canvas);
    return IUP_DEFAULT;
}

Ihandle* canvas(const DialogDescription* description)
{
    Ihandle* canvas = IupCanvas(nullptr);
    IupSetAttributes(canvas, "ALIGNMENT=ACENTER, SIZE=80x12, BORDER=NO, MARGIN=0x0, GAP=0");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "LayerCanvas", name, sizeof name), canvas);
    IupSetCallback(canvas, "ACTION", onDrawCanvas);
    return canvas;
}

Ihandle* captionedRow(const DialogDescription* description, const char* a, const char* b,
                      const char* c)
{
    auto caption = [](Ihandle* field) {
        return Dialog_caption(IupGetAttribute(field, "PARAMTIP"));
    };
    Ihandle* fa = Dialog_control(description, a);
    Ihandle* fb = Dialog_control(description, b);
    Ihandle* fc = Dialog_control(description, c);
    return Dialog_vbox(
        {Dialog_hbox({caption(fa), caption(fb), caption(fc)}), Dialog_hbox({fa, fb, fc})});
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* label = Dialog_control(description, "Label");
    IupSetAttribute(label, "CUEBANNER", "Label");
    IupSetAttribute(Dialog_control(description, "Doping"), "CUEBANNER", "Intrinsic");
    Ihandle* buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = Dialog_button(description, (std::string(ParamModels[i].title) + "...").c_str(),
                                   ParamModels[i].word, onModel);
    }
    return Dialog_vbox({
        Dialog_hbox({Dialog_control(description, "LayerList"), canvas(description), label}),
        captionedRow(description, "Thickness", "Bandgap", "Affinity"),
        captionedRow(description, "NC", "NV", "Permittivity"),
        captionedRow(description, "Beta", "Cn", "Cp"),
        captionedRow(description, "Taun", "Taup", "Doping"),
        Dialog_hbox({buttons[0], buttons[1], buttons[2]}),
        Dialog_separator(),
        Dialog_hbox(
            {IupFill(), Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription ParamDialog = {
    .handle = KOV_WindowParam,
    .title = "Layer Parameters",
    .layerList = true,
    .fields = ParamFields,
    .columns = 3,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowParam_show() { Dialog_show(&ParamDialog); }
