// Report lines of the exchange file and the plot list written from them.
#include <gtest/gtest.h>

#include "RunnerReports.h"
#include "tempFolder.h"

namespace {

TEST(RunnerReports, PointCountsHeldToTheirRanges)
{
    const struct {
        const char* line;
        int mesh, voltage, wavelength;
    } cases[] = {
        {"[SEND]ZP:49", 0, 0, 0},      {"[SEND]ZP:50", 50, 0, 0}, {"[SEND]ZP:20000", 20000, 0, 0},
        {"[SEND]ZP:20001", 0, 0, 0},   {"[SEND]VP:1", 0, 1, 0},   {"[SEND]VP:1001", 0, 0, 0},
        {"[SEND]WP:1000", 0, 0, 1000}, {"[SEND]WP:0", 0, 0, 0},
    };
    for (const auto& c : cases) {
        RunResults r;
        r.meshPoints = r.voltagePoints = r.wavelengthPoints = 7;  // a stale count is replaced
        ASSERT_TRUE(RunnerReports_take(c.line, r)) << c.line;
        const std::string code = std::string(c.line).substr(6, 2);
        EXPECT_EQ(code == "ZP"   ? r.meshPoints
                  : code == "VP" ? r.voltagePoints
                                 : r.wavelengthPoints,
                  code == "ZP"   ? c.mesh
                  : code == "VP" ? c.voltage
                                 : c.wavelength)
            << c.line;
    }
}

TEST(RunnerReports, ResultNamesSetTheirFlagsAndUnknownLinesStop)
{
    TempFolder folder;
    const std::string path = folder.write(
        "simulcomm.txt", "[SEND]ZP:1120\r\n[SEND]EE:/r/d1.txt\n[SEND]VP:71\n[SEND]JV:/r/jv.txt\n"
                         "[SEND]CV:/r/cv.txt\n[SEND]XX:what\n[SEND]EN:/r/d72.txt\n");
    RunResults r;
    long offset = 0;
    EXPECT_EQ(RunnerReports_read(path, offset, r), 5);
    EXPECT_EQ(r.flags, RUN_RESULT_EE | RUN_RESULT_JV | RUN_RESULT_CV);
    EXPECT_EQ(r.meshPoints, 1120);
    EXPECT_EQ(r.voltagePoints, 71);
    EXPECT_EQ(r.ee, "/r/d1.txt");
    EXPECT_EQ(r.cv, "/r/cv.txt");
    EXPECT_EQ(r.en, "");                              // after the unknown line
    EXPECT_FALSE(RunnerReports_take("[SEND]EE", r));  // too short
    EXPECT_EQ(RunnerReports_read(folder.file("missing.txt"), offset, r), 0);
}

TEST(RunnerReports, ReadingGoesOnFromWhereItLeftOff)
{
    TempFolder folder;
    const std::string path = folder.write("simulcomm.txt", "[SEND]ZP:100\n[SEND]EE:/r/d1");
    RunResults r;
    long offset = 0;
    // The second line is still being written: not taken yet.
    EXPECT_EQ(RunnerReports_read(path, offset, r), 1);
    EXPECT_EQ(offset, 13);
    folder.write("simulcomm.txt", "[SEND]ZP:100\n[SEND]EE:/r/d1.txt\n");
    EXPECT_EQ(RunnerReports_read(path, offset, r), 1);
    EXPECT_EQ(r.ee, "/r/d1.txt");
    EXPECT_EQ(r.meshPoints, 100);
}

TEST(RunnerReports, PlotListForEachCombinationOfResults)
{
    RunResults base;
    base.ee = "/r/d1.txt";
    base.en = "/r/d72.txt";
    base.jv = "/r/jv.txt";
    base.cv = "/r/cv.txt";
    base.qw = "/r/qw.txt";
    const struct {
        int flags;
        std::vector<std::string> lines;
    } cases[] = {
        {RUN_RESULT_EE | RUN_RESULT_EN | RUN_RESULT_CV | RUN_RESULT_JV,
         {"/r/d72.txt", "/r/d1.txt", "/r/cv.txt", "/r/jv.txt"}},
        {RUN_RESULT_EE | RUN_RESULT_EN | RUN_RESULT_QW,
         {"/r/d72.txt", "/r/d1.txt", "#", "#", "/r/qw.txt"}},
        {RUN_RESULT_EE | RUN_RESULT_EN, {"/r/d72.txt", "/r/d1.txt"}},
        {RUN_RESULT_EE, {"/r/d1.txt"}},
        {RUN_RESULT_JV, {}},
        {0, {}},
    };
    for (const auto& c : cases) {
        RunResults r = base;
        r.flags = c.flags;
        EXPECT_EQ(RunnerReports_plotLines(r), c.lines) << c.flags;
    }
    // J-V without C-V: the C-V place stays as an empty line.
    RunResults noCv;
    noCv.flags = RUN_RESULT_EE | RUN_RESULT_EN | RUN_RESULT_JV;
    noCv.ee = "/r/d1.txt";
    noCv.en = "/r/d2.txt";
    noCv.jv = "/r/jv.txt";
    TempFolder folder;
    ASSERT_TRUE(RunnerReports_writePlotList(folder.file("simulplot.txt"), noCv));
    EXPECT_EQ(readAll(folder.file("simulplot.txt")), "/r/d2.txt\n/r/d1.txt\n\n/r/jv.txt\n");
    EXPECT_FALSE(RunnerReports_writePlotList(folder.file("no/such/folder/simulplot.txt"), noCv));
}

TEST(RunnerReports, PlotListBesideTheEquilibriumResult)
{
    EXPECT_EQ(RunnerReports_plotListPath("/home/u/cell_out/simulout_dist_1.txt", "/home/u/"),
              "/home/u/cell_out/simulplot.txt");
    EXPECT_EQ(RunnerReports_plotListPath("C:\\run\\simulout_dist_1.txt", "/home/u/"),
              "C:\\run\\simulplot.txt");
    EXPECT_EQ(RunnerReports_plotListPath("simulout_dist_1.txt", "/home/u"),
              "/home/u/simulplot.txt");
}

}  // namespace
