// The runner in the window's event loop: the driver's lines arrive through
// the IUP poll timer, which stops when the run ends.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <chrono>

#include "RunnerIupHost.h"
#include "FakeRunnerHost.h"
#include "tempFolder.h"
#include "waitUntil.h"

namespace {

// The fake's document and console, the real flush and timer.
struct IupHost : RunnerIupHost {
    FakeRunnerHost fake;
    std::string documentPath() override { return fake.documentPath(); }
    bool documentModified() override { return false; }
    bool documentChangedOnDisk() override { return false; }
    bool saveDocument(bool chooseName) override { return fake.saveDocument(chooseName); }
    bool plotAfterRun() override { return false; }
    bool consoleExists() override { return true; }
    int printColored(const std::string& text) override { return fake.printColored(text); }
    void print(const std::string& text) override { fake.print(text); }
    void clearConsole() override { fake.clearConsole(); }
    bool consoleEmpty() override { return fake.consoleEmpty(); }
    bool consoleEndsWithLf() override { return fake.consoleEndsWithLf(); }
    void showStatus(const std::string& text, int kind) override { fake.showStatus(text, kind); }
    int ask(const std::string& q) override { return fake.ask(q); }
    void updateRunButtons() override {}
};

TEST(RunnerIupHost, TheTimerCarriesTheRunToItsEnd)
{
    static int argc = 1;
    static char name[] = "runner-iup-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    IupOpen(&argc, reinterpret_cast<char***>(&argv));

    TempFolder folder("kovra-runner-iup-");
    IupHost host;
    host.fake.path = folder.write("cell.kovra", "# Kovra <SL>\n");
    RunnerSettings settings;
    // The driver prints only once the test has seen the timer at its quiet
    // interval (the file "go"), or the first look at the pipe may already
    // find a line and ask for the busy one.
    settings.driverPath =
        folder.write("driver.sh", "#!/bin/sh\ni=0\nwhile [ ! -e '" + folder.file("go") +
                                      "' ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done\n"
                                      "echo first\nsleep 0.5\necho second\nexit 0\n");
    chmod(settings.driverPath.c_str(), 0755);
    settings.pollMilliseconds = 50;
    SimulationRunner runner(host, settings);
    host.setRunner(&runner);

    ASSERT_TRUE(runner.start());
    ASSERT_NE(host.timer(), nullptr);
    EXPECT_STREQ(IupGetAttribute(host.timer(), "RUN"), "YES");
    EXPECT_EQ(IupGetInt(host.timer(), "TIME"), 50);
    folder.write("go", "");
    const auto ended = [&] { return !runner.isRunning() && IupGetInt(host.timer(), "RUN") != 1; };
    ASSERT_TRUE(waitUntil(
        [&] {
            if (ended()) {
                return true;
            }
            IupLoopStep();
            return ended();
        },
        WAIT_DEADLINE, std::chrono::milliseconds(5)));
    EXPECT_NE(host.fake.console.find("first\r\nsecond\r\n"), std::string::npos)
        << host.fake.console;
    EXPECT_NE(host.fake.console.find("[SIMUL]   ended at"), std::string::npos);
    EXPECT_STREQ(IupGetAttribute(host.timer(), "RUN"), "NO");
}

}  // namespace
