// From the traps dialog to the engine: a midgap trap entered in the base of
// the silicon diode, saved by the document and run by the driver, sets the
// electrons' lifetime there; a ten times shorter trap lifetime raises the
// diode's saturation current and lowers its open-circuit voltage under AM1.5
// by what the long-base diode's closed form says.
#include "DialogTestSupport.h"
#include "resultTable.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "kovraHandles.h"

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
    const std::string command = "cd '" + folder + "' && '" + KOVRA_BIN_DIR +
                                "/kovracomp' -run diode.kovra -nowarn > run.log 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "see " << folder << "/run.log";
    std::ifstream in(folder + "/simulout_photovoltaic.txt");
    EXPECT_TRUE(in.good()) << "no photovoltaic figures in " << folder;
    const std::map<std::string, double> table =
        readResultTable(std::string((std::istreambuf_iterator<char>(in)), {}));
    Figures figures;
    if (table.count("Voc") != 0) {
        figures.voc = table.at("Voc");
    }
    if (table.count("Jsc") != 0) {
        figures.jsc = table.at("Jsc");
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
        // A failed run's device files and logs stay for a look.
        if (!HasFailure()) {
            fs::remove_all(work);
        }
        DialogTest::TearDown();
    }
    void setVoltage(const char* key, const char* text)
    {
        ASSERT_EQ(Param_setValueText(Device_findVoltageParam(device(), key), text, "", 0), 1)
            << key;
    }
    void setLayer(int number, const char* key, const char* text)
    {
        ASSERT_EQ(Param_setValueText(Layer_findParam(layer(number), key), text, "", 0), 1) << key;
    }
    // One midgap acceptor-like trap in a base layer, entered in the dialog.
    void enterTrap(int number, const char* lifetime)
    {
        chooseLayer(TrapDialog, number);
        Ihandle* counts = ctl(TrapDialog, "CountList");
        IupSetInt(counts, "VALUE", 1);
        auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(counts, "ACTION")));
        action(counts, IupGetAttribute(counts, "VALUESTRING"), 1, 1);
        type(TrapDialog, "N", "1e15");
        type(TrapDialog, "Nr", "1e19");
        type(TrapDialog, "E", "0");
        type(TrapDialog, "Taun", lifetime);
        type(TrapDialog, "Taup", lifetime);
        IupSetInt(ctl(TrapDialog, "TypeList"), "VALUE", 2);
        ASSERT_EQ(click(TrapDialog, "Apply"), IUP_DEFAULT);
        ASSERT_EQ(message(TrapDialog), "");
    }
    std::string work;
};

TEST_F(TrapVocTest, ATenTimesShorterTrapLifetimeLowersVocAsTheLongBaseDiodeSays)
{
    // The n-type emitter faces the anode: forward bias is a negative anode
    // voltage.
    setVoltage("Voltage.Source", "Sweep");
    setVoltage("Voltage.Start", "-0.65");
    setVoltage("Voltage.End", "0");
    setVoltage("Voltage.Step", "0.005");
    WindowLight_show();
    IupSetAttribute(IupGetHandle(KOV_WindowLight_AM15), "VALUE", "ON");
    ASSERT_EQ(click(LightDialog, "OK"), IUP_IGNORE);

    // A long base: the 20 um base of the example continued by 180 um more of
    // the same p-type silicon, so the electrons' diffusion length (51 um at
    // 1 us with D = 26 cm2/s) stays well inside it and coth(W/L) is 1 within
    // 0.1 %. The dopant level's own lifetime is made long (1 ms), so the
    // trap alone sets the lifetime.
    ASSERT_NE(Device_appendLayer(device()), nullptr);
    ASSERT_EQ(device()->layerCount, 3);
    setLayer(3, "Material", "Si");
    setLayer(3, "Thickness", "180");
    setLayer(3, "Dopant.Type", "P");
    setLayer(3, "Dopant.N", "1e16");
    setLayer(3, "Mesh.Points", "200");
    // A ten times more heavily doped emitter than the example's, so that its
    // own saturation current (q ni^2 Dp / (ND W), the holes reaching the
    // front contact) stays a few per cent of the base's.
    setLayer(1, "Dopant.N", "1e19");
    for (int number : {2, 3}) {
        setLayer(number, "Dopant.Taun", "1e-3");
        setLayer(number, "Dopant.Taup", "1e-3");
    }

    WindowTrap_show();
    for (int number : {2, 3}) {
        enterTrap(number, "1e-6");
    }
    ASSERT_EQ(click(TrapDialog, "OK"), IUP_IGNORE) << message(TrapDialog);
    EXPECT_TRUE(Document_isModified(document()));
    const Figures slow = saveAndRun(document(), work + "/slow");

    WindowTrap_show();
    for (int number : {2, 3}) {
        enterTrap(number, "1e-7");
    }
    ASSERT_EQ(click(TrapDialog, "OK"), IUP_IGNORE) << message(TrapDialog);
    const Figures fast = saveAndRun(document(), work + "/fast");

    // Long base, ohmic back contact: J0 = q ni^2 / NA * sqrt(D / tau), so at
    // one sun Voc = (kT/q) ln(Jsc / J0) moves by
    //   dVoc = (kT/q) [ln(Jsc_fast / Jsc_slow) - 1/2 ln(tau_slow / tau_fast)],
    // the shorter diffusion length also collecting less light.
    const double kT = 8.617333e-5 * 300.0;
    const double expected = kT * (std::log(fast.jsc / slow.jsc) - 0.5 * std::log(10.0));
    const double drop = fast.voc - slow.voc;
    std::printf("Voc %.4f V -> %.4f V, Jsc %.5f -> %.5f A/cm2: dVoc %.1f mV, closed form %.1f mV\n",
                slow.voc, fast.voc, slow.jsc, fast.jsc, drop * 1e3, expected * 1e3);
    // One sun on silicon: tens of mA/cm2 and a Voc of about half a volt.
    EXPECT_GT(slow.jsc, 0.01);
    EXPECT_GT(slow.voc, 0.45);
    EXPECT_LT(slow.voc, 0.75);
    // The closed form leaves out the emitter's own saturation current (about
    // 5 % of the base's at 1 us: about 1 mV less drop), recombination in the
    // depletion region (under 2 % of the current at Voc at 0.1 us: under
    // 1 mV more) and reading Voc between 5 mV steps of the sweep (about
    // 1 mV); 4 mV, an eighth of the 30 mV drop, holds them all and still
    // tells the square root of the long base from the short base's linear
    // law (60 mV) or no change at all.
    EXPECT_NEAR(drop, expected, 0.004) << slow.voc << " -> " << fast.voc;
}

}  // namespace
