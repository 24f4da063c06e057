// A source or contact kind switched on in its dialog, in a device whose
// file left its values out: OK and save write the values the dialog
// showed, and the engine runs the saved file. A variable changed in the
// Variables dialog reaches the expressions that use it, and they are saved
// as written.
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
    static void toggle(const DialogDescription& description, const char* word)
    {
        Ihandle* t = ctl(description, word);
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

// In examples/variables.kovra Dopant.Taup is $tau / 2: a new $tau set in
// the Variables dialog gives it a new value, the Doping dialog shows the
// expression, and the file still says $tau / 2.
TEST_F(SourcesSaveTest, AVariableChangedInItsDialogReachesTheExpressionsThatUseIt)
{
    open("variables.kovra");
    ParamRecord* taup = Layer_findParam(layer(2), "Dopant.Taup");
    ASSERT_DOUBLE_EQ(taup->value.real, 5e-6);
    WindowVariable_show();
    type(VariableDialog, "VariableName", "$tau");
    type(VariableDialog, "VariableValue", "4e-5");
    click(VariableDialog, "Apply");
    EXPECT_EQ(message(VariableDialog), "");
    EXPECT_DOUBLE_EQ(taup->value.real, 2e-5);

    Dialog_close(&VariableDialog);
    recorder.mainLayer = 2;
    WindowDoping_show();
    EXPECT_EQ(value(ctl(DopingDialog, "Taup")), "$tau / 2");
    click(DopingDialog, "OK");

    int status = -1;
    std::string log;
    const std::string saved = saveAndRun(&status, &log);
    EXPECT_NE(saved.find("    Dopant.Taup=$tau / 2\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("    Temperature=273.15 + 27    #"), std::string::npos) << saved;
    EXPECT_NE(saved.find("    Voltage.Step=0.7 / 70\n"), std::string::npos) << saved;
    EXPECT_EQ(status, 0) << log << saved;
}

}  // namespace
