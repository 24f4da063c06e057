// Opening a file never writes it, and the lines the reader skips are
// counted, so that a save that would write the file without them can ask.
#include <string>

#include "docTestSupport.h"

namespace {

class SkippedLines : public DocTest {
protected:
    int load(const std::string& text)
    {
        path = folder.write("device.kovra", text);
        return Device_load(document(), path.c_str());
    }
    std::string path;
};

TEST_F(SkippedLines, EachLineASaveWouldDropIsCountedWithTheFirst)
{
    const std::string head = "# Kovra <SL>\n[Device]\n    Name=\"d\"\n[Layer1]\n    Thickness=2\n";
    const struct {
        std::string rest;
        int count;
        int first;
        const char* words;
    } cases[] = {
        {"    Foo=1\n    JustText\n", 2, 6, "unknown key skipped: Foo"},
        {"[Nowhere]\n    Thickness=3\n", 2, 6, "unknown section skipped: [Nowhere]"},
        {"& directive\n", 1, 6, "directive skipped: & directive"},
        // Kept as written and saved back: nothing is lost.
        {"[Anode]\n    Anode.Thickness=0\n", 0, 0, ""},
        {"[Command]\n    Command.Plot=\"Yes\"\n", 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest);
        const std::string text = head + c.rest;
        ASSERT_EQ(load(text), 1) << recorder.console();
        // Opening leaves the file as it was.
        EXPECT_EQ(readText(path), text);
        int line = -1;
        std::string words;
        EXPECT_EQ(Document_saveDropsSkipped(document(), &line, &words), c.count);
        if (c.count > 0) {
            EXPECT_EQ(line, c.first);
            EXPECT_EQ(words, c.words);
        }
        // Once saved (the user said yes) there is nothing more to lose.
        ASSERT_EQ(Device_save(document(), path.c_str()), 1);
        EXPECT_EQ(Document_saveDropsSkipped(document(), nullptr, nullptr), 0);
    }
}

}  // namespace
