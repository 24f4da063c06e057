// The console's lexer over QScintilla's custom-lexer interface.
#include "CalcLexer.h"

#include <QColor>
#include <QFont>

#include <Qsci/qsciscintilla.h>

#include <cctype>
#include <cstring>
#include <string>

#include "Console.h"
#include "iupQt.h"
#include "kovbase.h"

namespace {

class CalcLexer : public IupLexer {
public:
    explicit CalcLexer(QObject* parent) : IupLexer(parent) {}

    const char* language() const override { return "kovra"; }

    QString description(int style) const override
    {
        switch (style) {
        case CALC_STYLE_DEFAULT: return "Default";
        case CALC_STYLE_ERROR: return "Error";
        case CALC_STYLE_NUMBER: return "Number";
        case CALC_STYLE_FUNCTION: return "Function or constant";
        case CALC_STYLE_COMMAND: return "Command";
        case CALC_STYLE_ANSWER: return "Answer";
        case CALC_STYLE_NAME: return "Name";
        case CALC_STYLE_OPERATOR: return "Operator";
        default: return QString();
        }
    }

    QColor defaultColor(int style) const override
    {
        switch (style) {
        case CALC_STYLE_ERROR: return QColor(0xC6, 0x28, 0x28);
        case CALC_STYLE_NUMBER: return QColor(0x11, 0x5E, 0xA8);
        case CALC_STYLE_FUNCTION: return QColor(0x7B, 0x1F, 0xA2);
        case CALC_STYLE_COMMAND: return QColor(0x00, 0x79, 0x6B);
        case CALC_STYLE_ANSWER: return QColor(0x2E, 0x7D, 0x32);
        case CALC_STYLE_OPERATOR: return QColor(0x60, 0x60, 0x60);
        default: return QColor(0x20, 0x20, 0x20);
        }
    }

    QFont defaultFont(int style) const override
    {
        QFont font("DejaVu Sans Mono", 11);
        if (style == CALC_STYLE_FUNCTION || style == CALC_STYLE_ANSWER) {
            font.setBold(true);
        }
        return font;
    }

    QColor defaultPaper(int) const override { return QColor(Qt::white); }

    void styleText(int start, int end) override
    {
        QsciScintilla* e = editor();
        if (e == nullptr) {
            return;
        }
        int line = 0, index = 0;
        e->lineIndexFromPosition(start, &line, &index);
        int lastLine = 0;
        e->lineIndexFromPosition(end, &lastLine, &index);
        startStyling(e->positionFromLineIndex(line, 0));
        for (int l = line; l <= lastLine && l < e->lines(); ++l) {
            const std::string text = e->text(l).toStdString();
            const unsigned markers = e->markersAtLine(l);
            const bool prompt = (markers & (1u << CONSOLE_PROMPT_MARKER)) != 0;
            const bool error = (markers & (1u << CALC_ERROR_MARKER)) != 0;
            if (error) {
                setStyling(static_cast<int>(text.size()), CALC_STYLE_ERROR);
                continue;
            }
            styleTokens(text, prompt ? CALC_STYLE_DEFAULT : CALC_STYLE_ANSWER);
        }
    }

private:
    void styleTokens(const std::string& text, int plain)
    {
        size_t i = 0;
        while (i < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            size_t j = i + 1;
            int style = plain;
            if (std::isdigit(c) || (c == '.' && i + 1 < text.size() &&
                                    std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
                // A number with its exponent, or a "0x1F" answer.
                while (j < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '.' ||
                        ((text[j] == '+' || text[j] == '-') &&
                         (text[j - 1] == 'e' || text[j - 1] == 'E')))) {
                    ++j;
                }
                style = CALC_STYLE_NUMBER;
            } else if (std::isalpha(c) || c == '_' || c == '$') {
                while (j < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_')) {
                    ++j;
                }
                const std::string word = kov_toLowerAscii(text.substr(i, j - i));
                if (isKeyword(0, word)) {
                    style = CALC_STYLE_FUNCTION;
                } else if (isKeyword(1, word)) {
                    style = CALC_STYLE_COMMAND;
                } else {
                    style = plain == CALC_STYLE_ANSWER ? CALC_STYLE_ANSWER : CALC_STYLE_NAME;
                }
            } else if (std::strchr("+-*/^()=,;:<>!&|?%", c) != nullptr) {
                style = CALC_STYLE_OPERATOR;
            }
            setStyling(static_cast<int>(j - i), style);
            i = j;
        }
    }
};

IupLexer* makeLexer(QsciScintilla* editor) { return new CalcLexer(editor); }

}  // namespace

void CalcLexer_register() { iupScintillaRegisterLexer("kovra", makeLexer); }
