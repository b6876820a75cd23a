#pragma once
// File names on Linux are bytes. Inside the program a name is a u32string with
// one element per character; a byte that is not part of valid UTF-8 becomes
// one "escape" character (U+DC80 + byte), so that every byte string decodes
// to some text and encodes back to exactly the same bytes.
#include <cstdint>
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

// Names carried over from Windows archives, FAT sticks and old discs are often
// GBK (code page 936) bytes. A name that is not valid UTF-8 but is valid GBK
// and encodes back to the same bytes is read as GBK; each name keeps its own
// encoding.
enum class NameEncoding : std::uint8_t { Utf8, Gbk };

struct DecodedName {
    std::u32string text;
    NameEncoding encoding = NameEncoding::Utf8;
};

// UTF-8, else GBK, else UTF-8 with an escape for every invalid byte.
DecodedName readName(std::string_view bytes);

// The bytes of a name in the given encoding. A name that GBK cannot write (an
// emoji, an escaped byte), or whose GBK bytes would be read back as other
// text, is written in UTF-8, its escaped bytes as they were. A name without
// escaped bytes reads back as the same text; one with them keeps its bytes,
// which may then form valid GBK and read back as Chinese.
std::string writeName(std::u32string_view text, NameEncoding encoding);

} // namespace nw
