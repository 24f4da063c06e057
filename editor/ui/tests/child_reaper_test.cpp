// A program the editor leaves to itself is collected once it ends, by the
// reaping timer alone: no later start is needed to clear the zombie.
#include <gtest/gtest.h>

#include <QApplication>

#include <chrono>
#include <thread>

#include "ChildReaper.h"
#include "iup.h"
#include "kovProcess.h"
#include "ProcessProbe.h"
#include "tempFolder.h"
#include "waitUntil.h"

namespace {

class ChildReaperTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "child-reaper-test";
        static char* argv[] = {name, nullptr};
        static QApplication* app = new QApplication(argc, argv);
        (void)app;
        IupOpen(&argc, reinterpret_cast<char***>(&argv));
    }

    TempFolder folder{"kovra-reaper-"};

    // Starts a shell that records its process id in the file, then ends
    // after the given time.
    std::string startChild(const std::string& pidFile, const char* seconds)
    {
        int pid = -1;
        const std::string body = std::string("echo $$ > '") + pidFile + "'; sleep " + seconds;
        EXPECT_EQ(kov_startProcessArgs(nullptr, {"/bin/sh", "-c", body}, &pid, nullptr), 1);
        EXPECT_TRUE(waitUntil([&] { return !readAll(pidFile).empty(); })) << pidFile;
        return pidFile;
    }

    // Runs the event loop until the condition holds or the time is up.
    template <typename Condition>
    bool loopUntil(Condition condition, std::chrono::milliseconds limit)
    {
        return waitUntil(
            [&] {
                if (condition()) {
                    return true;
                }
                IupLoopStep();
                return condition();
            },
            limit);
    }
};

TEST_F(ChildReaperTest, AnEndedChildIsCollectedWithoutAnotherStart)
{
    const std::string quick = startChild(folder.file("quick.pid"), "0");
    const std::string slow = startChild(folder.file("slow.pid"), "2.5");
    // Unwatched, the ended child stays a zombie however long the window runs.
    ASSERT_TRUE(waitUntil([&] { return !processAlive(quick); })) << "the quick child has ended";
    ASSERT_FALSE(loopUntil([&] { return processGone(quick); }, std::chrono::milliseconds(300)));
    EXPECT_FALSE(processAlive(quick));

    ChildReaper_watch();
    ChildReaper_watch();  // once is enough; again changes nothing
    EXPECT_TRUE(ChildReaper_active());
    EXPECT_TRUE(loopUntil([&] { return processGone(quick); }, std::chrono::seconds(5)));
    // The timer keeps watching while a child runs, and stops once the last
    // one has ended and been collected.
    EXPECT_TRUE(processAlive(slow));
    EXPECT_TRUE(ChildReaper_active());
    EXPECT_TRUE(loopUntil([&] { return processGone(slow) && !ChildReaper_active(); },
                          std::chrono::seconds(5)));
    EXPECT_EQ(kov_processCollectEnded(), 0);
}

TEST_F(ChildReaperTest, ACollectedChildStillReportsItsExitStatus)
{
    int pid = -1;
    ASSERT_EQ(kov_startProcessArgs(nullptr, {"/bin/sh", "-c", "exit 7"}, &pid, nullptr), 1);
    ChildReaper_watch();
    ASSERT_TRUE(loopUntil([] { return !ChildReaper_active(); }, std::chrono::seconds(5)));
    int status = -1;
    EXPECT_EQ(kov_processRunning(pid, &status), 0);
    EXPECT_EQ(status, 7);
}

}  // namespace
