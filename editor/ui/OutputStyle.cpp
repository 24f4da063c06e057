// The output console's look: the text preferences it starts from and how a
// preferences record becomes the styles of the view, the tagged message
// styles 122..126 among them.
#include "App.h"
#include "Output.h"
#include "OutputText.h"
#include "textPrefs.h"
#include "kovragui.h"
#include "libkovra.h"

namespace {

// The record used when the application has none (a console built by a test
// or before start-up finished).
EditorPrefs* fallbackPrefs()
{
    static EditorPrefs prefs;
    static bool made = false;
    if (!made) {
        Output_setDefaultPrefs(&prefs);
        made = true;
    }
    return &prefs;
}

// A tagged style: the default text's font, size, flags, case and
// background with a colour of its own.
void tagStyle(Ihandle* view, int style, const EditorStyle& text, long fore, int bold)
{
    EditorStyle s = text;
    s.fore = fore;
    TextPrefs_setStyle(view, style, s, bold);
}

}  // namespace

void Output_setDefaultPrefs(EditorPrefs* prefs)
{
    if (prefs == nullptr) {
        return;
    }
    EditorPrefs_init(prefs, 0);
    prefs->applied = 1;
    // A log is read by line: the numbers are on from the start.
    prefs->lineNumbers = 1;
    prefs->lineNumberWidth = 20;
}

int Editor_applyStyle(Ihandle* view, EditorPrefs* prefs, int value, int full)
{
    if (prefs == nullptr) {
        prefs = App_getEditorPrefs();
    }
    if (prefs == nullptr) {
        prefs = fallbackPrefs();
    }
    if (view == nullptr) {
        return IUP_DEFAULT;
    }
    prefs->applied = value;
    TextPrefs_applyStyles(view, prefs, prefs->syntaxEnabled, full);
    const EditorStyle& text = prefs->styles[0];
    tagStyle(view, OutputStylePlain, text, text.fore, -1);
    tagStyle(view, OutputStyleInfo, text, prefs->information, -1);
    tagStyle(view, OutputStyleWarning, text, prefs->markerWarning, -1);
    // Errors stand out whatever the text's own weight.
    tagStyle(view, OutputStyleError, text, prefs->markerError, 1);
    tagStyle(view, OutputStyleExtra, text, prefs->markerSuccess, -1);
    return IUP_DEFAULT;
}
