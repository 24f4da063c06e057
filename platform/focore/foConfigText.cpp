// Line helpers of the configuration text and its reading and writing.
#include <algorithm>
#include <cwchar>
#include <string>

#include "focore.h"
#include "kovbase.h"

namespace {

// Longest line readFrom accepts; a written record (indent, key, quotes,
// value and comment) always fits.
constexpr size_t LINE_SIZE = 4096;

template <typename C>
bool isCommentMark(C c)
{
    return c == C('#') || c == C(';');
}

template <typename C>
size_t length(const C* text)
{
    size_t n = 0;
    while (text[n] != C(0)) {
        ++n;
    }
    return n;
}

template <typename C>
const C* findChar(const C* text, C wanted)
{
    for (; *text != C(0); ++text) {
        if (*text == wanted) {
            return text;
        }
    }
    return nullptr;
}

// Copies text[begin, end) trimmed into out (size 0: unbounded); false when
// it does not fit.
template <typename C>
bool copyTrimmed(const C* begin, const C* end, C* out, size_t size)
{
    while (begin < end && kov_isBlank(*begin)) {
        ++begin;
    }
    while (end > begin && kov_isBlank(end[-1])) {
        --end;
    }
    const size_t count = static_cast<size_t>(end - begin);
    if (size != 0 && count + 1 > size) {
        if (out != nullptr) {
            out[0] = C(0);
        }
        return false;
    }
    if (out != nullptr) {
        std::copy(begin, end, out);
        out[count] = C(0);
    }
    return true;
}

template <typename C>
int trimText(C* text)
{
    if (text == nullptr) {
        return 0;
    }
    const size_t total = length(text);
    size_t begin = 0;
    while (begin < total && kov_isBlank(text[begin])) {
        ++begin;
    }
    size_t end = total;
    while (end > begin && kov_isBlank(text[end - 1])) {
        --end;
    }
    std::copy(text + begin, text + end, text);
    text[end - begin] = C(0);
    return static_cast<int>(end - begin);
}

template <typename C>
int removeComment(C* line, C** comment)
{
    if (comment != nullptr) {
        *comment = nullptr;
    }
    if (line == nullptr) {
        return 0;
    }
    size_t i = 0;
    while (line[i] != C(0) && kov_isBlank(line[i])) {
        ++i;
    }
    if (isCommentMark(line[i])) {
        return static_cast<int>(length(line));  // a comment line stays whole
    }
    bool quoted = false;
    for (; line[i] != C(0); ++i) {
        if (line[i] == C('"')) {
            quoted = !quoted;
        } else if (!quoted && isCommentMark(line[i])) {
            line[i] = C(0);
            if (comment != nullptr) {
                *comment = line + i + 1;
            }
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(i);
}

template <typename C>
bool splitKeyValue(const C* line, C* key, C* value, size_t keySize, size_t valueSize)
{
    if (key != nullptr) {
        key[0] = C(0);
    }
    if (value != nullptr) {
        value[0] = C(0);
    }
    if (line == nullptr || key == nullptr || value == nullptr) {
        return false;
    }
    const C* equals = findChar(line, C('='));
    if (equals == nullptr) {
        return false;
    }
    if (!copyTrimmed(line, equals, key, keySize) || key[0] == C(0)) {
        return false;
    }
    return copyTrimmed(equals + 1, line + length(line), value, valueSize);
}

bool writeText(FILE* stream, const std::wstring& text)
{
    return kov_FileWriteW(stream, text.c_str());
}

template <typename C>
bool beginsWith(const C* text, const C* prefix)
{
    for (; *prefix != C(0); ++prefix, ++text) {
        if (*text != *prefix) {
            return false;
        }
    }
    return true;
}

template <typename C>
void normalizeSectionKey(const C* section, bool keysBare, C* key, size_t keySize)
{
    if (section == nullptr || key == nullptr) {
        return;
    }
    const bool letter =
        (key[0] >= C('A') && key[0] <= C('Z')) || (key[0] >= C('a') && key[0] <= C('z'));
    if (!letter) {
        return;
    }
    const size_t nameLength = length(section);
    const size_t keyLength = length(key);
    if (keysBare) {
        if (beginsWith(key, section) && key[nameLength] == C('.')) {
            std::copy(key + nameLength + 1, key + keyLength + 1, key);
        }
        return;
    }
    // The dot is not needed to recognise the section's own spelling.
    if (beginsWith(key, section)) {
        return;
    }
    const size_t total = nameLength + 1 + keyLength;
    if (total + 1 > keySize) {
        return;  // would not fit: left as written, refused later as unknown
    }
    std::copy_backward(key, key + keyLength + 1, key + total + 1);
    std::copy(section, section + nameLength, key);
    key[nameLength] = C('.');
}

}  // namespace

void foConfig::normalizeKey(const wchar_t* section, bool keysBare, wchar_t* key, size_t keySize)
{
    normalizeSectionKey(section, keysBare, key, keySize);
}

void foConfig::normalizeKeyA(const char* section, bool keysBare, char* key, size_t keySize)
{
    normalizeSectionKey(section, keysBare, key, keySize);
}

int foConfig::trim(wchar_t* text) { return trimText(text); }

int foConfig::trimA(char* text) { return trimText(text); }

int foConfig::remComment(wchar_t* line, wchar_t** comment) { return removeComment(line, comment); }

int foConfig::remCommentA(char* line, char** comment) { return removeComment(line, comment); }

bool foConfig::getKeyValue(const wchar_t* line, wchar_t* key, wchar_t* value, size_t keySize,
                           size_t valueSize)
{
    return splitKeyValue(line, key, value, keySize, valueSize);
}

bool foConfig::getKeyValueA(const char* line, char* key, char* value, size_t keySize,
                            size_t valueSize)
{
    return splitKeyValue(line, key, value, keySize, valueSize);
}

bool foConfig::writeTo(FILE* stream) const
{
    if (stream == nullptr) {
        return false;
    }
    bool ok = true;
    for (const foSection* section : sections) {
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
