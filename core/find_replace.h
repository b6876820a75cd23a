#pragma once
// Find and replace in a file name: a plain text or a regular expression, the
// first match or all of them, over the base name, the extension or both.
#include <functional>
#include <string>
#include <string_view>

namespace nw {

struct FindReplaceSettings {
    std::u32string find;
    std::u32string replacement;
    bool matchCase = false;
    bool regex = false;
    bool replaceAll = true;
    bool prefix = true; // the base name is searched
    bool suffix = true; // the extension is searched
};

enum class ReplaceOutcome { Done, TimedOut, BadReplacement };

struct ReplaceResult {
    ReplaceOutcome outcome = ReplaceOutcome::Done;
    std::u32string name; // with Done: the new name (the old one where nothing matched)
};

// The regular expression's part: a text with its matches replaced, as the
// settings say. The caller compiles the pattern (platform/name_regex.h).
using RegexReplace = std::function<ReplaceResult(std::u32string_view text)>;

// Plain text: each character compared as it is, or, without matchCase,
// folded by the simple case mapping the case tools use. An empty find
// matches nothing.
std::u32string ReplacePlain(std::u32string_view text, std::u32string_view find,
                            std::u32string_view replacement, bool matchCase, bool all);

// The name with the settings applied over the range they choose: both ticked,
// the whole name (a pattern may span the dot); the base name alone, the part
// before the last "." (the whole name without one); the extension alone,
// the part after it (nothing without one). regex: used when settings.regex.
ReplaceResult ReplaceInName(std::u32string_view name, const FindReplaceSettings& settings,
                            const RegexReplace& regex = {});

} // namespace nw
