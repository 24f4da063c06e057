// Mutated result files never crash, hang or mislead the plot tool: the
// fixtures of every kind are mutated (byte flips, truncations, huge and
// non-finite numbers, rows of another width, long lines, another tag) and
// read; each read either fails with a message naming the file, or gives
// charts whose axes are finite with a few ticks, which is all the window
// hands to Qt. The case count and the seed are fixed, so a failure
// repeats; a time cap keeps slow machines within a few seconds.
// KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment allow a longer
// search by hand (the time cap then grows with the case count).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "PlotAxis.h"
#include "PlotRecipe.h"
#include "ResultFile.h"
#include "fuzzMutator.h"
#include "fuzzSettings.h"
#include "resultFixtures.h"

namespace {

constexpr int CASES = 5000;
constexpr double TIME_CAP_SECONDS = 1.0;
constexpr unsigned SEED = 20261211u;

// A field of a data row (a line not starting with '#') in place of
// another number.
std::string replaceField(FuzzMutator& mutator, std::vector<std::string>& lines,
                         const std::string& number)
{
    for (int attempt = 0; attempt < 8 && !lines.empty(); ++attempt) {
        std::string& line = lines[mutator.pickLine(lines)];
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<size_t> starts = {0};
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\t') {
                starts.push_back(i + 1);
            }
        }
        const size_t start =
            starts[static_cast<size_t>(mutator.pick(static_cast<int>(starts.size())))];
        const size_t end = line.find('\t', start);
        line.replace(start, end == std::string::npos ? std::string::npos : end - start, number);
        break;
    }
    return FuzzMutator::joinLines(lines);
}

// One mutation of a result file: the shared byte and line mutations, and
// the result file's own (numbers at the edge of a double, columns of one
// value, other tags, rows of another width).
std::string mutateResult(FuzzMutator& mutator, std::string text)
{
    if (text.empty()) {
        return "# Kovra <JV>\n0\t1\n";
    }
    std::vector<std::string> lines = FuzzMutator::splitLines(text);
    const size_t line = mutator.pickLine(lines);
    switch (mutator.pick(10)) {
    case 0: return mutator.flipBytes(text);
    case 1: return mutator.cut(text);
    case 2:  // a long line of digits, blanks or tabs
        mutator.insertLongLine(lines, line, "9\t .e-#", 1000, 5000);
        return FuzzMutator::joinLines(lines);
    case 3: {  // a number at the edge of a double, or none
        static const char* const numbers[] = {"1e308",
                                              "-1e308",
                                              "1.7976931348623157e308",
                                              "-1.7976931348623157e308",
                                              "5e306",
                                              "1e999",
                                              "-1e999",
                                              "1e-999",
                                              "4.9e-324",
                                              "-4.9e-324",
                                              "1e-320",
                                              "nan",
                                              "-nan",
                                              "inf",
                                              "-inf",
                                              "infinity",
                                              "0",
                                              "-0",
                                              "+0",
                                              "1e",
                                              "e5",
                                              ".",
                                              "-",
                                              "0x1p3",
                                              "1,5",
                                              "99999999999999999999999"};
        return replaceField(mutator, lines, mutator.oneOf(numbers));
    }
    case 4: {  // every value of a column the same, or a column of extremes
        const double value = mutator.pick(2) ? 0.3 : (mutator.pick(2) ? 1e308 : -1e308);
        for (std::string& l : lines) {
            if (!l.empty() && l[0] != '#') {
                const size_t tab = l.find('\t');
                l = (mutator.pick(2) ? std::to_string(value) : l.substr(0, tab)) +
                    (tab == std::string::npos ? "" : l.substr(tab));
            }
        }
        return FuzzMutator::joinLines(lines);
    }
    case 5:  // a line removed or repeated many times
        mutator.removeOrRepeatLine(lines, line, 200);
        return FuzzMutator::joinLines(lines);
    case 6: mutator.swapLines(lines, line); return FuzzMutator::joinLines(lines);
    case 7: {  // another tag or a stray header line
        static const char* const headers[] = {"# Kovra <JV>",
                                              "# Kovra <CV>",
                                              "# Kovra <QW>",
                                              "# Kovra <EE>",
                                              "# Kovra <EN>",
                                              "# Kovra <PV>",
                                              "# Kovra <PC>",
                                              "# Kovra <",
                                              "# Voltage = 1e999 V",
                                              "# Device:",
                                              "#\t\t\t",
                                              "Eff = nan %",
                                              "\xEF\xBB\xBF# Kovra <JV>",
                                              "Voc\t1e308\tV"};
        mutator.insertOneOf(lines, line, headers);
        return FuzzMutator::joinLines(lines);
    }
    case 8:  // a row of another width
        lines.insert(lines.begin() + static_cast<long>(line),
                     mutator.pick(2) ? "0.5" : "0.5\t1\t2\t3\t4");
        return FuzzMutator::joinLines(lines);
    default:  // a plausible number over many decades
        return replaceField(mutator, lines, mutator.plausibleNumber(-320, 640));
    }
}

void expectDrawable(const PlotChart& chart, const std::string& text)
{
    for (const PlotSeries& s : chart.series) {
        ASSERT_EQ(s.x.size(), s.y.size());
        for (size_t i = 0; i < s.x.size(); ++i) {
            ASSERT_TRUE(std::isfinite(s.x[i]) && std::isfinite(s.y[i])) << text;
            if (chart.logY) {
                ASSERT_GT(s.y[i], 0.0) << text;
            }
        }
    }
    const ChartAxes axes = PlotAxis_forChart(chart);
    for (const LinearAxis* axis : {&axes.x, &axes.y}) {
        ASSERT_TRUE(std::isfinite(axis->unit) && axis->unit > 0.0) << text;
        ASSERT_TRUE(std::isfinite(axis->high - axis->low) && axis->high > axis->low) << text;
        // A chart maps values to pixels through the span: finite too.
        ASSERT_TRUE(std::isfinite(1000.0 / (axis->high - axis->low))) << text;
        ASSERT_EQ(axis->ticks.size(), axis->labels.size());
        ASSERT_LE(axis->ticks.size(), 12u) << text;
        for (const std::string& label : axis->labels) {
            ASSERT_EQ(label.find_first_of("ian"), std::string::npos) << label << "\n" << text;
        }
    }
    ASSERT_TRUE(std::isfinite(axes.log.low) && std::isfinite(axes.log.high)) << text;
    ASSERT_GT(axes.log.low, 0.0) << text;
    ASSERT_GT(axes.log.high, axes.log.low) << text;
}

}  // namespace

TEST(ResultFileFuzz, MutatedResultFilesGiveChartsOrAMessage)
{
    const std::string seeds[] = {
        fixtures::JV,         fixtures::CV,           fixtures::QW,          fixtures::dist("EE"),
        fixtures::dist("EN"), fixtures::PHOTOVOLTAIC, fixtures::PHOTOCURRENT};
    const char* const paths[] = {"/run/simulout_jv.txt",
                                 "/run/simulout_cv.txt",
                                 "/run/simulout_qw.txt",
                                 "/run/simulout_dist_1.txt",
                                 "/run/simulout_photovoltaic.txt",
                                 "/run/simulout_photocurrent.txt",
                                 "/run/other.txt"};
    const int caseCount = static_cast<int>(fuzzSetting("KOVRA_FUZZ_CASES", CASES));
    const double timeCap =
        FUZZ_TIME_SCALE * TIME_CAP_SECONDS * std::max(1.0, double(caseCount) / CASES);
    FuzzMutator mutator(static_cast<unsigned>(fuzzSetting("KOVRA_FUZZ_SEED", SEED)));
    // A small row limit, so that the refusal is reached as well.
    ResultLimits limits;
    limits.maxRows = 150;
    const auto start = std::chrono::steady_clock::now();
    int cases = 0, read = 0, charts = 0;
    for (; cases < caseCount; ++cases) {
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
            timeCap) {
            break;
        }
        const std::string text =
            mutator.mutate(seeds[static_cast<size_t>(cases) % std::size(seeds)], mutateResult);
        const std::string path = paths[mutator.pick(static_cast<int>(std::size(paths)))];
        ResultTable table;
        std::string error;
        if (!ResultFile_parse(text, path, table, error, limits)) {
            ASSERT_EQ(error.rfind(path + ": ", 0), 0u) << error << "\n" << text;
            continue;
        }
        ++read;
        ASSERT_LE(table.rowCount(), limits.maxRows);
        for (const std::vector<double>& column : table.values) {
            ASSERT_EQ(column.size(), table.rowCount());
        }
        const PlotTab tab = PlotRecipe_forTable(table);
        ASSERT_FALSE(tab.title.empty());
        for (const PlotChart& chart : tab.charts) {
            expectDrawable(chart, text);
            ++charts;
        }
        if (HasFatalFailure()) {
            return;
        }
    }
    std::printf("fuzz: %d cases, %d read, %d charts\n", cases, read, charts);
    EXPECT_GE(cases, 100);
    EXPECT_GT(read, cases / 10);
}
