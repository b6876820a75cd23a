#pragma once
// Code page 936 (GBK) through ICU's converter, whatever the user's locale.
// The two mapping tables are built once, on first use.
#include <cstdint>
#include <optional>

namespace nw::cp936 {

// The code page 936 code of a character: 0 when it has no form there, a value
// below 0x100 for a one-byte character, lead byte * 256 + trail byte for a
// double-byte one.
std::uint16_t codeOf(char32_t c);

inline bool isDoubleByte(char32_t c) { return codeOf(c) >= 0x100; }

// The character of a code: a one-byte code (below 0x100) or a double-byte
// code. Nothing when the code page has no character there.
std::optional<char32_t> charOf(std::uint16_t code);

} // namespace nw::cp936
