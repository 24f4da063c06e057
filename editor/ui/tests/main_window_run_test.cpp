// Run, Stop and Plot from the real main window: F12 runs the shown device
// through the driver and hands its results to the plot tool, Alt+F12 ends a
// long run with no driver process left behind, and each built-in example
// opens in the window and runs to a converged result.
//
// The programs' folder is a scratch folder of the test: its "kovracomp"
// hands a device to the real driver, or, for a device named "long", stands
// in for a driver that computes until it is asked to stop; its "kovraplot"
// records the arguments it was started with.
#include <sys/stat.h>

#include <QApplication>
#include <QKeyEvent>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "MainWindowFixture.h"
#include "iupQt.h"
#include "iupScintillaMessages.h"
#include "ProcessProbe.h"
#include "waitUntil.h"
#include "kovraHandles.h"

namespace {

using Clock = std::chrono::steady_clock;

class MainWindowRunTest : public MainWindowTest {
protected:
    std::string bin;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::filesystem::create_directory(folder.file("bin"));
        bin = folder.file("bin/");
        const std::string driver = std::string(KOVRA_BIN_DIR) + "/kovracomp";
        program("kovracomp",
                "case \"$2\" in\n"
                "*long*)\n"
                "  COMM=\"$(dirname \"$2\")/simulcomm.txt\"\n"
                "  echo $$ > \"" +
                    bin +
                    "driver.pid\"\n"
                    "  echo \"[COMM]ELE:$COMM\"\n"
                    "  echo '[INFO]    computing the bias points'\n"
                    "  while ! grep -q '^Stop' \"$COMM\" 2>/dev/null; do sleep 0.05; done\n"
                    "  echo '[INFO]    simulation stopped by the user'\n"
                    "  exit 0;;\n"
                    "*) echo $$ > \"" +
                    bin +
                    "driver.pid\"\n"
                    "  exec \"" +
                    driver +
                    "\" \"$@\";;\n"
                    "esac\n");
        program("kovraplot", "printf '%s\\n' \"$@\" > \"" + bin + "plot-args.txt\"\n");
    }

    void program(const std::string& name, const std::string& body)
    {
        const std::string path = folder.write("bin/" + name, "#!/bin/sh\n" + body);
        chmod(path.c_str(), 0755);
    }

    // The editor takes its driver and plot tool from the programs' folder
    // when a document's runner is made, so this is set after the start.
    void useScratchPrograms() { IupSetStrGlobal(KOV_BinDir, bin.c_str()); }

    bool running() { return WindowMain_isRunLive(doc()); }

    // Runs the window's event loop (timer ticks included) until done() or
    // the time is up; false on time-out.
    template <typename Done>
    bool loopUntil(Done done, std::chrono::milliseconds limit)
    {
        return waitUntil(
            [&] {
                if (done()) {
                    return true;
                }
                IupLoopStep();
                return done();
            },
            limit, std::chrono::milliseconds(5));
    }

    std::string console()
    {
        Ihandle* view = IupGetHandle(KOV_Output);
        const long length = IupScintillaSendMessage(view, SCI_GETLENGTH, 0, 0);
        std::string out;
        for (long p = 0; p < length; ++p) {
            out += static_cast<char>(IupScintillaSendMessage(view, SCI_GETCHARAT, p, 0));
        }
        return out;
    }

    std::string plotArgs() { return readAll(bin + "plot-args.txt"); }
    bool buttonActive(const char* name) { return attr(name, "ACTIVE") != "NO"; }
};

TEST_F(MainWindowRunTest, F12RunsTheShownDeviceAndThePlotToolGetsItsResults)
{
    const std::string device = example("silicon-pn.kovra");
    start({device});
    useScratchPrograms();

    key(K_F12);
    // The run ends at the first look after the driver has exited.
    ASSERT_TRUE(loopUntil([&] { return console().find("ended at") != std::string::npos; },
                          std::chrono::seconds(60)))
        << console();
    EXPECT_FALSE(running());
    const std::string text = console();
    EXPECT_NE(text.find("[SIMUL]   started at"), std::string::npos) << text;
    EXPECT_NE(text.find("[SIMUL]   ended at"), std::string::npos) << text;
    EXPECT_EQ(text.find("[ERROR]"), std::string::npos) << text;
    EXPECT_EQ(text.find("[COMM]"), std::string::npos) << text;
    EXPECT_FALSE(processAlive(bin + "driver.pid"));

    // The equilibrium distribution reached the document and the plot list.
    EXPECT_EQ(doc()->results.flags, 0x01);
    EXPECT_GE(doc()->results.meshPoints, 50);
    ASSERT_TRUE(loopUntil([&] { return !plotArgs().empty(); }, std::chrono::seconds(5)));
    const std::string list = folder.file("simulplot.txt");
    EXPECT_EQ(plotArgs(), "-kovra\n" + list + "\n-title\n" + device + "\n");
    const std::string distribution = readAll(list);
    ASSERT_FALSE(distribution.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(distribution.substr(0, distribution.size() - 1)))
        << distribution;
    EXPECT_TRUE(buttonActive(KOV_Actionbar_Btn_Run));
    EXPECT_FALSE(buttonActive(KOV_Actionbar_Btn_Stop));
    EXPECT_TRUE(buttonActive(KOV_Actionbar_Btn_Plot));
}

TEST_F(MainWindowRunTest, AltF12EndsALongRunAndNoDriverProcessIsLeft)
{
    start({example("silicon-pn.kovra", "long.kovra")});
    useScratchPrograms();

    key(K_F12);
    ASSERT_TRUE(loopUntil([&] { return console().find("computing") != std::string::npos; },
                          std::chrono::seconds(10)))
        << console() << status();
    EXPECT_TRUE(running());
    EXPECT_NE(info().find("[running]"), std::string::npos) << info();
    EXPECT_TRUE(buttonActive(KOV_Actionbar_Btn_Stop));
    EXPECT_FALSE(buttonActive(KOV_Actionbar_Btn_Run));
    // Commands that would replace the document are refused meanwhile.
    WindowMain_onFileNew(nullptr);
    EXPECT_NE(status().find("simulation is running"), std::string::npos) << status();

    const auto stopped = Clock::now();
    key(K_mF12);
    // The driver sees the request at its next check; the window notices its
    // end at the next tick of the 700 ms poll.
    ASSERT_TRUE(loopUntil([&] { return !running(); }, std::chrono::seconds(5)));
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(1500));
    EXPECT_FALSE(processAlive(bin + "driver.pid"));
    ASSERT_TRUE(
        loopUntil([&] { return buttonActive(KOV_Actionbar_Btn_Run); }, std::chrono::seconds(2)));
    EXPECT_FALSE(buttonActive(KOV_Actionbar_Btn_Stop));
    EXPECT_EQ(info().find("[running]"), std::string::npos) << info();
    EXPECT_NE(console().find("stopped by the user"), std::string::npos) << console();
    // A stopped run is not plotted.
    EXPECT_EQ(plotArgs(), "");
}

// One press of F12 in a field starts one run. The run's console lets the
// window handle its events, so the key's release arrives while F12's own
// command still runs, and the window may lose the focus meanwhile (the plot
// tool's window opens); both are posted here as the window system would
// deliver them. The key then travels on to the field's parents, which must
// not take it for a second press ("Already running...").
TEST_F(MainWindowRunTest, OneF12StartsOneRunWhileItsReleaseArrivesDuringTheRun)
{
    start({example("silicon-pn.kovra", "long.kovra")});
    useScratchPrograms();
    QWidget* field = iupWidget(h(KOV_WindowMain_Thickness));
    ASSERT_NE(field, nullptr);
    IupSetFocus(h(KOV_WindowMain_Thickness));
    QCoreApplication::postEvent(field,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_F12, Qt::NoModifier));
    QCoreApplication::postEvent(field,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier));
    QMetaObject::invokeMethod(
        field, [field] { field->clearFocus(); }, Qt::QueuedConnection);
    IupTestKey(h(KOV_WindowMain_Thickness), K_F12);
    ASSERT_TRUE(loopUntil([&] { return console().find("computing") != std::string::npos; },
                          std::chrono::seconds(10)))
        << console();
    EXPECT_EQ(status().find("Already running"), std::string::npos) << status();
    const std::string text = console();
    EXPECT_EQ(text.find("[SIMUL]   started at"), text.rfind("[SIMUL]   started at")) << text;
    key(K_mF12);
    ASSERT_TRUE(loopUntil([&] { return !running(); }, std::chrono::seconds(5)));

    // Ctrl+O from a field asks for one file, once.
    const int asked = IupScriptAskedCount();
    IupScriptAnswer("Open file", "");
    IupTestKey(h(KOV_WindowMain_Thickness), K_cO);
    IupFlush();
    EXPECT_EQ(IupScriptAskedCount(), asked + 1);
}

// Each built-in example of the Help menu becomes the window's device; it has
// no file yet, so F12 saves it through the file chooser first and then runs
// it to a converged result with no error line.
TEST_F(MainWindowRunTest, EachBuiltInExampleOpensFromTheMenuAndRunsToAConvergedResult)
{
    struct Case {
        const char* handle;
        const char* name;
        int layers;
        int results;  // the results the run must report
    } cases[] = {
        {KOV_Example00, "a-Si Solar Cell", 3, 0x01 | 0x10},
        {KOV_Example01, "GaAs Solar Cell", 3, 0x01 | 0x10},
        {KOV_Example02, "CIGS Solar Cell", 3, 0x01 | 0x10},
        {KOV_Example03, "GaN Detector", 1, 0x01 | 0x40},
    };
    start({example("silicon-pn.kovra")});
    useScratchPrograms();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IupTestClick(h(c.handle));
        ASSERT_NE(device(), nullptr);
        EXPECT_EQ(device()->layerCount, c.layers);
        EXPECT_FALSE(Document_fileExists(doc()));

        const std::string file = folder.file(std::string(c.handle) + ".kovra");
        IupScriptAnswer("Save file", file.c_str());
        key(K_F12);
        ASSERT_TRUE(loopUntil([&] { return console().find("ended at") != std::string::npos; },
                              std::chrono::seconds(120)))
            << console();
        EXPECT_EQ(doc()->filename, file);
        EXPECT_NE(readAll(file).find(c.name), std::string::npos);
        EXPECT_EQ(console().find("[ERROR]"), std::string::npos) << console();
        EXPECT_EQ(doc()->results.flags & c.results, c.results) << console();
        EXPECT_GE(doc()->results.meshPoints, 50);
        // The clean run was handed to the plot tool.
        ASSERT_TRUE(loopUntil([&] { return !plotArgs().empty(); }, std::chrono::seconds(5)));
        EXPECT_NE(plotArgs().find(file), std::string::npos) << plotArgs();
        std::filesystem::remove(bin + "plot-args.txt");
    }
}

// A device file changed on disk by another program is overwritten for a run
// only after one "Yes"; a "No" runs nothing and leaves the file as it is.
TEST_F(MainWindowRunTest, ARunAsksOnceBeforeOverwritingAFileChangedOnDisk)
{
    const std::string file = example("silicon-pn.kovra");
    start({file});
    useScratchPrograms();
    const std::string outside = readAll(file) + "# changed by another program\n";
    std::ofstream(file, std::ios::binary) << outside;
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(2));

    IupScriptAnswer("changed on disk", "NO");
    const int asked = IupScriptAskedCount();
    key(K_F12);
    EXPECT_EQ(IupScriptAskedCount(), asked + 1);
    EXPECT_FALSE(running());
    EXPECT_EQ(readAll(file), outside);
    EXPECT_EQ(readAll(bin + "driver.pid"), "") << "no driver was started";

    IupScriptAnswer("changed on disk", "YES");
    key(K_F12);
    EXPECT_EQ(IupScriptAskedCount(), asked + 2) << "one question per run";
    EXPECT_EQ(readAll(file).find("# changed by another program"), std::string::npos);
    ASSERT_TRUE(loopUntil([&] { return console().find("ended at") != std::string::npos; },
                          std::chrono::seconds(60)))
        << console();
}

// The Tools menu starts each sibling program from the programs' folder; one
// that is not there is named in the status line.
TEST_F(MainWindowRunTest, ToolsMenuStartsEachProgramAndNamesOneThatIsMissing)
{
    start({example("silicon-pn.kovra")});
    useScratchPrograms();
    struct Tool {
        const char* item;
        const char* program;
    } tools[] = {{KOV_KovraTool_KovraEdit, "kovraedit"},
                 {KOV_KovraTool_KovraCalc, "KovraCalc"},
                 {KOV_KovraTool_KovraPlot, "kovraplot"},
                 {KOV_KovraTool_KovraDatabase, "kovradatabase"}};
    for (const Tool& t : tools) {
        SCOPED_TRACE(t.program);
        const std::string marker = bin + t.program + ".started";
        program(t.program, "echo \"$#\" > \"" + marker + "\"\n");
        IupTestClick(h(t.item));
        ASSERT_TRUE(loopUntil([&] { return !readAll(marker).empty(); }, std::chrono::seconds(5)));
        EXPECT_EQ(readAll(marker), "0\n") << "started without arguments";
        EXPECT_EQ(status().find("Cannot start"), std::string::npos) << status();

        std::filesystem::remove(bin + t.program);
        IupTestClick(h(t.item));
        EXPECT_EQ(status(), std::string("Cannot start ") + t.program);
    }
}

// The results belong to the device that was run: another device opened
// afterwards offers no Plot, and the Plot command starts no plot tool for
// it; back on the device that was run, Plot hands the tool its own list.
TEST_F(MainWindowRunTest, PlotIsOfferedOnlyForTheDeviceThatHasResults)
{
    const std::string device = example("silicon-pn.kovra");
    const std::string other = example("gaas-cell.kovra");
    start({device});
    useScratchPrograms();
    key(K_F12);
    ASSERT_TRUE(loopUntil([&] { return console().find("ended at") != std::string::npos; },
                          std::chrono::seconds(60)))
        << console();
    ASSERT_TRUE(loopUntil([&] { return !plotArgs().empty(); }, std::chrono::seconds(5)));
    ASSERT_TRUE(buttonActive(KOV_Actionbar_Btn_Plot));
    std::filesystem::remove(bin + "plot-args.txt");

    auto runMenuOffersPlot = [&] {
        WindowMain_onRunMenuOpen(nullptr);
        return buttonActive(KOV_RunPlot);
    };
    ASSERT_EQ(Document_open(other.c_str(), 0, 1), 1);
    EXPECT_FALSE(buttonActive(KOV_Actionbar_Btn_Plot)) << "a device never run has nothing to plot";
    EXPECT_FALSE(runMenuOffersPlot());
    fire(KOV_Actionbar_Btn_Plot);
    EXPECT_NE(status().find("Nothing to plot"), std::string::npos) << status();
    // No plot tool was started: it would have written its arguments by now
    // or soon; the runner started none, so none can.
    EXPECT_TRUE(plotArgs().empty()) << plotArgs();

    ASSERT_EQ(Document_open(device.c_str(), 0, 1), 1);
    EXPECT_TRUE(buttonActive(KOV_Actionbar_Btn_Plot)) << "the device that was run plots again";
    EXPECT_TRUE(runMenuOffersPlot());
    // Asked again while the plot tool of the run may still be ending.
    ASSERT_TRUE(loopUntil(
        [&] {
            if (plotArgs().empty()) {
                fire(KOV_Actionbar_Btn_Plot);
            }
            return !plotArgs().empty();
        },
        std::chrono::seconds(5)));
    EXPECT_EQ(plotArgs(), "-kovra\n" + folder.file("simulplot.txt") + "\n-title\n" + device + "\n");
}

}  // namespace
