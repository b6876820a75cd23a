#include "core/name_parts.h"

namespace nw {

NameParts splitName(std::u32string_view name) {
    const std::size_t dot = name.rfind(U'.');
    if (dot == std::u32string_view::npos)
        return {name, {}, name, {}, false};
    return {name.substr(0, dot), name.substr(dot + 1), name.substr(0, dot + 1), name.substr(dot),
            true};
}

std::optional<NameRange> rangeOf(std::u32string_view name, bool prefix, bool suffix) {
    const NameParts p = splitName(name);
    if (prefix && (suffix || !p.dotted))
        return NameRange{0, name.size()};
    if (prefix)
        return NameRange{0, p.base.size()};
    if (suffix && p.dotted)
        return NameRange{p.head.size(), name.size()};
    return std::nullopt;
}

} // namespace nw
