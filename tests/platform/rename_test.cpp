#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace nw {
namespace {

class PosixRename : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { fs.setNoReplaceUnsupported(GetParam()); }
    PosixFileSystem fs;
    test::TempFolder dir;
};

TEST_P(PosixRename, RenamesWithoutEverReplacing) {
    const std::string d = dir.path();
    test::writeFile(d, "a.txt", "A");
    test::writeFile(d, "b.txt", "B");
    const auto before = test::snapshot(d);

    EXPECT_TRUE(fs.rename(d, "a.txt", "c.txt").ok());
    const FsStatus exists = fs.rename(d, "c.txt", "b.txt");
    EXPECT_EQ(exists.error, FsError::Exists);
    EXPECT_EQ(fs.rename(d, "gone.txt", "x.txt").error, FsError::NotFound);
    EXPECT_EQ(test::snapshot(d), test::renamed(before, {{"a.txt", "c.txt"}}));
}

TEST_P(PosixRename, AnUnchangedNameSucceedsAndTouchesNothing) {
    const std::string d = dir.path();
    test::writeFile(d, "readme.txt", "R");
    const auto before = test::snapshot(d);
    EXPECT_TRUE(fs.rename(d, "readme.txt", "readme.txt").ok());
    EXPECT_EQ(test::snapshot(d), before);
    // ... but a file that vanished is still reported.
    EXPECT_EQ(fs.rename(d, "vanished", "vanished").error, FsError::NotFound);
}

TEST_P(PosixRename, ReportsWhyItFailed) {
    const std::string d = dir.path();
    test::writeFile(d, "a", "A");
    EXPECT_EQ(fs.rename(d, "a", std::string(256, 'x')).error, FsError::NameTooLong);
    EXPECT_EQ(fs.rename(d + "/missing-folder", "a", "b").error, FsError::NotFound);
    EXPECT_EQ(test::snapshot(d), (test::Snapshot{{"a", "A"}}));
}

TEST_P(PosixRename, TheRootFolderGetsOneSeparator) { EXPECT_EQ(joinPath("/", "x"), "/x"); }

INSTANTIATE_TEST_SUITE_P(NoReplace, PosixRename, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "LinkFallback" : "Renameat2"; });

TEST(PosixFs, PlainFileExistsIgnoresHiddenSystemAndFolders) {
    test::TempFolder dir;
    const std::string d = dir.path();
    test::writeFile(d, "plain", "p");
    test::writeFile(d, ".hidden", "h");
    ::mkdir((d + "/folder").c_str(), 0755);
    ::mkfifo((d + "/fifo").c_str(), 0644);
    PosixFileSystem fs;
    EXPECT_TRUE(fs.plainFileExists(d, "plain"));
    EXPECT_FALSE(fs.plainFileExists(d, ".hidden"));
    EXPECT_FALSE(fs.plainFileExists(d, "folder"));
    EXPECT_FALSE(fs.plainFileExists(d, "fifo"));
    EXPECT_FALSE(fs.plainFileExists(d, "absent"));
}

} // namespace
} // namespace nw
