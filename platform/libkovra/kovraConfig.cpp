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
#include <vector>

namespace {

constexpr size_t DEFAULT_VALUE_SIZE = 256;

struct Entry {
    std::string key;
    std::string value;
    bool quoted = false;
};

struct Section {
    std::string name;
    std::vector<Entry> entries;
};

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool sameName(const std::string& a, const char* b)
{
    return b != nullptr && a == b;
}

// Section and key names must survive one trip through the file.
bool writableSectionName(const char* name)
{
    if (name == nullptr || *name == '\0')
        return false;
    for (const char* p = name; *p; ++p)
        if (*p == '[' || *p == ']' || *p == '\n' || *p == '\r')
            return false;
    return trimmed(name) == name;
}

bool writableKey(const char* key)
{
    if (key == nullptr || *key == '\0' || *key == ';' || *key == '#' || *key == '[')
        return false;
    for (const char* p = key; *p; ++p)
        if (*p == '=' || *p == '\n' || *p == '\r')
            return false;
    return trimmed(key) == key;
}

// Cuts text to at most size-1 bytes without splitting a UTF-8 sequence.
size_t copyCut(char* dst, size_t size, const std::string& text)
{
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(dst, text.data(), n);
    dst[n] = '\0';
    return n;
}

}  // namespace

struct Config {
    std::vector<Section> sections;

    Section* find(const char* name)
    {
        for (Section& s : sections)
            if (sameName(s.name, name))
                return &s;
        return nullptr;
    }
    const Section* find(const char* name) const { return const_cast<Config*>(this)->find(name); }

    std::string text() const
    {
        std::string out;
        for (const Section& s : sections) {
            if (!out.empty())
                out += '\n';
            out += '[' + s.name + "]\n";
            for (const Entry& e : s.entries)
                out += e.key + '=' + (e.quoted ? '"' + e.value + '"' : e.value) + '\n';
        }
        return out;
    }
};

Config* Config_create()
{
    return new (std::nothrow) Config();
}

void Config_destroy(Config** config)
{
    if (config == nullptr)
        return;
    delete *config;
    *config = nullptr;
}

int Config_load(const ConfigSection* /*schema*/, Config* config, const char* fileName)
{
    if (config == nullptr || fileName == nullptr || *fileName == '\0')
        return 0;
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr)
        return 0;
    config->sections.clear();
    Section* current = nullptr;
    std::string line;
    bool first = true;
    int c;
    bool more = true;
    while (more) {
        line.clear();
        while ((c = std::fgetc(file)) != EOF && c != '\n')
            line += static_cast<char>(c);
        more = c != EOF;
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        first = false;
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#')
            continue;
        if (text[0] == '[') {
            const size_t close = text.find(']');
            const std::string name = close == std::string::npos ? std::string() : trimmed(text.substr(1, close - 1));
            if (name.empty()) {
                current = nullptr;  // keys under a broken header belong nowhere
                continue;
            }
            current = config->find(name.c_str());
            if (current == nullptr) {
                config->sections.push_back(Section{name, {}});
                current = &config->sections.back();
            }
            continue;
        }
        const size_t equals = text.find('=');
        if (current == nullptr || equals == std::string::npos || equals == 0)
            continue;
        Entry entry;
        entry.key = trimmed(text.substr(0, equals));
        entry.value = trimmed(text.substr(equals + 1));
        if (entry.value.size() >= 2 && entry.value.front() == '"' && entry.value.back() == '"') {
            entry.value = entry.value.substr(1, entry.value.size() - 2);
            entry.quoted = true;
        }
        bool replaced = false;
        for (Entry& e : current->entries)
            if (e.key == entry.key) {
                e = entry;  // the last of repeated keys wins
                replaced = true;
            }
        if (!replaced)
            current->entries.push_back(entry);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        config->sections.clear();
        return 0;
    }
    return 1;
}

int Config_sectionCount(const Config* config)
{
    return config == nullptr ? 0 : static_cast<int>(config->sections.size());
}

int Config_getValue(const Config* config, const char* section, const char* key, char* value, size_t size)
{
    if (config == nullptr || key == nullptr || value == nullptr)
        return 0;
    if (size == 0)
        size = DEFAULT_VALUE_SIZE;
    const Section* s = config->find(section);
    if (s == nullptr)
        return 0;
    for (const Entry& e : s->entries)
        if (e.key == key) {
            copyCut(value, size, e.value);
            return 1;
        }
    return 0;
}

void Config_removeAll(Config* config)
{
    if (config != nullptr)
        config->sections.clear();
}

int Config_sectionRecordCount(const ConfigSection* schema, const Config* config, int sectionIndex)
{
    if (schema == nullptr || sectionIndex < 0)
        return 0;
    for (int i = 0; i < sectionIndex; ++i)
        if (schema[i].name == nullptr)
            return 0;
    const ConfigSection& row = schema[sectionIndex];
    if (row.name == nullptr)
        return 0;
    int count = 0;
    for (const ConfigKey* k = row.keys; k != nullptr && k->name != nullptr; ++k)
        ++count;
    if (config != nullptr)
        if (const Section* s = config->find(row.name))
            count = std::max(count, static_cast<int>(s->entries.size()));
    return count;
}

int Config_addSection(Config* config, const char* name, int keyCount)
{
    if (config == nullptr || !writableSectionName(name))
        return 0;
    if (config->find(name) == nullptr) {
        config->sections.push_back(Section{name, {}});
        if (keyCount > 0)
            config->sections.back().entries.reserve(static_cast<size_t>(keyCount));
    }
    return 1;
}

int Config_setValue(Config* config, const char* section, const char* key, const char* text, size_t length,
                    int quoted)
{
    if (config == nullptr || !writableKey(key) || !Config_addSection(config, section, 0))
        return 0;
    std::string value;
    if (text != nullptr)
        value.assign(text, length == 0 ? std::strlen(text) : strnlen(text, length));
    for (char& ch : value)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    if (!quoted)
        value = trimmed(value);
    Section* s = config->find(section);
    for (Entry& e : s->entries)
        if (e.key == key) {
            e.value = value;
            e.quoted = quoted != 0;
            return 1;
        }
    s->entries.push_back(Entry{key, value, quoted != 0});
    return 1;
}

int Config_save(const Config* config, const char* fileName, const char* alternativeFileName)
{
    if (config == nullptr)
        return 0;
    const std::string text = config->text();
    if (fileName != nullptr && *fileName != '\0' && kov_replaceFileA(fileName, text.data(), text.size()) == 1)
        return 1;
    if (alternativeFileName != nullptr && *alternativeFileName != '\0') {
        const std::filesystem::path folder = std::filesystem::path(alternativeFileName).parent_path();
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::create_directories(folder, ignored);
        if (kov_replaceFileA(alternativeFileName, text.data(), text.size()) == 1)
            return 2;
    }
    return 0;
}
