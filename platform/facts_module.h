#pragma once
// Between the program and its module that reads photos, songs and videos
// (see facts_module.cpp): what kind of file it is asked about, and the one
// function it exports, nw_read_media_facts(path, kind, RawFacts*).
#include "platform/file_metadata.h"

#include <cstdint>

namespace nw {

enum class MediaKind : std::uint8_t { Other, Image, Heif, Audio, Video };

} // namespace nw

#define NW_FACTS_MODULE_NAME "namewright_facts.so"
