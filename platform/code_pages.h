#pragma once
// The legacy code pages a file name may come in (from Windows archives, FAT
// sticks, old discs), read and written through ICU's converters whatever the
// user's locale, and the judgement of which one a folder's names are in.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nw {

enum class NameEncoding : std::uint8_t {
    Utf8,
    Gbk,
    Big5,
    ShiftJis,
    EucKr,
    Windows1252,
    EucJp,
    EucTw
};

inline constexpr std::array<NameEncoding, 7> kLegacyEncodings{
    NameEncoding::Gbk,         NameEncoding::Big5,  NameEncoding::ShiftJis, NameEncoding::EucKr,
    NameEncoding::Windows1252, NameEncoding::EucJp, NameEncoding::EucTw};

// "GBK", "Big5", "Shift-JIS", "EUC-KR", "Windows-1252", "EUC-JP", "EUC-TW",
// "UTF-8".
const char* encodingLabel(NameEncoding e);

namespace codepage {

// The name read in a legacy code page: every byte sequence a character the
// code page assigns (private-use codes and control characters are no
// reading), each mapping back to its own bytes. Nothing when it does not read
// so. GBK reads the four-byte sequences of GB18030 as well; EUC-JP and EUC-TW
// read their characters of two bytes (JIS X 0208 and half-width kana, CNS
// 11643's first plane), not the rarer ones of three and four.
std::optional<std::u32string> decode(NameEncoding e, std::string_view bytes);

// The text in a legacy code page; nothing when the code page cannot write
// one of its characters.
std::optional<std::string> encode(NameEncoding e, std::u32string_view text);

// How likely the bytes are an ordinary file name written in the code page, as
// a natural logarithm: the sum over its characters of how often such a
// character is written in the code page's language (by its rank among the
// language's characters, where it has one). Nothing when it does not read.
std::optional<double> likelihood(NameEncoding e, std::string_view bytes);

// Whether a name read in Windows-1252 looks like Latin text: an accented
// lower-case letter beside an ASCII letter, or a word that starts with an
// accented capital and goes on in lower case.
bool looksLatin(std::u32string_view text);

} // namespace codepage

// The code page that a locale's users are most likely to have names in
// ("zh_TW.UTF-8" -> Big5); nothing for a locale without one.
std::optional<NameEncoding> priorOfLocale(std::string_view locale);

// The same for this process's locale (LC_ALL, LC_CTYPE, LANG). Without a
// locale of its own, GBK: the program's users are Chinese.
std::optional<NameEncoding> localePrior();

// The code page a folder's names are read in, and whether the reading is sure
// enough for a tool to write what it read.
struct CodePageJudgement {
    std::optional<NameEncoding> codePage; // none: no code page reads them
    bool clear = false;
    std::uint8_t rivals = 0; // the other code pages weighed, one bit each
    bool operator==(const CodePageJudgement&) const = default;
};

// The code page of a folder's names that are not UTF-8, judged over all of
// them together: the one under which the names are likeliest, each name
// weighing only so much, the locale's code page counting once for the folder
// as twenty times likelier than any other. Windows-1252 takes part only where
// names look like Latin text. A code page that reads fewer names than another
// wins only on overwhelming evidence. The judgement is clear when the winner
// reads every name another code page reads and is three hundred times
// likelier than all the others together (fifty on the names alone).
CodePageJudgement judgeCodePage(const std::vector<std::string_view>& names,
                                std::optional<NameEncoding> prior);

// Whether one of the folder's names reads in its judged code page about as
// well as in any rival: a name that reads far better in another (one from
// elsewhere in a mixed folder, or a misjudged folder's) is not sure.
bool fitsJudgement(const CodePageJudgement& judgement, std::string_view bytes);

// Whether a name whose bytes are valid UTF-8 was more likely written in the
// legacy code page: in UTF-8 it holds what file names do not (controls,
// combining marks after no letter, rare Latin, Greek or Arabic letters), while
// the code page reads it as ordinary text.
bool readsBetterAsLegacy(NameEncoding e, std::string_view bytes);

} // namespace nw
