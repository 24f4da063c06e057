// What the console looks like on screen: the control is drawn into a
// picture and its pixels read, so a prompt marker that is set on a line but
// never painted fails here (the text control's own tests cannot see that).
#include <QImage>

#include "CalcWindowFixture.h"
#include "guiCommon.h"
#include "iupQt.h"
#include "iupScintillaMessages.h"

namespace {

class ConsoleLookTest : public CalcWindowFixture {
protected:
    void enter(const std::string& text)
    {
        for (char c : text) {
            IupTestKey(console, static_cast<unsigned char>(c));
        }
        IupTestKey(console, K_CR);
    }
    // Pixels of the prompt margin (margin 3, the first one with a width) on
    // a line that are not the margin's background.
    int inkInMargin(const QImage& picture, int line)
    {
        const int width = static_cast<int>(Editor_send(console, SCI_GETMARGINWIDTHN, 3, 0));
        const int top =
            static_cast<int>(Editor_send(console, SCI_POINTYFROMPOSITION, 0,
                                         Editor_send(console, SCI_POSITIONFROMLINE, line, 0)));
        const int height = static_cast<int>(Editor_send(console, SCI_TEXTHEIGHT, line, 0));
        const long back = Editor_send(console, SCI_GETMARGINBACKN, 3, 0);
        const QColor background(back & 0xFF, (back >> 8) & 0xFF, (back >> 16) & 0xFF);
        int ink = 0;
        for (int y = top; y < top + height && y < picture.height(); ++y) {
            for (int x = 0; x < width; ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (std::abs(c.red() - background.red()) +
                        std::abs(c.green() - background.green()) +
                        std::abs(c.blue() - background.blue()) >
                    120) {
                    ++ink;
                }
            }
        }
        return ink;
    }
};

TEST_F(ConsoleLookTest, EveryPromptLineShowsItsMarkerWhateverTheMarginWidth)
{
    enter("1+2");
    enter("x=2;");
    // Lines: 0 "1+2" (prompt), 1 "3" (answer), 2 "x=2;" (prompt), 3 the
    // fresh prompt.
    EditorPrefs* prefs = App_getEditorPrefs();
    ASSERT_NE(prefs, nullptr);
    for (int width : {16, 24, 40, 80}) {
        SCOPED_TRACE(width);
        prefs->promptMarginWidth = width;
        Console_setup(console);
        ASSERT_EQ(Editor_send(console, SCI_GETMARGINWIDTHN, 3, 0), width);
        const QImage picture = iupScintillaWidget(console)->viewport()->grab().toImage();
        for (int line : {0, 2, 3}) {
            EXPECT_GT(inkInMargin(picture, line), 4) << "no '>' on prompt line " << line;
        }
        EXPECT_EQ(inkInMargin(picture, 1), 0) << "an answer line carries no prompt";
    }
}

}  // namespace
