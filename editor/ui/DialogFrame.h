// The frame every parameter dialog of the editor is built on: a small
// modeless window of text fields, each bound to one ParamRecord of the
// current document through its "KOV_Record" attribute, stored back with
// Apply or OK through Param_setValueText, following a layer list of its own
// for layer dialogs, and with an optional model-file button.
//
// A dialog is described by a DialogDescription (a table of fields); the frame does
// the rest. Records are found again by key in the current document at every
// load and store, so a dialog never writes through a record of a device that
// opening a file has replaced or freed.
#pragma once

#include <initializer_list>
#include <span>
#include <string>

#include "iup.h"

struct Document;
struct Device;
struct ParamRecord;

// Where a field's record lives.
enum DialogSource {
    DIALOG_FROM_LAYER,   // the layer chosen in the dialog's own layer list
    DIALOG_FROM_DEVICE,  // the Device's own records ("Temperature", ...)
    DIALOG_FROM_VOLTAGE,
    DIALOG_FROM_LIGHT,
    DIALOG_FROM_NUMERIC,
    // The contact chosen in the dialog's own contact list ("ContactList",
    // attribute "KOV_WindowContact_Selected": 1 anode, 2 cathode); the key
    // is given without its "Anode." or "Cathode." prefix.
    DIALOG_FROM_CONTACT,
};

struct DialogField {
    const char* word = nullptr;     // control handle: the dialog's handle + "_" + word
    const char* key = nullptr;      // record key
    const char* caption = nullptr;  // caption with unit, shown above the field and in the title
    DialogSource source = DIALOG_FROM_LAYER;
    bool governed = false;  // shows "Model" and is locked while a ".lua" model is set
};

// The model-file button (the dialog's handle + "_Model").
struct DialogModel {
    const char* key = nullptr;
    const char* question = nullptr;
    const char* caption = nullptr;
    const char* filter = nullptr;
    DialogSource source = DIALOG_FROM_LAYER;  // where the model record lives
};

// Written with designated initialisers; a member left out keeps the default
// given here.
struct DialogDescription {
    // The dialog's handle (KOV_WindowLattice); its controls are named after
    // it: KOV_WindowLattice + "_" + the control's word.
    const char* handle = nullptr;
    const char* title = nullptr;
    bool layerList = false;                    // a layer dialog: its first cell is the layer list
    std::span<const DialogField> fields = {};  // the field table, an array
    const DialogModel* model = nullptr;        // null: no model button
    int columns = 1;                           // cells per row (the layer list counts as a cell)
    bool captions = false;                     // caption labels above the fields
    bool storeOnClose = false;                 // the close box stores (and stays open on a refusal)
    // A dialog with controls of its own beyond the fields: a row built above
    // the fields, its load after the fields', its store after every field was
    // taken (1 taken; changed counts records whose revision moved).
    Ihandle* (*buildExtra)(const DialogDescription* description) = nullptr;
    void (*loadExtra)(const DialogDescription* description) = nullptr;
    int (*storeExtra)(const DialogDescription* description, int* changed) = nullptr;
    // A dialog whose rows do not follow the frame's pairs places the
    // controls itself: the frame makes the layer list, the fields, the
    // model button and the Apply and OK buttons (each under its handle), and
    // the layout builds its own controls, places them all and returns the
    // content; buildExtra is not called then.
    Ihandle* (*layout)(const DialogDescription* description) = nullptr;
    // A dialog's own controls follow a change made elsewhere (the main
    // window, another dialog) to the records they show; the fields follow
    // through the frame.
    void (*followExtra)(const DialogDescription* description) = nullptr;
};

// What the dialogs ask of the main window. The main window installs its own
// routines with Dialogs_setHost; without them the dialogs work alone (layer
// 1 is current, nothing is refreshed), which is how they run in tests. A
// routine left null keeps that lone behaviour.
struct DialogHost {
    int (*currentLayer)() = nullptr;            // 1-based layer the main window shows
    void (*selectLayer)(int number) = nullptr;  // main window follows a dialog's layer choice
    void (*showLayer)() = nullptr;              // main window refreshes its fields
    // Saves a never-saved document before a model file is chosen; 1 when saved.
    int (*saveDocument)() = nullptr;
};
void Dialogs_setHost(const DialogHost* host);

// ---- the frame's operations (any dialog) ----------------------------------
// Builds and shows the dialog, or focuses it when it is open already.
void Dialog_show(const DialogDescription* description);
// Records to controls; nothing when the dialog is not open.
void Dialog_load(const DialogDescription* description);
// Controls to records: 1 when every value was taken, 0 at the first refusal
// (that field focused, the refusal shown in the dialog's message line).
int Dialog_store(const DialogDescription* description);
// Destroys the dialog without storing.
void Dialog_close(const DialogDescription* description);
int Dialog_isOpen(const DialogDescription* description);

// Dialogs register through the main window's Dialog_register, which
// counts them in the global "KOV_WindowInput_Shown".
// The number of parameter dialogs open; layer moves, inserts and deletes
// are refused while it is above 0.
int Dialogs_openCount();

// The document's Device was replaced (a file opened, a template made):
// every open dialog is bound to the new device and shows its values; a
// layer dialog whose layer no longer exists follows the main window's one.
void Dialogs_rebindAll();
// Records changed elsewhere (the main window's fields and toggles, another
// dialog's store): every open dialog shows the new value of each record
// that changed since it loaded it, keeping what the user typed into the
// others, so a later Apply does not put the old value back.
void Dialogs_followChanges();
// A record's text as a dialog loaded it, kept on the control that shows it;
// a follow compares the record with it.
void Dialog_rememberLoaded(Ihandle* control, const ParamRecord* record);
bool Dialog_changedSinceLoad(Ihandle* control, const ParamRecord* record);
// Closes every open dialog without storing (the document is going away).
void Dialogs_closeAll();

// Frame services for a dialog's own controls.
Ihandle* Dialog_control(const DialogDescription* description, const char* word);
Ihandle* Dialog_button(const DialogDescription* description, const char* title, const char* word,
                       int (*action)(Ihandle*));
// The frame's own callbacks, for a dialog that lays out its own controls:
// Apply stores; OK stores and closes when every value was taken; focus
// titles.
int Dialog_onApply(Ihandle* ih);
int Dialog_onOk(Ihandle* ih);
int Dialog_onFocus(Ihandle* ih);
int Dialog_onFocusLost(Ihandle* ih);
// The dialog a control belongs to.
const DialogDescription* Dialog_descriptionOf(Ihandle* ih);
// The record of a key in the current document, from the given source.
ParamRecord* Dialog_findRecord(const DialogDescription* description, DialogSource source,
                               const char* key);
// 3 yes, 4 no, 5 cancel.
int Dialog_ask(const char* question);
// A file chosen for a record (a bare name when it lies in the document's
// folder); empty when cancelled or when a never-saved document was not
// saved first.
std::string Dialog_chooseFile(const DialogDescription* description, const char* caption,
                              const char* filter);
// Enters a file name (or "None") into a text record, quoted so that blanks,
// '#' and ';' in a path stay part of it: 1 taken; *changed set when the
// record's revision moved.
int Dialog_setFileRecord(ParamRecord* record, const std::string& file, bool* changed);
// Layout services: a caption label (centred above its field), a text field
// not in the description's table (frame attributes, PARAMTIP and focus titles), a
// horizontal or vertical box of the frame's spacing, a separator line, and
// a choice list of the frame's look with its items.
Ihandle* Dialog_caption(const char* text);
Ihandle* Dialog_field(const DialogDescription* description, const char* word, const char* caption);
Ihandle* Dialog_hbox(std::initializer_list<Ihandle*> children);
Ihandle* Dialog_vbox(std::initializer_list<Ihandle*> children);
Ihandle* Dialog_separator();
Ihandle* Dialog_list(const DialogDescription* description, const char* word,
                     std::initializer_list<const char*> items);
// Enters a field's text into a record through the value entry: 1 taken; a
// refusal focuses the field and says why in the message line, after the
// caption. changed rises when the record's revision moved.
int Dialog_takeText(const DialogDescription* description, Ihandle* field, ParamRecord* record,
                    const char* caption, int* changed);
// Tries a field's text on a copy of the record, by the same rules as the
// value entry (expressions, variables, ranges), changing nothing: 1 when it
// would be taken; else the field is focused and the refusal shown.
int Dialog_testText(const DialogDescription* description, Ihandle* field, const ParamRecord* record,
                    const char* caption);
// Enters a text the dialog chose itself (a list item, a source word) into a
// record: 1 taken. changed rises when the record's revision moved.
int Dialog_storeText(ParamRecord* record, const char* text, int* changed);
// A record's value text ("" without a record).
std::string Dialog_valueText(const ParamRecord* record);
// The device canvas shows a changed colour or type.
void Dialog_redrawCanvas();
// Shows a text in the dialog's message line (the reason of a refusal).
void Dialog_showMessage(const DialogDescription* description, const char* text);
Device* Dialog_device();
struct Layer;
// The layer a layer dialog is bound to (null when it names none).
Layer* Dialog_selectedLayer(const DialogDescription* description);
// Rebuilds a layer dialog's list (its marks follow the dopant types),
// keeping its layer.
void Dialog_refillLayerList(const DialogDescription* description);
// The main window refreshes its fields, and the open dialogs follow the
// records that changed.
void Dialog_refreshMain();
// The 1-based layer the main window shows.
int Dialog_mainLayer();

// Handle name of a dialog control (KOV_WindowLattice + "_" + word).
const char* Dialog_controlName(const DialogDescription* description, const char* word, char* out,
                               int size);
