#include "core/custom_name.h"

#include "core/name_parts.h"
#include "core/text.h"

#include <limits>

namespace nw {
namespace {
// The increment and the running number are 16-bit signed numbers.
bool fitsInt16(long long v) {
    return v >= std::numeric_limits<std::int16_t>::min() &&
           v <= std::numeric_limits<std::int16_t>::max();
}
// Blanks (full-width ones too) dropped from both ends.
std::u32string_view trimmed(std::u32string_view text) {
    auto blank = [](char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}
} // namespace

std::optional<std::int16_t> ParseIncrement(std::u32string_view text) {
    std::u32string_view s = trimmed(text);
    bool negative = false;
    if (!s.empty() && (s[0] == U'+' || s[0] == U'-')) {
        negative = s[0] == U'-';
        s.remove_prefix(1);
    }
    auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    std::size_t i = 0;
    long value = 0;
    bool anyDigit = false;
    for (; i < s.size() && digit(s[i]); ++i) {
        anyDigit = true;
        value = value * 10 + static_cast<long>(s[i] - U'0');
        if (value > 100000)
            return std::nullopt;
    }
    std::u32string_view fraction;
    if (i < s.size() && s[i] == U'.') {
        fraction = s.substr(i + 1);
        for (char32_t c : fraction)
            if (!digit(c))
                return std::nullopt;
        anyDigit = anyDigit || !fraction.empty();
        i = s.size();
    }
    if (!anyDigit || i != s.size())
        return std::nullopt;
    if (!fraction.empty()) {
        const char32_t first = fraction[0];
        bool beyondHalf = false;
        for (std::size_t k = 1; k < fraction.size(); ++k)
            beyondHalf = beyondHalf || fraction[k] != U'0';
        if (first > U'5' || (first == U'5' && beyondHalf) || (first == U'5' && value % 2 == 1))
            ++value;
    }
    if (negative)
        value = -value;
    if (!fitsInt16(value))
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

StartValue ParseStart(std::u32string_view text) {
    std::u32string_view s = trimmed(text);
    if (s.empty())
        return {};
    bool negative = false;
    if (s[0] == U'+' || s[0] == U'-') {
        negative = s[0] == U'-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 6)
        return {std::nullopt, false};
    long value = 0;
    for (char32_t c : s) {
        if (c < U'0' || c > U'9')
            return {std::nullopt, false};
        value = value * 10 + static_cast<long>(c - U'0');
    }
    if (negative)
        value = -value;
    if (!fitsInt16(value))
        return {std::nullopt, false};
    return {static_cast<std::int16_t>(value), true};
}

std::optional<int> ParseWidth(std::u32string_view text) {
    const std::u32string_view s = trimmed(text);
    if (s.empty())
        return 1;
    if (s.size() != 1 || s[0] < U'1' || s[0] > U'9')
        return std::nullopt;
    return static_cast<int>(s[0] - U'0');
}

std::u32string NumberText(int value, int width) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<long>(value) : value);
    std::u32string out;
    if (value < 0)
        out += U'-';
    if (static_cast<int>(digits.size()) < width)
        out.append(static_cast<std::size_t>(width) - digits.size(), U'0');
    out.append(digits.begin(), digits.end());
    return out;
}

std::u32string PlaceCustomText(std::u32string_view name, std::u32string_view customText,
                               std::u32string_view numberText, TextPlacement placement) {
    [[maybe_unused]] const auto [base, ext, head, dottedExt, dotted] = splitName(name);
    std::u32string inserted(customText);
    inserted += numberText;
    std::u32string out;
    switch (placement) {
    case TextPlacement::ReplacePrefix: out.append(inserted).append(dottedExt); break;
    case TextPlacement::ReplaceSuffix: out.append(head).append(inserted); break;
    case TextPlacement::BeforePrefix: out.append(inserted).append(name); break;
    case TextPlacement::AfterPrefix: out.append(base).append(inserted).append(dottedExt); break;
    case TextPlacement::BeforeSuffix: out.append(head).append(inserted).append(ext); break;
    case TextPlacement::AfterSuffix: out.append(name).append(inserted); break;
    }
    return out;
}

CustomNameResult BuildCustomName(std::u32string_view name, const CustomNameSettings& settings,
                                 RunningNumber& number) {
    const std::u32string custom = TrimSpaces(settings.customText);
    const auto increment = ParseIncrement(settings.incrementText);
    if (!increment)
        return {std::nullopt, CustomNameError::BadIncrement};
    const StartValue start = ParseStart(settings.startText);
    if (!start.valid)
        return {std::nullopt, CustomNameError::BadStart};
    const auto width = ParseWidth(settings.widthText);
    if (!width)
        return {std::nullopt, CustomNameError::BadWidth};
    const int next =
        !number.started && start.start ? int{*start.start} : int{number.last} + int{*increment};
    if (!fitsInt16(next))
        return {std::nullopt, CustomNameError::NumberOverflow};
    number.last = static_cast<std::int16_t>(next);
    number.started = true;
    return {PlaceCustomText(name, custom, NumberText(next, *width), settings.placement),
            std::nullopt};
}

} // namespace nw
