#pragma once
class QApplication;

namespace nw::app {

// The style and the default font every caption of the window was sized for:
// a CJK font at 12 pixels, as the layout's 12-pixel labels expect.
void applyAppearance(QApplication& app);

} // namespace nw::app
