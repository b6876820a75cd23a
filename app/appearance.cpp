#include "app/appearance.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>
#include <QProxyStyle>
#include <QStyleFactory>

namespace nw::app {
namespace {

// The layout's check boxes are 45 pixels wide for a two-character caption:
// a narrower gap between the box and its caption makes that fit, and
// the same for "首字母大写" in its 80 pixels.
class CompactStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing)
            return 2;
        if (metric == PM_RadioButtonLabelSpacing)
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

void applyAppearance(QApplication& app) {
    // Qt's own texts (the buttons of a message box, a text box's menu) in
    // Chinese, whatever the user's locale.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    // The style is ours, for the layout's sake; the colours stay the desktop's.
    const QPalette desktop = QGuiApplication::palette();
    if (QStyle* s = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(new CompactStyle(s));
    app.setPalette(desktop);
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("Droid Sans Fallback")});
    f.setPixelSize(12);
    app.setFont(f);
}

} // namespace nw::app
