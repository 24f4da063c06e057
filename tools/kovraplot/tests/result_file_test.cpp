// The result-file reader: every kind of file the engine writes read into
// columns with units and values; header variants; bad files named.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "PlotList.h"
#include "ResultFile.h"
#include "resultFixtures.h"
#include "tempFolder.h"

namespace {

ResultTable parse(const std::string& text, const std::string& name = "simulout_x.txt")
{
    ResultTable table;
    std::string error;
    EXPECT_TRUE(ResultFile_parse(text, "/run/" + name, table, error)) << error;
    return table;
}

std::string failure(const std::string& text, const std::string& name = "simulout_x.txt")
{
    ResultTable table;
    std::string error;
    EXPECT_FALSE(ResultFile_parse(text, "/run/" + name, table, error));
    return error;
}

TEST(ResultFile, SweepsReadIntoColumnsWithUnitsAndValues)
{
    struct Case {
        std::string text;
        ResultKind kind;
        std::vector<std::pair<std::string, std::string>> columns;  // name, unit
        size_t rows;
        size_t column;
        size_t row;
        double value;
    };
    const Case cases[] = {
        {fixtures::JV, ResultKind::JV, {{"Voltage", "V"}, {"J", "A/cm2"}}, 4, 1, 3, 0.0015},
        {fixtures::CV,
         ResultKind::CV,
         {{"Voltage", "V"}, {"Q", "C/cm2"}, {"C", "F/cm2"}},
         3,
         2,
         1,
         4e-08},
        {fixtures::QW,
         ResultKind::QW,
         {{"Wavelength", "um"}, {"EQE", ""}, {"IQE", ""}},
         3,
         2,
         0,
         0.25},
    };
    for (const Case& c : cases) {
        const ResultTable t = parse(c.text);
        EXPECT_EQ(t.kind, c.kind) << c.text;
        ASSERT_EQ(t.columns.size(), c.columns.size());
        for (size_t i = 0; i < c.columns.size(); ++i) {
            EXPECT_EQ(t.columns[i].name, c.columns[i].first);
            EXPECT_EQ(t.columns[i].unit, c.columns[i].second);
        }
        EXPECT_EQ(t.rowCount(), c.rows);
        EXPECT_DOUBLE_EQ(t.values[c.column][c.row], c.value);
        EXPECT_EQ(t.deviceName, "Test cell");
        EXPECT_EQ(t.state, "Voltage = 0.7 V   Current = 1.81 A/cm2");
    }
}

TEST(ResultFile, DistributionKeepsEveryColumnByName)
{
    for (const char* tag : {"EE", "EN"}) {
        const ResultTable t = parse(fixtures::dist(tag));
        EXPECT_EQ(t.kind, std::string(tag) == "EE" ? ResultKind::EE : ResultKind::EN);
        ASSERT_EQ(t.columns.size(), 24u);
        ASSERT_EQ(t.rowCount(), 3u);
        // Files of earlier runs titled it " En(V/um)": blank before, none between name and unit.
        ASSERT_NE(t.column("En"), nullptr);
        EXPECT_EQ(t.column("En")->unit, "V/um");
        EXPECT_EQ(t.column("RSRH")->unit, "1/cm3/s");
        EXPECT_DOUBLE_EQ((*t.series("EV"))[0], -1.033);
        EXPECT_DOUBLE_EQ((*t.series("p"))[2], 1e18);
        EXPECT_DOUBLE_EQ((*t.series("En"))[1], -2.5);
        EXPECT_EQ(t.series("missing"), nullptr);
    }
}

TEST(ResultFile, SummaryFiguresInEitherLayout)
{
    // As the engine writes it, name = value unit; as a tab-separated list;
    // and as one row under column titles.
    const std::string layouts[] = {
        fixtures::PHOTOVOLTAIC,
        "Eff\t14.3186\t%\nJsc\t0.029421\tA/cm2\nVoc\t0.584781\tV\nFF\t82.3325\t%\n",
        "# Kovra <PV>\n# Solar cell\n# Saved: 2026-12-10 10:00:00\n#\n"
        "# Eff (%)\tJsc (A/cm2)\tVoc (V)\tFF (%)\n#\n14.3186\t0.029421\t0.584781\t82.3325\n",
    };
    for (const std::string& text : layouts) {
        const ResultTable t = parse(text, "simulout_photovoltaic.txt");
        EXPECT_EQ(t.kind, ResultKind::PHOTOVOLTAIC);
        ASSERT_NE(t.figure("Voc"), nullptr) << text;
        EXPECT_DOUBLE_EQ(t.figure("Voc")->value, 0.584781);
        EXPECT_EQ(t.figure("Voc")->unit, "V");
        EXPECT_DOUBLE_EQ(t.figure("FF")->value, 82.3325);
        EXPECT_EQ(t.figure("Jsc")->unit, "A/cm2");
    }
    const ResultTable pc = parse(fixtures::PHOTOCURRENT, "simulout_photocurrent.txt");
    EXPECT_EQ(pc.kind, ResultKind::PHOTOCURRENT);
    ASSERT_NE(pc.figure("EQEmax"), nullptr);
    EXPECT_DOUBLE_EQ(pc.figure("EQEmax")->value, 0.901096);
    EXPECT_EQ(pc.figure("EQEmax")->unit, "@ 0.78 um");
}

TEST(ResultFile, HeaderVariantsAndLineEnds)
{
    // Windows line ends, a byte-order mark, a "Device:" line and extra
    // comment lines between the header and the titles.
    const std::string text = "\xEF\xBB\xBF# Kovra <JV>\r\n# Device: Cell B\r\n# Started: "
                             "10:00\r\n#\r\n# Voltage (V)\tJ (A/cm2)\r\n"
                             "0\t1e-3\r\n+0.5\t-2.5E-2\r\n";
    const ResultTable t = parse(text, "other.txt");
    EXPECT_EQ(t.kind, ResultKind::JV);
    EXPECT_EQ(t.deviceName, "Cell B");
    EXPECT_EQ(t.columns[1].name, "J");
    EXPECT_DOUBLE_EQ(t.values[0][1], 0.5);
    EXPECT_DOUBLE_EQ(t.values[1][1], -0.025);

    // Without a title line the columns are numbered; blanks separate too.
    const ResultTable bare = parse("1 2\n3 4\n");
    ASSERT_EQ(bare.columns.size(), 2u);
    EXPECT_EQ(bare.columns[1].name, "column 2");
    EXPECT_DOUBLE_EQ(bare.values[1][1], 4.0);
}

TEST(ResultFile, NumbersIgnoreTheLocale)
{
    DecimalCommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << "no decimal-comma locale";
    }
    const ResultTable t = parse(fixtures::JV);
    EXPECT_DOUBLE_EQ(t.values[1][0], -0.0294);
}

TEST(ResultFile, BadFilesAreNamedWithTheirLine)
{
    EXPECT_EQ(failure(fixtures::header("JV") + "# Voltage (V)\tJ (A/cm2)\n0\t1\n0.1\tabc\n"),
              "/run/simulout_x.txt: line 12 is neither a comment nor a row of numbers");
    EXPECT_EQ(failure("# V\tJ\n0\t1\n0.1\n"),
              "/run/simulout_x.txt: line 3 holds 1 values where the rows above hold 2");
    EXPECT_EQ(failure(fixtures::header("JV")),
              "/run/simulout_x.txt: no data (no row of numbers and no named figure)");
    EXPECT_EQ(failure(""), "/run/simulout_x.txt: no data (no row of numbers and no named figure)");
    // Rows shorter than the titles: the charts of the missing columns would
    // stay blank, so the file is refused with what is missing.
    EXPECT_EQ(failure(fixtures::header("EN") + fixtures::DIST_TITLES + "0\t0.48\t-0\n1\t0.2\t0\n"),
              "/run/simulout_x.txt: line 12 holds 3 values where the column titles name 24; "
              "missing: Ep, Fn, Fp, EC, EV, n, p, Nax and 13 more");
    EXPECT_EQ(failure("# V (V)\tJ (A/cm2)\tP (W/cm2)\n#\n0\t1\n"),
              "/run/simulout_x.txt: line 3 holds 2 values where the column titles name 3; "
              "missing: P");

    ResultTable table;
    std::string error;
    EXPECT_FALSE(ResultFile_read("/nonexistent/simulout_jv.txt", table, error));
    EXPECT_EQ(error, "cannot open /nonexistent/simulout_jv.txt");
}

TEST(ResultFile, ReadsFromDisk)
{
    TempFolder folder;
    const std::string path = folder.write("simulout_cv.txt", fixtures::CV);
    ResultTable table;
    std::string error;
    ASSERT_TRUE(ResultFile_read(path, table, error)) << error;
    EXPECT_EQ(table.path, path);
    EXPECT_EQ(table.kind, ResultKind::CV);
    EXPECT_DOUBLE_EQ(table.values[1][2], -1.9e-08);
}

TEST(ResultFile, NonFiniteValuesAreKeptAndCounted)
{
    // "inf" and "nan" as a C library prints them, and numbers beyond a
    // double: too large reads as an infinity, too small as zero.
    const ResultTable t =
        parse(fixtures::header("JV") +
              "# Voltage (V)\tJ (A/cm2)\n#\n0\tinf\n0.1\tnan\n0.2\t-inf\n0.3\t1e999\n"
              "0.4\t-2e400\n0.5\t1e-999\n0.6\t-0.000001e-400\n0.7\t5e306\n");
    ASSERT_EQ(t.rowCount(), 8u);
    EXPECT_EQ(t.nonFinite, 5u);
    const std::vector<double>& j = t.values[1];
    EXPECT_EQ(j[0], HUGE_VAL);
    EXPECT_TRUE(std::isnan(j[1]));
    EXPECT_EQ(j[2], -HUGE_VAL);
    EXPECT_EQ(j[3], HUGE_VAL);
    EXPECT_EQ(j[4], -HUGE_VAL);
    EXPECT_EQ(j[5], 0.0);
    EXPECT_EQ(j[6], 0.0);
    EXPECT_EQ(j[7], 5e306);
    EXPECT_EQ(parse(fixtures::JV).nonFinite, 0u);
}

// Limits small enough to reach with a few lines stand in for the real ones.
TEST(ResultFile, LimitsRefuseWhatWouldFreezeTheWindow)
{
    TempFolder folder;
    const std::string jv = folder.write("simulout_jv.txt", fixtures::JV);
    ResultTable table;
    std::string error;
    ResultLimits small;
    small.maxBytes = 100;
    EXPECT_FALSE(ResultFile_read(jv, table, error, small));
    EXPECT_EQ(error, jv + ": " + std::to_string(fixtures::JV.size()) +
                         " bytes is more than the 100 bytes kovraplot reads");

    ResultLimits fewRows;
    fewRows.maxRows = 3;
    EXPECT_FALSE(ResultFile_read(jv, table, error, fewRows));
    EXPECT_EQ(error, jv + ": more than 3 rows; kovraplot draws result files of at most 3 rows");
    fewRows.maxRows = 4;
    EXPECT_TRUE(ResultFile_read(jv, table, error, fewRows)) << error;
    EXPECT_EQ(table.rowCount(), 4u);

    // The real size limit, on a sparse file that costs no disk: refused from
    // its size, before a byte is read.
    const std::string big = folder.write("big_jv.txt", "");
    std::filesystem::resize_file(big, (size_t(33) << 20) + 1);
    EXPECT_FALSE(ResultFile_read(big, table, error));
    EXPECT_EQ(error, big + ": 33 MB is more than the 32 MB kovraplot reads");
}

TEST(ResultFile, OnlyRegularFilesAreRead)
{
    // A FIFO would block the window until someone writes to it; /dev/zero
    // never ends; a folder is no file.
    TempFolder folder;
    const std::string fifo = folder.file("simulout_jv.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* kind;
    } paths[] = {{fifo, "a FIFO"}, {"/dev/zero", "a device"}, {folder.path(), "a folder"}};
    for (const auto& c : paths) {
        ResultTable table;
        std::string error;
        EXPECT_FALSE(ResultFile_read(c.path, table, error));
        EXPECT_EQ(error, c.path + " is " + c.kind + ", not a regular file");
    }
    std::vector<std::string> files;
    std::string error;
    EXPECT_FALSE(PlotList_read(fifo, files, error));
    EXPECT_EQ(error, "plot list " + fifo + " is a FIFO, not a regular file");
}

TEST(PlotList, PathsInOrderWithoutEmptyPlaces)
{
    TempFolder folder;
    // EN, EE, no C-V (empty line), J-V; then a QE list with "#" places.
    const std::string jv = folder.write(
        "a.txt", "/r/simulout_dist_72.txt\n/r/simulout_dist_01.txt\n\n/r/simulout_jv.txt\n");
    const std::string qe =
        folder.write("b.txt", "/r/d2.txt\r\n/r/d1.txt\r\n#\r\n#\r\n/r/simulout_qw.txt\r\n");
    std::vector<std::string> files;
    std::string error;
    ASSERT_TRUE(PlotList_read(jv, files, error));
    EXPECT_EQ(files, (std::vector<std::string>{"/r/simulout_dist_72.txt", "/r/simulout_dist_01.txt",
                                               "/r/simulout_jv.txt"}));
    ASSERT_TRUE(PlotList_read(qe, files, error));
    EXPECT_EQ(files, (std::vector<std::string>{"/r/d2.txt", "/r/d1.txt", "/r/simulout_qw.txt"}));
    EXPECT_FALSE(PlotList_read(folder.file("none.txt"), files, error));
    EXPECT_EQ(error, "cannot open the plot list " + folder.file("none.txt"));
}

// A plot list written with relative paths names files beside itself, not
// beside wherever the plot tool was started.
TEST(PlotList, RelativePathsResolveAgainstTheListsFolder)
{
    TempFolder folder;
    const std::string list =
        folder.write("simulplot.txt", "simulout_jv.txt\nruns/a/simulout_cv.txt\n/abs/x_qw.txt\n");
    std::vector<std::string> files;
    std::string error;
    ASSERT_TRUE(PlotList_read(list, files, error)) << error;
    EXPECT_EQ(files,
              (std::vector<std::string>{folder.file("simulout_jv.txt"),
                                        folder.file("runs/a/simulout_cv.txt"), "/abs/x_qw.txt"}));
}

// What a message box shows of reasons that came from a binary file: control
// bytes and bytes that are no UTF-8 as \xNN, well-formed UTF-8 as it is,
// long lines cut.
TEST(PlotList, UnprintableBytesAreMadeVisible)
{
    const struct {
        std::string text;
        size_t most;
        std::string shown;
    } cases[] = {
        {"plain /r/simulout_jv.txt", 200, "plain /r/simulout_jv.txt"},
        {std::string("a\0b\x01\x7f", 5), 200, "a\\x00b\\x01\\x7F"},
        {"\xff\xfe"
         "1+",
         200, "\\xFF\\xFE1+"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x82\xAC",
         200,
         "Gr\xC3\xB6\xC3\x9F"
         "e \xE2\x82\xAC"},
        {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82", 200,
         "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80 \\xE2\\x82"},
        {"\xC2\x85 \xC2\xA0", 200, "\\xC2\\x85 \xC2\xA0"},
        {std::string(300, 'x'), 10, "xxxxxxxxxx..."},
        {"\x01\x02\x03", 9, "\\x01\\x02..."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlotList_printable(c.text, c.most), c.shown) << c.shown;
    }
}

TEST(PlotList, FailureReportShowsAFewReasonsAndCountsTheRest)
{
    std::vector<std::string> failures;
    for (int i = 1; i <= 12; ++i) {
        failures.push_back("cannot open f" + std::to_string(i) + "\x01");
    }
    EXPECT_EQ(PlotList_failureReport(failures, 3),
              "Some results could not be read:\ncannot open f1\\x01\ncannot open f2\\x01\n"
              "cannot open f3\\x01\n... and 9 more");
    failures.resize(2);
    EXPECT_EQ(PlotList_failureReport(failures, 3),
              "Some results could not be read:\ncannot open f1\\x01\ncannot open f2\\x01");
}

TEST(PlotList, SummaryBesideItsSweep)
{
    EXPECT_EQ(PlotList_summaryOf("/r/simulout_jv.txt"), "/r/simulout_photovoltaic.txt");
    EXPECT_EQ(PlotList_summaryOf("/r/simulout_qw.txt"), "/r/simulout_photocurrent.txt");
    EXPECT_EQ(PlotList_summaryOf("/r/simulout_cv.txt"), "");
    EXPECT_EQ(PlotList_summaryOf("jv.txt"), "");
}

}  // namespace
