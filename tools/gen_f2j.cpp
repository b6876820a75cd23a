// Writes the Traditional-to-Simplified table F2J.txt from ICU's
// "Hant-Hans" transliteration: for every GBK double-byte character whose
// Simplified form is one other GBK character, its slot holds that form; every
// other slot holds two spaces.
//
// Reverse lookups take the lowest slot that holds a character. Where ICU's
// "Hans-Hant" keeps a Simplified character as it is but some Traditional
// character with a higher code maps to it, the character's own slot is filled
// with its own code, so that converting back leaves it alone. That changes no
// forward result.
//
// Usage: gen_f2j OUTPUT
#include "platform/cp936.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

using nw::cp936::charOf;
using nw::cp936::codeOf;

std::unique_ptr<icu::Transliterator> open(const char* id) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
    if (U_FAILURE(status))
        return nullptr;
    return t;
}

// The single-character result of a transliteration, or 0.
char32_t single(icu::Transliterator& t, char32_t c) {
    icu::UnicodeString s(static_cast<UChar32>(c));
    t.transliterate(s);
    if (s.countChar32() != 1)
        return 0;
    return static_cast<char32_t>(s.char32At(0));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    auto toHans = open("Hant-Hans");
    auto toHant = open("Hans-Hant");
    if (!toHans || !toHant) {
        std::fprintf(stderr, "ICU has no Hant-Hans transliteration\n");
        return 1;
    }
    constexpr std::size_t kSize = 126 * 512; // lead bytes 0x81..0xFE
    std::vector<unsigned char> table(kSize, 0x20);
    auto put = [&](std::uint16_t code, std::uint16_t target) {
        const std::size_t off = 2u * (code - 0x8100u);
        table[off] = static_cast<unsigned char>(target >> 8);
        table[off + 1] = static_cast<unsigned char>(target & 0xFF);
    };
    std::vector<std::uint16_t> gbk; // every double-byte code with a character
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            if (trail != 0x7F && charOf(code) && codeOf(*charOf(code)) == code)
                gbk.push_back(code);
        }

    std::size_t forward = 0;
    std::map<std::uint16_t, std::uint16_t> lowestSource; // target -> lowest source code
    for (std::uint16_t code : gbk) {
        const char32_t ch = *charOf(code);
        const char32_t s = single(*toHans, ch);
        if (s == 0 || s == ch)
            continue;
        const std::uint16_t target = codeOf(s);
        if (target < 0x100)
            continue;
        put(code, target);
        ++forward;
        if (!lowestSource.count(target))
            lowestSource[target] = code;
    }

    // What the table does in reverse, by the lowest-slot rule: how many
    // characters change, and how many get the form Hans-Hant gives.
    struct Reverse {
        std::size_t targets = 0, converts = 0, agree = 0;
    };
    auto reverseCounts = [&] {
        std::map<std::uint16_t, std::uint16_t> reverse;
        for (std::size_t k = 0; 2 * k + 1 < table.size(); ++k) {
            const auto held = static_cast<std::uint16_t>(table[2 * k] << 8 | table[2 * k + 1]);
            if (held != 0x2020 && !reverse.count(held))
                reverse[held] = static_cast<std::uint16_t>(0x8100 + k);
        }
        Reverse r;
        r.targets = reverse.size();
        for (const auto& [held, source] : reverse) {
            if (held != source)
                ++r.converts;
            if (single(*toHant, *charOf(held)) == *charOf(source))
                ++r.agree;
        }
        return r;
    };
    const Reverse before = reverseCounts();

    // Self slots where they make the reverse direction agree with Hans-Hant.
    std::size_t selfSlots = 0;
    for (const auto& [target, source] : lowestSource) {
        const char32_t simplified = *charOf(target);
        if (single(*toHant, simplified) == simplified && target < source) {
            put(target, target);
            ++selfSlots;
        }
    }
    const Reverse after = reverseCounts();

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(table.data(), 1, table.size(), f) != table.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("GBK double-byte characters: %zu\n", gbk.size());
    std::printf("Traditional to Simplified converts: %zu characters\n", forward);
    std::printf("Simplified to Traditional converts: %zu characters\n", after.converts);
    std::printf("Simplified characters given their Hans-Hant form: %zu of %zu "
                "(%zu without the %zu self slots)\n",
                after.agree, after.targets, before.agree, selfSlots);
    return 0;
}
