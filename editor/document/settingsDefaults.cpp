// Defaults of the editor's settings, with the terminal probe.
#include <cstring>

#include "kovbase.h"
#include "settings.h"

namespace {

// The first terminal found runs simulations in a window of their own; its
// arguments list its options separated by ';'.
const char* const TERMINALS[][2] = {
    {"/usr/bin/Terminal", "-e;-T"},       {"/usr/bin/xfce4-terminal", "-x;-T"},
    {"/usr/bin/gnome-terminal", "-x;-t"}, {"/usr/bin/konsole", "-e;"},
    {"/usr/bin/uxterm", "-e;-T"},         {"/usr/bin/xterm", "-e;-T"}};

}  // namespace

void Settings_setDefaults(Settings* s)
{
    if (s == nullptr) {
        return;
    }
    std::memset(s, 0, sizeof *s);
    s->WindowMainWidth = 1024;
    s->WindowMainHeight = 768;
    s->WindowMainMaximized = 0;
    s->ViewStatusbar = 1;
    s->ViewActionbar = 1;
    s->FileLastOpenEnable = 0;
    kov_copyA(s->DefaultMaterial, sizeof s->DefaultMaterial, "Si");
    s->DeviceColorize = COLORIZE_DOPING;
    for (const auto& terminal : TERMINALS) {
        if (kov_fileExistsA(terminal[0]) != 0) {
            kov_copyA(s->TerminalPath, sizeof s->TerminalPath, terminal[0]);
            kov_copyA(s->TerminalArgs, sizeof s->TerminalArgs, terminal[1]);
            break;
        }
    }
}
