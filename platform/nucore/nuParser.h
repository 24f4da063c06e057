// nuParser: the expression parser of a device's variables, over muparser.
// The grammar is the suite's one (kovGrammar.h), shared with the calculator:
// numbers with exponents, + - * / ^, unary signs, parentheses, its functions.
#pragma once

#include <memory>

class nuSigma;
class nuParam;

class nuParser {
public:
    nuParser(nuSigma* sigma, nuParam* param);
    ~nuParser();
    nuParser(const nuParser&) = delete;
    nuParser& operator=(const nuParser&) = delete;

    // Defines the variable "x" (or "name = expression") from an expression
    // text; returns 1 or more on success, 0 on a syntax or evaluation error
    // (the message is kept in lastError()).
    int assign(const wchar_t* text);
    // Value of an expression (or of a defined variable name); NaN on error.
    double eval(const wchar_t* text);
    // Forgets every defined variable.
    void release();

    const wchar_t* lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
