#include "platform/name_codec.h"

#include <gtest/gtest.h>

#include <random>

namespace nw {
namespace {

TEST(NameCodec, ValidUtf8DecodesToOneElementPerCharacter) {
    EXPECT_EQ(decodeName("中國.txt"), U"中國.txt");
    EXPECT_EQ(decodeName("\xF0\x9F\x98\x80"), U"\U0001F600"); // outside the BMP: one character
    EXPECT_EQ(decodeName("é"), U"é");
}

struct Invalid {
    const char* bytes;
    std::size_t size;
    std::size_t chars;
};

class NameCodecInvalid : public ::testing::TestWithParam<Invalid> {};

TEST_P(NameCodecInvalid, EscapesEachBadByteAndRoundTrips) {
    const std::string bytes(GetParam().bytes, GetParam().size);
    const std::u32string text = decodeName(bytes);
    EXPECT_EQ(text.size(), GetParam().chars);
    EXPECT_EQ(encodeName(text), bytes);
    EXPECT_EQ(toDisplayUtf8(text).find('\xFF'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, NameCodecInvalid,
    ::testing::Values(Invalid{"caf\xE9.txt", 8, 8},         // Latin-1
                      Invalid{"\xD6\xD0\xCE\xC4", 4, 4},     // GBK bytes
                      Invalid{"\xC0\xAF", 2, 2},             // overlong "/"
                      Invalid{"\xED\xA0\x80", 3, 3},         // encoded surrogate
                      Invalid{"\xF4\x90\x80\x80", 4, 4},     // past U+10FFFF
                      Invalid{"ab\xE4\xB8", 4, 4},           // cut short at the end
                      Invalid{"\xED\xB2\x80", 3, 3}));       // what an escape would encode to

TEST(NameCodec, EveryByteStringSurvivesARoundTrip) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> len(0, 24), byte(1, 255);
    for (int i = 0; i < 20000; ++i) {
        std::string s(static_cast<std::size_t>(len(rng)), '\0');
        for (auto& c : s)
            c = static_cast<char>(byte(rng));
        ASSERT_EQ(encodeName(decodeName(s)), s);
    }
}

TEST(NameCodec, EscapedBytesNeverBecomeSlashOrNul) {
    for (int b = 0x80; b < 0x100; ++b) {
        const std::u32string t = decodeName(std::string(1, static_cast<char>(b)));
        ASSERT_EQ(t.size(), 1u);
        EXPECT_TRUE(isEscapedByte(t[0]));
        EXPECT_NE(t[0], U'/');
    }
    EXPECT_EQ(toDisplayUtf8(decodeName("a\xFF")), "a\xEF\xBF\xBD");
}

} // namespace
} // namespace nw
