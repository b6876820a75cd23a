#pragma once
// Extension change and removal of a text.
#include <optional>
#include <string>
#include <string_view>

namespace nw {

// The extension of a full path: the text after the last "." of the name part
// (after the last "/"); empty when the name has no dot.
std::u32string GetFileExt(std::u32string_view strFile);

// The full path with its extension replaced by strExt: up to and including
// the name's last dot, then strExt; a name without a dot gets "." and strExt
// appended. The rename itself is done by the rename pass.
std::u32string ChangeFileExt(std::u32string_view strFile, std::u32string_view strExt);

// The name without the first occurrence of text (exact, case-sensitive);
// nothing when the name does not contain it or text is empty.
std::optional<std::u32string> RemoveFirst(std::u32string_view name, std::u32string_view text);

} // namespace nw
