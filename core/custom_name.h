#pragma once
// Custom text and running number.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nw {

enum class TextPlacement {
    ReplacePrefix = 0,
    ReplaceSuffix = 1,
    BeforePrefix = 2,
    AfterPrefix = 3,
    BeforeSuffix = 4,
    AfterSuffix = 5,
};

enum class CustomNameError { BadIncrement, NumberOverflow, BadStart, BadWidth };

// The increment box's text as a 16-bit signed number: blanks around it, a
// leading sign and a decimal fraction (rounded half to even) are accepted.
// Nothing for any other text or a value outside -32768..32767.
std::optional<std::int16_t> ParseIncrement(std::u32string_view text);

// The start box's text: empty for none (the first number is then the
// increment), else a whole number of -32768..32767 with blanks and a sign
// allowed around it. BadStart for any other text.
struct StartValue {
    std::optional<std::int16_t> start;
    bool valid = true;
};
StartValue ParseStart(std::u32string_view text);
// The width box's text: empty or 1 for no zeros in front, 2-9 for at least
// that many digits; none for any other text.
std::optional<int> ParseWidth(std::u32string_view text);
// A number written with at least width digits, zeros in front, its sign
// before them (-01).
std::u32string NumberText(int value, int width);

// The new name: the custom text and the number text joined, placed as asked.
std::u32string PlaceCustomText(std::u32string_view name, std::u32string_view customText,
                               std::u32string_view numberText, TextPlacement placement);

struct CustomNameSettings {
    std::u32string customText;    // as typed; blanks at the ends are dropped
    std::u32string incrementText; // as typed
    TextPlacement placement = TextPlacement::ReplacePrefix;
    std::u32string startText; // as typed; empty: the first number is the increment
    std::u32string widthText; // as typed; empty: no zeros in front
    bool operator==(const CustomNameSettings&) const = default;
};

// Where a pass's numbering stands: the number given last, and whether any
// was given yet.
struct RunningNumber {
    std::int16_t last = 0;
    bool started = false;
    bool operator==(const RunningNumber&) const = default;
};

struct CustomNameResult {
    std::optional<std::u32string> name;
    std::optional<CustomNameError> error; // only when there is no name
};

// The next number (the start where one is given and none was given yet,
// else the last advanced by the increment), placed in the name with the
// width asked. On failure the running number keeps its value.
CustomNameResult BuildCustomName(std::u32string_view name, const CustomNameSettings& settings,
                                 RunningNumber& number);

} // namespace nw
