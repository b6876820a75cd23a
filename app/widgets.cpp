#include "app/widgets.h"

namespace nw::app {

QLabel* redLabel(QLabel* l) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    // Pure red is hard to read on a dark window: there the label gets a
    // light ground of its own, and the text stays the same red.
    if (p.color(QPalette::Window).lightness() < 128) {
        p.setColor(QPalette::Window, QColor(0xF4, 0xF4, 0xF4));
        l->setAutoFillBackground(true);
    }
    l->setPalette(p);
    return l;
}

} // namespace nw::app
