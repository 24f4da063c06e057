// How kovraedit opens a text file: in the user's own editor ($VISUAL, then
// $EDITOR, which may carry options of its own), else in the desktop's
// default application for the file through xdg-open.
#pragma once

#include <string>
#include <vector>

// The argument vector to execute for the file (empty file: the editor alone).
// The editor variable is run by /bin/sh so that "code -w" or "emacs -nw"
// work; the file name travels as a positional parameter, never as part of
// the shell text, so no character of it is interpreted. Empty when there is
// nothing that could open it (no editor variable and no file for xdg-open).
std::vector<std::string> EditorCommand_arguments(const char* visual, const char* editor,
                                                 const std::string& file);
