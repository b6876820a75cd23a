#pragma once
// Simple (one character to one character) case mapping, the same whatever the
// user's locale.
#include <string>
#include <string_view>

namespace nw {

char32_t upperChar(char32_t c);
char32_t lowerChar(char32_t c);
char32_t foldChar(char32_t c); // for comparisons that ignore letter case

std::u32string upper(std::u32string_view s);
std::u32string lower(std::u32string_view s);
std::u32string folded(std::u32string_view s);

} // namespace nw
