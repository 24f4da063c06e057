// Opening a file in the user's text editor through kovraedit. kovraedit
// ends at once with a failure status when it finds no text editor to start
// (none configured, none installed); the editor watches it for a while and
// says so in the status line, where a detached start would say nothing.
#pragma once

#include <string>

// How long a started kovraedit is watched for an early failure; after that
// it is taken to have started the text editor and is left to run.
constexpr int EDITOR_LAUNCH_WATCH_MS = 10000;
// How often the watch looks, in milliseconds.
constexpr int EDITOR_LAUNCH_POLL_MS = 100;

// Starts program (kovraedit) on the file, or on none when file is empty
// (kovraedit then starts the text editor by itself). Every start of
// kovraedit goes through here. False, with the reason in the status line,
// when it could not be started at all.
bool EditorLaunch_open(const std::string& program, const std::string& file);
// True while a started kovraedit is watched.
bool EditorLaunch_watching();
