// From the traps dialog to the engine: a midgap trap added to the base of
// the silicon diode, saved by the document and run by the driver, shortens
// the carriers' lifetime, raises the diode's saturation current and so
// lowers its open-circuit voltage under AM1.5.
#include "dialogTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Figures {
    double voc = 0.0;
    double jsc = 0.0;
};

// Saves the document into a folder of its own, runs the driver there and
// reads the photovoltaic figures it wrote.
Figures saveAndRun(Document* document, const std::string& folder)
{
    fs::create_directories(folder);
    const std::string file = folder + "/diode.kovra";
    EXPECT_EQ(Device_save(document, file.c_str()), 1);
    const std::string command =
        "cd '" + folder + "' && '" + KOVRA_BIN_DIR + "/kovracomp' -run diode.kovra -nowarn > run.log 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see " << folder << "/run.log";
    std::ifstream in(folder + "/simulout_photovoltaic.txt");
    EXPECT_TRUE(in.good()) << "no photovoltaic figures in " << folder;
    Figures figures;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, equals;
        double value = 0.0;
        if (words >> name >> equals >> value) {
            if (name == "Voc")
                figures.voc = value;
            if (name == "Jsc")
                figures.jsc = value;
        }
    }
    return figures;
}

class TrapVocTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        work = std::string(KOVRA_BIN_DIR) + "/../dialog-trapvoc-" + std::to_string(::getpid());
        fs::create_directories(work);
        const std::string original = work + "/silicon-pn.kovra";
        fs::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/silicon-pn.kovra", original);
        ASSERT_EQ(Device_load(document(), original.c_str()), 1);
        Document_setFilename(document(), original.c_str());
    }
    void TearDown() override
    {
        fs::remove_all(work);
        DialogTest::TearDown();
    }
    void setVoltage(const char* key, const char* text)
    {
        ASSERT_EQ(Param_setValueText(Device_findVoltageParam(device(), key), text, "", 0), 1) << key;
    }
    std::string work;
};

TEST_F(TrapVocTest, AMidgapTrapAddedInTheDialogLowersTheDiodesVoc)
{
    // The n side faces the anode: forward bias is a negative anode voltage.
    setVoltage("Voltage.Source", "Sweep");
    setVoltage("Voltage.Start", "-0.8");
    setVoltage("Voltage.End", "0");
    setVoltage("Voltage.Step", "0.02");
    WindowLight_show();
    Ihandle* am15 = IupGetHandle("KOV_WindowLight_AM15");
    IupSetAttribute(am15, "VALUE", "ON");
    ASSERT_EQ(click(LightDialog, "OK"), IUP_IGNORE);
    const Figures clean = saveAndRun(document(), work + "/clean");

    recorder.mainLayer = 2;  // the p-type base
    WindowTrap_show();
    Ihandle* counts = IupGetHandle("KOV_WindowTrap_CountList");
    IupSetInt(counts, "VALUE", 1);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(counts, "ACTION")));
    action(counts, IupGetAttribute(counts, "VALUESTRING"), 1, 1);
    type(TrapDialog, "N", "1e15");
    type(TrapDialog, "Nr", "1e19");
    type(TrapDialog, "E", "0");
    type(TrapDialog, "Taun", "1e-8");
    type(TrapDialog, "Taup", "1e-8");
    IupSetInt(ctl(TrapDialog, "TypeList"), "VALUE", 2);
    ASSERT_EQ(click(TrapDialog, "OK"), IUP_IGNORE) << message(TrapDialog);
    EXPECT_TRUE(Document_isModified(document()));
    const Figures trapped = saveAndRun(document(), work + "/trapped");

    std::printf("Voc %.4f V -> %.4f V with the trap (Jsc %.4f -> %.4f A/cm2)\n", clean.voc, trapped.voc,
                clean.jsc, trapped.jsc);
    // One sun on silicon: tens of mA/cm2 and a Voc of about half a volt.
    EXPECT_GT(clean.jsc, 0.01);
    EXPECT_GT(clean.voc, 0.45);
    EXPECT_LT(clean.voc, 0.75);
    // Faster recombination raises J0: Voc falls by at least kT/q (26 mV),
    // while the cell still works.
    EXPECT_LT(trapped.voc, clean.voc - 0.026) << clean.voc << " -> " << trapped.voc;
    EXPECT_GT(trapped.voc, 0.3);
}

}  // namespace
