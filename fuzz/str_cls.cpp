// StrCls: the result holds no occurrence of the searched text, is shorter by
// whole occurrences and keeps the order of what is left.
#include "core/text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u32string search = nw::fuzz::text(in, 4);
    const std::u32string source = nw::fuzz::text(in, 200);
    const std::u32string out = nw::StrCls(source, search);
    if (search.empty()) {
        NW_FUZZ_CHECK(out == source);
        return 0;
    }
    NW_FUZZ_CHECK(out.find(search) == std::u32string::npos);
    NW_FUZZ_CHECK((source.size() - out.size()) % search.size() == 0);
    std::size_t j = 0; // out is a subsequence of source
    for (char32_t c : source)
        if (j < out.size() && out[j] == c)
            ++j;
    NW_FUZZ_CHECK(j == out.size());
    return 0;
}
