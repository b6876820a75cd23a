#pragma once
// The last page, "关于": what the program is, its licence and libraries,
// where its guide is, and the exit button.
#include "app/tool_page.h"

class QLabel;
class QPushButton;

namespace nw::app {

class AboutPage : public ToolPage {
    Q_OBJECT
public:
    using ToolPage::ToolPage;
    void build(QPoint origin) override;
    std::vector<QWidget*> focusChain() const override;

signals:
    // 退出 was clicked.
    void exitRequested();

private:
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblLibraries = nullptr;
    QLabel* lblGuide = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace nw::app
