#pragma once
// Between Qt's strings and the program's u32strings.
#include <QString>

#include <string>
#include <string_view>

namespace nw::app {

std::u32string toU32(const QString& s);
// For showing: a byte that is not UTF-8 appears as U+FFFD.
QString toQt(std::u32string_view s);
// A name as the user sees it: characters that would be invisible or change
// how the text around them is laid out (direction marks and overrides,
// zero-width characters, controls such as a newline) are shown as
// "<U+202E>", never applied, so that no name can pose as another.
QString shownName(std::u32string_view s);
// Whether the name holds such a character.
bool hasHiddenCharacters(std::u32string_view s);
// A name or path on disk, each part read as UTF-8 or GBK.
QString bytesToQt(const std::string& bytes);

} // namespace nw::app
