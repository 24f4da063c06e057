// The device editor's one application record and the process-wide helpers
// every window of the editor uses: the accessors of the record (each safe
// without one), the folders and settings-file names published as global
// attributes, the settings' life, and the registration of open dialogs.
#pragma once

#include "iup.h"

struct Document;
struct Settings;
struct Layer;
struct EditorPrefs;
struct Runner;

constexpr int APP_PATH_SIZE = 1024;

struct AppRecord {
    Document* document;
    int documentCounter;
    Settings* settings;
    EditorPrefs* editorPrefs;
    Layer* scratchLayer;
    char voltageFile[APP_PATH_SIZE];
    char lightFile[APP_PATH_SIZE];
    char meshFile[APP_PATH_SIZE];
    char guessFile[APP_PATH_SIZE];
};

// Makes the record (documentCounter 1, everything else empty) and installs
// the editor's routines for the document layer's upward calls; null when no
// memory is left.
AppRecord* App_create();
void App_free();

Document* App_getDocument();
Document* App_currentDocument();
void App_setDocument(Document* document);
int App_nextDocumentNumber();
int App_getDocumentNumber();
Settings* App_getSettings();
EditorPrefs* App_getEditorPrefs();
Runner* App_getRunRecord();
Layer* App_getScratchLayer();
void App_freeScratchLayer();

char* App_getVoltageFile();
char* App_getLightFile();
char* App_getMeshFile();
char* App_getGuessFile();
// Copy at most 1023 bytes; null clears the whole buffer.
void App_setVoltageFile(const char* path);
void App_setLightFile(const char* path);
void App_setMeshFile(const char* path);
void App_setGuessFile(const char* path);

// The text editor program of the binaries folder written into buffer (1024
// bytes); the buffer when that program exists, else null.
char* App_getEditorPath(char* buffer);

// Reads the folders, publishes them and the settings-file names, and reads
// the settings file (defaults where it says nothing).
void Settings_init();
void Settings_save();
void Settings_free();

// Shared helpers of the editor's windows.
Ihandle* Iup_getHandle(const char* name);
int Iup_focusNamed(const char* name, int focus);
// Registers (or, with a null dialog, forgets) an open dialog; while one is
// registered the layer commands are refused.
void Dialog_register(const char* name, Ihandle* dialog);
int Dialog_isShown();
void WindowMain_restoreCaret();
