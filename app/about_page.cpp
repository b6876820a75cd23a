#include "app/about_page.h"

#include "app/twips.h"
#include "app/widgets.h"

namespace nw::app {

void AboutPage::build(QPoint o) {
    Label5 = named(new QLabel(QStringLiteral("网址：namewright.org"), this), "Label5");
    place(Label5, 420, 720, 1980, 180, o);
    Label6 = named(new QLabel(QStringLiteral("400-810-2026"), this), "Label6");
    place(Label6, 495, 1155, 1170, 180, o);
    cmdExit = named(new QPushButton(QStringLiteral("退出"), this), "cmdExit");
    place(cmdExit, 960, 3120, 3135, 855, o);
    connect(cmdExit, &QPushButton::clicked, this, &AboutPage::exitRequested);
}

std::vector<QWidget*> AboutPage::focusChain() const { return {cmdExit}; }

} // namespace nw::app
