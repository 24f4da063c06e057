// Refractive index dialog: the layer's n and k, or one of three sources
// that replace them: an index data file (".nk"), an index model (".lua") or
// the material database. The file wins over the model and the model over
// the database; the fields show which source governs them.
#include <string>
#include <strings.h>

#include "Dialogs.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "materials.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const DialogField IndexFields[] = {
    {.word = "n", .key = "Index.n", .caption = "n"},
    {.word = "k", .key = "Index.k", .caption = "k"},
};

// The two file buttons: a data file and a model script.
struct Source {
    const char* word;
    const char* key;
    const char* question;
    const char* filter;
    const char* suffix;
    const char* title;
    const char* starred;
};

const Source Sources[] = {
    {"File", "Index.File", "Select index data file?", "Kovra refractive index data file|*.nk||",
     ".nk", "File...", "File*..."},
    {"Model", "Index.Model", "Select index model?", "Kovra refractive index model|*.lua||", ".lua",
     "Model...", "Model*..."},
};

// A source governs when its record names a file of its kind.
bool valueEndsWith(const ParamRecord* record, const char* suffix)
{
    return record != nullptr && kov_endsWith(Dialog_valueText(record), suffix);
}

ParamRecord* layerRecord(const DialogDescription* description, const char* key)
{
    return Dialog_findRecord(description, DIALOG_FROM_LAYER, key);
}

const Source* sourceOf(Ihandle* button)
{
    const char* word = IupGetAttribute(button, KOV_IndexSource);
    for (const Source& s : Sources) {
        if (word != nullptr && std::string(word) == s.word) {
            return &s;
        }
    }
    return nullptr;
}

std::string materialOf(const DialogDescription* description)
{
    return Dialog_valueText(layerRecord(description, "Material"));
}

bool databaseHasIndex(const DialogDescription* description)
{
    return MaterialDb_hasIndexData(materialOf(description).c_str()) == 1;
}

std::string noIndexDataText(const DialogDescription* description)
{
    return "The material database holds no index data for " + materialOf(description);
}

void load(const DialogDescription* description)
{
    if (Dialog_selectedLayer(description) == nullptr) {
        return;
    }
    for (const Source& s : Sources) {
        Ihandle* button = Dialog_control(description, s.word);
        ParamRecord* record = layerRecord(description, s.key);
        if (button == nullptr || record == nullptr) {
            continue;
        }
        IupSetAttribute(button, KOV_Record, reinterpret_cast<const char*>(record));
        IupSetStrAttribute(button, "TIP", Dialog_valueText(record).c_str());
        IupSetAttribute(button, "TITLE", valueEndsWith(record, s.suffix) ? s.starred : s.title);
    }
    ParamRecord* database = layerRecord(description, "Index.Database");
    const bool fromDatabase = strcasecmp(Dialog_valueText(database).c_str(), "Yes") == 0;
    if (Ihandle* toggle = Dialog_control(description, "Database")) {
        IupSetAttribute(toggle, KOV_Record, reinterpret_cast<const char*>(database));
        IupSetAttribute(toggle, "VALUE", fromDatabase ? "ON" : "OFF");
        // Offered where the run can take it; a layer that asks for it
        // without data keeps the switch, so that it can be turned off.
        const bool available = databaseHasIndex(description);
        IupSetAttribute(toggle, "ACTIVE", available || fromDatabase ? "YES" : "NO");
        IupSetStrAttribute(toggle, "TIP", available ? "" : noIndexDataText(description).c_str());
    }
    const char* governor = valueEndsWith(layerRecord(description, "Index.File"), ".nk") ? "File"
                           : valueEndsWith(layerRecord(description, "Index.Model"), ".lua")
                               ? "Model"
                           : fromDatabase ? "Database"
                                          : nullptr;
    for (const DialogField& field : IndexFields) {
        Ihandle* ctl = Dialog_control(description, field.word);
        if (ctl == nullptr) {
            continue;
        }
        if (governor != nullptr) {
            IupSetAttribute(ctl, "VALUE", governor);
        }
        IupSetAttribute(ctl, "ACTIVE", governor != nullptr ? "NO" : "YES");
    }
}

int store(const DialogDescription* description, int* /*changed*/)
{
    if (Layer* layer = Dialog_selectedLayer(description)) {
        Layer_updateColors(layer);
    }
    return 1;
}

// "File..." and "Model...": yes chooses a file, no clears the source;
// cancelling the question or the file choice changes nothing.
int onSource(Ihandle* ih)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    const Source* source = sourceOf(ih);
    if (description == nullptr || source == nullptr ||
        Dialog_selectedLayer(description) == nullptr ||
        layerRecord(description, source->key) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask(source->question);
    if (answer != 3 && answer != 4) {
        return IUP_DEFAULT;
    }
    bool changed = false;
    int taken = 1;
    if (answer == 3) {
        const std::string file = Dialog_chooseFile(description, "Index file", source->filter);
        if (file.empty()) {
            return IUP_DEFAULT;
        }
        // Found after the choice: saving a new document first may come between.
        taken = Dialog_setFileRecord(layerRecord(description, source->key), file, &changed);
    } else {
        ParamRecord* record = layerRecord(description, source->key);
        const int revision = record->revision;
        taken = Param_setValueText(record, "", "", 1);
        changed = record->revision != revision;
    }
    Dialog_load(description);
    if (!taken) {
        Dialog_showMessage(description, (std::string(source->question) + " not accepted").c_str());
    }
    Dialog_refreshMain();
    if (changed) {
        Document_setModified(Doc_document(), 1);
    }
    return IUP_DEFAULT;
}

// The database switch works on the record at once, without Apply.
int onDatabase(Ihandle* ih, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(ih);
    ParamRecord* record =
        description != nullptr ? layerRecord(description, "Index.Database") : nullptr;
    if (record == nullptr) {
        return IUP_DEFAULT;
    }
    // The run would stop at this layer without data to take.
    if (state != 0 && !databaseHasIndex(description)) {
        IupSetAttribute(ih, "VALUE", "OFF");
        Dialog_showMessage(description, noIndexDataText(description).c_str());
        return IUP_DEFAULT;
    }
    const int revision = record->revision;
    Param_setValueText(record, state != 0 ? "Yes" : "No", "", 1);
    if (record->revision != revision) {
        Document_setModified(Doc_document(), 1);
    }
    Dialog_load(description);
    Dialog_refreshMain();
    return IUP_DEFAULT;
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* database = IupToggle("Database", nullptr);
    IupSetAttributes(database, "ALIGNMENT=ACENTER, SIZE=80x");
    char name[96];
    IupSetHandle(Dialog_controlName(description, "Database", name, sizeof name), database);
    IupSetCallback(database, "ACTION", onDatabase);
    Ihandle* buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = Dialog_button(description, Sources[i].title, Sources[i].word, onSource);
        IupSetAttribute(buttons[i], KOV_IndexSource, Sources[i].word);
    }
    return Dialog_vbox({
        Dialog_hbox({Dialog_control(description, "LayerList"), database}),
        Dialog_vbox(
            {Dialog_hbox({Dialog_caption("n"), Dialog_caption("k")}),
             Dialog_hbox({Dialog_control(description, "n"), Dialog_control(description, "k")})}),
        Dialog_hbox({buttons[0], buttons[1]}),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription IndexDialog = {
    .handle = KOV_WindowIndex,
    .title = "Refractive Index",
    .layerList = true,
    .fields = IndexFields,
    .columns = 2,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowIndex_show() { Dialog_show(&IndexDialog); }
