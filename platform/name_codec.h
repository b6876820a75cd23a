#pragma once
// File names on Linux are bytes. Inside the program a name is a u32string with
// one element per character; a byte that is not part of valid UTF-8 becomes
// one "escape" character (U+DC80 + byte), so that every byte string decodes
// to some text and encodes back to exactly the same bytes.
#include "platform/code_pages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nw {

std::u32string decodeName(std::string_view bytes);
std::string encodeName(std::u32string_view text);

// Whether the bytes are valid UTF-8 as decodeName reads it.
bool isUtf8(std::string_view bytes);

// True for the characters that stand for a single undecodable byte.
constexpr bool isEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// UTF-8 for display and messages: escaped bytes and other non-characters
// become U+FFFD.
std::string toDisplayUtf8(std::u32string_view text);

// A name that is not valid UTF-8 is read in a legacy code page where one reads
// it (see code_pages.h); a name no code page reads keeps its escaped bytes.
struct DecodedName {
    std::u32string text;
    NameEncoding encoding = NameEncoding::Utf8;
    bool unsure = false;   // read in a code page judged without certainty
    bool alsoUtf8 = false; // read in the code page though valid UTF-8 too
};

// UTF-8, else the given code page, else UTF-8 with an escape for every
// invalid byte. Without a code page the name is not decoded. A name that is
// valid UTF-8 is read in the code page where that reads better (see
// readsBetterAsLegacy).
DecodedName readName(std::string_view bytes, std::optional<NameEncoding> legacy);

// The same in a folder's judged code page: a name read in a code page the
// judgement is not clear about is marked unsure, and valid UTF-8 is kept.
DecodedName readName(std::string_view bytes, const CodePageJudgement& judgement);

// A name on its own, its code page judged from it alone with the locale's
// prior (a folder's names are better judged together: see listFiles).
DecodedName readName(std::string_view bytes);

// Whether a name holds bytes that no reading turned into characters: such a
// name is never changed by a tool that works on its characters.
bool isUndecoded(std::u32string_view text);

// The bytes of a name in the given encoding. A name the code page cannot
// write (an emoji in GBK, an escaped byte), or whose bytes would be read back
// as UTF-8, is written in UTF-8, its escaped bytes as they were.
std::string writeName(std::u32string_view text, NameEncoding encoding);

} // namespace nw
