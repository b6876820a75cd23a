#include "core/extension.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

TEST(Extension, GetFileExtLooksOnlyAtTheName) {
    EXPECT_EQ(GetFileExt(U"/d/a.doc"), U"doc");
    EXPECT_EQ(GetFileExt(U"/d/README"), U"");
    EXPECT_EQ(GetFileExt(U"/d/a.tar.gz"), U"gz");
    EXPECT_EQ(GetFileExt(U"/d/.profile"), U"profile");
    EXPECT_EQ(GetFileExt(U"/d/abc."), U"");
    EXPECT_EQ(GetFileExt(U"/home/my.dir/file"), U"");
    EXPECT_EQ(GetFileExt(U"plain.txt"), U"txt");
}

TEST(Extension, ChangeFileExtReplacesAfterTheLastDot) {
    const std::vector<std::tuple<const char32_t*, const char32_t*, const char32_t*>> cases{
        {U"/d/a.doc", U"txt", U"/d/a.txt"},
        {U"/d/README", U"txt", U"/d/README.txt"},
        {U"/d/a.tar.gz", U"txt", U"/d/a.tar.txt"},
        {U"/d/.profile", U"txt", U"/d/.txt"},
        {U"/d/abc.", U"txt", U"/d/abc.txt"},
        {U"/d/a.TXT", U"txt", U"/d/a.txt"},
        {U"/d/a.doc", U".txt", U"/d/a..txt"},
        {U"/d/a..txt", U".txt", U"/d/a...txt"},
        {U"/d/a.zip", U"tar.gz", U"/d/a.tar.gz"},
        {U"/d/a.tar.gz", U"tar.gz", U"/d/a.tar.tar.gz"},
        {U"/home/my.dir/file", U"txt", U"/home/my.dir/file.txt"},
        {U"/d/a.doc", U"my ext", U"/d/a.my ext"},
    };
    for (const auto& [path, ext, result] : cases)
        EXPECT_EQ(ChangeFileExt(path, ext), result);
    // An extension equal to the new one is skipped by the page; .txt never is.
    EXPECT_NE(GetFileExt(U"/d/a..txt"), U".txt");
    EXPECT_NE(GetFileExt(U"/d/a.tar.gz"), U"tar.gz");
}

TEST(RemoveFirst, OnlyTheFirstExactOccurrence) {
    const std::vector<std::tuple<const char32_t*, const char32_t*, std::optional<std::u32string>>>
        cases{
            {U"abcabc.txt", U"abc", U"abc.txt"},
            {U"abc.txt", U"abc", U".txt"},
            {U"a.txt.txt", U".txt", U"a.txt"},
            {U"a.b.c", U".", U"ab.c"},
            {U"ABC.txt", U"abc", std::nullopt},
            {U"aaa.txt", U"aa", U"a.txt"},
            {U"report.doc", U".doc", U"report"},
            {U"copy of copy x.txt", U"copy ", U"of copy x.txt"},
            {U"copyx.txt", U"copy ", std::nullopt},
            {U"a  b.txt", U"  ", U"ab.txt"},
            {U"whole", U"whole", U""},
            {U"x", U"", std::nullopt},
        };
    for (const auto& [name, text, result] : cases)
        EXPECT_EQ(RemoveFirst(name, text), result);
}

} // namespace
} // namespace nw
