// Column data files (bias lists, spectra, meshes, initial guesses).
#include <cwchar>
#include <string>
#include <vector>

#include "focore.h"
#include "kovbase.h"
#include "nuSigma.h"

namespace {

constexpr size_t LINE_SIZE = 4096;

// The callers may pass no channel.
void report(nuSigma* sigma, const std::wstring& what)
{
    if (sigma != nullptr) {
        sigma->error(what);
    }
}

// Splits one line into its fields. A blank separator takes any run of
// blanks (files written by hand or by other programs mix tabs and spaces);
// any other separator splits exactly, and blanks around a field go.
std::vector<std::wstring> splitFields(const std::wstring& line, wchar_t separator)
{
    std::vector<std::wstring> fields;
    if (separator == L'\t' || separator == L' ') {
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && kov_isBlank(line[i])) {
                ++i;
            }
            const size_t begin = i;
            while (i < line.size() && !kov_isBlank(line[i])) {
                ++i;
            }
            if (i > begin) {
                fields.push_back(line.substr(begin, i - begin));
            }
        }
        return fields;
    }
    size_t begin = 0;
    while (true) {
        const size_t end = line.find(separator, begin);
        std::wstring field = line.substr(begin, end == std::wstring::npos ? end : end - begin);
        size_t first = 0;
        while (first < field.size() && kov_isBlank(field[first])) {
            ++first;
        }
        size_t last = field.size();
        while (last > first && kov_isBlank(field[last - 1])) {
            --last;
        }
        fields.push_back(field.substr(first, last - first));
        if (end == std::wstring::npos) {
            break;
        }
        begin = end + 1;
    }
    return fields;
}

bool readNumber(const std::wstring& field, double* value)
{
    if (field.empty()) {
        return false;
    }
    wchar_t* end = nullptr;
    *value = kov_wcstod(field.c_str(), &end);
    return end != nullptr && *end == L'\0' && end != field.c_str();
}

}  // namespace

int fo_importAscii(const wchar_t* file, double** columns, int columnCount, int rowLimit,
                   wchar_t separator, int reserved, nuSigma* sigma)
{
    (void)reserved;
    const std::wstring name = file != nullptr ? file : L"";
    if (file == nullptr || columns == nullptr || columnCount < 1 || rowLimit < 1) {
        report(sigma, L"invalid data file request");
        return -1;
    }
    for (int c = 0; c < columnCount; ++c) {
        if (columns[c] == nullptr) {
            report(sigma, L"invalid data file request");
            return -1;
        }
    }
    FILE* stream = kov_FileOpenW(file, "rb");
    if (stream == nullptr) {
        report(sigma, L"cannot open data file '" + name + L"'");
        return -1;
    }
    std::wstring line(LINE_SIZE, L'\0');
    int rows = 0;
    int lineNumber = 0;
    bool cut = false;
    int result = 0;
    while (kov_FileReadLineW(stream, line.data(), LINE_SIZE, &cut)) {
        ++lineNumber;
        const std::wstring text = line.c_str();
        size_t first = 0;
        while (first < text.size() && kov_isBlank(text[first])) {
            ++first;
        }
        if (first == text.size() || text[first] == L'#') {
            continue;
        }
        if (cut) {
            report(sigma, L"line " + std::to_wstring(lineNumber) + L" too long in data file '" +
                              name + L"'");
            result = -1;
            break;
        }
        if (rows == rowLimit) {
            report(sigma, L"too many rows in data file '" + name + L"' (at most " +
                              std::to_wstring(rowLimit) + L")");
            result = rowLimit + 1;
            break;
        }
        const std::vector<std::wstring> fields = splitFields(text, separator);
        bool ok = fields.size() >= static_cast<size_t>(columnCount);
        for (int c = 0; ok && c < columnCount; ++c) {
            ok = readNumber(fields[static_cast<size_t>(c)], &columns[c][rows]);
        }
        if (!ok) {
            report(sigma, L"invalid data at line " + std::to_wstring(lineNumber) +
                              L" of data file '" + name + L"' (" + std::to_wstring(columnCount) +
                              L" numbers expected)");
            result = -1;
            break;
        }
        ++rows;
    }
    kov_FileClose(&stream);
    if (result != 0) {
        return result;
    }
    if (rows == 0) {
        report(sigma, L"no data in data file '" + name + L"'");
    }
    return rows;
}
