// Find and replace in a name: plain and regular expressions, first and all,
// letter case, range, groups, and the time limit on a pattern that backtracks.
#include "core/find_replace.h"
#include "platform/name_regex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <variant>

namespace nw {
namespace {

struct Case {
    const char* label;
    std::u32string name, find, replacement;
    bool regex, matchCase, all, prefix, suffix;
    std::u32string expected;
};

ReplaceResult run(const Case& c) {
    FindReplaceSettings s{c.find, c.replacement, c.matchCase, c.regex, c.all, c.prefix, c.suffix};
    RegexReplace regex;
    if (c.regex) {
        auto compiled = NameRegex::compile(c.find, c.matchCase);
        if (auto* e = std::get_if<RegexError>(&compiled)) {
            ADD_FAILURE() << c.label << ": " << e->code;
            return {};
        }
        regex = regexReplace(std::get<std::shared_ptr<const NameRegex>>(compiled), c.replacement,
                             c.all);
    }
    return ReplaceInName(c.name, s, regex);
}

TEST(FindReplace, Table) {
    const Case cases[] = {
        // label, name, find, replacement, regex, matchCase, all, prefix, suffix
        {"plain, all", U"IMG_IMG_1.jpg", U"IMG_", U"2024_", false, true, true, true, true,
         U"2024_2024_1.jpg"},
        {"plain, first", U"IMG_IMG_1.jpg", U"IMG_", U"2024_", false, true, false, true, true,
         U"2024_IMG_1.jpg"},
        {"plain, case folded", U"img_Img_1.jpg", U"IMG_", U"x", false, false, true, true, true,
         U"xx1.jpg"},
        {"plain, case kept", U"img_Img_1.jpg", U"IMG_", U"x", false, true, true, true, true,
         U"img_Img_1.jpg"},
        {"plain, Greek folded", U"ΣΟΦΙΑ.txt", U"σοφια", U"Sofia", false, false, true, true, true,
         U"Sofia.txt"},
        {"plain, Chinese", U"第1集 第2集.mp4", U"集", U"话", false, true, true, true, true,
         U"第1话 第2话.mp4"},
        {"plain, removed", U"[www.example.com] 电影.mkv", U"[www.example.com] ", U"", false, true,
         true, true, true, U"电影.mkv"},
        {"plain, base only", U"a.a.a", U"a", U"b", false, true, true, true, false, U"b.b.a"},
        {"plain, extension only", U"a.a.a", U"a", U"b", false, true, true, false, true, U"a.a.b"},
        {"plain, extension only, none", U"README", U"R", U"x", false, true, true, false, true,
         U"README"},
        {"plain, base only, no dot", U"README", U"R", U"x", false, true, true, true, false,
         U"xEADME"},
        {"plain, across the dot", U"a.b", U"a.b", U"c", false, true, true, true, true, U"c"},
        {"plain, not across with base only", U"a.b", U"a.b", U"c", false, true, true, true, false,
         U"a.b"},
        {"plain, neither", U"a.b", U"a", U"c", false, true, true, false, false, U"a.b"},
        {"plain, empty find", U"a.b", U"", U"c", false, true, true, true, true, U"a.b"},
        {"regex, group", U"第12集.mp4", U"第(\\d+)集", U"S01E$1", true, true, true, true, true,
         U"S01E12.mp4"},
        {"regex, named group", U"2024-05-06 会议.doc", U"(?<y>\\d{4})-(?<m>\\d\\d)-(?<d>\\d\\d)",
         U"${d}.${m}.${y}", true, true, true, true, true, U"06.05.2024 会议.doc"},
        {"regex, dollar", U"price 5.txt", U"(\\d)", U"\\$$1", true, true, true, true, true,
         U"price $5.txt"},
        {"regex, first only", U"a1b2.txt", U"\\d", U"#", true, true, false, true, true,
         U"a#b2.txt"},
        {"regex, case folded", U"Photo.JPG", U"jpg$", U"png", true, false, true, true, true,
         U"Photo.png"},
        {"regex, extension anchored", U"a.tar.gz", U"^gz$", U"tgz", true, true, true, false, true,
         U"a.tar.tgz"},
        {"regex, Han class", U"照片abc.jpg", U"\\p{Han}+", U"X", true, true, true, true, false,
         U"Xabc.jpg"},
        {"regex, empty replacement", U"IMG_0001.jpg", U"^IMG_", U"", true, true, true, true, true,
         U"0001.jpg"},
    };
    for (const Case& c : cases) {
        const ReplaceResult r = run(c);
        EXPECT_EQ(r.outcome, ReplaceOutcome::Done) << c.label;
        EXPECT_EQ(r.name, c.expected) << c.label;
    }
}

TEST(FindReplace, BadPatternsSayWhereAndBadGroupsAreRefused) {
    const std::pair<std::u32string, int> bad[] = {
        {U"(abc", 4}, {U"a[b", 3}, {U"中(文", 3}, {U"x{3,1}", -2}, {U"*a", 1}};
    for (const auto& [pattern, at] : bad) {
        auto r = NameRegex::compile(pattern, true);
        ASSERT_TRUE(std::holds_alternative<RegexError>(r));
        const RegexError e = std::get<RegexError>(r);
        EXPECT_FALSE(e.code.empty());
        if (at >= 0) {
            EXPECT_EQ(e.offset, at) << e.code;
        }
        EXPECT_LE(e.offset, static_cast<int>(pattern.size()));
    }
    auto r = NameRegex::compile(U"(a)", true);
    const auto& regex = std::get<std::shared_ptr<const NameRegex>>(r);
    EXPECT_EQ(regex->replace(U"a", U"$2", true).outcome, NameRegex::Outcome::BadReplacement);
    EXPECT_EQ(regex->replace(U"a", U"${nope}", true).outcome, NameRegex::Outcome::BadReplacement);
}

// A pattern that backtracks without end stops within about a second, on a
// name of only 40 characters.
TEST(FindReplace, BacktrackingEndsByTheTimeLimit) {
    auto r = NameRegex::compile(U"(a+)+$", true);
    const auto& regex = std::get<std::shared_ptr<const NameRegex>>(r);
    const std::u32string name = std::u32string(40, U'a') + U"!";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(regex->replace(name, U"x", true).outcome, NameRegex::Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    // The same pattern on a short name simply works.
    EXPECT_EQ(regex->replace(U"aaa", U"x", true).text, U"x");
}

} // namespace
} // namespace nw
