// Session files: saved from the history, read back and replayed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "CalcSession.h"
#include "fifoGuard.h"
#include "tempFolder.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What the console does with each replayed line: evaluate, record on
// success, stop at the first failure.
int replay(kov_Parser* parser, const std::vector<std::string>& lines,
           std::vector<std::string>* answers)
{
    parser->count = 0;
    parser->current = 0;
    for (const std::string& line : lines) {
        char text[KOV_PARSER_LINE];
        kov_copyA(text, sizeof text, line.c_str());
        kov_ParserRemSpace(text, 0);
        char answer[KOV_PARSER_LINE];
        const int r = kov_ParserRun(text, answer, parser);
        answers->push_back(answer);
        if (r != 1) {
            return 0;
        }
        kov_ParserHistory(parser, line.c_str());
    }
    return 1;
}

TEST(CalcSession, NameGetsTheExtensionOnce)
{
    EXPECT_EQ(CalcSession_fileName("/tmp/x"), "/tmp/x.kovracalc");
    EXPECT_EQ(CalcSession_fileName("/tmp/x.kovracalc"), "/tmp/x.kovracalc");
    EXPECT_EQ(CalcSession_fileName(""), "");
    EXPECT_EQ(CalcSession_fileName(nullptr), "");
}

TEST(CalcSession, SavedHistoryReplaysIntoAFreshParser)
{
    TempFolder folder;
    kov_Parser* parser = kov_ParserCreate();
    for (const char* line : {"a = 1", "b = a+1", "b*3"}) {
        kov_ParserHistory(parser, line);
    }
    const std::string name = CalcSession_fileName(folder.file("x").c_str());
    ASSERT_EQ(CalcSession_save(name.c_str(), parser), 1);
    EXPECT_EQ(readFile(name), "a = 1\nb = a+1\nb*3");  // no line end after the last

    kov_Parser* fresh = kov_ParserCreate();
    std::vector<std::string> lines;
    ASSERT_EQ(CalcSession_read(name.c_str(), &lines), 1);
    std::vector<std::string> answers;
    EXPECT_EQ(replay(fresh, lines, &answers), 1);
    EXPECT_EQ(answers, (std::vector<std::string>{"a = 1", "b = 2", "6"}));
    EXPECT_EQ(fresh->count, 3);
    EXPECT_STREQ(fresh->history[1], "b = a+1");
    kov_ParserDelete(&parser);
    kov_ParserDelete(&fresh);
}

TEST(CalcSession, BlankLinesAreSkippedAndAFailureStopsTheReplay)
{
    TempFolder folder;
    const std::string name = folder.file("s.kovracalc");
    std::ofstream(name) << "a=1\r\n\n   \nfoo(a)\nb=2";
    std::vector<std::string> lines;
    ASSERT_EQ(CalcSession_read(name.c_str(), &lines), 1);
    EXPECT_EQ(lines, (std::vector<std::string>{"a=1", "foo(a)", "b=2"}));
    kov_Parser* parser = kov_ParserCreate();
    std::vector<std::string> answers;
    EXPECT_EQ(replay(parser, lines, &answers), 0);
    EXPECT_EQ(answers.back(), "unknown function: foo");
    EXPECT_EQ(parser->count, 1);  // the failing line is not recorded
    kov_ParserDelete(&parser);
}

TEST(CalcSession, FilesThatCannotBeUsedAreReportedNotIgnored)
{
    kov_Parser* parser = kov_ParserCreate();
    EXPECT_EQ(CalcSession_save("/no/such/folder/x.kovracalc", parser), 0);  // also: no history
    kov_ParserHistory(parser, "1+1");
    EXPECT_EQ(CalcSession_save("/no/such/folder/x.kovracalc", parser), 0);
    std::vector<std::string> lines{"old"};
    EXPECT_EQ(CalcSession_read("/no/such/file.kovracalc", &lines), 0);
    EXPECT_TRUE(lines.empty());
    kov_ParserDelete(&parser);
}

TEST(CalcSession, AtMost32LinesAreRead)
{
    TempFolder folder;
    const std::string name = folder.file("long.kovracalc");
    std::ofstream out(name);
    for (int i = 0; i < 40; ++i) {
        out << i << "\n";
    }
    out.close();
    std::vector<std::string> lines;
    ASSERT_EQ(CalcSession_read(name.c_str(), &lines), 1);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines.back(), "31");
}

// File > Open and Save of a FIFO are refused with the reason at once:
// opening one would wait for its other end and freeze the window.
TEST(CalcSession, AFifoIsRefusedWithoutWaiting)
{
    TempFolder folder;
    const std::string fifo = folder.file("pipe.kovracalc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> lines;
    std::string reason;
    int read = -1;
    EXPECT_TRUE(returnsWithoutWaiting(
        fifo, [&] { read = CalcSession_read(fifo.c_str(), &lines, &reason); }));
    EXPECT_EQ(read, 0);
    EXPECT_EQ(reason, "it is a FIFO");
    kov_Parser* parser = kov_ParserCreate();
    kov_ParserHistory(parser, "1+1");
    int saved = -1;
    reason.clear();
    EXPECT_TRUE(returnsWithoutWaiting(
        fifo, [&] { saved = CalcSession_save(fifo.c_str(), parser, &reason); }));
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(reason, "it is a FIFO");
    kov_ParserDelete(&parser);
}

// A session of one line of 100 MB is refused as soon as the line passes
// what the console takes (255 bytes), with the line named; nothing of it
// is replayed.
TEST(CalcSession, AHugeLineRefusesTheSession)
{
    TempFolder folder;
    const std::string name = folder.file("huge.kovracalc");
    {
        std::ofstream out(name, std::ios::binary);
        out << "1+1\n";
        const std::string block(1 << 20, '7');
        for (int i = 0; i < 100; ++i) {
            out << block;
        }
    }
    std::vector<std::string> lines;
    std::string reason;
    EXPECT_EQ(CalcSession_read(name.c_str(), &lines, &reason), 0);
    EXPECT_EQ(reason, "line 2 is longer than 255 characters");
    EXPECT_TRUE(lines.empty());
    // 255 characters are still a line; a CR before the line end is no part
    // of it.
    const std::string longest(255, '1');
    std::ofstream(name, std::ios::binary) << longest << "\r\n2\n";
    ASSERT_EQ(CalcSession_read(name.c_str(), &lines, &reason), 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longest);
}

}  // namespace
