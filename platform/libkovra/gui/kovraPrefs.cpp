// Text-view preferences: the light theme and the library's defaults.
#include <cstring>

#include "kovragui.h"

namespace {

EditorStyle style(int slot, long fore, long back, int fontStyle = 0)
{
    EditorStyle s{};
    s.slot = slot;
    s.styleId = -1;
    s.fore = fore;
    s.back = back;
    std::strncpy(s.fontName, "DejaVu Sans Mono", sizeof s.fontName - 1);
    s.fontSize = 10;
    s.fontStyle = fontStyle;
    s.letterCase = 0;
    return s;
}

constexpr long WHITE = 0xFFFFFF;
constexpr long TEXT = 0x202020;

const EditorTheme LIGHT = {
    style(0, TEXT, WHITE),
    style(0, 0x8B5A00, WHITE),      // information: dark blue
    style(20, 0x808080, 0xF2F2F2),  // line numbers on a light grey margin
    0x000000,                       // caret
    0xFAF3EC,                       // caret line: a faint blue
    0x000000,                       // selection text
    0xF0D9C0,                       // selection background
    0xC0C0C0,                       // white space marks
};

}  // namespace

const EditorTheme* getLightStyle() { return &LIGHT; }

void EditorPrefs_init(EditorPrefs* prefs, int)
{
    if (prefs == nullptr) {
        return;
    }
    std::memset(prefs, 0, sizeof *prefs);
    prefs->applied = 0;
    prefs->syntaxEnabled = 1;
    prefs->lineNumbers = 0;
    prefs->layoutCache = 1;
    prefs->lineSpacing = 2;
    prefs->promptMarginWidth = 24;
    prefs->lexerId = 108;
    prefs->lineNumberWidth = 20;
    prefs->caretLineBack = LIGHT.caretLineBack;
    prefs->tabbarColor = 0xF0F0F0;
    prefs->markerModified = 0x009700;
    prefs->markerInfo = 0x00B1E6;
    prefs->markerIndicator = 0xC24230;
    prefs->markerError = 0x141DC7;
    prefs->markerErrorShade = normalizeColor(0x141DC7, 40, 40, 40);
    prefs->markerWarning = 0x307DB0;
    prefs->markerWarningShade = normalizeColor(0x307DB0, 60, 60, 60);
    prefs->markerSuccess = 0x066300;
    prefs->information = LIGHT.information.fore;
    prefs->foldMargin = 0xF2F2F2;
    prefs->foldMarginHi = 0xE0E0E0;
    // Slot colours of the light theme: comments green, numbers orange,
    // keywords blue and bold, texts red, operators dark grey.
    const long fore[20] = {TEXT,     0x008000, 0x008000, 0x008000, 0x0060C0, 0xB04000, 0x2020A0,
                           0x2020A0, 0x2020A0, 0x808000, TEXT,     0x404040, TEXT,     0x808000,
                           TEXT,     0x008000, 0x8B0080, TEXT,     TEXT,     TEXT};
    for (int slot = 0; slot < 20; ++slot) {
        prefs->styles[slot] = style(slot, fore[slot], WHITE, slot == 5 ? 1 : 0);
    }
    prefs->styles[20] = LIGHT.lineNumber;
    prefs->styles[21] = style(21, LIGHT.caretFore, LIGHT.caretLineBack);
    prefs->styles[22] = style(22, LIGHT.selectionFore, LIGHT.selectionBack);
    prefs->styles[23] = style(23, LIGHT.whitespaceFore, WHITE);
}
