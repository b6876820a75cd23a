#include "platform/cp936.h"
#include "platform/name_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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
    std::optional<NameEncoding> codePage; // the folder's
    std::u32string text;                  // empty: the escaped decoding
    NameEncoding encoding;
    std::string writtenAs = {}; // a new name of the same text; empty: the same bytes
};

class NameReading : public ::testing::TestWithParam<Reading> {};

// Each name is read in its folder's code page where that reads it, and
// written back to the same bytes.
TEST_P(NameReading, ReadsInTheFoldersCodePageAndWritesTheSameBytes) {
    const Reading& r = GetParam();
    const DecodedName d = readName(r.bytes, r.codePage);
    EXPECT_EQ(d.encoding, r.encoding);
    EXPECT_EQ(d.text, r.text.empty() ? decodeName(r.bytes) : r.text);
    EXPECT_EQ(isUndecoded(d.text), r.text.empty());
    EXPECT_EQ(writeName(d.text, d.encoding), r.writtenAs.empty() ? r.bytes : r.writtenAs);
}

constexpr auto kGbk = NameEncoding::Gbk;
constexpr auto kBig5 = NameEncoding::Big5;
constexpr auto kSjis = NameEncoding::ShiftJis;
constexpr auto kKr = NameEncoding::EucKr;
constexpr auto kLatin = NameEncoding::Windows1252;
constexpr auto kUtf8 = NameEncoding::Utf8;

INSTANTIATE_TEST_SUITE_P(
    Names, NameReading,
    ::testing::Values(
        // UTF-8 stays UTF-8 whatever the folder's code page.
        Reading{"中國.txt", kBig5, U"中國.txt", kUtf8},
        Reading{"plain.TXT", kGbk, U"plain.TXT", kUtf8},
        // Second bytes that are ASCII letters: 資 D9 59, 說 D5 66, 議 D7 68.
        Reading{"\xD9\x59\xC1\xCF.txt", kGbk, U"資料.txt", kGbk},
        Reading{"\x95\xFE\xD7\x68\xD5\x66\xC3\xF7.doc", kGbk, U"會議說明.doc", kGbk},
        Reading{"\xA3\xC1\xA3\xE1 a", kGbk, U"Ａａ a", kGbk}, // full-width letters
        // GB18030's four bytes are read; a new name is never given them.
        Reading{"\x82\x37\xCF\x35.txt", kGbk, U"가.txt", kGbk, "가.txt"},
        Reading{"\xB9\x71\xB8\xA3.TXT", kBig5, U"電腦.TXT", kBig5},
        // Legacy bytes that are valid UTF-8 as well, but only as a combining
        // mark and rare letters: read in the code page, a new name in UTF-8.
        Reading{"\xCC\xA7\xCD\xB7.txt", kGbk, U"抬头.txt", kGbk, "抬头.txt"},
        Reading{"\xC8\xA3\xC8\xAD.txt", NameEncoding::EucKr, U"호화.txt", NameEncoding::EucKr,
                "호화.txt"},
        // Real UTF-8 accents and Greek stay UTF-8 in a GBK folder.
        Reading{"caf\xC3\xA9.txt", kGbk, U"café.txt", kUtf8},
        Reading{"\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1", kGbk, U"Αθήνα", kUtf8},
        Reading{"\xC4\xCB\xED\xB0.mp3", NameEncoding::EucTw, U"大數.mp3", NameEncoding::EucTw},
        Reading{"\xC5\xEC\xB5\xFE\xA5\xBF\xA5\xEF\xA1\xBC.JPG", NameEncoding::EucJp,
                U"東京タワー.JPG", NameEncoding::EucJp},
        Reading{"\x93\x8C\x8B\x9E\x83\x5E\x83\x8F\x81\x5B.JPG", kSjis, U"東京タワー.JPG", kSjis},
        Reading{"\xC7\xD1\xB1\xB9\xBE\xEE \xB9\xAE\xBC\xAD.txt", kKr, U"한국어 문서.txt", kKr},
        Reading{"M\xFCller Stra\xDF"
                "e.doc",
                kLatin, U"Müller Straße.doc", kLatin},
        // Not read: no code page chosen, cut short, a bad second byte, a
        // private-use code, Windows-1252's unassigned 0x81 (ICU reads it as a
        // control character), the same bytes in another code page.
        Reading{"caf\xE9", std::nullopt, U"", kUtf8}, Reading{"\xD6\xD0\xCE", kGbk, U"", kUtf8},
        Reading{"\xD6\x7F.txt", kGbk, U"", kUtf8}, Reading{"\xAA\xA1", kGbk, U"", kUtf8},
        Reading{"a\x81.txt", kLatin, U"", kUtf8}, Reading{"caf\xE9.txt", kSjis, U"", kUtf8}));

TEST(NameCodec, EveryByteStringIsReadAndWrittenBackExactly) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> len(0, 16), byte(1, 255), lead(0x81, 0xFE),
        trail(0x40, 0xFE);
    std::map<NameEncoding, int> read;
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const std::size_t n = static_cast<std::size_t>(len(rng));
        // Half of them shaped as double-byte text, so that every reading is
        // exercised.
        for (std::size_t k = 0; k < n; ++k) {
            if (i % 2 == 0) {
                s.push_back(static_cast<char>(byte(rng)));
            } else {
                s.push_back(static_cast<char>(lead(rng)));
                s.push_back(static_cast<char>(trail(rng)));
            }
        }
        const DecodedName alone = readName(s);
        ASSERT_EQ(alone.text, readName(s, judgeCodePage({s}, localePrior())).text);
        for (const auto e : kLegacyEncodings) {
            const DecodedName d = readName(s, e);
            ++read[d.encoding];
            ASSERT_EQ(isUndecoded(d.text), d.encoding == kUtf8 && !isUtf8(s));
            ASSERT_EQ(codepage::encode(d.encoding, d.text).value_or(encodeName(d.text)), s);
            // GBK writes no four-byte GB18030 form for a new name.
            const bool fourBytes =
                d.encoding == kGbk && !std::all_of(d.text.begin(), d.text.end(),
                                                   [](char32_t c) { return cp936::codeOf(c); });
            // Nor are bytes that are valid UTF-8 written anew in a code page.
            if (!fourBytes && !d.alsoUtf8) {
                ASSERT_EQ(writeName(d.text, d.encoding), s);
            }
        }
    }
    for (const auto e : kLegacyEncodings)
        EXPECT_GT(read[e], 300) << encodingLabel(e);
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
