#include "app/qt_text.h"

#include "platform/name_codec.h"

#include <QList>

#include <algorithm>

namespace nw::app {

std::u32string toU32(const QString& s) {
    const auto ucs4 = s.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

QString toQt(std::u32string_view s) { return QString::fromStdString(toDisplayUtf8(s)); }

namespace {

bool isHidden(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

} // namespace

bool hasHiddenCharacters(std::u32string_view s) {
    return std::any_of(s.begin(), s.end(), isHidden);
}

QString shownName(std::u32string_view s) {
    if (!hasHiddenCharacters(s))
        return toQt(s);
    QString out;
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!isHidden(s[i]))
            continue;
        out += toQt(s.substr(from, i - from)) +
               QStringLiteral("<U+%1>").arg(uint(s[i]), 4, 16, QLatin1Char('0')).toUpper();
        from = i + 1;
    }
    return out + toQt(s.substr(from));
}

QString bytesToQt(const std::string& bytes) {
    // Each part of a path is read in its own encoding: a GBK folder may sit
    // inside a UTF-8 one.
    std::u32string text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = bytes.find('/', start);
        text += readName(std::string_view(bytes).substr(start, slash - start)).text;
        if (slash == std::string::npos)
            break;
        text += U'/';
        start = slash + 1;
    }
    return toQt(text);
}

} // namespace nw::app
