#pragma once
// Case and space conversion of a file name.
#include <string>
#include <string_view>

namespace nw {

enum class CaseMode { Upper, Lower, FirstUpper };
enum class SpaceMode { DeleteSpace, SpaceToUnderscore };

struct ConvertOptions {
    CaseMode caseMode = CaseMode::FirstUpper;
    bool Prefix = true; // the base name is in range
    bool Suffix = true; // the extension is in range
    SpaceMode spaceMode = SpaceMode::DeleteSpace;
};

// The name with its case converted over the chosen range, then every space
// deleted or turned into "_". No range gives the empty text. A name without
// "." with only one range box ticked: Prefix alone converts the whole name (no
// dot is added), Suffix alone leaves it as it is.
std::u32string ConvertName(std::u32string_view name, const ConvertOptions& options);

} // namespace nw
