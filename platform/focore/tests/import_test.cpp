// Column data files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tempFolder.h"
#include "focore.h"
#include "kovbase.h"
#include "nuSigma.h"

namespace {

struct Columns {
    std::vector<std::vector<double>> data;
    std::vector<double*> pointers;
    Columns(int count, int rows) : data(count, std::vector<double>(rows, -999.0))
    {
        for (auto& column : data) {
            pointers.push_back(column.data());
        }
    }
};

int import(const std::string& path, Columns& columns, int rowLimit, wchar_t separator,
           nuSigma* sigma)
{
    return fo_importAscii(kov_toWide(path).c_str(), columns.pointers.data(),
                          static_cast<int>(columns.pointers.size()), rowLimit, separator, 0, sigma);
}

TEST(FoImportAscii, FillsColumnsInFileOrder)
{
    TempFolder folder;
    const std::string path = folder.write("guess.txt",
                                          "# z\tV\tEFn\n"
                                          "\n"
                                          "0\t0.5\t-1e-3\t99\r\n"
                                          "  0.25 \t 0.4  -2e-3\n"  // blanks mixed with tabs
                                          "   # indented comment\n"
                                          "0.5\t0.3\t-3e-3");
    Columns columns(3, 10);
    nuSigma sigma;
    ASSERT_EQ(import(path, columns, 10, L'\t', &sigma), 3);
    EXPECT_EQ(columns.data[0],
              (std::vector<double>{0, 0.25, 0.5, -999, -999, -999, -999, -999, -999, -999}));
    EXPECT_EQ(columns.data[1][0], 0.5);
    EXPECT_EQ(columns.data[1][1], 0.4);
    EXPECT_EQ(columns.data[1][2], 0.3);
    EXPECT_EQ(columns.data[2][0], -1e-3);
    EXPECT_EQ(columns.data[2][2], -3e-3);
    EXPECT_TRUE(sigma.isOK());
}

TEST(FoImportAscii, HonoursTheRowLimit)
{
    TempFolder folder;
    const std::string path = folder.write("bias.txt", "0\n0.1\n0.2\n0.3\n0.4\n");
    {
        Columns columns(1, 5);
        EXPECT_EQ(import(path, columns, 5, L'\t', nullptr), 5);
    }
    Columns columns(1, 3);
    nuSigma sigma;
    testing::internal::CaptureStdout();
    EXPECT_EQ(import(path, columns, 3, L'\t', &sigma), 4);  // limit + 1: a failure
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(columns.data[0], (std::vector<double>{0, 0.1, 0.2}));
    EXPECT_FALSE(sigma.isOK());
    EXPECT_NE(console.find("too many rows"), std::string::npos);
}

TEST(FoImportAscii, BadFilesAreReportedAsFailures)
{
    TempFolder folder;
    const struct {
        const char* what;
        const char* text;
        int result;
        const char* message;
    } cases[] = {
        {"short row", "1\t2\n3\n", -1, "invalid data at line 2"},
        {"not a number", "1\t2\n3\tabc\n", -1, "invalid data at line 2"},
        {"trailing text", "1\t2V\n", -1, "invalid data at line 1"},
        {"decimal comma", "1,5\t2\n", -1, "invalid data at line 1"},
        {"no rows", "# nothing\n\n", 0, "no data"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.write("bad.txt", c.text);
        Columns columns(2, 10);
        nuSigma sigma;
        testing::internal::CaptureStdout();
        EXPECT_EQ(import(path, columns, 10, L'\t', &sigma), c.result) << c.what;
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(sigma.isOK()) << c.what;
        EXPECT_NE(console.find(c.message), std::string::npos) << c.what << ": " << console;
    }
    Columns columns(2, 10);
    EXPECT_EQ(import(folder.file("missing.txt"), columns, 10, L'\t', nullptr), -1);
    double* none[2] = {columns.pointers[0], nullptr};
    EXPECT_EQ(fo_importAscii(L"x", none, 2, 10, L'\t', 0, nullptr), -1);
    EXPECT_EQ(fo_importAscii(nullptr, columns.pointers.data(), 2, 10, L'\t', 0, nullptr), -1);
    EXPECT_EQ(fo_importAscii(L"x", columns.pointers.data(), 2, 0, L'\t', 0, nullptr), -1);
}

TEST(FoImportAscii, OtherSeparatorsSplitExactly)
{
    TempFolder folder;
    Columns columns(2, 4);
    EXPECT_EQ(import(folder.write("a.csv", "1, 2\n3 ,4.5\n"), columns, 4, L',', nullptr), 2);
    EXPECT_EQ(columns.data[1][1], 4.5);
    Columns three(3, 4);
    EXPECT_EQ(import(folder.write("b.csv", "1,,2\n"), three, 4, L',', nullptr), -1);  // empty field
}

TEST(FoImportAscii, NumbersIgnoreTheLocale)
{
    DecimalCommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma available";
    }
    TempFolder folder;
    Columns columns(2, 4);
    ASSERT_EQ(import(folder.write("l.txt", "0.35\t1.5e17\n"), columns, 4, L'\t', nullptr), 1);
    EXPECT_EQ(columns.data[0][0], 0.35);
    EXPECT_EQ(columns.data[1][0], 1.5e17);
}

}  // namespace
