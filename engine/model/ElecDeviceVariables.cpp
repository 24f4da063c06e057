// ElecDevice: user variables of the device file and the evaluation of value
// texts ('$name' references expanded, the expression evaluated).
#include <algorithm>
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

// How many characters of the name a '$' reference starts at this text.
size_t referenceLength(const wchar_t* name)
{
    size_t length = 0;
    while (isNameChar(name[length])) {
        ++length;
    }
    return length;
}

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
            const size_t length = referenceLength(name);
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

std::wstring ElecDevice::undefinedReference(const wchar_t* text) const
{
    for (const wchar_t* c = text; c != nullptr && *c != L'\0'; ++c) {
        if (*c != L'$') {
            continue;
        }
        const wchar_t* name = c + 1;
        const size_t length = referenceLength(name);
        wchar_t replacement[VARIABLE_VALUE_SIZE];
        if (!lookupReference(name, length, replacement, VARIABLE_VALUE_SIZE)) {
            const size_t shown = std::min(length, VARIABLE_NAME_SIZE - 1);
            return L"$" + std::wstring(name, shown) + (shown < length ? L"..." : L"");
        }
        c = name + length - 1;
    }
    return L"";
}

bool ElecDevice::setVariable(const wchar_t* name, wchar_t* value, int line)
{
    variableRefusal.clear();
    const std::wstring shownName = L"$" + std::wstring(name != nullptr ? name : L"");
    auto refuse = [&](const std::wstring& why) {
        variableRefusal = why;
        return false;
    };
    const std::wstring notAName =
        shownName.substr(0, VARIABLE_NAME_SIZE) +
        L" is no variable name (a letter, then letters, digits or _, up to 63 characters)";
    if (name == nullptr || value == nullptr) {
        return refuse(L"a name and a value are needed ($name = value)");
    }
    if (!isAsciiLetter(name[0])) {
        return refuse(notAName);
    }
    if (isBlocked()) {
        return false;
    }
    const size_t nameLength = wcslen(name);
    if (findConstant(name, nameLength) != nullptr) {
        reportError(L"reserved variable name at line " + std::to_wstring(line + 1) + L": " +
                    shownName +
                    L" is a constant (pi, _q, _m, _k, _h, _c, _e and _n cannot be "
                    L"redefined)");
        return refuse(shownName + L" is a constant");
    }
    // A name that is cut, or that no '$' reference could spell, would
    // silently stand for another variable or for none.
    bool spelled = nameLength < VARIABLE_NAME_SIZE;
    for (size_t i = 0; spelled && i < nameLength; ++i) {
        spelled = isNameChar(name[i]);
    }
    if (!spelled) {
        return refuse(notAName);
    }

    const std::wstring text = withoutComment(value);
    if (text.empty()) {
        return refuse(shownName + L" has no value");
    }
    if (text.size() >= VARIABLE_VALUE_SIZE) {
        return refuse(shownName + L": a value holds at most 255 characters");
    }

    wchar_t stored[VARIABLE_VALUE_SIZE];
    kov_copyW(stored, VARIABLE_VALUE_SIZE, text.c_str());
    const bool isText = stored[0] == L'"';
    if (!isText && !parseValue(stored)) {
        const std::wstring undefined = undefinedReference(text.c_str());
        if (!undefined.empty()) {
            return refuse(shownName + L" = " + text + L" uses " + undefined +
                          L", which is not defined above it");
        }
        return refuse(shownName + L" = " + text +
                      L" (a number, or an expression of numbers and $variables, is expected)");
    }

    const int slot = findVariable(name, nameLength, false);
    _variable_w_t* variable = slot >= 0 ? variables[slot] : nullptr;
    if (variable == nullptr) {
        if (variableCount >= MAX_VARIABLES) {
            return refuse(shownName + L": a device file holds at most " +
                          std::to_wstring(MAX_VARIABLES) + L" variables");
        }
        variable = channel->mallocVar(true);
        if (variable == nullptr) {
            return refuse(shownName + L": no memory left for it");
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
