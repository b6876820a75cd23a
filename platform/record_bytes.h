#pragma once
// The byte format of the program's own records (pass journals, the history):
// little-endian numbers of eight bytes, fields as their length and bytes, and
// a checksum that tells a torn or flipped record from a whole one.
#include "platform/file_system.h"

#include <cstdint>
#include <string>

namespace nw {

// FNV-1a, 64 bits.
inline std::uint64_t checksum(const char* data, std::size_t size,
                              std::uint64_t h = 14695981039346656037ull) {
    for (std::size_t i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 1099511628211ull;
    }
    return h;
}

inline void putNumber(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

inline void putField(std::string& out, const std::string& s) {
    putNumber(out, s.size());
    out += s;
}

// A name a record may hold: one entry of a folder, nothing that leads out.
inline bool safeRecordName(const std::string& n) {
    return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos &&
           n.find('\0') == std::string::npos && n.size() <= kMaxNameBytes;
}

// A folder below a record's folder ("a/b"; empty: the folder itself): names
// that are safe one by one, joined by single slashes.
inline bool safeRecordSub(const std::string& sub) {
    for (std::size_t i = 0; i < sub.size();) {
        std::size_t j = sub.find('/', i);
        if (j == std::string::npos)
            j = sub.size();
        if (!safeRecordName(sub.substr(i, j - i)) || (j == sub.size() - 1))
            return false;
        i = j + 1;
    }
    return true;
}

// A folder a record may name: absolute, without "." or ".." among its parts.
inline bool safeRecordFolder(const std::string& f) {
    if (f.empty() || f[0] != '/' || f.find('\0') != std::string::npos)
        return false;
    for (std::size_t i = 1; i <= f.size();) {
        std::size_t j = f.find('/', i);
        if (j == std::string::npos)
            j = f.size();
        const std::string part = f.substr(i, j - i);
        if (part == "." || part == "..")
            return false;
        i = j + 1;
    }
    return true;
}

// Reads what putNumber and putField wrote; fails at the end of the bytes.
class RecordReader {
public:
    explicit RecordReader(const std::string& bytes) : m_bytes(bytes) {}
    bool number(std::uint64_t& v) {
        if (m_bytes.size() - m_pos < 8)
            return false;
        v = 0;
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t(static_cast<unsigned char>(m_bytes[m_pos + std::size_t(i)]))
                 << (8 * i);
        m_pos += 8;
        return true;
    }
    bool field(std::string& s) {
        std::uint64_t n = 0;
        if (!number(n) || m_bytes.size() - m_pos < n)
            return false;
        s = m_bytes.substr(m_pos, n);
        m_pos += n;
        return true;
    }
    bool literal(const char* text, std::size_t size) {
        if (m_bytes.compare(m_pos, size, text, size) != 0)
            return false;
        m_pos += size;
        return true;
    }
    std::size_t pos() const { return m_pos; }
    bool atEnd() const { return m_pos == m_bytes.size(); }

private:
    const std::string& m_bytes;
    std::size_t m_pos = 0;
};

} // namespace nw
