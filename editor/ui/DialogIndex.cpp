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

ParamRecord* layerRecord(const DialogSpec* spec, const char* key)
{
    return Dialog_findRecord(spec, DIALOG_FROM_LAYER, key);
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

std::string materialOf(const DialogSpec* spec)
{
    return Dialog_valueText(layerRecord(spec, "Material"));
}

bool databaseHasIndex(const DialogSpec* spec)
{
    return MaterialDb_hasIndexData(materialOf(spec).c_str()) == 1;
}

std::string noIndexDataText(const DialogSpec* spec)
{
    return "The material database holds no index data for " + materialOf(spec);
}

void load(const DialogSpec* spec)
{
    if (Dialog_selectedLayer(spec) == nullptr) {
        return;
    }
    for (const Source& s : Sources) {
        Ihandle* button = Dialog_control(spec, s.word);
        ParamRecord* record = layerRecord(spec, s.key);
        if (button == nullptr || record == nullptr) {
            continue;
        }
        IupSetAttribute(button, KOV_Record, reinterpret_cast<const char*>(record));
        IupSetStrAttribute(button, "TIP", Dialog_valueText(record).c_str());
        IupSetAttribute(button, "TITLE", valueEndsWith(record, s.suffix) ? s.starred : s.title);
    }
    ParamRecord* database = layerRecord(spec, "Index.Database");
    const bool fromDatabase = strcasecmp(Dialog_valueText(database).c_str(), "Yes") == 0;
    if (Ihandle* toggle = Dialog_control(spec, "Database")) {
        IupSetAttribute(toggle, KOV_Record, reinterpret_cast<const char*>(database));
        IupSetAttribute(toggle, "VALUE", fromDatabase ? "ON" : "OFF");
        // Offered where the run can take it; a layer that asks for it
        // without data keeps the switch, so that it can be turned off.
        const bool available = databaseHasIndex(spec);
        IupSetAttribute(toggle, "ACTIVE", available || fromDatabase ? "YES" : "NO");
        IupSetStrAttribute(toggle, "TIP", available ? "" : noIndexDataText(spec).c_str());
    }
    const char* governor = valueEndsWith(layerRecord(spec, "Index.File"), ".nk")     ? "File"
                           : valueEndsWith(layerRecord(spec, "Index.Model"), ".lua") ? "Model"
                           : fromDatabase                                            ? "Database"
                                                                                     : nullptr;
    for (const DialogField& field : IndexFields) {
        Ihandle* ctl = Dialog_control(spec, field.word);
        if (ctl == nullptr) {
            continue;
        }
        if (governor != nullptr) {
            IupSetAttribute(ctl, "VALUE", governor);
        }
        IupSetAttribute(ctl, "ACTIVE", governor != nullptr ? "NO" : "YES");
    }
}

int store(const DialogSpec* spec, int* /*changed*/)
{
    if (Layer* layer = Dialog_selectedLayer(spec)) {
        Layer_updateColors(layer);
    }
    return 1;
}

// "File..." and "Model...": yes chooses a file, no clears the source;
// cancelling the question or the file choice changes nothing.
int onSource(Ihandle* ih)
{
    const DialogSpec* spec = Dialog_specOf(ih);
    const Source* source = sourceOf(ih);
    if (spec == nullptr || source == nullptr || Dialog_selectedLayer(spec) == nullptr ||
        layerRecord(spec, source->key) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask(source->question);
    if (answer != 3 && answer != 4) {
        return IUP_DEFAULT;
    }
    bool changed = false;
    int taken = 1;
    if (answer == 3) {
        const std::string file = Dialog_chooseFile(spec, "Index file", source->filter);
        if (file.empty()) {
            return IUP_DEFAULT;
        }
        // Found after the choice: saving a new document first may come between.
        taken = Dialog_setFileRecord(layerRecord(spec, source->key), file, &changed);
    } else {
        ParamRecord* record = layerRecord(spec, source->key);
        const int revision = record->revision;
        taken = Param_setValueText(record, "", "", 1);
        changed = record->revision != revision;
    }
    Dialog_load(spec);
    if (!taken) {
        Dialog_showMessage(spec, (std::string(source->question) + " not accepted").c_str());
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
    const DialogSpec* spec = Dialog_specOf(ih);
    ParamRecord* record = spec != nullptr ? layerRecord(spec, "Index.Database") : nullptr;
    if (record == nullptr) {
        return IUP_DEFAULT;
    }
    // The run would stop at this layer without data to take.
    if (state != 0 && !databaseHasIndex(spec)) {
        IupSetAttribute(ih, "VALUE", "OFF");
        Dialog_showMessage(spec, noIndexDataText(spec).c_str());
        return IUP_DEFAULT;
    }
    const int revision = record->revision;
    Param_setValueText(record, state != 0 ? "Yes" : "No", "", 1);
    if (record->revision != revision) {
        Document_setModified(Doc_document(), 1);
    }
    Dialog_load(spec);
    Dialog_refreshMain();
    return IUP_DEFAULT;
}

Ihandle* layout(const DialogSpec* spec)
{
    Ihandle* database = IupToggle("Database", nullptr);
    IupSetAttributes(database, "ALIGNMENT=ACENTER, SIZE=80x");
    char name[96];
    IupSetHandle(Dialog_controlName(spec, "Database", name, sizeof name), database);
    IupSetCallback(database, "ACTION", onDatabase);
    Ihandle* buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = Dialog_button(spec, Sources[i].title, Sources[i].word, onSource);
        IupSetAttribute(buttons[i], KOV_IndexSource, Sources[i].word);
    }
    return Dialog_vbox({
        Dialog_hbox({Dialog_control(spec, "LayerList"), database}),
        Dialog_vbox({Dialog_hbox({Dialog_caption("n"), Dialog_caption("k")}),
                     Dialog_hbox({Dialog_control(spec, "n"), Dialog_control(spec, "k")})}),
        Dialog_hbox({buttons[0], buttons[1]}),
        Dialog_separator(),
        Dialog_hbox({Dialog_control(spec, "Apply"), Dialog_control(spec, "OK")}),
    });
}

}  // namespace

const DialogSpec IndexDialog = {
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
