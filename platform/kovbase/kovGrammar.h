// The one expression grammar of the suite: the functions, constants, name
// rules and error words that the calculator's parser (kov_Parser) and the
// engine's variable parser (nuParser) both put on their muparser instances.
// Internal to the platform libraries: it exposes muparser.
#pragma once

#include <string>
#include <string_view>

#include <muParser.h>

// What the grammar's functions read while an expression is evaluated.
struct kov_GrammarContext {
    // Radians per unit of the angles the trigonometric functions take and
    // give (1 for radian, pi/180 for degree, pi/200 for grad).
    double radiansPerUnit = 1.0;
};

// Replaces muparser's own functions and constants by the suite's tables
// (context must outlive the parser and every copy of it).
void kov_grammarDefine(mu::Parser& parser, kov_GrammarContext* context);

// True for a name of a function, a constant or a command word of the
// grammar, in any letter case: such names cannot become variables.
bool kov_grammarIsReserved(const std::string& name);
// True for a well-formed variable name: a letter or '_', then letters,
// digits or '_', at most 31 characters.
bool kov_grammarIsName(const std::string& name);

// A number literal at the start of text, as the grammar reads it: a
// decimal ("12", "1.5", ".5", "2.5e-3") or a whole number in one of the
// forms the calculator prints its answers in ("0x1F", "0b101", "0o17",
// letters in any case), so that an answer can be typed back.
struct kov_GrammarNumber {
    size_t length = 0;  // bytes of the literal; 0 when text starts with none
    double value = 0.0;
    // Why a literal cannot be read, in words ("missing exponent digits in
    // 1e", "overflow: the number 1e999 is too large"); empty when it can.
    std::string error;
};
kov_GrammarNumber kov_grammarReadNumber(std::string_view text);

// Puts a text into the form muparser reads: names lower-cased (the grammar
// ignores letter case), a '$' before a name dropped ("$a" is the variable
// a), blanks removed. With foldSigns (the calculator's lines, where "--5"
// is 5), a run of signs before an operand is folded into one; the folded
// signs become blanks, so positions stay. Values of device files and
// variables keep refusing "--5" as the typing slip it usually is. False,
// with the reason in error, when two operands stand side by side with only
// blanks between them ("2 3" is not 23), or a number cannot be read.
bool kov_grammarNormalize(const std::string& text, std::string* normalized, std::string* error,
                          bool foldSigns = false);

// Starts watching the evaluation for domain errors of the grammar's
// functions and for floating-point faults (division by zero, overflow).
void kov_grammarBeginEvaluation();
// After an evaluation that gave a non-finite value: the words for it
// ("division by zero", "sqrt: negative argument", ...).
std::string kov_grammarFaultText(double value);
// The words for a muparser error on the given (normalised) expression:
// "unknown function: foo", "missing closing parenthesis", ...
std::string kov_grammarErrorText(const mu::Parser::exception_type& error,
                                 const std::string& expression);
