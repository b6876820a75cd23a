#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sys/stat.h>
#include <vector>

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

// The calls a rename is made of, failing where a case says: the first call
// of a kind (counted from 1) that answers the given errno instead of running.
class FailingCalls : public RenameCalls {
public:
    struct Failure {
        std::string call;
        int nth;
        int err;
    };
    explicit FailingCalls(std::vector<Failure> f) : m_failures(std::move(f)) {}
    int renameNoReplace(int dir, const char* from, const char* to) override {
        return fail("noreplace") ? -1 : RenameCalls::renameNoReplace(dir, from, to);
    }
    int link(int dir, const char* from, const char* to) override {
        return fail("link") ? -1 : RenameCalls::link(dir, from, to);
    }
    int unlink(int dir, const char* name) override {
        return fail("unlink") ? -1 : RenameCalls::unlink(dir, name);
    }
    int createExclusive(int dir, const char* name, dev_t& d, ino_t& i) override {
        return fail("create") ? -1 : RenameCalls::createExclusive(dir, name, d, i);
    }
    int rename(int dir, const char* from, const char* to) override {
        return fail("rename") ? -1 : RenameCalls::rename(dir, from, to);
    }

private:
    bool fail(const std::string& call) {
        const int n = ++m_count[call];
        for (const Failure& f : m_failures)
            if (f.call == call && f.nth == n) {
                errno = f.err;
                return true;
            }
        return false;
    }
    std::vector<Failure> m_failures;
    std::map<std::string, int> m_count;
};

// Every step of the methods without RENAME_NOREPLACE failing, alone and with
// the step that takes it back: nothing is lost, the failure is reported, and
// where something could not be taken back it is named.
TEST(PosixFs, FailingStepsLoseNothingAndSaySo) {
    using F = FailingCalls::Failure;
    struct Case {
        const char* what;
        std::vector<F> failures; // noreplace always fails: a FUSE drive
        const char* newName;
        test::Snapshot after;
        const char* leftAs; // what a failed clean-up left, "" if nothing
    };
    const std::vector<F> fuse{{"noreplace", 1, EINVAL}};
    auto with = [&](std::vector<F> more) {
        more.insert(more.begin(), fuse.begin(), fuse.end());
        return more;
    };
    // Links refused as FAT and exFAT refuse them: the placeholder method.
    auto placeholder = [&](std::vector<F> more) {
        more.insert(more.begin(), F{"link", 1, EPERM});
        return with(more);
    };
    const std::vector<Case> cases{
        {"unlink of the old name fails",
         with({{"unlink", 1, EIO}}),
         "b.txt",
         {{"a.txt", "A"}, {"other", "O"}},
         ""},
        {"... and so does removing the new one",
         with({{"unlink", 1, EIO}, {"unlink", 2, EIO}}),
         "b.txt",
         {{"a.txt", "A"}, {"b.txt", "A"}, {"other", "O"}},
         "b.txt"},
        {"rename onto the placeholder fails",
         placeholder({{"rename", 1, EIO}}),
         "b.txt",
         {{"a.txt", "A"}, {"other", "O"}},
         ""},
        {"... and so does removing the placeholder",
         placeholder({{"rename", 1, EIO}, {"unlink", 1, EIO}}),
         "b.txt",
         {{"a.txt", "A"}, {"b.txt", ""}, {"other", "O"}},
         "b.txt"},
        {"claiming the new name fails",
         placeholder({{"create", 1, ENOSPC}}),
         "b.txt",
         {{"a.txt", "A"}, {"other", "O"}},
         ""},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        test::writeFile(dir.path(), "a.txt", "A");
        test::writeFile(dir.path(), "other", "O");
        FailingCalls calls(c.failures);
        PosixFileSystem fs;
        fs.setRenameCalls(&calls);
        const FsStatus st = fs.rename(dir.path(), "a.txt", c.newName);
        EXPECT_FALSE(st.ok()) << c.what;
        EXPECT_EQ(test::snapshot(dir.path()), c.after) << c.what;
        EXPECT_EQ(st.putBackError != 0, *c.leftAs != 0) << c.what;
        if (*c.leftAs) {
            EXPECT_EQ(st.leftAs, joinPath(dir.path(), c.leftAs)) << c.what;
        }
    }
}

// A change of letter case where the drive takes both spellings for one name
// goes through a temporary name; its second step failing puts the old name
// back, and where that fails too the file is named where it is.
TEST(PosixFs, ACaseChangeWhoseSecondStepFails) {
    using F = FailingCalls::Failure;
    for (const bool putBackFails : {false, true}) {
        test::TempFolder dir;
        test::writeFile(dir.path(), "photo.jpg", "P");
        // The direct rename answers "exists", as a drive that ignores case
        // does; then the move into the temporary name works and the move out
        // of it fails (and, in the second round, the move back too).
        std::vector<F> failures{{"noreplace", 1, EEXIST}, {"noreplace", 3, EIO}};
        if (putBackFails)
            failures.push_back({"noreplace", 4, EIO});
        FailingCalls calls(failures);
        PosixFileSystem fs;
        fs.setRenameCalls(&calls);
        const FsStatus st = fs.rename(dir.path(), "photo.jpg", "PHOTO.JPG");
        EXPECT_EQ(st.error, FsError::Io);
        const test::Snapshot after = test::snapshot(dir.path());
        ASSERT_EQ(after.size(), 1u);
        EXPECT_EQ(after.begin()->second, "P"); // the file, under one name
        if (putBackFails) {
            EXPECT_NE(st.putBackError, 0);
            EXPECT_EQ(st.leftAs, joinPath(dir.path(), after.begin()->first));
            EXPECT_EQ(after.begin()->first.rfind(".namewright-", 0), 0u);
        } else {
            EXPECT_EQ(st.putBackError, 0);
            EXPECT_EQ(after.begin()->first, "photo.jpg");
        }
    }
}

} // namespace
} // namespace nw
