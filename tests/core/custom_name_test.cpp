#include "core/custom_name.h"
#include "platform/name_codec.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

using P = TextPlacement;

TEST(PlaceCustomText, SixPlacementsOnFourNames) {
    const std::vector<std::pair<const char32_t*, std::array<const char32_t*, 6>>> rows{
        {U"example.gif",
         {U"pic1.gif", U"example.pic1", U"pic1example.gif", U"examplepic1.gif", U"example.pic1gif",
          U"example.gifpic1"}},
        {U"archive.tar.gz",
         {U"pic1.gz", U"archive.tar.pic1", U"pic1archive.tar.gz", U"archive.tarpic1.gz",
          U"archive.tar.pic1gz", U"archive.tar.gzpic1"}},
        {U"README",
         {U"pic1", U"READMEpic1", U"pic1README", U"READMEpic1", U"READMEpic1", U"READMEpic1"}},
        {U".htaccess",
         {U"pic1.htaccess", U".pic1", U"pic1.htaccess", U"pic1.htaccess", U".pic1htaccess",
          U".htaccesspic1"}},
        {U"photo.",
         {U"pic1.", U"photo.pic1", U"pic1photo.", U"photopic1.", U"photo.pic1", U"photo.pic1"}},
    };
    for (const auto& [name, results] : rows)
        for (int p = 0; p < 6; ++p)
            EXPECT_EQ(PlaceCustomText(name, U"pic", U"1", static_cast<P>(p)),
                      results[std::size_t(p)])
                << "placement " << p;
    EXPECT_EQ(PlaceCustomText(U"example.gif", U"", U"1", P::ReplacePrefix), U"1.gif");
    EXPECT_EQ(PlaceCustomText(U"model.gif", U"", U"2", P::ReplacePrefix), U"2.gif");
}

struct Increment {
    const char32_t* text;
    std::optional<std::int16_t> value;
};

class Increments : public ::testing::TestWithParam<Increment> {};

TEST_P(Increments, Convert) { EXPECT_EQ(ParseIncrement(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Texts, Increments,
    ::testing::Values(Increment{U"1", 1}, Increment{U"0", 0}, Increment{U"-2", -2},
                      Increment{U" 3 ", 3}, Increment{U"+4", 4}, Increment{U"2.5", 2},
                      Increment{U"3.5", 4}, Increment{U"1.5", 2}, Increment{U"-2.5", -2},
                      Increment{U"2.51", 3}, Increment{U"2.49", 2}, Increment{U".5", 0},
                      Increment{U"7.", 7}, Increment{U"32767", 32767}, Increment{U"-32768", -32768},
                      Increment{U"32767.5", std::nullopt}, Increment{U"32768", std::nullopt},
                      Increment{U"-32769", std::nullopt}, Increment{U"", std::nullopt},
                      Increment{U"-", std::nullopt}, Increment{U"+", std::nullopt},
                      Increment{U".", std::nullopt}, Increment{U"abc", std::nullopt},
                      Increment{U"1a", std::nullopt}, Increment{U"1 2", std::nullopt},
                      Increment{U"--1", std::nullopt}, Increment{U"99999999999999", std::nullopt}));

std::vector<std::u32string> numbers(const char32_t* increment, int calls,
                                    std::vector<std::optional<CustomNameError>>* errors = nullptr,
                                    std::int16_t* last = nullptr, const char32_t* start = U"",
                                    const char32_t* width = U"") {
    RunningNumber rn;
    std::vector<std::u32string> out;
    CustomNameSettings s{U"", increment, P::ReplacePrefix, start, width};
    for (int i = 0; i < calls; ++i) {
        const auto r = BuildCustomName(U"x", s, rn);
        out.push_back(r.name.value_or(U"<fail>"));
        if (errors)
            errors->push_back(r.name ? std::nullopt : std::optional(r.error));
    }
    if (last)
        *last = rn.last;
    return out;
}

TEST(BuildCustomName, AdvancesBeforeUsingTheNumber) {
    EXPECT_EQ(numbers(U"1", 3), (std::vector<std::u32string>{U"1", U"2", U"3"}));
    EXPECT_EQ(numbers(U"0", 3), (std::vector<std::u32string>{U"0", U"0", U"0"}));
    EXPECT_EQ(numbers(U"-2", 3), (std::vector<std::u32string>{U"-2", U"-4", U"-6"}));
    EXPECT_EQ(numbers(U" 3 ", 2), (std::vector<std::u32string>{U"3", U"6"}));
}

TEST(BuildCustomName, OverflowKeepsTheLastNumber) {
    std::vector<std::optional<CustomNameError>> errors;
    std::int16_t last = 0;
    EXPECT_EQ(numbers(U"32767", 2, &errors, &last),
              (std::vector<std::u32string>{U"32767", U"<fail>"}));
    EXPECT_EQ(errors[1], CustomNameError::NumberOverflow);
    EXPECT_EQ(last, 32767);
    EXPECT_EQ(numbers(U"16384", 2), (std::vector<std::u32string>{U"16384", U"<fail>"}));
    EXPECT_EQ(numbers(U"-16384", 3),
              (std::vector<std::u32string>{U"-16384", U"-32768", U"<fail>"}));
}

TEST(BuildCustomName, BadIncrementLeavesTheNumberAtZero) {
    for (const char32_t* bad : {U"32768", U"", U"-"}) {
        std::vector<std::optional<CustomNameError>> errors;
        std::int16_t last = 99;
        numbers(bad, 1, &errors, &last);
        EXPECT_EQ(errors[0], CustomNameError::BadIncrement);
        EXPECT_EQ(last, 0);
    }
}

// A start and a width: the first number is the start, the next ones step by
// the increment; zeros pad to the width behind the sign. Empty boxes keep the
// numbers as they were; a bad box names itself and gives no number.
TEST(BuildCustomName, StartAndWidth) {
    struct Case {
        const char32_t *increment, *start, *width;
        std::vector<std::u32string> want; // four calls; "<fail>" where none results
        std::optional<CustomNameError> error = std::nullopt;
    };
    const std::vector<Case> cases{
        {U"1", U"", U"", {U"1", U"2", U"3", U"4"}},
        {U"1", U"", U"1", {U"1", U"2", U"3", U"4"}},
        {U"1", U"25", U"", {U"25", U"26", U"27", U"28"}},
        {U"1", U"0", U"3", {U"000", U"001", U"002", U"003"}},
        {U"2", U" 8 ", U"2", {U"08", U"10", U"12", U"14"}},
        {U"0", U"7", U"2", {U"07", U"07", U"07", U"07"}},
        {U"-1", U"1", U"2", {U"01", U"00", U"-01", U"-02"}},
        {U"-5", U"", U"3", {U"-005", U"-010", U"-015", U"-020"}},
        {U"1", U"+9", U"9", {U"000000009", U"000000010", U"000000011", U"000000012"}},
        {U"1",
         U"32766",
         U"",
         {U"32766", U"32767", U"<fail>", U"<fail>"},
         CustomNameError::NumberOverflow},
        {U"-1",
         U"-32768",
         U"6",
         {U"-032768", U"<fail>", U"<fail>", U"<fail>"},
         CustomNameError::NumberOverflow},
        {U"1",
         U"32768",
         U"",
         {U"<fail>", U"<fail>", U"<fail>", U"<fail>"},
         CustomNameError::BadStart},
        {U"1",
         U"1.5",
         U"",
         {U"<fail>", U"<fail>", U"<fail>", U"<fail>"},
         CustomNameError::BadStart},
        {U"1", U"a1", U"", {U"<fail>", U"<fail>", U"<fail>", U"<fail>"}, CustomNameError::BadStart},
        {U"1", U"", U"10", {U"<fail>", U"<fail>", U"<fail>", U"<fail>"}, CustomNameError::BadWidth},
        {U"1", U"", U"0", {U"<fail>", U"<fail>", U"<fail>", U"<fail>"}, CustomNameError::BadWidth},
        {U"1", U"", U"二", {U"<fail>", U"<fail>", U"<fail>", U"<fail>"}, CustomNameError::BadWidth},
        // A bad increment is named first, as before.
        {U"x",
         U"x",
         U"x",
         {U"<fail>", U"<fail>", U"<fail>", U"<fail>"},
         CustomNameError::BadIncrement},
    };
    for (const Case& c : cases) {
        std::vector<std::optional<CustomNameError>> errors;
        const auto got = numbers(c.increment, 4, &errors, nullptr, c.start, c.width);
        EXPECT_EQ(got, c.want) << encodeName(c.increment) << " " << encodeName(c.start) << " "
                               << encodeName(c.width);
        EXPECT_EQ(errors.back(), c.error) << encodeName(c.start) << " " << encodeName(c.width);
    }
}

TEST(BuildCustomName, TrimsTheCustomTextButKeepsInnerBlanks) {
    RunningNumber rn;
    EXPECT_EQ(BuildCustomName(U"example.gif", {U"  pic ", U"1", P::ReplacePrefix, {}, {}}, rn).name,
              U"pic1.gif");
    EXPECT_EQ(BuildCustomName(U"example.gif", {U" my pic ", U"1", P::AfterSuffix, {}, {}}, rn).name,
              U"example.gifmy pic2");
}

} // namespace
} // namespace nw
