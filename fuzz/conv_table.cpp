// StrF2J and StrJ2F over arbitrary tables: one character out for each one in,
// and the index gives exactly what the plain slot scan gives.
#include "core/conv_table.h"
#include "fuzz_support.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u32string textIn = nw::fuzz::text(in, 32);
    // Tables of any length, up to past the largest the format allows.
    std::vector<std::uint8_t> bytes =
        in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 70000));
    if (in.ConsumeBool() && bytes.size() > 4) {
        // A table from a few codes repeated: many slots with the same code.
        const std::vector<std::uint8_t> unit(bytes.begin(), bytes.begin() + 4);
        bytes.clear();
        for (int i = 0; i < 16000; ++i)
            bytes.insert(bytes.end(), unit.begin(), unit.end());
    }
    const nw::ConvTable table(bytes);
    NW_FUZZ_CHECK(table.slotCount() <= nw::ConvTable::kMaxSlots);
    const std::u32string f2j = nw::StrF2J(table, textIn);
    const std::u32string j2f = nw::StrJ2F(table, textIn);
    NW_FUZZ_CHECK(f2j.size() == textIn.size());
    NW_FUZZ_CHECK(j2f == nw::StrJ2FByScan(table, textIn));
    NW_FUZZ_CHECK(j2f.size() == textIn.size());
    for (std::size_t i = 0; i < textIn.size(); ++i)
        if (textIn[i] < 0x80 || nw::isEscapedByte(textIn[i]))
            NW_FUZZ_CHECK(f2j[i] == textIn[i] && j2f[i] == textIn[i]);
    return 0;
}
