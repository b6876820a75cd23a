#include "core/convert_name.h"

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
    if (o.Prefix && o.Suffix)
        return convertCase(name, o.caseMode);
    const std::size_t dot = name.rfind(U'.');
    if (dot == std::u32string_view::npos)
        return o.Prefix ? convertCase(name, o.caseMode) : std::u32string(name);
    const std::u32string_view base = name.substr(0, dot);
    const std::u32string_view ext = name.substr(dot + 1);
    if (o.Prefix)
        return convertCase(base, o.caseMode) + U"." + std::u32string(ext);
    return std::u32string(base) + U"." + convertCase(ext, o.caseMode);
}

} // namespace

std::u32string ConvertName(std::u32string_view name, const ConvertOptions& options) {
    const std::u32string result = caseStep(name, options);
    if (options.spaceMode == SpaceMode::DeleteSpace)
        return StrCls(result, U" ");
    return StrRel(result, U" ", U"_");
}

} // namespace nw
