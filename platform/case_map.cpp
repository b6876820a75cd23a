#include "platform/case_map.h"

#include <unicode/uchar.h>

namespace nw {
namespace {
bool mappable(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }
} // namespace

char32_t upperChar(char32_t c) {
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return mappable(c) ? static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))) : c;
}

char32_t lowerChar(char32_t c) {
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return mappable(c) ? static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))) : c;
}

char32_t foldChar(char32_t c) {
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return mappable(c)
               ? static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT))
               : c;
}

namespace {
template <typename Map> std::u32string mapped(std::u32string_view s, Map map) {
    std::u32string out(s);
    for (auto& c : out)
        c = map(c);
    return out;
}
} // namespace

std::u32string upper(std::u32string_view s) { return mapped(s, upperChar); }
std::u32string lower(std::u32string_view s) { return mapped(s, lowerChar); }
std::u32string folded(std::u32string_view s) { return mapped(s, foldChar); }

} // namespace nw
