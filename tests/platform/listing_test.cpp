#include "platform/file_system.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "platform/sort_order.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nw {
namespace {

std::vector<std::string> names(const std::vector<ListedFile>& files) {
    std::vector<std::string> out;
    for (const auto& f : files)
        out.push_back(f.bytes);
    return out;
}

// Files named after the attributes they carry: r read-only, h hidden, s system.
test::FakeFileSystem attributeFolder() {
    test::FakeFileSystem fs;
    for (int a = 0; a < 8; ++a) {
        std::string name = (a & 2) ? "." : "";
        name += "f";
        name += (a & 1) ? "r" : "";
        name += (a & 2) ? "h" : "";
        name += (a & 4) ? "s" : "";
        fs.add("/d", name, {}, (a & 4) ? EntryKind::Special : EntryKind::Regular);
        fs.folders["/d"][name].writable = !(a & 1);
    }
    fs.add("/d", "sub", {}, EntryKind::Folder);
    return fs;
}

TEST(Listing, AdmitsAFileWhenEveryAttributeItCarriesIsOn) {
    struct Case {
        AttributeFlags flags;
        std::vector<std::string> listed;
    };
    const std::vector<Case> cases{
        {{true, true, false, false, true}, {"f", "fr"}}, // the start state
        {{false, true, false, false, true}, {"fr"}},
        {{true, false, false, false, true}, {"f"}},
        {{true, true, true, false, true}, {".fh", ".frh", "f", "fr"}},
        {{false, false, true, false, true}, {".fh"}},
        {{false, false, false, true, true}, {"fs"}},
        {{true, true, true, true, true}, {".fh", ".fhs", ".frh", ".frhs", "f", "fr", "frs", "fs"}},
        {{false, false, false, false, true}, {}},
        {{false, true, true, true, true}, {".fh", ".fhs", ".frh", ".frhs", "fr", "frs", "fs"}},
    };
    auto fs = attributeFolder();
    for (const auto& c : cases) {
        std::vector<ListedFile> out;
        ASSERT_TRUE(listFiles(fs, "/d", WildcardSet(U"*.*"), c.flags, out).ok());
        EXPECT_EQ(names(out), c.listed)
            << "normal=" << c.flags.normal << " ro=" << c.flags.readOnly
            << " hidden=" << c.flags.hidden << " system=" << c.flags.system;
    }
}

TEST(Listing, EveryFlagCombinationFollowsTheAdmissionRule) {
    auto fs = attributeFolder();
    for (int f = 0; f < 16; ++f) {
        const AttributeFlags flags{bool(f & 1), bool(f & 2), bool(f & 4), bool(f & 8), true};
        std::vector<ListedFile> out;
        ASSERT_TRUE(listFiles(fs, "/d", WildcardSet(U"*"), flags, out).ok());
        for (int a = 0; a < 8; ++a) {
            const bool ro = a & 1, hidden = a & 2, system = a & 4;
            const bool expected = (!ro && !hidden && !system)
                                      ? flags.normal
                                      : (!ro || flags.readOnly) && (!hidden || flags.hidden) &&
                                            (!system || flags.system);
            std::string name = std::string(hidden ? "." : "") + "f" + (ro ? "r" : "") +
                               (hidden ? "h" : "") + (system ? "s" : "");
            const auto listed = names(out);
            EXPECT_EQ(std::count(listed.begin(), listed.end(), name), expected ? 1 : 0)
                << name << " with flags " << f;
        }
        const auto listed = names(out);
        EXPECT_EQ(std::count(listed.begin(), listed.end(), "sub"), 0);
    }
}

TEST(Listing, RealFolderHiddenSystemLinksAndFolders) {
    test::TempFolder dir;
    const std::string d = dir.path();
    for (const char* n : {"img10.png", "img2.png", "IMG1.png", ".hidden", "README"})
        test::writeFile(d, n, n);
    ASSERT_EQ(::mkfifo((d + "/pipe").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir((d + "/folder.txt").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("README", (d + "/link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink("folder.txt", (d + "/link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (d + "/dangling").c_str()), 0);
    PosixFileSystem fs;
    std::vector<ListedFile> out;
    ASSERT_TRUE(listFiles(fs, d, WildcardSet(U"*.*"), AttributeFlags{}, out).ok());
    EXPECT_EQ(names(out), (std::vector<std::string>{"IMG1.png", "img2.png", "img10.png",
                                                    "link-to-file", "README"}));
    AttributeFlags all{true, true, true, true, true};
    ASSERT_TRUE(listFiles(fs, d, WildcardSet(U"*.*"), all, out).ok());
    EXPECT_EQ(names(out),
              (std::vector<std::string>{".hidden", "dangling", "IMG1.png", "img2.png", "img10.png",
                                        "link-to-file", "pipe", "README"}));
    ASSERT_TRUE(listFiles(fs, d, WildcardSet(U"*.PNG;readme"), AttributeFlags{}, out).ok());
    EXPECT_EQ(names(out),
              (std::vector<std::string>{"IMG1.png", "img2.png", "img10.png", "README"}));
    std::vector<ListedFile> subs;
    ASSERT_TRUE(listSubfolders(fs, d, subs).ok());
    EXPECT_EQ(names(subs), (std::vector<std::string>{"folder.txt", "link-to-folder"}));
}

TEST(Listing, ANameThatIsNotUtf8IsListedAndAddressedAgain) {
    test::TempFolder dir;
    // No code page reads it: 0x81 is no letter in Windows-1252 and starts a
    // double-byte character elsewhere, which " " cannot end.
    const std::string bad = "caf\x81 \xFF.txt";
    test::writeFile(dir.path(), bad, "latin-1 name");
    PosixFileSystem fs;
    std::vector<ListedFile> out;
    ASSERT_TRUE(listFiles(fs, dir.path(), WildcardSet(U"*.txt"), AttributeFlags{}, out).ok());
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].bytes, bad);
    EXPECT_EQ(encodeName(out[0].name), bad); // the decoded name addresses the same file
    ASSERT_TRUE(fs.rename(dir.path(), encodeName(out[0].name), "plain.txt").ok());
    EXPECT_EQ(test::snapshot(dir.path()), (test::Snapshot{{"plain.txt", "latin-1 name"}}));
}

TEST(Listing, AFolderThatCannotBeReadIsReported) {
    PosixFileSystem fs;
    std::vector<ListedFile> out;
    EXPECT_EQ(listFiles(fs, "/no/such/folder", WildcardSet(), AttributeFlags{}, out).error,
              FsError::NotFound);
    test::TempFolder dir;
    test::writeFile(dir.path(), "file", "x");
    EXPECT_EQ(listFiles(fs, dir.path() + "/file", WildcardSet(), AttributeFlags{}, out).error,
              FsError::NotAFolder);
}

TEST(Paths, JoinNormalizeAndParent) {
    EXPECT_EQ(joinPath("/", "a"), "/a");
    EXPECT_EQ(joinPath("/home/u", "a"), "/home/u/a");
    EXPECT_EQ(joinPath("/home/u/", "a"), "/home/u/a");
    EXPECT_EQ(normalizeFolder("/a//b/./c/../"), "/a/b");
    EXPECT_EQ(normalizeFolder("/.."), "/");
    EXPECT_EQ(parentFolder("/a/b"), "/a");
    EXPECT_EQ(parentFolder("/a"), "/");
    EXPECT_EQ(parentFolder("/"), "/");
}

} // namespace

// Every order of the list over one real folder of mixed names: Latin,
// Chinese, full-width digits, and names whose keys tie (the same size, the
// same time, the same pinyin), which the bytes of the name then order.
TEST(Listing, SortOrders) {
    test::TempFolder dir;
    const std::string d = dir.path();
    struct File {
        const char* name;
        int size;
        long long minute; // modification time
    };
    const std::vector<File> files{
        {"中文.txt", 4, 5},     {"阿里.txt", 1, 3},   {"北京.txt", 3, 1},  {"重庆.txt", 2, 2},
        {"第１２集.mkv", 6, 4}, {"第３集.mkv", 5, 6}, {"img10.png", 2, 7}, {"img9.png", 2, 7},
    };
    for (const File& f : files) {
        test::writeFile(d, f.name, std::string(static_cast<std::size_t>(f.size), 'x'));
        const timespec at[2] = {{f.minute * 60, 0}, {f.minute * 60, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (d + "/" + f.name).c_str(), at, 0), 0);
    }
    PosixFileSystem fs;
    auto order = [&](SortOrder o) {
        std::vector<ListedFile> out;
        EXPECT_TRUE(listFiles(fs, d, WildcardSet(U"*.*"), AttributeFlags{}, out).ok());
        sortListed(fs, d, out, o);
        std::vector<std::string> names;
        for (const ListedFile& f : out)
            names.push_back(f.bytes);
        return names;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(order({SortKey::Natural, false}),
              (Names{"img9.png", "img10.png", "中文.txt", "北京.txt", "第３集.mkv", "第１２集.mkv",
                     "重庆.txt", "阿里.txt"}));
    // Chinese collation files Han before Latin.
    EXPECT_EQ(order({SortKey::Pinyin, false}),
              (Names{"阿里.txt", "北京.txt", "重庆.txt", "第３集.mkv", "第１２集.mkv", "中文.txt",
                     "img9.png", "img10.png"}));
    EXPECT_EQ(order({SortKey::Modified, false}),
              (Names{"北京.txt", "重庆.txt", "阿里.txt", "第１２集.mkv", "中文.txt", "第３集.mkv",
                     "img10.png", "img9.png"}));
    EXPECT_EQ(order({SortKey::Size, true}),
              (Names{"第１２集.mkv", "第３集.mkv", "中文.txt", "北京.txt", "重庆.txt", "img9.png",
                     "img10.png", "阿里.txt"}));
}

} // namespace nw
