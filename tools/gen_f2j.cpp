// Writes the Traditional-to-Simplified table F2J.txt from OpenCC's character
// dictionaries, dumped as text by `opencc_dict -f ocd2 -t text`:
//
//   gen_f2j OUTPUT TSCharacters.txt STCharacters.txt TWVariants.txt HKVariants.txt
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT TSCharacters.txt STCharacters.txt TWVariants.txt "
                     "HKVariants.txt\n",
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
    std::vector<std::string> givenUp;
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
                std::string why = "gives up " + utf8(t) + " -> " + utf8(simplified) +
                                  ": its lower code would turn " + utf8(simplified) + " into " +
                                  utf8(t) + " instead of " + utf8(*charOf(winner));
                givenUp.push_back(why);
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
    std::printf("Variants given up so that the common form wins in reverse: %zu\n", givenUp.size());
    for (const std::string& line : givenUp)
        std::printf("  %s\n", line.c_str());
    return 0;
}
