#include "app/contrast.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace nw::app {
namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& ground, double ratio) {
    if (contrastRatio(wanted, ground) >= ratio)
        return wanted;
    const QColor hsl = wanted.toHsl();
    const bool lighter = luminance(ground) < 0.18; // a dark ground
    int l = hsl.lightness();
    QColor c = wanted;
    while (contrastRatio(c, ground) < ratio && l > 0 && l < 255) {
        l += lighter ? 1 : -1;
        c = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), l);
    }
    return c;
}

QColor hiddenCharacterColour() {
    return readableOn(QColor(0xB0, 0x40, 0x00), QApplication::palette().color(QPalette::Base));
}

QColor legacyNameColour() {
    return readableOn(QColor(0x80, 0x80, 0x80), QApplication::palette().color(QPalette::Base));
}

} // namespace nw::app
