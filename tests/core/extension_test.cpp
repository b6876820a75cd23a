#include "core/extension.h"
#include "core/name_parts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace nw {
namespace {

// The range of the two boxes, as the text it covers (none: nothing in range),
// for names with no dot, one, several, a leading one and a trailing one.
TEST(NameParts, TheBoxesChooseTheBaseTheExtensionOrBoth) {
    struct Row {
        std::u32string name;
        std::optional<std::u32string> both, prefix, suffix;
    };
    const Row rows[] = {
        {U"README", U"README", U"README", std::nullopt},
        {U"a.doc", U"a.doc", U"a", U"doc"},
        {U"a.tar.gz", U"a.tar.gz", U"a.tar", U"gz"},
        {U".profile", U".profile", U"", U"profile"},
        {U"abc.", U"abc.", U"abc", U""},
        {U"", U"", U"", std::nullopt},
    };
    auto covered = [](std::u32string_view name, bool prefix, bool suffix) {
        const auto r = rangeOf(name, prefix, suffix);
        return r ? std::optional<std::u32string>(name.substr(r->begin, r->end - r->begin))
                 : std::nullopt;
    };
    for (const Row& r : rows) {
        EXPECT_EQ(covered(r.name, true, true), r.both);
        EXPECT_EQ(covered(r.name, true, false), r.prefix);
        EXPECT_EQ(covered(r.name, false, true), r.suffix);
        EXPECT_EQ(covered(r.name, false, false), std::nullopt);
        // The parts always make the name again.
        const NameParts p = splitName(r.name);
        EXPECT_EQ(std::u32string(p.head) + std::u32string(p.ext), r.name);
        EXPECT_EQ(std::u32string(p.base) + std::u32string(p.dottedExt), r.name);
    }
}

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
