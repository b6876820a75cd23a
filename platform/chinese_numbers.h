#pragma once
// Chinese numerals in a name written as Arabic digits, where they read as a
// number: 第十二集 -> 第12集, 一百零二 -> 102, 两百 -> 200. ICU's Chinese
// spellout rules read them. A single numeral counts only after 第 (星期一,
// 一些 stay); a longer run only where it is how a number is written (一一,
// 三三两两 stay).
#include <string>
#include <string_view>

namespace nw {

// width: zeros in front of each number written, up to that many digits.
std::u32string arabicNumbers(std::u32string_view text, int width = 1);

} // namespace nw
