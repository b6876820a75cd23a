#include "core/find_replace.h"

#include "core/name_parts.h"
#include "platform/case_map.h"
#include "platform/name_regex.h"

namespace nw {
namespace {

bool sameAt(std::u32string_view text, std::size_t at, std::u32string_view find, bool matchCase) {
    for (std::size_t k = 0; k < find.size(); ++k) {
        const char32_t a = text[at + k], b = find[k];
        if (a != b && (matchCase || foldChar(a) != foldChar(b)))
            return false;
    }
    return true;
}

} // namespace

RegexReplace regexReplace(std::shared_ptr<const NameRegex> regex, std::u32string replacement,
                          bool all) {
    return [regex = std::move(regex), replacement = std::move(replacement),
            all](std::u32string_view text) {
        const NameRegex::Result r = regex->replace(text, replacement, all);
        switch (r.outcome) {
        case NameRegex::Outcome::Done: return ReplaceResult{ReplaceOutcome::Done, r.text};
        case NameRegex::Outcome::TimedOut: return ReplaceResult{ReplaceOutcome::TimedOut, {}};
        case NameRegex::Outcome::BadReplacement: break;
        }
        return ReplaceResult{ReplaceOutcome::BadReplacement, {}};
    };
}

std::u32string ReplacePlain(std::u32string_view text, std::u32string_view find,
                            std::u32string_view replacement, bool matchCase, bool all) {
    if (find.empty() || find.size() > text.size())
        return std::u32string(text);
    std::u32string out;
    std::size_t i = 0;
    bool replaced = false;
    while (i < text.size()) {
        if ((all || !replaced) && i + find.size() <= text.size() &&
            sameAt(text, i, find, matchCase)) {
            out += replacement;
            i += find.size();
            replaced = true;
            continue;
        }
        out.push_back(text[i++]);
    }
    return out;
}

ReplaceResult ReplaceInName(std::u32string_view name, const FindReplaceSettings& s,
                            const RegexReplace& regex) {
    auto apply = [&](std::u32string_view part) -> ReplaceResult {
        if (s.regex)
            return regex ? regex(part) : ReplaceResult{ReplaceOutcome::BadReplacement, {}};
        return {ReplaceOutcome::Done,
                ReplacePlain(part, s.find, s.replacement, s.matchCase, s.replaceAll)};
    };
    const auto range = rangeOf(name, s.prefix, s.suffix);
    if (!range)
        return {ReplaceOutcome::Done, std::u32string(name)};
    ReplaceResult r = apply(name.substr(range->begin, range->end - range->begin));
    if (r.outcome == ReplaceOutcome::Done)
        r.name = std::u32string(name.substr(0, range->begin)) + r.name +
                 std::u32string(name.substr(range->end));
    return r;
}

} // namespace nw
