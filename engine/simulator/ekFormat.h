// ekFormat: a printf-style line as a wide string, for the messages of the
// simulator that carry numbers or paths (wide printf syntax; strings as %ls).
#pragma once

#include <string>

// The text, cut to 1279 characters: room for a message around a path of
// 1023 characters. A format the C library refuses gives what it wrote.
std::wstring ek_format(const wchar_t* format, ...);
