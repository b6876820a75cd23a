// File names as bytes: decoding then encoding gives back the same bytes, in
// whichever code page the name is read, and the display form is valid UTF-8.
#include "fuzz_support.h"

namespace {
bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u32string text = nw::decodeName(bytes);
    NW_FUZZ_CHECK(nw::encodeName(text) == bytes);
    NW_FUZZ_CHECK(text.size() <= bytes.size());
    NW_FUZZ_CHECK(validUtf8(nw::toDisplayUtf8(text)));
    // A text that came from a name encodes to what decodes to it again.
    NW_FUZZ_CHECK(nw::decodeName(nw::encodeName(text)) == text);
    // In every code page: read where it reads, and written back, the same
    // bytes; a name judged alone is read as one of them or not at all; a
    // text without escaped bytes that a code page writes reads back as itself
    // in that code page.
    NW_FUZZ_CHECK(nw::isUtf8(bytes) == !nw::isUndecoded(text));
    for (const auto e : nw::kLegacyEncodings) {
        const nw::DecodedName read = nw::readName(bytes, e);
        NW_FUZZ_CHECK(
            nw::codepage::encode(read.encoding, read.text).value_or(nw::encodeName(read.text)) ==
            bytes);
        NW_FUZZ_CHECK(validUtf8(nw::toDisplayUtf8(read.text)));
        const std::string written = nw::writeName(text, e);
        if (!nw::isUndecoded(text)) {
            // (Unless the UTF-8 is of the kind a name in the code page makes.)
            NW_FUZZ_CHECK(nw::readName(written, e).text == text ||
                          nw::readsBetterAsLegacy(e, written));
        } else {
            NW_FUZZ_CHECK(written == bytes);
        }
    }
    const nw::DecodedName alone = nw::readName(bytes);
    NW_FUZZ_CHECK(alone.encoding == nw::NameEncoding::Utf8 ||
                  nw::readName(bytes, alone.encoding).text == alone.text);
    return 0;
}
