#include "app/twips.h"

#include <QAbstractButton>
#include <QLabel>

#include <algorithm>

namespace nw::app {

void place(QWidget* w, int left, int top, int width, int height, QPoint origin) {
    QRect r = twipsRect(left, top, width, height).translated(-origin);
    const bool textual = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
    if (textual) {
        const int need = w->sizeHint().height();
        const auto* label = qobject_cast<QLabel*>(w);
        const int lines = label ? int(label->text().count(QLatin1Char('\n'))) + 1 : 1;
        if (need > r.height()) {
            // One line grows around its middle, several lines downward.
            if (lines == 1)
                r.moveTop(r.top() - (need - r.height()) / 2);
            r.setHeight(need);
        }
        // A label set in a font with wider Latin letters (Noto Sans CJK's)
        // grows to the right, as far as its parent allows.
        const int wide = w->sizeHint().width();
        const int room = w->parentWidget() ? w->parentWidget()->width() - 2 - r.left() : 0;
        if (label && wide > r.width() && room > r.width())
            r.setWidth(std::min(wide, room));
    }
    w->setGeometry(r);
}

} // namespace nw::app
