// Line helpers of the configuration text and its reading and writing.
#include <cwchar>
#include <string>

#include "focore.h"
#include "kovbase.h"

namespace {

// Longest line readFrom accepts; a written record (indent, key, quotes,
// value and comment) always fits.
constexpr size_t LINE_SIZE = 4096;

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool isCommentMark(wchar_t c)
{
    return c == L'#' || c == L';';
}

// Copies text[begin, end) trimmed into out (size 0: unbounded); false when
// it does not fit.
bool copyTrimmed(const wchar_t* begin, const wchar_t* end, wchar_t* out, size_t size)
{
    while (begin < end && isBlank(*begin)) {
        ++begin;
    }
    while (end > begin && isBlank(end[-1])) {
        --end;
    }
    const size_t length = static_cast<size_t>(end - begin);
    if (size != 0 && length + 1 > size) {
        if (out != nullptr) {
            out[0] = L'\0';
        }
        return false;
    }
    if (out != nullptr) {
        std::wmemcpy(out, begin, length);
        out[length] = L'\0';
    }
    return true;
}

bool writeText(FILE* stream, const std::wstring& text)
{
    return kov_FileWriteW(stream, text.c_str());
}

}  // namespace

int foConfig::trim(wchar_t* text)
{
    if (text == nullptr) {
        return 0;
    }
    const size_t length = std::wcslen(text);
    size_t begin = 0;
    while (begin < length && isBlank(text[begin])) {
        ++begin;
    }
    size_t end = length;
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    std::wmemmove(text, text + begin, end - begin);
    text[end - begin] = L'\0';
    return static_cast<int>(end - begin);
}

int foConfig::remComment(wchar_t* line, wchar_t** comment)
{
    if (comment != nullptr) {
        *comment = nullptr;
    }
    if (line == nullptr) {
        return 0;
    }
    size_t i = 0;
    while (line[i] != L'\0' && isBlank(line[i])) {
        ++i;
    }
    if (isCommentMark(line[i])) {
        return static_cast<int>(std::wcslen(line));  // a comment line stays whole
    }
    bool quoted = false;
    for (; line[i] != L'\0'; ++i) {
        if (line[i] == L'"') {
            quoted = !quoted;
        } else if (!quoted && isCommentMark(line[i])) {
            line[i] = L'\0';
            if (comment != nullptr) {
                *comment = line + i + 1;
            }
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(i);
}

bool foConfig::getKeyValue(const wchar_t* line, wchar_t* key, wchar_t* value, size_t keySize,
                           size_t valueSize)
{
    if (key != nullptr) {
        key[0] = L'\0';
    }
    if (value != nullptr) {
        value[0] = L'\0';
    }
    if (line == nullptr || key == nullptr || value == nullptr) {
        return false;
    }
    const wchar_t* equals = std::wcschr(line, L'=');
    if (equals == nullptr) {
        return false;
    }
    if (!copyTrimmed(line, equals, key, keySize) || key[0] == L'\0') {
        return false;
    }
    return copyTrimmed(equals + 1, line + std::wcslen(line), value, valueSize);
}

bool foConfig::writeTo(FILE* stream) const
{
    if (stream == nullptr) {
        return false;
    }
    bool ok = true;
    for (const foSection* section : sections_) {
        ok = writeText(stream, L"[" + std::wstring(section->getName()) + L"]\n") && ok;
        for (int r = 0; r < section->getRecordCount(); ++r) {
            const foRecord* record = section->getRecord(r);
            std::wstring line = L"    " + std::wstring(record->getKey()) + L"=";
            if (record->isQuoted()) {
                line += L"\"" + std::wstring(record->getValue()) + L"\"";
            } else {
                line += record->getValue();
            }
            if (record->getComment()[0] != L'\0') {
                line += L"    # " + std::wstring(record->getComment());
            }
            ok = writeText(stream, line + L"\n") && ok;
        }
        ok = writeText(stream, L"\n") && ok;
    }
    return ok && std::ferror(stream) == 0;
}

bool foConfig::writeFile(const wchar_t* path) const
{
    FILE* stream = kov_FileOpenW(path, "w");
    if (stream == nullptr) {
        return false;
    }
    bool ok = writeTo(stream);
    ok = std::fclose(stream) == 0 && ok;
    return ok;
}

bool foConfig::readFrom(FILE* stream, int* errorLine)
{
    if (errorLine != nullptr) {
        *errorLine = 0;
    }
    removeAll();
    if (stream == nullptr) {
        return false;
    }
    std::wstring line(LINE_SIZE, L'\0');
    std::wstring key(LINE_SIZE, L'\0');
    std::wstring value(LINE_SIZE, L'\0');
    std::wstring pendingComment;
    const foSection* current = nullptr;
    int number = 0;
    bool cut = false;
    auto fail = [&]() {
        if (errorLine != nullptr) {
            *errorLine = number;
        }
        return false;
    };
    while (kov_FileReadLineW(stream, line.data(), LINE_SIZE, &cut)) {
        ++number;
        if (cut) {
            return fail();
        }
        if (trim(line.data()) == 0) {
            pendingComment.clear();  // a blank line detaches a comment
            continue;
        }
        if (isCommentMark(line[0])) {
            pendingComment = line.c_str() + 1;
            pendingComment.resize(static_cast<size_t>(trim(pendingComment.data())));
            continue;
        }
        wchar_t* trailing = nullptr;
        remComment(line.data(), &trailing);
        trim(line.data());
        if (trailing != nullptr) {
            trim(trailing);
        }
        if (line[0] == L'[') {
            const size_t length = std::wcslen(line.c_str());
            if (line[length - 1] != L']' || length < 3) {
                return fail();
            }
            const std::wstring name(line.c_str() + 1, length - 2);
            current = addSection(name.c_str());
            if (current == nullptr) {
                return fail();
            }
            pendingComment.clear();
            continue;
        }
        if (current == nullptr || !getKeyValue(line.c_str(), key.data(), value.data())) {
            return fail();
        }
        const wchar_t* comment = trailing != nullptr ? trailing : pendingComment.c_str();
        if (!setValue(current->getName(), key.c_str(), value.c_str(), comment, false)) {
            return fail();
        }
        pendingComment.clear();
    }
    return true;
}

bool foConfig::readFile(const wchar_t* path, int* errorLine)
{
    FILE* stream = kov_FileOpenW(path, "rb");
    if (stream == nullptr) {
        removeAll();
        if (errorLine != nullptr) {
            *errorLine = 0;
        }
        return false;
    }
    const bool ok = readFrom(stream, errorLine);
    kov_FileClose(&stream);
    return ok;
}
