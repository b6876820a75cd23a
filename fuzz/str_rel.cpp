// StrRel: it ends, even where a replacement recreates the searched text; with
// a shorter replacement no occurrence is left; with one that contains the
// searched text, each original occurrence is replaced once, left to right.
#include "core/text.h"
#include "fuzz_support.h"

namespace {
std::u32string replaceOnce(std::u32string_view s, std::u32string_view q, std::u32string_view r) {
    std::u32string out;
    std::size_t i = 0;
    for (std::size_t p; (p = s.find(q, i)) != std::u32string_view::npos; i = p + q.size())
        out.append(s.substr(i, p - i)).append(r);
    return out.append(s.substr(i));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u32string search = nw::fuzz::text(in, 4);
    const std::u32string rel = nw::fuzz::text(in, 6);
    const std::u32string source = nw::fuzz::text(in, 100);
    const std::u32string out = nw::StrRel(source, search, rel);
    if (search.empty())
        NW_FUZZ_CHECK(out == source);
    else if (rel.find(search) != std::u32string::npos)
        NW_FUZZ_CHECK(out == replaceOnce(source, search, rel));
    else if (rel.size() < search.size())
        NW_FUZZ_CHECK(out.find(search) == std::u32string::npos); // it shrinks, so it ends
    else
        // Growing rewrites may recreate the text without end; they stop at
        // the length bound instead.
        NW_FUZZ_CHECK(out.find(search) == std::u32string::npos || out.size() > 32767 ||
                      rel.size() == search.size());
    return 0;
}
