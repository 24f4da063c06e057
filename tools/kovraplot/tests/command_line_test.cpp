// The command line: options and files read in order, help and version
// answered with exit status 0 before any display is opened, a bad option
// refused with status 2.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "PlotCommandLine.h"
#include "kovraVersion.h"

namespace {

TEST(PlotCommandLine, OptionsAndFilesInOrder)
{
    const PlotCommand show = PlotCommandLine_parse(
        {"-kovra", "/r/simulplot.txt", "-title", "/home/u/cell.kovra", "a_jv.txt", "b.txt"});
    EXPECT_EQ(show.action, PlotAction::SHOW);
    EXPECT_EQ(show.list, "/r/simulplot.txt");
    EXPECT_EQ(show.title, "/home/u/cell.kovra");
    EXPECT_EQ(show.files, (std::vector<std::string>{"a_jv.txt", "b.txt"}));
    EXPECT_EQ(PlotCommandLine_parse({}).action, PlotAction::SHOW);

    const struct {
        std::vector<std::string> args;
        PlotAction action;
        const char* error;
    } cases[] = {
        {{"--help"}, PlotAction::HELP, ""},
        {{"-h"}, PlotAction::HELP, ""},
        {{"a_jv.txt", "--help"}, PlotAction::HELP, ""},
        {{"--version"}, PlotAction::VERSION, ""},
        {{"-title", "--help"}, PlotAction::SHOW, ""},  // a title, not a request
        {{"-kovra"}, PlotAction::REFUSE, "-kovra needs a value"},
        {{"-title"}, PlotAction::REFUSE, "-title needs a value"},
        {{"-x"}, PlotAction::REFUSE, "unknown option '-x'"},
        {{"a_jv.txt", "--helpme"}, PlotAction::REFUSE, "unknown option '--helpme'"},
    };
    for (const auto& c : cases) {
        const PlotCommand command = PlotCommandLine_parse(c.args);
        EXPECT_EQ(command.action, c.action) << c.args.back();
        EXPECT_EQ(command.error, c.error) << c.args.back();
    }
}

TEST(PlotCommandLine, OwnOptionsAreKeptFromQt)
{
    // As the device editor starts it; Qt's -platform and the files go to Qt.
    const std::vector<std::string> args = {"-kovra", "/r/simulplot.txt",   "-platform", "xcb",
                                           "-title", "/home/u/cell.kovra", "a_jv.txt"};
    EXPECT_EQ(PlotCommandLine_ownOptions(args),
              (std::vector<bool>{true, true, false, false, true, true, false}));
    // A title that looks like an option is still the title; a last -title
    // without its value is left for the refusal.
    EXPECT_EQ(PlotCommandLine_ownOptions({"-title", "-kovra", "x.txt"}),
              (std::vector<bool>{true, true, false}));
    EXPECT_EQ(PlotCommandLine_ownOptions({"a.txt", "-title"}), (std::vector<bool>{false, false}));
}

// Runs the built program without a display; the exit status and what it
// printed on both streams.
int run(const std::string& args, std::string& output)
{
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " KOVRA_BIN_DIR "/kovraplot " +
        args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    output.clear();
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PlotCommandLine, HelpAndVersionNeedNoDisplay)
{
    std::string output;
    EXPECT_EQ(run("--help", output), 0);
    EXPECT_EQ(output, PlotCommandLine_usage());
    EXPECT_NE(output.find("usage: kovraplot [-kovra PLOTLIST]"), std::string::npos);
    EXPECT_EQ(run("-h", output), 0);
    EXPECT_EQ(output, PlotCommandLine_usage());
    EXPECT_EQ(run("--version", output), 0);
    EXPECT_EQ(output, std::string("kovraplot ") + KOVRA_VERSION_TEXT + "\n");
}

TEST(PlotCommandLine, BadOptionIsRefusedWithStatusTwo)
{
    std::string output;
    // Refused before a window would open: with QT_QPA_PLATFORM=offscreen
    // nothing waits for a display either way.
    const std::string command = "env QT_QPA_PLATFORM=offscreen " KOVRA_BIN_DIR "/kovraplot -x 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(output.find("kovraplot: unknown option '-x'\nusage: kovraplot"), std::string::npos)
        << output;
}

}  // namespace
