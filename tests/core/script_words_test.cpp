// The word-by-word rule of Chinese conversion, over small dictionaries of
// its own: what must convert does, what is already in the target script
// stays, and a standard's own words are given once, never twice.
#include "core/script_words.h"
#include "platform/name_codec.h"

#include <gtest/gtest.h>

#include <map>

namespace nw {
namespace {

// Replaces each key found, longest first, left to right: a converter in
// miniature.
ScriptDictionaries::Convert replacing(std::map<std::u32string, std::u32string> table) {
    return [table](std::u32string_view text) {
        std::u32string out;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t best = 0;
            const std::u32string* to = nullptr;
            for (const auto& [from, into] : table)
                if (from.size() > best && text.substr(i, from.size()) == from)
                    best = from.size(), to = &into;
            out += to ? *to : std::u32string(1, text[i]);
            i += to ? best : 1;
        }
        return out;
    };
}

TEST(ScriptWords, EachWordConvertsOrStays) {
    const std::map<std::u32string, std::u32string> characters{
        {U"发", U"發"}, {U"数", U"數"}, {U"据", U"據"}, {U"几率", U"機率"}};
    auto withWords = characters;
    withWords[U"数据"] = U"資料";
    withWords[U"算法"] = U"演算法";
    ScriptDictionaries d;
    d.convert = replacing(characters);
    d.plain = replacing(characters);
    d.sourceOnly = [](char32_t c) { return c == U'发' || c == U'数' || c == U'据'; };
    d.targetOnly = [](char32_t c) { return c == U'發' || c == U'數' || c == U'據'; };
    ScriptDictionaries vocabulary = d;
    vocabulary.convert = replacing(withWords);
    vocabulary.back = replacing({{U"資料", U"数据"}, {U"演算法", U"算法"}});
    vocabulary.plainBack = replacing({});

    const struct {
        const ScriptDictionaries* with;
        std::u32string name, expected;
    } cases[] = {
        {&d, U"发票 2024.pdf", U"發票 2024.pdf"},    // a character only Simplified has
        {&d, U"發票 2024.pdf", U"發票 2024.pdf"},    // already Traditional
        {&d, U"发票 發票.txt", U"發票 發票.txt"},    // each word on its own
        {&d, U"几率.doc", U"機率.doc"},              // shared characters, a phrase
        {&d, U"中文.doc", U"中文.doc"},              // shared, nothing to convert
        {&d, U"abc_DEF.txt", U"abc_DEF.txt"},        // no Chinese word
        {&vocabulary, U"数据 1.xls", U"資料 1.xls"}, // the standard's word
        {&vocabulary, U"算法.txt", U"演算法.txt"},   // given to shared characters
        {&vocabulary, U"演算法.txt", U"演算法.txt"}, // held already: never twice
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameInTargetScript(c.name, *c.with), c.expected) << encodeName(c.name);
}

} // namespace
} // namespace nw
