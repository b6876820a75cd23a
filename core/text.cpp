#include "core/text.h"

namespace nw {
namespace {
// Texts longer than this lie outside what the name tools handle; a growing
// replacement stops there instead of running on.
constexpr std::size_t kMaxText = 32767;
// A rewrite that neither grows nor ends could only cycle; bound it too.
constexpr std::size_t kMaxRounds = 1u << 20;
} // namespace

std::u32string StrCls(std::u32string_view sSource, std::u32string_view sSearch) {
    return StrRel(sSource, sSearch, U"");
}

std::u32string StrRel(std::u32string_view sSource, std::u32string_view sSearch,
                      std::u32string_view Rel) {
    std::u32string s(sSource);
    if (sSearch.empty())
        return s;
    if (Rel.find(sSearch) != std::u32string_view::npos) {
        std::u32string out;
        std::size_t from = 0;
        for (std::size_t p; (p = s.find(sSearch, from)) != std::u32string::npos;
             from = p + sSearch.size())
            out.append(s, from, p - from).append(Rel);
        out.append(s, from, std::u32string::npos);
        return out;
    }
    // Searching again from the start of the text finds nothing before the
    // last join that was not there already, so the search may resume just
    // before it: the same result as a restart, without the quadratic cost.
    std::size_t from = 0;
    std::size_t rounds = 0;
    for (std::size_t p; (p = s.find(sSearch, from)) != std::u32string::npos;) {
        s.replace(p, sSearch.size(), Rel);
        if (s.size() > kMaxText || ++rounds > kMaxRounds)
            break;
        from = p >= sSearch.size() - 1 ? p - (sSearch.size() - 1) : 0;
    }
    return s;
}

namespace {
template <typename Pred> std::u32string trimIf(std::u32string_view s, Pred isSpace) {
    std::size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return std::u32string(s.substr(b, e - b));
}
} // namespace

std::u32string TrimSpaces(std::u32string_view s) {
    return trimIf(s, [](char32_t c) { return c == U' '; });
}

std::u32string TrimSpacesWide(std::u32string_view s) {
    return trimIf(s, [](char32_t c) { return c == U' ' || c == U'\u3000'; });
}

} // namespace nw
