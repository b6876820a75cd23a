#include "core/conv_table.h"
#include "platform/cp936.h"
#include "platform/table_file.h"
#include "tests/support/folder_snapshot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace nw {
namespace {

std::vector<std::uint8_t> blank(std::size_t bytes = 126 * 512) {
    return std::vector<std::uint8_t>(bytes, 0x20);
}

void put(std::vector<std::uint8_t>& t, std::uint16_t code, std::uint16_t target) {
    const std::size_t off = 2u * (code - 0x8100u);
    t[off] = static_cast<std::uint8_t>(target >> 8);
    t[off + 1] = static_cast<std::uint8_t>(target & 0xFF);
}

ConvTable shipped() {
    std::ifstream f(NW_SHIPPED_TABLE, std::ios::binary);
    return ConvTable(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {}));
}

TEST(ConvTable, CraftedTableConvertsBothWays) {
    auto bytes = blank();
    bytes[3568] = 0xB9; // slot 1,784: 國 -> 国
    bytes[3569] = 0xFA;
    const ConvTable t(bytes);
    EXPECT_EQ(StrF2J(t, U"中國"), U"中国");
    EXPECT_EQ(StrJ2F(t, U"中国"), U"中國");
    EXPECT_EQ(StrF2J(t, U"Hello 123.txt"), U"Hello 123.txt");
    EXPECT_EQ(StrJ2F(t, U"Hello 123.txt"), U"Hello 123.txt");
    EXPECT_EQ(StrF2J(t, U""), U"");
    EXPECT_EQ(StrJ2F(t, U""), U"");
    EXPECT_EQ(StrF2J(t, U"\U0001F600ก"), U"\U0001F600ก"); // no code page 936 form
}

TEST(ConvTable, NoTableChangesNothing) {
    const ConvTable none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(StrF2J(none, U"中國abc"), U"中國abc");
    EXPECT_EQ(StrJ2F(none, U"中国abc"), U"中国abc");
}

TEST(ConvTable, TheLowerCodeWinsInReverse) {
    auto bytes = blank();
    put(bytes, 0x87F8, 0xB9FA); // 國
    put(bytes, 0x8741, 0xB9FA); // a lower code with the same target
    const ConvTable t(bytes);
    EXPECT_EQ(StrJ2F(t, U"国"), std::u32string(1, *cp936::charOf(0x8741)));
    EXPECT_EQ(StrF2J(t, U"國"), U"国");
}

TEST(ConvTable, OnlyWholeSlotsMatch) {
    auto bytes = blank();
    // 国 is 0xB9 0xFA: put 0xB9 at the end of one slot and 0xFA at the start of
    // the next, so the pair exists only across the boundary.
    bytes[101] = 0xB9;
    bytes[102] = 0xFA;
    const ConvTable t(bytes);
    EXPECT_EQ(StrJ2F(t, U"国"), U"国");
}

TEST(ConvTable, OddAndShortTables) {
    // Up to and including the slot of 國 (offset 3,568), with its second byte cut off.
    auto bytes = blank(3569);
    bytes[3568] = 0xB9;
    const ConvTable odd(bytes);
    EXPECT_EQ(odd.slotCount(), 1784u);
    EXPECT_EQ(StrF2J(odd, U"國"), U"國"); // its slot is outside the table
    EXPECT_EQ(StrJ2F(odd, U"国"), U"国");
    EXPECT_EQ(StrF2J(odd, U"中"), U"中");
    // Bytes past the format are ignored.
    const ConvTable big(blank(70000));
    EXPECT_EQ(big.slotCount(), ConvTable::kMaxSlots);
}

TEST(ConvTable, AFullTableConvertsEveryGbkCharacter) {
    // Every slot maps to the character itself: each GBK character comes back.
    auto bytes = blank();
    std::u32string all;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            if (auto c = cp936::charOf(code); c && cp936::codeOf(*c) == code) {
                put(bytes, code, code);
                all.push_back(*c);
            }
        }
    ASSERT_EQ(bytes.size(), 64512u);
    const ConvTable t(bytes);
    EXPECT_EQ(StrF2J(t, all), all);
    EXPECT_EQ(StrJ2F(t, all), all);
}

TEST(ConvTable, TheIndexAgreesWithThePlainScanForEveryCode) {
    std::mt19937 rng(42);
    std::vector<ConvTable> tables{shipped()};
    for (std::size_t size : {64512u, 3001u, 65022u, 100u}) {
        auto bytes = blank(size);
        std::uniform_int_distribution<int> b(0, 255);
        for (auto& x : bytes)
            if (rng() % 8 == 0)
                x = static_cast<std::uint8_t>(b(rng));
        tables.emplace_back(bytes);
    }
    for (const ConvTable& t : tables)
        for (std::uint32_t code = 0x8100; code <= 0xFFFF; ++code)
            ASSERT_EQ(t.lowestSlotHolding(static_cast<std::uint16_t>(code)),
                      t.lowestSlotHoldingByScan(static_cast<std::uint16_t>(code)))
                << std::hex << code;
}

TEST(ConvTable, ShippedTableConvertsCommonCharacters) {
    const ConvTable t = shipped();
    ASSERT_EQ(t.byteSize(), 64512u);
    EXPECT_EQ(StrF2J(t, U"中國"), U"中国");
    EXPECT_EQ(StrF2J(t, U"臺灣"), U"台湾");
    EXPECT_EQ(StrF2J(t, U"發展"), U"发展");
    EXPECT_EQ(StrF2J(t, U"頭髮"), U"头发");
    EXPECT_EQ(StrF2J(t, U"愛"), U"爱");
    EXPECT_EQ(StrF2J(t, U"萬"), U"万");
    EXPECT_EQ(StrJ2F(t, U"中国"), U"中國");
    EXPECT_EQ(StrF2J(t, U"IMG_2024 (副本) 報告-v2.TXT"), U"IMG_2024 (副本) 报告-v2.TXT");
    EXPECT_EQ(StrJ2F(t, U"Report_01-final.txt"), U"Report_01-final.txt");
}

TEST(LoadConvTable, ReadsOnlyAndCreatesAMissingFileEmpty) {
    test::TempFolder dir;
    auto load = [](const std::string& folder) {
        return ConvTable(readTableFile(folder, ConvTable::kMaxBytes));
    };
    EXPECT_TRUE(load(dir.path()).empty());
    EXPECT_EQ(test::snapshot(dir.path()), (test::Snapshot{{"F2J.txt", ""}}));
    std::string table(3568, ' ');
    table += "\xB9\xFA";
    test::writeFile(dir.path(), "F2J.txt", table);
    const ConvTable t = load(dir.path());
    EXPECT_EQ(StrF2J(t, U"國"), U"国");
    EXPECT_TRUE(load(dir.path() + "/no-such-folder").empty());
    // Bytes past the format are not read at all.
    test::writeFile(dir.path(), "F2J.txt", std::string(ConvTable::kMaxBytes + 70000, ' '));
    EXPECT_EQ(readTableFile(dir.path(), ConvTable::kMaxBytes).size(), ConvTable::kMaxBytes);
}

} // namespace
} // namespace nw
