#include "platform/name_codec.h"

#include "platform/cp936.h"

namespace nw {
namespace {

char32_t escape(unsigned char b) { return 0xDC00u + b; }

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

} // namespace

std::u32string decodeName(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        std::size_t len = 0;
        char32_t c = 0;
        char32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2, c = b & 0x1Fu, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, c = b & 0x0Fu, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, c = b & 0x07u, min = 0x10000;
        }
        bool ok = len != 0 && i + len <= n;
        for (std::size_t k = 1; ok && k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (p[i + k] & 0x3Fu);
        }
        // Overlong forms, encoded surrogates and values past U+10FFFF are
        // invalid; escaping them keeps the mapping one-to-one.
        if (ok && (c < min || c > 0x10FFFF || isSurrogate(c)))
            ok = false;
        if (ok) {
            out.push_back(c);
            i += len;
        } else {
            out.push_back(escape(b));
            ++i;
        }
    }
    return out;
}

std::string encodeName(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (isEscapedByte(c))
            out.push_back(static_cast<char>(c - 0xDC00u));
        else if (isSurrogate(c) || c > 0x10FFFF)
            appendUtf8(out, 0xFFFD); // never produced by decodeName
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string toDisplayUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        appendUtf8(out, (isSurrogate(c) || c > 0x10FFFF) ? char32_t{0xFFFD} : c);
    return out;
}

namespace {

bool isPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// Strict GBK: ASCII and double-byte characters that the code page assigns
// (private-use codes are not taken as text), each mapping back to its bytes.
bool decodeGbk(std::string_view bytes, std::u32string& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.push_back(p[i++]);
            continue;
        }
        if (i + 1 >= n || p[i] < 0x81 || p[i] > 0xFE)
            return false;
        const auto code = static_cast<std::uint16_t>(p[i] << 8 | p[i + 1]);
        const auto c = cp936::charOf(code);
        if (!c || isPrivateUse(*c) || cp936::codeOf(*c) != code)
            return false;
        out.push_back(*c);
        i += 2;
    }
    return true;
}

bool encodeGbk(std::u32string_view text, std::string& out) {
    out.clear();
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const std::uint16_t code = cp936::codeOf(c);
        if (code < 0x8140 || isPrivateUse(c))
            return false;
        out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    }
    return true;
}

bool hasEscapes(std::u32string_view text) {
    for (char32_t c : text)
        if (isEscapedByte(c))
            return true;
    return false;
}

} // namespace

DecodedName readName(std::string_view bytes) {
    DecodedName d{decodeName(bytes), NameEncoding::Utf8};
    if (!hasEscapes(d.text))
        return d;
    std::u32string gbk;
    std::string back;
    if (decodeGbk(bytes, gbk) && encodeGbk(gbk, back) && back == bytes)
        return {std::move(gbk), NameEncoding::Gbk};
    return d;
}

std::string writeName(std::u32string_view text, NameEncoding encoding) {
    if (encoding == NameEncoding::Gbk) {
        std::string bytes;
        // GBK bytes that happen to be valid UTF-8 would be read back as other
        // characters: such a name is better written in UTF-8.
        if (encodeGbk(text, bytes) && readName(bytes).text == text)
            return bytes;
    }
    return encodeName(text);
}

} // namespace nw
