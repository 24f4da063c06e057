// libkovra's windowing helpers over the windowing layer (platform/iup):
// message boxes and questions (through the layer's scripted seam), the
// information areas of the main window, the image set, the text-view
// preferences with their colours-and-font dialog, and the update notice.
#pragma once

#include <cstddef>

#include "iup.h"
#include "libkovra.h"

// ---- messages -------------------------------------------------------------
// A modal message box titled title over the dialog named parentName.
void kovraShowMessage(const char* text, const char* title, int kind, const char* parentName);
// A modal question: kinds 3 and 4 ask yes or no, kind 5 adds cancel.
// Answers 3 yes, 4 no, 5 cancel (closing the box counts as cancel, or as no
// when there is no cancel). Enter answers yes, except for kind 4, the
// question before discarding or overwriting work, where it answers no;
// Escape answers cancel, or no.
int kovraAskQuestion(const char* question, const char* title, int kind, const char* parentName);
// The main window's information area (the status-bar label
// "KOV_Statusbar_Pane0"): kind 0 information, 1 error (red), 9 with an
// empty text clears it. The text is shown on one line (trailing line
// breaks dropped, inner ones made blanks). Without that label it is only kept
// (kovraLastInfo).
void kovraShowInfo(const char* text, int reserved, int kind);
const char* kovraLastInfo();
// The action bar's information label "KOV_Actionbar_Info" with a colour
// "r g b".
void kovraShowActionbarInfo(const char* text, const char* color);

// Width and height of the screen's usable area in pixels; 1 on success.
int getScreenSize(int* width, int* height);

// The "Check for Update" command: no network here; shows the program's
// version and says that updates come with the installed package. Returns
// IUP_DEFAULT.
int WindowMain_checkUpdate(Ihandle* item, const char* programName);

// ---- images ---------------------------------------------------------------
// The image set: Images_load registers every image under "KOV_Image_<id>".
void Images_load();
void Images_destroy();
// The image's handle name and its tip (written to tip, tipSize bytes; empty
// when it has none); NULL for an unknown id.
const char* Images_get(int id, char* tip, size_t tipSize = 256);
const char* Images_getName(int id);

// ---- text-view preferences ------------------------------------------------
// One style slot: slots 0..19 are lexer styles (0 the default style), 20
// line numbers, 21 caret and caret line, 22 selection, 23 white space.
struct EditorStyle {
    int slot;
    int styleId;  // the Scintilla style the slot drives; -1 none
    long fore;    // 0xBBGGRR
    long back;
    char fontName[32];
    int fontSize;
    int fontStyle;   // bit 0 bold, bit 1 italic, bit 2 underline, bit 3 hidden
    int letterCase;  // 0 as typed, 1 upper, 2 lower
};

constexpr int EDITOR_STYLE_SLOTS = 24;

struct EditorPrefs {
    int applied;        // 1 once applied to a view
    int syntaxEnabled;  // syntax highlighting (brace matching in the calculator)
    int lineNumbers;    // line-number margin shown
    int layoutCache;
    int lineSpacing;        // 2..8
    int promptMarginWidth;  // 16..80 (calculator prompt margin)
    int lexerId;            // 108: the Kovra lexers
    int lineNumberWidth;    // line-number margin width in pixels
    long caretLineBack;
    long tabbarColor;
    long markerModified;   // marker 8
    long markerInfo;       // marker 9
    long markerIndicator;  // marker 10 and the match indicator
    long markerError;      // marker 11, error style
    long markerErrorShade;
    long markerWarning;  // marker 12 base, warning style
    long markerWarningShade;
    long markerSuccess;  // style 126
    long information;    // information lines (the editor console's style 123)
    long foldMargin;
    long foldMarginHi;
    EditorStyle styles[EDITOR_STYLE_SLOTS];
    // Called by the colours-and-font dialog after a change (Apply, OK).
    void (*onChange)(EditorPrefs* prefs);
    void (*onApply)(EditorPrefs* prefs);
};

// The light theme's style blocks.
struct EditorTheme {
    EditorStyle text;         // default text
    EditorStyle information;  // information lines
    EditorStyle lineNumber;
    long caretFore;
    long caretLineBack;
    long selectionFore;
    long selectionBack;
    long whitespaceFore;
};
const EditorTheme* getLightStyle();

// Fills the record with the library's defaults (light theme, monospaced
// font, slots 0..23 with style ids -1); the callbacks are cleared.
void EditorPrefs_init(EditorPrefs* prefs, int reserved);

// The colours-and-font dialog: choose a slot, edit its font, size, bold and
// italic, and its colours ("r g b"); Apply and OK store into the record and
// call both change callbacks. Modal over parentName. Returns 1 when the
// record changed. WindowColor_create builds the same dialog without showing
// it (handle "KOV_WindowColor"; tests drive it by its handle names).
int WindowColor_show(EditorPrefs* prefs, const char* parentName);
Ihandle* WindowColor_create(EditorPrefs* prefs);
