// The batch tool's pieces: an increment written out reads back as itself;
// the running number moves by the increment exactly when a name results, or
// the overflow is reported; every placement keeps the number, padded to the
// width, in the name; a numbering begins at its start.
#include "core/custom_name.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto value = in.ConsumeIntegral<std::int16_t>();
    const std::string written = std::to_string(value);
    const auto parsed = nw::ParseIncrement(std::u32string(written.begin(), written.end()));
    NW_FUZZ_CHECK(parsed && *parsed == value);

    nw::CustomNameSettings s;
    s.customText = nw::fuzz::text(in, 16);
    s.incrementText =
        in.ConsumeBool() ? nw::fuzz::text(in, 8) : std::u32string(written.begin(), written.end());
    s.placement = nw::TextPlacement(in.ConsumeIntegralInRange<int>(0, 5));
    const int width = in.ConsumeIntegralInRange<int>(1, 9);
    s.widthText = std::u32string(1, static_cast<char32_t>(U'0' + static_cast<unsigned>(width)));
    // A numbering under way: the start box no longer counts.
    s.startText = nw::fuzz::text(in, 4);
    nw::RunningNumber number{in.ConsumeIntegral<std::int16_t>(), true};
    const nw::RunningNumber before = number;
    const std::u32string name = nw::fuzz::text(in, 64);
    const nw::CustomNameResult r = nw::BuildCustomName(name, s, number);
    const auto inc = nw::ParseIncrement(s.incrementText);
    if (!inc) {
        NW_FUZZ_CHECK(!r.name && r.error == nw::CustomNameError::BadIncrement && number == before);
        return 0;
    }
    if (!nw::ParseStart(s.startText).valid) {
        NW_FUZZ_CHECK(!r.name && r.error == nw::CustomNameError::BadStart && number == before);
        return 0;
    }
    const int next = int{before.last} + int{*inc};
    if (next < -32768 || next > 32767) {
        NW_FUZZ_CHECK(!r.name && r.error == nw::CustomNameError::NumberOverflow &&
                      number == before);
        return 0;
    }
    NW_FUZZ_CHECK(r.name && number.last == next);
    const std::u32string digits = nw::NumberText(next, width);
    NW_FUZZ_CHECK(r.name->find(digits) != std::u32string::npos);
    NW_FUZZ_CHECK(static_cast<int>(digits.size()) >= width + (next < 0 ? 1 : 0));

    // A numbering that begins: the first number is the start, where one is.
    nw::RunningNumber fresh;
    if (const auto start = nw::ParseStart(s.startText).start)
        NW_FUZZ_CHECK(nw::BuildCustomName(name, s, fresh).name && fresh.last == *start);

    // PlaceCustomText on its own, with any texts.
    const std::u32string custom = nw::fuzz::text(in, 8), numberText = nw::fuzz::text(in, 6);
    const std::u32string placed = nw::PlaceCustomText(name, custom, numberText, s.placement);
    NW_FUZZ_CHECK(placed.find(numberText) != std::u32string::npos);
    return 0;
}
