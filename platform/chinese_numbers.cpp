#include "platform/chinese_numbers.h"

#include <unicode/fmtable.h>
#include <unicode/rbnf.h>
#include <unicode/unistr.h>

#include <memory>
#include <optional>

namespace nw {
namespace {

constexpr std::u32string_view kNumerals = U"〇零一二两三四五六七八九十百千万亿";

bool isNumeral(char32_t c) { return kNumerals.find(c) != std::u32string_view::npos; }

icu::UnicodeString utf16(std::u32string_view s) {
    return icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(s.data()),
                                         static_cast<int32_t>(s.size()));
}

// The spellout rules, made once per thread (a formatter is not shared
// between threads).
icu::RuleBasedNumberFormat* spellout() {
    thread_local std::unique_ptr<icu::RuleBasedNumberFormat> format = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto f = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT,
                                                              icu::Locale("zh"), status);
        return U_FAILURE(status) ? nullptr : std::move(f);
    }();
    return format.get();
}

// The number a run of numerals writes, where it is written as the rules
// write it (零 and 〇, 两 and 二, 一十 and 十 being the same).
std::optional<long long> numberOf(std::u32string_view run) {
    icu::RuleBasedNumberFormat* f = spellout();
    if (!f || run.size() > 16)
        return std::nullopt;
    std::u32string canonical;
    for (char32_t c : run)
        canonical += c == U'零' ? U'〇' : c == U'两' ? U'二' : c;
    if (canonical.size() > 1 && canonical[0] == U'一' && canonical[1] == U'十')
        canonical.erase(0, 1);
    const icu::UnicodeString text = utf16(run);
    icu::Formattable value;
    icu::ParsePosition at(0);
    f->parse(text, value, at);
    UErrorCode status = U_ZERO_ERROR;
    const std::int64_t n = value.getInt64(status);
    if (at.getIndex() != text.length() || U_FAILURE(status) || n < 0)
        return std::nullopt;
    icu::UnicodeString back;
    f->format(static_cast<int64_t>(n), back);
    return back == utf16(canonical) ? std::optional<long long>(n) : std::nullopt;
}

} // namespace

std::u32string arabicNumbers(std::u32string_view text, int width) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        if (!isNumeral(text[i])) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && isNumeral(text[end]))
            ++end;
        const std::u32string_view run = text.substr(i, end - i);
        const bool afterOrdinal = i > 0 && text[i - 1] == U'第';
        const auto n = run.size() > 1 || afterOrdinal ? numberOf(run) : std::nullopt;
        if (n) {
            const std::string digits = std::to_string(*n);
            if (static_cast<int>(digits.size()) < width)
                out.append(static_cast<std::size_t>(width) - digits.size(), U'0');
            out.append(digits.begin(), digits.end());
        } else {
            out.append(run);
        }
        i = end;
    }
    return out;
}

} // namespace nw
