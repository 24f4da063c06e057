// ElecDevice: user variables of the device file and the evaluation of value
// texts ('$name' references expanded, the expression evaluated).
#include <cmath>
#include <cwchar>
#include <string>

#include "ElecDevice.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

struct Constant {
    const wchar_t* name;
    double value;
};

// Physical constants a value may reference; they cannot be redefined.
constexpr Constant CONSTANTS[] = {
    {L"pi", 3.141592653589793}, {L"_q", 1.602176e-19}, {L"_m", 9.109382e-31}, {L"_k", 1.38065e-23},
    {L"_h", 6.626068e-34},      {L"_c", 299792458.0},  {L"_e", 8.854187e-12}, {L"_n", 6.022141e+23},
};

constexpr size_t CONSTANT_TEXT_SIZE = 64;

bool isAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool isNameChar(wchar_t c) { return isAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'_'; }

bool sameName(const wchar_t* stored, const wchar_t* name, size_t length)
{
    return wcslen(stored) == length && wcsncasecmp(stored, name, length) == 0;
}

const Constant* findConstant(const wchar_t* name, size_t length)
{
    for (const Constant& constant : CONSTANTS) {
        if (sameName(constant.name, name, length)) {
            return &constant;
        }
    }
    return nullptr;
}

void constantText(const Constant& constant, wchar_t* out, size_t outSize)
{
    wchar_t text[CONSTANT_TEXT_SIZE];
    nu_reformatAuto(constant.value, text, CONSTANT_TEXT_SIZE, nullptr, nullptr, 6);
    kov_copyW(out, outSize, text);
}

// The part of a definition before its comment: the first '@' wins, then
// '&', '?' and ':'.
std::wstring withoutComment(const wchar_t* value)
{
    std::wstring text = value;
    for (wchar_t mark : {L'@', L'&', L'?', L':'}) {
        const size_t at = text.find(mark);
        if (at != std::wstring::npos) {
            text.resize(at);
            break;
        }
    }
    size_t first = 0;
    while (first < text.size() && kov_isBlank(text[first])) {
        ++first;
    }
    size_t last = text.size();
    while (last > first && kov_isBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

}  // namespace

int ElecDevice::findVariable(const wchar_t* name, size_t length, bool definedOnly) const
{
    for (int i = 0; i < variableCount; ++i) {
        const _variable_w_t* variable = variables[i];
        if (variable == nullptr) {
            continue;
        }
        if (definedOnly && variable->defined != 1) {
            continue;
        }
        if (sameName(variable->name, name, length)) {
            return i;
        }
    }
    return -1;
}

bool ElecDevice::lookupReference(const wchar_t* name, size_t length, wchar_t* out,
                                 size_t outSize) const
{
    if (length == 0) {
        return false;
    }
    if (const Constant* constant = findConstant(name, length)) {
        constantText(*constant, out, outSize < CONSTANT_TEXT_SIZE ? outSize : CONSTANT_TEXT_SIZE);
        return true;
    }
    const int slot = findVariable(name, length, true);
    if (slot < 0) {
        return false;
    }
    kov_copyW(out, outSize, variables[slot]->value);
    return true;
}

bool ElecDevice::expandReferences(const wchar_t* text, wchar_t* out, size_t outSize) const
{
    std::wstring work;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c != L'$') {
            work += *c;
        } else {
            const wchar_t* name = c + 1;
            size_t length = 0;
            while (isNameChar(name[length])) {
                ++length;
            }
            wchar_t replacement[VARIABLE_VALUE_SIZE];
            if (!lookupReference(name, length, replacement, VARIABLE_VALUE_SIZE)) {
                return false;
            }
            work += replacement;
            c = name + length - 1;
        }
        // The expansion has the room of one value text and no more.
        if (work.size() >= outSize) {
            return false;
        }
    }
    kov_copyW(out, outSize, work.c_str());
    return true;
}

bool ElecDevice::parseValue(wchar_t* text)
{
    if (parser == nullptr || text == nullptr || text[0] == L'\0') {
        return false;
    }
    if (wcsnlen(text, VARIABLE_VALUE_SIZE) >= VARIABLE_VALUE_SIZE) {
        return false;
    }

    wchar_t work[VARIABLE_VALUE_SIZE];
    if (!expandReferences(text, work, VARIABLE_VALUE_SIZE)) {
        return false;
    }
    kov_copyW(text, VARIABLE_VALUE_SIZE, work);
    if (wcslen(work) < 2) {
        return true;  // a single character is taken as it stands
    }

    // Each value is evaluated on a clean parser: an assignment such as
    // "y = 3" would otherwise leave a hidden variable for later values and
    // hand back the previous value of x as its own.
    parser->release();
    if (parser->assign(work) < 1) {
        return false;
    }
    const double value = parser->eval(L"x");
    if (!std::isfinite(value)) {
        return false;
    }
    nu_reformatAuto(value, text, VARIABLE_VALUE_SIZE, nullptr, nullptr, -1);
    return true;
}

bool ElecDevice::setVariable(const wchar_t* name, wchar_t* value, int line)
{
    if (name == nullptr || value == nullptr || !isAsciiLetter(name[0])) {
        return false;
    }
    if (isBlocked()) {
        return false;
    }
    const size_t nameLength = wcslen(name);
    if (findConstant(name, nameLength) != nullptr) {
        reportError(L"reserved variable name at line " + std::to_wstring(line + 1));
        return false;
    }
    // A name that is cut, or that no '$' reference could spell, would
    // silently stand for another variable or for none.
    if (nameLength >= VARIABLE_NAME_SIZE) {
        return false;
    }
    for (size_t i = 0; i < nameLength; ++i) {
        if (!isNameChar(name[i])) {
            return false;
        }
    }

    const std::wstring text = withoutComment(value);
    if (text.empty() || text.size() >= VARIABLE_VALUE_SIZE) {
        return false;
    }

    wchar_t stored[VARIABLE_VALUE_SIZE];
    kov_copyW(stored, VARIABLE_VALUE_SIZE, text.c_str());
    const bool isText = stored[0] == L'"';
    if (!isText && !parseValue(stored)) {
        return false;
    }

    const int slot = findVariable(name, nameLength, false);
    _variable_w_t* variable = slot >= 0 ? variables[slot] : nullptr;
    if (variable == nullptr) {
        if (variableCount >= MAX_VARIABLES) {
            return false;
        }
        variable = channel->mallocVar(true);
        if (variable == nullptr) {
            return false;
        }
        kov_copyW(variable->name, VARIABLE_NAME_SIZE, name);
        variables[variableCount++] = variable;
    }
    kov_copyW(variable->value, VARIABLE_VALUE_SIZE, stored);
    variable->defined = 1;
    variable->isText = isText ? 1 : 0;
    kov_copyW(value, VARIABLE_VALUE_SIZE, stored);
    return true;
}

bool ElecDevice::getVariable(const wchar_t* name, wchar_t* out) const
{
    if (name == nullptr || out == nullptr || name[0] == L'\0') {
        return false;
    }
    if (name[0] == L'$') {
        ++name;
    }
    const size_t length = wcslen(name);
    return lookupReference(name, length, out, VARIABLE_VALUE_SIZE);
}

bool ElecDevice::deleteVariable(const wchar_t* name)
{
    if (name == nullptr || name[0] == L'\0' || variableCount == 0) {
        return false;
    }
    const int slot = findVariable(name, wcslen(name), false);
    if (slot < 0) {
        return false;
    }
    channel->freeVar(&variables[slot]);
    for (int i = slot; i < variableCount - 1; ++i) {
        variables[i] = variables[i + 1];
    }
    variables[variableCount - 1] = nullptr;
    --variableCount;
    return true;
}

const wchar_t* ElecDevice::getVariableName(int index) const
{
    if (index < 0 || index >= variableCount || variables[index] == nullptr) {
        return nullptr;
    }
    return variables[index]->name;
}

const wchar_t* ElecDevice::getVariableValue(int index) const
{
    if (index < 0 || index >= variableCount || variables[index] == nullptr) {
        return nullptr;
    }
    return variables[index]->value;
}

void ElecDevice::freeVariables()
{
    for (int i = 0; i < MAX_VARIABLES; ++i) {
        if (variables[i] != nullptr && channel != nullptr) {
            channel->freeVar(&variables[i]);
        }
        variables[i] = nullptr;
    }
    variableCount = 0;
}
