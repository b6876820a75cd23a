#include "app/appearance.h"

#include "app/texts.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTranslator>

#include <algorithm>

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

    // A frame's caption sits on its top border line, the line passing
    // through the caption's middle, as the layout was drawn for: the controls
    // begin just below it. Fusion puts the caption above the box instead, and
    // its line runs through the first row of controls.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || box->text.isEmpty()) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QRect label = captionRect(*box, widget);
        // The line drawn here, in the outline colour Fusion uses for frames.
        const QRectF line =
            QRectF(box->rect).adjusted(0.5, frameBorderTop(label.height()) + 0.5, -0.5, -0.5);
        painter->save();
        painter->setClipRegion(QRegion(box->rect) - label.adjusted(-2, 0, 2, 0));
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(box->palette.window().color().darker(140));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(line, 2, 2);
        painter->restore();
        proxy()->drawItemText(painter, label,
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                              box->state & State_Enabled, box->text, QPalette::WindowText);
    }

private:
    QRect captionRect(const QStyleOptionGroupBox& box, const QWidget* widget) const {
        QRect r = QProxyStyle::subControlRect(CC_GroupBox, &box, SC_GroupBoxLabel, widget);
        r.moveTopLeft(QPoint(6, 0));
        return r;
    }
};

} // namespace

void applyAppearance(QApplication& app) {
    // Ours and Qt's own texts (the buttons of a message box, a text box's
    // menu) in Chinese, whatever the user's locale; in Traditional where it
    // is Taiwanese, Hong Kong or Macanese.
    installTranslations(messagesLocale());
    // The style is ours, for the layout's sake; the colours stay the desktop's.
    const QPalette desktop = QGuiApplication::palette();
    if (QStyle* s = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(new CompactStyle(s));
    app.setPalette(desktop);
    applyWindowFont(app);
}

namespace {
// Global, as QApplication's own font is: chosen once at start-up for every
// window of the process.
QFont& chosenFont() {
    static QFont font;
    return font;
}
// Noto's Chinese in the shapes of the texts' script.
QString notoForTexts() {
    const QString t = installedTranslation();
    return t == QLatin1String("zh_HK")   ? QStringLiteral("Noto Sans CJK HK")
           : t == QLatin1String("zh_TW") ? QStringLiteral("Noto Sans CJK TC")
                                         : QStringLiteral("Noto Sans CJK SC");
}
} // namespace

QFont windowFont() { return chosenFont(); }

void applyWindowFont(QApplication& app, const QStringList& families) {
    const QStringList chosen =
        families.isEmpty() ? QStringList{QStringLiteral("WenQuanYi Micro Hei"), notoForTexts(),
                                         QStringLiteral("Droid Sans Fallback")}
                           : families;
    QFont f(chosen.front());
    f.setFamilies(chosen);
    f.setPixelSize(12);
    chosenFont() = f;
    QApplication::setFont(f);
    // A platform theme (qt6ct, KDE's) sets fonts per kind of control, and
    // those win over the application's font: each gets the window's own.
    for (const char* kind :
         {"QLabel",    "QAbstractButton", "QPushButton", "QCheckBox",      "QRadioButton",
          "QGroupBox", "QLineEdit",       "QComboBox",   "QComboMenuItem", "QAbstractItemView",
          "QListView", "QTreeView",       "QHeaderView", "QTabBar",        "QMenu",
          "QMenuBar",  "QToolButton",     "QMessageBox", "QTipLabel",      "QProgressDialog",
          "QDialog"})
        QApplication::setFont(f, kind);
    (void)app;
}

void fitFrames(QWidget& window) {
    for (QGroupBox* box : window.findChildren<QGroupBox*>()) {
        if (box->title().isEmpty())
            continue;
        // The whole frame's content moves, so that its rows keep their
        // spacing.
        const int clear = box->fontMetrics().height() + 1;
        const auto children = box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        int top = clear;
        for (QWidget* w : children)
            top = std::min(top, w->y());
        int bottom = 0;
        for (QWidget* w : children) {
            w->move(w->x(), w->y() + (clear - top));
            bottom = std::max(bottom, w->geometry().bottom());
        }
        if (bottom + 3 > box->height())
            box->resize(box->width(), bottom + 3);
    }
}

} // namespace nw::app
