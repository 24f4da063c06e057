// The GUI programs' expression parser: lines, commands, variables, history,
// the parse cache and solve(), over the suite's grammar (kovGrammar.h).
#include "kovbase.h"
#include "kovraVersion.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "kovGrammar.h"
#include "kovParser.h"
#include "kovRootFinder.h"

namespace {

enum class Format { REAL, INT, DEC, BIN, OCT, HEX };
enum class Unit { RADIAN, DEGREE, GRAD };

const char* formatName(Format f)
{
    switch (f) {
    case Format::REAL: return "real";
    case Format::INT: return "int";
    case Format::DEC: return "dec";
    case Format::BIN: return "bin";
    case Format::OCT: return "oct";
    case Format::HEX: return "hex";
    }
    return "real";
}

const char* unitName(Unit u)
{
    return u == Unit::DEGREE ? "degree" : (u == Unit::GRAD ? "grad" : "radian");
}

constexpr int DEFAULT_ITERATIONS = 100;
constexpr double DEFAULT_TOLERANCE = 1e-12;
// Distinct texts whose parse is kept; a longer session starts the cache over.
constexpr size_t CACHE_LIMIT = 256;

struct Variable {
    std::string name;       // as first defined
    std::string valueText;  // as given
    double value = 0.0;     // muparser reads it at this address
};

// The value in plain digits with no more significant digits than a double
// holds: the shortest digits that read back to it, then zeros ("1e21/7" is
// 142857142857142860000 in format dec, where format int spells out the
// 142857142857142861824 the binary value holds exactly).
std::string fixedDigits(double value)
{
    if (value == 0.0) {
        return "0";
    }
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string scientific(buffer, r.ptr);  // "-1.4285714285714286e+20"
    const size_t e = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i) {
        if (scientific[i] != '.') {
            digits.push_back(scientific[i]);
        }
    }
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string text;
    if (exponent >= 0) {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            text = digits + std::string(whole - digits.size(), '0');
        } else {
            text = digits.substr(0, whole) + "." + digits.substr(whole);
        }
    } else {
        text = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    return (negative ? "-" : "") + text;
}

// The shortest text that reads back to the same double, in plain digits
// or in exponent form, whichever is shorter; plain digits never show more
// significant digits than the exponent form (fixedDigits).
std::string shortest(double value)
{
    if (value == 0.0) {
        return "0";  // also -0
    }
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string plain(buffer, r.ptr);
    if (plain.find('e') != std::string::npos) {
        return plain;
    }
    const auto s =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string scientific(buffer, s.ptr);
    const std::string fixed = fixedDigits(value);
    return fixed.size() <= scientific.size() ? fixed : scientific;
}

void copyOut(char* result, const std::string& text)
{
    if (result != nullptr) {
        kov_copyA(result, KOV_PARSER_LINE, text.c_str());
    }
}

// A bare '=' (assignment), as opposed to "==", "<=", ">=" and "!=".
size_t findAssignment(const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            continue;
        }
        const bool paired = (i + 1 < text.size() && text[i + 1] == '=');
        const bool compared = i > 0 && std::strchr("<>!=", text[i - 1]) != nullptr;
        if (paired) {
            ++i;
            continue;
        }
        if (!compared) {
            return i;
        }
    }
    return std::string::npos;
}

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

struct kov_ParserImpl {
    kov_GrammarContext context;
    mu::Parser parser;
    std::vector<std::unique_ptr<Variable>> variables;
    // Parses kept per normalised text: muparser's copy keeps the compiled
    // form, so a text seen before is evaluated without parsing it again.
    std::unordered_map<std::string, std::unique_ptr<mu::Parser>> cache;
    Format format = Format::REAL;
    Unit unit = Unit::RADIAN;
    int iterations = DEFAULT_ITERATIONS;
    double tolerance = DEFAULT_TOLERANCE;
    char info[64] = {};
    // Why the last kov_ParserParseValue refused its text.
    std::string lastError;

    kov_ParserImpl() { kov_grammarDefine(parser, &context); }

    void setUnit(Unit u)
    {
        unit = u;
        context.radiansPerUnit =
            u == Unit::DEGREE ? M_PI / 180.0 : (u == Unit::GRAD ? M_PI / 200.0 : 1.0);
        cache.clear();  // cached parses may hold folded angles
    }

    Variable* find(const std::string& name)
    {
        const std::string key = kov_toLowerAscii(name);
        for (auto& v : variables) {
            if (kov_toLowerAscii(v->name) == key) {
                return v.get();
            }
        }
        return nullptr;
    }

    bool define(const std::string& name, const std::string& valueText, double value,
                std::string* error)
    {
        if (Variable* v = find(name)) {
            v->value = value;
            v->valueText = valueText;
            return true;
        }
        auto v = std::make_unique<Variable>();
        v->name = name;
        v->valueText = valueText;
        v->value = value;
        try {
            parser.DefineVar(kov_toLowerAscii(name), &v->value);
        } catch (const mu::Parser::exception_type& e) {
            *error = "cannot define variable: " + name;
            return false;
        }
        variables.push_back(std::move(v));
        return true;
    }

    bool remove(const std::string& name)
    {
        const std::string key = kov_toLowerAscii(name);
        for (size_t i = 0; i < variables.size(); ++i) {
            if (kov_toLowerAscii(variables[i]->name) == key) {
                parser.RemoveVar(key);
                variables.erase(variables.begin() + static_cast<long>(i));
                cache.clear();  // cached parses point at the freed value
                return true;
            }
        }
        return false;
    }

    void removeAll()
    {
        parser.ClearVar();
        variables.clear();
        cache.clear();
    }

    // Evaluates a normalised expression; false with the words in error.
    bool evaluate(std::string text, double* value, std::string* error)
    {
        if (text.empty()) {
            *error = "empty expression";
            return false;
        }
        if (findAssignment(text) != std::string::npos) {
            *error = "an assignment stands only at the start: name=expression";
            return false;
        }
        bool cacheable = true;
        if (!resolveSolve(&text, error, &cacheable)) {
            return false;
        }
        if (cacheable) {
            const auto hit = cache.find(text);
            if (hit != cache.end()) {
                kov_grammarBeginEvaluation();
                try {
                    *value = hit->second->Eval();
                    if (std::isfinite(*value)) {
                        return true;
                    }
                } catch (...) {
                }
                // A fault: evaluate afresh below so that its words are found.
            }
        }
        try {
            kov_grammarBeginEvaluation();
            parser.SetExpr(text);
            *value = parser.Eval();
            if (parser.GetNumResults() != 1) {
                *error = "several values where one is expected (',' separates arguments only)";
                return false;
            }
        } catch (const mu::Parser::exception_type& e) {
            *error = kov_grammarErrorText(e, text);
            return false;
        } catch (const std::exception&) {
            *error = "expression not evaluated";
            return false;
        }
        if (!std::isfinite(*value)) {
            *error = kov_grammarFaultText(*value);
            return false;
        }
        if (cacheable) {
            if (cache.size() >= CACHE_LIMIT) {
                cache.clear();
            }
            try {
                cache.emplace(text, std::make_unique<mu::Parser>(parser));
            } catch (...) {
                // Only speed is lost.
            }
        }
        return true;
    }

    // Replaces every solve(f,x,x0) in text by its root (in parentheses).
    bool resolveSolve(std::string* text, std::string* error, bool* cacheable)
    {
        for (;;) {
            size_t at = text->find("solve(");
            while (at != std::string::npos && at > 0 && isNameChar((*text)[at - 1])) {
                at = text->find("solve(", at + 1);
            }
            if (at == std::string::npos) {
                return true;
            }
            *cacheable = false;  // the root depends on the settings of the moment
            std::vector<std::string> args;
            int depth = 0;
            size_t start = at + 6;
            size_t end = std::string::npos;
            for (size_t i = start; i < text->size(); ++i) {
                const char c = (*text)[i];
                if (c == '(') {
                    ++depth;
                }
                if (c == ')') {
                    if (depth == 0) {
                        args.push_back(text->substr(start, i - start));
                        end = i;
                        break;
                    }
                    --depth;
                }
                if (c == ',' && depth == 0) {
                    args.push_back(text->substr(start, i - start));
                    start = i + 1;
                }
            }
            if (end == std::string::npos) {
                *error = "missing closing parenthesis";
                return false;
            }
            if (args.size() != 3) {
                *error = "solve takes three arguments: solve(f,x,x0)";
                return false;
            }
            double root = 0.0;
            if (!solve(args[0], args[1], args[2], &root, error)) {
                return false;
            }
            std::string bracketed = "(";
            bracketed += shortest(root);
            bracketed += ')';
            text->replace(at, end + 1 - at, bracketed);
        }
    }

    bool solve(const std::string& f, const std::string& x, const std::string& x0Text, double* root,
               std::string* error)
    {
        if (!kov_grammarIsName(x) || kov_grammarIsReserved(x)) {
            *error = "solve: the second argument must be a variable name";
            return false;
        }
        if (f.find("solve(") != std::string::npos) {
            *error = "solve: the function cannot hold another solve";
            return false;
        }
        double xv = 0.0;
        if (!evaluate(x0Text, &xv, error)) {
            *error = "solve: start value: " + *error;
            return false;
        }
        // A copy of the parser in which x is the unknown; the variable x of
        // the session, if any, is left as it is.
        mu::Parser local(parser);
        double unknown = xv;
        auto at = [&](double point, double* fx) -> bool {
            unknown = point;
            kov_grammarBeginEvaluation();
            *fx = local.Eval();
            return std::isfinite(*fx);
        };
        try {
            local.DefineVar(x, &unknown);
            local.SetExpr(f);
            return kov_findRoot(at, xv, iterations, tolerance, x, root, error);
        } catch (const mu::Parser::exception_type& e) {
            *error = "solve: " + kov_grammarErrorText(e, f);
            return false;
        }
    }

    // The answer text of a value in the current format.
    bool formatValue(double v, std::string* out, std::string* error) const
    {
        if (format == Format::REAL) {
            if (v == std::floor(v) && std::fabs(v) < 1e15) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%.0f", v == 0.0 ? 0.0 : v);
                *out = buffer;
            } else {
                *out = shortest(v);
            }
            return true;
        }
        if (format == Format::DEC) {
            const std::string text = fixedDigits(v);
            if (text.size() > static_cast<size_t>(KOV_PARSER_MAXLINE)) {
                *error = "the value is too long to show in format dec";
                return false;
            }
            *out = text;
            return true;
        }
        const double rounded = std::round(v);
        if (format == Format::INT) {
            // The whole number the double holds, every digit exact (2^62 is
            // 4611686018427387904): a whole number has no digits to spare.
            char buffer[400];
            std::snprintf(buffer, sizeof buffer, "%.0f", rounded == 0.0 ? 0.0 : rounded);
            if (std::strlen(buffer) > static_cast<size_t>(KOV_PARSER_MAXLINE)) {
                *error = "the value is too long to show in format int";
                return false;
            }
            *out = buffer;
            return true;
        }
        if (std::fabs(rounded) >= 9.2e18) {
            *error = std::string("the value is too large for format ") + formatName(format);
            return false;
        }
        long long n = static_cast<long long>(rounded);
        const int base = format == Format::BIN ? 2 : (format == Format::OCT ? 8 : 16);
        const char* prefix = format == Format::BIN ? "0b" : (format == Format::OCT ? "0o" : "0x");
        unsigned long long magnitude =
            n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
        std::string digits;
        do {
            digits.insert(digits.begin(), "0123456789ABCDEF"[magnitude % base]);
            magnitude /= base;
        } while (magnitude != 0);
        // Appended piece by piece: g++ 12 at -O3 mistakes the text put in
        // front of a temporary for an overlapping copy (-Wrestrict).
        out->clear();
        if (n < 0) {
            out->push_back('-');
        }
        *out += prefix;
        *out += digits;
        return true;
    }

    void updateInfo()
    {
        std::snprintf(info, sizeof info, "%s | %s", formatName(format), unitName(unit));
    }

    // Commands and information words; false when text is none of them.
    bool command(const std::string& text, int* r, std::string* answer);
    int run(const std::string& text, std::string* answer);
};

bool kov_ParserImpl::command(const std::string& line, int* r, std::string* answer)
{
    const std::string text = kov_toLowerAscii(line);
    auto fail = [&](const std::string& words) {
        *answer = words;
        *r = 0;
        return true;
    };
    auto done = [&](const std::string& words) {
        *answer = words;
        *r = 1;
        return true;
    };
    if (kov_startsWith(text, "format:")) {
        const std::string word = text.substr(7);
        const Format formats[] = {Format::REAL, Format::INT, Format::DEC,
                                  Format::BIN,  Format::OCT, Format::HEX};
        for (Format f : formats) {
            if (word == formatName(f)) {
                format = f;
                updateInfo();
                return done(std::string("format: ") + formatName(f));
            }
        }
        return fail("unknown format: " + word + " (real, int, dec, bin, oct or hex)");
    }
    if (kov_startsWith(text, "unit:")) {
        const std::string word = text.substr(5);
        if (word == "degree" || word == "deg") {
            setUnit(Unit::DEGREE);
        } else if (word == "grad" || word == "gon") {
            setUnit(Unit::GRAD);
        } else if (word == "radian" || word == "rad") {
            setUnit(Unit::RADIAN);
        } else {
            return fail("unknown angle unit: " + word + " (degree, grad or radian)");
        }
        updateInfo();
        return done(std::string("unit: ") + unitName(unit));
    }
    if (kov_startsWith(text, "iter:")) {
        const std::string word = text.substr(5);
        char* end = nullptr;
        const long n = std::strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || n < 1 || n > 100000) {
            return fail("iter: give a whole number from 1 to 100000");
        }
        iterations = static_cast<int>(n);
        return done("iter: " + std::to_string(n));
    }
    if (kov_startsWith(text, "tol:")) {
        const std::string word = text.substr(4);
        char* end = nullptr;
        const double t = kov_strtod(word.c_str(), &end);
        if (word.empty() || *end != '\0' || !(t >= 1e-300 && t < 1.0)) {
            return fail("tol: give a number above 0 and below 1");
        }
        tolerance = t;
        return done("tol: " + shortest(t));
    }
    if (kov_startsWith(text, "unset:")) {
        const std::string name = kov_trimmed(line.substr(6));
        if (kov_toLowerAscii(name) == "all") {
            removeAll();
            return done("unset: all");
        }
        if (name.empty()) {
            return fail("unset: the variable name is missing (unset:NAME or unset:all)");
        }
        if (!remove(name)) {
            return fail("unknown variable: " + name);
        }
        return done("unset: " + name);
    }
    if (text == "author") {
        return done("the Kovra authors");
    }
    if (text == "copyright") {
        return done("Copyright (c) 2024-2026 the Kovra authors");
    }
    if (text == "name") {
        return done("Kovra expression parser");
    }
    if (text == "version") {
        return done("3.0");
    }
    if (text == "release") {
        return done(KOVRA_VERSION " build " KOVRA_BUILD KOVRA_RELEASE);
    }
    return false;
}

int kov_ParserImpl::run(const std::string& given, std::string* answer)
{
    std::string line = given;
    while (!line.empty() && (line.back() == ';' || line.back() == ' ')) {
        line.pop_back();
    }
    if (line.empty()) {
        *answer = "empty expression";
        return 0;
    }
    int r = 0;
    if (command(line, &r, answer)) {
        return r;
    }

    std::string normalized;
    std::string error;
    if (!kov_grammarNormalize(line, &normalized, &error, true)) {
        *answer = error;
        return 0;
    }
    // name=expression defines or changes a variable.
    const size_t eq = findAssignment(normalized);
    std::string name;
    std::string expression = normalized;
    if (eq != std::string::npos) {
        std::string shown = kov_trimmed(line.substr(0, line.find('=')));
        if (!shown.empty() && shown[0] == '$') {
            shown.erase(0, 1);
        }
        if (!kov_grammarIsName(shown)) {
            *answer = "not a variable name: " + shown;
            return 0;
        }
        if (kov_grammarIsReserved(shown)) {
            *answer = "reserved name: " + shown;
            return 0;
        }
        name = shown;
        expression = normalized.substr(eq + 1);
    }
    double value = 0.0;
    if (!evaluate(expression, &value, &error)) {
        *answer = error;
        return 0;
    }
    std::string shownValue;
    if (!formatValue(value, &shownValue, &error)) {
        *answer = error;
        return 0;
    }
    if (!name.empty()) {
        if (!define(name, shortest(value), value, &error)) {
            *answer = error;
            return 0;
        }
        *answer = name + " = " + shownValue;
        return 1;
    }
    *answer = shownValue;
    return 1;
}

kov_Parser* kov_ParserCreate()
{
    auto* parser = static_cast<kov_Parser*>(kov_MemoryAlloc(sizeof(kov_Parser)));
    if (parser == nullptr) {
        return nullptr;
    }
    std::memset(parser, 0, sizeof *parser);
    parser->impl = new (std::nothrow) kov_ParserImpl;
    if (parser->impl == nullptr) {
        kov_MemoryFree(reinterpret_cast<void**>(&parser));
        return nullptr;
    }
    parser->impl->updateInfo();
    return parser;
}

void kov_ParserDelete(kov_Parser** parser)
{
    if (parser == nullptr || *parser == nullptr) {
        return;
    }
    delete (*parser)->impl;
    kov_MemoryFreeT(parser);
}

int kov_ParserRun(const char* text, char* result, kov_Parser* parser)
{
    if (result != nullptr) {
        result[0] = '\0';
    }
    if (parser == nullptr || parser->impl == nullptr) {
        copyOut(result, "parser not loaded");
        return 0;
    }
    if (text == nullptr) {
        copyOut(result, "empty expression");
        return 0;
    }
    if (std::strlen(text) > static_cast<size_t>(KOV_PARSER_MAXLINE)) {
        copyOut(result, "line too long: at most 255 characters");
        return 0;
    }
    parser->busy = 1;
    std::string answer;
    int r = 0;
    try {
        r = parser->impl->run(text, &answer);
    } catch (...) {
        answer = "expression not evaluated";
        r = 0;
    }
    parser->busy = 0;
    copyOut(result, answer);
    return r;
}

size_t kov_ParserRemSpace(char* text, int flags)
{
    (void)flags;
    if (text == nullptr) {
        return 0;
    }
    auto operand = [](char c) { return isNameChar(c) || c == '.' || c == '$'; };
    size_t out = 0;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        const char c = text[i];
        if (kov_isBlank(c)) {
            // Keep one blank between two operands so that the parser refuses
            // "2 3" rather than reading 23.
            size_t next = i + 1;
            while (kov_isBlank(text[next])) {
                ++next;
            }
            if (out > 0 && operand(text[out - 1]) && text[next] != '\0' && operand(text[next])) {
                text[out++] = ' ';
            }
            i = next - 1;
            continue;
        }
        text[out++] = c;
    }
    text[out] = '\0';
    return out;
}

int kov_ParserParseValue(kov_Parser* parser, char* text)
{
    if (parser == nullptr || parser->impl == nullptr || text == nullptr) {
        return 0;
    }
    std::string& error = parser->impl->lastError;
    error.clear();
    if (std::strlen(text) > static_cast<size_t>(KOV_PARSER_MAXLINE)) {
        error = "expression too long";
        return 0;
    }
    // A command ("unit:degree") is no value; a condition a?b:c is.
    const std::string given = text;
    if (given.find(':') != std::string::npos && given.find('?') == std::string::npos) {
        error = "a command is no value";
        return 0;
    }
    std::string normalized;
    if (!kov_grammarNormalize(text, &normalized, &error)) {
        return 0;
    }
    double value = 0.0;
    try {
        if (!parser->impl->evaluate(normalized, &value, &error)) {
            return 0;
        }
    } catch (...) {
        error = "expression not evaluated";
        return 0;
    }
    error.clear();
    kov_copyA(text, KOV_PARSER_LINE, shortest(value).c_str());
    return 1;
}

const char* kov_ParserLastError(const kov_Parser* parser)
{
    if (parser == nullptr || parser->impl == nullptr) {
        return "";
    }
    return parser->impl->lastError.c_str();
}

namespace {

std::string variableName(const char* name)
{
    std::string n = kov_trimmed(name != nullptr ? name : "");
    if (!n.empty() && n[0] == '$') {
        n.erase(0, 1);
    }
    return n;
}

}  // namespace

const char* kov_ParserGetVariable(kov_Parser* parser, const char* name, int flags)
{
    (void)flags;
    if (parser == nullptr || parser->impl == nullptr) {
        return nullptr;
    }
    const Variable* v = parser->impl->find(variableName(name));
    return v != nullptr ? v->valueText.c_str() : nullptr;
}

int kov_ParserSetVariable(kov_Parser* parser, const char* name, const char* value)
{
    if (parser == nullptr || parser->impl == nullptr || value == nullptr) {
        return 0;
    }
    const std::string n = variableName(name);
    const std::string valueText = kov_trimmed(value);
    if (!kov_grammarIsName(n) || kov_grammarIsReserved(n) || valueText.empty() ||
        valueText.size() > static_cast<size_t>(KOV_PARSER_MAXLINE)) {
        return 0;
    }
    std::string normalized;
    std::string error;
    double number = 0.0;
    try {
        if (!kov_grammarNormalize(valueText, &normalized, &error) ||
            !parser->impl->evaluate(normalized, &number, &error)) {
            return 0;
        }
        return parser->impl->define(n, valueText, number, &error) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int kov_ParserDeleteVariable(kov_Parser* parser, const char* name, int flags)
{
    (void)flags;
    if (parser == nullptr || parser->impl == nullptr) {
        return 0;
    }
    return parser->impl->remove(variableName(name)) ? 1 : 0;
}

int kov_ParserVariableCount(const kov_Parser* parser)
{
    return parser == nullptr || parser->impl == nullptr
               ? 0
               : static_cast<int>(parser->impl->variables.size());
}

const char* kov_ParserVariableName(const kov_Parser* parser, int index)
{
    if (index < 0 || index >= kov_ParserVariableCount(parser)) {
        return nullptr;
    }
    return parser->impl->variables[static_cast<size_t>(index)]->name.c_str();
}

const char* kov_ParserVariableValue(const kov_Parser* parser, int index)
{
    if (index < 0 || index >= kov_ParserVariableCount(parser)) {
        return nullptr;
    }
    return parser->impl->variables[static_cast<size_t>(index)]->valueText.c_str();
}

void kov_ParserHistory(kov_Parser* parser, const char* line)
{
    if (parser == nullptr || line == nullptr) {
        return;
    }
    if (parser->count >= KOV_PARSER_HISTORY) {
        std::memmove(parser->history[0], parser->history[1],
                     sizeof(parser->history[0]) * (KOV_PARSER_HISTORY - 1));
        parser->count = KOV_PARSER_HISTORY - 1;
    }
    if (parser->count < 0) {
        parser->count = 0;
    }
    kov_copyA(parser->history[parser->count], KOV_PARSER_LINE, line);
    parser->current = parser->count;
    ++parser->count;
}

void kov_ParserReset(kov_Parser* parser)
{
    if (parser == nullptr || parser->impl == nullptr) {
        return;
    }
    kov_ParserImpl& p = *parser->impl;
    p.removeAll();
    p.format = Format::REAL;
    p.setUnit(Unit::RADIAN);
    p.iterations = DEFAULT_ITERATIONS;
    p.tolerance = DEFAULT_TOLERANCE;
    p.updateInfo();
    std::memset(parser->history, 0, sizeof parser->history);
    parser->count = 0;
    parser->current = 0;
}

const char* kov_ParserGetInfo(kov_Parser* parser)
{
    if (parser == nullptr || parser->impl == nullptr) {
        return "";
    }
    return parser->impl->info;
}
