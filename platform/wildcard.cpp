#include "platform/wildcard.h"

#include "platform/case_map.h"

namespace nw {

WildcardSet::WildcardSet(std::u32string_view patterns) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(U';', start);
        if (end == std::u32string_view::npos)
            end = patterns.size();
        std::u32string p = folded(patterns.substr(start, end - start));
        // "*.*" is "all files", as the filter's first item promises: a name
        // without a dot (README, Makefile) is a file too.
        if (p == U"*.*" || p == U"*")
            m_all = true;
        if (!p.empty())
            m_patterns.push_back(std::move(p));
        start = end + 1;
    }
}

bool WildcardSet::matches(std::u32string_view name) const {
    if (m_all)
        return true;
    const std::u32string key = folded(name);
    for (const auto& p : m_patterns)
        if (wildcardMatch(p, key))
            return true;
    return false;
}

bool wildcardMatch(std::u32string_view pattern, std::u32string_view name) {
    // Iterative matcher with one backtrack point: linear in practice and
    // never exponential.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::u32string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

} // namespace nw
