// Numeric dialog: the solver settings of the Numeric section (method,
// innermost linear solver, tolerance, damping) and the mesh: uniform with
// one point count, per layer with each layer's own count, or read from a
// mesh file; and an optional initial-guess file. While a mesh or guess file
// is set the mesh controls show "File" and rest; as soon as neither is set
// they are live again.
#include <cstring>
#include <iterator>
#include <string>

#include "App.h"
#include "Dialogs.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "layer.h"
#include "param.h"
#include "kovraHandles.h"

namespace {

const DialogField NumericFields[] = {
    {.word = "Tol", .key = "Numeric.Tol", .caption = "Tolerance", .source = DIALOG_FROM_NUMERIC},
    {.word = "Damp",
     .key = "Numeric.Damp",
     .caption = "Damp Factor",
     .source = DIALOG_FROM_NUMERIC},
    {.word = "Points",
     .key = "Numeric.Points",
     .caption = "Mesh Points",
     .source = DIALOG_FROM_NUMERIC},
    {.word = "LayerPoints", .key = "Mesh.Points", .caption = "Layer Mesh Points"},
};

const char* const Solvers[] = {"bicgstab", "bicgstabl", "bicgsafe", "gmres",
                               "fgmres",   "minres",    "tfqmr",    "bicrstab"};

const char* const MESH_SELECTED = KOV_WindowNumeric_MeshSelected;

enum MeshMode { MESH_GUESS_FILE, MESH_UNIFORM, MESH_LAYER, MESH_FILE, MESH_NONE };

// A mesh or guess file chooser: its record, question and the endings a
// file of its kind has.
struct FileChoice {
    const char* word;
    const char* key;
    const char* question;
    const char* caption;
    const char* filter;
    const char* endings[3];
    const char* title;  // "Mesh File" gives "Mesh File..." and "Mesh File*..."
};

const FileChoice MeshChoice = {"MeshFile",
                               "Numeric.Mesh",
                               "Select custom mesh file?",
                               "Mesh file",
                               "Kovra mesh files|*.txt;*.dat;*.mesh||",
                               {".txt", ".dat", ".mesh"},
                               "Mesh File"};
const FileChoice GuessChoice = {"GuessFile",
                                "Numeric.Guess",
                                "Select custom initial guess file?",
                                "Guess file",
                                "Kovra guess files|*.txt;*.dat;*.guess||",
                                {".txt", ".dat", ".guess"},
                                "Guess File"};

bool hasEnding(const std::string& text, const FileChoice& choice)
{
    for (const char* ending : choice.endings) {
        if (kov_endsWith(text, ending)) {
            return true;
        }
    }
    return false;
}

std::string numericText(const DialogDescription* description, const char* key)
{
    return Dialog_valueText(Dialog_findRecord(description, DIALOG_FROM_NUMERIC, key));
}

MeshMode meshMode(const DialogDescription* description)
{
    if (hasEnding(numericText(description, "Numeric.Guess"), GuessChoice)) {
        return MESH_GUESS_FILE;
    }
    const std::string mesh = numericText(description, "Numeric.Mesh");
    if (mesh == "Uniform") {
        return MESH_UNIFORM;
    }
    if (mesh == "Layer") {
        return MESH_LAYER;
    }
    if (hasEnding(mesh, MeshChoice)) {
        return MESH_FILE;
    }
    return MESH_NONE;
}

void setState(Ihandle* control, const char* value, bool active)
{
    if (control == nullptr) {
        return;
    }
    if (value != nullptr) {
        IupSetAttribute(control, "VALUE", value);
    }
    IupSetAttribute(control, "ACTIVE", active ? "YES" : "NO");
}

void showFileButton(const DialogDescription* description, const FileChoice& choice)
{
    Ihandle* button = Dialog_control(description, choice.word);
    ParamRecord* record = Dialog_findRecord(description, DIALOG_FROM_NUMERIC, choice.key);
    if (button == nullptr) {
        return;
    }
    const std::string text = Dialog_valueText(record);
    const bool set = hasEnding(text, choice);
    IupSetAttribute(button, KOV_Record, reinterpret_cast<const char*>(record));
    IupSetStrAttribute(button, "TITLE",
                       (std::string(choice.title) + (set ? "*..." : "...")).c_str());
    IupSetStrAttribute(button, "TIP", set ? text.c_str() : "");
    const std::string path = set ? text : std::string();
    if (&choice == &MeshChoice) {
        App_setMeshFile(set ? path.c_str() : nullptr);
    } else {
        App_setGuessFile(set ? path.c_str() : nullptr);
    }
}

// After the frame filled the fields: the lists, the file buttons and which
// mesh controls are live in the present mode.
void load(const DialogDescription* description)
{
    if (Ihandle* method = Dialog_control(description, "MethodList")) {
        IupSetAttribute(method, "VALUE",
                        numericText(description, "Numeric.Method") == "Newton" ? "2" : "1");
    }
    showFileButton(description, MeshChoice);
    showFileButton(description, GuessChoice);

    Ihandle* meshList = Dialog_control(description, "MeshList");
    Ihandle* layerList = Dialog_control(description, "LayerList");
    Ihandle* points = Dialog_control(description, "Points");
    Ihandle* layerPoints = Dialog_control(description, "LayerPoints");
    if (meshList == nullptr || layerList == nullptr || points == nullptr ||
        layerPoints == nullptr) {
        return;
    }
    MeshMode mode = meshMode(description);
    // Without a mode of its own the section takes the list's last choice at
    // the next store; show that choice now.
    if (mode == MESH_NONE) {
        mode = IupGetInt(meshList, MESH_SELECTED) == 2 ? MESH_LAYER : MESH_UNIFORM;
    }
    switch (mode) {
    case MESH_UNIFORM:
        IupSetInt(meshList, MESH_SELECTED, 1);
        setState(meshList, "1", true);
        // Empty, so that its cue "Uniform" shows: the word is longer than
        // the five digits the field takes.
        setState(layerPoints, "", false);
        setState(points, nullptr, true);
        setState(layerList, nullptr, false);
        break;
    case MESH_LAYER:
        IupSetInt(meshList, MESH_SELECTED, 2);
        setState(meshList, "2", true);
        setState(layerPoints, nullptr, true);
        setState(points, "Layer", false);
        setState(layerList, nullptr, true);
        break;
    default: {
        const char* key = mode == MESH_FILE ? "Numeric.Mesh" : "Numeric.Guess";
        setState(meshList, "2", false);
        setState(layerPoints, "File", false);
        IupSetAttribute(layerPoints, KOV_Record,
                        reinterpret_cast<const char*>(
                            Dialog_findRecord(description, DIALOG_FROM_NUMERIC, key)));
        setState(points, "File", false);
        setState(layerList, nullptr, false);
        break;
    }
    }
    const std::string solver = numericText(description, "Numeric.InnermostSolver");
    for (int i = 0; i < static_cast<int>(std::size(Solvers)); ++i) {
        if (solver == Solvers[i]) {
            IupSetInt(Dialog_control(description, "InnermostSolverList"), "VALUE", i + 1);
        }
    }
}

int setNumeric(const DialogDescription* description, const char* key, const char* text,
               int* changed)
{
    ParamRecord* record = Dialog_findRecord(description, DIALOG_FROM_NUMERIC, key);
    if (record == nullptr) {
        return 0;
    }
    const int revision = record->revision;
    const int taken = Param_setValueText(record, text, "", 1);
    if (record->revision != revision) {
        ++*changed;
    }
    if (!taken) {
        Dialog_showMessage(description, (std::string(key) + ": not accepted: " + text).c_str());
    }
    return taken;
}

// After the fields were taken: method, mesh mode (a mesh or guess file
// keeps it as it is) and innermost solver from the lists.
int store(const DialogDescription* description, int* changed)
{
    Ihandle* method = Dialog_control(description, "MethodList");
    Ihandle* meshList = Dialog_control(description, "MeshList");
    Ihandle* solver = Dialog_control(description, "InnermostSolverList");
    if (method == nullptr || meshList == nullptr || solver == nullptr ||
        Dialog_findRecord(description, DIALOG_FROM_NUMERIC, "Numeric.Mesh") == nullptr) {
        return 0;
    }
    if (!setNumeric(description, "Numeric.Method",
                    IupGetInt(method, "VALUE") == 1 ? "Gummel" : "Newton", changed)) {
        return 0;
    }
    const MeshMode mode = meshMode(description);
    if (mode != MESH_FILE && mode != MESH_GUESS_FILE) {
        const char* choice = IupGetAttribute(meshList, "VALUE");
        const bool uniform = choice == nullptr || std::strcmp(choice, "2") != 0;
        if (!setNumeric(description, "Numeric.Mesh", uniform ? "Uniform" : "Layer", changed)) {
            return 0;
        }
    }
    const int item = IupGetInt(solver, "VALUE");
    if (item >= 1 && item <= static_cast<int>(std::size(Solvers)) &&
        !setNumeric(description, "Numeric.InnermostSolver", Solvers[item - 1], changed)) {
        return 0;
    }
    if (Device* device = Dialog_device()) {
        for (int i = 0; i < device->layerCount; ++i) {
            Layer_updateColors(device->layers[i]);
        }
    }
    Dialog_redrawCanvas();
    return 1;
}

// The mesh list's choice is stored at once (the list already shows it), so
// the section takes the new mode; a refused value keeps the old choice.
int onMeshChange(Ihandle* list, char* /*text*/, int item, int state)
{
    const DialogDescription* description = Dialog_descriptionOf(list);
    if (description == nullptr || state != 1 || item == IupGetInt(list, MESH_SELECTED)) {
        return IUP_DEFAULT;
    }
    const int old = IupGetInt(list, MESH_SELECTED);
    if (Dialog_store(description) == 0) {
        if (old >= 1) {
            IupSetInt(list, "VALUE", old);
        }
        return IUP_DEFAULT;
    }
    IupSetInt(list, MESH_SELECTED, item);
    Dialog_load(description);
    return IUP_DEFAULT;
}

const FileChoice* choiceOf(const DialogDescription* description, Ihandle* button)
{
    if (button == Dialog_control(description, MeshChoice.word)) {
        return &MeshChoice;
    }
    if (button == Dialog_control(description, GuessChoice.word)) {
        return &GuessChoice;
    }
    return nullptr;
}

int onChooseFile(Ihandle* button)
{
    const DialogDescription* description = Dialog_descriptionOf(button);
    const FileChoice* choice = description != nullptr ? choiceOf(description, button) : nullptr;
    if (choice == nullptr ||
        Dialog_findRecord(description, DIALOG_FROM_NUMERIC, choice->key) == nullptr) {
        return IUP_DEFAULT;
    }
    const int answer = Dialog_ask(choice->question);
    if (answer == 5) {
        return IUP_DEFAULT;
    }
    std::string text;
    if (answer == 3) {
        text = Dialog_chooseFile(description, choice->caption, choice->filter);
        if (text.empty()) {
            return IUP_DEFAULT;  // a cancelled choice keeps the file
        }
        if (!hasEnding(text, *choice)) {
            Dialog_showMessage(
                description,
                (std::string(choice->caption) + ": the name must end in " + choice->endings[0] +
                 ", " + choice->endings[1] + " or " + choice->endings[2] + ": " + text)
                    .c_str());
            return IUP_DEFAULT;
        }
    } else if (choice == &MeshChoice) {
        // Without its file the mesh takes the mode the list chose last, so
        // the section never holds an empty mesh.
        Ihandle* meshList = Dialog_control(description, "MeshList");
        text = meshList != nullptr && IupGetInt(meshList, MESH_SELECTED) == 2 ? "Layer" : "Uniform";
    }
    ParamRecord* record = Dialog_findRecord(description, DIALOG_FROM_NUMERIC, choice->key);
    bool changed = false;
    int taken = 1;
    if (text.empty()) {
        const int revision = record->revision;
        taken = Param_setValueText(record, "", "", 1);
        changed = record->revision != revision;
    } else if (text == "Uniform" || text == "Layer") {
        int count = 0;
        taken = setNumeric(description, choice->key, text.c_str(), &count);
        changed = count > 0;
    } else {
        taken = Dialog_setFileRecord(record, text, &changed);
    }
    Dialog_load(description);
    if (!taken) {
        Dialog_showMessage(description,
                           (std::string(choice->caption) + ": not accepted: " + text).c_str());
    }
    if (changed) {
        Document_setModified(Doc_document(), 1);
        Dialog_refreshMain();
    }
    return IUP_DEFAULT;
}

Ihandle* pair(const char* a, const char* b, Ihandle* first, Ihandle* second)
{
    return Dialog_vbox(
        {Dialog_hbox({Dialog_caption(a), Dialog_caption(b)}), Dialog_hbox({first, second})});
}

Ihandle* layout(const DialogDescription* description)
{
    Ihandle* method = Dialog_list(description, "MethodList", {"Gummel", "Newton"});
    Ihandle* solver = Dialog_list(description, "InnermostSolverList",
                                  {Solvers[0], Solvers[1], Solvers[2], Solvers[3], Solvers[4],
                                   Solvers[5], Solvers[6], Solvers[7]});
    IupSetAttribute(solver, "VALUE", nullptr);
    Ihandle* mesh = Dialog_list(description, "MeshList", {"Uniform", "Layer"});
    IupSetCallback(mesh, "ACTION", onMeshChange);
    for (const char* word : {"Points", "LayerPoints"}) {
        Ihandle* field = Dialog_control(description, word);
        IupSetAttributes(field, "NC=5, MASK=\"/d+\"");
    }
    IupSetAttribute(Dialog_control(description, "LayerPoints"), "CUEBANNER", "Uniform");
    return Dialog_vbox({
        pair("Solver Method", "Innermost Solver", method, solver),
        pair("Tolerance", "Damp", Dialog_control(description, "Tol"),
             Dialog_control(description, "Damp")),
        Dialog_separator(),
        pair("Mesh", "Points", mesh, Dialog_control(description, "Points")),
        pair("Layer", "Points", Dialog_control(description, "LayerList"),
             Dialog_control(description, "LayerPoints")),
        Dialog_hbox({Dialog_button(description, "Mesh File...", MeshChoice.word, onChooseFile),
                     Dialog_button(description, "Guess File...", GuessChoice.word, onChooseFile)}),
        Dialog_separator(),
        // Under the two columns, like the rows above (a fill would push them
        // to the right edge, past the fields).
        Dialog_hbox({Dialog_control(description, "Apply"), Dialog_control(description, "OK")}),
    });
}

}  // namespace

const DialogDescription NumericDialog = {
    .handle = KOV_WindowNumeric,
    .title = "Numeric",
    .layerList = true,
    .fields = NumericFields,
    .columns = 2,
    .captions = true,
    .loadExtra = load,
    .storeExtra = store,
    .layout = layout,
};

void WindowNumeric_show() { Dialog_show(&NumericDialog); }
