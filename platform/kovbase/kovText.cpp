// Text services: the one UTF-8 <-> wchar_t conversion of the suite, bounded
// copies and number reading that ignores LC_NUMERIC.
#include "kovbase.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <locale.h>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool isScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// Decodes one UTF-8 sequence at text[0..length). Returns the bytes used
// (at least 1); an invalid, overlong or cut sequence yields U+FFFD for its
// first byte only, so decoding resynchronises on the next byte.
size_t decodeOne(const unsigned char* text, size_t length, char32_t* out)
{
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        *out = lead;
        return 1;
    }
    size_t count = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        *out = REPLACEMENT;
        return 1;
    }
    if (count > length) {
        *out = REPLACEMENT;
        return 1;
    }
    for (size_t i = 1; i < count; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            *out = REPLACEMENT;
            return 1;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    if (value < minimum || !isScalarValue(value)) {
        *out = REPLACEMENT;
        return 1;
    }
    *out = value;
    return count;
}

// Encodes one character; returns the byte count (1..4).
size_t encodeOne(char32_t c, char* out)
{
    if (!isScalarValue(c)) {
        c = REPLACEMENT;
    }
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// The "C" locale object used for every number conversion, created once.
locale_t numericLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

}  // namespace

std::wstring kov_toWide(const char* utf8)
{
    std::wstring wide;
    if (utf8 == nullptr) {
        return wide;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    const size_t length = std::strlen(utf8);
    wide.reserve(length);
    size_t i = 0;
    while (i < length) {
        char32_t c = 0;
        i += decodeOne(bytes + i, length - i, &c);
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

std::wstring kov_toWide(const std::string& utf8)
{
    std::wstring wide;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    wide.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        i += decodeOne(bytes + i, utf8.size() - i, &c);
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

std::string kov_toUtf8(const wchar_t* wide)
{
    std::string utf8;
    if (wide == nullptr) {
        return utf8;
    }
    char buffer[4];
    for (; *wide != L'\0'; ++wide) {
        const size_t n = encodeOne(static_cast<char32_t>(*wide), buffer);
        utf8.append(buffer, n);
    }
    return utf8;
}

std::string kov_toUtf8(const std::wstring& wide)
{
    std::string utf8;
    utf8.reserve(wide.size());
    char buffer[4];
    for (wchar_t c : wide) {
        const size_t n = encodeOne(static_cast<char32_t>(c), buffer);
        utf8.append(buffer, n);
    }
    return utf8;
}

size_t kov_copyW(wchar_t* dst, size_t size, const wchar_t* src)
{
    if (dst == nullptr || size == 0) {
        return 0;
    }
    size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < size && src[n] != L'\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = L'\0';
    return n;
}

size_t kov_copyA(char* dst, size_t size, const char* src)
{
    if (dst == nullptr || size == 0) {
        return 0;
    }
    size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < size && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

size_t kov_wideToUtf8(char* dst, size_t size, const wchar_t* src)
{
    if (dst == nullptr || size == 0) {
        return 0;
    }
    size_t n = 0;
    char buffer[4];
    for (; src != nullptr && *src != L'\0'; ++src) {
        const size_t count = encodeOne(static_cast<char32_t>(*src), buffer);
        if (n + count + 1 > size) {
            break;  // the whole sequence or nothing
        }
        std::memcpy(dst + n, buffer, count);
        n += count;
    }
    dst[n] = '\0';
    return n;
}

size_t kov_utf8ToWide(wchar_t* dst, size_t size, const char* src)
{
    if (dst == nullptr || size == 0) {
        return 0;
    }
    size_t n = 0;
    if (src != nullptr) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(src);
        const size_t length = std::strlen(src);
        size_t i = 0;
        while (i < length && n + 1 < size) {
            char32_t c = 0;
            i += decodeOne(bytes + i, length - i, &c);
            dst[n++] = static_cast<wchar_t>(c);
        }
    }
    dst[n] = L'\0';
    return n;
}

double kov_strtod(const char* text, char** end)
{
    if (text == nullptr) {
        if (end != nullptr) {
            *end = nullptr;
        }
        return 0.0;
    }
    return strtod_l(text, end, numericLocale());
}

double kov_wcstod(const wchar_t* text, wchar_t** end)
{
    if (text == nullptr) {
        if (end != nullptr) {
            *end = nullptr;
        }
        return 0.0;
    }
    return wcstod_l(text, end, numericLocale());
}

void kov_normalizeSeparatorsW(wchar_t* path)
{
    for (; path != nullptr && *path != L'\0'; ++path) {
        if (*path == L'\\') {
            *path = L'/';
        }
    }
}

void kov_normalizeSeparatorsA(char* path)
{
    for (; path != nullptr && *path != '\0'; ++path) {
        if (*path == '\\') {
            *path = '/';
        }
    }
}

size_t kov_startwith(const char* text, const char* prefix, int flags)
{
    if (text == nullptr || prefix == nullptr || prefix[0] == '\0') {
        return 0;
    }
    const std::string_view whole(text);
    const std::string_view start(prefix);
    const bool ignoreCase = (flags & 1) != 0;
    const bool match = ignoreCase ? kov_equalsNoCase(whole.substr(0, start.size()), start)
                                  : kov_startsWith(whole, start);
    return match ? start.size() : 0;
}

int kov_endwith(const char* text, const char* suffix, int flags)
{
    if (text == nullptr || suffix == nullptr || suffix[0] == '\0') {
        return 0;
    }
    const std::string_view whole(text);
    const std::string_view end(suffix);
    if (end.size() > whole.size()) {
        return 0;
    }
    const bool ignoreCase = (flags & 1) != 0;
    const bool match = ignoreCase ? kov_equalsNoCase(whole.substr(whole.size() - end.size()), end)
                                  : kov_endsWith(whole, end);
    return match ? 1 : 0;
}

size_t kov_trim(char* text)
{
    if (text == nullptr) {
        return 0;
    }
    size_t start = 0;
    while (kov_isBlank(text[start])) {
        ++start;
    }
    size_t end = std::strlen(text);
    while (end > start && kov_isBlank(text[end - 1])) {
        --end;
    }
    std::memmove(text, text + start, end - start);
    text[end - start] = '\0';
    return end - start;
}

int kov_reformatAuto(double value, char* buffer, int width, int digits)
{
    if (buffer == nullptr || width < 1) {
        return 0;
    }
    buffer[0] = '\0';
    char number[64];
    std::to_chars_result result{};
    if (std::isnan(value)) {
        std::strcpy(number, "nan");
        result.ptr = number + 3;
    } else if (digits > 0) {
        result = std::to_chars(number, number + sizeof number - 1, value,
                               std::chars_format::general, digits < 17 ? digits : 17);
    } else {
        result = std::to_chars(number, number + sizeof number - 1, value);
    }
    const size_t length = static_cast<size_t>(result.ptr - number);
    if (result.ec != std::errc() || length > static_cast<size_t>(width)) {
        return 0;
    }
    std::memcpy(buffer, number, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
