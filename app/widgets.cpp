#include "app/widgets.h"

#include "app/contrast.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <algorithm>

namespace nw::app {

QLabel* redLabel(QLabel* l) {
    QPalette p = l->palette();
    // Red, as dark or as light as the window's ground needs to be read.
    p.setColor(QPalette::WindowText, readableOn(QColor(255, 0, 0), p.color(QPalette::Window)));
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
