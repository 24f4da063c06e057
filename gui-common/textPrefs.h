// The text-view preferences (EditorPrefs) as both GUI programs keep them in
// their settings files and apply them to a Scintilla view: the sections
// "EditorCommon" and "EditorDefault" .. "EditorWhitespace", and the styles,
// caret, selection and margin colours of a view.
#pragma once

#include "iup.h"
#include "kovragui.h"
#include "libkovra.h"

// The style sections in file order: section name and the style slot it
// fills. Ends at a NULL name.
struct TextPrefsSection {
    const char* name;
    int slot;
};
extern const TextPrefsSection TEXT_PREFS_STYLE_SECTIONS[];
// The keys of "EditorCommon" and of every style section (for a program's
// settings schema).
extern const ConfigKey TEXT_PREFS_COMMON_KEYS[];
extern const ConfigKey TEXT_PREFS_STYLE_KEYS[];

// Reads "EditorCommon" and the style sections into prefs (the record keeps
// what the file does not give). "EnableSyntax"/"ShowLinenum" change only for
// exactly "0"/"1"; "LineSpacing" only within 2..8; colours are hexadecimal
// 0xBBGGRR. The default style is read from "EditorDefault" (or from an older
// file's "Default"); a default font size outside 6..48 returns everything to
// the library defaults and gives 0. Slots 1..19 end with slot 0's font name,
// size and background. 1 when read.
int TextPrefs_read(const Config* config, EditorPrefs* prefs);
// Writes "EditorCommon" and every style section (colours "%06lX").
void TextPrefs_write(Config* config, const EditorPrefs* prefs);

// Applies the record to the view: with resetAll every style first takes the
// default slot; with syntax on, each lexer slot its style id; the matching
// and unmatched brace styles (34, 35), line numbers (33), caret, caret
// line, selection and white space. Stores syntax into prefs.
void TextPrefs_applyStyles(Ihandle* view, EditorPrefs* prefs, int syntax, int resetAll);

// Gives one Scintilla style a slot's colours, font, size (only within
// 4..96), italic, underline, visibility and case, and bold from the slot's
// flags or, when bold is 0 or 1, that; a style below 64 also its inactive
// twin 64 above.
void TextPrefs_setStyle(Ihandle* view, int style, const EditorStyle& from, int bold);

// "r g b" of a 0xBBGGRR colour (text of at least 16 bytes).
void TextPrefs_rgb(long color, char* text, size_t size);
