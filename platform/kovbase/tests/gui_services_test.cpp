// Services the GUI programs call: text helpers, the number form, file times
// and names, the memory count and kov_printf.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>

#include "kovbase.h"
#include "tempFolder.h"

namespace {

TEST(KovText, StartEndAndTrim)
{
    EXPECT_EQ(kov_startwith("format:hex", "format:", 0), 7u);
    EXPECT_EQ(kov_startwith("Format:hex", "format:", 0), 0u);
    EXPECT_EQ(kov_startwith("Format:hex", "format:", 1), 7u);
    EXPECT_EQ(kov_startwith("for", "format:", 0), 0u);
    EXPECT_EQ(kov_startwith(nullptr, "a", 0), 0u);
    EXPECT_NE(kov_endwith("x.kovracalc", ".kovracalc", 0), 0);
    EXPECT_EQ(kov_endwith("x.KOVRACALC", ".kovracalc", 0), 0);
    EXPECT_EQ(kov_endwith("x.KOVRACALC", ".kovracalc", 1), 1);
    EXPECT_EQ(kov_endwith("calc", ".kovracalc", 0), 0);
    EXPECT_EQ(kov_endwith("x=2;", "", 0), 0);
    char text[] = " \t value with blanks \r\n";
    EXPECT_EQ(kov_trim(text), 17u);
    EXPECT_STREQ(text, "value with blanks");
    char blank[] = "   ";
    EXPECT_EQ(kov_trim(blank), 0u);
    EXPECT_STREQ(blank, "");
}

TEST(KovText, ReformatAutoIsTheSixDigitFormThatFits)
{
    const struct {
        double value;
        int width;
        const char* text;
    } cases[] = {{300.0, 31, "300"},      {0.001, 31, "0.001"},         {1e16, 31, "1e+16"},
                 {1.5e-5, 31, "1.5e-05"}, {1.234567891, 31, "1.23457"}, {-2.5, 63, "-2.5"},
                 {123456789.0, 5, ""}};  // does not fit: nothing rather than a cut number
    for (const auto& c : cases) {
        char buffer[64] = "junk";
        EXPECT_EQ(kov_reformatAuto(c.value, buffer, c.width, 6),
                  static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST(KovFile, TimesCompareAndShortName)
{
    TempFolder folder;
    const std::string older = folder.file("older.txt");
    const std::string newer = folder.file("newer.txt");
    std::ofstream(older) << "a";
    std::ofstream(newer) << "b";
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, older.c_str(), past, 0), 0);
    kov_FileTimes a{}, b{};
    ASSERT_EQ(kov_getFileTimes(newer.c_str(), 0, &a, 0), 1);
    ASSERT_EQ(kov_getFileTimes(older.c_str(), 0, &b, 0), 1);
    EXPECT_EQ(b.modified, 1000000000LL * 1000000000LL);
    EXPECT_GT(kov_compareFileTimes(&a, &b), 0);
    EXPECT_LT(kov_compareFileTimes(&b, &a), 0);
    EXPECT_EQ(kov_compareFileTimes(&a, &a), 0);
    EXPECT_EQ(kov_getFileTimes(folder.file("missing").c_str(), 0, &a, 0), 0);

    EXPECT_STREQ(kov_getShortFilename("/home/u/cell.kovra"), "cell.kovra");
    EXPECT_STREQ(kov_getShortFilename("C:\\data\\cell.kovra"), "cell.kovra");
    EXPECT_STREQ(kov_getShortFilename("cell.kovra"), "cell.kovra");
    EXPECT_EQ(kov_getShortFilename("/home/u/"), nullptr);
    EXPECT_EQ(kov_getShortFilename(""), nullptr);
    EXPECT_EQ(kov_getShortFilename(nullptr), nullptr);
}

TEST(KovMemory, BlocksAreCountedUntilGivenBack)
{
    ASSERT_EQ(kov_MemoryCreate("test"), 1);
    const long long before = kov_MemoryLiveBlocks();
    void* a = kov_MemoryAlloc(16);
    void* b = kov_MemoryRealloc(nullptr, 8);
    EXPECT_EQ(kov_MemoryLiveBlocks(), before + 2);
    kov_MemoryFree(&a);
    kov_MemoryFree(&b);
    kov_MemoryFree(&b);  // already cleared: nothing happens
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(kov_MemoryLiveBlocks(), before);
    kov_MemoryDestroy();
}

TEST(KovConsole, PrintfWritesADecimalPointInAnyLocale)
{
    DecimalCommaLocale locale;
    testing::internal::CaptureStdout();
    EXPECT_EQ(kov_printf(">> %s %g\n", "2*3", 2.5), 11);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ">> 2*3 2.5\n");
}

}  // namespace
