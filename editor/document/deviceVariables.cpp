// The device's variables, held by its expression parser, and the
// evaluation of entered expressions.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "device.h"
#include "docHooks.h"
#include "kovbase.h"
#include "kovParser.h"

namespace {

bool isReserved(const char* name)
{
    return strcasecmp(name, "pi") == 0 || strcasecmp(name, "$pi") == 0;
}

// Every integer or real record of the device, in the order the variables
// dialog re-applies a changed variable.
template <typename F>
void forEachRecord(Device* device, F visit)
{
    auto list = [&](ParamRecord* const* records, int count) {
        for (int i = 0; i < count; ++i) {
            if (records[i] != nullptr) {
                visit(records[i]);
            }
        }
    };
    list(device->records, device->recordCount);
    list(device->anode->records, device->anode->count);
    list(device->cathode->records, device->cathode->count);
    for (ParamSection* section :
         {device->voltage, device->light, device->numeric, device->command}) {
        list(section->records, section->count);
    }
    for (int i = 0; i < device->layerCount; ++i) {
        list(device->layers[i]->records, device->layers[i]->count);
    }
}

bool isQuoted(const char* value)
{
    const size_t length = std::strlen(value);
    return length >= 2 && value[0] == '"' && value[length - 1] == '"';
}

const char* bareName(const char* name) { return name[0] == '$' ? name + 1 : name; }

int textCount(const Device* device)
{
    return device->textVariables != nullptr ? device->textVariables->count : 0;
}

// The slot of a text variable (names compared ignoring case), or -1.
int findText(const Device* device, const char* name)
{
    for (int i = 0; i < textCount(device); ++i) {
        if (strcasecmp(device->textVariables->lines[i].key, bareName(name)) == 0) {
            return i;
        }
    }
    return -1;
}

void removeText(Device* device, const char* name)
{
    const int slot = findText(device, name);
    if (slot < 0) {
        return;
    }
    KeptLines* list = device->textVariables;
    for (int i = slot; i < list->count - 1; ++i) {
        list->lines[i] = list->lines[i + 1];
    }
    --list->count;
}

int setText(Device* device, const char* name, const char* value)
{
    if (device->textVariables == nullptr) {
        device->textVariables = static_cast<KeptLines*>(kov_MemoryAlloc(sizeof(KeptLines)));
        if (device->textVariables == nullptr) {
            return 0;
        }
        std::memset(device->textVariables, 0, sizeof(KeptLines));
    }
    // One name holds one value: a number defined earlier gives way.
    kov_ParserDeleteVariable(device->parser, bareName(name), 0);
    const int slot = findText(device, name);
    const char* key = slot >= 0 ? device->textVariables->lines[slot].key : bareName(name);
    char kept[KEPT_KEY_SIZE];
    kov_copyA(kept, sizeof kept, key);
    return KeptLines_set(device->textVariables, kept, value, nullptr);
}

int setAny(Device* device, const char* name, const char* value)
{
    if (isQuoted(value)) {
        return setText(device, name, value);
    }
    const int result = kov_ParserSetVariable(device->parser, bareName(name), value);
    if (result != 0) {
        removeText(device, name);
    }
    return result;
}

}  // namespace

int Device_hasParser(const Device* device)
{
    return device != nullptr && device->parser != nullptr ? 1 : 0;
}

int Device_variableCount(Device* device)
{
    if (!Device_hasParser(device)) {
        return 0;
    }
    return kov_ParserVariableCount(device->parser) + textCount(device);
}

const char* Device_variableName(Device* device, int index)
{
    if (!Device_hasParser(device) || index < 0 || index >= Device_variableCount(device)) {
        return nullptr;
    }
    const int numbers = kov_ParserVariableCount(device->parser);
    if (index >= numbers) {
        return device->textVariables->lines[index - numbers].key;
    }
    return kov_ParserVariableName(device->parser, index);
}

const char* Device_variableValue(Device* device, int index)
{
    if (!Device_hasParser(device) || index < 0 || index >= Device_variableCount(device)) {
        return nullptr;
    }
    const int numbers = kov_ParserVariableCount(device->parser);
    if (index >= numbers) {
        return device->textVariables->lines[index - numbers].value;
    }
    return kov_ParserVariableValue(device->parser, index);
}

int Device_hasVariable(Device* device, const char* name, int flag)
{
    if (!Device_hasParser(device) || name == nullptr) {
        return 0;
    }
    return kov_ParserGetVariable(device->parser, name, flag) != nullptr ||
                   findText(device, name) >= 0
               ? 1
               : 0;
}

int Device_defineVariable(Device* device, const char* name, const char* value, int line)
{
    if (!Device_hasParser(device) || name == nullptr || value == nullptr) {
        return 0;
    }
    if (isReserved(name)) {
        char message[256];
        std::snprintf(message, sizeof message, "[ERROR]   reserved variable name at line %d\n",
                      line + 1);
        Doc_print(message);
        return 0;
    }
    return setAny(device, name, value);
}

int Device_deleteVariable(Device* device, const char* name, int flag)
{
    if (!Device_hasParser(device) || name == nullptr) {
        return 0;
    }
    if (findText(device, name) >= 0) {
        removeText(device, name);
        return 1;
    }
    return kov_ParserDeleteVariable(device->parser, name, flag);
}

int Device_evaluate(Device* device, char* text)
{
    if (!Device_hasParser(device) || text == nullptr) {
        return 0;
    }
    return kov_ParserParseValue(device->parser, text);
}

const char* Device_evaluationError(Device* device)
{
    return Device_hasParser(device) ? kov_ParserLastError(device->parser) : "";
}

const char* Device_variableText(Device* device, const char* reference)
{
    if (!Device_hasParser(device) || reference == nullptr) {
        return nullptr;
    }
    const char* number = kov_ParserGetVariable(device->parser, reference, 0);
    if (number != nullptr) {
        return number;
    }
    const int slot = findText(device, reference);
    return slot >= 0 ? device->textVariables->lines[slot].value : nullptr;
}

namespace {

std::string lowerName(const char* name) { return kov_toLowerAscii(bareName(name)); }

// The names a value text uses ("100 * $emitter + sin(x)" uses emitter and
// x), in lower case: names with or without '$', not the digits and
// exponents of numbers, not the functions called.
std::set<std::string> namesUsed(const char* text)
{
    std::set<std::string> names;
    auto isNameStart = [](char c) {
        return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
    };
    auto isNameChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    const size_t length = std::strlen(text);
    size_t i = 0;
    while (i < length) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            // A number with its exponent or hex letters ("1e-3", "0xFF").
            while (i < length && (isNameChar(text[i]) || text[i] == '.' ||
                                  ((text[i] == '+' || text[i] == '-') &&
                                   (text[i - 1] == 'e' || text[i - 1] == 'E')))) {
                ++i;
            }
            continue;
        }
        if (c == '$' || isNameStart(c)) {
            const size_t start = c == '$' ? i + 1 : i;
            size_t end = start;
            while (end < length && isNameChar(text[end])) {
                ++end;
            }
            size_t after = end;
            while (after < length && (text[after] == ' ' || text[after] == '\t')) {
                ++after;
            }
            if (end > start && (after >= length || text[after] != '(')) {
                names.insert(lowerName(std::string(text + start, end - start).c_str()));
            }
            i = end > i ? end : i + 1;
            continue;
        }
        ++i;
    }
    return names;
}

// The numeric variables as name -> value text, in the parser's order.
std::vector<std::pair<std::string, std::string>> numericVariables(Device* device)
{
    std::vector<std::pair<std::string, std::string>> list;
    const int count = kov_ParserVariableCount(device->parser);
    for (int i = 0; i < count; ++i) {
        list.emplace_back(lowerName(kov_ParserVariableName(device->parser, i)),
                          kov_ParserVariableValue(device->parser, i));
    }
    return list;
}

// Every variable built from name, directly or through others.
std::set<std::string> dependentsOf(Device* device, const std::string& name)
{
    const auto list = numericVariables(device);
    std::set<std::string> found{name};
    for (bool grown = true; grown;) {
        grown = false;
        for (const auto& [variable, text] : list) {
            if (found.count(variable) != 0) {
                continue;
            }
            for (const std::string& used : namesUsed(text.c_str())) {
                if (found.count(used) != 0) {
                    found.insert(variable);
                    grown = true;
                    break;
                }
            }
        }
    }
    found.erase(name);
    return found;
}

std::string refusal;

int refuseVariable(const std::string& message)
{
    refusal = message;
    Doc_print((message + "\n").c_str());
    Doc_hooks().showInfo(message.c_str(), 1);
    return 0;
}

// Evaluates the dependents of name again from their own texts, in the
// order that reads each after the variables it uses; the first that no
// longer evaluates is named in *failed.
bool reevaluate(Device* device, const std::set<std::string>& dependents, std::string* failed)
{
    for (int index : Device_variableOrder(device)) {
        if (index >= kov_ParserVariableCount(device->parser)) {
            continue;
        }
        const std::string variable = lowerName(kov_ParserVariableName(device->parser, index));
        if (dependents.count(variable) == 0) {
            continue;
        }
        const std::string text = kov_ParserVariableValue(device->parser, index);
        if (kov_ParserSetVariable(device->parser, kov_ParserVariableName(device->parser, index),
                                  text.c_str()) == 0) {
            *failed = std::string(kov_ParserVariableName(device->parser, index)) + " = " + text;
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<int> Device_variableOrder(Device* device)
{
    std::vector<int> order;
    const int count = Device_variableCount(device);
    if (count <= 0) {
        return order;
    }
    const auto list = numericVariables(device);
    std::vector<bool> placed(static_cast<size_t>(count), false);
    std::set<std::string> done;
    // Stable: the first variable whose names are all defined before it goes
    // next; a loop (which a change never makes) keeps the stored order.
    while (static_cast<int>(order.size()) < count) {
        int next = -1;
        for (int i = 0; i < count && next < 0; ++i) {
            if (placed[static_cast<size_t>(i)]) {
                continue;
            }
            if (i >= static_cast<int>(list.size())) {
                next = i;  // a text variable uses no other
                break;
            }
            bool ready = true;
            for (const std::string& used : namesUsed(list[static_cast<size_t>(i)].second.c_str())) {
                for (const auto& other : list) {
                    if (other.first == used && other.first != list[static_cast<size_t>(i)].first &&
                        done.count(used) == 0) {
                        ready = false;
                    }
                }
            }
            if (ready) {
                next = i;
            }
        }
        if (next < 0) {
            for (int i = 0; i < count && next < 0; ++i) {
                if (!placed[static_cast<size_t>(i)]) {
                    next = i;
                }
            }
        }
        placed[static_cast<size_t>(next)] = true;
        if (next < static_cast<int>(list.size())) {
            done.insert(list[static_cast<size_t>(next)].first);
        }
        order.push_back(next);
    }
    return order;
}

const char* Device_variableRefusal() { return refusal.c_str(); }

int Device_setVariable(Device* device, const char* name, const char* value)
{
    refusal.clear();
    if (!Device_hasParser(device) || name == nullptr || device->anode == nullptr ||
        device->cathode == nullptr || device->voltage == nullptr || device->light == nullptr ||
        device->numeric == nullptr || device->command == nullptr) {
        return 0;
    }
    // The parser's own constant: a variable of that name would shadow it
    // in every expression, whichever road defines it.
    if (isReserved(name)) {
        return 0;
    }
    const char* bare = name[0] == '$' ? name + 1 : name;
    const std::string key = lowerName(bare);
    const bool define = value != nullptr && value[0] != '\0';
    char cut[256] = "";
    if (define) {
        kov_copyA(cut, sizeof cut, value);
    }
    const std::set<std::string> dependents = dependentsOf(device, key);
    if (define && !isQuoted(cut)) {
        // A variable built from itself, directly or through others, has no
        // value a file could define in any order.
        for (const std::string& used : namesUsed(cut)) {
            if (used == key || dependents.count(used) != 0) {
                return refuseVariable(
                    "[ERROR]   variable $" + std::string(bare) + " cannot be built from $" + used +
                    (used == key ? "" : ", which is built from $" + std::string(bare)) + ": " +
                    std::string(bare) + " = " + cut);
            }
        }
    }
    if (!define && !dependents.empty()) {
        return refuseVariable("[ERROR]   variable $" + std::string(bare) + " is used by $" +
                              *dependents.begin() + ": change or delete that one first");
    }
    const char* before = kov_ParserGetVariable(device->parser, bare, 0);
    const std::string oldText = before != nullptr ? before : "";
    int result = define ? setAny(device, bare, cut) : Device_deleteVariable(device, bare, 0);
    if (result == 0) {
        if (define && !isQuoted(cut)) {
            // The parser's words for what is wrong with the value.
            char probe[PARAM_WORK_SIZE];
            kov_copyA(probe, sizeof probe, cut);
            Device_evaluate(device, probe);
            const std::string why = Device_evaluationError(device);
            refusal = "Value: not accepted for $" + std::string(bare) + ": " + cut +
                      (why.empty() ? "" : ": " + why);
        }
        return 0;
    }
    std::string failed;
    if (!reevaluate(device, dependents, &failed)) {
        // Put the old value back: the variables built from it take their
        // old values again.
        if (oldText.empty()) {
            Device_deleteVariable(device, bare, 0);
        } else {
            setAny(device, bare, oldText.c_str());
        }
        std::string ignored;
        reevaluate(device, dependents, &ignored);
        return refuseVariable("[ERROR]   variable $" + std::string(bare) + " = " + cut +
                              " leaves no value for " + failed);
    }
    // Every record that takes the variable or one built from it - alone or
    // inside an expression - shows the new value; a deleted variable leaves
    // its records their last value.
    forEachRecord(device, [&](ParamRecord* record) {
        const char* followed = Param_followedText(record);
        if ((record->flags & PARAM_ACCEPTS_VARS) == 0 || followed == nullptr) {
            return;
        }
        bool usesKey = false;
        bool usesDependent = false;
        for (const std::string& used : namesUsed(followed)) {
            usesKey = usesKey || used == key;
            usesDependent = usesDependent || dependents.count(used) != 0;
        }
        if (!usesKey && !usesDependent) {
            return;
        }
        const std::string text = followed;
        result = Param_setValueText(record, usesKey && !define ? "$@" : text.c_str(), nullptr, 0);
    });
    return result;
}
