// Find and replace on arbitrary names, patterns and replacements: no crash,
// no call past the time limit by much, and every new name either one path
// component or refused with a reason before any file system sees it.
#include "core/find_replace.h"
#include "core/rename_pass.h"
#include "fuzz_support.h"
#include "platform/name_regex.h"

#include <chrono>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    nw::FindReplaceSettings s;
    s.matchCase = in.ConsumeBool();
    s.regex = in.ConsumeBool();
    s.replaceAll = in.ConsumeBool();
    s.prefix = in.ConsumeBool();
    s.suffix = in.ConsumeBool();
    s.find = nw::fuzz::text(in, 16);
    s.replacement = nw::fuzz::text(in, 16);
    const std::u32string name = nw::fuzz::text(in, 64);

    nw::RegexReplace regex;
    if (s.regex) {
        auto compiled = nw::NameRegex::compile(s.find, s.matchCase);
        if (auto* e = std::get_if<nw::RegexError>(&compiled)) {
            NW_FUZZ_CHECK(!e->code.empty() && e->offset <= static_cast<int>(s.find.size()));
            return 0;
        }
        regex = nw::regexReplace(std::get<std::shared_ptr<const nw::NameRegex>>(compiled),
                                 s.replacement, s.replaceAll);
    }
    const auto start = std::chrono::steady_clock::now();
    const nw::ReplaceResult r = nw::ReplaceInName(name, s, regex);
    NW_FUZZ_CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(5));
    if (r.outcome != nw::ReplaceOutcome::Done)
        return 0;
    if (!s.regex && (s.find.empty() || (!s.prefix && !s.suffix)))
        NW_FUZZ_CHECK(r.name == name);
    // One path component, or refused.
    const auto refusal = nw::CheckNewName(r.name);
    const bool component = !r.name.empty() && r.name != U"." && r.name != U".." &&
                           r.name.find(U'/') == std::u32string::npos &&
                           r.name.find(U'\0') == std::u32string::npos;
    NW_FUZZ_CHECK(component == !refusal.has_value());
    return 0;
}
