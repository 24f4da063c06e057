// The calculator's one application record: its settings, the console's
// text-view preferences and the parser, reachable from everywhere through
// the accessors (each gives NULL when there is no record or member, and
// every user copes with NULL).
#pragma once

#include "appFolders.h"
#include "CalcSettings.h"
#include "kovbase.h"
#include "kovParser.h"
#include "kovragui.h"

struct CalcState {
    CalcSettings* settings;
    EditorPrefs* prefs;  // the console's colours and fonts
    kov_Parser* parser;
};

// Allocates the record (members NULL); 0 when memory is short.
int CalcState_create();
// Settings_free, then the record itself.
void CalcState_free();

CalcSettings* App_getSettings();
EditorPrefs* App_getEditorPrefs();
kov_Parser* App_getParser();

// Frees the members (settings, preferences, parser), clearing each.
void Settings_free();
// Frees the members and builds them afresh with their defaults; the
// preferences restyle the console whenever the colours dialog changes them.
// No members at all when one cannot be allocated.
void Settings_reset();
// Once at window start: publishes the folders and file names (KOV_AppDir,
// KOV_BinDir, KOV_DocDir, KOV_ConfigFilename, KOV_ConfigFilenameLocal,
// KOV_HelpFilenameSimulator, KOV_HelpFilenameLua) when folders is given,
// builds the members, reads the settings file and publishes the colours.
CalcSettings* Settings_init(const AppFolders* folders);
// Writes the members to KOV_ConfigFilename (KOV_ConfigFilenameLocal when
// that cannot be written).
void Settings_save();
