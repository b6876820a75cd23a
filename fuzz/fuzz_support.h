#pragma once
// Shared by the fuzz targets: texts drawn from the input, and property checks
// that stop the run with a message libFuzzer keeps beside the crashing input.
#include "platform/name_codec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#define NW_FUZZ_CHECK(cond)                                                                        \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace nw::fuzz {

// Either a name as it may come from disk (any bytes, decoded) or a text over
// a few characters, so that searches and overlaps are frequent.
inline std::u32string text(FuzzedDataProvider& in, std::size_t maxLength = 64) {
    if (in.ConsumeBool())
        return decodeName(in.ConsumeRandomLengthString(maxLength));
    static const char32_t alphabet[] = {U'a', U'b',  U'A',  U' ',
                                        U'.', U'中', U'國', U'\u3000',
                                        U'_', U'1',  U'/',  char32_t(0xDC80 + 0xE9)};
    const std::string picks = in.ConsumeRandomLengthString(maxLength);
    std::u32string out;
    for (char c : picks)
        out += alphabet[static_cast<unsigned char>(c) % (sizeof alphabet / sizeof alphabet[0])];
    return out;
}

inline std::size_t count(std::u32string_view s, char32_t c) {
    std::size_t n = 0;
    for (char32_t x : s)
        n += x == c;
    return n;
}

} // namespace nw::fuzz
