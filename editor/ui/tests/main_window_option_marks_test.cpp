// The Options menu's toggle items show the state in force from the start
// and after every change, whether or not the menu was opened since: a
// device file that switches the outputs on, in any spelling the simulator
// takes, shows its marks.
#include <fstream>
#include <sstream>

#include "MainWindowFixture.h"
#include "kovraHandles.h"

namespace {

class OptionMarksTest : public MainWindowTest {
protected:
    std::string mark(const char* item) { return attr(item, "VALUE"); }
    // A copy of an example with the two output switches written as given.
    std::string deviceWith(const std::string& saveFull, const std::string& dirDate)
    {
        const std::string path = example("silicon-pn.kovra", "switches.kovra");
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::string body = text.str();
        body.replace(body.find("[Numeric]\n"), 10,
                     "[Numeric]\nNumeric.SaveFull=\"" + saveFull + "\"\n");
        body.replace(body.find("[Command]\n"), 10,
                     "[Command]\nCommand.OutDirDate=\"" + dirDate + "\"\n");
        std::ofstream(path) << body;
        return path;
    }
    // Started on a device with the switches spelt so; nothing has opened
    // the Options menu when the marks are looked at first.
    void expectMarks(const std::string& saveFull, const std::string& dirDate, const char* saveMark,
                     const char* dirMark)
    {
        start({deviceWith(saveFull, dirDate)});
        EXPECT_EQ(mark(KOV_OptionsSaveFull), saveMark);
        EXPECT_EQ(mark(KOV_OptionsDirDate), dirMark);
        EXPECT_EQ(mark(KOV_OptionsPlot), "ON") << "plotting after a run is on";
        WindowMain_onOptionsMenuOpen(nullptr);
        EXPECT_EQ(mark(KOV_OptionsSaveFull), saveMark) << "the same once opened";
        EXPECT_EQ(mark(KOV_OptionsDirDate), dirMark) << "the same once opened";
    }
};

TEST_F(OptionMarksTest, SwitchesOnAreMarkedBeforeTheMenuIsOpened)
{
    expectMarks("Yes", "Yes", "ON", "ON");
}

TEST_F(OptionMarksTest, AnySpellingTheSimulatorTakesForOnIsMarked)
{
    expectMarks("y", "YES", "ON", "ON");
}

TEST_F(OptionMarksTest, SwitchesOffAreNotMarked) { expectMarks("No", "n", "OFF", "OFF"); }

TEST_F(OptionMarksTest, EachClickShowsTheNewStateAtOnce)
{
    start({deviceWith("Yes", "No")});
    for (const char* item : {KOV_OptionsSaveFull, KOV_OptionsDirDate, KOV_OptionsPlot}) {
        SCOPED_TRACE(item);
        const std::string before = mark(item);
        fire(item);
        EXPECT_NE(mark(item), before);
        fire(item);
        EXPECT_EQ(mark(item), before);
    }
}

}  // namespace
