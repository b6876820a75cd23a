#pragma once
// Converting a name between Simplified and Traditional Chinese word by word:
// which runs of a name are words, and which words are already in the target
// script and stay. The rules only; the dictionaries are the converter's,
// given as functions. Inline, so that the converter's adapter can call them
// without the core library.
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

namespace nw {

// What a converter knows, as the rules ask it.
struct ScriptDictionaries {
    using Convert = std::function<std::u32string(std::u32string_view)>;
    Convert convert; // the standard's own conversion, vocabulary and all
    Convert plain;   // the script's characters and phrases alone
    // Where the standard gives its own words: the way back with them and
    // without (both empty where it gives none).
    Convert back, plainBack;
    std::function<bool(char32_t)> sourceOnly; // a character only the source script has
    std::function<bool(char32_t)> targetOnly; // ... only the target script has
};

// Characters no dictionary key holds: ASCII other than letters. No phrase
// spans one, so the runs between them are converted one by one, and a run
// without a CJK character has nothing to convert.
inline bool splitsWords(char32_t c) {
    return c < 0x80 && !((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'));
}

// One word of a name in the target script.
inline std::u32string wordInTargetScript(std::u32string_view word, const ScriptDictionaries& d) {
    auto any = [&](const std::function<bool(char32_t)>& only) {
        return std::any_of(word.begin(), word.end(), only);
    };
    if (any(d.sourceOnly))
        return d.convert(word);
    // Already in the target script, or of shared characters. A standard's
    // vocabulary still gives its words (算法 -> 演算法, 數據庫 -> 資料庫),
    // unless the word holds them already: the converter would give them
    // twice (演算法 -> 演演算法). Such a word goes back differently with the
    // vocabulary and without it (演算法 -> 算法), and its conversion is not
    // final (演演算法 again gives 演演演算法).
    if (d.back && d.plainBack) {
        std::u32string converted = d.convert(word);
        if (d.back(word) != d.plainBack(word) && d.convert(converted) != converted)
            return std::u32string(word);
        return converted;
    }
    // A word with a character only the target script has stays. Only
    // phrases tell whether a word of shared characters (日志, 制作, 几率)
    // needs converting: the plain conversion says.
    if (any(d.targetOnly) || d.plain(word) == word)
        return std::u32string(word);
    return d.convert(word);
}

// A name in the target script, word by word: a name may hold words of both
// scripts (几率 機率), and what is not a word stays as it is.
inline std::u32string nameInTargetScript(std::u32string_view name, const ScriptDictionaries& d) {
    std::u32string out;
    out.reserve(name.size());
    std::size_t i = 0;
    while (i < name.size()) {
        std::size_t j = i;
        bool cjk = false;
        while (j < name.size() && !splitsWords(name[j]))
            cjk = cjk || name[j] >= 0x2E80, ++j;
        if (cjk)
            out += wordInTargetScript(name.substr(i, j - i), d);
        else
            out += name.substr(i, j - i);
        for (i = j; i < name.size() && splitsWords(name[i]); ++i)
            out.push_back(name[i]);
    }
    return out;
}

} // namespace nw
