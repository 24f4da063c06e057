// The recent-file list: the front position, moves, and dropping of vanished
// files.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "RecentFiles.h"

namespace {

struct RecentFixture : testing::Test {
    RecentFileList list{};
    std::set<std::string> existing;
    RecentFileExists exists = [this](const char* p) { return existing.count(p) > 0; };

    void fill(std::initializer_list<const char*> paths)
    {
        int i = 0;
        for (const char* p : paths) {
            std::strcpy(list[i++], p);
            existing.insert(p);
        }
    }
    std::string at(int i) const { return list[i]; }
};

}  // namespace

TEST_F(RecentFixture, NewFileGoesFirstAndTheOthersMoveDown)
{
    fill({"/a.kovra", "/b.kovra"});
    existing.insert("/c.kovra");
    RecentFiles_add(list, "/c.kovra", exists);
    EXPECT_EQ(at(0), "/c.kovra");
    EXPECT_EQ(at(1), "/a.kovra");
    EXPECT_EQ(at(2), "/b.kovra");
    EXPECT_EQ(at(3), "");
}

TEST_F(RecentFixture, FirstAlreadyLeavesTheListAndThirdMovesToTheFront)
{
    fill({"/a.kovra", "/b.kovra", "/c.kovra", "/d.kovra"});
    RecentFiles_add(list, "/a.kovra", exists);
    EXPECT_EQ(at(0), "/a.kovra");
    EXPECT_EQ(at(1), "/b.kovra");
    RecentFiles_add(list, "/c.kovra", exists);
    EXPECT_EQ(at(0), "/c.kovra");
    EXPECT_EQ(at(1), "/a.kovra");
    EXPECT_EQ(at(2), "/b.kovra");
    EXPECT_EQ(at(3), "/d.kovra");
}

TEST_F(RecentFixture, AVanishedEntryIsWhereTheShiftStops)
{
    fill({"/a.kovra", "/gone.kovra", "/c.kovra"});
    existing.erase("/gone.kovra");
    existing.insert("/n.kovra");
    RecentFiles_add(list, "/n.kovra", exists);
    EXPECT_EQ(at(0), "/n.kovra");
    EXPECT_EQ(at(1), "/a.kovra");
    EXPECT_EQ(at(2), "/c.kovra");
}

TEST_F(RecentFixture, AFullListDropsTheOldestAndMissingFilesAreNotAdded)
{
    for (int i = 0; i < RECENT_FILES_COUNT; ++i) {
        std::string p = "/f" + std::to_string(i) + ".kovra";
        std::strcpy(list[i], p.c_str());
        existing.insert(p);
    }
    RecentFiles_add(list, "/missing.kovra", exists);
    EXPECT_EQ(at(0), "/f0.kovra");
    existing.insert("/new.kovra");
    RecentFiles_add(list, "/new.kovra", exists);
    EXPECT_EQ(at(0), "/new.kovra");
    EXPECT_EQ(at(11), "/f10.kovra");
}

TEST_F(RecentFixture, LongPathsAreCutAndPruningKeepsExistingFilesInOrder)
{
    std::string longPath = "/" + std::string(2000, 'p');
    existing.insert(longPath);
    existing.insert(longPath.substr(0, RECENT_FILE_PATH_SIZE - 1));
    RecentFiles_add(list, longPath.c_str(), exists);
    EXPECT_EQ(std::strlen(list[0]), size_t(RECENT_FILE_PATH_SIZE - 1));

    RecentFileList other{};
    std::strcpy(other[0], "/x.kovra");
    std::strcpy(other[1], "/gone.kovra");
    std::strcpy(other[2], "/y.kovra");
    existing = {"/x.kovra", "/y.kovra"};
    EXPECT_EQ(RecentFiles_prune(other, exists), 2);
    EXPECT_STREQ(other[0], "/x.kovra");
    EXPECT_STREQ(other[1], "/y.kovra");
    EXPECT_STREQ(other[2], "");
}
