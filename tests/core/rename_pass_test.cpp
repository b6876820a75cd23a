#include "core/convert_name.h"
#include "core/rename_pass.h"
#include "platform/name_codec.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace nw {
namespace {

test::FakeFileSystem folderOf(std::initializer_list<const char*> names) {
    test::FakeFileSystem fs;
    fs.folders["/d"];
    for (const char* n : names)
        fs.add("/d", n, std::string("content of ") + n);
    return fs;
}

RenameTool upper() {
    RenameTool t;
    t.transform = [](int, const std::u32string& n) {
        return TransformResult::of(
            ConvertName(n, {CaseMode::Upper, true, true, SpaceMode::DeleteSpace}));
    };
    return t;
}

std::multiset<std::string> contents(test::FakeFileSystem& fs) {
    std::multiset<std::string> out;
    for (const auto& [n, f] : fs.folders["/d"])
        out.insert(f.content);
    return out;
}

TEST(RenamePass, NothingSelectedRenamesNothingAndRefreshesOnce) {
    auto fs = folderOf({"a", "b"});
    test::RealList list(fs, "/d");
    int calls = 0;
    RenameTool t;
    t.transform = [&](int, const std::u32string& n) {
        ++calls;
        return TransformResult::of(n);
    };
    const PassResult r = RunRenamePass(list, fs, t);
    EXPECT_EQ(r.outcome, PassResult::Outcome::Completed);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(fs.renameCalls, 0);
    EXPECT_EQ(list.refreshes, 1);
}

TEST(RenamePass, ReachesTheLastEntry) {
    auto fs = folderOf({"a", "b", "c"});
    test::RealList list(fs, "/d");
    list.selected = {2};
    const auto before = contents(fs);
    EXPECT_EQ(RunRenamePass(list, fs, upper()).renamed, 1);
    EXPECT_EQ(fs.renames, (std::vector<std::pair<std::string, std::string>>{{"c", "C"}}));
    EXPECT_EQ(contents(fs), before);
}

TEST(RenamePass, StopsAtTheNthFailureForEveryN) {
    for (int n = 1; n <= 4; ++n) {
        auto fs = folderOf({"a", "b", "c", "d"});
        test::RealList list(fs, "/d");
        list.selected = {0, 1, 2, 3};
        fs.failRenameNumber = n;
        fs.failWith = FsError::PermissionDenied;
        const auto before = contents(fs);
        const PassResult r = RunRenamePass(list, fs, upper());
        EXPECT_EQ(r.outcome, PassResult::Outcome::Stopped);
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->index, n - 1);
        EXPECT_EQ(r.failure->oldName,
                  std::u32string(1, char32_t(U'a' + static_cast<unsigned>(n - 1))));
        EXPECT_EQ(r.failure->newName,
                  std::u32string(1, char32_t(U'A' + static_cast<unsigned>(n - 1))));
        EXPECT_EQ(r.failure->fs.error, FsError::PermissionDenied);
        EXPECT_EQ(r.renamed, n - 1);
        EXPECT_EQ(fs.renameCalls, n); // later entries untouched
        EXPECT_EQ(list.refreshes, 0);
        EXPECT_EQ(contents(fs), before);
    }
}

TEST(RenamePass, AnUnchangedNameDoesNotEndThePass) {
    auto fs = folderOf({"A", "b"});
    test::RealList list(fs, "/d");
    list.selected = {0, 1};
    const PassResult r = RunRenamePass(list, fs, upper());
    EXPECT_EQ(r.outcome, PassResult::Outcome::Completed);
    EXPECT_EQ(fs.folders["/d"].count("B"), 1u);
}

TEST(RenamePass, TwoEntriesConvergingStopAtTheSecond) {
    auto fs = folderOf({"a b", "ab"});
    test::RealList list(fs, "/d");
    list.selected = {0, 1};
    const auto before = contents(fs);
    const PassResult r = RunRenamePass(list, fs, upper());
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::Exists);
    EXPECT_EQ(r.failure->oldName, U"ab");
    EXPECT_EQ(fs.folders["/d"]["AB"].content, "content of a b");
    EXPECT_EQ(fs.folders["/d"]["ab"].content, "content of ab");
    EXPECT_EQ(contents(fs), before);
}

TEST(RenamePass, RefusesANameThatIsNotOnePathComponent) {
    const std::vector<std::pair<std::u32string, FailureReason>> bad{
        {U"", FailureReason::EmptyName},
        {U".", FailureReason::DotName},
        {U"..", FailureReason::DotName},
        {U"../x", FailureReason::SlashInName},
        {U"sub/x", FailureReason::SlashInName},
        {std::u32string(U"a\0b", 3), FailureReason::NulInName},
    };
    for (const auto& [name, reason] : bad) {
        auto fs = folderOf({"a", "b"});
        test::RealList list(fs, "/d");
        list.selected = {0, 1};
        RenameTool t;
        t.transform = [n = name](int, const std::u32string&) { return TransformResult::of(n); };
        const PassResult r = RunRenamePass(list, fs, t);
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->reason, reason);
        EXPECT_EQ(r.failure->index, 0);
        EXPECT_EQ(fs.renameCalls, 0); // the file system was never asked
    }
}

TEST(RenamePass, HooksGuardSkipAndFailingTransform) {
    auto fs = folderOf({"a", "b", "c"});
    test::RealList list(fs, "/d");
    list.selected = {0, 1, 2};
    RenameTool t = upper();
    t.guard = [] { return false; };
    EXPECT_EQ(RunRenamePass(list, fs, t).outcome, PassResult::Outcome::Guarded);
    EXPECT_EQ(list.refreshes, 0);

    t.guard = nullptr;
    t.wantsEntry = [](const std::u32string& n) { return n != U"b"; };
    std::vector<std::u32string> askedNew;
    t.wantsNewName = [&](const std::string& folder, const std::u32string&, const std::u32string& n,
                         const std::string&) {
        EXPECT_EQ(folder, "/d");
        askedNew.push_back(n);
        return n != U"C";
    };
    EXPECT_EQ(RunRenamePass(list, fs, t).renamed, 1);
    EXPECT_EQ(askedNew, (std::vector<std::u32string>{U"A", U"C"}));
    EXPECT_EQ(fs.renames, (std::vector<std::pair<std::string, std::string>>{{"a", "A"}}));

    list.selected = {0, 1, 2};
    int calls = 0;
    RenameTool failing;
    failing.transform = [&](int, const std::u32string& n) {
        return ++calls == 2 ? TransformResult::fail(FailureReason::NumberOverflow)
                            : TransformResult::of(n + U"1");
    };
    const PassResult r = RunRenamePass(list, fs, failing);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->reason, FailureReason::NumberOverflow);
    EXPECT_FALSE(r.failure->newName);
    EXPECT_EQ(calls, 2);
}

TEST(RenamePass, AFileThatVanishesMidwayStopsThePass) {
    auto fs = folderOf({"a", "b", "c"});
    test::RealList list(fs, "/d");
    list.selected = {0, 1, 2};
    fs.beforeRename = [&](int n) {
        if (n == 2)
            fs.folders["/d"].erase("b"); // someone else deleted it
    };
    const PassResult r = RunRenamePass(list, fs, upper());
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::NotFound);
    EXPECT_EQ(r.failure->oldName, U"b");
    EXPECT_EQ(fs.folders["/d"].count("c"), 1u);
}

// Folders of random byte names: what no code page reads is left byte for byte
// by a tool that works on characters, and said so; a tool that makes a new
// name of its own renames it; nothing is lost either way.
TEST(RenamePass, NamesNoCodePageReadsAreLeftByteForByte) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> len(1, 10), byte(0x20, 0xFF);
    int undecoded = 0;
    for (int round = 0; round < 40; ++round) {
        test::FakeFileSystem fs;
        fs.folders["/d"];
        for (int k = 0; k < 8; ++k) {
            std::string name(static_cast<std::size_t>(len(rng)), ' ');
            for (char& c : name)
                c = static_cast<char>(byte(rng));
            std::replace(name.begin(), name.end(), '/', '_');
            if (name != "." && name != ".." && !fs.folders["/d"].count(name))
                fs.add("/d", name, "content of " + name);
        }
        test::RealList list(fs, "/d");
        list.selectAll();
        const auto before = contents(fs);
        std::set<std::string> unread;
        for (const ListedFile& f : list.entries)
            if (isUndecoded(f.name))
                unread.insert(f.bytes);
        undecoded += static_cast<int>(unread.size());

        RenameTool characters = upper();
        const PassResult r = RunRenamePass(list, fs, characters);
        ASSERT_FALSE(r.failure);
        ASSERT_EQ(r.unusual.size(), unread.size());
        for (const PassStep& s : r.unusual)
            EXPECT_EQ(s.left, LeftReason::Undecoded);
        for (const auto& [from, to] : fs.renames)
            EXPECT_EQ(unread.count(from), 0u);
        for (const std::string& n : unread)
            EXPECT_EQ(fs.folders["/d"].count(n), 1u);
        EXPECT_EQ(contents(fs), before);

        // Numbered names leave nothing behind.
        list.selectAll();
        RenameTool numbered;
        numbered.readsCharacters = false;
        numbered.transform = [](int i, const std::u32string&) {
            return TransformResult::of(U"n" + std::u32string(1, U'a' + static_cast<char32_t>(i)));
        };
        const PassResult all = RunRenamePass(list, fs, numbered);
        EXPECT_TRUE(all.unusual.empty());
        EXPECT_EQ(contents(fs), before);
        for (const auto& [name, f] : fs.folders["/d"])
            EXPECT_EQ(name.substr(0, 1), "n");
    }
    EXPECT_GT(undecoded, 20); // the property was put to the test
}

} // namespace
} // namespace nw
