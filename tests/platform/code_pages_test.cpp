// The legacy code pages against ICU's own converters, and how often a folder's
// code page is judged right, over folders of names the test writes itself.
#include "platform/code_pages.h"
#include "platform/name_codec.h"
#include "tests/support/sample_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
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
                    right[p] += judgeCodePage(names, priors[p]) == e ? 1 : 0;
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

// Seven names of one code page and three of another: the seven decide.
TEST(CodePages, TheMostNamesDecideAMixedFolder) {
    std::mt19937 rng(9);
    for (const auto major : kLegacyEncodings)
        for (const auto minor : kLegacyEncodings) {
            if (major == minor)
                continue;
            int right = 0;
            for (int f = 0; f < 50; ++f) {
                const auto a = test::sampleFolder(major, 7, rng);
                const auto b = test::sampleFolder(minor, 3, rng);
                std::vector<std::string_view> names;
                for (const auto* part : {&a, &b})
                    for (const auto& n : *part)
                        names.push_back(n.bytes);
                right += judgeCodePage(names, NameEncoding::Gbk) == major ? 1 : 0;
            }
            EXPECT_GE(right, 48) << encodingLabel(major) << " with " << encodingLabel(minor);
        }
}

} // namespace
} // namespace nw
