// The Qt side of the windowing layer, for code that needs the Qt objects
// behind elements: the image set, custom lexers of the text control, and
// access to an element's widget.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QWidget>

#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciscintilla.h>

#include <string>
#include <vector>

#include "iup.h"

// ---- images -------------------------------------------------------------
// An image element ("image" kind) made from an icon; register it with
// IupSetHandle and name it in IMAGE and ICON attributes.
Ihandle* iupImageCreate(const QIcon& icon);
// The icon of an image element given by handle name (empty when none).
QIcon iupImageIcon(const char* name);

// ---- widgets --------------------------------------------------------------
QWidget* iupWidget(Ihandle* ih);
QsciScintilla* iupScintillaWidget(Ihandle* ih);
// The last picture an IupDraw* sequence left on a canvas (tests read it).
QImage iupCanvasImage(Ihandle* ih);

// ---- custom lexers of the text control ------------------------------------
// A lexer the programs select by name with SCI_SETLEXERLANGUAGE. It receives
// the keyword lists of SCI_SETKEYWORDS (sets 0..8) and styles the text in
// styleText (QsciLexerCustom: startStyling, setStyling).
class IupLexer : public QsciLexerCustom {
public:
    explicit IupLexer(QObject* parent = nullptr) : QsciLexerCustom(parent) {}
    void setKeywordList(int set, const char* words);
    // The words of a keyword set, split at blanks.
    const std::vector<std::string>& keywordList(int set) const;
    bool isKeyword(int set, const std::string& word) const;

private:
    std::vector<std::vector<std::string>> keywordSets = std::vector<std::vector<std::string>>(9);
};

using IupLexerFactory = IupLexer* (*)(QsciScintilla* editor);
// Registers a lexer under a name (replacing one of the same name).
void iupScintillaRegisterLexer(const char* name, IupLexerFactory factory);

// ---- the scripted-answer seam (for libraries over this layer) ----------------
// Asks a question with the given buttons (1-based answer, 0 when closed).
// kind is "MESSAGE" or "QUESTION"; icon is "INFORMATION", "WARNING",
// "ERROR" or "QUESTION". Enter answers defaultButton, Escape (and the close
// box) escapeButton (both 1-based; 0: the first, respectively the last
// button). Scripted and headless runs take the answer from the script (see
// iup.h); otherwise a modal message box asks the user.
int iupSeamAsk(const char* kind, const char* title, const char* text,
               const std::vector<std::string>& buttons, QWidget* parent, const char* icon,
               int defaultButton = 0, int escapeButton = 0);
