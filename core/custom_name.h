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

enum class CustomNameError { BadIncrement, NumberOverflow };

// The increment box's text as a 16-bit signed number: blanks around it, a
// leading sign and a decimal fraction (rounded half to even) are accepted.
// Nothing for any other text or a value outside -32768..32767.
std::optional<std::int16_t> ParseIncrement(std::u32string_view text);

// The new name: the custom text and the number text joined, placed as asked.
std::u32string PlaceCustomText(std::u32string_view name, std::u32string_view customText,
                               std::u32string_view numberText, TextPlacement placement);

struct CustomNameSettings {
    std::u32string customText;    // as typed; blanks at the ends are dropped
    std::u32string incrementText; // as typed
    TextPlacement placement = TextPlacement::ReplacePrefix;
};

struct CustomNameResult {
    std::optional<std::u32string> name;
    std::optional<CustomNameError> error; // only when there is no name
};

// Advances runningNumber by the increment, then places the new number. On
// failure runningNumber keeps its value.
CustomNameResult BuildCustomName(std::u32string_view name, const CustomNameSettings& settings,
                                 std::int16_t& runningNumber);

} // namespace nw
