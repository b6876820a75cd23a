// The shipped table against Debian's opencc command: what a Chinese reader
// expects of a character-by-character conversion.
#include "core/conv_table.h"
#include "platform/cp936.h"
#include "platform/name_codec.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nw {
namespace {

ConvTable shipped() {
    std::ifstream f(NW_SHIPPED_TABLE, std::ios::binary);
    return ConvTable(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {}));
}

// opencc with one of its configurations over each character on a line of its
// own, so that no phrase rule applies.
std::u32string opencc(const char* config, const std::u32string& chars) {
    test::TempFolder dir;
    std::string lines;
    for (char32_t c : chars)
        lines += encodeName(std::u32string(1, c)) + "\n";
    test::writeFile(dir.path(), "in", lines);
    const std::string cmd =
        std::string("opencc -c ") + config + " -i " + dir.path() + "/in -o " + dir.path() + "/out";
    if (std::system(cmd.c_str()) != 0)
        return {};
    std::ifstream in(dir.path() + "/out");
    std::u32string out;
    for (std::string line; std::getline(in, line);) {
        const std::u32string c = decodeName(line);
        out.push_back(c.size() == 1 ? c[0] : U'\0'); // several characters: no single answer
    }
    return out;
}

std::u32string gb2312Level1() {
    std::u32string out;
    for (int lead = 0xB0; lead <= 0xD7; ++lead)
        for (int trail = 0xA1; trail <= (lead == 0xD7 ? 0xF9 : 0xFE); ++trail)
            if (auto c = cp936::charOf(static_cast<std::uint16_t>(lead << 8 | trail)))
                out.push_back(*c);
    return out;
}

// Big5's frequently used characters (0xA440 to 0xC67E) that GBK holds.
std::u32string big5FrequentInGbk() {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* big5 = ucnv_open("windows-950", &status);
    std::u32string out;
    for (int code = 0xA440; code <= 0xC67E && U_SUCCESS(status); ++code) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        UChar u[4];
        UErrorCode s = U_ZERO_ERROR;
        if (ucnv_toUChars(big5, u, 4, bytes, 2, &s) == 1 && U_SUCCESS(s) && u[0] != 0xFFFD &&
            cp936::isDoubleByte(u[0]))
            out.push_back(u[0]);
    }
    ucnv_close(big5);
    return out;
}

std::string show(const std::u32string& s) { return toDisplayUtf8(s); }

TEST(ShippedTable, SimplifiedToTraditionalGivesAnAnswerOpenccGives) {
    const ConvTable t = shipped();
    const std::u32string chars = gb2312Level1();
    ASSERT_EQ(chars.size(), 3755u);
    const std::u32string s2t = opencc("s2t.json", chars), s2tw = opencc("s2tw.json", chars),
                         s2hk = opencc("s2hk.json", chars);
    ASSERT_EQ(s2t.size(), chars.size()) << "is Debian's opencc installed?";
    ASSERT_EQ(s2tw.size(), chars.size());
    ASSERT_EQ(s2hk.size(), chars.size());
    std::u32string off;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t mine = StrJ2F(t, std::u32string(1, chars[i]))[0];
        if (mine != s2t[i] && mine != s2tw[i] && mine != s2hk[i])
            off += std::u32string{chars[i], U'>', mine, U' '};
    }
    EXPECT_LE(off.size() / 4, 10u) << show(off);
    std::printf("StrJ2F differs from s2t, s2tw and s2hk on %zu of %zu characters: %s\n",
                off.size() / 4, chars.size(), show(off).c_str());
}

TEST(ShippedTable, TraditionalToSimplifiedFollowsOpenccAndKeepsSimplifiedText) {
    const ConvTable t = shipped();
    const std::u32string big5 = big5FrequentInGbk();
    ASSERT_GT(big5.size(), 5000u);
    const std::u32string t2s = opencc("t2s.json", big5);
    ASSERT_EQ(t2s.size(), big5.size());
    std::size_t single = 0, agree = 0;
    for (std::size_t i = 0; i < big5.size(); ++i) {
        if (!cp936::isDoubleByte(t2s[i]))
            continue;
        ++single;
        if (StrF2J(t, std::u32string(1, big5[i]))[0] == t2s[i])
            ++agree;
    }
    EXPECT_GE(agree * 100, single * 98);
    std::printf("StrF2J agrees with t2s on %zu of %zu Big5 characters (%.1f%%)\n", agree, single,
                100.0 * static_cast<double>(agree) / static_cast<double>(single));

    const std::u32string gb = gb2312Level1(), kept = opencc("t2s.json", gb);
    ASSERT_EQ(kept.size(), gb.size());
    std::u32string changed;
    for (std::size_t i = 0; i < gb.size(); ++i)
        if (kept[i] == gb[i] && StrF2J(t, std::u32string(1, gb[i]))[0] != gb[i])
            changed.push_back(gb[i]);
    EXPECT_EQ(show(changed), "");
}

TEST(ShippedTable, CommonFileNameWordsBothWays) {
    const ConvTable t = shipped();
    // Simplified, Traditional. One slot per character cannot hold a word's
    // context: 发 is always 發 (头发 gives 頭發, not 頭髮), 干 always 幹, and
    // 系 and 面 stay as they are, as OpenCC has them one character at a time.
    const std::pair<std::u32string, std::u32string> words[] = {
        {U"国家", U"國家"}, {U"为了", U"為了"},     {U"头发", U"頭發"},         {U"干净", U"幹淨"},
        {U"台湾", U"臺灣"}, {U"关系", U"關系"},     {U"会议记录", U"會議記錄"}, {U"报告", U"報告"},
        {U"软件", U"軟件"}, {U"说明书", U"說明書"}, {U"图片", U"圖片"},         {U"视频", U"視頻"},
        {U"网络", U"網絡"}, {U"学习", U"學習"},     {U"发票", U"發票"},         {U"后来", U"後來"},
        {U"里面", U"裏面"}, {U"面包", U"面包"},
    };
    for (const auto& [simplified, traditional] : words) {
        EXPECT_EQ(show(StrJ2F(t, simplified)), show(traditional));
        EXPECT_EQ(show(StrF2J(t, traditional)), show(simplified));
    }
    // Simplified text stays as it is; Taiwan's forms convert too.
    for (const std::u32string w : {U"著作", U"俱乐部", U"藉口", U"家具", U"了解", U"制度"})
        EXPECT_EQ(show(StrF2J(t, w)), show(w));
    EXPECT_EQ(show(StrF2J(t, U"為了裡面")), "为了里面");
}

} // namespace
} // namespace nw
