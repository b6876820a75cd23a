#pragma once
// Page 2, "其它": extension change, removal of a text, Traditional/Simplified.
#include "app/tool_page.h"
#include "core/conv_table.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nw::app {

class OtherPage : public ToolPage {
    Q_OBJECT
public:
    // table: the conversion table read from tableFolder, owned by the window.
    OtherPage(PageContext ctx, const ConvTable& table, std::string tableFolder,
              QWidget* parent = nullptr)
        : ToolPage(ctx, parent), m_table(table), m_tableFolder(std::move(tableFolder)) {}
    void build(QPoint origin) override;

    void cmdChangeExt_Click();
    void cmdRemoveStr_Click();
    void cmdF2J_Click();
    void cmdJ2F_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

private:
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

    ToolPlan changeExtPlan() const;
    ToolPlan removePlan() const;
    ToolPlan chinesePlan(bool toSimplified) const;
    const ConvTable& m_table;
    std::string m_tableFolder;
};

} // namespace nw::app
