// The one way up out of the document library. The document holds the data
// and the editor's window layer drives it; the few things the document must
// ask of that layer (printing to the output console, the application
// record, refreshing the main window, ending a run, the traps dialog's
// model rule) go through this table of routines. The window layer installs
// its own with Doc_setHooks at start-up; without them every routine is a
// harmless default (printing goes nowhere, there is no application record),
// which is how the library runs alone in its tests.
#pragma once

struct Document;
struct Settings;
struct Layer;

struct DocHooks {
    // Output console: plain text, and text styled by its "[ERROR]"-like tag.
    void (*print)(const char* text);
    void (*printColored)(const char* text);
    // Information area of the main window (kind 0 information, 1 error).
    void (*showInfo)(const char* text, int kind);
    // Application record.
    Document* (*getDocument)();
    Settings* (*getSettings)();
    void (*setDocument)(Document* document);
    void (*setVoltageFile)(const char* path);
    void (*setLightFile)(const char* path);
    // Folder of the program with its trailing separator, or null (the
    // library then asks kovbase for the running program's folder).
    const char* (*appDir)();
    // The application record's document counter, counted up per call.
    int (*nextDocumentNumber)();
    // Size of the screen in pixels; 0 when unknown (no limit then).
    int (*screenSize)(int* width, int* height);
    // Main window refresh.
    void (*prepareMain)();
    void (*updateTitle)();
    void (*updateActionbar)();
    void (*updateSaveButton)();
    void (*fillLayerList)();
    void (*showLayer)();
    // Ends the document's running simulation (kill 1: at once).
    void (*endRun)(Document* document, int kill);
    // The traps dialog's rule applied to a layer before it is written.
    void (*applyTrapModel)(Layer* layer);
    // Input controls a record is bound to: 1 when the control has the
    // keyboard focus; showing a reformatted value in it.
    int (*hasFocus)(void* control);
    void (*showValue)(void* control, const char* text);
    // The document's device was replaced by another (the old one is freed
    // already): whatever holds records of the old one binds to the new one
    // now, before the views are refreshed.
    void (*deviceReplaced)();
    // The voltage and light source files the application record keeps (the
    // last ones the user chose or a device named); null or "" for none.
    const char* (*voltageFile)();
    const char* (*lightFile)();
};

// Installs a table (null restores the defaults); routines left null in it
// fall back to the defaults one by one.
void Doc_setHooks(const DocHooks* hooks);
const DocHooks& Doc_hooks();

// Short forms used throughout the library.
void Doc_print(const char* text);
void Doc_printColored(const char* text);
Document* Doc_document();
Settings* Doc_settings();
