// Settings files: a sectioned text file kept in memory in file order and
// written back through a temporary file and a rename.
#include "libkovra.h"

#include "kovbase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr size_t DEFAULT_VALUE_SIZE = 256;

struct Entry {
    std::string key;
    std::string value;
    bool quoted = false;
};

// Sections and keys keep their file order in vectors; the indexes find them
// by name in constant time, so a file of many thousands of sections (or of
// keys in one section) is read and looked up in linear time.
struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> keyIndex;

    Entry* find(const std::string& key, size_t& lookups)
    {
        ++lookups;
        const auto it = keyIndex.find(key);
        return it == keyIndex.end() ? nullptr : &entries[it->second];
    }
    // Sets the key, keeping its place when it is there already.
    void set(Entry entry, size_t& lookups)
    {
        if (Entry* existing = find(entry.key, lookups)) {
            *existing = std::move(entry);
            return;
        }
        keyIndex.emplace(entry.key, entries.size());
        entries.push_back(std::move(entry));
    }
};

// Section and key names must survive one trip through the file.
bool writableSectionName(const char* name)
{
    if (name == nullptr || *name == '\0') {
        return false;
    }
    for (const char* p = name; *p; ++p) {
        if (*p == '[' || *p == ']' || *p == '\n' || *p == '\r') {
            return false;
        }
    }
    return kov_trimmed(name) == name;
}

bool writableKey(const char* key)
{
    if (key == nullptr || *key == '\0' || *key == ';' || *key == '#' || *key == '[') {
        return false;
    }
    for (const char* p = key; *p; ++p) {
        if (*p == '=' || *p == '\n' || *p == '\r') {
            return false;
        }
    }
    return kov_trimmed(key) == key;
}

// Cuts text to at most size-1 bytes without splitting a UTF-8 sequence.
size_t copyCut(char* dst, size_t size, const std::string& text)
{
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n < text.size()) {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            --n;
        }
    }
    std::memcpy(dst, text.data(), n);
    dst[n] = '\0';
    return n;
}

}  // namespace

struct Config {
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> sectionIndex;
    mutable size_t lookups = 0;  // name lookups made (see Config_nameLookups)

    Section* find(const char* name)
    {
        if (name == nullptr) {
            return nullptr;
        }
        ++lookups;
        const auto it = sectionIndex.find(name);
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }
    const Section* find(const char* name) const { return const_cast<Config*>(this)->find(name); }
    Section* add(const std::string& name)
    {
        if (Section* existing = find(name.c_str())) {
            return existing;
        }
        sectionIndex.emplace(name, sections.size());
        sections.push_back(Section{name, {}, {}});
        return &sections.back();
    }
    void clear()
    {
        sections.clear();
        sectionIndex.clear();
    }

    std::string text() const
    {
        std::string out;
        for (const Section& s : sections) {
            if (!out.empty()) {
                out += '\n';
            }
            out += '[' + s.name + "]\n";
            for (const Entry& e : s.entries) {
                out += e.key + '=' + (e.quoted ? '"' + e.value + '"' : e.value) + '\n';
            }
        }
        return out;
    }
};

Config* Config_create() { return new (std::nothrow) Config(); }

void Config_destroy(Config** config)
{
    if (config == nullptr) {
        return;
    }
    delete *config;
    *config = nullptr;
}

int Config_load(const ConfigSection* /*schema*/, Config* config, const char* fileName)
{
    if (config == nullptr || fileName == nullptr || *fileName == '\0') {
        return 0;
    }
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return 0;
    }
    // The file is read in blocks and then cut into lines.
    std::string content;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        content.append(block, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    config->clear();
    if (failed) {
        return 0;
    }
    Section* current = nullptr;
    std::string line;
    bool first = true;
    size_t start = 0;
    bool more = true;
    while (more) {
        const size_t end = content.find('\n', start);
        more = end != std::string::npos;
        line.assign(content, start, more ? end - start : std::string::npos);
        start = more ? end + 1 : content.size();
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            line.erase(0, 3);
        }
        first = false;
        const std::string text = kov_trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#') {
            continue;
        }
        if (text[0] == '[') {
            const size_t close = text.find(']');
            const std::string name =
                close == std::string::npos ? std::string() : kov_trimmed(text.substr(1, close - 1));
            if (name.empty()) {
                current = nullptr;  // keys under a broken header belong nowhere
                continue;
            }
            current = config->add(name);
            continue;
        }
        const size_t equals = text.find('=');
        if (current == nullptr || equals == std::string::npos || equals == 0) {
            continue;
        }
        Entry entry;
        entry.key = kov_trimmed(text.substr(0, equals));
        entry.value = kov_trimmed(text.substr(equals + 1));
        if (entry.value.size() >= 2 && entry.value.front() == '"' && entry.value.back() == '"') {
            entry.value = entry.value.substr(1, entry.value.size() - 2);
            entry.quoted = true;
        }
        current->set(std::move(entry), config->lookups);  // the last of repeated keys wins
    }
    return 1;
}

int Config_sectionCount(const Config* config)
{
    return config == nullptr ? 0 : static_cast<int>(config->sections.size());
}

int Config_getValue(const Config* config, const char* section, const char* key, char* value,
                    size_t size)
{
    if (config == nullptr || key == nullptr || value == nullptr) {
        return 0;
    }
    if (size == 0) {
        size = DEFAULT_VALUE_SIZE;
    }
    Section* s = const_cast<Config*>(config)->find(section);
    const Entry* e = s != nullptr ? s->find(key, config->lookups) : nullptr;
    if (e == nullptr) {
        return 0;
    }
    copyCut(value, size, e->value);
    return 1;
}

void Config_removeAll(Config* config)
{
    if (config != nullptr) {
        config->clear();
    }
}

size_t Config_nameLookups(const Config* config) { return config == nullptr ? 0 : config->lookups; }

int Config_sectionRecordCount(const ConfigSection* schema, const Config* config, int sectionIndex)
{
    if (schema == nullptr || sectionIndex < 0) {
        return 0;
    }
    for (int i = 0; i < sectionIndex; ++i) {
        if (schema[i].name == nullptr) {
            return 0;
        }
    }
    const ConfigSection& row = schema[sectionIndex];
    if (row.name == nullptr) {
        return 0;
    }
    int count = 0;
    for (const ConfigKey* k = row.keys; k != nullptr && k->name != nullptr; ++k) {
        ++count;
    }
    if (config != nullptr) {
        if (const Section* s = config->find(row.name)) {
            count = std::max(count, static_cast<int>(s->entries.size()));
        }
    }
    return count;
}

int Config_addSection(Config* config, const char* name, int keyCount)
{
    if (config == nullptr || !writableSectionName(name)) {
        return 0;
    }
    if (config->find(name) == nullptr) {
        Section* added = config->add(name);
        if (keyCount > 0) {
            added->entries.reserve(static_cast<size_t>(keyCount));
        }
    }
    return 1;
}

int Config_setValue(Config* config, const char* section, const char* key, const char* text,
                    size_t length, int quoted)
{
    if (config == nullptr || !writableKey(key) || !Config_addSection(config, section, 0)) {
        return 0;
    }
    std::string value;
    if (text != nullptr) {
        value.assign(text, length == 0 ? std::strlen(text) : strnlen(text, length));
    }
    for (char& ch : value) {
        if (ch == '\n' || ch == '\r') {
            ch = ' ';
        }
    }
    if (!quoted) {
        value = kov_trimmed(value);
    }
    config->find(section)->set(Entry{key, value, quoted != 0}, config->lookups);
    return 1;
}

int Config_save(const Config* config, const char* fileName, const char* alternativeFileName)
{
    if (config == nullptr) {
        return 0;
    }
    const std::string text = config->text();
    if (fileName != nullptr && *fileName != '\0' &&
        kov_replaceFileA(fileName, text.data(), text.size()) == 1) {
        return 1;
    }
    if (alternativeFileName != nullptr && *alternativeFileName != '\0') {
        const std::filesystem::path folder =
            std::filesystem::path(alternativeFileName).parent_path();
        std::error_code ignored;
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, ignored);
        }
        if (kov_replaceFileA(alternativeFileName, text.data(), text.size()) == 1) {
            return 2;
        }
    }
    return 0;
}
