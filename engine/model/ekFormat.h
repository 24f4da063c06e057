// ekFormat: a printf-style line as a wide string, for the engine's messages
// that carry numbers, keys or paths (wide printf syntax; strings as %ls).
#pragma once

#include <string>

// The text, cut to 4095 characters: room for a message around a path and a
// value of the device file. A format the C library refuses gives what it
// wrote.
std::wstring ek_format(const wchar_t* format, ...);
