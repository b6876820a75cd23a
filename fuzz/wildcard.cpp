// The file list's patterns: a name matches itself written as a pattern (any
// letter case, characters turned into "?", a tail turned into "*"), "*"
// matches everything, and a pattern with more fixed characters than the name
// has cannot match.
#include "platform/wildcard.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u32string name = nw::fuzz::text(in, 40);
    const std::u32string patterns = nw::fuzz::text(in, 40);
    (void)nw::WildcardSet(patterns).matches(name); // any input terminates

    if (name.empty() || name.find_first_of(U"*?;") != std::u32string::npos)
        return 0;
    NW_FUZZ_CHECK(nw::WildcardSet(U"*").matches(name));
    std::u32string pattern = name;
    for (char32_t& c : pattern) {
        if (in.ConsumeBool() && c >= U'a' && c <= U'z')
            c = c - U'a' + U'A';
        else if (in.ConsumeIntegralInRange<int>(0, 3) == 0)
            c = U'?';
    }
    if (!pattern.empty() && in.ConsumeBool())
        pattern =
            pattern.substr(0, in.ConsumeIntegralInRange<std::size_t>(0, pattern.size())) + U"*";
    NW_FUZZ_CHECK(nw::WildcardSet(pattern).matches(name));
    NW_FUZZ_CHECK(nw::WildcardSet(U"x;" + pattern).matches(name));
    NW_FUZZ_CHECK(!nw::WildcardSet(name + U"?").matches(name));
    return 0;
}
