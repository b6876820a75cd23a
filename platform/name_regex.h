#pragma once
// Regular expressions over file names, through ICU's engine: Unicode-aware,
// with "$1".."$9", "${name}" and "\$" in the replacement. Every match is
// bounded in time, so that a pattern that backtracks without end stops.
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace nw {

// Why a pattern does not compile: ICU's error name ("U_REGEX_MISMATCHED_PAREN")
// and the character (counted from 0) where it was found, if known.
struct RegexError {
    std::string code;
    int offset = -1;
};

class NameRegex {
public:
    ~NameRegex();
    NameRegex(const NameRegex&) = delete;
    NameRegex& operator=(const NameRegex&) = delete;

    static std::variant<std::shared_ptr<const NameRegex>, RegexError>
    compile(std::u32string_view pattern, bool matchCase);

    enum class Outcome { Done, TimedOut, BadReplacement };
    struct Result {
        Outcome outcome = Outcome::Done;
        std::u32string text; // with Done
    };
    // text with the first match, or every match, replaced.
    Result replace(std::u32string_view text, std::u32string_view replacement, bool all) const;

    // The engine's limit for one name, in its steps (about a millisecond each).
    static constexpr int kTimeLimit = 300;

private:
    struct Compiled; // ICU's pattern
    explicit NameRegex(std::unique_ptr<Compiled> pattern);
    std::unique_ptr<Compiled> m_compiled;
};

} // namespace nw
