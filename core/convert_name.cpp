#include "core/convert_name.h"

#include "core/name_parts.h"
#include "core/text.h"
#include "platform/case_map.h"

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

std::u32string ConvertName(std::u32string_view name, const ConvertOptions& options) {
    const std::u32string result = caseStep(name, options);
    if (options.spaceMode == SpaceMode::DeleteSpace)
        return StrCls(result, U" ");
    return StrRel(result, U" ", U"_");
}

} // namespace nw
