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

enum class NameEncoding : std::uint8_t { Utf8, Gbk, Big5, ShiftJis, EucKr, Windows1252 };

inline constexpr std::array<NameEncoding, 5> kLegacyEncodings{
    NameEncoding::Gbk, NameEncoding::Big5, NameEncoding::ShiftJis, NameEncoding::EucKr,
    NameEncoding::Windows1252};

// "GBK", "Big5", "Shift-JIS", "EUC-KR", "Windows-1252", "UTF-8".
const char* encodingLabel(NameEncoding e);

namespace codepage {

// The name read in a legacy code page: every byte sequence a character the
// code page assigns (private-use codes and control characters are no
// reading), each mapping back to its own bytes. Nothing when it does not read
// so. GBK reads the four-byte sequences of GB18030 as well.
std::optional<std::u32string> decode(NameEncoding e, std::string_view bytes);

// The text in a legacy code page; nothing when the code page cannot write
// one of its characters.
std::optional<std::string> encode(NameEncoding e, std::u32string_view text);

// How likely the bytes are an ordinary file name written in the code page, as
// a natural logarithm: the sum over its characters of how often such a
// character appears in names of that language. Nothing when it does not read.
std::optional<double> likelihood(NameEncoding e, std::string_view bytes);

} // namespace codepage

// The code page that a locale's users are most likely to have names in
// ("zh_TW.UTF-8" -> Big5); nothing for a locale without one.
std::optional<NameEncoding> priorOfLocale(std::string_view locale);

// The same for this process's locale (LC_ALL, LC_CTYPE, LANG). Without a
// locale of its own, GBK: the program's users are Chinese.
std::optional<NameEncoding> localePrior();

// The code page of a folder's names that are not UTF-8, judged over all of
// them together: the one that reads the most of them as the most ordinary
// text, the prior tipping the balance where the evidence is thin. Nothing
// when no code page reads any of them.
std::optional<NameEncoding> judgeCodePage(const std::vector<std::string_view>& names,
                                          std::optional<NameEncoding> prior);

} // namespace nw
