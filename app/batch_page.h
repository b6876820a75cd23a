#pragma once
// Page 1, "批量改名": custom text and running number.
#include "app/existing_names.h"
#include "app/tool_page.h"
#include "core/custom_name.h"

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace nw::app {

class BatchPage : public ToolPage {
    Q_OBJECT
public:
    using ToolPage::ToolPage;
    void build(QPoint origin) override;

    CustomNameSettings settings() const;

    void Text1_Change();
    void txtStep_Change();
    void Option3_Click(short Index);
    void Command2_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

private:
    QGroupBox* Frame6 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QLabel*, 1> Label3{};
    QLineEdit* txtStep = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QRadioButton*, 6> Option3{};
    QGroupBox* Frame8 = nullptr;
    std::array<QLabel*, 5> Label4{}; // members 0, 1 and 4
    std::array<QLabel*, 2> lblSource{};
    std::array<QLabel*, 2> lblTarget{};
    QPushButton* Command2 = nullptr;

    std::int16_t RunningNumber = 0;

    void updateExample();
    // Set by a real pass whose user chose "全部跳过"; names skipped since.
    ExistingNames m_existing;
};

} // namespace nw::app
