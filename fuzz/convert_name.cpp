// ConvertName: a name without spaces keeps its length; spaces are all deleted
// or all become "_"; no range gives the empty text.
#include "core/convert_name.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    nw::ConvertOptions o;
    o.caseMode =
        in.PickValueInArray({nw::CaseMode::Upper, nw::CaseMode::Lower, nw::CaseMode::FirstUpper});
    o.Prefix = in.ConsumeBool();
    o.Suffix = in.ConsumeBool();
    o.spaceMode = in.ConsumeBool() ? nw::SpaceMode::DeleteSpace : nw::SpaceMode::SpaceToUnderscore;
    const std::u32string name = nw::fuzz::text(in);
    const std::u32string out = nw::ConvertName(name, o);
    if (!o.Prefix && !o.Suffix) {
        NW_FUZZ_CHECK(out.empty());
        return 0;
    }
    const std::size_t spaces = nw::fuzz::count(name, U' ');
    NW_FUZZ_CHECK(nw::fuzz::count(out, U' ') == 0);
    if (o.spaceMode == nw::SpaceMode::DeleteSpace)
        NW_FUZZ_CHECK(out.size() == name.size() - spaces);
    else
        NW_FUZZ_CHECK(out.size() == name.size());
    // Undecodable bytes pass through untouched, so the name stays writable.
    NW_FUZZ_CHECK(nw::fuzz::count(out, char32_t(0xDC80 + 0xE9)) ==
                  nw::fuzz::count(name, char32_t(0xDC80 + 0xE9)));
    return 0;
}
