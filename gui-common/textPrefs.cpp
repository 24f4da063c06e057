// The text-view preferences in settings files and on a view.
#include "textPrefs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "guiCommon.h"
#include "iupScintillaMessages.h"
#include "kovbase.h"

const TextPrefsSection TEXT_PREFS_STYLE_SECTIONS[] = {
    {"EditorDefault", 0},     {"EditorKeyword", 5},     {"EditorNumber", 4},
    {"EditorString", 6},      {"EditorComment", 1},     {"EditorPreprocessor", 9},
    {"EditorIdentifier", 11}, {"EditorLib", 16},        {"EditorLineNumber", 20},
    {"EditorSelection", 22},  {"EditorWhitespace", 23}, {nullptr, -1},
};

const ConfigKey TEXT_PREFS_COMMON_KEYS[] = {{"EnableSyntax", 0},        {"LineSpacing", 0},
                                            {"ShowLinenum", 0},         {"ColorTabbar", 0},
                                            {"MarkerColorModified", 0}, {"MarkerColorError", 0},
                                            {"MarkerColorWarning", 0},  {"MarkerColorSuccess", 0},
                                            {"TabbarColor", 0},         {nullptr, 0}};

const ConfigKey TEXT_PREFS_STYLE_KEYS[] = {{"ColorFore", 0}, {"ColorBack", 0}, {"FontName", 1},
                                           {"FontSize", 0},  {"FontStyle", 0}, {"LetterCase", 0},
                                           {nullptr, 0}};

namespace {

bool readValue(const Config* config, const char* section, const char* key, char* value)
{
    return Config_getValue(config, section, key, value, 256) != 0;
}

bool readColor(const Config* config, const char* section, const char* key, long* color)
{
    char value[256];
    if (!readValue(config, section, key, value)) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(value, &end, 16);
    if (end == value) {
        return false;  // not a colour: the old one stays
    }
    *color = parsed & 0xFFFFFF;
    return true;
}

bool readInt(const Config* config, const char* section, const char* key, int* number)
{
    char value[256];
    if (!readValue(config, section, key, value)) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(value, &end, 10);
    if (end == value) {
        return false;
    }
    *number = static_cast<int>(parsed);
    return true;
}

void readFlag(const Config* config, const char* key, int* flag)
{
    char value[256];
    if (!readValue(config, "EditorCommon", key, value)) {
        return;
    }
    if (std::strcmp(value, "0") == 0) {
        *flag = 0;
    }
    if (std::strcmp(value, "1") == 0) {
        *flag = 1;
    }
}

void readStyle(const Config* config, const char* section, EditorStyle* style)
{
    readColor(config, section, "ColorFore", &style->fore);
    readColor(config, section, "ColorBack", &style->back);
    char value[256];
    if (readValue(config, section, "FontName", value) && value[0] != '\0') {
        kov_copyA(style->fontName, sizeof style->fontName, value);
    }
    readInt(config, section, "FontSize", &style->fontSize);
    readInt(config, section, "FontStyle", &style->fontStyle);
    readInt(config, section, "LetterCase", &style->letterCase);
}

void writeColor(Config* config, const char* section, const char* key, long color)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", color & 0xFFFFFF);
    Config_setValue(config, section, key, text, 0, 0);
}

void writeInt(Config* config, const char* section, const char* key, int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    Config_setValue(config, section, key, text, 0, 0);
}

// Every style write also reaches the style 64 above (the lexer's second
// bank for inactive text).
void setStyle(Ihandle* view, int style, const EditorStyle& from, bool withSize, int sizeOffset = 0,
              int bold = -1)
{
    for (int s : {style, style + 64}) {
        if (s != style && style >= 64) {
            break;
        }
        Editor_send(view, SCI_STYLESETFORE, static_cast<uptr_t>(s), from.fore);
        Editor_send(view, SCI_STYLESETBACK, static_cast<uptr_t>(s), from.back);
        const int size = from.fontSize + sizeOffset;
        if (withSize && from.fontSize >= 4 - sizeOffset && from.fontSize <= 96 - sizeOffset) {
            Editor_send(view, SCI_STYLESETSIZE, static_cast<uptr_t>(s), size);
        }
        if (from.fontName[0] != '\0') {
            Editor_send(view, SCI_STYLESETFONT, static_cast<uptr_t>(s),
                        reinterpret_cast<sptr_t>(from.fontName));
        }
        Editor_send(view, SCI_STYLESETBOLD, static_cast<uptr_t>(s),
                    bold >= 0 ? bold : (from.fontStyle & 1));
        Editor_send(view, SCI_STYLESETITALIC, static_cast<uptr_t>(s), (from.fontStyle >> 1) & 1);
        Editor_send(view, SCI_STYLESETUNDERLINE, static_cast<uptr_t>(s), (from.fontStyle >> 2) & 1);
        Editor_send(view, SCI_STYLESETVISIBLE, static_cast<uptr_t>(s),
                    (from.fontStyle & 8) ? 0 : 1);
        Editor_send(view, SCI_STYLESETCASE, static_cast<uptr_t>(s), from.letterCase);
    }
}

void setColors(Ihandle* view, int style, long fore, long back, int bold)
{
    for (int s : {style, style + 64}) {
        Editor_send(view, SCI_STYLESETFORE, static_cast<uptr_t>(s), fore);
        Editor_send(view, SCI_STYLESETBACK, static_cast<uptr_t>(s), back);
        Editor_send(view, SCI_STYLESETBOLD, static_cast<uptr_t>(s), bold);
    }
}

}  // namespace

void TextPrefs_setStyle(Ihandle* view, int style, const EditorStyle& from, int bold)
{
    setStyle(view, style, from, true, 0, bold);
}

void TextPrefs_rgb(long color, char* text, size_t size)
{
    std::snprintf(text, size, "%ld %ld %ld", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
}

int TextPrefs_read(const Config* config, EditorPrefs* prefs)
{
    if (config == nullptr || prefs == nullptr) {
        return 0;
    }
    readFlag(config, "EnableSyntax", &prefs->syntaxEnabled);
    readFlag(config, "ShowLinenum", &prefs->lineNumbers);
    int spacing = 0;
    if (readInt(config, "EditorCommon", "LineSpacing", &spacing) && spacing >= 2 && spacing <= 8) {
        prefs->lineSpacing = spacing;
    }
    readColor(config, "EditorCommon", "ColorTabbar", &prefs->tabbarColor);
    readColor(config, "EditorCommon", "MarkerColorModified", &prefs->markerModified);
    if (readColor(config, "EditorCommon", "MarkerColorError", &prefs->markerError)) {
        prefs->markerErrorShade = normalizeColor(prefs->markerError, 40, 40, 40);
    }
    if (readColor(config, "EditorCommon", "MarkerColorWarning", &prefs->markerWarning)) {
        prefs->markerWarningShade = normalizeColor(prefs->markerWarning, 60, 60, 60);
    }
    // The default style: the section the writer writes, or an older file's.
    const char* defaultSection = "EditorDefault";
    char probe[256];
    if (!readValue(config, defaultSection, "FontSize", probe) &&
        !readValue(config, defaultSection, "ColorFore", probe)) {
        defaultSection = "Default";
    }
    int size = prefs->styles[0].fontSize;
    if (readInt(config, defaultSection, "FontSize", &size) && (size < 6 || size > 48)) {
        EditorPrefs_init(prefs, 0);  // a broken file: the whole look returns to the defaults
        return 0;
    }
    readStyle(config, defaultSection, &prefs->styles[0]);
    for (const TextPrefsSection* s = TEXT_PREFS_STYLE_SECTIONS; s->name != nullptr; ++s) {
        if (s->slot == 0) {
            continue;
        }
        prefs->styles[s->slot].slot = s->slot;
        readStyle(config, s->name, &prefs->styles[s->slot]);
    }
    // Slots without a section of their own follow their relatives.
    EditorStyle* st = prefs->styles;
    st[2].fore = st[3].fore = st[15].fore = st[1].fore;
    st[7].fore = st[8].fore = st[6].fore;
    st[10].fore = st[0].fore;
    st[13].fore = st[9].fore;
    for (int slot = 1; slot < 20; ++slot) {
        kov_copyA(st[slot].fontName, sizeof st[slot].fontName, st[0].fontName);
        st[slot].fontSize = st[0].fontSize;
        st[slot].back = st[0].back;
    }
    return 1;
}

void TextPrefs_write(Config* config, const EditorPrefs* prefs)
{
    if (config == nullptr || prefs == nullptr) {
        return;
    }
    Config_setValue(config, "EditorCommon", "EnableSyntax", prefs->syntaxEnabled ? "1" : "0", 0, 0);
    writeInt(config, "EditorCommon", "LineSpacing", prefs->lineSpacing);
    Config_setValue(config, "EditorCommon", "ShowLinenum", prefs->lineNumbers ? "1" : "0", 0, 0);
    writeColor(config, "EditorCommon", "ColorTabbar", prefs->tabbarColor);
    writeColor(config, "EditorCommon", "MarkerColorModified", prefs->markerModified);
    writeColor(config, "EditorCommon", "MarkerColorError", prefs->markerError);
    writeColor(config, "EditorCommon", "MarkerColorWarning", prefs->markerWarning);
    for (const TextPrefsSection* s = TEXT_PREFS_STYLE_SECTIONS; s->name != nullptr; ++s) {
        const EditorStyle& st = prefs->styles[s->slot];
        writeColor(config, s->name, "ColorFore", st.fore);
        writeColor(config, s->name, "ColorBack", st.back);
        Config_setValue(config, s->name, "FontName", st.fontName, 0, 1);
        writeInt(config, s->name, "FontSize", st.fontSize);
        writeInt(config, s->name, "FontStyle", st.fontStyle);
        writeInt(config, s->name, "LetterCase", st.letterCase);
    }
}

void TextPrefs_applyStyles(Ihandle* view, EditorPrefs* prefs, int syntax, int resetAll)
{
    if (view == nullptr || prefs == nullptr) {
        return;
    }
    prefs->syntaxEnabled = syntax;
    EditorStyle* st = prefs->styles;
    if (resetAll) {
        for (int s = 0; s <= 42; ++s) {
            setStyle(view, s, st[0], true);
        }
        for (int slot = 1; slot < EDITOR_STYLE_SLOTS; ++slot) {
            st[slot].fontSize = st[0].fontSize;
        }
    }
    const long braceBack = normalizeColor(st[20].back, -20, -20, -20);
    if (syntax != 0 && prefs->lexerId != 1) {
        for (int slot = 0; slot < 20; ++slot) {
            if (st[slot].styleId >= 0) {
                setStyle(view, st[slot].styleId, st[slot], true);
            }
        }
        setColors(view, 34, st[20].fore, braceBack, 1);
        setColors(view, 35, prefs->markerError, braceBack, 1);
    } else {
        setColors(view, 34, st[0].fore, st[0].back, 0);
        setColors(view, 35, st[0].fore, st[0].back, 0);
    }
    setStyle(view, 33, st[20], true, -1);
    EditorStyle caretNumbers = st[20];
    caretNumbers.fore = st[21].fore;
    caretNumbers.fontSize = st[0].fontSize;
    setStyle(view, 41, caretNumbers, true, -1, 1);
    setColors(view, 40, st[20].fore, st[20].back, 0);
    Editor_send(view, SCI_SETCARETLINEBACK, static_cast<uptr_t>(st[21].back));
    Editor_send(view, SCI_SETCARETLINEVISIBLE, 1);
    Editor_send(view, SCI_SETCARETLINEVISIBLEALWAYS, 1);
    Editor_send(view, SCI_SETSELFORE, 0, 0);
    Editor_send(view, SCI_SETSELBACK, 1, st[22].back);
    Editor_send(view, SCI_SETCARETFORE, static_cast<uptr_t>(st[21].fore));
    char rgb[32];
    TextPrefs_rgb(st[21].fore, rgb, sizeof rgb);
    IupSetStrAttribute(view, "CARETCOLOR", rgb);
    TextPrefs_rgb(st[23].fore, rgb, sizeof rgb);
    IupSetStrAttribute(view, "WHITESPACEFGCOLOR", rgb);
    setColors(view, 37, st[23].fore, st[23].back, 0);
}
