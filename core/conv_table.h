#pragma once
// The Traditional/Simplified conversion table F2J.txt: slot k (bytes 2k and
// 2k+1) stands for the code page 936 code 0x8100 + k and holds the code of
// that character's Simplified form, or two spaces for "not converted".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nw {

class ConvTable {
public:
    static constexpr std::size_t kMaxSlots = 32511; // up to code 0xFFFE
    static constexpr std::uint16_t kFirstCode = 0x8100;
    static constexpr std::size_t kMaxBytes = 2 * kMaxSlots;
    // Two spaces: the slot's character is not converted.
    static constexpr std::uint16_t kNotConverted = 0x2020;

    ConvTable() = default;
    explicit ConvTable(std::vector<std::uint8_t> bytes);

    bool empty() const { return slotCount() == 0; }
    std::size_t byteSize() const { return m_bytes.size(); }
    // Whole slots only: an odd last byte and bytes past the format are not.
    std::size_t slotCount() const { return m_slots; }

    // The two bytes of slot k as one code (first byte high), if the slot lies
    // wholly inside the table.
    std::optional<std::uint16_t> slot(std::size_t k) const;

    // The lowest slot holding code, through the index built at load.
    std::optional<std::size_t> lowestSlotHolding(std::uint16_t code) const;
    // The same answer by scanning the slots one by one.
    std::optional<std::size_t> lowestSlotHoldingByScan(std::uint16_t code) const;

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_slots = 0;
    std::vector<std::int32_t> m_reverse; // code -> lowest slot, -1 for none
};

// Traditional to Simplified, character by character. Characters without a
// double-byte code page 936 form, two-space slots, slots outside the table
// and slots that hold no character stay unchanged.
std::u32string StrF2J(const ConvTable& table, std::u32string_view text);

// Simplified to Traditional: a character found as the content of some slot
// becomes the character of the lowest such slot.
std::u32string StrJ2F(const ConvTable& table, std::u32string_view text);

// StrJ2F by the plain slot scan, for checking and measuring the index.
std::u32string StrJ2FByScan(const ConvTable& table, std::u32string_view text);

} // namespace nw
