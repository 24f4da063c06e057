// Device-file reader, first half: the file name, the mandatory first line,
// header comments, directives, variables, section headers and key lines,
// stored in the configuration store that ekInput inherits. The stored
// values are applied afterwards (ekInputApply*.cpp).
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekHelpers.h"
#include "ekInputReader.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr const wchar_t* FIRST_LINE = L"# Kovra <SL>";

// A variable's value ends at its first '@', or else '&', '?' or ':'.
void cutVariableValue(wchar_t* value)
{
    for (wchar_t mark : {L'@', L'&', L'?', L':'}) {
        if (wchar_t* at = std::wcschr(value, mark)) {
            *at = L'\0';
            return;
        }
    }
}

// A key's value ends at its first '@' outside double quotes, so that a
// quoted name or path may hold one.
void cutKeyValue(wchar_t* value)
{
    bool quoted = false;
    for (wchar_t* c = value; *c != L'\0'; ++c) {
        if (*c == L'"') {
            quoted = !quoted;
        } else if (*c == L'@' && !quoted) {
            *c = L'\0';
            return;
        }
    }
}

// Keys whose values are words or names although their table types some of
// them as real numbers.
bool takesWords(const wchar_t* key, bool isText)
{
    if (isText) {
        return true;
    }
    for (const wchar_t* word : {L"Anode.Material", L"Cathode.Material", L"Cathode.Type",
                                L"Anode.Tunnel", L"Cathode.Tunnel", L"Dopant.Type"}) {
        if (kov_equalsNoCase(key, word)) {
            return true;
        }
    }
    return std::wcslen(key) == 10 && wcsncasecmp(key, L"Trap", 4) == 0 &&
           wcscasecmp(key + 5, L".Type") == 0;
}

// Letters two spellings differ by (case ignored): insertions, deletions
// and substitutions.
size_t editDistance(const wchar_t* a, const wchar_t* b)
{
    const size_t m = std::wcslen(a), n = std::wcslen(b);
    std::vector<size_t> row(n + 1);
    for (size_t j = 0; j <= n; ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= m; ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= n; ++j) {
            const size_t above = row[j];
            const bool same = std::towlower(a[i - 1]) == std::towlower(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[n];
}

// " (did you mean 'Key'?)" for a key of the section close to the one
// written, else a pointer to the reference of the keys.
std::wstring keyHint(int section, const wchar_t* key)
{
    const _ekRecord* records = section >= 0 && section < ekInput::SECTIONCOUNT
                                   ? ekInput::SECTION[section].records
                                   : nullptr;
    const wchar_t* best = nullptr;
    size_t bestDistance = 3;  // a typing slip, not another word
    for (const _ekRecord* record = records; record != nullptr && record->key != nullptr; ++record) {
        const size_t distance = editDistance(key, record->key);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = record->key;
        }
    }
    if (best != nullptr) {
        return std::wstring(L" (did you mean '") + best + L"'?)";
    }
    return L" (the keys of every section are listed in the device-file reference, "
           L"docs/device-file.md)";
}

constexpr const wchar_t* SECTION_NAMES =
    L"Device, Layer1 to Layer9, Anode, Cathode, Voltage, Light, Numeric, Command";

}  // namespace

bool ekInput::load(const wchar_t* fileName, ekSimulator* simulator, ElecDevice* device,
                   ekExcitation* excitation, nuSigma* sigma, nuParam* param, int* line)
{
    ekInputReader reader(*this, fileName, simulator, device, excitation, sigma, param, line);
    return reader.run();
}

ekInputReader::ekInputReader(ekInput& store, const wchar_t* fileName, ekSimulator* simulator,
                             ElecDevice* device, ekExcitation* excitation, nuSigma* sigma,
                             nuParam* param, int* lineOut)
    : store(store),
      fileName(fileName),
      simulator(simulator),
      device(device),
      excitation(excitation),
      sigma(sigma),
      param(param),
      lineOut(lineOut)
{
    for (int& line : headerLines) {
        line = -1;
    }
}

bool ekInputReader::run()
{
    if (sigma == nullptr || param == nullptr || sigma->err != 0) {
        return false;
    }
    sigma->reset();
    if (!checkArguments()) {
        return false;
    }

    // A folder carrying the extension opens on this platform but yields no
    // line; it is no input file.
    FILE* stream = kov_fileExistsW(fileName) ? kov_FileOpenW(fileName, "r") : nullptr;
    if (stream == nullptr) {
        const wchar_t* kind = kov_otherFileKindW(fileName);
        const std::wstring why = kov_dirExistsW(fileName) ? L"a folder, not a device file"
                                 : kind != nullptr ? std::wstring(kind) + L", not a regular file"
                                                   : L"no such file, or not readable";
        sigma->error(ek_format(L"cannot open input filename %ls (%ls)", fileName, why.c_str()));
        return false;
    }
    wasVerbose = sigma->isVerbose();
    bool ok = readFirstLine(stream) && readBody(stream);
    kov_FileClose(&stream);
    if (!ok) {
        return false;
    }

    const int sections = store.getSectionCount();
    if (sections < 1) {
        setLineOut(0);
        sigma->error(L"input file not loaded: no section found");
        return false;
    }
    if (sections > store.getCapacity()) {
        setLineOut(0);
        sigma->error(L"input file not loaded: too many sections");
        return false;
    }
    if (!apply()) {
        return false;
    }
    finishMessage();
    return true;
}

bool ekInputReader::checkArguments()
{
    if (simulator == nullptr || device == nullptr || excitation == nullptr) {
        sigma->error(L"invalid semiconductor device");
        return false;
    }
    const size_t length = fileName != nullptr ? std::wcslen(fileName) : 0;
    if (length == 0 || length > 1016) {
        sigma->error(L"invalid input filename");
        return false;
    }
    const size_t extension =
        std::max(ek_endsWithW(fileName, L".kovra"), ek_endsWithW(fileName, L".xml"));
    if (extension == 0) {
        sigma->error(ek_format(L"invalid input filename extension: %ls (valid "
                               L"extension: kovra)",
                               fileName));
        return false;
    }
    // Any name of at least one character before the extension will do,
    // "a.kovra" included.
    const size_t folderEnd = std::wstring(fileName).find_last_of(L"\\/");
    const size_t nameLength = folderEnd == std::wstring::npos ? length : length - folderEnd - 1;
    if (nameLength <= extension) {
        sigma->error(ek_format(L"invalid input filename: %ls (a name is needed before "
                               L"the extension)",
                               fileName));
        return false;
    }
    return true;
}

bool ekInputReader::readFirstLine(FILE* stream)
{
    std::vector<wchar_t> line(FIRST_LINE_SIZE, L'\0');
    if (!kov_FileReadLineW(stream, line.data(), FIRST_LINE_SIZE)) {
        setLineOut(0);
        sigma->error(L"invalid input file");
        return false;
    }
    const int length = foConfig::trim(line.data());
    if (length < 3 || length > 1022 || std::wcscmp(line.data(), FIRST_LINE) != 0) {
        setLineOut(0);
        if (std::wcsncmp(line.data(), L"<?xml", 5) == 0) {
            sigma->error(L"XML input file format not yet supported");
        } else {
            // The line found, cut short, beside the one expected.
            std::wstring found(line.data(), std::min<size_t>(std::wcslen(line.data()), 40));
            if (std::wcslen(line.data()) > found.size()) {
                found += L"...";
            }
            sigma->error(ek_format(L"invalid input file header at line 1: \"%ls\" (the first "
                                   L"line of a device file is exactly \"%ls\")",
                                   found.c_str(), FIRST_LINE));
        }
        return false;
    }
    device->initHeader();
    device->addtoHeader(line.data());
    if (wasVerbose) {
        sigma->update((L"[INPUT]   loading... " + std::wstring(50, L'=') + L"\n").c_str(), 0);
    }

    store.removeAll();
    keyLines.clear();
    device->removeAllLayers();
    for (int& header : headerLines) {
        header = -1;
    }
    pending.clear();
    setLineOut(-1);
    headerBlock = true;
    return true;
}

bool ekInputReader::readBody(FILE* stream)
{
    std::vector<wchar_t> line(LINE_SIZE, L'\0');
    bool cut = false;
    for (currentLine = 1; currentLine <= LAST_LINE_INDEX; ++currentLine) {
        if (!kov_FileReadLineW(stream, line.data(), LINE_SIZE, &cut)) {
            break;
        }
        sigma->status = currentLine;
        if (cut) {
            // A comment may be cut harmlessly; any other line would lose
            // part of its value or be misread.
            const wchar_t* first = line.data();
            while (kov_isBlank(*first)) {
                ++first;
            }
            if (*first != L'#' && *first != L';') {
                return fail(currentLine, ek_format(L"invalid syntax at line %d: line too long",
                                                   currentLine + 1));
            }
        }
        if (!handleLine(line.data())) {
            return false;
        }
    }
    return true;
}

bool ekInputReader::handleLine(wchar_t* line)
{
    if (foConfig::trim(line) == 0) {
        return true;
    }
    if (headerBlock) {
        if (line[0] == L'#' || line[0] == L';') {
            if (!device->addtoHeader(line)) {
                headerBlock = false;
            }
            return true;
        }
        headerBlock = false;
    }

    wchar_t* comment = nullptr;
    if (foConfig::remComment(line, &comment) == 0) {
        return true;
    }
    std::wstring lineComment;
    if (comment != nullptr) {
        if (foConfig::trim(line) == 0) {
            return true;
        }
        std::wstring cutComment(comment, wcsnlen(comment, COMMENT_SIZE - 1));
        std::vector<wchar_t> work(cutComment.begin(), cutComment.end());
        work.push_back(L'\0');
        foConfig::trim(work.data());
        pending = work.data();
        lineComment = pending;
    } else if (lastCommentLine == currentLine - 1 && !pending.empty()) {
        lineComment = pending;
    }

    switch (line[0]) {
    case L'@':
    case L'&':
    case L'?':
    case L'>':
        // Directives of other tools; only clearing the console means
        // something here.
        if (kov_equalsNoCase(line, L"@cls")) {
            ek_clearConsole();
        }
        return true;
    case L'$': return handleVariable(line);
    case L'#':
    case L';':
        lastCommentLine = currentLine;
        pending.assign(line, wcsnlen(line, COMMENT_SIZE - 1));
        return true;
    case L'[': return handleSection(line);
    default: return handleKey(line, lineComment.empty() ? nullptr : lineComment.c_str());
    }
}

bool ekInputReader::handleVariable(const wchar_t* line)
{
    const wchar_t* text = line + 1;
    while (kov_isBlank(*text)) {
        ++text;
    }
    std::vector<wchar_t> name(LINE_SIZE, L'\0');
    std::vector<wchar_t> value(LINE_SIZE, L'\0');
    bool ok = foConfig::getKeyValue(text, name.data(), value.data(), LINE_SIZE, LINE_SIZE);
    if (ok) {
        cutVariableValue(value.data());
        ok = foConfig::trim(name.data()) > 0 && foConfig::trim(value.data()) > 0 &&
             device->setVariable(name.data(), value.data(), currentLine);
    }
    if (!ok) {
        if (sigma->err != 0) {
            return failReported(currentLine);
        }
        // The device says why it refused a definition it was given; the
        // lines it never saw lack their name or their value.
        std::wstring why = device->getVariableRefusal();
        if (why.empty() || name[0] == L'\0' || value[0] == L'\0') {
            why = name[0] != L'\0' ? L"$" + std::wstring(name.data()) + L" has no value"
                                   : L"a name and a value are needed ($name = value)";
        }
        return fail(currentLine, ek_format(L"invalid variable definition at line %d: %ls",
                                           currentLine + 1, why.c_str()));
    }
    info(ek_format(L"[INFO]    variable defined: $%ls = %ls\n", name.data(), value.data()));
    return true;
}

bool ekInputReader::handleSection(const wchar_t* line)
{
    const size_t length = std::wcslen(line);
    if (length < 2 || line[length - 1] != L']') {
        return fail(currentLine, ek_format(L"invalid syntax at line %d", currentLine + 1));
    }
    const size_t nameLength = length - 2;
    if (nameLength >= NAME_WORK_SIZE) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: unknown section "
                                           L"(sections: %ls)",
                                           currentLine + 1, SECTION_NAMES));
    }
    wchar_t name[NAME_WORK_SIZE];
    std::wmemcpy(name, line + 1, nameLength);
    name[nameLength] = L'\0';

    if (kov_equalsNoCase(name, L"Signal")) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: harmonic signal "
                                           L"simulation not yet implemented",
                                           currentLine + 1));
    }
    if (kov_equalsNoCase(name, L"Layer")) {
        kov_copyW(name, NAME_WORK_SIZE, L"Layer1");
        sigma->update(ek_format(L"[WARNING] at line %d: defining a non-numbered layer is not "
                                L"advised, even for one-layer device",
                                currentLine + 1)
                          .c_str(),
                      2);
    }
    const int position = ekInput::sectionIndex(name);
    if (position < 0) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: unknown section [%ls] "
                                           L"(sections: %ls)",
                                           currentLine + 1, name, SECTION_NAMES));
    }
    foSection* section = store.addSection(name, ekInput::sectionRecordCount(position));
    if (section == nullptr) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d", currentLine + 1));
    }
    if (store.getSectionCount() > store.getCapacity()) {
        // Tagged like every refusal: a failed run always shows an error line.
        return fail(currentLine, ek_format(L"Maximum number of sections reached at line %d "
                                           L"(a device file holds at most %d sections)",
                                           currentLine + 1, static_cast<int>(store.getCapacity())));
    }
    currentSection = section;
    sectionPosition = position;
    // Messages about a section name the line of its first header, whatever
    // the letter case or order of the headers.
    if (headerLines[position] < 0) {
        headerLines[position] = currentLine;
    }
    return true;
}

bool ekInputReader::handleKey(const wchar_t* line, const wchar_t* comment)
{
    if (currentSection == nullptr) {
        return fail(currentLine,
                    ek_format(L"invalid syntax at line %d: item outside section", currentLine + 1));
    }
    std::vector<wchar_t> key(LINE_SIZE, L'\0');
    std::vector<wchar_t> value(LINE_SIZE, L'\0');
    bool ok = foConfig::getKeyValue(line, key.data(), value.data(), LINE_SIZE, LINE_SIZE) &&
              foConfig::trim(key.data()) > 0 && foConfig::trim(value.data()) > 0;
    if (ok) {
        cutKeyValue(value.data());
        ok = foConfig::trim(value.data()) > 0;
    }
    if (!ok) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d", currentLine + 1));
    }

    std::vector<wchar_t> normalized(key);
    ekInput::normalizeKey(sectionPosition, normalized.data(), normalized.size());
    bool isText = false;
    const int keyPosition =
        ekInput::keyIndex(currentSection->getName(), normalized.data(), &isText);

    // A quote left open swallows the rest of the line (a comment too); the
    // value would not be what the user meant.
    if (std::count(value.begin(), value.end(), L'"') % 2 != 0) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: unclosed quote in %ls = "
                                           L"%ls",
                                           currentLine + 1, key.data(), value.data()));
    }
    std::wstring asWritten(value.data());
    if (asWritten.size() >= 2 && asWritten.front() == L'"' && asWritten.back() == L'"') {
        asWritten = asWritten.substr(1, asWritten.size() - 2);
    }
    if (!evaluateValue(key.data(), normalized.data(), isText, value.data())) {
        return false;
    }
    if (keyPosition < 0) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: unknown parameter "
                                           L"'%ls'%ls",
                                           currentLine + 1, normalized.data(),
                                           keyHint(sectionPosition, normalized.data()).c_str()));
    }
    // The second of two values would silently win over the first.
    const std::wstring id = keyId(currentSection->getName(), normalized.data());
    const auto before = keyLines.find(id);
    if (before != keyLines.end()) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: %ls given twice in "
                                           L"[%ls] (first at line %d)",
                                           currentLine + 1, normalized.data(),
                                           currentSection->getName(), before->second.line + 1));
    }
    if (!store.setValue(currentSection->getName(), normalized.data(), value.data(), comment,
                        isText)) {
        return fail(currentLine, ek_format(L"invalid syntax at line %d: unknown parameter '%ls'",
                                           currentLine + 1, normalized.data()));
    }
    keyLines[id] = KeyOrigin{currentLine, asWritten};
    pending.clear();
    // A quoted value is stored as written; one that should be a number and
    // is none would otherwise be read as 0.
    if (!takesWords(normalized.data(), isText) && !checkNumberText(sectionPosition, keyPosition)) {
        return false;
    }
    return true;
}

bool ekInputReader::evaluateValue(const wchar_t* key, const wchar_t* normalized, bool isText,
                                  wchar_t* value)
{
    const size_t length = std::wcslen(value);
    if (value[0] == L'$') {
        // A whole reference first, then an expression using references.
        // Neither can be longer than a value text.
        std::wstring reference(value);
        wchar_t result[NAME_WORK_SIZE] = {};
        bool ok = false;
        if (length < NAME_WORK_SIZE) {
            ok = device->getVariable(value, result);
            if (ok) {
                kov_copyW(value, LINE_SIZE, result);
            } else {
                ok = device->parseValue(value);
            }
        }
        if (!ok) {
            if (sigma->err != 0) {
                return failReported(currentLine);
            }
            return failUndefined(key, reference);
        }
        info(ek_format(L"[INFO]    variable used:    %ls = %ls (for %ls)\n", reference.c_str(),
                       value, key));
        return true;
    }
    if (std::wcschr(value, L'"') != nullptr) {
        return true;  // quoted text is taken as written
    }

    const std::wstring written(value);
    if (device->parseValue(value)) {
        return true;
    }
    if (sigma->err != 0) {
        return failReported(currentLine);
    }
    if (!device->undefinedReference(written.c_str()).empty()) {
        return failUndefined(key, written);
    }
    // An unquoted word ("Donor", "Si", "AM1.5") is no expression, but it is
    // what a word-valued key expects.
    if (takesWords(normalized, isText) && written.find(L'$') == std::wstring::npos) {
        kov_copyW(value, LINE_SIZE, written.c_str());
        return true;
    }
    return fail(currentLine, ek_format(L"invalid expression at line %d: %ls = %ls (a number, "
                                       L"or an expression of numbers and $variables, is expected)",
                                       currentLine + 1, key, written.c_str()));
}

bool ekInputReader::failUndefined(const wchar_t* key, const std::wstring& value)
{
    const std::wstring undefined = device->undefinedReference(value.c_str());
    if (undefined.empty()) {
        return fail(currentLine, ek_format(L"invalid expression at line %d: %ls = %ls (a number, "
                                           L"or an expression of numbers and $variables, is "
                                           L"expected)",
                                           currentLine + 1, key, value.c_str()));
    }
    return fail(currentLine, ek_format(L"Variable not defined at line %d: %ls, in %ls (a variable "
                                       L"is defined on a line \"%ls = value\" above its use)",
                                       currentLine + 1, undefined.c_str(), key, undefined.c_str()));
}

void ekInputReader::finishMessage()
{
    if (!wasVerbose || sigma->err != 0) {
        return;
    }
    // The closing line is shown even when the file switched verbose output
    // off; the log file stays on afterwards.
    const bool switched = !sigma->isVerbose();
    if (switched) {
        sigma->setOutputType(nuSigma::OUTPUT_VERBOSE_LOG);
    }
    sigma->update((L"[INPUT]   successfully loaded " + std::wstring(41, L'=') + L"\n").c_str(), 0);
    if (switched) {
        sigma->setOutputType(nuSigma::OUTPUT_LOGFILE);
    }
}
