#pragma once
// Between the program and its module that reads photos, songs and videos
// (see facts_module.cpp): what kind of file it is asked about, and the one
// function it exports, nw_read_media_facts(path, kind, RawFacts*).
#include "platform/file_metadata.h"

#include <cstdint>
#include <ctime>
#include <string>

namespace nw {

enum class MediaKind : std::uint8_t { Other, Image, Heif, Audio, Video };

// Shared by both sides, inline: the module links nothing of the program's.
// Bytes read one character each, as Latin-1.
inline std::u32string latin1(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    for (char c : s)
        out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
}

inline LocalDateTime fromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, -1};
}

} // namespace nw

#define NW_FACTS_MODULE_NAME "namewright_facts.so"
