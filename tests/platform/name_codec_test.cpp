#include "platform/cp936.h"
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

INSTANTIATE_TEST_SUITE_P(Bytes, NameCodecInvalid,
                         ::testing::Values(Invalid{"caf\xE9.txt", 8, 8},      // Latin-1
                                           Invalid{"\xD6\xD0\xCE\xC4", 4, 4}, // GBK bytes
                                           Invalid{"\xC0\xAF", 2, 2},         // overlong "/"
                                           Invalid{"\xED\xA0\x80", 3, 3},     // encoded surrogate
                                           Invalid{"\xF4\x90\x80\x80", 4, 4}, // past U+10FFFF
                                           Invalid{"ab\xE4\xB8", 4, 4}, // cut short at the end
                                           Invalid{"\xED\xB2\x80", 3,
                                                   3})); // what an escape would encode to

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

struct Reading {
    std::string bytes;
    std::u32string text; // empty: the escaped decoding
    NameEncoding encoding;
};

class NameReading : public ::testing::TestWithParam<Reading> {};

// Each name is read in its own encoding and written back to the same bytes.
TEST_P(NameReading, ReadsInItsOwnEncodingAndWritesTheSameBytes) {
    const Reading& r = GetParam();
    const DecodedName d = readName(r.bytes);
    EXPECT_EQ(d.encoding, r.encoding);
    EXPECT_EQ(d.text, r.text.empty() ? decodeName(r.bytes) : r.text);
    EXPECT_EQ(writeName(d.text, d.encoding), r.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameReading,
    ::testing::Values(
        Reading{"中國.txt", U"中國.txt", NameEncoding::Utf8},
        Reading{"plain.TXT", U"plain.TXT", NameEncoding::Utf8},
        // GBK whose second bytes are ASCII letters: 資 D9 59, 說 D5 66, 議 D7 68.
        Reading{"\xD9\x59\xC1\xCF.txt", U"資料.txt", NameEncoding::Gbk},
        Reading{"\x95\xFE\xD7\x68\xD5\x66\xC3\xF7.doc", U"會議說明.doc", NameEncoding::Gbk},
        Reading{"\xA3\xC1\xA3\xE1 a", U"Ａａ a", NameEncoding::Gbk}, // full-width letters
        // Not GBK: cut short, a bad second byte, a private-use code, Latin-1.
        Reading{"\xD6\xD0\xCE", U"", NameEncoding::Utf8},
        Reading{"\xD6\x7F.txt", U"", NameEncoding::Utf8},
        Reading{"\xAA\xA1", U"", NameEncoding::Utf8}, Reading{"caf\xE9", U"", NameEncoding::Utf8}));

TEST(NameCodec, EveryByteStringIsReadAndWrittenBackExactly) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> len(0, 16), byte(1, 255), gbkLead(0x81, 0xFE),
        gbkTrail(0x40, 0xFE);
    int gbk = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const std::size_t n = static_cast<std::size_t>(len(rng));
        // Half of them GBK-shaped, so that both readings are exercised.
        for (std::size_t k = 0; k < n; ++k) {
            if (i % 2 == 0) {
                s.push_back(static_cast<char>(byte(rng)));
            } else {
                s.push_back(static_cast<char>(gbkLead(rng)));
                s.push_back(static_cast<char>(gbkTrail(rng)));
            }
        }
        const DecodedName d = readName(s);
        gbk += d.encoding == NameEncoding::Gbk;
        ASSERT_EQ(writeName(d.text, d.encoding), s);
        ASSERT_EQ(readName(writeName(d.text, NameEncoding::Gbk)).text, d.text);
    }
    EXPECT_GT(gbk, 1000);
}

TEST(NameCodec, WhatGbkCannotWriteIsWrittenInUtf8) {
    // An emoji typed as custom text, an escaped byte.
    EXPECT_EQ(writeName(U"資料\U0001F600", NameEncoding::Gbk), "資料\xF0\x9F\x98\x80");
    EXPECT_EQ(writeName(decodeName("\xFF資"), NameEncoding::Gbk), "\xFF資");
    // GBK bytes that are also valid UTF-8 would come back as other text.
    const char32_t c = *cp936::charOf(0xC8A1);
    EXPECT_EQ(readName("\xC8\xA1").encoding, NameEncoding::Utf8);
    EXPECT_EQ(writeName(std::u32string(1, c), NameEncoding::Gbk), encodeName(std::u32string(1, c)));
}

} // namespace
} // namespace nw
