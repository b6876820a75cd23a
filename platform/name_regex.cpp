#include "platform/name_regex.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

namespace nw {

struct NameRegex::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

namespace {

icu::UnicodeString toIcu(std::u32string_view s) {
    return icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(s.data()),
                                         static_cast<int32_t>(s.size()));
}

std::u32string fromIcu(const icu::UnicodeString& s) {
    std::u32string out;
    out.reserve(static_cast<std::size_t>(s.length()));
    for (int32_t i = 0; i < s.length(); i = s.moveIndex32(i, 1))
        out.push_back(static_cast<char32_t>(s.char32At(i)));
    return out;
}

} // namespace

NameRegex::NameRegex(std::unique_ptr<Compiled> compiled) : m_compiled(std::move(compiled)) {}
NameRegex::~NameRegex() = default;

std::variant<std::shared_ptr<const NameRegex>, RegexError>
NameRegex::compile(std::u32string_view pattern, bool matchCase) {
    const icu::UnicodeString p = toIcu(pattern);
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(p, matchCase ? 0 : UREGEX_CASE_INSENSITIVE, where, status));
    if (U_FAILURE(status) || !compiled) {
        RegexError e{u_errorName(status), -1};
        // ICU counts UTF-16 units; the user counts characters.
        if (where.offset >= 0 && where.offset <= p.length())
            e.offset = p.countChar32(0, where.offset);
        return e;
    }
    return std::shared_ptr<const NameRegex>(
        new NameRegex(std::make_unique<Compiled>(Compiled{std::move(compiled)})));
}

NameRegex::Result NameRegex::replace(std::u32string_view text, std::u32string_view replacement,
                                     bool all) const {
    const icu::UnicodeString input = toIcu(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(m_compiled->pattern->matcher(input, status));
    if (U_FAILURE(status) || !m)
        return {Outcome::BadReplacement, {}};
    m->setTimeLimit(kTimeLimit, status);
    // The loop of replaceAll, by hand: ICU's own drops a find's time-out and
    // returns the text as if nothing had matched.
    const icu::UnicodeString with = toIcu(replacement);
    icu::UnicodeString out;
    while (m->find(status)) {
        m->appendReplacement(out, with, status);
        if (U_FAILURE(status) || !all)
            break;
    }
    if (status == U_REGEX_TIME_OUT || status == U_REGEX_STACK_OVERFLOW)
        return {Outcome::TimedOut, {}};
    if (U_FAILURE(status))
        return {Outcome::BadReplacement, {}};
    m->appendTail(out);
    return {Outcome::Done, fromIcu(out)};
}

} // namespace nw
