#pragma once
class QApplication;

namespace nw::app {

// The style and the default font every caption of the window was sized for:
// a CJK font at 12 pixels, as the layout's 12-pixel labels expect.
void applyAppearance(QApplication& app);

// Where a frame's top border line runs, for a caption of that height: through
// the caption's middle.
constexpr int frameBorderTop(int captionHeight) { return captionHeight / 2; }

} // namespace nw::app
