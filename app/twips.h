#pragma once
// The window is laid out in twips, 15 to the pixel.
#include <QRect>
#include <QWidget>

namespace nw::app {

constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// Places w at the given twips, relative to its parent's point `origin`
// (pixels). A control whose text needs more height than the layout gives
// grows, centred on the same line, so that no caption is clipped.
void place(QWidget* w, int left, int top, int width, int height, QPoint origin = {});

} // namespace nw::app
