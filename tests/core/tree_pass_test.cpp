// Passes over whole trees, on real folders: every entry renamed in its own
// folder, a folder after what it holds, one running number through the list,
// a stop between two folders, the dry run showing what the pass then does,
// undo from the history's record, and no file lost or replaced.
#include "core/convert_name.h"
#include "core/extension.h"
#include "core/find_replace.h"
#include "core/legacy_names.h"
#include "core/text.h"
#include "core/tree_pass.h"
#include "core/undo.h"
#include "platform/name_codec.h"
#include "platform/phrase_converter.h"
#include "platform/posix_file_system.h"
#include "platform/tree_listing.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/real_list.h"
#include "tests/support/sample_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>

namespace nw {
namespace {

namespace fsys = std::filesystem;

using TreeList = test::RealTreeList;

void put(const std::string& root, const std::string& path) {
    fsys::create_directories(fsys::path(root + "/" + path).parent_path());
    std::ofstream(root + "/" + path) << path;
}

// A music library in Traditional Chinese: artist, album, track.
void library(const std::string& root) {
    for (const char* p :
         {"周杰倫/葉惠美/01 以父之名.mp3", "周杰倫/葉惠美/02 懦夫.mp3",
          "周杰倫/范特西/01 愛在西元前.mp3", "王菲/只愛陌生人/01 夢中人.mp3", "說明.txt"})
        put(root, p);
}

// 繁体转简体's conversion (tw2s), as a tool over each name.
struct Tw2s {
    PhraseConverters converters;
    PhraseLoadError error{};
    std::shared_ptr<const PhraseConverter> converter =
        converters.get("tw2s.json", ChineseScript::Simplified, error);
    std::function<RenameTool(FileSystem&)> tool() const {
        return [c = converter](FileSystem&) {
            RenameTool t;
            t.transform = [c](int, const std::u32string& n) {
                return TransformResult::of(c->convert(n));
            };
            return t;
        };
    }
};

TEST(TreePass, ConvertsALibraryFoldersAfterWhatTheyHoldAndUndoesIt) {
    test::TempFolder dir;
    library(dir.path());
    const auto before = test::snapshotTree(dir.path());
    PosixFileSystem fs;
    const Tw2s tw2s;
    ASSERT_TRUE(tw2s.converter);
    const auto makeTool = tw2s.tool();
    TreeList list(fs, dir.path());
    // The dry run says what the pass will do, and changes nothing.
    const Preview dry = DryRunTree(list, fs, makeTool);
    EXPECT_EQ(test::snapshotTree(dir.path()), before);
    const PassResult r = RunTreePass(list, fs, makeTool(fs), makeTool);
    ASSERT_FALSE(r.failure);
    EXPECT_EQ(r.renamed, dry.pass.renamed);
    ASSERT_EQ(r.done.size(), dry.pass.done.size());
    for (std::size_t i = 0; i < r.done.size(); ++i)
        EXPECT_EQ(
            std::tie(r.done[i].sub, r.done[i].oldName, r.done[i].newName),
            std::tie(dry.pass.done[i].sub, dry.pass.done[i].oldName, dry.pass.done[i].newName));
    // Every file where its names say, holding what it held; nothing else.
    const std::map<std::string, std::string> expected{
        {"周杰伦", "<folder>"},
        {"周杰伦/叶惠美", "<folder>"},
        {"周杰伦/叶惠美/01 以父之名.mp3", "周杰倫/葉惠美/01 以父之名.mp3"},
        {"周杰伦/叶惠美/02 懦夫.mp3", "周杰倫/葉惠美/02 懦夫.mp3"},
        {"周杰伦/范特西", "<folder>"},
        {"周杰伦/范特西/01 爱在西元前.mp3", "周杰倫/范特西/01 愛在西元前.mp3"},
        {"王菲", "<folder>"},
        {"王菲/只爱陌生人", "<folder>"},
        {"王菲/只爱陌生人/01 梦中人.mp3", "王菲/只愛陌生人/01 夢中人.mp3"},
        {"说明.txt", "說明.txt"}};
    EXPECT_EQ(test::snapshotTree(dir.path()), expected);
    // Each record names its folder as it stood when it was renamed, and a
    // folder's record comes after those of everything inside it.
    EXPECT_EQ(std::tie(r.done.front().sub, r.done.front().oldName), std::tie("", "說明.txt"));
    for (std::size_t i = 0; i < r.done.size(); ++i) {
        const std::string folder =
            (r.done[i].sub.empty() ? "" : r.done[i].sub + "/") + r.done[i].oldName + "/";
        for (std::size_t j = i + 1; j < r.done.size(); ++j)
            EXPECT_NE((r.done[j].sub + "/").rfind(folder, 0), 0U) << r.done[j].oldName;
    }
    EXPECT_EQ(list.refreshes, 1); // after the pass

    // Undo from the record on disk: a folder whose old name another file has
    // taken since stays as it is, and what it holds is put back where it is;
    // once the name is free again the folder goes back too.
    ASSERT_EQ(r.done.size(), 6U); // four names are the same in both scripts
    // Kept as the history keeps it, and read back.
    const std::string bytes = historyBytes(historyRecordOf(r, {}, "tw2s", 1, false));
    EXPECT_EQ(bytes.substr(0, 4), "NWH3");
    const auto read = readHistoryRecord(bytes);
    ASSERT_TRUE(read);
    // A record naming a folder outside its own is never acted on.
    for (const char* outside : {"..", "a/../..", "/etc", "a//b", "a/"}) {
        HistoryRecord bad = *read;
        bad.renames.back().sub = outside;
        EXPECT_FALSE(readHistoryRecord(historyBytes(bad))) << outside;
    }
    UndoHistory history;
    history.record(passOfRecord(*read));
    const PassResult* kept = history.lastPass();
    ASSERT_TRUE(kept != nullptr);
    ASSERT_EQ(kept->done.size(), r.done.size());
    for (std::size_t i = 0; i < r.done.size(); ++i)
        EXPECT_EQ(kept->done[i].sub, r.done[i].sub);

    std::ofstream(dir.path() + "/周杰倫") << "another";
    std::map<std::string, UndoStep::State> preview;
    for (const UndoStep& s : previewUndo(*kept, fs))
        preview[s.oldName] = s.state;
    EXPECT_EQ(preview.size(), 6U);
    EXPECT_EQ(preview["周杰倫"], UndoStep::OldNameTaken);
    EXPECT_EQ(preview["周杰倫/葉惠美"], UndoStep::Ready);
    EXPECT_EQ(preview["周杰倫/范特西/01 愛在西元前.mp3"], UndoStep::Ready);
    EXPECT_EQ(preview["王菲/只愛陌生人"], UndoStep::Ready);

    RenameTool hooks;
    hooks.skipTaken = [](const std::u32string&, const std::u32string&) { return true; };
    PassResult undone = history.undoLast(list, fs, hooks);
    EXPECT_FALSE(undone.failure);
    EXPECT_EQ(undone.renamed, 5);
    auto now = test::snapshotTree(dir.path());
    EXPECT_EQ(now.count("周杰伦/葉惠美/02 懦夫.mp3"), 1U);
    EXPECT_EQ(now.count("周杰伦/范特西/01 愛在西元前.mp3"), 1U);
    EXPECT_EQ(now.count("周杰倫"), 1U);
    EXPECT_EQ(now.size(), before.size() + 1);
    ASSERT_EQ(history.passes(), 1U);
    kept = history.lastPass();
    ASSERT_TRUE(kept != nullptr);
    EXPECT_EQ(kept->done.size(), 1U);

    fsys::remove(dir.path() + "/周杰倫");
    undone = history.undoLast(list, fs, hooks);
    EXPECT_EQ(undone.renamed, 1);
    EXPECT_TRUE(history.empty());
    EXPECT_EQ(test::snapshotTree(dir.path()), before);
}

// Three levels in UTF-8, GBK and Big5; each file holds its own path.
struct Part {
    std::u32string name;
    NameEncoding page;
};
const std::vector<std::vector<Part>> kMixedTree = {
    {{U"报告 第一.txt", NameEncoding::Utf8}},
    {{U"旧档", NameEncoding::Utf8}, {U"说明 二.md", NameEncoding::Utf8}},
    {{U"gbk", NameEncoding::Utf8}, {U"会议纪要 第一.doc", NameEncoding::Gbk}},
    {{U"gbk", NameEncoding::Utf8}, {U"说明文档.txt", NameEncoding::Gbk}},
    {{U"gbk", NameEncoding::Utf8},
     {U"新建文件夹", NameEncoding::Gbk},
     {U"新建文本文档.txt", NameEncoding::Gbk}},
    {{U"gbk", NameEncoding::Utf8},
     {U"新建文件夹", NameEncoding::Gbk},
     {U"春节联欢晚会照片.jpg", NameEncoding::Gbk}},
    {{U"big5", NameEncoding::Utf8}, {U"會議記錄 第一.doc", NameEncoding::Big5}},
    {{U"big5", NameEncoding::Utf8}, {U"繁體中文檔案.txt", NameEncoding::Big5}},
    {{U"big5", NameEncoding::Utf8},
     {U"員工旅遊照片", NameEncoding::Big5},
     {U"電腦維修報告.xls", NameEncoding::Big5}},
    {{U"big5", NameEncoding::Utf8},
     {U"員工旅遊照片", NameEncoding::Big5},
     {U"第一天 照片.jpg", NameEncoding::Big5}}};

std::string bytesOf(const Part& p) {
    return p.page == NameEncoding::Utf8 ? encodeName(p.name)
                                        : test::encodeWithIcu(p.page, p.name).value();
}

// Every tool over the mixed tree, folders included and not: each file is
// there once with its content; each part of its path is the tool's name for
// the old one (read in its own code page) where the tool renames that kind
// of entry, else the old bytes themselves; a name the tool leaves as it reads
// keeps its bytes; the repair leaves only UTF-8.
TEST(TreePass, EveryToolRenamesEachNameInItsOwnFolder) {
    const Tw2s tw2s;
    ASSERT_TRUE(tw2s.converter);
    const std::vector<std::pair<const char*, std::function<std::u32string(const std::u32string&)>>>
        tools = {
            {"upper",
             [](const std::u32string& n) {
                 return ConvertName(n, {CaseMode::Upper, true, true, SpaceMode::SpaceToUnderscore});
             }},
            {"extension", [](const std::u32string& n) { return ChangeFileExt(n, U"bak"); }},
            {"removal", [](const std::u32string& n) { return StrCls(n, U"第一"); }},
            {"replace",
             [](const std::u32string& n) { return ReplacePlain(n, U"照片", U"相片", true, true); }},
            {"tw2s", [&](const std::u32string& n) { return tw2s.converter->convert(n); }},
            {"to UTF-8", nullptr}};
    PosixFileSystem fs;
    for (const auto& [what, rename] : tools)
        for (const bool folders : {false, true}) {
            SCOPED_TRACE(std::string(what) + (folders ? ", folders too" : ", files only"));
            test::TempFolder dir;
            std::vector<std::string> paths;
            for (const auto& parts : kMixedTree) {
                std::string path;
                for (const Part& p : parts)
                    path += (path.empty() ? "" : "/") + bytesOf(p);
                put(dir.path(), path);
                paths.push_back(path);
            }
            test::RealTreeList list(fs, dir.path(), {true, folders});
            auto makeTool = [&, fn = rename](FileSystem&) {
                if (!fn)
                    return Utf8RepairTool();
                RenameTool t;
                t.transform = [fn](int, const std::u32string& n) {
                    return TransformResult::of(fn(n));
                };
                return t;
            };
            const PassResult r = RunTreePass(list, fs, makeTool(fs), makeTool);
            ASSERT_FALSE(r.failure) << encodeName(r.failure->oldName);
            std::map<std::string, std::string> whereNow; // content -> path
            for (const auto& [path, content] : test::snapshotTree(dir.path())) {
                if (content != "<folder>") {
                    ASSERT_TRUE(whereNow.emplace(content, path).second) << path;
                }
            }
            ASSERT_EQ(whereNow.size(), kMixedTree.size());
            for (std::size_t f = 0; f < kMixedTree.size(); ++f) {
                ASSERT_EQ(whereNow.count(paths[f]), 1U) << "lost " << paths[f];
                std::string now = whereNow[paths[f]];
                const auto& parts = kMixedTree[f];
                for (std::size_t k = 0; k < parts.size(); ++k) {
                    const std::size_t slash = now.find('/');
                    const std::string got = now.substr(0, slash);
                    now = slash == std::string::npos ? "" : now.substr(slash + 1);
                    const bool renamed = k + 1 == parts.size() || folders;
                    const std::u32string want =
                        renamed && rename ? rename(parts[k].name) : parts[k].name;
                    if (!renamed || want == parts[k].name) {
                        if (rename || !renamed)
                            EXPECT_EQ(got, bytesOf(parts[k])) << encodeName(parts[k].name);
                        else
                            EXPECT_EQ(got, encodeName(want)); // repaired to UTF-8
                        continue;
                    }
                    const std::u32string read =
                        isUtf8(got) ? decodeName(got) : readName(got, parts[k].page).text;
                    EXPECT_EQ(encodeName(read), encodeName(want)) << encodeName(parts[k].name);
                }
            }
        }
}

TEST(TreePass, OneNumberThroughTheTreeAndAStopBetweenFolders) {
    test::TempFolder dir;
    library(dir.path());
    PosixFileSystem fs;
    // Files get the running number; folders keep their names.
    auto numbered = [](int* number) {
        return [number](FileSystem&) {
            RenameTool t;
            t.transform = [number](int, const std::u32string& n) {
                if (n.find(U'.') == std::u32string::npos)
                    return TransformResult::of(n);
                return TransformResult::of(U"第" + decodeName(std::to_string(++*number)) + U".mp3");
            };
            return t;
        };
    };
    int planned = 0, made = 0;
    TreeList list(fs, dir.path());
    const Preview dry = DryRunTree(list, fs, numbered(&planned));
    RenameTool tool = numbered(&made)(fs);
    // The list: 說明.txt, 周杰倫/范特西's file, the folder 范特西, 葉惠美's two
    // files, ... Stopped when asked before the third selected entry, the
    // first of another run: the two files before it are all that change.
    std::vector<std::pair<int, int>> told;
    tool.progress = [&](int done, int selected) {
        told.emplace_back(done, selected);
        return done < 2;
    };
    const PassResult r = RunTreePass(list, fs, tool, numbered(&planned));
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->reason, FailureReason::UserStopped);
    EXPECT_EQ(r.failure->index, 2);
    EXPECT_EQ(r.renamed, 2);
    EXPECT_EQ(told.back(), (std::pair<int, int>{2, 10}));
    const auto now = test::snapshotTree(dir.path());
    EXPECT_EQ(now.count("第1.mp3") ? now.at("第1.mp3") : "", "說明.txt");
    EXPECT_EQ(now.count("周杰倫/范特西/第2.mp3") ? now.at("周杰倫/范特西/第2.mp3") : "",
              "周杰倫/范特西/01 愛在西元前.mp3");
    EXPECT_EQ(now.count("周杰倫/葉惠美/01 以父之名.mp3"), 1U);
    EXPECT_EQ(now.size(), 10U); // 5 files, 5 folders: none lost
    // The dry run numbered through the whole tree, 1 to 5, in list order.
    std::vector<std::u32string> numbers;
    for (const PreviewRow& row : dry.rows)
        if (row.newName != row.oldName)
            numbers.push_back(row.newName);
    EXPECT_EQ(numbers, (std::vector<std::u32string>{U"第1.mp3", U"第2.mp3", U"第3.mp3", U"第4.mp3",
                                                    U"第5.mp3"}));
}

} // namespace
} // namespace nw
