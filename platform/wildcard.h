#pragma once
// The file list's patterns: one or more wildcard patterns separated by ";",
// "*" any run of characters, "?" one character, letter case ignored, matched
// against the whole name.
#include <string>
#include <string_view>
#include <vector>

namespace nw {

class WildcardSet {
public:
    explicit WildcardSet(std::u32string_view patterns = U"*.*");
    bool matches(std::u32string_view name) const;

private:
    std::vector<std::u32string> m_patterns; // case-folded
    bool m_all = false;
};

// One pattern against one name, both already case-folded.
bool wildcardMatch(std::u32string_view pattern, std::u32string_view name);

} // namespace nw
