#include "app/qt_text.h"

#include "platform/name_codec.h"

#include <QList>

namespace nw::app {

std::u32string toU32(const QString& s) {
    const auto ucs4 = s.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

QString toQt(std::u32string_view s) { return QString::fromStdString(toDisplayUtf8(s)); }

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
