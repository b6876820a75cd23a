#pragma once
#include <string>
#include <string_view>

namespace nw {

// sSource with every occurrence of sSearch removed. After each removal the
// search starts again where a new occurrence could have formed, so removing
// "ab" from "aabb" leaves nothing. An empty sSearch returns sSource unchanged.
std::u32string StrCls(std::u32string_view sSource, std::u32string_view sSearch);

// sSource with every occurrence of sSearch replaced by Rel, searching again
// around each replacement ("ab" by "a" in "abb" gives "a"). Some inputs would
// make that loop endless, so they return instead: an empty sSearch returns
// sSource unchanged; a Rel that contains sSearch replaces each occurrence of
// the original text once, left to right; and a replacement that keeps
// recreating sSearch while the text grows ("ba" by "aabb" in "baa") stops
// once the text passes 32,767 characters, or after 2^20 replacements that do
// not shorten it.
std::u32string StrRel(std::u32string_view sSource, std::u32string_view sSearch,
                      std::u32string_view Rel);

// Without the ordinary spaces at both ends.
std::u32string TrimSpaces(std::u32string_view s);

// Without ordinary and full-width (U+3000) spaces at both ends.
std::u32string TrimSpacesWide(std::u32string_view s);

} // namespace nw
