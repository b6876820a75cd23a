#pragma once
// Page 2, "其它": extension change, removal of a text, Traditional/Simplified.
#include "app/tool_page.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nw::app {

class OtherPage : public ToolPage {
    Q_OBJECT
public:
    OtherPage(PageContext ctx, std::string tableFolder, QWidget* parent = nullptr)
        : ToolPage(ctx, parent), m_tableFolder(std::move(tableFolder)) {}
    void build(QPoint origin) override;

    void cmdChangeExt_Click();
    void cmdRemoveStr_Click();
    void cmdF2J_Click();
    void cmdJ2F_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;

    QGroupBox* Frame9 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtRemoveStr = nullptr;
    QPushButton* cmdRemoveStr = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtNewExt = nullptr;
    QPushButton* cmdChangeExt = nullptr;
    QGroupBox* Frame11 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* cmdF2J = nullptr;
    QPushButton* cmdJ2F = nullptr;

private:
    ToolPlan changeExtPlan() const;
    ToolPlan removePlan() const;
    ToolPlan chinesePlan(bool toSimplified) const;
    std::string m_tableFolder;
};

} // namespace nw::app
