#include "app/appearance.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace nw::app {

void applyAppearance(QApplication& app) {
    if (QStyle* s = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(s);
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("Droid Sans Fallback")});
    f.setPixelSize(12);
    app.setFont(f);
}

} // namespace nw::app
