// Saving from the real window writes what the window shows: a voltage or
// light sweep chosen there is saved with the values its fields show and
// runs in the engine; Ctrl+S says why it saves nothing while a field holds
// a refused value; opening never writes the file, and a save that would
// drop lines the editor does not know asks first.
#include <cstdlib>
#include <string>

#include "MainWindowFixture.h"
#include "kovbase.h"
#include "kovraHandles.h"

namespace {

class MainWindowSave : public MainWindowTest {
protected:
    // The engine's driver on a saved file, in its folder: exit status, the
    // log kept in *log.
    int run(const std::string& file, std::string* log)
    {
        const std::string command = "cd \"" + folder.path() + "\" && \"" +
                                    std::string(KOVRA_BIN_DIR) + "/kovracomp\" -run \"" + file +
                                    "\" -nowarn > \"" + folder.file("run.log") + "\" 2>&1";
        const int raw = std::system(command.c_str());
        *log = readAll(folder.file("run.log"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    void chooseVoltageItem(int item)
    {
        Ihandle* list = h(KOV_WindowMain_VoltageSweep);
        IupSetInt(list, "VALUE", item);
        auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
        action(list, IupGetAttribute(list, "VALUESTRING"), item, 1);
    }
    void chooseLight(const char* toggle)
    {
        IupSetAttribute(h(toggle), "VALUE", "ON");
        auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(h(toggle), "ACTION")));
        action(h(toggle), 1);
    }
};

TEST_F(MainWindowSave, AVoltageSweepChosenInTheWindowIsSavedAsShownAndRuns)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    chooseVoltageItem(1);
    const std::string lines = "    Voltage.Start=" + attr(KOV_WindowMain_VoltageStart, "VALUE") +
                              "\n    Voltage.End=" + attr(KOV_WindowMain_VoltageEnd, "VALUE") +
                              "\n    Voltage.Step=" + attr(KOV_WindowMain_VoltageStep, "VALUE") +
                              "\n";
    EXPECT_EQ(lines, "    Voltage.Start=0\n    Voltage.End=1\n    Voltage.Step=0.01\n");
    key(K_cS);
    EXPECT_FALSE(Document_isModified(doc()));
    const std::string saved = readAll(file);
    EXPECT_NE(saved.find("    Voltage.Source=\"Sweep\"\n" + lines), std::string::npos) << saved;
    std::string log;
    EXPECT_EQ(run(file, &log), 0) << log << saved;
    EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
}

TEST_F(MainWindowSave, AWavelengthSweepChosenInTheWindowIsSavedAndRuns)
{
    const std::string file = example("variables.kovra");
    start({file});
    chooseLight(KOV_WindowMain_LightSweep);
    key(K_cS);
    const std::string saved = readAll(file);
    for (const char* line :
         {"    Light.Source=\"Sweep\"\n", "    Light.Start=0.2\n", "    Light.End=1.2\n",
          "    Light.Step=0.01\n", "    Light.Flux=1e+15\n", "    Voltage.Source=\"None\"\n"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
    }
    std::string log;
    EXPECT_EQ(run(file, &log), 0) << log << saved;
    EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
}

// Ctrl+S while a field holds a value below its minimum: nothing is written,
// and the status line and the console say which field and why.
TEST_F(MainWindowSave, CtrlSSaysWhyNothingIsSaved)
{
    const std::string file = example("silicon-pn.kovra");
    const std::string original = readAll(file);
    start({file});
    type(KOV_WindowMain_Thickness, "0.00000123456789");
    key(K_cS);
    EXPECT_EQ(readAll(file), original);
    EXPECT_TRUE(Document_isModified(doc()) || attr(KOV_WindowMain_Thickness, "VALUE") != "0.5");
    const std::string shown = info() + "|" + status();
    EXPECT_NE(shown.find("Not saved: the field Thickness (um): invalid value for Thickness: "
                         "0.00000123456789 (accepted: "),
              std::string::npos)
        << shown;
}

// A file with a plot request and lines the editor does not know: opening
// leaves it alone, and Save asks before it writes the file without them.
TEST_F(MainWindowSave, OpeningNeverSavesAndASaveThatDropsLinesAsks)
{
    const std::string text = "# Kovra <SL>\n[Device]\n    Name=\"d\"\n[Layer1]\n    Thickness=2\n"
                             "    Foo=1\n    JustText\n[Command]\n    Command.Plot=\"Yes\"\n";
    const std::string file = folder.write("unknown.kovra", text);
    start({file});
    EXPECT_EQ(readAll(file), text) << "opening wrote the file";
    EXPECT_FALSE(Document_isModified(doc()));

    type(KOV_WindowMain_Thickness, "0.7");
    IupScriptAnswer("without 2 lines of 'unknown.kovra' that the editor does not know (the "
                    "first: line 6, unknown key skipped: Foo",
                    "NO");
    key(K_cS);
    EXPECT_EQ(readAll(file), text);
    EXPECT_TRUE(Document_isModified(doc()));

    IupScriptAnswer("that the editor does not know", "YES");
    key(K_cS);
    EXPECT_FALSE(Document_isModified(doc()));
    const std::string saved = readAll(file);
    EXPECT_NE(saved.find("Thickness=0.7"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Command.Plot=\"No\""), std::string::npos) << saved;
    // Saved once, nothing more is lost: the next save asks nothing.
    type(KOV_WindowMain_Thickness, "0.8");
    key(K_cS);
    EXPECT_NE(readAll(file).find("Thickness=0.8"), std::string::npos);
}

}  // namespace
