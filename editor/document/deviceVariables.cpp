// The device's variables, held by its expression parser, and the
// evaluation of entered expressions.
#include <cstdio>
#include <cstring>
#include <strings.h>

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
        for (int i = 0; i < count; ++i)
            if (records[i] != nullptr)
                visit(records[i]);
    };
    list(device->records, device->recordCount);
    list(device->anode->records, device->anode->count);
    list(device->cathode->records, device->cathode->count);
    for (ParamSection* section : {device->voltage, device->light, device->numeric, device->command})
        list(section->records, section->count);
    for (int i = 0; i < device->layerCount; ++i)
        list(device->layers[i]->records, device->layers[i]->count);
}

bool isQuoted(const char* value)
{
    const size_t length = std::strlen(value);
    return length >= 2 && value[0] == '"' && value[length - 1] == '"';
}

const char* bareName(const char* name)
{
    return name[0] == '$' ? name + 1 : name;
}

int textCount(const Device* device)
{
    return device->textVariables != nullptr ? device->textVariables->count : 0;
}

// The slot of a text variable (names compared ignoring case), or -1.
int findText(const Device* device, const char* name)
{
    for (int i = 0; i < textCount(device); ++i)
        if (strcasecmp(device->textVariables->lines[i].key, bareName(name)) == 0)
            return i;
    return -1;
}

void removeText(Device* device, const char* name)
{
    const int slot = findText(device, name);
    if (slot < 0)
        return;
    KeptLines* list = device->textVariables;
    for (int i = slot; i < list->count - 1; ++i)
        list->lines[i] = list->lines[i + 1];
    --list->count;
}

int setText(Device* device, const char* name, const char* value)
{
    if (device->textVariables == nullptr) {
        device->textVariables = static_cast<KeptLines*>(kov_MemoryAlloc(sizeof(KeptLines)));
        if (device->textVariables == nullptr)
            return 0;
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
    if (isQuoted(value))
        return setText(device, name, value);
    const int result = kov_ParserSetVariable(device->parser, bareName(name), value);
    if (result != 0)
        removeText(device, name);
    return result;
}

}  // namespace

int Device_hasParser(const Device* device)
{
    return device != nullptr && device->parser != nullptr ? 1 : 0;
}

int Device_variableCount(Device* device)
{
    if (!Device_hasParser(device))
        return 0;
    return kov_ParserVariableCount(device->parser) + textCount(device);
}

const char* Device_variableName(Device* device, int index)
{
    if (!Device_hasParser(device) || index < 0 || index >= Device_variableCount(device))
        return nullptr;
    const int numbers = kov_ParserVariableCount(device->parser);
    if (index >= numbers)
        return device->textVariables->lines[index - numbers].key;
    return kov_ParserVariableName(device->parser, index);
}

const char* Device_variableValue(Device* device, int index)
{
    if (!Device_hasParser(device) || index < 0 || index >= Device_variableCount(device))
        return nullptr;
    const int numbers = kov_ParserVariableCount(device->parser);
    if (index >= numbers)
        return device->textVariables->lines[index - numbers].value;
    return kov_ParserVariableValue(device->parser, index);
}

int Device_hasVariable(Device* device, const char* name, int flag)
{
    if (!Device_hasParser(device) || name == nullptr)
        return 0;
    return kov_ParserGetVariable(device->parser, name, flag) != nullptr || findText(device, name) >= 0
               ? 1
               : 0;
}

int Device_defineVariable(Device* device, const char* name, const char* value, int line)
{
    if (!Device_hasParser(device) || name == nullptr || value == nullptr)
        return 0;
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
    if (!Device_hasParser(device) || name == nullptr)
        return 0;
    if (findText(device, name) >= 0) {
        removeText(device, name);
        return 1;
    }
    return kov_ParserDeleteVariable(device->parser, name, flag);
}

int Device_evaluate(Device* device, char* text)
{
    if (!Device_hasParser(device) || text == nullptr)
        return 0;
    return kov_ParserParseValue(device->parser, text);
}

const char* Device_variableText(Device* device, const char* reference)
{
    if (!Device_hasParser(device) || reference == nullptr)
        return nullptr;
    const char* number = kov_ParserGetVariable(device->parser, reference, 0);
    if (number != nullptr)
        return number;
    const int slot = findText(device, reference);
    return slot >= 0 ? device->textVariables->lines[slot].value : nullptr;
}

int Device_setVariable(Device* device, const char* name, const char* value)
{
    if (!Device_hasParser(device) || name == nullptr || device->anode == nullptr ||
        device->cathode == nullptr || device->voltage == nullptr || device->light == nullptr ||
        device->numeric == nullptr || device->command == nullptr)
        return 0;
    // The parser's own constant: a variable of that name would shadow it
    // in every expression, whichever road defines it.
    if (isReserved(name))
        return 0;
    const char* bare = name[0] == '$' ? name + 1 : name;
    const bool define = value != nullptr && value[0] != '\0';
    int result = 0;
    if (define) {
        char cut[256];
        kov_copyA(cut, sizeof cut, value);
        result = setAny(device, bare, cut);
    } else {
        result = Device_deleteVariable(device, bare, 0);
    }
    if (result == 0)
        return 0;
    forEachRecord(device, [&](ParamRecord* record) {
        if ((record->flags & PARAM_ACCEPTS_VARS) == 0 || strcasecmp(record->variableRef, name) != 0)
            return;
        result = Param_setValueText(record, define ? name : "$@", nullptr, 0);
    });
    return result;
}
