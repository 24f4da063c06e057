// The device editor's main window "KOV_WindowMain": its construction, menus
// and key bindings, the layer list and layer commands, title, action bar and
// status bar, the commands behind the menus, the fields of the right side,
// the file commands and the start-up and close of the window. Every routine
// finds its controls by handle name.
#pragma once

#include <string>

#include "iup.h"

struct Document;
struct Layer;

// ---- construction, menus, keys -----------------------------------------------
// Builds the main dialog with its controls and binds the 18 keys; the dialog
// is registered as "KOV_WindowMain".
Ihandle* WindowMain_create(int width, int height);
void WindowMain_createMenubar(Ihandle* menu, const char* name);
void WindowMain_createFileMenu(Ihandle* menu);
Ihandle* WindowMain_createLayerMenu();
void WindowMain_createOptionsMenu(Ihandle* menu);
void WindowMain_createToolsMenu(Ihandle* menu);

// Dialogs of the parameter windows are built elsewhere; each registers the
// routine that shows it under its dialog name ("KOV_WindowParam", ...). The
// menu items, buttons and keys of a dialog that has no routine are inactive.
using DialogOpener = void (*)();
void WindowMain_setDialogOpener(const char* dialogName, DialogOpener opener);
int WindowMain_openDialog(const char* dialogName);
int WindowMain_hasDialog(const char* dialogName);

// ---- start-up and close ------------------------------------------------------
int WindowMain_prepare();
int WindowMain_onShown();
int WindowMain_close();
void WindowMain_shutdown();
int WindowMain_onClose(Ihandle* ih);
// The start-up sequence up to the shown window (no main loop): 0 when the
// window is shown, else the exit code.
int WindowMain_start(int argc, char** argv);

// ---- layer list, layer commands, title and bars --------------------------------
void WindowMain_fillLayerList();
int WindowMain_formatLayerItem(int index0, char* buffer);
int WindowMain_fillDialogLayerList(Ihandle* list, const char* attributeName);
Layer* WindowMain_getSelectedLayer();
void WindowMain_selectLayer(int n);
int WindowMain_onLayerListAction(Ihandle* list, char* text, int item, int state);
void WindowMain_stepSelection(int index0, int direction);
int WindowMain_moveLayer(int direction);
int WindowMain_insertLayer();
int WindowMain_deleteLayer();
int WindowMain_onLayerMenuOpen(Ihandle* menu);
void WindowMain_updateTitle();
Ihandle* WindowMain_createActionbar();
void WindowMain_updateActionbar();
void WindowMain_updateSaveButton(Document* document);
void WindowMain_updateRunButtons(Document* document);
void WindowMain_setButtonActive(const char* name, int active);
Ihandle* WindowMain_createStatusbar();
void WindowMain_destroyStatusbar();
void WindowMain_clearStatusPane();
int WindowMain_onViewStatusbar(Ihandle* item);
int WindowMain_onViewActionbar(Ihandle* item);
int WindowMain_onViewMenuOpen(Ihandle* menu);
// The selection kept in the document's canvas state.
int WindowMain_selectedLayerNumber();
int WindowMain_selectedContact();
void WindowMain_setSelection(int layer, int contact);

// ---- the simulation runner ------------------------------------------------------
// The runner (driver process, console pipe, exchange file, plot hand-over)
// is its own module; the program installs its routines at start. Without
// them Run, Stop and Plot stay inactive and no run is ever live.
struct RunnerCalls {
    int (*start)(Document* document);
    int (*stop)(Document* document);
    int (*plot)(Document* document, int ask);
    int (*isRunning)(Document* document);
    void (*end)(Document* document, int kill);
};
void WindowMain_setRunner(const RunnerCalls* calls);
const RunnerCalls* WindowMain_runner();
// True while the document's simulation runs.
bool WindowMain_isRunLive(Document* document);
// True when the document's own device file has results to plot: its last
// run reported an equilibrium result file with mesh points. A file opened
// after a run of another one has none.
bool WindowMain_hasResults(const Document* document);

// ---- commands, options, help and tools -----------------------------------------
int WindowMain_onRun(Ihandle* ih);
int WindowMain_onStop(Ihandle* ih);
int WindowMain_onPlot(Ihandle* ih);
int WindowMain_onRunMenuOpen(Ihandle* menu);
// The Options menu's check marks follow the device's output switches and
// the plot-after-run flag; kept current whenever they may have changed, so
// that a mark never waits for the menu's opening to be right.
void WindowMain_updateOptionChecks();
int WindowMain_onOptionsOutDir(Ihandle* item);
int WindowMain_onOutDirHighlight(Ihandle* item);
int WindowMain_onOptionsSaveFull(Ihandle* item);
int WindowMain_onOptionsDirDate(Ihandle* item);
int WindowMain_onOptionsPlot(Ihandle* item);
int WindowMain_onOptionsMenuOpen(Ihandle* menu);
int WindowMain_onColorize(Ihandle* item);
int WindowMain_onColorizeMenuOpen(Ihandle* menu);
int WindowMain_onConsoleCopy(Ihandle* ih);
int WindowMain_onConsoleZoomIn(Ihandle* ih);
int WindowMain_onConsoleZoomOut(Ihandle* ih);
int WindowMain_onConsoleZoomReset(Ihandle* ih);
int WindowMain_onHelp(Ihandle* ih);
int WindowMain_onExample(Ihandle* item);
int WindowAbout_show(Ihandle* ih);
int WindowAbout_close(Ihandle* ih);
int WindowMain_onTool(Ihandle* item);
int WindowMain_onCheckUpdate(Ihandle* item);

// ---- fields and sources -----------------------------------------------------------
void WindowMain_showLayer();
void WindowMain_updateVoltageControls();
int WindowMain_commitField(Ihandle* control);
int WindowMain_onFieldKey(Ihandle* control, int key);
int WindowMain_onFieldLeave(Ihandle* control);
int WindowMain_applyFields(int redraw, int report);
// After applyFields refused: the field that holds the refused value and
// why ("Thickness (um): invalid value for Thickness: ..."), else empty.
std::string WindowMain_refusedField();
int WindowMain_onParamFocus(Ihandle* control);
int WindowMain_onVoltageSweep(Ihandle* list, char* text, int item, int state);
int WindowMain_onLightSource(Ihandle* toggle, int state);
int WindowMain_chooseParamFile(const char* controlName, const char* extFilter,
                               const char* parentName, int* changed);

// ---- file commands ------------------------------------------------------------------
int Document_open(const char* path, int ask, int userFile);
int Document_save(Document* document, const char* path);
int Document_canClose(const char* refusal, const char* question, const char* title);
int WindowMain_onFileNew(Ihandle* ih);
int WindowMain_onFileNewTemplate(Ihandle* item);
int WindowMain_onFileOpen(Ihandle* ih);
int WindowMain_onFileSave(Ihandle* ih);
int WindowMain_onFileSaveAs(Ihandle* ih);
int WindowMain_onFileReload(Ihandle* ih);
int WindowMain_onFileSetDefault(Ihandle* ih);
int WindowMain_onFileDefaultHighlight(Ihandle* item);
int WindowMain_onFileResetDefault(Ihandle* ih);
int WindowMain_onFileRecent(Ihandle* item);
int WindowMain_onFileOpenInEditor(Ihandle* ih);
int WindowMain_onRecentMenuOpen(Ihandle* menu);
int WindowMain_onFileMenuOpen(Ihandle* menu);
// Puts an existing file at the front of the settings' recent-file list.
void Settings_addRecentFile(const char* path);
