// File names as bytes: decoding then encoding gives back the same bytes, in
// whichever encoding the name is read, and the display form is valid UTF-8.
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
    // Read as GBK where it is GBK; written back, the same bytes. A text
    // without escaped bytes, written as GBK, reads back as that text; one with
    // them keeps its bytes.
    const nw::DecodedName read = nw::readName(bytes);
    NW_FUZZ_CHECK(nw::writeName(read.text, read.encoding) == bytes);
    NW_FUZZ_CHECK(nw::readName(nw::writeName(read.text, nw::NameEncoding::Gbk)).text == read.text);
    bool escaped = false;
    for (char32_t c : text)
        escaped = escaped || nw::isEscapedByte(c);
    if (escaped)
        NW_FUZZ_CHECK(nw::writeName(text, nw::NameEncoding::Gbk) == bytes);
    else
        NW_FUZZ_CHECK(nw::readName(nw::writeName(text, nw::NameEncoding::Gbk)).text == text);
    return 0;
}
