#include "app/widgets.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <algorithm>

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

void widenDropDown(QComboBox& combo) {
    // Room for the view's frame and its scroll bar beside the longest item.
    constexpr int kScrollBarRoom = 24;
    int widest = 0;
    for (int i = 0; i < combo.count(); ++i)
        widest = std::max(widest, combo.view()->fontMetrics().horizontalAdvance(combo.itemText(i)));
    combo.view()->setMinimumWidth(widest + 2 * combo.view()->frameWidth() + kScrollBarRoom);
}

} // namespace nw::app
