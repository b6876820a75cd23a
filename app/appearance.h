#pragma once
#include <QFont>
#include <QStringList>

class QApplication;
class QWidget;

namespace nw::app {

// The style and the default font every caption of the window was sized for:
// a CJK font at 12 pixels, as the layout's 12-pixel labels expect.
void applyAppearance(QApplication& app);

// The window's font: the first of families installed (by default
// WenQuanYi Micro Hei, then Noto Sans CJK SC, then Droid Sans Fallback), at
// 12 pixels for every kind of control, whatever size the desktop's theme
// gives labels, buttons or lists: the twips layout was drawn for it.
void applyWindowFont(QApplication& app, const QStringList& families = {});

// That font. The window sets it on itself, so that a theme that sets the
// application's font later (qt6ct does, once the event loop runs) changes
// the dialogs but not the twips layout.
QFont windowFont();

// A font taller than the layout's (Noto Sans CJK's line is 17 pixels at 12,
// WenQuanYi's 14) would put a frame's first row of controls on its caption:
// the row moves down under the caption, and the frame grows to hold it.
void fitFrames(QWidget& window);

// Where a frame's top border line runs, for a caption of that height: through
// the caption's middle.
constexpr int frameBorderTop(int captionHeight) { return captionHeight / 2; }

} // namespace nw::app
