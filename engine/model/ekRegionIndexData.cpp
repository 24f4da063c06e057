// ekRegion: the tabulated optical index (wavelength, n, k) that comes from an
// index file or a blob of the material database, and its parser.
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "ekRegion.h"
#include "ekHelpers.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// A data line holds "wavelength<TAB>n<TAB>k"; the shortest such line is
// three one-digit fields.
constexpr size_t DATA_LINE_MIN = 5;
constexpr size_t DATA_LINE_MAX = 255;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One field of a data line: a complete number, nothing but blanks after it.
bool parseField(const std::string& field, double* value)
{
    if (field.empty()) {
        return false;
    }
    if (field.size() == 1) {
        if (!isDigit(field[0])) {
            return false;
        }
        *value = field[0] - '0';
        return true;
    }
    char* end = nullptr;
    *value = kov_strtod(field.c_str(), &end);
    if (end == field.c_str()) {
        return false;
    }
    while (*end != '\0' && kov_isBlank(*end)) {
        ++end;
    }
    return *end == '\0';
}

// Splits a line into exactly three tab-separated numbers.
bool parseDataLine(const std::string& line, double values[3])
{
    size_t start = 0;
    for (int field = 0; field < 3; ++field) {
        const size_t tab = line.find('\t', start);
        const bool lastField = field == 2;
        if (lastField != (tab == std::string::npos)) {
            return false;
        }
        const size_t end = lastField ? line.size() : tab;
        if (!parseField(line.substr(start, end - start), &values[field])) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::wstring pathLine(const wchar_t* prefix, const wchar_t* path)
{
    std::wstring line = prefix;
    line += path;
    // The printed line, tag and line end included, stays within 1023
    // characters.
    if (line.size() > 1023 - nuSigma::ERROR_TAG.size()) {
        line.resize(1023 - nuSigma::ERROR_TAG.size());
    }
    return line;
}

}  // namespace

bool ekRegion::assignDataIndex()
{
    releaseDataIndex();
    if (sigma == nullptr) {
        return false;
    }
    indexText = sigma->mallocStrA(INDEX_TEXT_SIZE);
    indexWavelength = sigma->mallocDbl(INDEX_POINTS_MAX);
    indexDataN = sigma->mallocDbl(INDEX_POINTS_MAX);
    indexDataK = sigma->mallocDbl(INDEX_POINTS_MAX);
    if (!indexText || !indexWavelength || !indexDataN || !indexDataK) {
        releaseDataIndex();
        return false;
    }
    return true;
}

void ekRegion::releaseDataIndex()
{
    if (sigma) {
        if (indexText) {
            sigma->freeStrA(&indexText);
        }
        if (indexWavelength) {
            sigma->freeDbl(&indexWavelength);
        }
        if (indexDataN) {
            sigma->freeDbl(&indexDataN);
        }
        if (indexDataK) {
            sigma->freeDbl(&indexDataK);
        }
    }
    indexText = nullptr;
    indexWavelength = nullptr;
    indexDataN = nullptr;
    indexDataK = nullptr;
    indexCachePos = 0;
    indexTextSize = 0;
    indexCount = 0;
}

bool ekRegion::isDatabaseIndex() const
{
    return indexText != nullptr && indexTextSize >= INDEX_DATABASE_SIZE_MIN &&
           indexTextSize <= INDEX_DATABASE_SIZE_MAX;
}

bool ekRegion::getDataIndex(double* first, double* last, int* count) const
{
    if (!indexWavelength || !indexDataN || !indexDataK || indexCount < INDEX_POINTS_MIN ||
        indexCount > INDEX_POINTS_MAX) {
        return false;
    }
    if (first) {
        *first = indexWavelength[0];
    }
    if (last) {
        *last = indexWavelength[indexCount - 1];
    }
    if (count) {
        *count = indexCount;
    }
    return true;
}

bool ekRegion::takeDataIndex(const char* text, int size)
{
    if (text == nullptr || size < 1 || size >= INDEX_TEXT_SIZE) {
        return false;
    }
    if (!indexText || !indexWavelength || !indexDataN || !indexDataK) {
        if (!assignDataIndex()) {
            return false;
        }
    }
    // The source may be our own buffer (a copy of ourselves is a no-op).
    if (text != indexText) {
        memmove(indexText, text, static_cast<size_t>(size));
    }
    indexText[size] = '\0';
    indexTextSize = size;
    if (!checkDataIndex()) {
        releaseDataIndex();
        return false;
    }
    return true;
}

bool ekRegion::setDataIndex(const char* text, int size)
{
    if (size < INDEX_DATABASE_SIZE_MIN || size > INDEX_DATABASE_SIZE_MAX) {
        return false;
    }
    return takeDataIndex(text, size);
}

bool ekRegion::updateDataIndex(bool report)
{
    if (indexText == nullptr || indexTextSize < INDEX_DATABASE_SIZE_MIN ||
        indexTextSize > INDEX_DATABASE_SIZE_MAX || !indexWavelength || !indexDataN || !indexDataK) {
        return false;
    }
    if (checkDataIndex()) {
        indexModel = INDEX_DATABASE;
        return true;
    }
    releaseDataIndex();
    if (report) {
        reportError(L"invalid index data: ");
    }
    return false;
}

bool ekRegion::checkDataIndex()
{
    if (!indexText || !indexWavelength || !indexDataN || !indexDataK || indexTextSize < 1 ||
        indexTextSize >= INDEX_TEXT_SIZE || indexText[0] == '\0') {
        return false;
    }
    indexCount = 0;
    indexCachePos = 0;
    const char* cursor = indexText;
    const char* const end = indexText + strnlen(indexText, static_cast<size_t>(indexTextSize));
    for (int lineIndex = 0; lineIndex < INDEX_POINTS_MAX && cursor < end; ++lineIndex) {
        const char* lineEnd = static_cast<const char*>(memchr(cursor, '\n', end - cursor));
        if (lineEnd == nullptr) {
            lineEnd = end;
        }
        std::string line(cursor, lineEnd);
        cursor = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        // Headers and comments: anything that does not start like a number.
        if (line.empty() || !(isDigit(line[0]) || line[0] == '.')) {
            continue;
        }
        double values[3];
        if (line.size() < DATA_LINE_MIN || line.size() > DATA_LINE_MAX ||
            !parseDataLine(line, values)) {
            reportError(L"invalid refractive index data");
            return false;
        }
        const double wavelength = values[0];
        if (!kov_inRange(wavelength, 0.1, 10.0) ||
            (indexCount > 0 && !(wavelength > indexWavelength[indexCount - 1]))) {
            reportError(L"invalid refractive index data (wavelength)");
            return false;
        }
        if (!kov_inRange(values[1], 0.1, 100.0)) {
            reportError(L"invalid refractive index data (n)");
            return false;
        }
        if (!kov_inRange(values[2], 0.0, 100.0)) {
            reportError(L"invalid refractive index data (k)");
            return false;
        }
        indexWavelength[indexCount] = wavelength;
        indexDataN[indexCount] = values[1];
        indexDataK[indexCount] = values[2];
        ++indexCount;
    }
    return indexCount >= INDEX_POINTS_MIN;
}

bool ekRegion::loadIndexFile()
{
    if (isBlocked()) {
        return false;
    }
    if (indexModel != INDEX_FILE || indexFile[0] == L'\0') {
        reportError(L"no index file to read");
        return false;
    }
    // Whatever goes wrong below, the layer must not stay on a file source
    // without data: it falls back to its constant index.
    auto refuse = [this](const wchar_t* prefix) {
        reportError(pathLine(prefix, indexFile));
        indexModel = INDEX_CONSTANT;
        return false;
    };
    FILE* stream = kov_FileOpenW(indexFile, "rb");
    if (stream == nullptr) {
        return refuse(L"cannot open the index file: ");
    }
    std::string text(static_cast<size_t>(INDEX_TEXT_SIZE), '\0');
    const size_t size = fread(text.data(), 1, text.size(), stream);
    const bool readError = ferror(stream) != 0;
    kov_FileClose(&stream);
    if (readError) {
        return refuse(L"cannot read the index file: ");
    }
    if (size >= static_cast<size_t>(INDEX_TEXT_SIZE)) {
        return refuse(L"index file too large (at most 32767 bytes): ");
    }
    if (size == 0 || !takeDataIndex(text.data(), static_cast<int>(size))) {
        if (sigma->err != 0) {
            // The parser already said what is wrong; name the file too.
            return refuse(L"in index file: ");
        }
        return refuse(L"invalid index file (fewer than 5 data points): ");
    }
    return true;
}
