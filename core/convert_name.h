#pragma once
// Case and space conversion of a file name.
#include <string>
#include <string_view>

namespace nw {

enum class CaseMode { Upper, Lower, FirstUpper };
enum class SpaceMode { DeleteSpace, SpaceToUnderscore, Keep };

struct ConvertOptions {
    CaseMode caseMode = CaseMode::FirstUpper;
    bool Prefix = true; // the base name is in range
    bool Suffix = true; // the extension is in range
    SpaceMode spaceMode = SpaceMode::DeleteSpace;
    bool halfWidth = false;     // full-width letters, digits and harmless marks to ASCII
    bool arabicNumbers = false; // Chinese numerals that read as a number to digits
    int numberWidth = 1;        // the digits those numbers get at least
};

// Full-width letters, digits, the ideographic space and the punctuation that
// is harmless in a name, as their ASCII forms (ＩＭＧ＿００１ -> IMG_001);
// never ／ ＼ ： ＊ ？ ＂ ＜ ＞ ｜, which would leave the folder or be refused
// by a FAT or NTFS drive.
std::u32string halfWidth(std::u32string_view name);

// The name with full-width forms and Chinese numerals written out where asked
// (over the whole name), then its case converted over the chosen range, then
// every space deleted, turned into "_" or kept. No range gives the empty
// text. A name without "." with only one range box ticked: Prefix alone
// converts the whole name (no dot is added), Suffix alone leaves it as it is.
std::u32string ConvertName(std::u32string_view name, const ConvertOptions& options);

} // namespace nw
