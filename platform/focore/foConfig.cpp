// The configuration store: sections of key/value records.
#include "focore.h"

#include <cwchar>
#include <cwctype>
#include <new>

#include "kovbase.h"

namespace {

bool sameName(const wchar_t* a, const wchar_t* b) { return wcscasecmp(a, b) == 0; }

bool fits(const wchar_t* text, size_t size) { return std::wcslen(text) + 1 <= size; }

}  // namespace

// ---- foSection ----------------------------------------------------------

foSection::foSection(const wchar_t* name, int recordCount) : name(name != nullptr ? name : L"")
{
    if (recordCount > 0 && recordCount < 4096) {
        records.reserve(static_cast<size_t>(recordCount));
    }
}

foRecord* foSection::getRecord(int index)
{
    return index >= 0 && index < getRecordCount() ? &records[static_cast<size_t>(index)] : nullptr;
}

const foRecord* foSection::getRecord(int index) const
{
    return index >= 0 && index < getRecordCount() ? &records[static_cast<size_t>(index)] : nullptr;
}

foRecord* foSection::findRecord(const wchar_t* key)
{
    if (key == nullptr) {
        return nullptr;
    }
    for (foRecord& record : records) {
        if (sameName(record.key.c_str(), key)) {
            return &record;
        }
    }
    return nullptr;
}

const foRecord* foSection::findRecord(const wchar_t* key) const
{
    return const_cast<foSection*>(this)->findRecord(key);
}

bool foSection::getValue(const wchar_t* key, wchar_t* value, wchar_t* comment, size_t valueSize,
                         size_t commentSize) const
{
    const foRecord* record = findRecord(key);
    if (record == nullptr) {
        return false;
    }
    if ((value != nullptr && record->value.size() + 1 > valueSize) ||
        (comment != nullptr && record->comment.size() + 1 > commentSize)) {
        return false;
    }
    if (value != nullptr) {
        kov_copyW(value, valueSize, record->value.c_str());
    }
    if (comment != nullptr) {
        kov_copyW(comment, commentSize, record->comment.c_str());
    }
    return true;
}

bool foSection::setValue(const wchar_t* key, const wchar_t* value, const wchar_t* comment,
                         bool quoted)
{
    if (key == nullptr || key[0] == L'\0' || value == nullptr || !fits(key, foRecord::NAME_SIZE)) {
        return false;
    }
    std::wstring text = value;
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
        text = text.substr(1, text.size() - 2);
        quoted = true;
    }
    if (text.size() + 1 > foRecord::VALUE_SIZE) {
        return false;
    }
    std::wstring note = comment != nullptr ? comment : L"";
    if (note.size() + 1 > foRecord::COMMENT_SIZE) {
        note.resize(foRecord::COMMENT_SIZE - 1);  // a note may lose its end; values never do
    }
    try {
        foRecord* record = findRecord(key);
        if (record == nullptr) {
            records.emplace_back();
            record = &records.back();
            record->key = key;
        }
        record->value = std::move(text);
        record->comment = std::move(note);
        record->quoted = quoted;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// ---- foConfig -----------------------------------------------------------

foConfig::foConfig(int capacity) : capacity(capacity > 0 ? capacity : 0) {}

foConfig::~foConfig() { removeAll(); }

void foConfig::removeAll()
{
    for (foSection* section : sections) {
        delete section;
    }
    sections.clear();
}

foSection* foConfig::addSection(const wchar_t* name, int recordCount)
{
    if (name == nullptr || name[0] == L'\0' || !fits(name, foRecord::NAME_SIZE)) {
        return nullptr;
    }
    auto* section = new (std::nothrow) foSection(name, recordCount);
    if (section == nullptr) {
        return nullptr;
    }
    try {
        sections.push_back(section);
    } catch (const std::bad_alloc&) {
        delete section;
        return nullptr;
    }
    // A repeated name opens a counted section, but its records go to the
    // first section of that name, where every lookup finds them.
    return getSection(name);
}

foSection* foConfig::getSection(int index)
{
    return index >= 0 && index < getSectionCount() ? sections[static_cast<size_t>(index)] : nullptr;
}

const foSection* foConfig::getSection(int index) const
{
    return index >= 0 && index < getSectionCount() ? sections[static_cast<size_t>(index)] : nullptr;
}

foSection* foConfig::getSection(const wchar_t* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    for (foSection* section : sections) {
        if (sameName(section->getName(), name)) {
            return section;
        }
    }
    return nullptr;
}

const foSection* foConfig::getSection(const wchar_t* name) const
{
    return const_cast<foConfig*>(this)->getSection(name);
}

bool foConfig::getValue(const wchar_t* section, const wchar_t* key, wchar_t* value,
                        wchar_t* comment, size_t valueSize, size_t commentSize) const
{
    const foSection* found = getSection(section);
    return found != nullptr && found->getValue(key, value, comment, valueSize, commentSize);
}

bool foConfig::setValue(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        const wchar_t* comment, bool quoted)
{
    foSection* found = getSection(section);
    return found != nullptr && found->setValue(key, value, comment, quoted);
}
