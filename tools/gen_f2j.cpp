// Writes the Traditional-to-Simplified table F2J.txt from OpenCC's character
// dictionaries, dumped as text by `opencc_dict -f ocd2 -t text`:
//
//   gen_f2j OUTPUT TSCharacters.txt STCharacters.txt TWVariants.txt HKVariants.txt
//           STPhrases.txt
//
// Forward: a GBK character's slot holds its Simplified form as OpenCC's
// TSCharacters gives it first, where that form is another GBK double-byte
// character. A character that OpenCC keeps (著, 藉, 乾隆's 乾 aside) keeps its
// two spaces, so Simplified text never changes going "Traditional to
// Simplified".
//
// Reverse: the program turns a Simplified character into the character of the
// lowest slot that holds it. For every Simplified character the generator makes
// that lowest slot one of the forms a reader accepts: OpenCC's own Traditional
// form (STCharacters), its Taiwan or Hong Kong variant, or the character itself
// where it is written the same in Traditional text (家, 了, 制). A rare variant
// whose lower code would win instead (傢 for 家) is left unconverted, and is
// listed in the output with the reason: the common direction wins.
//
// Giving a variant up is not always the lesser evil: 簽 given up leaves every
// 簽名 and 簽證 half converted, while 签 turning into 簽 rather than 籤 is
// what most text wants. So each given-up pair is tried back in, one at a
// time, against OpenCC's 49,000 phrases (STPhrases): the pair stays in where
// it lowers the phrases converted wrongly in both directions, and every pair
// still given up is listed with the counts that kept it out.
#include "core/conv_table.h"
#include "platform/cp936.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nw::cp936::charOf;
using nw::cp936::codeOf;
using Dict = std::map<char32_t, char32_t>; // key -> first candidate

std::u32string decode(const std::string& utf8) {
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(utf8);
    std::u32string out;
    for (int32_t i = 0; i < s.length(); i = s.moveIndex32(i, 1))
        out.push_back(static_cast<char32_t>(s.char32At(i)));
    return out;
}

std::string utf8(char32_t c) {
    std::string out;
    icu::UnicodeString(static_cast<UChar32>(c)).toUTF8String(out);
    return out;
}

// Single-character keys and their first candidate; phrase entries (none in the
// character dictionaries) and multi-character candidates are passed over.
bool load(const char* path, Dict& dict) {
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        const std::u32string key = decode(line.substr(0, tab));
        std::string first = line.substr(tab + 1);
        first = first.substr(0, first.find(' '));
        const std::u32string value = decode(first);
        if (key.size() == 1 && value.size() == 1)
            dict.emplace(key[0], value[0]);
    }
    return !dict.empty();
}

char32_t lookup(const Dict& d, char32_t c) {
    const auto it = d.find(c);
    return it == d.end() ? c : it->second;
}

bool isDoubleByte(char32_t c) {
    const std::uint16_t code = codeOf(c);
    return code >= 0x8140 && charOf(code) == c;
}

// One phrase of STPhrases: its Simplified text and the Traditional forms a
// reader accepts (OpenCC's candidates, and their Taiwan and Hong Kong variants
// character by character).
struct Phrase {
    std::u32string simplified, traditional; // traditional: OpenCC's first candidate
    std::vector<std::u32string> accepted;
};
using Phrases = std::vector<Phrase>;

Phrases loadPhrases(const char* path, const Dict& tw, const Dict& hk) {
    Phrases out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        Phrase p;
        p.simplified = decode(line.substr(0, tab));
        std::istringstream values(line.substr(tab + 1));
        for (std::string v; values >> v;) {
            const std::u32string t = decode(v);
            std::u32string inTw = t, inHk = t;
            for (char32_t& c : inTw)
                c = lookup(tw, c);
            for (char32_t& c : inHk)
                c = lookup(hk, c);
            p.accepted.insert(p.accepted.end(), {t, inTw, inHk});
        }
        if (p.accepted.empty())
            continue;
        p.traditional = p.accepted.front();
        out.push_back(std::move(p));
    }
    return out;
}

struct Errors {
    std::size_t toTraditional = 0, toSimplified = 0;
};

Errors countErrors(const nw::ConvTable& table, const Phrases& phrases) {
    Errors e;
    for (const Phrase& p : phrases) {
        const std::u32string t = nw::StrJ2F(table, p.simplified);
        if (std::find(p.accepted.begin(), p.accepted.end(), t) == p.accepted.end())
            ++e.toTraditional;
        if (nw::StrF2J(table, p.traditional) != p.simplified)
            ++e.toSimplified;
    }
    return e;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT TSCharacters.txt STCharacters.txt TWVariants.txt "
                     "HKVariants.txt STPhrases.txt\n",
                     argv[0]);
        return 2;
    }
    Dict ts, st, tw, hk;
    for (auto [path, dict] :
         {std::pair{argv[2], &ts}, {argv[3], &st}, {argv[4], &tw}, {argv[5], &hk}})
        if (!load(path, *dict)) {
            std::fprintf(stderr, "%s: cannot read an OpenCC dictionary dump\n", path);
            return 1;
        }

    constexpr std::size_t kSize = 126 * 512; // lead bytes 0x81..0xFE
    std::vector<unsigned char> table(kSize, 0x20);
    auto put = [&](std::uint16_t code, std::uint16_t target) {
        const std::size_t off = 2u * (code - 0x8100u);
        table[off] = static_cast<unsigned char>(target >> 8);
        table[off + 1] = static_cast<unsigned char>(target & 0xFF);
    };

    // Every GBK double-byte character, its OpenCC Simplified form where that is
    // another GBK double-byte character, grouped by that form.
    std::size_t gbkCount = 0;
    std::map<char32_t, char32_t> forward;              // Traditional -> Simplified
    std::map<char32_t, std::vector<char32_t>> sources; // Simplified -> Traditional, by code
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            const auto ch = charOf(code);
            if (trail == 0x7F || !ch || codeOf(*ch) != code)
                continue;
            ++gbkCount;
            const char32_t s = lookup(ts, *ch);
            if (s != *ch && isDoubleByte(s)) {
                forward[*ch] = s;
                sources[s].push_back(*ch); // codes ascend with the loop
            }
        }

    std::size_t selfSlots = 0, noStandardSource = 0;
    struct GivenUp {
        char32_t traditional, simplified, winner;
    };
    std::vector<GivenUp> givenUp;
    for (auto& [simplified, from] : sources) {
        // The Traditional forms a reader accepts for this character.
        const char32_t own = lookup(st, simplified);
        const std::set<char32_t> accepted{own, lookup(tw, own), lookup(hk, own)};
        const bool keepsItself = accepted.count(simplified) && !forward.count(simplified);
        // The accepted form with the lowest code that the table can hold: a
        // source, or the character's own slot.
        std::uint16_t winner = 0;
        for (char32_t t : from)
            if (accepted.count(t)) {
                winner = codeOf(t);
                break;
            }
        if (keepsItself && (winner == 0 || codeOf(simplified) < winner))
            winner = codeOf(simplified);
        if (winner == 0) {
            // No accepted form maps here (OpenCC's form is outside GBK, say):
            // the lowest source stays the reverse answer.
            ++noStandardSource;
            winner = codeOf(from.front());
        }
        for (char32_t t : from) {
            if (codeOf(t) < winner) {
                givenUp.push_back({t, simplified, *charOf(winner)});
                forward.erase(t);
                continue;
            }
            put(codeOf(t), codeOf(simplified));
        }
        if (winner == codeOf(simplified) && std::any_of(from.begin(), from.end(), [&](char32_t t) {
                return forward.count(t) != 0;
            })) {
            put(winner, winner);
            ++selfSlots;
        }
    }

    // Each given-up pair tried back in, in code order, over what is kept so far.
    const Phrases phrases = loadPhrases(argv[6], tw, hk);
    if (phrases.empty()) {
        std::fprintf(stderr, "%s: cannot read an OpenCC phrase dictionary dump\n", argv[6]);
        return 1;
    }
    Errors now = countErrors(nw::ConvTable({table.begin(), table.end()}), phrases);
    const Errors before = now;
    std::vector<std::string> restored, stillGivenUp;
    std::sort(givenUp.begin(), givenUp.end(), [](const GivenUp& a, const GivenUp& b) {
        return codeOf(a.traditional) < codeOf(b.traditional);
    });
    for (const GivenUp& g : givenUp) {
        std::vector<unsigned char> trial = table;
        const std::size_t off = 2u * (codeOf(g.traditional) - 0x8100u);
        trial[off] = static_cast<unsigned char>(codeOf(g.simplified) >> 8);
        trial[off + 1] = static_cast<unsigned char>(codeOf(g.simplified) & 0xFF);
        const Errors with = countErrors(nw::ConvTable({trial.begin(), trial.end()}), phrases);
        const std::string pair = utf8(g.traditional) + " -> " + utf8(g.simplified);
        const std::string counts =
            "phrases wrong Simplified to Traditional " + std::to_string(now.toTraditional) +
            " -> " + std::to_string(with.toTraditional) + ", Traditional to Simplified " +
            std::to_string(now.toSimplified) + " -> " + std::to_string(with.toSimplified);
        if (with.toTraditional < now.toTraditional && with.toSimplified < now.toSimplified) {
            table = trial;
            now = with;
            forward[g.traditional] = g.simplified;
            restored.push_back("restores " + pair + " (" + counts + ")");
        } else {
            stillGivenUp.push_back("gives up " + pair + ": its lower code would turn " +
                                   utf8(g.simplified) + " into " + utf8(g.traditional) +
                                   " instead of " + utf8(g.winner) + " (" + counts + ")");
        }
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(table.data(), 1, table.size(), f) != table.size() ||
        std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("GBK double-byte characters: %zu\n", gbkCount);
    std::printf("Traditional to Simplified converts: %zu characters\n", forward.size());
    std::printf("Simplified characters with Traditional sources: %zu, %zu of them kept "
                "by a slot of their own\n",
                sources.size(), selfSlots);
    std::printf("Simplified characters whose accepted forms are not in GBK: %zu\n",
                noStandardSource);
    std::printf("OpenCC phrases converted wrongly, Simplified to Traditional: %zu of %zu before "
                "restoring, %zu after\n",
                before.toTraditional, phrases.size(), now.toTraditional);
    std::printf("OpenCC phrases converted wrongly, Traditional to Simplified: %zu of %zu before "
                "restoring, %zu after\n",
                before.toSimplified, phrases.size(), now.toSimplified);
    std::printf("Variants restored because both directions gain: %zu\n", restored.size());
    for (const std::string& line : restored)
        std::printf("  %s\n", line.c_str());
    std::printf("Variants given up so that the common form wins in reverse: %zu\n",
                stillGivenUp.size());
    for (const std::string& line : stillGivenUp)
        std::printf("  %s\n", line.c_str());
    return 0;
}
