#include "platform/code_pages.h"

#include "platform/name_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace nw {

const char* encodingLabel(NameEncoding e) {
    switch (e) {
    case NameEncoding::Utf8: return "UTF-8";
    case NameEncoding::Gbk: return "GBK";
    case NameEncoding::Big5: return "Big5";
    case NameEncoding::ShiftJis: return "Shift-JIS";
    case NameEncoding::EucKr: return "EUC-KR";
    case NameEncoding::Windows1252: return "Windows-1252";
    case NameEncoding::EucJp: return "EUC-JP";
    case NameEncoding::EucTw: return "EUC-TW";
    }
    return "UTF-8";
}

// The characters of each language by rank, in data/char-ranks.txt.
extern const char kCharRanks[];

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter open(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter c(ucnv_open(name, &status));
    if (U_FAILURE(status))
        return nullptr;
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFallback(c.get(), false);
    return c;
}

// ICU's converter for each code page: the Windows forms, which the archives
// and sticks come from (Korean as Windows writes it, a superset of EUC-KR).
const char* converterName(NameEncoding e) {
    switch (e) {
    case NameEncoding::Gbk: return "windows-936-2000";
    case NameEncoding::Big5: return "Big5-HKSCS";
    case NameEncoding::ShiftJis: return "ibm-943_P15A-2003";
    case NameEncoding::EucKr: return "windows-949-2000";
    case NameEncoding::Windows1252: return "windows-1252";
    case NameEncoding::EucJp: return "euc-jp-2007";
    case NameEncoding::EucTw: return "euc-tw-2014";
    case NameEncoding::Utf8: break;
    }
    return "UTF-8";
}

bool isText(char32_t c) {
    if (c < 0xA0)
        return false; // ASCII comes from ASCII bytes only; 0x80-0x9F are controls
    if ((c >= 0xD800 && c <= 0xF8FF) || c >= 0xF0000 || c == 0xFFFD)
        return false; // surrogates, private use
    return !((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE);
}

// What kind of character a code stands for, in each code page's own terms:
// the characters ordinary names are made of, and the rest.
enum Kind : std::uint8_t {
    Common,   // first-level Han characters
    Second,   // second-level Han characters (Korean: hanja)
    Punct,    // full-width forms and punctuation
    Hiragana, // Japanese kana
    Katakana,
    HalfKana, // half-width katakana
    Hangul,   // the 2350 syllables of KS X 1001
    Letter,   // Latin letters with accents
    Other,    // symbols: kana in Chinese code pages, Greek, box drawing
    Rare,     // extensions: GBK's own, HKSCS, UHC's extra syllables, vendor codes
    Far,      // GB18030's four-byte sequences
    kKinds
};

// The share of non-ASCII characters of each kind in ordinary names.
using Masses = std::array<double, kKinds>;
Masses massesOf(NameEncoding e) {
    Masses m{};
    switch (e) {
    case NameEncoding::Gbk:
        m[Common] = .80, m[Second] = .05, m[Punct] = .10, m[Other] = .02, m[Rare] = .0295;
        m[Far] = .0005;
        break;
    case NameEncoding::Big5: m[Common] = .80, m[Second] = .05, m[Punct] = .11, m[Rare] = .04; break;
    case NameEncoding::EucTw:
        m[Common] = .82, m[Punct] = .11, m[Rare] = .04, m[Far] = .03; // Far: the second plane
        break;
    case NameEncoding::ShiftJis:
    case NameEncoding::EucJp:
        m[Hiragana] = .26, m[Katakana] = .17, m[Common] = .38, m[Second] = .03, m[Punct] = .10;
        m[HalfKana] = .03, m[Rare] = .03;
        break;
    case NameEncoding::EucKr:
        m[Hangul] = .86, m[Second] = .02, m[Punct] = .09, m[Other] = .02, m[Rare] = .01;
        break;
    case NameEncoding::Windows1252: m[Letter] = .80, m[Other] = .20; break;
    case NameEncoding::Utf8: break;
    }
    return m;
}

bool in(unsigned code, unsigned lo, unsigned hi) { return code >= lo && code <= hi; }

bool isLatinLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
           (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7);
}
unsigned trailOf(unsigned code) { return code & 0xFF; }

Kind kindOf(NameEncoding e, char32_t c, unsigned code) {
    const bool dbcsTrail = trailOf(code) >= 0xA1;
    switch (e) {
    case NameEncoding::Gbk:
        if (code > 0xFFFF)
            return Far;
        if (in(code, 0xB0A1, 0xD7FE) && dbcsTrail)
            return Common;
        if (in(code, 0xD8A1, 0xF7FE) && dbcsTrail)
            return Second;
        if (in(code, 0xA1A1, 0xA3FE) && dbcsTrail)
            return Punct;
        if (in(code, 0xA4A1, 0xA9FE) && dbcsTrail)
            return Other;
        return code < 0x100 ? Other : Rare;
    case NameEncoding::Big5:
        if (in(code, 0xA440, 0xC67E))
            return Common;
        if (in(code, 0xC940, 0xF9D5))
            return Second;
        if (in(code, 0xA140, 0xA3BF))
            return Punct;
        return Rare;
    case NameEncoding::ShiftJis:
        if (in(c, 0x3041, 0x309F))
            return Hiragana;
        if (in(c, 0x30A0, 0x30FF))
            return Katakana;
        if (code < 0x100)
            return HalfKana;
        if (in(code, 0x889F, 0x9872))
            return Common;
        if (in(code, 0x989F, 0xEAA4))
            return Second;
        if (in(code, 0x8140, 0x84BE))
            return Punct;
        return Rare;
    case NameEncoding::EucJp:
        if (in(c, 0x3041, 0x309F))
            return Hiragana;
        if (in(c, 0x30A0, 0x30FF))
            return Katakana;
        if (in(code, 0x8EA1, 0x8EDF))
            return HalfKana;
        if (in(code, 0xB0A1, 0xCFD3))
            return Common;
        if (in(code, 0xD0A1, 0xF4A6))
            return Second;
        if (in(code, 0xA1A1, 0xA2FE))
            return Punct;
        return Rare;
    case NameEncoding::EucTw:
        if (in(code, 0xC4A1, 0xFDFE) && dbcsTrail)
            return Common;
        if (in(code, 0xA1A1, 0xA2FE) && dbcsTrail)
            return Punct;
        return Rare;
    case NameEncoding::EucKr:
        if (in(c, 0xAC00, 0xD7A3))
            return in(code, 0xB0A1, 0xC8FE) && dbcsTrail ? Hangul : Rare;
        if (in(code, 0xCAA1, 0xFDFE) && dbcsTrail)
            return Second;
        if (in(code, 0xA1A1, 0xA2FE) && dbcsTrail)
            return Punct;
        return Other;
    case NameEncoding::Windows1252: {
        const bool letter = (in(c, 0xC0, 0xFF) && c != 0xD7 && c != 0xF7) || c == 0x160 ||
                            c == 0x161 || c == 0x152 || c == 0x153 || c == 0x17D || c == 0x17E ||
                            c == 0x178;
        return letter ? Letter : Other;
    }
    case NameEncoding::Utf8: break;
    }
    return Rare;
}

// How often a Korean syllable is written, from how often its three letters
// are: the initial consonant, the vowel and the final consonant (most
// syllables have none).
double hangulWeight(char32_t c) {
    static constexpr double initial[19] = {12,  1,  6, 9,   1, 4, 5, 4,   0.3, 8,
                                           0.5, 22, 8, 0.3, 3, 1, 2, 1.5, 8};
    static constexpr double vowel[21] = {22,  4,   1, 0.1, 12,  4,   5, 0.5, 10, 2, 0.2,
                                         1.5, 1.5, 7, 1,   0.1, 0.5, 1, 10,  2,  13};
    static constexpr double final[28] = {55,  7,   0.1,  0.05, 12,   0.05, 0.2, 0.5, 9,   0.2,
                                         0.1, 0.1, 0.01, 0.01, 0.01, 0.05, 3,   2,   0.3, 1,
                                         2,   7,   0.3,  0.2,  0.01, 0.2,  0.2, 0.1};
    const unsigned s = static_cast<unsigned>(c - 0xAC00);
    return initial[s / 588] * vowel[s % 588 / 28] * final[s % 28];
}

// The characters of a language, most frequent first.
enum class Language : std::uint8_t { Hans, Hant, Japanese, Korean };

using Ranks = std::unordered_map<char32_t, int>;

const Ranks& ranksOf(Language language) {
    static const std::array<Ranks, 4> all = [] {
        std::array<Ranks, 4> out;
        static constexpr std::pair<std::string_view, Language> keys[] = {
            {"zh-Hans", Language::Hans},
            {"zh-Hant", Language::Hant},
            {"ja", Language::Japanese},
            {"ko", Language::Korean}};
        std::string_view text(kCharRanks);
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            const std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            const std::size_t space = line.find(' ');
            if (line.empty() || line[0] == '#' || space == std::string_view::npos)
                continue;
            for (const auto& [key, which] : keys) {
                if (line.substr(0, space) != key)
                    continue;
                Ranks& ranks = out[static_cast<std::size_t>(which)];
                int rank = 0;
                for (char32_t c : decodeName(line.substr(space + 1)))
                    ranks.emplace(c, rank++);
            }
        }
        return out;
    }();
    return all[static_cast<std::size_t>(language)];
}

// The language whose ranks weigh a code page's characters, and, for GBK, the
// Traditional characters it holds as well.
std::optional<Language> languageOf(NameEncoding e) {
    switch (e) {
    case NameEncoding::Gbk: return Language::Hans;
    case NameEncoding::Big5:
    case NameEncoding::EucTw: return Language::Hant;
    case NameEncoding::ShiftJis:
    case NameEncoding::EucJp: return Language::Japanese;
    case NameEncoding::EucKr: return Language::Korean;
    case NameEncoding::Windows1252:
    case NameEncoding::Utf8: break;
    }
    return std::nullopt;
}

// How much of a language's text the characters up to each rank make up, as
// the same source counts them: Korean is written with a few hundred
// syllables, Chinese with a few thousand characters.
struct Coverage {
    int rank;
    double share;
};
using Coverages = std::array<Coverage, 6>;
const Coverages& coverageOf(Language language) {
    static constexpr std::array<Coverages, 4> all{{
        {{{128, .45}, {256, .62}, {512, .79}, {1024, .92}, {2048, .98}, {3755, .998}}},
        {{{128, .42261},
          {256, .57851},
          {512, .74851},
          {1024, .89384},
          {2048, .97583},
          {5376, .998}}},
        {{{128, .77094},
          {256, .85710},
          {512, .92635},
          {1024, .97130},
          {2048, .99431},
          {3481, .999}}},
        {{{128, .79}, {256, .92}, {512, .986}, {1024, .99944}, {2048, .99999}, {2350, 1.0}}},
    }};
    return all[static_cast<std::size_t>(language)];
}

// The share of the language's text written with the character of a rank:
// its band's share spread evenly, the first band's by 1 / (rank + 10).
double shareOfRank(Language language, int rank) {
    const Coverages& bands = coverageOf(language);
    if (rank < bands[0].rank) {
        double total = 0;
        for (int r = 0; r < bands[0].rank; ++r)
            total += 1.0 / (r + 10);
        return bands[0].share / (rank + 10) / total;
    }
    for (std::size_t b = 1; b < bands.size(); ++b)
        if (rank < bands[b].rank)
            return (bands[b].share - bands[b - 1].share) / (bands[b].rank - bands[b - 1].rank);
    return 0;
}

// The share of the non-ASCII characters of names weighed by the language's
// ranks, and for GBK by Traditional Chinese's; the rest by kind.
constexpr double kRankedShare = 0.85;
constexpr double kOtherScriptShare = 0.05;

// One code page's characters, both ways, with how likely each one is.
struct Table {
    NameEncoding encoding = NameEncoding::Utf8;
    std::array<char32_t, 256> single{}; // 0: no character of one byte
    std::array<bool, 256> lead{};       // starts a character of two bytes
    std::vector<char32_t> pair = std::vector<char32_t>(0x10000, 0);
    std::vector<float> pairLog = std::vector<float>(0x10000, 0);
    std::array<float, 256> singleLog{};
    std::unordered_map<char32_t, std::uint16_t> code;
    double farLog = 0;
};

constexpr double kNonAscii = 0.5;     // the share of non-ASCII characters in a name
constexpr double kAsciiLog = -4.85;   // ln(0.5 / 64): each ASCII character
constexpr double kLatinRunLog = -2.5; // ln(0.08): an accented letter after another
constexpr double kSandwichLog = -2.3; // ln(0.1): a Han character inside a Latin word
// Judging a folder: the locale's code page counts as twenty times likelier
// than any other; each name weighs against a code page by at most ten (in
// natural logarithms), so that a few names from elsewhere never outweigh the
// rest; a code page that leaves names unread another reads needs a million
// to one. A judgement is clear at three hundred to one with the prior, and
// fifty to one on the names alone; a name twenty times likelier in another
// code page is not sure even then.
constexpr double kPriorLog = 3.0;
constexpr double kNameWeightLog = 10.0;
constexpr double kOverwhelmingLog = 13.8;
constexpr double kClearLog = 5.7;
constexpr double kClearEvidenceLog = 4.0;
constexpr double kNameDoubtLog = 3.0;
constexpr double kOrdinaryCharacterLog = -11.0; // a ranked character, on average
constexpr std::size_t kJudgedNames = 2000;      // enough evidence for any folder
constexpr double kFarCharacters = 1.0e6;        // four-byte GB18030 characters
constexpr double kFarCnsCharacters = 5.0e4;     // EUC-TW's beyond the first plane

std::optional<char32_t> oneCharacter(const UChar* u, int32_t n) {
    if (n == 1)
        return u[0];
    if (n == 2 && U16_IS_LEAD(u[0]) && U16_IS_TRAIL(u[1]))
        return U16_GET_SUPPLEMENTARY(u[0], u[1]);
    return std::nullopt;
}

// The bytes of a code: one byte below 0x100, else lead and trail.
std::string codeBytes(unsigned code) {
    if (code < 0x100)
        return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

Table build(NameEncoding e) {
    Table t;
    t.encoding = e;
    Converter conv = open(converterName(e));
    if (!conv)
        return t;
    // A code is taken where it reads as one character that writes back as the
    // same code.
    auto read = [&](unsigned code) -> std::optional<char32_t> {
        const std::string bytes = codeBytes(code);
        UChar u[4];
        UErrorCode st = U_ZERO_ERROR;
        ucnv_resetToUnicode(conv.get());
        const int32_t n =
            ucnv_toUChars(conv.get(), u, 4, bytes.data(), static_cast<int32_t>(bytes.size()), &st);
        const auto c = U_SUCCESS(st) ? oneCharacter(u, n) : std::nullopt;
        if (!c || !isText(*c))
            return std::nullopt;
        char back[8];
        st = U_ZERO_ERROR;
        ucnv_resetFromUnicode(conv.get());
        const int32_t m = ucnv_fromUChars(conv.get(), back, sizeof back, u, n, &st);
        if (U_FAILURE(st) || std::string(back, static_cast<std::size_t>(m)) != bytes)
            return std::nullopt;
        return c;
    };
    std::vector<std::pair<unsigned, char32_t>> all;
    for (unsigned b = 0x80; b < 0x100; ++b)
        if (const auto c = read(b)) {
            t.single[b] = *c;
            all.emplace_back(b, *c);
        }
    if (e != NameEncoding::Windows1252)
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            if (t.single[lead])
                continue;
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const unsigned code = lead << 8 | trail;
                if (trail == 0x7F)
                    continue;
                if (const auto c = read(code)) {
                    t.pair[code] = *c;
                    t.lead[lead] = true;
                    all.emplace_back(code, *c);
                }
            }
        }

    // How likely each character is: a share by its rank in the language,
    // and its kind's share spread over the kind's characters (Korean
    // syllables by how often their letters are written).
    const Masses masses = massesOf(e);
    const std::optional<Language> language = languageOf(e);
    const Ranks* ranked = language ? &ranksOf(*language) : nullptr;
    const Ranks* other = e == NameEncoding::Gbk ? &ranksOf(Language::Hant) : nullptr;
    const double rankedShare = ranked ? kRankedShare : 0.0;
    const double otherShare = other ? kOtherScriptShare : 0.0;
    auto rankPart = [](const Ranks* ranks, Language l, char32_t c, double share) {
        if (!ranks)
            return 0.0;
        const auto it = ranks->find(c);
        return it == ranks->end() ? 0.0 : share * shareOfRank(l, it->second);
    };
    std::array<double, kKinds> size{};
    double hangulTotal = 0;
    for (const auto& [code, c] : all) {
        const Kind k = kindOf(e, c, code);
        size[k] += 1;
        if (k == Hangul)
            hangulTotal += hangulWeight(c);
    }
    for (const auto& [code, c] : all) {
        const Kind k = kindOf(e, c, code);
        double p = masses[k] / size[k];
        if (k == Hangul)
            p = masses[k] * hangulWeight(c) / hangulTotal;
        p = p * (1 - rankedShare - otherShare) +
            (language ? rankPart(ranked, *language, c, rankedShare) : 0.0) +
            rankPart(other, Language::Hant, c, otherShare);
        const auto log = static_cast<float>(std::log(kNonAscii * std::max(p, 1e-12)));
        if (code < 0x100)
            t.singleLog[code] = log;
        else
            t.pairLog[code] = log;
        t.code.emplace(c, static_cast<std::uint16_t>(code));
    }
    const double farCharacters = e == NameEncoding::EucTw ? kFarCnsCharacters : kFarCharacters;
    t.farLog = std::log(kNonAscii * std::max(masses[Far], 1e-7) / farCharacters);
    return t;
}

const Table& table(NameEncoding e) {
    static const std::array<Table, kLegacyEncodings.size()> tables = [] {
        std::array<Table, kLegacyEncodings.size()> out;
        for (std::size_t k = 0; k < out.size(); ++k)
            out[k] = build(static_cast<NameEncoding>(k + 1));
        return out;
    }();
    return tables[static_cast<std::size_t>(e) - 1];
}

// The sequences of four bytes a code page has: GB18030's in GBK, the
// planes beyond the first of CNS 11643 in EUC-TW.
bool isFourByteStart(NameEncoding e, const unsigned char* p, std::size_t left) {
    if (left < 4)
        return false;
    if (e == NameEncoding::Gbk)
        return in(p[0], 0x81, 0xFE) && in(p[1], 0x30, 0x39) && in(p[2], 0x81, 0xFE) &&
               in(p[3], 0x30, 0x39);
    return e == NameEncoding::EucTw && p[0] == 0x8E && in(p[1], 0xA2, 0xB0) &&
           in(p[2], 0xA1, 0xFE) && in(p[3], 0xA1, 0xFE);
}

UConverter* fourByteConverter(NameEncoding e) {
    thread_local Converter gb18030 = open("gb18030");
    thread_local Converter eucTw = open(converterName(NameEncoding::EucTw));
    return e == NameEncoding::Gbk ? gb18030.get() : eucTw.get();
}

std::optional<std::string> writeFourBytes(NameEncoding e, char32_t c) {
    UConverter* conv = fourByteConverter(e);
    if (!conv)
        return std::nullopt;
    UChar u[2];
    int32_t n = 0;
    UBool bad = false;
    U16_APPEND(u, n, 2, c, bad);
    char out[8];
    UErrorCode st = U_ZERO_ERROR;
    ucnv_resetFromUnicode(conv);
    const int32_t m = ucnv_fromUChars(conv, out, sizeof out, u, n, &st);
    if (bad || U_FAILURE(st) || m != 4)
        return std::nullopt;
    return std::string(out, 4);
}

// A sequence of four bytes, through ICU's converter: a character that
// writes back as the same four bytes.
std::optional<char32_t> readFourBytes(NameEncoding e, const unsigned char* p) {
    UConverter* conv = fourByteConverter(e);
    if (!conv)
        return std::nullopt;
    UChar u[4];
    UErrorCode st = U_ZERO_ERROR;
    ucnv_resetToUnicode(conv);
    const int32_t n = ucnv_toUChars(conv, u, 4, reinterpret_cast<const char*>(p), 4, &st);
    const auto c = U_SUCCESS(st) ? oneCharacter(u, n) : std::nullopt;
    if (!c || !isText(*c) ||
        writeFourBytes(e, *c) != std::string(reinterpret_cast<const char*>(p), 4))
        return std::nullopt;
    return c;
}

// Reads the bytes, calling each(character, its log likelihood) in turn.
template <class Each> bool walk(const Table& t, std::string_view bytes, Each each) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            each(char32_t{b}, kAsciiLog, false);
            ++i;
        } else if (t.single[b]) {
            each(t.single[b], static_cast<double>(t.singleLog[b]), true);
            ++i;
        } else if (isFourByteStart(t.encoding, p + i, n - i)) {
            const auto c = readFourBytes(t.encoding, p + i);
            if (!c)
                return false;
            each(*c, t.farLog, true);
            i += 4;
        } else if (const unsigned code = i + 1 < n ? unsigned{b} << 8 | p[i + 1] : 0u;
                   t.lead[b] && code && t.pair[code]) {
            each(t.pair[code], static_cast<double>(t.pairLog[code]), true);
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

namespace codepage {

std::optional<std::u32string> decode(NameEncoding e, std::string_view bytes) {
    if (e == NameEncoding::Utf8)
        return std::nullopt;
    std::u32string out;
    out.reserve(bytes.size());
    if (!walk(table(e), bytes, [&](char32_t c, double, bool) { out.push_back(c); }))
        return std::nullopt;
    return out;
}

std::optional<std::string> encode(NameEncoding e, std::u32string_view text) {
    if (e == NameEncoding::Utf8)
        return std::nullopt;
    const Table& t = table(e);
    std::string out;
    out.reserve(text.size() * 2);
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto it = t.code.find(c);
        if (it != t.code.end()) {
            out += codeBytes(it->second);
        } else if ((e == NameEncoding::Gbk || e == NameEncoding::EucTw) && isText(c)) {
            const auto four = writeFourBytes(e, c);
            if (!four)
                return std::nullopt;
            out += *four;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

bool looksLatin(std::u32string_view text) {
    auto ascii = [](char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); };
    auto lower = [](char32_t c) {
        return (c >= 0xDF && c <= 0xFF && c != 0xF7) || c == 0x161 || c == 0x17E || c == 0x153;
    };
    auto upper = [](char32_t c) {
        return (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x160 || c == 0x17D || c == 0x152 ||
               c == 0x178;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t before = i > 0 ? text[i - 1] : 0;
        const char32_t after = i + 1 < text.size() ? text[i + 1] : 0;
        if (lower(text[i]) && (ascii(before) || ascii(after)))
            return true;
        const char32_t next = i + 2 < text.size() ? text[i + 2] : 0;
        if (upper(text[i]) && !ascii(before) && !upper(before) && !lower(before) && after >= U'a' &&
            after <= U'z' && (lower(next) || (next >= U'a' && next <= U'z')))
            return true;
    }
    return false;
}

std::optional<double> likelihood(NameEncoding e, std::string_view bytes) {
    if (e == NameEncoding::Utf8)
        return std::nullopt;
    double sum = 0;
    const bool latin = e == NameEncoding::Windows1252;
    // What came before: 0 nothing or a mark, 1 an ASCII letter, 2 a non-ASCII
    // character (after an ASCII letter: 3).
    int before = 0;
    const bool ok = walk(table(e), bytes, [&](char32_t c, double log, bool nonAscii) {
        sum += log;
        const bool letter = (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
        if (latin && nonAscii && before >= 2)
            sum += kLatinRunLog; // accented letters come one at a time
        // A Han character, kana or Hangul between two Latin letters is what
        // an accented Latin word read as Chinese looks like.
        if (!latin && letter && before == 3)
            sum += kSandwichLog;
        before = nonAscii ? (before == 1 ? 3 : 2) : letter ? 1 : 0;
    });
    return ok ? std::optional<double>(sum) : std::nullopt;
}

} // namespace codepage

std::optional<NameEncoding> priorOfLocale(std::string_view locale) {
    std::string l(locale.substr(0, locale.find_first_of(".@")));
    std::transform(l.begin(), l.end(), l.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const std::string lang = l.substr(0, l.find('_'));
    if (lang == "zh")
        return l == "zh_tw" || l == "zh_hk" || l == "zh_mo" ? NameEncoding::Big5
                                                            : NameEncoding::Gbk;
    if (lang == "ja")
        return NameEncoding::ShiftJis;
    if (lang == "ko")
        return NameEncoding::EucKr;
    static constexpr std::string_view western[] = {"de", "fr", "es", "it", "pt", "nl", "sv",
                                                   "da", "nb", "nn", "no", "fi", "is", "ca",
                                                   "gl", "eu", "ga", "af", "sq", "oc", "br"};
    if (std::find(std::begin(western), std::end(western), lang) != std::end(western))
        return NameEncoding::Windows1252;
    return std::nullopt;
}

std::optional<NameEncoding> localePrior() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(var); v && *v)
            return priorOfLocale(v).value_or(NameEncoding::Gbk);
    return NameEncoding::Gbk;
}

CodePageJudgement judgeCodePage(const std::vector<std::string_view>& names,
                                std::optional<NameEncoding> prior) {
    constexpr std::size_t kPages = kLegacyEncodings.size();
    using Logs = std::array<std::optional<double>, kPages>;
    // A big folder is judged on names spread over all of it.
    const std::size_t step = std::max<std::size_t>(1, names.size() / kJudgedNames);
    std::vector<Logs> logs;
    std::array<int, kPages> read{};
    int latin = 0, latinAsked = 0;
    for (std::size_t i = 0; i < names.size(); i += step) {
        Logs& l = logs.emplace_back();
        for (std::size_t k = 0; k < kPages; ++k) {
            l[k] = codepage::likelihood(kLegacyEncodings[k], names[i]);
            read[k] += l[k] ? 1 : 0;
        }
        if (const auto text = codepage::decode(NameEncoding::Windows1252, names[i])) {
            ++latinAsked;
            latin += codepage::looksLatin(*text) ? 1 : 0;
        }
    }
    // Windows-1252 reads nearly any bytes: it is a candidate only where a
    // third of the names it reads look like Latin text.
    auto candidate = [&](std::size_t k) {
        if (read[k] == 0)
            return false;
        return kLegacyEncodings[k] != NameEncoding::Windows1252 ||
               (latin > 0 && 3 * latin >= latinAsked);
    };
    int mostRead = 0;
    for (std::size_t k = 0; k < kPages; ++k)
        if (candidate(k))
            mostRead = std::max(mostRead, read[k]);
    if (mostRead == 0)
        return {};
    // Each name weighs against a code page by how much worse it reads there
    // than where it reads best, up to a limit: a few names from elsewhere
    // never outweigh the rest, and the most names decide a mixed folder. The
    // locale's code page counts once for the folder; a code page that leaves
    // names unread that another reads needs overwhelming evidence.
    // Clear only when the winner also wins on what the names read like
    // alone: reading more names is no proof of reading them right.
    std::array<double, kPages> posterior{}, evidence{};
    for (std::size_t k = 0; k < kPages; ++k)
        posterior[k] = (prior == kLegacyEncodings[k] ? kPriorLog : 0.0) -
                       (read[k] < mostRead ? kOverwhelmingLog : 0.0);
    for (const Logs& l : logs) {
        std::optional<double> top;
        for (std::size_t k = 0; k < kPages; ++k)
            if (candidate(k) && l[k] && (!top || *l[k] > *top))
                top = l[k];
        if (!top)
            continue;
        for (std::size_t k = 0; k < kPages; ++k)
            evidence[k] -= l[k] ? std::min(*top - *l[k], kNameWeightLog) : kNameWeightLog;
    }
    for (std::size_t k = 0; k < kPages; ++k)
        posterior[k] += evidence[k];
    std::optional<std::size_t> best;
    for (std::size_t k = 0; k < kPages; ++k)
        if (candidate(k) && (!best || posterior[k] > posterior[*best]))
            best = k;
    auto margin = [&](const std::array<double, kPages>& score) {
        double rivals = -1e300;
        for (std::size_t k = 0; k < kPages; ++k)
            if (k != *best && candidate(k)) {
                const double top = std::max(rivals, score[k]);
                rivals = top + std::log(std::exp(rivals - top) + std::exp(score[k] - top));
            }
        return score[*best] - rivals;
    };
    const bool clear = read[*best] == mostRead && margin(posterior) >= kClearLog &&
                       margin(evidence) >= kClearEvidenceLog;
    std::uint8_t rivals = 0;
    for (std::size_t k = 0; k < kPages; ++k)
        if (k != *best)
            rivals = static_cast<std::uint8_t>(rivals | 1u << k);
    return {kLegacyEncodings[*best], clear, rivals};
}

bool fitsJudgement(const CodePageJudgement& judgement, std::string_view bytes) {
    if (!judgement.codePage)
        return false;
    const auto own = codepage::likelihood(*judgement.codePage, bytes);
    if (!own)
        return false;
    for (std::size_t k = 0; k < kLegacyEncodings.size(); ++k) {
        if (!(judgement.rivals & 1u << k))
            continue;
        const auto l = codepage::likelihood(kLegacyEncodings[k], bytes);
        if (!l || *l <= *own + kNameDoubtLog)
            continue;
        // Windows-1252 rivals only a name that looks like Latin text.
        if (kLegacyEncodings[k] != NameEncoding::Windows1252 ||
            codepage::looksLatin(*codepage::decode(NameEncoding::Windows1252, bytes)))
            return false;
    }
    return true;
}

bool readsBetterAsLegacy(NameEncoding e, std::string_view bytes) {
    if (e == NameEncoding::Utf8 || !isUtf8(bytes))
        return false;
    // In UTF-8, at least half of its characters beyond ASCII are what
    // names are not made of: controls, a combining mark after no letter,
    // rare Latin and IPA, Greek and Cyrillic letters no language writes
    // today, Syriac and the like. Greek, Russian or Hebrew words are left.
    const std::u32string utf8 = decodeName(bytes);
    int odd = 0, beyond = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char32_t c = utf8[i];
        if (c < 0x80)
            continue;
        ++beyond;
        const bool afterLetter = i > 0 && isLatinLetter(utf8[i - 1]);
        odd += (c <= 0x9F) || in(c, 0x180, 0x2FF) || (in(c, 0x300, 0x36F) && !afterLetter) ||
                       in(c, 0x370, 0x385) || c == 0x387 || in(c, 0x3CF, 0x3FF) ||
                       in(c, 0x460, 0x52F) || in(c, 0x700, 0x7FF)
                   ? 1
                   : 0;
    }
    if (odd == 0 || 2 * odd < beyond)
        return false;
    // The code page must read it as ordinary text: on average, characters
    // of the language's ranked ones.
    double sum = 0;
    int count = 0;
    const bool ok = walk(table(e), bytes, [&](char32_t, double log, bool nonAscii) {
        if (nonAscii) {
            sum += log;
            ++count;
        }
    });
    return ok && count > 0 && sum / count >= kOrdinaryCharacterLog;
}

} // namespace nw
