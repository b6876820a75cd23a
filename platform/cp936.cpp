#include "platform/cp936.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <vector>

namespace nw::cp936 {
namespace {

struct Tables {
    std::vector<std::uint16_t> codeOfBmp = std::vector<std::uint16_t>(0x10000, 0);
    std::vector<char32_t> charOfCode = std::vector<char32_t>(0x10000, 0);
    std::vector<bool> hasChar = std::vector<bool>(0x10000, false);
};

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

Tables build() {
    Tables t;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> conv(ucnv_open("windows-936", &status));
    if (U_FAILURE(status) || !conv)
        return t;
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFallback(conv.get(), false);

    // Character to bytes, for every character of the Basic Multilingual Plane
    // (code page 936 has nothing outside it).
    for (std::uint32_t u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        UChar in = static_cast<UChar>(u);
        char out[8];
        status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(conv.get());
        const int32_t n = ucnv_fromUChars(conv.get(), out, sizeof out, &in, 1, &status);
        if (U_FAILURE(status))
            continue;
        if (n == 1)
            t.codeOfBmp[u] = static_cast<unsigned char>(out[0]);
        else if (n == 2)
            t.codeOfBmp[u] = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                        static_cast<unsigned char>(out[1]));
    }
    t.codeOfBmp[0] = 0;

    // Code back to character: every one-byte value and every double-byte code.
    auto decode = [&](const char* bytes, int32_t len, std::uint16_t code) {
        UChar out[4];
        status = U_ZERO_ERROR;
        ucnv_resetToUnicode(conv.get());
        const int32_t n = ucnv_toUChars(conv.get(), out, 4, bytes, len, &status);
        if (U_SUCCESS(status) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) {
            t.charOfCode[code] = out[0];
            t.hasChar[code] = true;
        }
    };
    for (int b = 0; b < 0x100; ++b) {
        const char c = static_cast<char>(b);
        decode(&c, 1, static_cast<std::uint16_t>(b));
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            decode(bytes, 2, static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
    return t;
}

const Tables& tables() {
    static const Tables t = build();
    return t;
}

} // namespace

std::uint16_t codeOf(char32_t c) {
    if (c < 0x80)
        return static_cast<std::uint16_t>(c == 0 ? 0 : c);
    if (c >= 0x10000)
        return 0;
    return tables().codeOfBmp[c];
}

std::optional<char32_t> charOf(std::uint16_t code) {
    if (code < 0x80)
        return code == 0 ? std::optional<char32_t>{} : std::optional<char32_t>{code};
    const auto& t = tables();
    if (!t.hasChar[code])
        return std::nullopt;
    return t.charOfCode[code];
}

} // namespace nw::cp936
