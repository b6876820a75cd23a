#include "core/convert_name.h"

#include "core/name_parts.h"
#include "core/text.h"
#include "platform/case_map.h"
#include "platform/chinese_numbers.h"

namespace nw {
namespace {

std::u32string convertCase(std::u32string_view s, CaseMode mode) {
    switch (mode) {
    case CaseMode::Upper: return upper(s);
    case CaseMode::Lower: return lower(s);
    case CaseMode::FirstUpper:
        if (s.empty())
            return {};
        return std::u32string(1, upperChar(s[0])) + lower(s.substr(1));
    }
    return std::u32string(s);
}

std::u32string caseStep(std::u32string_view name, const ConvertOptions& o) {
    if (!o.Prefix && !o.Suffix)
        return {};
    const auto range = rangeOf(name, o.Prefix, o.Suffix);
    if (!range)
        return std::u32string(name);
    std::u32string out(name.substr(0, range->begin));
    out += convertCase(name.substr(range->begin, range->end - range->begin), o.caseMode);
    out += name.substr(range->end);
    return out;
}

} // namespace

std::u32string halfWidth(std::u32string_view name) {
    static constexpr std::u32string_view kNever = U"／＼：＊？＂＜＞｜";
    std::u32string out(name);
    for (char32_t& c : out)
        if (c == U'\u3000')
            c = U' ';
        else if (c >= U'\uFF01' && c <= U'\uFF5E' && kNever.find(c) == std::u32string_view::npos)
            c = c - U'\uFF01' + U'!';
    return out;
}

std::u32string ConvertName(std::u32string_view name, const ConvertOptions& options) {
    std::u32string text(name);
    if (options.halfWidth)
        text = halfWidth(text);
    if (options.arabicNumbers)
        text = arabicNumbers(text, options.numberWidth);
    const std::u32string result = caseStep(text, options);
    switch (options.spaceMode) {
    case SpaceMode::DeleteSpace: return StrCls(result, U" ");
    case SpaceMode::SpaceToUnderscore: return StrRel(result, U" ", U"_");
    case SpaceMode::Keep: break;
    }
    return result;
}

} // namespace nw
