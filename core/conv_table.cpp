#include "core/conv_table.h"

#include "platform/cp936.h"

#include <algorithm>

namespace nw {

ConvTable::ConvTable(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {
    m_slots = std::min(m_bytes.size() / 2, kMaxSlots);
    m_reverse.assign(std::size_t{UINT16_MAX} + 1, -1);
    // Walk downward so the lowest slot is the one that stays.
    for (std::size_t k = m_slots; k-- > 0;) {
        const std::uint16_t code =
            static_cast<std::uint16_t>(m_bytes[2 * k] << 8 | m_bytes[2 * k + 1]);
        if (code != kNotConverted)
            m_reverse[code] = static_cast<std::int32_t>(k);
    }
}

std::optional<std::uint16_t> ConvTable::slot(std::size_t k) const {
    if (k >= m_slots)
        return std::nullopt;
    return static_cast<std::uint16_t>(m_bytes[2 * k] << 8 | m_bytes[2 * k + 1]);
}

std::optional<std::size_t> ConvTable::lowestSlotHolding(std::uint16_t code) const {
    if (m_reverse.empty() || code == kNotConverted || m_reverse[code] < 0)
        return std::nullopt;
    return static_cast<std::size_t>(m_reverse[code]);
}

std::optional<std::size_t> ConvTable::lowestSlotHoldingByScan(std::uint16_t code) const {
    const std::uint8_t lead = static_cast<std::uint8_t>(code >> 8);
    const std::uint8_t trail = static_cast<std::uint8_t>(code & 0xFF);
    if (code == kNotConverted)
        return std::nullopt;
    for (std::size_t k = 0; k < m_slots; ++k)
        if (m_bytes[2 * k] == lead && m_bytes[2 * k + 1] == trail)
            return k;
    return std::nullopt;
}

std::u32string StrF2J(const ConvTable& table, std::u32string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t ch : text) {
        const std::uint16_t code = cp936::codeOf(ch);
        if (code < 0x100) {
            out.push_back(ch);
            continue;
        }
        const auto target = table.slot(code - ConvTable::kFirstCode);
        if (!target || *target == ConvTable::kNotConverted) {
            out.push_back(ch);
            continue;
        }
        out.push_back(cp936::charOf(*target).value_or(ch));
    }
    return out;
}

namespace {
template <typename Lookup>
std::u32string j2f(const ConvTable& table, std::u32string_view text, Lookup lookup) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t ch : text) {
        const std::uint16_t code = cp936::codeOf(ch);
        if (code < 0x100 || table.empty()) {
            out.push_back(ch);
            continue;
        }
        const auto k = lookup(code);
        if (!k) {
            out.push_back(ch);
            continue;
        }
        const auto source = static_cast<std::uint16_t>(ConvTable::kFirstCode + *k);
        out.push_back(cp936::charOf(source).value_or(ch));
    }
    return out;
}
} // namespace

std::u32string StrJ2F(const ConvTable& table, std::u32string_view text) {
    return j2f(table, text, [&](std::uint16_t c) { return table.lowestSlotHolding(c); });
}

std::u32string StrJ2FByScan(const ConvTable& table, std::u32string_view text) {
    return j2f(table, text, [&](std::uint16_t c) { return table.lowestSlotHoldingByScan(c); });
}

} // namespace nw
