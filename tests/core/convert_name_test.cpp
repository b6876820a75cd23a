#include "core/convert_name.h"
#include "core/text.h"
#include "platform/name_codec.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

enum Range { Whole, Base, Ext, None };

ConvertOptions opts(CaseMode m, Range r, SpaceMode s = SpaceMode::DeleteSpace) {
    return ConvertOptions{m, r == Whole || r == Base, r == Whole || r == Ext, s};
}

struct Row {
    CaseMode mode;
    Range range;
    const char32_t* deleted;
    const char32_t* underscored;
};

class SampleName : public ::testing::TestWithParam<Row> {};

TEST_P(SampleName, GivesTheResultForBothSpaceModes) {
    const Row& r = GetParam();
    EXPECT_EQ(ConvertName(U"Exa mpL e.exE", opts(r.mode, r.range, SpaceMode::DeleteSpace)),
              r.deleted);
    EXPECT_EQ(ConvertName(U"Exa mpL e.exE", opts(r.mode, r.range, SpaceMode::SpaceToUnderscore)),
              r.underscored);
}

using M = CaseMode;
INSTANTIATE_TEST_SUITE_P(
    AllSettings, SampleName,
    ::testing::Values(Row{M::Upper, Whole, U"EXAMPLE.EXE", U"EXA_MPL_E.EXE"},
                      Row{M::Upper, Base, U"EXAMPLE.exE", U"EXA_MPL_E.exE"},
                      Row{M::Upper, Ext, U"ExampLe.EXE", U"Exa_mpL_e.EXE"},
                      Row{M::Lower, Whole, U"example.exe", U"exa_mpl_e.exe"},
                      Row{M::Lower, Base, U"example.exE", U"exa_mpl_e.exE"},
                      Row{M::Lower, Ext, U"ExampLe.exe", U"Exa_mpL_e.exe"},
                      Row{M::FirstUpper, Whole, U"Example.exe", U"Exa_mpl_e.exe"},
                      Row{M::FirstUpper, Base, U"Example.exE", U"Exa_mpl_e.exE"},
                      Row{M::FirstUpper, Ext, U"ExampLe.Exe", U"Exa_mpL_e.Exe"},
                      Row{M::Upper, None, U"", U""}, Row{M::Lower, None, U"", U""},
                      Row{M::FirstUpper, None, U"", U""}));

struct Named {
    const char32_t* name;
    ConvertOptions options;
    const char32_t* result;
};

class FurtherNames : public ::testing::TestWithParam<Named> {};

TEST_P(FurtherNames, Convert) {
    EXPECT_EQ(ConvertName(GetParam().name, GetParam().options), GetParam().result);
}

const auto U_ = SpaceMode::SpaceToUnderscore;
INSTANTIATE_TEST_SUITE_P(
    Names, FurtherNames,
    ::testing::Values(Named{U"archive.tar.GZ", opts(M::Upper, Base), U"ARCHIVE.TAR.GZ"},
                      Named{U"archive.tar.GZ", opts(M::Lower, Base), U"archive.tar.GZ"},
                      Named{U"archive.tar.GZ", opts(M::FirstUpper, Ext), U"archive.tar.Gz"},
                      Named{U"archive.tar.GZ", opts(M::FirstUpper, Whole), U"Archive.tar.gz"},
                      Named{U".htaccess", opts(M::Upper, Base), U".htaccess"},
                      Named{U".htaccess", opts(M::Lower, Base), U".htaccess"},
                      Named{U".htaccess", opts(M::Upper, Ext), U".HTACCESS"},
                      Named{U".htaccess", opts(M::FirstUpper, Ext), U".Htaccess"},
                      Named{U".htaccess", opts(M::FirstUpper, Base), U".htaccess"},
                      Named{U".htaccess", opts(M::FirstUpper, Whole), U".htaccess"},
                      Named{U"abc.", opts(M::FirstUpper, Ext), U"abc."},
                      Named{U"abc.", opts(M::Upper, Ext), U"abc."},
                      Named{U"abc.", opts(M::Upper, Base), U"ABC."},
                      Named{U" lead.txt", opts(M::FirstUpper, Whole), U"lead.txt"},
                      Named{U" lead.txt", opts(M::FirstUpper, Whole, U_), U"_lead.txt"},
                      Named{U"x y  z.T X T", opts(M::Upper, Ext), U"xyz.TXT"},
                      Named{U"x y  z.T X T", opts(M::Lower, Whole, U_), U"x_y__z.t_x_t"},
                      Named{U"name .txt", opts(M::Lower, Whole), U"name.txt"},
                      Named{U"文件 A.TXT", opts(M::Lower, Whole), U"文件a.txt"},
                      Named{U"README", opts(M::FirstUpper, Whole), U"Readme"},
                      Named{U"README", opts(M::Lower, Whole), U"readme"},
                      // No dot with one range box: the base alone is converted, no dot added;
                      // the extension alone leaves the name.
                      Named{U"README", opts(M::Lower, Base), U"readme"},
                      Named{U"README", opts(M::Lower, Ext), U"README"},
                      Named{U"README", opts(M::Upper, None), U""},
                      Named{U"", opts(M::Upper, Whole), U""},
                      Named{U"", opts(M::FirstUpper, Base, U_), U""},
                      Named{U"tab\there\u3000.txt", opts(M::Upper, Whole), U"TAB\tHERE\u3000.TXT"},
                      Named{U"ÉCOLE straße.TXT", opts(M::Lower, Whole), U"écolestraße.txt"}));

// Full-width forms and Chinese numerals, before the case step; spaces kept
// as a third choice. Each row: the name, what is asked, the new name.
TEST(ConvertName, HalfWidthArabicNumbersAndKeptSpaces) {
    struct Case {
        const char32_t* name;
        bool half, arabic;
        int width;
        SpaceMode spaces;
        const char32_t* want;
    };
    const Case cases[] = {
        {U"ＩＭＧ＿００１.jpg", true, false, 1, SpaceMode::Keep, U"Img_001.jpg"},
        {U"（１）［ａ］＆＋＝，！－．ｔｘｔ", true, false, 1, SpaceMode::Keep, U"(1)[a]&+=,!-.txt"},
        // Marks that would leave the folder or that FAT refuses stay full-width.
        {U"ａ／ｂ＼ｃ：ｄ＊ｅ？ｆ＂ｇ＜ｈ＞ｉ｜.txt", true, false, 1, SpaceMode::Keep,
         U"A／b＼c：d＊e？f＂g＜h＞i｜.txt"},
        {U"全角　空格.txt", true, false, 1, SpaceMode::Keep, U"全角 空格.txt"},
        {U"全角　空格.txt", true, false, 1, SpaceMode::SpaceToUnderscore, U"全角_空格.txt"},
        {U"ＩＭＧ.txt", false, false, 1, SpaceMode::Keep, U"Ｉｍｇ.txt"},
        {U"第十二集.mkv", false, true, 1, SpaceMode::Keep, U"第12集.mkv"},
        {U"第一集.mkv", false, true, 2, SpaceMode::Keep, U"第01集.mkv"},
        {U"第十集 第二十三集.mkv", false, true, 3, SpaceMode::Keep, U"第010集 第023集.mkv"},
        {U"一百零二.txt", false, true, 1, SpaceMode::Keep, U"102.txt"},
        {U"两百.txt", false, true, 1, SpaceMode::Keep, U"200.txt"},
        {U"一千〇一夜.txt", false, true, 1, SpaceMode::Keep, U"1001夜.txt"},
        {U"一万二千.txt", false, true, 1, SpaceMode::Keep, U"12000.txt"},
        // Not numbers: a lone numeral not after 第, and runs that are not
        // how a number is written.
        {U"星期一.txt", false, true, 1, SpaceMode::Keep, U"星期一.txt"},
        {U"一些.txt", false, true, 1, SpaceMode::Keep, U"一些.txt"},
        {U"一一对应.txt", false, true, 1, SpaceMode::Keep, U"一一对应.txt"},
        {U"三三两两.txt", false, true, 1, SpaceMode::Keep, U"三三两两.txt"},
        {U"万一.txt", false, true, 1, SpaceMode::Keep, U"万一.txt"},
        // Both, then the case step: full-width digits are digits already.
        {U"第三集 ＥＰ３.mkv", true, true, 2, SpaceMode::Keep, U"第03集 ep3.mkv"},
        {U"2024-05-01 家庭旅行 001.JPG", false, false, 1, SpaceMode::Keep,
         U"2024-05-01 家庭旅行 001.jpg"},
    };
    for (const Case& c : cases) {
        ConvertOptions o;
        o.caseMode = CaseMode::FirstUpper;
        o.spaceMode = c.spaces;
        o.halfWidth = c.half;
        o.arabicNumbers = c.arabic;
        o.numberWidth = c.width;
        EXPECT_EQ(encodeName(ConvertName(c.name, o)), encodeName(c.want)) << encodeName(c.name);
    }
}

TEST(ConvertName, KeepsTheLengthOfANameWithoutSpaces) {
    for (const char32_t* n : {U"Straße.ǅ", U"ǈǋ.x", U"İstanbul", U"ﬃ.TXT"})
        for (M m : {M::Upper, M::Lower, M::FirstUpper})
            EXPECT_EQ(ConvertName(n, opts(m, Whole)).size(), std::u32string(n).size());
}

TEST(TextHelpers, SearchAgainWhereTheSidesJoin) {
    EXPECT_EQ(StrCls(U"aabb", U"ab"), U"");
    EXPECT_EQ(StrRel(U"abb", U"ab", U"a"), U"a");
    EXPECT_EQ(StrCls(U"a b  c", U" "), U"abc");
    EXPECT_EQ(StrRel(U"a b  c", U" ", U"_"), U"a_b__c");
    EXPECT_EQ(StrCls(U"xyz", U"q"), U"xyz");
    EXPECT_EQ(StrCls(U"", U" "), U"");
    EXPECT_EQ(StrRel(U"aaab", U"ab", U"b"), U"b");
}

TEST(TextHelpers, LoopsThatWouldNeverEndReturn) {
    EXPECT_EQ(StrCls(U"abc", U""), U"abc");
    EXPECT_EQ(StrRel(U"abc", U"", U"x"), U"abc");
    // A replacement holding the searched text: each original occurrence once.
    EXPECT_EQ(StrRel(U"a a", U"a", U"aa"), U"aa aa");
    EXPECT_EQ(StrRel(U"ab", U"b", U"bb"), U"abb");
    // A growing rewrite stops at the length limit instead of running on.
    EXPECT_LE(StrRel(std::u32string(100, U'a') + U"b", U"ab", U"bba").size(), 32767u + 3u);
    // Found by the fuzzer: a short text that grows without end, one
    // replacement at a time.
    const std::u32string grown = StrRel(U"baa", U"ba", U"aabb");
    EXPECT_GT(grown.size(), 32767u);
    EXPECT_LE(grown.size(), 32767u + 2u);
}

TEST(TextHelpers, Trim) {
    EXPECT_EQ(TrimSpaces(U"  pic "), U"pic");
    EXPECT_EQ(TrimSpaces(U" a b "), U"a b");
    EXPECT_EQ(TrimSpaces(U"\u3000x"), U"\u3000x");
    EXPECT_EQ(TrimSpacesWide(U"\u3000 txt \u3000"), U"txt");
    EXPECT_EQ(TrimSpacesWide(U"   "), U"");
}

} // namespace
} // namespace nw
