#include "app/stretch.h"

#include <cmath>

namespace nw::app {

void StretchLayout::add(QWidget* w, Stretch s) { m_items.push_back({w, w->geometry(), s}); }

void StretchLayout::apply(QSize extra) const {
    const int dx = std::max(0, extra.width());
    const int dy = std::max(0, extra.height());
    auto part = [](double share, int room) { return static_cast<int>(std::lround(share * room)); };
    for (const Item& i : m_items) {
        if (!i.widget)
            continue;
        QRect r = i.base;
        r.translate(part(i.stretch.moveX, dx), part(i.stretch.moveY, dy));
        r.setWidth(r.width() + part(i.stretch.growX, dx));
        r.setHeight(r.height() + part(i.stretch.growY, dy));
        i.widget->setGeometry(r);
    }
}

} // namespace nw::app
