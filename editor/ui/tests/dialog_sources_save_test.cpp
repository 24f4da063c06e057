// A source or contact kind switched on in its dialog, in a device whose
// file left its values out: OK and save write the values the dialog
// showed, and the engine runs the saved file.
#include "DialogTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "tempFolder.h"

namespace {

class SourcesSaveTest : public DialogTest {
protected:
    // Opens a copy of an example as the document.
    void open(const char* example)
    {
        path = folder.file(example);
        std::filesystem::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/" + example, path);
        ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    }
    // Saves the document and runs the engine's driver on it: the saved
    // text; the driver's exit status and log in *status and *log.
    std::string saveAndRun(int* status, std::string* log)
    {
        EXPECT_EQ(Device_save(document(), path.c_str()), 1);
        const std::string command = "cd \"" + folder.path() + "\" && \"" +
                                    std::string(KOVRA_BIN_DIR) + "/kovracomp\" -run \"" + path +
                                    "\" -nowarn > run.log 2>&1";
        const int raw = std::system(command.c_str());
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        *log = readAll(folder.file("run.log"));
        return readAll(path);
    }
    static void toggle(const DialogSpec& spec, const char* word)
    {
        Ihandle* t = ctl(spec, word);
        IupSetAttribute(t, "VALUE", "ON");
        auto action = reinterpret_cast<int (*)(Ihandle*, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(t, "ACTION")));
        action(t, 1);
    }
    TempFolder folder{"dialog-sources-"};
    std::string path;
};

TEST_F(SourcesSaveTest, AWavelengthSweepChosenInTheLightDialogIsSavedAsShownAndRuns)
{
    open("variables.kovra");
    WindowLight_show();
    toggle(LightDialog, "Sweep");
    const std::string lines[] = {
        "    Light.Start=" + value(ctl(LightDialog, "LambdaStart")) + "\n",
        "    Light.End=" + value(ctl(LightDialog, "LambdaEnd")) + "\n",
        "    Light.Step=" + value(ctl(LightDialog, "LambdaStep")) + "\n",
        "    Light.Flux=" + value(ctl(LightDialog, "Flux")) + "\n",
    };
    EXPECT_EQ(lines[3], "    Light.Flux=1e+15\n");
    click(LightDialog, "OK");
    ASSERT_FALSE(Dialog_isOpen(&LightDialog));
    int status = -1;
    std::string log;
    const std::string saved = saveAndRun(&status, &log);
    EXPECT_NE(saved.find("    Light.Source=\"Sweep\"\n"), std::string::npos) << saved;
    for (const std::string& line : lines) {
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
    }
    EXPECT_EQ(status, 0) << log << saved;
    EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
}

TEST_F(SourcesSaveTest, ASchottkyCathodeWithTheBarrierShownIsSavedAndRuns)
{
    open("silicon-pn.kovra");
    IupSetInt(nullptr, KOV_WindowContact_Selected, 2);
    WindowContact_show();
    IupSetInt(ctl(ContactDialog, "TypeList"), "VALUE", 2);  // Schottky
    EXPECT_EQ(value(ctl(ContactDialog, "Phi")), "0");
    type(ContactDialog, "Phi", "0");  // the value shown, confirmed
    click(ContactDialog, "OK");
    ASSERT_FALSE(Dialog_isOpen(&ContactDialog));
    int status = -1;
    std::string log;
    const std::string saved = saveAndRun(&status, &log);
    EXPECT_NE(saved.find("    Cathode.Type=\"Schottky\"\n    Cathode.Phi=0\n"), std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("Anode.Phi"), std::string::npos) << "the ohmic anode has none";
    EXPECT_EQ(status, 0) << log << saved;
    EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
}

}  // namespace
