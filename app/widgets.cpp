#include "app/widgets.h"

namespace nw::app {

QLabel* redLabel(QLabel* l) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    l->setPalette(p);
    return l;
}

} // namespace nw::app
