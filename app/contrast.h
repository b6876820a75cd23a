#pragma once
// Colours that stay readable whatever the desktop's palette: the program's
// own colours (the orange of names with hidden characters, the grey of
// legacy names, the red of the examples) are kept at a contrast of at least
// 4.5:1 (WCAG's for text) against the ground they are drawn on.
#include <QColor>

namespace nw::app {

// WCAG 2's contrast ratio, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);

// wanted itself where it reads at ratio on ground; else the nearest colour
// of its hue and saturation that does, darker on a light ground and lighter
// on a dark one.
QColor readableOn(const QColor& wanted, const QColor& ground, double ratio = 4.5);

// The list's colours for names with hidden characters and legacy names, on
// the application's list background now.
QColor hiddenCharacterColour();
QColor legacyNameColour();

} // namespace nw::app
