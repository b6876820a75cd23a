#pragma once
// Natural order, as a person sorts: letter case ignored, runs of digits
// (ASCII or full-width) compared by their value (img2 before img10).
#include <string>
#include <string_view>

namespace nw {

// Negative, zero or positive. Names that differ only in letter case or in
// leading zeros are told apart by a final exact comparison, so the order is
// total and repeatable.
int naturalCompare(std::u32string_view a, std::u32string_view b);

// The same order over names that were case-folded beforehand (faster when
// sorting many names).
int naturalCompareFolded(std::u32string_view a, std::u32string_view b);

} // namespace nw
