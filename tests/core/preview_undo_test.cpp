// The dry run against the real pass, and undo, over real folders.
#include "core/convert_name.h"
#include "core/dry_run.h"
#include "core/undo.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

using test::RealList;
using test::Snapshot;
using test::TempFolder;

RenameTool upper(FileSystem&) {
    RenameTool t;
    t.transform = [](int, const std::u32string& n) {
        return TransformResult::of(
            ConvertName(n, {CaseMode::Upper, true, true, SpaceMode::SpaceToUnderscore}));
    };
    return t;
}

// The batch page's shape: a numbered name, an existence test that skips, and
// entries left alone.
RenameTool numbered(FileSystem& fs) {
    auto number = std::make_shared<int>(0);
    RenameTool t;
    t.wantsEntry = [](const std::u32string& n) { return n.find(U"keep") == std::u32string::npos; };
    t.transform = [number](int, const std::u32string&) {
        return TransformResult::of(
            U"n" + std::u32string(1, char32_t(U'0' + static_cast<unsigned>(++*number))) + U".txt");
    };
    t.wantsNewName = [&fs](const std::string& folder, const std::u32string&, const std::u32string&,
                           const std::string& b) { return !fs.plainFileExists(folder, b); };
    return t;
}

std::vector<std::string> kinds(const Preview& p) {
    static const char* const names[] = {"rename", "unchanged", "left",
                                        "exists", "stop",      "not reached"};
    std::vector<std::string> out;
    for (const PreviewRow& r : p.rows)
        out.push_back(encodeName(r.oldName) + ">" + encodeName(r.newName) + " " +
                      names[static_cast<int>(r.kind)]);
    return out;
}

struct Case {
    const char* what;
    std::vector<std::string> files;
    RenameTool (*tool)(FileSystem&);
    std::vector<std::string> rows;
};

class DryRunCases : public ::testing::TestWithParam<Case> {};

// Each outcome, and the real pass then doing exactly what the dry run said.
TEST_P(DryRunCases, PredictsThePass) {
    const Case& c = GetParam();
    TempFolder dir;
    for (const std::string& f : c.files)
        test::writeFile(dir.path(), f, "content of " + f);
    PosixFileSystem fs;
    RealList list(fs, dir.path());
    list.selectAll();
    const Snapshot before = test::snapshot(dir.path());
    const Preview p = DryRun(list, fs, c.tool);
    EXPECT_EQ(kinds(p), c.rows);
    EXPECT_EQ(test::snapshot(dir.path()), before); // nothing touched
    EXPECT_EQ(list.refreshes, 0);

    const PassResult real = RunRenamePass(list, fs, c.tool(fs));
    std::map<std::string, std::string> renames;
    for (const RenameRecord& r : p.pass.done)
        renames[r.oldName] = r.newName;
    EXPECT_EQ(test::snapshot(dir.path()), test::renamed(before, renames));
    EXPECT_EQ(real.outcome, p.pass.outcome);
    EXPECT_EQ(real.failure.has_value(), p.pass.failure.has_value());
    if (real.failure && p.pass.failure) {
        EXPECT_EQ(real.failure->index, p.pass.failure->index);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, DryRunCases,
    ::testing::Values(Case{"upper",
                           {"a b.txt", "C.TXT", "d.txt", "D.TXT", "e.txt"},
                           upper,
                           {"a b.txt>A_B.TXT rename", "C.TXT>C.TXT unchanged",
                            "D.TXT>D.TXT unchanged", "d.txt>D.TXT stop", "e.txt> not reached"}},
                      // n1 is taken by a file the list shows; n2 by one made free on the way.
                      Case{"numbered",
                           {"a.txt", "b keep.txt", "c.txt", "n1.txt", "x.txt"},
                           numbered,
                           {"a.txt>n1.txt exists", "b keep.txt> left", "c.txt>n2.txt rename",
                            "n1.txt>n3.txt rename", "x.txt>n4.txt rename"}}),
    [](const auto& param) { return std::string(param.param.what); });

TEST(Undo, PutsBackPassByPassAndStopsWhereANameIsTaken) {
    TempFolder dir;
    for (const char* f : {"a.txt", "b.txt", "c.txt", "Mixed.Txt"})
        test::writeFile(dir.path(), f, std::string("content of ") + f);
    PosixFileSystem fs;
    RealList list(fs, dir.path());
    const Snapshot start = test::snapshot(dir.path());
    UndoHistory history;

    // A pass that stops half way (c.txt's new name is taken), then a
    // letter-case-only pass over what is there.
    test::writeFile(dir.path(), "C.TXT.", "in the way");
    RenameTool toDot;
    toDot.transform = [](int, const std::u32string& n) {
        return TransformResult::of(
            ConvertName(n, {CaseMode::Upper, true, true, SpaceMode::DeleteSpace}) + U".");
    };
    list.Refresh();
    list.selectAll();
    const PassResult first = RunRenamePass(list, fs, toDot);
    ASSERT_TRUE(first.failure);
    history.record(first);
    ::unlink((dir.path() + "/C.TXT.").c_str());
    list.Refresh();
    list.selectAll();
    history.record(RunRenamePass(list, fs, upper(fs)));
    EXPECT_EQ(history.passes(), 2u);

    // The second pass goes back first.
    PassResult r = history.undoLast(list, fs);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(history.passes(), 1u);
    // An old name taken meanwhile stops the undo there; the rest stays.
    test::writeFile(dir.path(), "a.txt", "someone else's");
    r = history.undoLast(list, fs);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->fs.error, FsError::Exists);
    EXPECT_EQ(encodeName(*r.failure->newName), "a.txt");
    EXPECT_EQ(history.passes(), 1u);
    ::rename((dir.path() + "/a.txt").c_str(), (dir.path() + "/elsewhere").c_str());
    r = history.undoLast(list, fs);
    EXPECT_FALSE(r.failure);
    EXPECT_TRUE(history.empty());
    Snapshot expected = start;
    expected["elsewhere"] = "someone else's";
    EXPECT_EQ(test::snapshot(dir.path()), expected);
    EXPECT_EQ(history.undoLast(list, fs).outcome, PassResult::Outcome::Guarded);
}

TEST(Undo, GbkNamesComeBackAsTheirBytes) {
    TempFolder dir;
    const std::string gbk = "\xD9\x59\xC1\xCF.txt"; // 資料.txt
    test::writeFile(dir.path(), gbk, "data");
    PosixFileSystem fs;
    RealList list(fs, dir.path());
    list.selectAll();
    RenameTool toUtf8;
    toUtf8.transform = [](int, const std::u32string& n) {
        TransformResult t = TransformResult::of(n);
        t.encoding = NameEncoding::Utf8;
        return t;
    };
    UndoHistory history;
    history.record(RunRenamePass(list, fs, toUtf8));
    EXPECT_EQ(test::snapshot(dir.path()), (Snapshot{{"資料.txt", "data"}}));
    EXPECT_FALSE(history.undoLast(list, fs).failure);
    EXPECT_EQ(test::snapshot(dir.path()), (Snapshot{{gbk, "data"}}));
}

} // namespace
} // namespace nw
