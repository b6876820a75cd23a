#pragma once
// File names on Linux are bytes. Inside the program a name is a u32string with
// one element per character; a byte that is not part of valid UTF-8 becomes
// one "escape" character (U+DC80 + byte), so that every byte string decodes
// to some text and encodes back to exactly the same bytes.
#include <string>
#include <string_view>

namespace nw {

std::u32string decodeName(std::string_view bytes);
std::string encodeName(std::u32string_view text);

// True for the characters that stand for a single undecodable byte.
constexpr bool isEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// UTF-8 for display and messages: escaped bytes and other non-characters
// become U+FFFD.
std::string toDisplayUtf8(std::u32string_view text);

} // namespace nw
