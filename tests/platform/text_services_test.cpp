#include "platform/case_map.h"
#include "platform/cp936.h"
#include "platform/mounts.h"
#include "platform/natural_order.h"
#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

namespace nw {
namespace {

TEST(CaseMap, IsSimpleOneToOneForEveryScript) {
    // The user's locale must not matter (Turkish i would).
    std::setlocale(LC_ALL, "tr_TR.UTF-8");
    EXPECT_EQ(upper(U"istanbul"), U"ISTANBUL");
    EXPECT_EQ(upper(U"straße"), U"STRAßE"); // ß stays one character
    EXPECT_EQ(upper(U"ａｂｃ"), U"ＡＢＣ"); // full-width
    EXPECT_EQ(lower(U"ÀÉÎ"), U"àéî");
    EXPECT_EQ(upper(U"αβγ"), U"ΑΒΓ");
    EXPECT_EQ(lower(U"ПРИВЕТ"), U"привет");
    EXPECT_EQ(upper(U"中文 1_."), U"中文 1_.");
    const std::u32string escaped{0xDC80, 0xDCFF};
    EXPECT_EQ(upper(escaped), escaped);
    std::setlocale(LC_ALL, "C");
}

TEST(Cp936, MapsBothWaysWhateverTheLocale) {
    EXPECT_EQ(cp936::codeOf(U'中'), 0xD6D0);
    EXPECT_EQ(cp936::codeOf(U'國'), 0x87F8);
    EXPECT_EQ(cp936::codeOf(U'国'), 0xB9FA);
    EXPECT_EQ(cp936::codeOf(U'A'), 0x41);
    EXPECT_FALSE(cp936::isDoubleByte(U'A'));
    EXPECT_EQ(cp936::codeOf(U'\U0001F600'), 0); // no form
    EXPECT_EQ(cp936::codeOf(U'ก'), 0);
    EXPECT_EQ(cp936::charOf(0xD6D0), U'中');
    EXPECT_EQ(cp936::charOf(0x41), U'A');
    EXPECT_FALSE(cp936::charOf(0x8100)); // trail byte 0x00 is no code
    // Every double-byte character goes back to the code it came from.
    int count = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (auto c = cp936::charOf(static_cast<std::uint16_t>(lead << 8 | trail)))
                if (cp936::codeOf(*c) == (lead << 8 | trail))
                    ++count;
    EXPECT_GT(count, 21000);
}

struct Match {
    const char32_t* pattern;
    const char32_t* name;
    bool matches;
};

class Wildcards : public ::testing::TestWithParam<Match> {};

TEST_P(Wildcards, MatchTheWholeNameIgnoringCase) {
    EXPECT_EQ(WildcardSet(GetParam().pattern).matches(GetParam().name), GetParam().matches)
        << "pattern and name as given";
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Wildcards,
    ::testing::Values(
        Match{U"*.txt", U"a.txt", true}, Match{U"*.txt", U"A.TXT", true},
        Match{U"*.txt", U"a.txt.bak", false}, Match{U"*.txt", U"atxt", false},
        Match{U"*.htm;*.html", U"index.HTML", true}, Match{U"*.htm;*.html", U"index.htmx", false},
        Match{U"*.bmp;*.gif;*.jpg", U"x.gif", true}, Match{U"*.bmp;*.gif;*.jpg", U"x.png", false},
        Match{U"?.c", U"a.c", true}, Match{U"?.c", U"ab.c", false}, Match{U"*.*", U"README", true},
        Match{U"*.*", U".hidden", true}, Match{U"a*b*c", U"aXbYbZc", true},
        Match{U"a*b*c", U"aXbYbZ", false}, Match{U"*.ＴＸＴ", U"文件.ｔｘｔ", true},
        Match{U"*.php;*.php3;*.php4", U"x.php3", true}, Match{U";*.c;", U"m.c", true}));

TEST(NaturalOrder, SortsAsAPersonWould) {
    std::vector<std::u32string> names{U"img10.png", U"IMG2.png", U"img1.png", U"b",     U"A",
                                      U"img02.png", U"img2.png", U"文件",     U"x9y10", U"x9y9"};
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return naturalCompare(a, b) < 0; });
    const std::vector<std::u32string> expected{U"A",         U"b",        U"img1.png",  U"IMG2.png",
                                               U"img02.png", U"img2.png", U"img10.png", U"x9y9",
                                               U"x9y10",     U"文件"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(naturalCompare(U"a", U"a"), 0);
    EXPECT_NE(naturalCompare(U"a", U"A"), 0); // total order
    EXPECT_LT(naturalCompare(U"99999999999999999999", U"100000000000000000000"), 0);
    // Full-width digits are numbers too, and equal to ASCII ones by value.
    EXPECT_LT(naturalCompare(U"第３集", U"第１２集"), 0);
    EXPECT_LT(naturalCompare(U"第３集", U"第12集"), 0);
    EXPECT_LT(naturalCompare(U"第９集", U"第１０集"), 0);
    EXPECT_NE(naturalCompare(U"第１集", U"第1集"), 0); // total order
}

TEST(Mounts, KeepsWhatAUserBrowsesAndPicksTheLongestPrefix) {
    const std::string info = "22 27 0:21 / /proc rw - proc proc rw\n"
                             "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
                             "28 27 0:25 / /mnt/sandbox ro - tmpfs none ro\n"
                             "29 27 8:1 / /home rw - ext4 /dev/sda1 rw\n"
                             "30 27 8:17 / /media/u/USB\\040STICK rw - vfat /dev/sdb1 rw\n"
                             "31 27 8:2 / /boot/efi rw - vfat /dev/sda2 rw\n"
                             "32 27 0:40 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
                             "33 27 8:3 / /data rw - xfs /dev/sda3 rw\n";
    const auto m = browsableMountsFrom(info);
    const std::vector<std::string> expected{"/", "/data", "/home", "/media/u/USB STICK"};
    EXPECT_EQ(m, expected);
    EXPECT_EQ(mountHolding(m, "/home/u/x"), "/home");
    EXPECT_EQ(mountHolding(m, "/homework"), "/");
    EXPECT_EQ(mountHolding(m, "/media/u/USB STICK"), "/media/u/USB STICK");
    EXPECT_EQ(mountHolding(m, "/etc"), "/");
    EXPECT_EQ(browsableMounts().front(), "/");
    // A drive's type by its device, optional fields and all.
    EXPECT_EQ(
        mountTypeFrom(info + "40 27 0:52 / /media/u/FAT rw shared:1 - fuse.fusefat fusefat rw\n", 0,
                      52),
        "fuse.fusefat");
    EXPECT_EQ(mountTypeFrom(info, 8, 17), "vfat");
    EXPECT_EQ(mountTypeFrom(info, 8, 99), "");
}

} // namespace
} // namespace nw
