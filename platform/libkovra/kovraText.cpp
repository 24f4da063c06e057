// The device-file header and the conversion of console text for the views.
#include "libkovra.h"

#include <cstdio>
#include <cstring>
#include <ctime>

size_t getKovraFileHeader(char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    char saved[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(saved, sizeof saved, "%Y-%m-%d %H:%M:%S", &local);
    }
    // The version line reads as the engine's result files write it:
    // "# Kovra Version 3.0 Build 2412 Linux", words apart and no bracket
    // left open (only the first line carries the "<SL>" tag).
    const int n = std::snprintf(buffer, size,
                                "# Kovra <SL>\n# The above first line is mandatory\n#\n"
                                "# Kovra Version %s Build %s %s\n#\n# Saved: %s \n",
                                KOVRA_GUI_VERSION, KOVRA_GUI_BUILD, KOVRA_GUI_PLATFORM, saved);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

namespace {

// Length of the valid UTF-8 sequence at text (at most available bytes), or 0.
size_t validSequence(const unsigned char* text, size_t available)
{
    const unsigned char c = text[0];
    size_t length = 0;
    unsigned int minimum = 0, code = 0;
    if (c < 0x80) {
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        length = 2, code = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, code = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, code = c & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (length > available) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (text[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

size_t normalizeStringToAnsi(const char* text, char* buffer, size_t n)
{
    if (buffer == nullptr) {
        return 0;
    }
    size_t out = 0;
    if (text != nullptr) {
        const auto* in = reinterpret_cast<const unsigned char*>(text);
        const size_t available = strnlen(text, n);
        size_t i = 0;
        while (i < available) {
            const size_t length = validSequence(in + i, available - i);
            if (length == 0) {
                buffer[out++] = '?';
                ++i;
                continue;
            }
            std::memcpy(buffer + out, in + i, length);
            out += length;
            i += length;
        }
    }
    buffer[out] = '\0';
    return out;
}

long normalizeColor(long color, int red, int green, int blue)
{
    auto channel = [color](int shift, int amount) {
        long v = ((color >> shift) & 0xFF) + amount;
        return v < 0 ? 0L : (v > 255 ? 255L : v);
    };
    return channel(0, red) | (channel(8, green) << 8) | (channel(16, blue) << 16);
}

long grayifyColor(long color, int level)
{
    const long r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const long lightness = (299 * r + 587 * g + 114 * b) / 1000;
    long grey = (lightness + (level < 0 ? 0 : (level > 255 ? 255 : level))) / 2;
    return grey | (grey << 8) | (grey << 16);
}
