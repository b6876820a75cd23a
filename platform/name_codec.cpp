#include "platform/name_codec.h"

#include "platform/cp936.h"

#include <algorithm>

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

namespace {

// The UTF-8 sequence at p[i]: its character and length, or a length of 0 when
// the bytes there are not valid UTF-8 (overlong forms, encoded surrogates and
// values past U+10FFFF included, so that the mapping stays one-to-one).
std::size_t sequenceAt(const unsigned char* p, std::size_t n, std::size_t i, char32_t& c) {
    const unsigned char b = p[i];
    std::size_t len = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0)
        len = 2, c = b & 0x1Fu, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
        len = 3, c = b & 0x0Fu, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
        len = 4, c = b & 0x07u, min = 0x10000;
    if (len == 0 || i + len > n)
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((p[i + k] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i + k] & 0x3Fu);
    }
    return c < min || c > 0x10FFFF || isSurrogate(c) ? 0 : len;
}

} // namespace

std::u32string decodeName(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            out.push_back(p[i++]);
            continue;
        }
        char32_t c = 0;
        if (const std::size_t len = sequenceAt(p, n, i, c)) {
            out.push_back(c);
            i += len;
        } else {
            out.push_back(escape(p[i]));
            ++i;
        }
    }
    return out;
}

bool isUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        char32_t c = 0;
        const std::size_t len = p[i] < 0x80 ? 1 : sequenceAt(p, n, i, c);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
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

bool isUndecoded(std::u32string_view text) {
    return std::any_of(text.begin(), text.end(), isEscapedByte);
}

DecodedName readName(std::string_view bytes, std::optional<NameEncoding> legacy) {
    DecodedName d{decodeName(bytes), NameEncoding::Utf8};
    if (!legacy)
        return d;
    const bool utf8 = !isUndecoded(d.text);
    if (utf8 && !readsBetterAsLegacy(*legacy, bytes))
        return d;
    if (auto text = codepage::decode(*legacy, bytes))
        return {std::move(*text), *legacy, false, utf8};
    return d;
}

DecodedName readName(std::string_view bytes, const CodePageJudgement& judgement) {
    if (!judgement.codePage) // a folder of UTF-8 names, the commonest
        return {decodeName(bytes), NameEncoding::Utf8};
    if (!judgement.clear && isUtf8(bytes))
        return {decodeName(bytes), NameEncoding::Utf8};
    DecodedName d = readName(bytes, judgement.codePage);
    d.unsure = d.encoding != NameEncoding::Utf8 &&
               (!judgement.clear || (!d.alsoUtf8 && !fitsJudgement(judgement, bytes)));
    return d;
}

DecodedName readName(std::string_view bytes) {
    if (isUtf8(bytes))
        return {decodeName(bytes), NameEncoding::Utf8};
    return readName(bytes, judgeCodePage({bytes}, localePrior()));
}

std::string writeName(std::u32string_view text, NameEncoding encoding) {
    if (encoding == NameEncoding::Utf8)
        return encodeName(text);
    // GBK writes only its own characters: GB18030's four-byte forms are read,
    // never chosen for a new name.
    if (encoding == NameEncoding::Gbk &&
        !std::all_of(text.begin(), text.end(), [](char32_t c) { return cp936::codeOf(c) != 0; }))
        return encodeName(text);
    const auto bytes = codepage::encode(encoding, text);
    // Bytes that happen to be valid UTF-8 may be read back as other
    // characters (in a folder with no other name in the code page): such a
    // name is better written in UTF-8.
    if (!bytes || !isUndecoded(decodeName(*bytes)))
        return encodeName(text);
    return *bytes;
}

} // namespace nw
