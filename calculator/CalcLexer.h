// The console's lexer "kovra": colours numbers, the grammar's functions and
// constants (keyword set 0), the command words (keyword set 1), operators,
// names, and the answers that are errors.
#pragma once

// Registers the lexer with the windowing layer (once per program).
void CalcLexer_register();

// Style ids the lexer gives (those the console's preferences colour).
enum CalcLexerStyle {
    CALC_STYLE_DEFAULT = 0,
    CALC_STYLE_ERROR = 2,
    CALC_STYLE_NUMBER = 4,
    CALC_STYLE_FUNCTION = 5,  // keyword set 0
    CALC_STYLE_COMMAND = 6,   // keyword set 1
    CALC_STYLE_ANSWER = 7,
    CALC_STYLE_OPERATOR = 10,
    CALC_STYLE_NAME = 9,
};

// The marker the console puts on an answer line that reports an error
// (never shown in a margin).
constexpr int CALC_ERROR_MARKER = 10;
