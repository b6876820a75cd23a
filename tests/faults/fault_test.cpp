// Faults met by a pass over real folders: a rename failing at any point, a
// file taken away or a name taken by someone else in the middle of the pass,
// folders and mounts that may not be written, names that grow too long.
// After each, the failure names the file and the reason, and the folder
// holds every file it held, none replaced.
#include "core/convert_name.h"
#include "core/custom_name.h"
#include "core/rename_pass.h"
#include "core/undo.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nw {
namespace {

using test::inChild;
using test::RealList;
using test::Snapshot;
using test::TempFolder;

// The real file system with a hook before each rename and a failure on demand.
class FaultyFs : public PosixFileSystem {
public:
    int failRenameNumber = 0; // 1-based; 0 never
    FsError failWith = FsError::Io;
    std::function<void(int number, const std::string& oldName, const std::string& newName)>
        beforeRename;
    int calls = 0;

    FsStatus rename(const std::string& folder, const std::string& oldName,
                    const std::string& newName) override {
        ++calls;
        if (beforeRename)
            beforeRename(calls, oldName, newName);
        if (calls == failRenameNumber)
            return FsStatus{failWith, 0};
        return PosixFileSystem::rename(folder, oldName, newName);
    }
};

const ConvertOptions kUpper{CaseMode::Upper, true, true, SpaceMode::SpaceToUnderscore};

RenameTool upperTool() {
    RenameTool t;
    t.transform = [](int, const std::u32string& n) {
        return TransformResult::of(ConvertName(n, kUpper));
    };
    return t;
}

std::string upperOf(const std::string& n) { return encodeName(ConvertName(decodeName(n), kUpper)); }

void fill(const std::string& d, const std::vector<std::string>& names) {
    for (const std::string& n : names)
        test::writeFile(d, n, "content of " + n);
}

const std::vector<std::string> kSix{"a one.txt",  "b two.txt",  "c three.txt",
                                    "d four.txt", "e five.txt", "f six.txt"};

class RealFaults : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { fs.setNoReplaceUnsupported(GetParam()); }
    FaultyFs fs;
};

TEST_P(RealFaults, TheNthRenameFailingForEveryN) {
    for (int n = 1; n <= static_cast<int>(kSix.size()); ++n) {
        SCOPED_TRACE("failing rename " + std::to_string(n));
        TempFolder dir;
        fill(dir.path(), kSix);
        const Snapshot before = test::snapshot(dir.path());
        fs.calls = 0;
        fs.failRenameNumber = n;
        fs.failWith = FsError::Busy;
        RealList list(fs, dir.path());
        list.selectAll();
        const PassResult r = RunRenamePass(list, fs, upperTool());
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.outcome, PassResult::Outcome::Stopped);
        EXPECT_EQ(r.renamed, n - 1);
        const std::string failed = kSix[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(encodeName(r.failure->oldName), failed);
        EXPECT_EQ(encodeName(*r.failure->newName), upperOf(failed));
        EXPECT_EQ(r.failure->fs.error, FsError::Busy);
        std::map<std::string, std::string> done;
        for (int i = 0; i < n - 1; ++i)
            done[kSix[static_cast<std::size_t>(i)]] = upperOf(kSix[static_cast<std::size_t>(i)]);
        EXPECT_EQ(test::snapshot(dir.path()), test::renamed(before, done));
    }
}

// Undo renames back only the files the pass renamed: a name the pass gave
// that another program has since given to a new file is left alone and
// named, the rest put back, and that file is no longer the pass's to undo.
TEST_P(RealFaults, UndoLeavesAFileThatTookARenamedName) {
    TempFolder dir;
    fill(dir.path(), {"a.txt", "b.txt"});
    RealList list(fs, dir.path());
    list.selectAll();
    RenameTool toBak;
    toBak.transform = [](int, const std::u32string& n) {
        return TransformResult::of(n.substr(0, n.size() - 3) + U"bak");
    };
    UndoHistory history;
    history.record(RunRenamePass(list, fs, toBak));
    const std::string d = dir.path();
    ASSERT_EQ(::rename((d + "/a.bak").c_str(), (d + "/moved").c_str()), 0);
    test::writeFile(d, "a.bak", "a new file");
    const Snapshot before = test::snapshot(d);

    const PassResult r = history.undoLast(list, fs);
    EXPECT_FALSE(r.failure);
    ASSERT_EQ(r.unusual.size(), 1u);
    EXPECT_EQ(r.unusual[0].oldName, U"a.bak");
    EXPECT_EQ(r.unusual[0].left, LeftReason::NotThatFile);
    EXPECT_EQ(r.renamed, 1);
    EXPECT_EQ(test::snapshot(d), test::renamed(before, {{"b.bak", "b.txt"}}));
    EXPECT_TRUE(history.empty());
}

// What changed between the listing and the click stops the pass before it is
// touched: an entry that became a folder or a link, and a folder moved away
// and replaced by another at the same path (whose files are never renamed).
TEST_P(RealFaults, WhatChangedSinceTheListingIsNotRenamed) {
    struct Case {
        const char* what;
        std::function<void(const std::string& d, const std::string& elsewhere)> change;
        FailureReason reason;
        FsError fs;
    };
    const std::vector<Case> cases{
        {"a file became a folder",
         [](const std::string& d, const std::string&) {
             ::unlink((d + "/b.txt").c_str());
             ::mkdir((d + "/b.txt").c_str(), 0755);
         },
         FailureReason::KindChanged, FsError::None},
        {"a file became a link to one",
         [](const std::string& d, const std::string&) {
             ::unlink((d + "/b.txt").c_str());
             test::writeFile(d, "elsewhere.txt", "E");
             ::symlink("elsewhere.txt", (d + "/b.txt").c_str());
         },
         FailureReason::KindChanged, FsError::None},
        {"the folder was replaced by another",
         [](const std::string& d, const std::string& elsewhere) {
             ::rename(d.c_str(), (elsewhere + "/moved").c_str());
             ::mkdir(d.c_str(), 0755);
             fill(d, {"a.txt", "b.txt", "c.txt"});
         },
         FailureReason::FileSystem, FsError::FolderChanged},
    };
    for (const Case& c : cases) {
        TempFolder root, elsewhere;
        const std::string d = root.path() + "/shown";
        ::mkdir(d.c_str(), 0755);
        fill(d, {"a.txt", "b.txt", "c.txt"});
        RealList list(fs, d);
        list.selectAll();
        c.change(d, elsewhere.path());
        const Snapshot here = test::snapshot(d), moved = test::snapshot(elsewhere.path());
        const PassResult r = RunRenamePass(list, fs, upperTool());
        ASSERT_TRUE(r.failure) << c.what;
        EXPECT_EQ(r.failure->reason, c.reason) << c.what;
        EXPECT_EQ(r.failure->fs.error, c.fs) << c.what;
        // Only what came before the changed entry was renamed.
        const std::map<std::string, std::string> renamed =
            c.reason == FailureReason::KindChanged
                ? std::map<std::string, std::string>{{"a.txt", "A.TXT"}}
                : std::map<std::string, std::string>{};
        EXPECT_EQ(test::snapshot(d), test::renamed(here, renamed)) << c.what;
        EXPECT_EQ(test::snapshot(elsewhere.path()), moved) << c.what;
    }
}

TEST_P(RealFaults, AFileThatVanishesInThePass) {
    TempFolder dir;
    fill(dir.path(), kSix);
    Snapshot before = test::snapshot(dir.path());
    fs.beforeRename = [&](int number, const std::string& oldName, const std::string&) {
        if (number == 3)
            ::unlink((dir.path() + "/" + oldName).c_str());
    };
    RealList list(fs, dir.path());
    list.selectAll();
    const PassResult r = RunRenamePass(list, fs, upperTool());
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(encodeName(r.failure->oldName), "c three.txt");
    EXPECT_EQ(r.failure->fs.error, FsError::NotFound);
    before.erase("c three.txt"); // taken away by someone else, not by the pass
    EXPECT_EQ(test::snapshot(dir.path()),
              test::renamed(before, {{"a one.txt", "A_ONE.TXT"}, {"b two.txt", "B_TWO.TXT"}}));
}

TEST_P(RealFaults, ATargetCreatedBetweenTheTestAndTheRename) {
    TempFolder dir;
    fill(dir.path(), {"x.jpg", "y.jpg"});
    // The custom-text tool asks whether the new name is free, then renames.
    RunningNumber number;
    RenameTool tool;
    tool.transform = [&](int, const std::u32string& n) {
        auto r = BuildCustomName(n, {U"pic", U"1", TextPlacement::ReplacePrefix, {}, {}}, number);
        return TransformResult::of(*r.name);
    };
    int asked = 0;
    tool.wantsNewName = [&](const std::string& folder, const std::u32string&, const std::u32string&,
                            const std::string& newBytes) {
        ++asked;
        return !fs.plainFileExists(folder, newBytes);
    };
    fs.beforeRename = [&](int number2, const std::string&, const std::string& newName) {
        if (number2 == 2)
            test::writeFile(dir.path(), newName, "someone else's file");
    };
    const Snapshot before = test::snapshot(dir.path());
    RealList list(fs, dir.path());
    list.selectAll();
    const PassResult r = RunRenamePass(list, fs, tool);
    EXPECT_EQ(asked, 2);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::Exists);
    EXPECT_EQ(encodeName(r.failure->oldName), "y.jpg");
    EXPECT_EQ(encodeName(*r.failure->newName), "pic2.jpg");
    Snapshot expected = test::renamed(before, {{"x.jpg", "pic1.jpg"}});
    expected["pic2.jpg"] = "someone else's file";
    EXPECT_EQ(test::snapshot(dir.path()), expected);
}

TEST_P(RealFaults, ANameOf255BytesMadeLonger) {
    TempFolder dir;
    // 85 Chinese characters of three bytes each.
    std::string longName;
    for (int i = 0; i < 85; ++i)
        longName += "名";
    ASSERT_EQ(longName.size(), 255u);
    fill(dir.path(), {"short.txt", longName});
    const Snapshot before = test::snapshot(dir.path());
    RunningNumber number;
    RenameTool tool;
    tool.transform = [&](int, const std::u32string& n) {
        return TransformResult::of(
            *BuildCustomName(n, {U"新", U"1", TextPlacement::BeforePrefix, {}, {}}, number).name);
    };
    RealList list(fs, dir.path());
    list.selectAll();
    const PassResult r = RunRenamePass(list, fs, tool);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::NameTooLong);
    EXPECT_EQ(encodeName(r.failure->oldName), longName);
    const Snapshot after = test::snapshot(dir.path());
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after.at(longName), before.at(longName));
}

TEST_P(RealFaults, AFolderThatDisappearsBeforeThePass) {
    TempFolder parent;
    const std::string d = parent.path() + "/shown";
    ::mkdir(d.c_str(), 0755);
    fill(d, {"a.txt", "b.txt"});
    RealList list(fs, d);
    list.selectAll();
    ASSERT_EQ(list.ListCount(), 2);
    ::rename(d.c_str(), (parent.path() + "/moved").c_str());
    const PassResult r = RunRenamePass(list, fs, upperTool());
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::NotFound);
    EXPECT_EQ(encodeName(r.failure->oldName), "a.txt");
    EXPECT_EQ(test::snapshot(parent.path() + "/moved"),
              (Snapshot{{"a.txt", "content of a.txt"}, {"b.txt", "content of b.txt"}}));
}

TEST_P(RealFaults, AFolderTheUserMayNotWrite) {
    TempFolder dir;
    fill(dir.path(), {"a.txt", "b.txt"});
    const Snapshot before = test::snapshot(dir.path());
    ::chmod(dir.path().c_str(), 0555);
    // Root may write anywhere: the pass then runs as an ordinary user.
    const int code = inChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 77;
        RealList list(fs, dir.path());
        if (list.ListCount() != 2)
            return 3;
        list.selectAll();
        const PassResult r = RunRenamePass(list, fs, upperTool());
        if (!r.failure || r.failure->fs.error != FsError::PermissionDenied ||
            r.failure->oldName != U"a.txt" || r.renamed != 0)
            return 4;
        return 0;
    });
    ::chmod(dir.path().c_str(), 0755);
    if (code == 77)
        GTEST_SKIP() << "cannot become an ordinary user";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(test::snapshot(dir.path()), before);
}

TEST_P(RealFaults, AReadOnlyMount) {
    TempFolder dir;
    const bool noReplace = GetParam();
    // A private tmpfs in a user and mount namespace of the child, filled and
    // then remounted read-only.
    const int code = inChild([&] {
        if (!test::mountPrivateTmpfs(dir.path(), "size=1m"))
            return 77;
        fill(dir.path(), {"a.txt", "b.txt"});
        const Snapshot before = test::snapshot(dir.path());
        if (::mount("none", dir.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return 77;
        FaultyFs ro;
        ro.setNoReplaceUnsupported(noReplace);
        RealList list(ro, dir.path());
        list.selectAll();
        const PassResult r = RunRenamePass(list, ro, upperTool());
        if (!r.failure || r.failure->fs.error != FsError::ReadOnly ||
            r.failure->oldName != U"a.txt")
            return 4;
        return test::snapshot(dir.path()) == before ? 0 : 5;
    });
    if (code == 77)
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(code, 0);
}

INSTANTIATE_TEST_SUITE_P(NoReplace, RealFaults, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "LinkFallback" : "Renameat2"; });

} // namespace
} // namespace nw
