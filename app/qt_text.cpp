#include "app/qt_text.h"

#include "platform/name_codec.h"

#include <QList>

namespace nw::app {

std::u32string toU32(const QString& s) {
    const auto ucs4 = s.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

QString toQt(std::u32string_view s) { return QString::fromStdString(toDisplayUtf8(s)); }

QString bytesToQt(const std::string& bytes) { return toQt(decodeName(bytes)); }

std::string qtToBytes(const QString& s) { return s.toStdString(); }

} // namespace nw::app
