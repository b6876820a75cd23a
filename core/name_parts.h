#pragma once
// The parts of a file name around its last dot, and the part that the two
// range boxes (前缀, 后缀) choose: one home for every tool that works on them.
#include <cstddef>
#include <optional>
#include <string_view>

namespace nw {

// "a.tar.gz": base "a.tar", ext "gz", head "a.tar.", dottedExt ".gz". A name
// without a dot is all base and head, with no extension.
struct NameParts {
    std::u32string_view base;      // before the last dot
    std::u32string_view ext;       // after it
    std::u32string_view head;      // the base and its dot
    std::u32string_view dottedExt; // the dot and the extension
    bool dotted = false;
};
NameParts splitName(std::u32string_view name);

// Where the range of the two boxes lies in a name, as [begin, end): both the
// whole name; the prefix alone the base (the whole name without a dot); the
// suffix alone the extension. Nothing when the range is empty: neither box,
// or the suffix alone of a name without a dot.
struct NameRange {
    std::size_t begin = 0, end = 0;
};
std::optional<NameRange> rangeOf(std::u32string_view name, bool prefix, bool suffix);

} // namespace nw
