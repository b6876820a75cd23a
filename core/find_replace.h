#pragma once
// Find and replace in a file name: a plain text or a regular expression, the
// first match or all of them, over the base name, the extension or both.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace nw {

class NameRegex;

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

// A compiled pattern's part, replacing the first or every match with
// replacement ("$1", "${name}", "\$").
RegexReplace regexReplace(std::shared_ptr<const NameRegex> regex, std::u32string replacement,
                          bool all);

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
