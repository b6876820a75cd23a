// Whole trees listed for a pass: folder by folder, a folder after what it
// holds, each folder's names read in their own code page, and the limits that
// protect the user: links never followed, another drive never entered, hidden
// folders only with hidden files, an unreadable folder named, not fatal; the
// attribute flags choose folders as entries too.
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "platform/tree_listing.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace nw {
namespace {

// The real drive, except one folder that cannot be read and one that stands
// for another drive mounted below.
class TreeDrive : public PosixFileSystem {
public:
    std::string refused, otherDrive;
    FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override {
        if (folder == refused)
            return FsStatus{FsError::PermissionDenied, EACCES};
        return PosixFileSystem::readFolder(folder, out);
    }
    bool isWritable(const std::string& folder, const std::string& name) override {
        return joinPath(folder, name) != readOnly && PosixFileSystem::isWritable(folder, name);
    }
    std::string readOnly;
    std::optional<FileId> folderId(const std::string& folder) override {
        auto id = PosixFileSystem::folderId(folder);
        if (id && folder == otherDrive)
            id->device += 1;
        return id;
    }
};

std::string gbk(std::u32string_view s) { return writeName(s, NameEncoding::Gbk); }
std::string big5(std::u32string_view s) { return writeName(s, NameEncoding::Big5); }

// root/
//   a.txt  b.txt  loop -> .  refused/  other/x.txt  .hidden/h.txt
//   照片/ 1.jpg 2.jpg
//   gbk/ 新建文件夹/ (测试报告.txt 会议记录.doc 深层/ (说明.txt 新建文本文档.txt))
//        说明.txt 照片/
//   big5/ 新增資料夾/ (員工旅遊照片.jpg 會議記錄.doc 說明文件.txt)  員工旅遊.txt
struct Tree {
    test::TempFolder dir;
    TreeDrive fs;
    std::string root() const { return dir.path(); }
    Tree() {
        auto mk = [&](const std::string& sub) {
            EXPECT_EQ(::mkdir((root() + "/" + sub).c_str(), 0755), 0);
        };
        auto put = [&](const std::string& sub, const std::string& name) {
            test::writeFile(sub.empty() ? root() : root() + "/" + sub, name, sub + "/" + name);
        };
        put("", "a.txt");
        put("", "b.txt");
        EXPECT_EQ(::symlink(".", (root() + "/loop").c_str()), 0);
        for (const char* d : {"refused", "other", ".hidden", "照片", "gbk", "big5"})
            mk(d);
        put("refused", "r.txt");
        put("other", "x.txt");
        put(".hidden", "h.txt");
        put("照片", "1.jpg");
        put("照片", "2.jpg");
        const std::string folder = "gbk/" + gbk(U"新建文件夹"), deep = folder + "/" + gbk(U"深层");
        mk(folder);
        mk(deep);
        mk("gbk/" + gbk(U"照片"));
        put("gbk", gbk(U"说明.txt"));
        put(folder, gbk(U"测试报告.txt"));
        put(folder, gbk(U"会议记录.doc"));
        put(deep, gbk(U"说明.txt"));
        put(deep, gbk(U"新建文本文档.txt"));
        const std::string b = "big5/" + big5(U"新增資料夾");
        mk(b);
        put("big5", big5(U"員工旅遊.txt"));
        put(b, big5(U"員工旅遊照片.jpg"));
        put(b, big5(U"會議記錄.doc"));
        put(b, big5(U"說明文件.txt"));
        fs.refused = root() + "/refused";
        fs.otherDrive = root() + "/other";
    }
    std::vector<std::string> list(TreeOptions o, AttributeFlags flags = {},
                                  std::u32string pattern = U"*.*") {
        TreeListing out;
        EXPECT_TRUE(listTree(fs, root(), WildcardSet(pattern), flags, o, out).ok());
        std::vector<std::string> shown;
        for (const TreeEntry& e : out.entries) {
            std::string s = encodeName(treePath(out, e));
            if (e.unreadable != FsError::None)
                s += " !";
            shown.push_back(s);
        }
        return shown;
    }
};

TEST(TreeListing, FolderByFolderEachAfterWhatItHolds) {
    Tree t;
    using V = std::vector<std::string>;
    // The shown folder alone: as a plain listing, with its folders as entries
    // where asked (the link among them, as it stands).
    EXPECT_EQ(t.list({false, false}), (V{"a.txt", "b.txt"}));
    EXPECT_EQ(t.list({false, true}),
              (V{"a.txt", "b.txt", "big5/", "gbk/", "loop/", "other/", "refused/", "照片/"}));
    // The whole tree: files only, then folders too. The link is not entered
    // (no loop), nor the other drive; the unreadable folder is a row that
    // says so; the hidden folder is left out.
    const V files{"a.txt",
                  "b.txt",
                  "big5/員工旅遊.txt",
                  "big5/新增資料夾/員工旅遊照片.jpg",
                  "big5/新增資料夾/會議記錄.doc",
                  "big5/新增資料夾/說明文件.txt",
                  "gbk/说明.txt",
                  "gbk/新建文件夹/会议记录.doc",
                  "gbk/新建文件夹/测试报告.txt",
                  "gbk/新建文件夹/深层/新建文本文档.txt",
                  "gbk/新建文件夹/深层/说明.txt",
                  "refused/ !",
                  "照片/1.jpg",
                  "照片/2.jpg"};
    EXPECT_EQ(t.list({true, false}), files);
    const V all{"a.txt",
                "b.txt",
                "big5/員工旅遊.txt",
                "big5/新增資料夾/員工旅遊照片.jpg",
                "big5/新增資料夾/會議記錄.doc",
                "big5/新增資料夾/說明文件.txt",
                "big5/新增資料夾/",
                "big5/",
                "gbk/说明.txt",
                "gbk/新建文件夹/会议记录.doc",
                "gbk/新建文件夹/测试报告.txt",
                "gbk/新建文件夹/深层/新建文本文档.txt",
                "gbk/新建文件夹/深层/说明.txt",
                "gbk/新建文件夹/深层/",
                "gbk/新建文件夹/",
                "gbk/照片/",
                "gbk/",
                "loop/",
                "other/",
                "refused/ !",
                "照片/1.jpg",
                "照片/2.jpg",
                "照片/"};
    EXPECT_EQ(t.list({true, true}), all);
    // Every folder's path holds until the pass reaches that folder: nothing
    // listed after a folder lies inside it.
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].back() != '/')
            continue;
        for (std::size_t j = i + 1; j < all.size(); ++j)
            EXPECT_NE(all[j].rfind(all[i], 0), 0U) << all[j] << " after " << all[i];
    }

    // Read-only entries left out: a read-only folder is no entry, yet its
    // files are listed.
    t.fs.readOnly = t.root() + "/照片";
    AttributeFlags writable;
    writable.readOnly = false;
    V noReadOnly = all;
    noReadOnly.erase(std::find(noReadOnly.begin(), noReadOnly.end(), "照片/"));
    EXPECT_EQ(t.list({true, true}, writable), noReadOnly);

    // Hidden files listed: the hidden folder is entered too. The pattern
    // filters files only.
    AttributeFlags hidden;
    hidden.hidden = true;
    const V withHidden = t.list({true, false}, hidden, U"*.txt");
    EXPECT_NE(std::find(withHidden.begin(), withHidden.end(), ".hidden/h.txt"), withHidden.end());
    EXPECT_EQ(std::count_if(withHidden.begin(), withHidden.end(),
                            [](const std::string& s) { return s.find(".jpg") != s.npos; }),
              0);
}

TEST(TreeListing, EachFolderInItsOwnCodePageAndTheWalkCanBeStopped) {
    Tree t;
    TreeListing out;
    ASSERT_TRUE(listTree(t.fs, t.root(), WildcardSet(U"*.*"), {}, {true, true}, out).ok());
    for (const TreeEntry& e : out.entries) {
        const std::string path = encodeName(treePath(out, e));
        if (path.rfind("gbk/", 0) == 0 && path != "gbk/")
            EXPECT_EQ(e.file.encoding, NameEncoding::Gbk) << path;
        else if (path.rfind("big5/", 0) == 0 && path != "big5/")
            EXPECT_EQ(e.file.encoding, NameEncoding::Big5) << path;
        else
            EXPECT_EQ(e.file.encoding, NameEncoding::Utf8) << path;
        // The bytes address the entry on disk.
        struct stat st {};
        EXPECT_EQ(::lstat((t.root() + "/" + treeBytes(out, e)).c_str(), &st), 0) << path;
    }
    // Read: the shown one, big5 (2), gbk (4), 照片; not the hidden one, the
    // other drive or the refused one.
    EXPECT_EQ(out.foldersRead, 8U);
    // A walk stopped from its progress answers that, and lists nothing.
    test::TempFolder many;
    for (int i = 0; i < 600; ++i)
        test::writeFile(many.path(), std::to_string(i), "");
    std::size_t told = 0;
    EXPECT_EQ(listTree(t.fs, many.path(), WildcardSet(U"*.*"), {}, {true, false}, out, {},
                       [&](std::size_t n) {
                           told = n;
                           return n < 512;
                       })
                  .error,
              FsError::Superseded);
    EXPECT_EQ(told, 512U);
    EXPECT_TRUE(out.entries.empty());
    // A shown folder that cannot be read fails as a listing does.
    EXPECT_EQ(
        listTree(t.fs, t.root() + "/refused", WildcardSet(U"*.*"), {}, {true, true}, out).error,
        FsError::PermissionDenied);
}

} // namespace
} // namespace nw
