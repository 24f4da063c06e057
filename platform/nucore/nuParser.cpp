// Expression parser over muparser. muparser is built for narrow text here,
// so wide expressions are handed over as UTF-8; its number reading uses its
// own classic locale and so does not depend on LC_NUMERIC.
#include "nuParser.h"

#include <cctype>
#include <cmath>
#include <cwctype>
#include <limits>
#include <map>
#include <string>

#include "kovGrammar.h"
#include "kovbase.h"

static_assert(std::is_same_v<mu::string_type, std::string>,
              "nuParser converts to narrow text; a wide muparser needs no conversion");

struct nuParser::Impl {
    // The suite's one grammar; angles in radians.
    kov_GrammarContext context;
    mu::Parser parser;
    // std::map keeps every value at a fixed address, which muparser binds.
    std::map<std::string, double> variables;
    std::wstring error;

    Impl() { kov_grammarDefine(parser, &context); }

    bool isReservedName(const std::string& name) const { return kov_grammarIsReserved(name); }

    // Evaluates one expression; false (and error set) on any failure,
    // including a list of values ("1,5" read with a decimal comma would
    // otherwise quietly give 5).
    bool evaluate(const std::wstring& text, double* value)
    {
        std::string expression;
        std::string words;
        if (!kov_grammarNormalize(kov_toUtf8(text), &expression, &words)) {
            error = kov_toWide(words);
            return false;
        }
        try {
            kov_grammarBeginEvaluation();
            parser.SetExpr(expression);
            *value = parser.Eval();
            if (parser.GetNumResults() != 1) {
                error = L"several values where one is expected (',' separates arguments)";
                return false;
            }
            return true;
        } catch (const mu::Parser::exception_type& e) {
            error = kov_toWide(kov_grammarErrorText(e, expression));
        } catch (const std::exception& e) {
            error = kov_toWide(e.what());
        } catch (...) {
            error = L"expression not evaluated";
        }
        return false;
    }
};

namespace {

bool isNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}

bool isNameChar(wchar_t c) { return isNameStart(c) || (c >= L'0' && c <= L'9'); }

// Splits "name = expression"; false when text is no such assignment (an
// expression such as "a == b" or "a <= b" is not one).
bool splitAssignment(const std::wstring& text, std::wstring* name, std::wstring* expression)
{
    size_t i = 0;
    while (i < text.size() && kov_isBlank(text[i])) {
        ++i;
    }
    if (i == text.size() || !isNameStart(text[i])) {
        return false;
    }
    const size_t nameStart = i;
    while (i < text.size() && isNameChar(text[i])) {
        ++i;
    }
    const size_t nameEnd = i;
    while (i < text.size() && kov_isBlank(text[i])) {
        ++i;
    }
    if (i == text.size() || text[i] != L'=' || (i + 1 < text.size() && text[i + 1] == L'=')) {
        return false;
    }
    *name = text.substr(nameStart, nameEnd - nameStart);
    *expression = text.substr(i + 1);
    return true;
}

}  // namespace

nuParser::nuParser(nuSigma* sigma, nuParam* param) : impl(std::make_unique<Impl>())
{
    (void)sigma;  // the caller reports failures with its own context
    (void)param;
}

nuParser::~nuParser() = default;

int nuParser::assign(const wchar_t* text)
{
    if (text == nullptr || text[0] == L'\0') {
        impl->error = L"empty expression";
        return 0;
    }
    std::wstring name = L"x";
    std::wstring expression = text;
    std::wstring givenName;
    std::wstring givenExpression;
    if (splitAssignment(expression, &givenName, &givenExpression)) {
        name = givenName;
        expression = givenExpression;
    }
    const std::string key = kov_toLowerAscii(kov_toUtf8(name));  // the grammar ignores case
    if (impl->isReservedName(key)) {
        impl->error = L"reserved name: " + name;
        return 0;
    }
    double value = 0.0;
    if (!impl->evaluate(expression, &value)) {
        return 0;
    }
    if (!std::isfinite(value)) {
        impl->error = kov_toWide(kov_grammarFaultText(value));
        return 0;
    }
    try {
        auto [slot, created] = impl->variables.try_emplace(key, value);
        slot->second = value;
        if (created) {
            impl->parser.DefineVar(key, &slot->second);
        }
    } catch (const mu::Parser::exception_type& e) {
        impl->variables.erase(key);
        impl->error = kov_toWide(e.GetMsg());
        return 0;
    } catch (...) {
        impl->variables.erase(key);
        impl->error = L"variable not defined";
        return 0;
    }
    impl->error.clear();
    return 1;
}

double nuParser::eval(const wchar_t* text)
{
    constexpr double QUIET_NAN = std::numeric_limits<double>::quiet_NaN();
    if (text == nullptr || text[0] == L'\0') {
        impl->error = L"empty expression";
        return QUIET_NAN;
    }
    double value = 0.0;
    if (!impl->evaluate(text, &value)) {
        return QUIET_NAN;
    }
    if (std::isfinite(value)) {
        impl->error.clear();
    } else {
        impl->error = kov_toWide(kov_grammarFaultText(value));
    }
    return value;
}

void nuParser::release()
{
    // Clearing makes the parser reset its token reader, which allocates:
    // short of memory, the variables are dropped all the same (a release
    // runs from destructors and must not throw).
    try {
        impl->parser.ClearVar();
    } catch (...) {
    }
    impl->variables.clear();
    impl->error.clear();
}

const wchar_t* nuParser::lastError() const { return impl->error.c_str(); }
