// Recovery through the FileSystem interface, run against the in-memory file
// system: a journal that cannot be written stops the pass before its first
// rename; a pass cut off on a drive that is then pulled keeps its journal
// until the drive is back, and is settled then; another folder at the path
// is never touched.
#include "core/dry_run.h"
#include "core/extension.h"
#include "platform/journal.h"
#include "platform/name_codec.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

namespace nw {
namespace {

using test::FakeFileSystem;

const std::string kFolder = "/media/stick/photos";

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.')
                out.push_back(e->d_name);
        ::closedir(d);
    }
    return out;
}

std::map<std::string, std::string> contents(FakeFileSystem& fs) {
    std::map<std::string, std::string> out;
    for (const auto& [name, f] : fs.folders[kFolder])
        out[name] = f.content;
    return out;
}

TEST(Recovery, AJournalThatCannotBeWrittenStopsThePassBeforeItsFirstRename) {
    test::TempFolder state;
    test::writeFile(state.path(), "not-a-folder", "x");
    FakeFileSystem fs;
    fs.journalFolder = state.path() + "/not-a-folder/namewright";
    fs.add(kFolder, "a.txt", "A");
    fs.add(kFolder, "b.txt", "B");
    test::RealList list(fs, kFolder);
    list.selectAll();
    RenameTool tool;
    tool.transform = [](int, const std::u32string& n) {
        return TransformResult::of(ChangeFileExt(n, U"bak"));
    };
    const PassResult r = RunPlannedPass(list, fs, tool, [&](FileSystem&) { return tool; });
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->reason, FailureReason::JournalFailed);
    EXPECT_EQ(r.renamed, 0);
    EXPECT_EQ(fs.renameCalls, 0);
    EXPECT_EQ(contents(fs), (std::map<std::string, std::string>{{"a.txt", "A"}, {"b.txt", "B"}}));
}

// What a pass cut off in the middle of one rename leaves, recovery's answer
// for it, and the folder once that answer is carried out.
struct Cut {
    const char* what;
    PlannedRename inFlight;
    std::map<std::string, std::string> left; // the folder as the cut left it
    int RecoveryReport::*found;
    std::map<std::string, std::string> settled;
};

TEST(Recovery, ACutPassWaitsForItsDriveAndNeverTouchesAnotherFolder) {
    const std::string tmp = temporaryName(static_cast<long>(::getpid()), 1);
    const std::string probe = temporaryName(static_cast<long>(::getpid()), -1);
    const std::vector<Cut> cuts{
        {"a change of case, the file under the temporary name",
         {"a.txt", "A.TXT"},
         {{tmp, "A"}, {"b.txt", "B"}},
         &RecoveryReport::temporaries,
         {{"A.TXT", "A"}, {"b.txt", "B"}}},
        {"an empty placeholder claimed for the new name",
         {"a.txt", "a.bak"},
         {{"a.txt", "A"}, {"a.bak", ""}, {"b.txt", "B"}},
         &RecoveryReport::placeholders,
         {{"a.txt", "A"}, {"b.txt", "B"}}},
        {"the drive's probe cut off: an empty temporary file of its own",
         {"a.txt", "a.bak"},
         {{"a.txt", "A"}, {probe, ""}, {"b.txt", "B"}},
         &RecoveryReport::emptyTemporaries,
         {{"a.txt", "A"}, {"b.txt", "B"}}},
        {"a second name made, the old one not yet removed",
         {"a.txt", "a.bak"},
         {{"a.txt", "A"}, {"a.bak", "A"}, {"b.txt", "B"}},
         &RecoveryReport::secondNames,
         {{"a.bak", "A"}, {"b.txt", "B"}}},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.what);
        test::TempFolder state;
        FakeFileSystem fs;
        fs.journalFolder = state.path() + "/namewright";
        fs.folderNumbers[kFolder] = 7;
        for (const auto& [name, content] : cut.left)
            fs.add(kFolder, name, content);
        {
            PassJournal j;
            ASSERT_TRUE(PassJournal::begin(fs.journalFolder, kFolder, *fs.folderId(kFolder),
                                           {cut.inFlight, {"b.txt", "b.bak"}}, j)
                            .ok());
            ASSERT_TRUE(j.started(cut.inFlight.oldName, cut.inFlight.newName).ok());
            j.finish(false); // cut off: kept for recovery
        }
        ASSERT_EQ(filesIn(fs.journalFolder).size(), 1u);

        // The drive is pulled: the journal waits for it.
        const FakeFileSystem::Folder away = fs.folders[kFolder];
        fs.folders.erase(kFolder);
        RecoveryReport r = fs.recoverInterruptedPasses();
        EXPECT_EQ(r.waiting, std::vector<std::string>{kFolder});
        EXPECT_EQ(r.restored, 0);
        EXPECT_EQ(filesIn(fs.journalFolder).size(), 1u);

        // Another folder stands at the path: nothing in it is touched, and
        // the journal is set aside for the user.
        {
            FakeFileSystem other;
            other.journalFolder = fs.journalFolder;
            other.folders[kFolder] = away;
            other.folderNumbers[kFolder] = 8;
            r = other.recoverInterruptedPasses();
            ASSERT_EQ(r.setAside.size(), 1u);
            EXPECT_EQ(r.setAside[0].folder, kFolder);
            EXPECT_EQ(r.restored, 0);
            EXPECT_EQ(contents(other), cut.left);
            const auto kept = filesIn(fs.journalFolder);
            ASSERT_EQ(kept.size(), 1u);
            // Set aside under a name recovery never reads again.
            EXPECT_NE(kept[0].find(".kept"), std::string::npos) << kept[0];
            // Put back as it was, for the drive's return below.
            ASSERT_EQ(
                ::rename((fs.journalFolder + "/" + kept[0]).c_str(),
                         r.setAside[0].journal.substr(0, r.setAside[0].journal.size() - 5).c_str()),
                0);
        }

        // The drive is back: the one rename in flight is settled, every file
        // is there once, and the journal is gone.
        fs.folders[kFolder] = away;
        r = fs.recoverInterruptedPasses();
        EXPECT_TRUE(r.unresolved.empty());
        EXPECT_TRUE(r.setAside.empty());
        EXPECT_EQ(r.*cut.found, 1);
        EXPECT_EQ(contents(fs), cut.settled);
        EXPECT_TRUE(filesIn(fs.journalFolder).empty());
    }
}

} // namespace
} // namespace nw
