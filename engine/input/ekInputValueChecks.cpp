// Device-file reader: what the user is told about a value. Every stored key
// remembers its line, so a value that is refused, changed or left unused
// can be reported with the line, the key and the text as written; and the
// files a device file names are found from the device file's own folder.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "ekInputReader.h"
#include "ekFormat.h"
#include "ekLuaModels.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

bool isSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// "/x", "\\x" and "C:x" name their own place; anything else is relative.
bool isAbsolute(const std::wstring& name)
{
    if (!name.empty() && isSeparator(name[0])) {
        return true;
    }
    return name.size() >= 2 && name[1] == L':' && std::iswalpha(name[0]);
}

}  // namespace

std::wstring ekInputReader::keyId(const wchar_t* section, const wchar_t* key)
{
    // Sections and keys match without regard to case.
    std::wstring id = std::wstring(section) + L'\n' + key;
    for (wchar_t& c : id) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return id;
}

int ekInputReader::keyLine(const wchar_t* section, const wchar_t* key) const
{
    const auto found = keyLines.find(keyId(section, key));
    if (found != keyLines.end()) {
        return found->second.line;
    }
    return headerLine(ekInput::sectionIndex(section));
}

std::wstring ekInputReader::written(const wchar_t* section, const wchar_t* key) const
{
    const auto found = keyLines.find(keyId(section, key));
    std::wstring value;
    if (found != keyLines.end()) {
        value = found->second.text;
    } else {
        text(section, key, &value);
    }
    return std::wstring(key) + L" = \"" + value + L"\"";
}

bool ekInputReader::refuseValue(const wchar_t* section, const wchar_t* key,
                                const std::wstring& accepted)
{
    const int line = keyLine(section, key);
    return fail(line, ek_format(L"invalid value at line %d: %ls (accepted: %ls)", line + 1,
                                written(section, key).c_str(), accepted.c_str()));
}

void ekInputReader::changedValue(const wchar_t* section, const wchar_t* key,
                                 const std::wstring& used, const std::wstring& why) const
{
    const int line = keyLine(section, key);
    sigma->update(ek_format(L"[WARNING] at line %d: %ls changed to %ls (%ls)\n", line + 1,
                            written(section, key).c_str(), used.c_str(), why.c_str())
                      .c_str(),
                  2);
}

void ekInputReader::unusedValue(const wchar_t* section, const wchar_t* key,
                                const std::wstring& why) const
{
    const int line = keyLine(section, key);
    sigma->update(ek_format(L"[WARNING] at line %d: %ls is not used (%ls)\n", line + 1,
                            written(section, key).c_str(), why.c_str())
                      .c_str(),
                  2);
}

std::wstring ekInputReader::resolvePath(const std::wstring& name) const
{
    if (name.empty() || isAbsolute(name)) {
        return name;
    }
    const std::wstring input(fileName);
    const size_t separator = input.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return name;  // the device file lies in the current folder
    }
    return input.substr(0, separator + 1) + name;
}

std::wstring ekInputReader::lookedFor(const std::wstring& path)
{
    if (const wchar_t* kind = kov_otherFileKindW(path.c_str())) {
        return path + L" is " + kind + L", not a regular file";
    }
    return L"looked for " + path;
}

bool ekInputReader::existingFile(const wchar_t* section, const wchar_t* key, std::wstring* path)
{
    std::wstring name;
    if (!text(section, key, &name)) {
        return false;
    }
    *path = resolvePath(name);
    if (kov_fileExistsW(path->c_str())) {
        return true;
    }
    const int line = keyLine(section, key);
    // Something that is there but cannot be read as a file (a FIFO would
    // block the run, a folder yields nothing) is not "missing".
    if (const wchar_t* kind = kov_otherFileKindW(path->c_str())) {
        return fail(line, ek_format(L"not a regular file at line %d: %ls (%ls is %ls)", line + 1,
                                    written(section, key).c_str(), path->c_str(), kind));
    }
    return fail(line, ek_format(L"file not found at line %d: %ls (looked for %ls)", line + 1,
                                written(section, key).c_str(), path->c_str()));
}

bool ekInputReader::scriptFile(const wchar_t* section, const wchar_t* key, std::wstring* path)
{
    std::wstring name;
    if (!text(section, key, &name)) {
        return false;
    }
    // Beside the device file first, then as written (from the current
    // folder), as the run looks for it.
    const std::wstring beside = resolvePath(name);
    for (const std::wstring& candidate : {beside, name}) {
        if (ek_isLuaScriptUsable(candidate.c_str())) {
            *path = candidate;
            return true;
        }
    }
    const int line = keyLine(section, key);
    if (const wchar_t* kind = kov_otherFileKindW(beside.c_str())) {
        return fail(line, ek_format(L"not a regular file at line %d: %ls (%ls is %ls)", line + 1,
                                    written(section, key).c_str(), beside.c_str(), kind));
    }
    const long long size = kov_getFileSizeW(beside.c_str());
    if (size >= 0) {
        return fail(line, ek_format(L"not a model script at line %d: %ls (%ls has %lld bytes; a "
                                    L"script has %lld bytes to 64 MiB)",
                                    line + 1, written(section, key).c_str(), beside.c_str(), size,
                                    EK_LUA_SCRIPT_MIN));
    }
    return fail(line, ek_format(L"model file not found at line %d: %ls (looked for %ls)", line + 1,
                                written(section, key).c_str(), beside.c_str()));
}

const KovKeyLimit& ekInputReader::limitOf(const wchar_t* section, const wchar_t* key)
{
    const KovKeyLimit* limit = kov_findKeyLimit(section, key);
    if (limit == nullptr) {
        // Only keys of the shared table are checked by range; a key missing
        // there is a fault of this program, not of the file.
        static constexpr KovKeyLimit NONE = {KovKeySection::DEVICE, "", false, 0.0, 0.0, "",
                                             KovOutside::OFFERED};
        return NONE;
    }
    return *limit;
}

bool ekInputReader::checkRange(const wchar_t* section, const wchar_t* key)
{
    const KovKeyLimit& limit = limitOf(section, key);
    double value = 0.0;
    if (limit.outside != KovOutside::REFUSE || !real(section, key, &value) ||
        (value >= limit.minimum && value <= limit.maximum)) {
        return true;
    }
    return refuseValue(section, key, kov_toWide(kov_rangeText(limit)));
}

bool ekInputReader::integerValue(const wchar_t* section, const wchar_t* key, long* out)
{
    std::wstring value;
    if (!text(section, key, &value)) {
        return true;
    }
    const KovKeyLimit& limit = limitOf(section, key);
    const std::wstring range = kov_toWide(kov_rangeText(limit));
    // The value arrives evaluated, so 100000 may read "1e+05": it is read
    // as a number, never by its leading digits.
    double given = 0.0;
    if (!ek_wholeNumber(value.c_str(), &given)) {
        return refuseValue(section, key, L"a whole number, " + range);
    }
    // A count is a whole number; a computed one such as 12.5 is rounded,
    // and the warning below says so.
    const double whole = std::round(given);
    double used = whole;
    if (whole < limit.minimum || whole > limit.maximum) {
        if (limit.outside == KovOutside::REFUSE) {
            return refuseValue(section, key, range);
        }
        used = std::clamp(whole, limit.minimum, limit.maximum);
    }
    *out = static_cast<long>(used);
    if (used != given) {
        changedValue(
            section, key, std::to_wstring(*out),
            (whole != given ? L"a count is a whole number; accepted: " : L"accepted: ") + range);
    }
    return true;
}

bool ekInputReader::checkNumberText(int section, int keyPosition)
{
    const wchar_t* name = currentSection->getName();
    const wchar_t* key = ekInput::SECTION[section].records[keyPosition].key;
    const KovKeyLimit* limit = kov_findKeyLimit(ekInput::SECTION[section].name, key);
    std::wstring value;
    if (limit == nullptr || !text(name, key, &value) || ek_wholeNumber(value.c_str(), nullptr)) {
        return true;
    }
    const std::wstring range = kov_toWide(kov_rangeText(*limit));
    return refuseValue(name, key, (limit->integer ? L"a whole number, " : L"a number, ") + range);
}

bool ekInputReader::checkWord(const wchar_t* section, const wchar_t* key,
                              std::initializer_list<const wchar_t*> words)
{
    std::wstring word;
    if (!text(section, key, &word) || isWord(word, words)) {
        return true;
    }
    std::wstring accepted;
    for (const wchar_t* entry : words) {
        if (entry[0] == L'\0') {
            continue;  // an empty value is accepted but not offered
        }
        accepted += (accepted.empty() ? L"" : L", ") + std::wstring(entry);
    }
    return refuseValue(section, key, accepted);
}

void ekInputReader::warnUnusedLayerKeys(int number, const ekLayerInput& in) const
{
    // The recombination of a doped layer goes through its dopant level, so
    // the layer's own lifetimes take no part in it.
    const bool doped =
        in.dopantType != 0 && (in.dopantN > 0.0 || !in.script[ekLayer::MODEL_DOPING].empty());
    if (!doped) {
        return;
    }
    const std::wstring section = ek_format(L"Layer%01d", number);
    for (const wchar_t* key : {L"Taun", L"Taup"}) {
        if (has(section.c_str(), key)) {
            unusedValue(section.c_str(), key,
                        ek_format(L"a doped layer recombines through its dopant level: give "
                                  L"Dopant.%ls",
                                  key));
        }
    }
}
