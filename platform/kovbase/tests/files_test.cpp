// File services: opening by UTF-8 path, line reading, tests and copies.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "kovbase.h"
#include "tempFolder.h"

namespace {

std::wstring widePath(const std::string& path) { return kov_toWide(path); }

TEST(KovFileOpen, NonAsciiPathIsUtf8OnDisk)
{
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::wstring path = widePath(folder.path()) + L"r\u00E9sultat \u20AC.txt";
    FILE* file = kov_FileOpenW(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(kov_FileWriteW(file, L"\u00E9\n"));
    kov_FileClose(&file);
    EXPECT_EQ(file, nullptr);
    // The name on disk is the UTF-8 form of the wide name.
    EXPECT_EQ(readAll(folder.file("r\xC3\xA9sultat \xE2\x82\xAC.txt")), "\xC3\xA9\n");
    EXPECT_EQ(kov_fileExistsW(path.c_str()), 1);
}

TEST(KovFileOpen, BackslashSeparatorsAreAccepted)
{
    TempFolder folder;
    folder.write("data.txt", "x");
    std::string windows = folder.file("data.txt");
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    FILE* file = kov_FileOpenA(windows.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    kov_FileClose(&file);
    EXPECT_EQ(kov_fileExistsA(windows.c_str()), 1);
    EXPECT_EQ(kov_FileOpenW(nullptr, "r"), nullptr);
    EXPECT_EQ(kov_FileOpenW(L"", "r"), nullptr);
}

TEST(KovFileReadLine, StripsBomAndLineEndsAndReadsALastLineWithoutEnd)
{
    TempFolder folder;
    const std::string path =
        folder.write("lines.txt", "\xEF\xBB\xBFone\r\n\r\ntw\xC3\xB6\n\xEF\xBB\xBFkeep\nlast");
    FILE* file = kov_FileOpenA(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    wchar_t line[64];
    bool cut = true;
    const wchar_t* expected[] = {L"one", L"", L"tw\u00F6", L"\uFEFFkeep", L"last"};
    for (const wchar_t* want : expected) {
        ASSERT_TRUE(kov_FileReadLineW(file, line, 64, &cut));
        EXPECT_STREQ(line, want);
        EXPECT_FALSE(cut);
    }
    EXPECT_FALSE(kov_FileReadLineW(file, line, 64, &cut));
    kov_FileClose(&file);
}

TEST(KovFileReadLine, OverlongLineIsCutAndTheRestSkipped)
{
    TempFolder folder;
    const std::string longLine(5000, 'x');
    // Multibyte characters at the cut: the kept part holds whole characters.
    const std::string path =
        folder.write("long.txt", "\xE2\x82\xAC\xE2\x82\xAC" + longLine + "\r\nnext\n");
    FILE* file = kov_FileOpenA(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    wchar_t line[8];
    bool cut = false;
    ASSERT_TRUE(kov_FileReadLineW(file, line, 8, &cut));
    EXPECT_TRUE(cut);
    EXPECT_STREQ(line, L"\u20AC\u20ACxxxxx");
    ASSERT_TRUE(kov_FileReadLineW(file, line, 8, &cut));
    EXPECT_FALSE(cut);
    EXPECT_STREQ(line, L"next");
    kov_FileClose(&file);
}

TEST(KovFileReadLine, ExactFitIsNotCut)
{
    TempFolder folder;
    const std::string path = folder.write("fit.txt", "abc\r\n");
    FILE* file = kov_FileOpenA(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    wchar_t line[4];
    bool cut = true;
    ASSERT_TRUE(kov_FileReadLineW(file, line, 4, &cut));
    EXPECT_STREQ(line, L"abc");
    EXPECT_FALSE(cut);
    kov_FileClose(&file);
}

TEST(KovFileTests, ExistenceSizeAndRemoval)
{
    TempFolder folder;
    const std::wstring file = widePath(folder.write("f.bin", std::string(1234, 'a')));
    const std::wstring dir = widePath(folder.path());
    const std::wstring missing = dir + L"missing";
    EXPECT_EQ(kov_fileExistsW(file.c_str()), 1);
    EXPECT_EQ(kov_fileExistsW(dir.c_str()), 0);  // a folder is no file
    EXPECT_EQ(kov_dirExistsW(dir.c_str()), 1);
    EXPECT_EQ(kov_dirExistsA(folder.path().c_str()), 1);
    EXPECT_EQ(kov_dirExistsW(file.c_str()), 0);
    EXPECT_EQ(kov_fileExistsW(missing.c_str()), 0);
    EXPECT_EQ(kov_fileExistsW(nullptr), 0);
    EXPECT_EQ(kov_getFileSizeW(file.c_str()), 1234);
    EXPECT_EQ(kov_getFileSizeW(missing.c_str()), -1);
    EXPECT_EQ(kov_removeFileW(file.c_str()), 1);
    EXPECT_EQ(kov_fileExistsW(file.c_str()), 0);
    EXPECT_EQ(kov_removeFileW(file.c_str()), 0);
}

// A path that holds something other than a regular file is named for what
// it is, so that a message need not call it missing.
TEST(KovFileTests, WhatStandsAtAPathThatIsNoRegularFile)
{
    TempFolder folder;
    const std::string fifo = folder.path() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::wstring file = widePath(folder.write("f.txt", "x"));
    EXPECT_STREQ(kov_otherFileKindW(widePath(fifo).c_str()), L"a FIFO");
    EXPECT_STREQ(kov_otherFileKindW(widePath(folder.path()).c_str()), L"a folder");
    EXPECT_STREQ(kov_otherFileKindW(L"/dev/null"), L"a device");
    EXPECT_EQ(kov_otherFileKindW(file.c_str()), nullptr);
    EXPECT_EQ(kov_otherFileKindW((widePath(folder.path()) + L"/missing").c_str()), nullptr);
    EXPECT_EQ(kov_otherFileKindW(nullptr), nullptr);
    EXPECT_EQ(kov_fileExistsW(widePath(fifo).c_str()), 0);
    // The same answers for a UTF-8 path.
    EXPECT_STREQ(kov_otherFileKindA(fifo.c_str()), "a FIFO");
    EXPECT_STREQ(kov_otherFileKindA(folder.path().c_str()), "a folder");
    EXPECT_STREQ(kov_otherFileKindA("/dev/null"), "a device");
    EXPECT_EQ(kov_otherFileKindA(folder.write("g.txt", "x").c_str()), nullptr);
    EXPECT_EQ(kov_otherFileKindA((folder.path() + "/missing").c_str()), nullptr);
    EXPECT_EQ(kov_otherFileKindA(nullptr), nullptr);
}

TEST(KovFileCopy, CopiesBytesAndRefusesAMissingSource)
{
    TempFolder folder;
    std::string content;
    for (int i = 0; i < 200000; ++i) {
        content.push_back(static_cast<char>(i * 7));
    }
    const std::wstring source = widePath(folder.write("in.bin", content));
    const std::wstring target = widePath(folder.file("out.bin"));
    EXPECT_EQ(kov_copyFileW(source.c_str(), target.c_str()), 1);
    EXPECT_EQ(readAll(folder.file("out.bin")), content);
    EXPECT_EQ(kov_copyFileW(widePath(folder.file("none")).c_str(), target.c_str()), 0);
    EXPECT_EQ(readAll(folder.file("out.bin")), content);  // target untouched
}

TEST(KovFileCopy, CopyIntoAStreamAppendsAndRefusesWhatIsNoFile)
{
    TempFolder folder;
    const std::wstring source = widePath(folder.write("in.txt", "body\n"));
    FILE* out = std::fopen(folder.file("out.txt").c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs("head\n", out);
    EXPECT_EQ(kov_copyIntoW(source.c_str(), out), 1);
    EXPECT_EQ(kov_copyIntoW(widePath(folder.file("none")).c_str(), out), 0);
    EXPECT_EQ(kov_copyIntoW(widePath(folder.file("")).c_str(), out), 0);  // the folder itself
    ASSERT_EQ(std::fclose(out), 0);
    EXPECT_EQ(readAll(folder.file("out.txt")), "head\nbody\n");
}

TEST(KovFileCopy, CopyOntoItselfKeepsTheContent)
{
    TempFolder folder;
    const std::wstring path = widePath(folder.write("same.txt", "keep me"));
    EXPECT_EQ(kov_copyFileW(path.c_str(), path.c_str()), 1);
    EXPECT_EQ(readAll(folder.file("same.txt")), "keep me");
}

TEST(KovMakeWritable, AddsOwnerWriteBits)
{
    TempFolder folder;
    const std::string file = folder.write("ro.txt", "x");
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(kov_fileReadWriteW(widePath(file).c_str()), 1);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IWUSR, 0u);

    const std::string dir = folder.file("sub");
    ASSERT_EQ(mkdir(dir.c_str(), 0500), 0);
    EXPECT_EQ(kov_dirReadWrite(dir.c_str()), 1);
    ASSERT_EQ(stat(dir.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0700, 0700u);

    EXPECT_EQ(kov_fileReadWriteW(widePath(folder.file("missing")).c_str()), 0);
    EXPECT_EQ(kov_dirReadWrite(folder.file("missing").c_str()), 0);
}

}  // namespace

TEST(KovFileReadLineA, ReadsTheSameLinesAsBytesAndCutsAnOverlongOne)
{
    TempFolder folder;
    const std::string path = folder.write(
        "bytes.txt", "\xEF\xBB\xBFone\r\ntw\xC3\xB6\n" + std::string(20, 'y') + "\nlast");
    FILE* file = kov_FileOpenA(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char line[16];
    bool cut = true;
    ASSERT_TRUE(kov_FileReadLineA(file, line, sizeof line, &cut));
    EXPECT_STREQ(line, "one");
    EXPECT_FALSE(cut);
    ASSERT_TRUE(kov_FileReadLineA(file, line, sizeof line, &cut));
    EXPECT_STREQ(line, "tw\xC3\xB6");
    EXPECT_FALSE(cut);
    ASSERT_TRUE(kov_FileReadLineA(file, line, sizeof line, &cut));
    EXPECT_TRUE(cut);
    EXPECT_EQ(std::string(line), std::string(15, 'y'));
    ASSERT_TRUE(kov_FileReadLineA(file, line, sizeof line, &cut));
    EXPECT_STREQ(line, "last");
    EXPECT_FALSE(kov_FileReadLineA(file, line, sizeof line, &cut));
    kov_FileClose(&file);
}
