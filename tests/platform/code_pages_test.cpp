// The legacy code pages against ICU's own converters, and how often a folder's
// code page is judged right, over folders of names the test writes itself.
#include "platform/code_pages.h"
#include "platform/name_codec.h"
#include "tests/support/sample_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <random>

namespace nw {
namespace {

// Ordinary names in each code page read back as written, and are written as
// ICU writes them.
TEST(CodePages, ReadAndWriteOrdinaryNamesAsIcuDoes) {
    std::mt19937 rng(17);
    for (const auto e : kLegacyEncodings)
        for (int i = 0; i < 300; ++i) {
            const std::u32string name = test::sampleName(e, rng);
            const auto icu = test::encodeWithIcu(e, name);
            ASSERT_TRUE(icu) << encodingLabel(e);
            EXPECT_EQ(codepage::encode(e, name), icu) << encodingLabel(e);
            EXPECT_EQ(codepage::decode(e, *icu), name) << encodingLabel(e);
            if (!isUtf8(*icu)) {
                EXPECT_EQ(readName(*icu, e).text, name);
            }
        }
}

TEST(CodePages, TheLocaleGivesThePrior) {
    const std::map<std::string, std::optional<NameEncoding>> priors{
        {"zh_CN.UTF-8", NameEncoding::Gbk},
        {"zh_SG", NameEncoding::Gbk},
        {"zh_TW.UTF-8", NameEncoding::Big5},
        {"zh_HK.UTF-8", NameEncoding::Big5},
        {"ja_JP.UTF-8", NameEncoding::ShiftJis},
        {"ko_KR.EUC-KR", NameEncoding::EucKr},
        {"de_DE.UTF-8@euro", NameEncoding::Windows1252},
        {"fr_CA", NameEncoding::Windows1252},
        {"en_US.UTF-8", std::nullopt},
        {"C.UTF-8", std::nullopt},
        {"ru_RU.UTF-8", std::nullopt}};
    for (const auto& [locale, prior] : priors)
        EXPECT_EQ(priorOfLocale(locale), prior) << locale;
}

// Per code page and folder size, the share of a few hundred generated folders
// whose code page is judged right: with no prior, with the program's default
// (GBK: wrong for all but GBK) and with the prior of the language's own
// locale. The table is printed; folders of ten names must be judged right
// 99 times in 100 under any prior, single names 90 times in 100 under their
// own locale's.
TEST(CodePages, FoldersAreJudgedRight) {
    constexpr int kFolders = 300;
    std::mt19937 rng(2026);
    std::printf("code page      size  no prior  GBK prior  own prior\n");
    for (const auto e : kLegacyEncodings) {
        for (const int size : {1, 3, 10}) {
            std::array<int, 3> right{};
            for (int f = 0; f < kFolders; ++f) {
                const auto folder = test::sampleFolder(e, size, rng);
                std::vector<std::string_view> names;
                for (const auto& n : folder)
                    names.push_back(n.bytes);
                const std::optional<NameEncoding> priors[] = {std::nullopt, NameEncoding::Gbk, e};
                for (std::size_t p = 0; p < 3; ++p)
                    right[p] += judgeCodePage(names, priors[p]).codePage == e ? 1 : 0;
            }
            auto share = [&](std::size_t p) { return 100.0 * right[p] / kFolders; };
            std::printf("%-13s  %4d  %7.1f%%  %8.1f%%  %8.1f%%\n", encodingLabel(e), size, share(0),
                        share(1), share(2));
            for (std::size_t p = 0; p < 3 && size == 10; ++p) {
                EXPECT_GE(share(p), 99.0) << encodingLabel(e) << " prior " << p;
            }
            if (size == 1) {
                EXPECT_GE(share(2), 90.0) << encodingLabel(e);
            }
        }
    }
}

// Seven names of one code page and three of another: the seven decide, or
// the folder is left alone. Rarely is it read clearly in the code page of
// the three: names of kanji alone in EUC-JP read as well in GBK.
TEST(CodePages, TheMostNamesDecideAMixedFolder) {
    std::mt19937 rng(9);
    for (const auto major : kLegacyEncodings)
        for (const auto minor : kLegacyEncodings) {
            if (major == minor)
                continue;
            int right = 0, misread = 0;
            for (int f = 0; f < 50; ++f) {
                const auto a = test::sampleFolder(major, 7, rng);
                const auto b = test::sampleFolder(minor, 3, rng);
                std::vector<std::string_view> names;
                for (const auto* part : {&a, &b})
                    for (const auto& n : *part)
                        names.push_back(n.bytes);
                const CodePageJudgement j = judgeCodePage(names, NameEncoding::Gbk);
                right += j.codePage == major ? 1 : 0;
                misread += j.clear && j.codePage != major ? 1 : 0;
            }
            EXPECT_GE(right, 40) << encodingLabel(major) << " with " << encodingLabel(minor);
            EXPECT_LE(misread, 1) << encodingLabel(major) << " with " << encodingLabel(minor);
        }
}

// How each name of a folder came out: read as written and sure, left alone
// (not decoded, or its reading unsure), or misread: a tool would write
// characters the name never had.
struct Outcome {
    int right = 0, left = 0, misread = 0;
};
Outcome readFolder(const std::vector<std::string_view>& bytes,
                   const std::vector<std::u32string>& texts, std::optional<NameEncoding> prior) {
    const CodePageJudgement j = judgeCodePage(bytes, prior);
    Outcome o;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const DecodedName d = readName(bytes[i], j);
        if (d.unsure || isUndecoded(d.text))
            ++o.left;
        else if (d.text == texts[i])
            ++o.right;
        else
            ++o.misread;
    }
    return o;
}

// Names nobody on the project wrote (tests/data/legacy_names.txt: country,
// region and language names and menu texts translated for iso-codes, GTK and
// GLib), written in their language's code page by ICU, in folders of 1, 3, 10
// and 30, judged under the prior of six locales. Printed per row: the share
// read right and clearly, left alone (not clear), and misread clearly, which
// must never happen: a tool would write the misread characters.
TEST(CodePages, RealNamesAreJudgedRightOrLeftAlone) {
    std::map<std::string, std::vector<std::u32string>> byLanguage;
    std::ifstream in(NW_TEST_DATA "/legacy_names.txt");
    for (std::string line; std::getline(in, line);)
        if (const auto tab = line.find('\t'); !line.empty() && line[0] != '#' && tab != line.npos)
            byLanguage[line.substr(0, tab)].push_back(decodeName(line.substr(tab + 1)));
    ASSERT_EQ(byLanguage.size(), 6u);
    const std::pair<NameEncoding, std::vector<std::string>> sources[] = {
        {NameEncoding::Gbk, {"zh_CN"}},
        {NameEncoding::Big5, {"zh_TW"}},
        {NameEncoding::EucTw, {"zh_TW"}},
        {NameEncoding::ShiftJis, {"ja"}},
        {NameEncoding::EucJp, {"ja"}},
        {NameEncoding::EucKr, {"ko"}},
        {NameEncoding::Windows1252, {"de", "fr"}}};
    const char* locales[] = {"zh_CN.UTF-8", "zh_TW.UTF-8", "ja_JP.UTF-8",
                             "ko_KR.UTF-8", "de_DE.UTF-8", "C.UTF-8"};
    constexpr int kFolders = 100;
    std::mt19937 rng(31);
    std::printf("code page     locale       size   right  left alone  misread  names read\n");
    for (const auto& [e, languages] : sources) {
        std::vector<std::pair<std::string, std::u32string>> pool;
        for (const auto& language : languages)
            for (const auto& name : byLanguage[language])
                if (const auto bytes = test::encodeWithIcu(e, name); bytes && !isUtf8(*bytes))
                    pool.emplace_back(*bytes, name);
        ASSERT_GE(pool.size(), 300u) << encodingLabel(e);
        std::vector<std::size_t> indices(pool.size());
        std::iota(indices.begin(), indices.end(), std::size_t{0});
        for (const char* locale : locales) {
            const auto prior = priorOfLocale(locale).value_or(NameEncoding::Gbk);
            for (const int size : {1, 3, 10, 30}) {
                int right = 0, alone = 0, misread = 0;
                Outcome names;
                for (int f = 0; f < kFolders; ++f) {
                    std::vector<std::string_view> bytes;
                    std::vector<std::size_t> picked;
                    std::sample(indices.begin(), indices.end(), std::back_inserter(picked),
                                static_cast<std::size_t>(size), rng);
                    std::vector<std::u32string> texts;
                    for (std::size_t p : picked) {
                        bytes.push_back(pool[p].first);
                        texts.push_back(pool[p].second);
                    }
                    const CodePageJudgement j = judgeCodePage(bytes, prior);
                    right += j.clear && j.codePage == e ? 1 : 0;
                    alone += j.clear ? 0 : 1;
                    misread += j.clear && j.codePage != e ? 1 : 0;
                    const Outcome o = readFolder(bytes, texts, prior);
                    names.right += o.right;
                    names.left += o.left;
                    names.misread += o.misread;
                    if (o.misread > 0)
                        for (auto n : bytes)
                            ADD_FAILURE() << "misread: " << toDisplayUtf8(decodeName(n));
                }
                const int total = kFolders * size;
                std::printf("%-12s  %-11s  %4d  %5d%%  %9d%%  %6d%%  %10d%%\n", encodingLabel(e),
                            locale, size, right * 100 / kFolders, alone * 100 / kFolders,
                            misread * 100 / kFolders, names.right * 100 / total);
                EXPECT_EQ(misread, 0) << encodingLabel(e) << " " << locale << " " << size;
                EXPECT_EQ(names.misread, 0) << encodingLabel(e) << " " << locale << " " << size;
                if (size >= 3) {
                    EXPECT_GE(right, size == 3 ? 95 : 99)
                        << encodingLabel(e) << " " << locale << " " << size;
                }
            }
        }
    }
}

} // namespace
} // namespace nw
